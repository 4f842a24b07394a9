#pragma once

// The pointer a control shows: the window's default, the plain arrow, or the
// control's own icon.
enum class MousePointer { Default = 0, Arrow = 1, Custom = 99 };
