#include "KeyActions.h"

#include <array>

namespace KeyActions {
namespace {

struct Binding {
    Where where;
    int key;
    Action action;
    // Shift held (true), not held (false), or either (none).
    std::optional<bool> shift = std::nullopt;
};

constexpr std::array Bindings{
    Binding{Where::Grid, Qt::Key_Left, Action::FocusLeft},
    Binding{Where::Grid, Qt::Key_Right, Action::FocusRight},
    Binding{Where::Grid, Qt::Key_Up, Action::FocusUp},
    Binding{Where::Grid, Qt::Key_Down, Action::FocusDown},
    Binding{Where::Grid, Qt::Key_Space, Action::OpenFocused},
    Binding{Where::Grid, Qt::Key_Return, Action::OpenFocused},
    Binding{Where::Grid, Qt::Key_Enter, Action::OpenFocused},
    Binding{Where::Grid, Qt::Key_PageDown, Action::PageForward},
    Binding{Where::Grid, Qt::Key_PageUp, Action::PageBack},
    Binding{Where::Grid, Qt::Key_Home, Action::FirstPage},
    Binding{Where::Grid, Qt::Key_End, Action::LastPage},
    Binding{Where::Grid, Qt::Key_F, Action::FullScreen},

    Binding{Where::View, Qt::Key_Right, Action::StepForward},
    Binding{Where::View, Qt::Key_Space, Action::StepForward},
    Binding{Where::View, Qt::Key_PageDown, Action::StepForward},
    Binding{Where::View, Qt::Key_Left, Action::StepBack},
    Binding{Where::View, Qt::Key_Backspace, Action::StepBack},
    Binding{Where::View, Qt::Key_PageUp, Action::StepBack},
    Binding{Where::View, Qt::Key_Escape, Action::CloseView},
    Binding{Where::View, Qt::Key_Return, Action::CloseView},
    Binding{Where::View, Qt::Key_Enter, Action::CloseView},
    Binding{Where::View, Qt::Key_F, Action::FullScreen},

    Binding{Where::FullScreen, Qt::Key_Escape, Action::Leave},
    Binding{Where::FullScreen, Qt::Key_F, Action::Leave},
    Binding{Where::FullScreen, Qt::Key_F11, Action::Leave},
    Binding{Where::FullScreen, Qt::Key_Right, Action::RightOrNext},
    Binding{Where::FullScreen, Qt::Key_Left, Action::LeftOrPrevious},
    Binding{Where::FullScreen, Qt::Key_Up, Action::PanUp},
    Binding{Where::FullScreen, Qt::Key_Down, Action::PanDown},
    Binding{Where::FullScreen, Qt::Key_Space, Action::Next},
    Binding{Where::FullScreen, Qt::Key_PageDown, Action::Next},
    Binding{Where::FullScreen, Qt::Key_Backspace, Action::Previous},
    Binding{Where::FullScreen, Qt::Key_PageUp, Action::Previous},
    Binding{Where::FullScreen, Qt::Key_Home, Action::First},
    Binding{Where::FullScreen, Qt::Key_End, Action::Last},
    Binding{Where::FullScreen, Qt::Key_1, Action::OneToOne},
    Binding{Where::FullScreen, Qt::Key_Z, Action::OneToOne},
    Binding{Where::FullScreen, Qt::Key_Plus, Action::ZoomIn},
    Binding{Where::FullScreen, Qt::Key_Equal, Action::ZoomIn},
    Binding{Where::FullScreen, Qt::Key_Minus, Action::ZoomOut},
    Binding{Where::FullScreen, Qt::Key_I, Action::Information},
    Binding{Where::FullScreen, Qt::Key_S, Action::Slideshow},
    Binding{Where::FullScreen, Qt::Key_R, Action::TurnClockwise, false},
    Binding{Where::FullScreen, Qt::Key_R, Action::TurnAnticlockwise, true},
    Binding{Where::FullScreen, Qt::Key_Greater, Action::TurnClockwise},
    Binding{Where::FullScreen, Qt::Key_Less, Action::TurnAnticlockwise},
    Binding{Where::FullScreen, Qt::Key_O, Action::Overlay},
    Binding{Where::FullScreen, Qt::Key_W, Action::FitScreen, false},
    Binding{Where::FullScreen, Qt::Key_W, Action::EnlargeSmall, true},
    Binding{Where::FullScreen, Qt::Key_V, Action::FillScreen},
    Binding{Where::FullScreen, Qt::Key_E, Action::FitWidth, false},
    Binding{Where::FullScreen, Qt::Key_E, Action::FitHeight, true},
    Binding{Where::FullScreen, Qt::Key_K, Action::KeepZoom},
    // [ and ], and the keys in their place on a Czech keyboard (ú and ")").
    Binding{Where::FullScreen, Qt::Key_BracketLeft, Action::SlideshowShorter},
    Binding{Where::FullScreen, Qt::Key_Uacute, Action::SlideshowShorter},
    Binding{Where::FullScreen, Qt::Key_BracketRight, Action::SlideshowLonger},
    Binding{Where::FullScreen, Qt::Key_ParenRight, Action::SlideshowLonger},
    Binding{Where::FullScreen, Qt::Key_L, Action::SlideshowLoop},
    Binding{Where::FullScreen, Qt::Key_N, Action::SlideshowRandom},
};

} // namespace

std::optional<Action> ForKey(Where where, int key, Qt::KeyboardModifiers modifiers)
{
    const bool shift = modifiers & Qt::ShiftModifier;
    for (const Binding& binding : Bindings) {
        if (binding.where == where && binding.key == key && (!binding.shift || *binding.shift == shift))
            return binding.action;
    }
    return std::nullopt;
}

} // namespace KeyActions
