#pragma once

#include <QSize>
#include <QString>

#include <optional>
#include <string>

namespace Pictures {

// What a photograph's EXIF block says about how it was taken, for the
// information panel. A field the file does not carry (or carries broken) is
// empty. Texts are as the camera wrote them, trimmed.
struct PictureInfo {
    std::optional<QString> dateTaken; // "YYYY:MM:DD HH:MM:SS"
    std::optional<QString> make;
    std::optional<QString> model;
    std::optional<QString> lens;
    std::optional<double> exposureSeconds; // 0.004 for 1/250 s
    std::optional<double> fNumber;         // 2.8
    std::optional<int> iso;
    std::optional<double> focalLengthMm;
};

// Reads the fields above from a JPEG's EXIF block, within the same bounds as
// decoding (regular files only, each directory visited once). Anything that is
// not a JPEG with EXIF gives an empty PictureInfo.
PictureInfo ReadPictureInfo(const std::string& path);

// The upright size in pixels of the picture in a JPEG, BMP or GIF file, read
// from its header alone (the size a decode at the file's own size gives), so
// that a picture can be asked for at the size that fits a box before it is
// decoded. Empty when the file is not one of those or its header is broken.
QSize ReadPictureSize(const std::string& path);

} // namespace Pictures
