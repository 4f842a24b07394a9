#pragma once

#include <QByteArrayView>

namespace Pictures {

// The formats shown, told apart by their first bytes only: a file's name
// says nothing about what it holds.
enum class PictureFormat { Unknown, Jpeg, Bmp, Gif };

// Bytes needed to tell the formats apart.
constexpr qsizetype FormatSignatureBytes = 6;

PictureFormat DetectFormat(QByteArrayView start);

} // namespace Pictures
