#pragma once

#include "TwipsPlacement.h"

#include <QListWidget>

// The folder list: the folders from "/" down to the current one, each opened
// below its parent, then the visible subfolders of the current folder in name
// order. Opening an entry (double-click or Enter) makes it the current folder.
// Assigning a different Path raises Change before the assignment returns; the
// same path raises nothing.
class FolderList : public QListWidget, public TwipsPlacement {
    Q_OBJECT

public:
    explicit FolderList(QWidget* parent = nullptr);

    const QString& Path() const { return path_; }
    void setPath(const QString& path);

    // The folder that entry row stands for.
    QString EntryPath(int row) const;

signals:
    void Change();

private:
    void rebuild();
    void addEntry(const QString& path, const QString& label, int depth, bool open);

    QString path_;
};
