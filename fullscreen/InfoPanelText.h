#pragma once

#include "PictureInfo.h"

#include <QSize>
#include <QString>
#include <QStringList>

// What the information panel of the full-screen view says about a picture,
// one line each, with Czech labels. Fields the picture does not carry, and
// numbers no camera could have taken a picture with, are left out; nothing is
// invented. Texts from the file (its name, the camera's words) are shown as
// ShownText shows them.
struct InfoPanelText {
    QString name;     // the file's name as stored (an escaped native name)
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
    // "YYYY:MM:DD HH:MM:SS" as "8. 12. 2026 14:03:22"; empty for a date or
    // time of that form that does not exist ("0000:00:00 00:00:00", as cameras
    // whose clock was never set write); other text as it is.
    static QString dateText(const QString& exifDate);
    // The camera as make and model, the maker left out when the model already
    // names it: "Canon EOS R6", "NIKON D2H", "FUJIFILM X-T4"; either alone
    // when the other is empty.
    static QString cameraText(const QString& make, const QString& model);
    // "1/250 s", "1/3 s", "0,8 s", "2,5 s", "30 s".
    static QString exposureText(double seconds);
    // A number with at most one decimal, written with a comma: "2,8", "50".
    static QString decimalText(double value);
};
