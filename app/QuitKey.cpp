#include "QuitKey.h"

#include <QCoreApplication>
#include <QKeyEvent>

QuitKey::QuitKey(QObject* parent) : QObject(parent)
{
    QCoreApplication::instance()->installEventFilter(this);
}

bool QuitKey::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    const auto* key = static_cast<const QKeyEvent*>(event);
    if (key->key() != Qt::Key_Q || (key->modifiers() & ~Qt::KeypadModifier) != Qt::ControlModifier)
        return false;
    // Taken at the window's level: the widget it would go on to never sees it.
    if (!key->isAutoRepeat())
        emit pressed();
    return true;
}
