#pragma once

#include <cmath>

// Positions and sizes are kept in twips, 15 to a pixel. Values stay floating
// point so that a half twip survives a read-back; only the widget on screen is
// placed at whole pixels.
namespace Twips {

inline constexpr double PerPixel = 15.0;

inline int ToPixels(double twips)
{
    return static_cast<int>(std::lround(twips / PerPixel));
}

inline double ToPixelsF(double twips)
{
    return twips / PerPixel;
}

inline double FromPixels(double pixels)
{
    return pixels * PerPixel;
}

} // namespace Twips
