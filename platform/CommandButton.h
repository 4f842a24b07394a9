#pragma once

#include "TwipsPlacement.h"

#include <QPushButton>

// A graphical command button without a caption: its picture fills the face.
// A double-click is one click, as on the other controls.
class CommandButton : public QPushButton, public TwipsPlacement {
    Q_OBJECT

public:
    explicit CommandButton(const QPixmap& picture, QWidget* parent = nullptr);

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};
