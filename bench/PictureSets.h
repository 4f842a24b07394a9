#pragma once

#include <QSize>
#include <QString>
#include <QStringList>

// The folders of pictures kalvio_bench times, made once under a root folder
// and reused by later runs. Every set is made of the same generated
// photographs (seed 1 for the first, 2 for the second, …), so the sets differ
// only in how the pictures are stored.
namespace PictureSets {

inline constexpr QSize PhotoSize(4000, 3000); // 12 megapixels
inline constexpr QSize ExifThumbnailSize(160, 120);
inline constexpr int PageCells = 24;
inline constexpr int ManyNames = 100000;

struct Set {
    QString folder;
    QStringList paths; // every picture of the folder, in the order the file list shows them
};

// Baseline JPEGs, without an embedded thumbnail: two pages, so that a second
// page can be turned to.
Set Plain(const QString& root);
// The first page's photographs as a camera stores them: an EXIF block with
// the orientation and a 160 x 120 JPEG thumbnail.
Set Camera(const QString& root);
// The first page's photographs saved as progressive JPEGs.
Set Progressive(const QString& root);

// A folder of ManyNames names: the pictures of `first` (hard links), then
// empty files named to sort after them.
Set ManyNamesAfter(const QString& root, const Set& first);
// A folder holding only the pictures of `first` (hard links, same names).
Set FewNames(const QString& root, const Set& first);
// An empty folder, to start a window on before it changes folder.
QString EmptyFolder(const QString& root);

// True when the decoder takes the embedded thumbnail of the camera set's
// first picture for a cell whose longer side is cellLongSide: the set then
// times what it is meant to.
bool DecoderTakesEmbeddedThumbnail(const Set& camera, int cellLongSide);

} // namespace PictureSets
