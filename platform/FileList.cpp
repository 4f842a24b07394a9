#include "FileList.h"

#include "ShownText.h"

#include <QEvent>
#include <QMouseEvent>
#include <QStringListModel>

namespace {

// Events by which the user can choose an entry.
bool isUserInput(const QEvent& event)
{
    return event.isInputEvent() || event.type() == QEvent::InputMethod;
}

} // namespace

FileList::FileList(QWidget* parent) : QListView(parent), TwipsPlacement(this), shown_(new QStringListModel(this))
{
    setModel(shown_);
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
}

QString FileList::List(int k) const
{
    if (k < 0 || k >= names_.size())
        return {};
    return names_.at(k);
}

void FileList::setListIndex(int k)
{
    const int before = ListIndex();
    setCurrentIndex(shown_->index(k));
    if (ListIndex() != before)
        emit Click();
}

// Key presses reach the list itself, mouse events its viewport; either may
// move the chosen entry, and only they raise Click.
bool FileList::event(QEvent* event)
{
    return raiseClickIfPicked(event, [&] { return QListView::event(event); });
}

bool FileList::viewportEvent(QEvent* event)
{
    return raiseClickIfPicked(event, [&] { return QListView::viewportEvent(event); });
}

template <typename Handle>
bool FileList::raiseClickIfPicked(QEvent* event, Handle handle)
{
    if (!isUserInput(*event))
        return handle();
    const int before = ListIndex();
    const bool pressed = pressesOnEntry(*event);
    const bool handled = handle();
    // A press on the entry already chosen chooses it again: the user wants
    // its page back, or the view closed.
    if (ListIndex() != before || (pressed && ListIndex() >= 0))
        emit Click();
    return handled;
}

// A press of the left button over an entry; the second press of a
// double-click comes as a double-click event and is no new choice.
bool FileList::pressesOnEntry(const QEvent& event) const
{
    if (event.type() != QEvent::MouseButtonPress)
        return false;
    const auto& press = static_cast<const QMouseEvent&>(event);
    return press.button() == Qt::LeftButton && indexAt(press.position().toPoint()).isValid();
}

void FileList::focusInEvent(QFocusEvent* event)
{
    // The item view makes the first entry current when it gains focus from the
    // keyboard without one. Focus chooses nothing here: the list stays without
    // a chosen entry until the user picks one.
    const bool hadEntry = currentIndex().isValid();
    QListView::focusInEvent(event);
    if (!hadEntry)
        selectionModel()->clearCurrentIndex();
}

void FileList::showNames(const QStringList& names)
{
    names_ = names;
    QStringList shown;
    shown.reserve(names_.size());
    for (const QString& name : names_)
        shown.append(ShownText::Of(name));
    shown_->setStringList(shown);
}
