#pragma once

#include "TwipsPlacement.h"

#include <QPushButton>

// A graphical command button without a caption: its picture fills the face.
class CommandButton : public QPushButton, public TwipsPlacement {
    Q_OBJECT

public:
    explicit CommandButton(const QPixmap& picture, QWidget* parent = nullptr);
};
