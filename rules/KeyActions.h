#pragma once

#include <Qt>

#include <optional>

// The keys of the grid, the enlarged view and the full-screen view, in one
// table: which action a key takes where the keyboard is. Menus, keys and the
// wheel all trigger these actions; the window and the full-screen view each
// carry out theirs.
namespace KeyActions {

// Where the keys go: the grid (the enlarged view closed), the enlarged view
// (open), or the full-screen view.
enum class Where { Grid, View, FullScreen };

enum class Action {
    // The grid: the focus between the cells, the focused cell opened, pages.
    FocusLeft,
    FocusRight,
    FocusUp,
    FocusDown,
    OpenFocused,
    PageForward,
    PageBack,
    FirstPage,
    LastPage,
    // The enlarged view.
    StepForward,
    StepBack,
    CloseView,
    // The grid and the enlarged view: the picture full screen.
    FullScreen,
    // The full-screen view. The arrows across pan a picture larger than the
    // screen and step otherwise; the others pan only.
    Next,
    Previous,
    First,
    Last,
    RightOrNext,
    LeftOrPrevious,
    PanUp,
    PanDown,
    OneToOne,
    ZoomIn,
    ZoomOut,
    Information,
    Slideshow,
    TurnClockwise,
    TurnAnticlockwise,
    // The one-line overlay (name, place, zoom).
    Overlay,
    // Zoom modes, each kept across pictures until another is chosen.
    FitScreen,
    FillScreen,
    FitWidth,
    FitHeight,
    EnlargeSmall,
    // Keeping the zoom and the place in the picture across pictures.
    KeepZoom,
    // The slideshow's delay, looping and random order.
    SlideshowShorter,
    SlideshowLonger,
    SlideshowLoop,
    SlideshowRandom,
    Leave,
};

// The action of `key` where the keyboard is, or none. The grid and the view
// take keys without modifiers only (the caller leaves the others to the
// focus chain and the menus); the full screen tells Shift apart only where
// it matters (R, Shift+R; W, Shift+W; E, Shift+E).
std::optional<Action> ForKey(Where where, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

} // namespace KeyActions
