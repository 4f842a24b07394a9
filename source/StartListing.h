#pragma once

#include <QString>
#include <QStringList>

#include <future>

// The folder shown at start and its pictures, found and listed on a thread of
// their own from the program's first moment: the search below the current
// directory and the listing run while Qt sets up its display, fonts and
// widgets, and the first page's pictures can be asked for before the window
// is built. The folder source takes them when it starts (FolderSource.h);
// the window still shows first, and the lists show them as they would
// have.
class StartListing {
public:
    struct Listed {
        QString folder; // as the folder list reports it
        QString pattern;
        QStringList names;
    };

    // Nothing: the folder source makes one when it starts.
    StartListing() = default;
    // Finds the start folder (`folder` as named, else the search from the
    // current directory) and lists its names that match `pattern`.
    StartListing(const QString& folder, const QString& pattern);

    // Something was started.
    bool isValid() const { return listed_.valid(); }
    // Done: listed() returns at once.
    bool isReady() const;
    // What was found, waiting for it.
    const Listed& listed() const { return listed_.get(); }

private:
    std::shared_future<Listed> listed_;
};
