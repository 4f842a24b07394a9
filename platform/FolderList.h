#pragma once

#include "TwipsPlacement.h"

#include <QIcon>
#include <QListWidget>

// The folder list: the folders from "/" down to the one it shows, each opened
// below its parent, then the visible subfolders of that folder in name order.
// It shows the folder it is given; opening an entry (double-click or Enter)
// says which folder the user opened, and the list changes only when it is
// given that folder to show.
class FolderList : public QListWidget, public TwipsPlacement {
    Q_OBJECT

public:
    explicit FolderList(QWidget* parent = nullptr);

    const QString& Path() const { return path_; }
    // `path` as the list reports it once shown: without a trailing "/" (but "/" itself).
    static QString Normalised(const QString& path);
    // Shows `path` (a trailing "/" is dropped); the same path changes nothing.
    void showFolder(const QString& path);

    // The folder that entry row stands for.
    QString EntryPath(int row) const;

signals:
    // The user opened the entry that stands for `path`.
    void opened(const QString& path);

private:
    void rebuild();
    void addEntry(const QString& path, const QString& label, int depth, bool open);

    QString path_;
    // The style's folder icons, looked up once: each look-up searches the
    // icon theme's files.
    QIcon openIcon_;
    QIcon closedIcon_;
};
