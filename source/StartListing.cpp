#include "StartListing.h"

#include "FirstFolderSearch.h"
#include "FolderList.h"
#include "FolderService.h"
#include "FolderSource.h"

#include <chrono>

StartListing::StartListing(const QString& folder, const QString& pattern)
    : listed_(std::async(std::launch::async, [folder, pattern] {
          // A folder named on the command line is shown as it is: the user chose it.
          const QString found = folder.isEmpty() ? FirstFolderSearch(FolderService::CurrentDirectory()) : folder;
          const QString shown = FolderList::Normalised(found);
          return Listed{shown, pattern, FolderSource::PicturesIn(shown, pattern)};
      }))
{
}

bool StartListing::isReady() const
{
    return listed_.valid() && listed_.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
}
