#pragma once

#include "TwipsPlacement.h"

#include <QListView>
#include <QStringList>

class QStringListModel;

// The file list: the names it is given (a folder's pictures, in the order the
// folder source chose), each shown for what it is (ShownText); names that are
// not UTF-8 are kept exactly.
//
// Click is raised only when the user picks an entry: by every click on one,
// the chosen entry too, or by moving the selection with the keyboard. Focus
// chooses nothing (a list entered with Tab keeps no entry chosen), and
// filling the list raises nothing. setListIndex chooses an entry as the user
// would, Click included.
class FileList : public QListView, public TwipsPlacement {
    Q_OBJECT

public:
    explicit FileList(QWidget* parent = nullptr);

    // Shows `names`, none chosen.
    void showNames(const QStringList& names);

    int ListCount() const { return int(names_.size()); }
    // Every entry, in the list's order.
    const QStringList& names() const { return names_; }
    // The name of entry k, or empty text for an index outside the list.
    QString List(int k) const;
    int ListIndex() const { return currentIndex().row(); }
    void setListIndex(int k);

signals:
    void Click();

protected:
    bool event(QEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    template <typename Handle>
    bool raiseClickIfPicked(QEvent* event, Handle handle);
    bool pressesOnEntry(const QEvent& event) const;

    QStringList names_;
    QStringListModel* shown_ = nullptr;
};
