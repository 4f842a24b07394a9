#pragma once

#include "Colors.h"

// Every colour the window paints with, as red + 256 * green + 65536 * blue.
namespace WindowColors {

// The window's own background, set at start.
inline constexpr int Background = RGB(156, 194, 217);
// Frames of the grid: mid grey normally, light grey while the view is open.
inline constexpr int FrameNormal = RGB(128, 128, 128);
inline constexpr int FrameDimmed = RGB(180, 180, 180);
// The enlarged view's background once laid out (the mid grey of the frames),
// and before that the light grey it is created with.
inline constexpr int ViewBack = FrameNormal;
inline constexpr int ViewBackAtCreation = RGB(192, 192, 192);
// Before the window loads: the system's "inactive border" as background, and
// the "button face" of the thumbnail boxes, which their pictures cover.
inline constexpr int InactiveBorder = RGB(212, 208, 200);
inline constexpr int ButtonFace = RGB(240, 240, 240);
// Texts: the page counter dark red, the exit label white, the view's caption black.
inline constexpr int CounterText = RGB(64, 0, 0);
inline constexpr int ExitLabelText = RGB(255, 255, 255);
inline constexpr int ViewCaptionText = RGB(0, 0, 0);
// The edge drawn around the frame that has the keyboard focus: the page
// counter's dark red, which stands out on both greys.
inline constexpr int FocusEdge = CounterText;

} // namespace WindowColors
