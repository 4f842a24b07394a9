#pragma once

#include <QByteArray>
#include <QImage>

namespace Pictures {

// Converts CMYK pixels in place to sRGB through the file's ICC profile, with
// lcms2, relative colorimetric. The image holds the CMYK bytes as libjpeg
// gives them, four to a 32-bit pixel (inverted, 255 meaning no ink, when
// Adobe's marker says so), and afterwards the RGB32 pixels. False, with the
// image untouched, when the profile is not a CMYK profile lcms2 can use; the
// caller converts without a profile then.
//
// Memory beyond the image: one row of pixels (less than libjpeg's own rows,
// which are freed by then) and the transform, which is bounded by the
// profile's size.
bool ConvertCmykToSrgb(QImage& image, const QByteArray& iccProfile, bool inverted);

// The most a conversion of rows `width` pixels wide takes beside the image,
// for the decoder's memory limit: the profile's bytes, lcms2's parsed form of
// them (its tables widened to 16 bits), the transform's own table and one row.
qint64 CmykConversionBytes(int width);

// True when an ICC profile describes CMYK pixels (its header says so).
bool IsCmykProfile(const QByteArray& iccProfile);

} // namespace Pictures
