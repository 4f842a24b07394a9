#pragma once

#include "StartListing.h"
#include "TwipsPlacement.h"

#include <QObject>
#include <QStringList>

class FileList;
class FolderList;
class QWidget;

// Where the pictures come from: a folder, listed and put in order here, shown
// in the folder list (the folders down to it and its subfolders) and the file
// list (its pictures). It says when a folder was listed, with its names and
// the entry to open at once, and when the user chose an entry of the file
// list. The lists only show what they are given.
class FolderSource : public QObject {
    Q_OBJECT

public:
    // Creates the two lists in `parent`; the folder list starts at the
    // current directory.
    explicit FolderSource(QWidget* parent);

    // Where the two lists sit.
    void place(const TwipsRect& folderList, const TwipsRect& fileList);
    // Only names matching one of the wildcards of `pattern` ("*.JPG;*.BMP;*.GIF"),
    // whatever their letter case, are listed from here on.
    void setPattern(const QString& pattern);
    const QString& pattern() const { return pattern_; }

    // A folder named on the command line is shown as it is, without the
    // search below the current directory; a picture in it opens enlarged.
    // Both are escaped native names; empty: the search.
    void setStartPath(const QString& folder, const QString& picture);
    // The start folder found and listed ahead (StartListing.h): start()
    // takes it, waiting for it as it would for its own search; without one,
    // it makes one then.
    void setStartListing(StartListing listing) { startListing_ = std::move(listing); }
    // Lists the folder shown at start: the one named, else the first below
    // the current directory that holds a file (FirstFolderSearch.h).
    void start();
    // Lists `folder` (again when it is the one shown), as a path opened or
    // dropped does; `picture`, an escaped native name in it, opens at once.
    void open(const QString& folder, const QString& picture = {});

    // The visible files of `folder` whose names match one of the wildcards
    // of `pattern`, in natural name order; links to files count as files.
    // Any thread.
    static QStringList PicturesIn(const QString& folder, const QString& pattern);

    // The folder listed last (empty before the first).
    const QString& folder() const { return folder_; }

    // The lists keep every key while one of them has the keyboard focus.
    bool hasKeyboardFocus() const;
    // The keyboard focus starts in the folder list.
    void takeFocus();
    // Puts the two lists in the window's Tab chain after `previous` (first
    // when none) and returns the last of them.
    QWidget* chainTabOrder(QWidget* previous);

signals:
    // `folder` was listed: its pictures' names in the file list's order, and
    // the entry to open at once (-1 for none).
    void listed(const QString& folder, const QStringList& names, int startEntry);
    // The user chose entry `entry` of the file list.
    void entryChosen(int entry);

private:
    void list(const QString& folder, const QString& picture, const StartListing::Listed* ahead = nullptr);
    void folderOpened(const QString& folder);
    void fileListClicked();

    FolderList* folderList_ = nullptr;
    FileList* fileList_ = nullptr;
    QString pattern_;
    QString folder_;
    QString startFolder_;
    QString startPicture_;
    StartListing startListing_;
};
