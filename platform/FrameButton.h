#pragma once

#include "TwipsPlacement.h"

#include <QAbstractButton>
#include <QPixmap>

// A graphical command button used as a frame: a flat face in its BackColor,
// its picture centred in the face, its caption along the bottom edge.
class FrameButton : public QAbstractButton, public TwipsPlacement {
    Q_OBJECT

public:
    explicit FrameButton(const QPixmap& picture, QWidget* parent = nullptr);

    QString Caption() const { return text(); }
    void setCaption(const QString& caption) { setText(caption); }
    int BackColor() const { return backColor_; }
    void setBackColor(int color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap picture_;
    int backColor_ = 0xF0F0F0;
};
