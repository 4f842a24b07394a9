#pragma once

#include <QString>

class QWidget;

// A modal message with an OK button only, no icon, titled with the
// application's name.
class MessageBox {
public:
    static void Show(QWidget* parent, const QString& prompt);
};
