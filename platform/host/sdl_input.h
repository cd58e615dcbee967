#pragma once

#include <cstdint>

#include "orvo/enumeration.h"
#include "orvo/geometry.h"
#include "orvo/keyboard.h"
#include "zelui/mouse.h"

// How SDL's input becomes the toolkit's: key codes, scan codes, modifier flags, buttons and wheel
// deltas. SDL's own numbers never leave this translation.
namespace sdl_input
{

// The key code of an SDL key (by its symbol, so letters follow the keyboard layout); e_key_none for
// keys the toolkit does not name.
user::enum_key key_of(std::int32_t iSdlKeycode);

// The platform scan code of a key: 24 for the key that types "=" or "+" in the keyboard layout
// (a US "=" key, a German "+" key, the keypad's "+") and 27 for the key that types "-" (the main
// one and the keypad's), as the shortcuts expect; SDL's scan code moved above 255 for every other
// key, so that no key collides with those two. The layout's key symbol decides, not the key's
// place: on a German layout the key where a US one has "-" types "ß" and is no "-" key.
int scan_code_of(std::int32_t iSdlKeycode, int iSdlScancode);

// The modifier flags of SDL's modifier state.
enumeration<user::enum_key> modifiers_of(std::uint16_t uSdlModifiers);

// Whether a key pressed with these modifiers types its text. A press made with Control, Super or
// the left Alt held is a shortcut: it types nothing, and its key code names it. Shift and the
// right Alt (AltGr, which reaches a layout's further characters) type as usual.
bool types_text(std::uint16_t uSdlModifiers);

// The toolkit's button of an SDL button; e_mouse_none for the extra buttons.
user::enum_mouse button_of(std::uint8_t uSdlButton);

// The held-button flags of SDL's button state.
enumeration<user::enum_key> held_buttons_of(std::uint32_t uSdlButtonState);

// The wheel delta of SDL's wheel amounts: one notch is 10, positive away from the user, whatever
// the wheel direction setting.
size_type<float> wheel_delta_of(float fPreciseX, float fPreciseY, bool bFlipped);

} // namespace sdl_input
