#include "FinishImage.h"

#include "Decode.h"

namespace Pictures {
namespace {

// Qt's smooth scaler keeps its steps in 32-bit fixed point with 14 bits of
// fraction: shrinking to a side of 2^17 pixels or more overflows them, and it
// then reads outside the picture or runs for minutes. Only a BMP can ask for
// that (a 148-byte one of 524 288 x 32 does, at its own size on the full
// screen); it is shrunk further, to the longest side a JPEG or GIF can have.
constexpr int LongestScaledSide = 65535;

// Smooth scaling works on 32-bit pixels; the copy is made here, once, and
// the decoded pixels are let go before the scaled ones are made.
QImage scaledSmoothly(QImage image, QSize size)
{
    if (image.size() == size)
        return image;
    size = DecodeSize(size, LongestScaledSide);
    if (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32_Premultiplied)
        image =
            image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    return image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

bool needsConversion(const QImage& image, const QColorSpace& profile)
{
    // Grey pixels have no RGB primaries to convert from.
    const bool grey = image.format() == QImage::Format_Grayscale8 || image.format() == QImage::Format_Grayscale16;
    return profile.isValid() && profile != QColorSpace(QColorSpace::SRgb) && !grey;
}

} // namespace

QImage FinishImage(QImage decoded, QSize storedTarget, const QColorSpace& profile, Orientation orientation)
{
    QImage image = scaledSmoothly(std::move(decoded), storedTarget);
    if (needsConversion(image, profile)) {
        image.setColorSpace(profile);
        image.convertToColorSpace(QColorSpace::SRgb);
    }
    return orientation.uprightImage(std::move(image));
}

} // namespace Pictures
