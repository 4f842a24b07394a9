#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The programs a photographer would use instead, each run as a whole process
// and timed from its start: vipsthumbnail (libvips) making the thumbnails of
// a page, and nsxiv showing them in its thumbnail mode. Nothing when the
// program is missing or failed.
namespace PeerPrograms {

bool Installed(const QString& program);

// One vipsthumbnail process making thumbnails of paths, longSide pixels on
// their longer side, into outFolder; timed until it exits.
std::optional<double> VipsthumbnailMs(const QStringList& paths, int longSide, const QString& outFolder);

// vipsthumbnail starting and ending with nothing to do: the share of a run
// that is not making thumbnails.
std::optional<double> VipsthumbnailStartMs();

// nsxiv in thumbnail mode on the X display, its window large enough to show
// every one of paths, with an empty thumbnail cache under cacheHome; timed
// until it has made every thumbnail. nsxiv tells nobody when it is done, but
// it writes each thumbnail it makes into its cache, and dates it like the
// picture once written: the clock stops when the last of them carries its
// picture's date.
std::optional<double> NsxivMs(const QStringList& paths, const QString& display, const QString& cacheHome);

} // namespace PeerPrograms
