#pragma once

#include "Orientation.h"

#include <QColorSpace>
#include <QImage>
#include <QSize>

namespace Pictures {

// The last steps of every decode, at the smallest size possible: the decoded
// image (as stored, at least as large as storedTarget) is scaled smoothly to
// exactly storedTarget (or, for a BMP with a side over 65535 pixels, to the
// same shape with that longest side), converted from the file's colour profile to sRGB
// (untagged pictures stay exactly as they are), and turned upright.
QImage FinishImage(QImage decoded, QSize storedTarget, const QColorSpace& profile, Orientation orientation);

} // namespace Pictures
