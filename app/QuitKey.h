#pragma once

#include <QObject>

// Ctrl+Q from any window of the program, at any moment. The menu's shortcut
// works only while the main window is the active one; the full-screen view
// is a window of its own, and a key that arrives while a window is being
// hidden (Escape, then at once Ctrl+Q) reaches no active window at all.
// Installed on the application, this sees every key press a window of the
// program receives that no shortcut took, before any widget does.
class QuitKey : public QObject {
    Q_OBJECT
public:
    explicit QuitKey(QObject* parent = nullptr);

signals:
    void pressed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
