#pragma once

#include "ClickTracker.h"
#include "TwipsPlacement.h"

#include <QPixmap>
#include <QWidget>

// An image control: shows its picture at the picture's own size (15 twips to a
// pixel) and reports clicks. It paints no background of its own.
class ImageControl : public QWidget, public TwipsPlacement {
    Q_OBJECT

public:
    explicit ImageControl(const QPixmap& picture, QWidget* parent = nullptr);

    const QPixmap& picture() const { return picture_; }

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QPixmap picture_;
    ClickTracker click_;
};
