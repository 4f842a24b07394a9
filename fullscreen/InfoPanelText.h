#pragma once

#include "PictureInfo.h"

#include <QSize>
#include <QString>
#include <QStringList>

// What the information panel of the full-screen view says about a picture,
// one line each, with Czech labels. Fields the picture does not carry are left
// out; nothing is invented.
struct InfoPanelText {
    QString name;     // as shown to the user
    int position = 0; // from 1
    int count = 0;
    QSize pixelSize;       // of the picture in the file, upright; empty: not known yet
    qint64 fileBytes = -1; // -1: not known
    Pictures::PictureInfo info;
    // At 1:1, the picture was too large for the decoding limits and is shown
    // at this smaller size instead (empty otherwise).
    QSize reducedTo;

    QStringList lines() const;

    // "7,3 MB", "512 B": decimal units with a decimal comma.
    static QString fileSizeText(qint64 bytes);
    // "YYYY:MM:DD HH:MM:SS" as "8. 12. 2026 14:03:22"; other text as it is.
    static QString dateText(const QString& exifDate);
    // "1/250 s", "0,5 s", "2 s", "30 s".
    static QString exposureText(double seconds);
    // A number with at most one decimal, written with a comma: "2,8", "50".
    static QString decimalText(double value);
};
