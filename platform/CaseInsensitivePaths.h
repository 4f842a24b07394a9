#pragma once

#include <QString>
#include <QStringList>

#include <map>

// Finds a file below a folder as a disk that ignores letter case would: the
// exact relative path first; when nothing has that path, each of its folders
// and its file name matched regardless of case (the first match in name order
// that leads to the file). Listings are kept until Forget(), so many lookups
// in one folder cost one listing, not one each.
class CaseInsensitivePaths {
public:
    // The relative path under which `relative` is found below folder, or
    // `relative` itself when nothing matches.
    QString Resolve(const QString& folder, const QString& relative);
    void Forget() { listings_.clear(); }

private:
    enum class Kind { Folders, Files };
    QString resolveIn(const QString& folder, const QStringList& parts);
    const QStringList& listing(const QString& folder, Kind kind);

    std::map<std::pair<QString, Kind>, QStringList> listings_;
};
