#pragma once

#include <QColor>

// Colours are kept as one integer, red + 256 * green + 65536 * blue, the form
// in which the window stores and compares them.
constexpr int RGB(int red, int green, int blue)
{
    return red + 256 * green + 65536 * blue;
}

inline QColor ToQColor(int color)
{
    return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}
