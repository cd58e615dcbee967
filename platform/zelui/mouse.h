#pragma once

#include "orvo/keyboard.h"

namespace user
{

// Mouse buttons as the events name them.
enum enum_mouse : int
{
   e_mouse_none = 0,
   e_mouse_left_button = 1,
   e_mouse_right_button = 2,
   e_mouse_middle_button = 3,
};

// Flags of the buttons held during a motion, carried in the key-state set of mouse events beside
// the modifier keys (bit 48 is the left button).
inline constexpr enum_key e_key_left_button = static_cast<enum_key>(0x1000000000000);
inline constexpr enum_key e_key_right_button = static_cast<enum_key>(0x2000000000000);
inline constexpr enum_key e_key_middle_button = static_cast<enum_key>(0x4000000000000);
inline constexpr std::uint64_t mouse_buttons_mask = 0x7000000000000;

// The held-button flag of a button.
constexpr enum_key held_flag(enum_mouse ebutton)
{
   switch (ebutton)
   {
   case e_mouse_left_button: return e_key_left_button;
   case e_mouse_right_button: return e_key_right_button;
   case e_mouse_middle_button: return e_key_middle_button;
   default: return e_key_none;
   }
}

// Action codes of keyboard events.
enum enum_key_action : int
{
   e_key_action_press = 256,
   e_key_action_release = 257,
   e_key_action_repeat = 258,
};

// Mouse pointer shapes a widget asks for while the pointer is over it.
enum enum_cursor : int
{
   e_cursor_arrow = 0,
   e_cursor_hand = 1,
   e_cursor_text = 2,
   e_cursor_crosshair = 3,
   e_cursor_size_horizontal = 4,
   e_cursor_size_vertical = 5,
   e_cursor_move = 6,
};

} // namespace user
