#pragma once

#include "ClickableWidget.h"
#include "TwipsPlacement.h"

#include <QPixmap>

// An image control: shows its picture at the picture's own size (15 twips to a
// pixel) and reports clicks. It paints no background of its own.
class ImageControl : public ClickableWidget, public TwipsPlacement {
    Q_OBJECT

public:
    explicit ImageControl(const QPixmap& picture, QWidget* parent = nullptr);

    const QPixmap& picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap picture_;
};
