#pragma once

#include <QWidget>

// A widget that reports a click: a left-button press and release over it. A
// double-click is one click: its second press is no new press.
class ClickableWidget : public QWidget {
    Q_OBJECT

public:
    using QWidget::QWidget;

    // Clicks the control as the mouse would (for the keyboard and the wheel).
    void click() { emit clicked(); }

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    bool pressed_ = false;
};
