#pragma once

#include "TwipsPlacement.h"

#include <QAbstractButton>
#include <QPixmap>

#include <optional>

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
    // An edge drawn inside the face in that colour (none: no edge), to mark the frame that has the keyboard focus.
    void setEdgeColor(std::optional<int> color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap picture_;
    int backColor_ = 0xF0F0F0;
    std::optional<int> edgeColor_;
};
