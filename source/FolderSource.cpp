#include "FolderSource.h"

#include "FileList.h"
#include "FolderList.h"
#include "FolderService.h"
#include "NameFilter.h"
#include "NaturalOrder.h"

#include <utility>

FolderSource::FolderSource(QWidget* parent) : QObject(parent)
{
    folderList_ = new FolderList(parent);
    folderList_->setObjectName(QStringLiteral("folderList"));
    folderList_->Move(120_tw, 1200_tw, 2175_tw, 2115_tw);
    fileList_ = new FileList(parent);
    fileList_->setObjectName(QStringLiteral("fileList"));
    fileList_->Move(120_tw, 3480_tw, 2175_tw, 2430_tw);
    folderList_->setFocusPolicy(Qt::StrongFocus);
    fileList_->setFocusPolicy(Qt::StrongFocus);
    folderList_->setAccessibleName(QStringLiteral("Složky"));
    fileList_->setAccessibleName(QStringLiteral("Obrázky ve složce"));
    connect(folderList_, &FolderList::opened, this, &FolderSource::folderOpened);
    connect(fileList_, &FileList::Click, this, &FolderSource::fileListClicked);
    folderList_->showFolder(FolderService::CurrentDirectory());
}

void FolderSource::place(const TwipsRect& folderList, const TwipsRect& fileList)
{
    folderList_->Move(folderList);
    fileList_->Move(fileList);
}

void FolderSource::setPattern(const QString& pattern)
{
    pattern_ = pattern;
}

void FolderSource::setStartPath(const QString& folder, const QString& picture)
{
    startFolder_ = folder;
    startPicture_ = picture;
}

void FolderSource::start()
{
    // Found and listed here when nobody did it ahead.
    const StartListing ahead =
        startListing_.isValid() ? std::exchange(startListing_, StartListing()) : StartListing(startFolder_, pattern_);
    list(ahead.listed().folder, std::exchange(startPicture_, QString()), &ahead.listed());
}

void FolderSource::open(const QString& folder, const QString& picture)
{
    list(folder, picture);
}

// Another folder opened in the folder list is listed; the one shown is not
// listed again.
void FolderSource::folderOpened(const QString& folder)
{
    if (folder != folderList_->Path())
        list(folder, QString());
}

// `ahead`: names listed ahead, taken when they are of the folder shown and the pattern.
void FolderSource::list(const QString& folder, const QString& picture, const StartListing::Listed* ahead)
{
    folderList_->showFolder(folder);
    // The folder as the list reports it (without a trailing "/").
    folder_ = folderList_->Path();
    const bool listedAhead = ahead && ahead->folder == folder_ && ahead->pattern == pattern_;
    const QStringList names = listedAhead ? ahead->names : PicturesIn(folder_, pattern_);
    fileList_->showNames(names);
    emit listed(folder_, names, picture.isEmpty() ? -1 : int(names.indexOf(picture)));
}

QStringList FolderSource::PicturesIn(const QString& folder, const QString& pattern)
{
    QStringList names;
    if (folder.isEmpty())
        return names;
    const NameFilter filter(pattern);
    for (QString& name : FolderService::FileNames(folder)) {
        if (filter.Matches(name))
            names.append(std::move(name));
    }
    NaturalOrder::Sort(names);
    return names;
}

// A click that leaves no entry chosen has no page to go to.
void FolderSource::fileListClicked()
{
    if (const int chosen = fileList_->ListIndex(); chosen >= 0)
        emit entryChosen(chosen);
}

bool FolderSource::hasKeyboardFocus() const
{
    const QWidget* focused = folderList_->window()->focusWidget();
    return focused == folderList_ || focused == fileList_ || folderList_->isAncestorOf(focused) ||
           fileList_->isAncestorOf(focused);
}

void FolderSource::takeFocus()
{
    folderList_->setFocus();
}

QWidget* FolderSource::chainTabOrder(QWidget* previous)
{
    if (previous)
        QWidget::setTabOrder(previous, folderList_);
    QWidget::setTabOrder(folderList_, fileList_);
    return fileList_;
}
