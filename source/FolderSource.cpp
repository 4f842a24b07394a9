#include "FolderSource.h"

#include "FirstFolderSearch.h"
#include "FolderService.h"

#include <utility>

FolderSource::FolderSource(QWidget* parent) : QObject(parent)
{
    folderList_ = new FolderList(parent);
    folderList_->Move(120_tw, 1200_tw, 2175_tw, 2115_tw);
    fileList_ = new FileList(parent);
    fileList_->Move(120_tw, 3480_tw, 2175_tw, 2430_tw);
    connect(folderList_, &FolderList::Change, this, &FolderSource::folderChosen);
    connect(fileList_, &FileList::Click, this, &FolderSource::fileListClicked);
    folderList_->setPath(FolderService::CurrentDirectory());
}

QStringList FolderSource::listChosenFolder()
{
    fileList_->setPath(folderList_->Path());
    return fileList_->names();
}

QString FolderSource::firstFolderWithFiles(const QString& path)
{
    return FirstFolderSearch(path);
}

void FolderSource::setStartPath(const QString& folder, const QString& picture)
{
    startFolder_ = folder;
    startPicture_ = picture;
}

QString FolderSource::startFolder() const
{
    // A folder named on the command line is shown as it is: the user chose it.
    return startFolder_.isEmpty() ? firstFolderWithFiles(FolderService::CurrentDirectory()) : startFolder_;
}

QString FolderSource::takeStartPicture()
{
    return std::exchange(startPicture_, QString());
}

// A click that leaves no entry chosen has no page to go to.
void FolderSource::fileListClicked()
{
    if (const int chosen = fileList_->ListIndex(); chosen >= 0)
        emit entryChosen(chosen);
}
