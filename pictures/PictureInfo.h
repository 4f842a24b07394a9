#pragma once

#include <QString>

#include <optional>

namespace Pictures {

// What a photograph's EXIF block says about how it was taken, for the
// information panel (ExifBlock::info reads it). A field the file does not
// carry (or carries broken) is empty. Texts are as the camera wrote them,
// trimmed.
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

} // namespace Pictures
