#include "EventYield.h"

#include <QApplication>
#include <QWidget>

int EventYield::DoEvents()
{
    if (hook())
        hook()();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    return openWindows();
}

int EventYield::WaitForEvents()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    return openWindows();
}

int EventYield::openWindows()
{
    int open = 0;
    for (const QWidget* widget : QApplication::topLevelWidgets()) {
        const Qt::WindowType type = widget->windowType();
        if (widget->isVisible() && (type == Qt::Window || type == Qt::Dialog))
            ++open;
    }
    return open;
}

void EventYield::setHook(std::function<void()> hook)
{
    EventYield::hook() = std::move(hook);
}

std::function<void()>& EventYield::hook()
{
    static std::function<void()> current;
    return current;
}
