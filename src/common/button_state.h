#pragma once
// State of the program's picture buttons; it doubles as their enabled state.
enum class ButtonState { Normal = 0, Hover = 1, Down = 2, Disabled = 3 };

// Keyboard shortcuts act on a button only while it is neither held down nor disabled.
constexpr bool acceptsKeys(ButtonState s) {
    return s == ButtonState::Normal || s == ButtonState::Hover;
}
