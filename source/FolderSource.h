#pragma once

#include "FileList.h"
#include "FolderList.h"

#include <QObject>

// Where the pictures come from: the folder list, the file list of the folder
// chosen in it, and the folder and picture to start with. It says when
// another folder was chosen and when the user chose an entry of the file
// list; listing the chosen folder gives the window its new list of names.
class FolderSource : public QObject {
    Q_OBJECT

public:
    // Creates the two lists in `parent`; the folder list starts at the current directory.
    explicit FolderSource(QWidget* parent);

    FolderList* folderList() const { return folderList_; }
    FileList* fileList() const { return fileList_; }

    // The folder chosen in the folder list.
    QString folder() const { return folderList_->Path(); }
    // Lists the pictures of the folder chosen in the folder list and returns
    // their names, in the file list's order.
    QStringList listChosenFolder();
    // The first folder below `path` that holds a file (see FirstFolderSearch.h).
    static QString firstFolderWithFiles(const QString& path);

    // A folder named on the command line is shown as it is, without the
    // search below the current directory; a picture in it opens enlarged.
    // Both are escaped native names; empty: the search.
    void setStartPath(const QString& folder, const QString& picture);
    // The folder shown at start: the one named, else the first below the
    // current directory that holds a file.
    QString startFolder() const;
    // A picture to open once its folder is listed (a path opened or dropped).
    void setStartPicture(const QString& picture) { startPicture_ = picture; }
    // The picture named on the command line, given once (empty after that or when none was named).
    QString takeStartPicture();

signals:
    // Another folder was chosen in the folder list.
    void folderChosen();
    // The user chose entry `entry` of the file list.
    void entryChosen(int entry);

private:
    void fileListClicked();

    FolderList* folderList_ = nullptr;
    FileList* fileList_ = nullptr;
    QString startFolder_;
    QString startPicture_;
};
