#pragma once

#include <cstdint>

#include "orvo/enumeration.h"
#include "orvo/string.h"

namespace user
{

// Key codes of the keyboard events. Key codes live in the low 32 bits; the modifier keys are
// flags above them, so that a key and the modifiers held with it combine into one 64-bit value.
enum enum_key : std::uint64_t
{
   e_key_none = 0,

   e_key_0 = 2, e_key_1, e_key_2, e_key_3, e_key_4, e_key_5, e_key_6, e_key_7, e_key_8, e_key_9,

   e_key_a = 12, e_key_b, e_key_c, e_key_d, e_key_e, e_key_f, e_key_g, e_key_h, e_key_i, e_key_j,
   e_key_k, e_key_l, e_key_m, e_key_n, e_key_o, e_key_p, e_key_q, e_key_r, e_key_s, e_key_t,
   e_key_u, e_key_v, e_key_w, e_key_x, e_key_y, e_key_z,

   // The keys that type punctuation on a US layout, named after their unshifted character.
   e_key_equal = 38,          // "=" and "+"
   e_key_minus = 39,          // "-" and "_"
   e_key_comma = 40,
   e_key_period = 41,
   e_key_slash = 42,
   e_key_space = 43,
   e_key_semicolon = 44,
   e_key_apostrophe = 45,
   e_key_left_bracket = 46,
   e_key_right_bracket = 47,
   e_key_backslash = 48,
   e_key_grave = 49,

   e_key_home = 50,
   e_key_insert = 51,
   e_key_end = 52,
   e_key_tab = 53,
   e_key_return = 54,
   e_key_backspace = 55,
   e_key_delete = 56,
   e_key_left = 57,
   e_key_right = 58,
   e_key_up = 59,
   e_key_down = 60,
   e_key_page_up = 61,
   e_key_page_down = 62,
   e_key_caps_lock = 63,
   e_key_escape = 64,

   e_key_f1 = 65, e_key_f2, e_key_f3, e_key_f4, e_key_f5, e_key_f6, e_key_f7, e_key_f8, e_key_f9,
   e_key_f10, e_key_f11, e_key_f12,

   // Modifier keys: each is its own flag.
   e_key_left_shift = 0x100000000,
   e_key_right_shift = 0x200000000,
   e_key_left_control = 0x400000000,
   e_key_right_control = 0x800000000,
   e_key_left_alt = 0x1000000000,
   e_key_right_alt = 0x2000000000,
   e_key_super = 0x4000000000,
};

} // namespace user

namespace keyboard
{

// The modifier groups. Pressing a modifier key holds its whole group; the Super key belongs to
// the Control group although its flag lies outside 0xC00000000.
inline constexpr user::enum_key e_group_shift = static_cast<user::enum_key>(0x300000000);
inline constexpr user::enum_key e_group_control = static_cast<user::enum_key>(0xC00000000);
inline constexpr user::enum_key e_group_alt = static_cast<user::enum_key>(0x3000000000);

inline constexpr std::uint64_t key_code_mask = 0xFFFFFFFF;
inline constexpr std::uint64_t modifier_mask = 0x7F00000000;

// The group of a modifier key, or `e_key_none` for any other key.
user::enum_key modifier_group(user::enum_key ekey);

constexpr bool is_modifier(user::enum_key ekey)
{
   return (static_cast<std::uint64_t>(ekey) & modifier_mask) != 0;
}

// The key code of a combination (its modifiers taken away).
constexpr user::enum_key key_code(const enumeration<user::enum_key> & ekeys)
{
   return static_cast<user::enum_key>(ekeys.value() & key_code_mask);
}

// A key combination from its text: modifier names and a key joined by "+" ("CONTROL+S",
// "CONTROL+ALT+S", "CONTROL++"), or a single key character ("s", "S", "+", " "). The modifier
// names are CONTROL, SHIFT, ALT and COMMAND (the Super key), in any letter case. The flags of
// `emodifiers` are added to those named in the text. A key character that its key types with
// Shift ("+" of the equals key) holds Shift too, so that "CONTROL++" is what the user types for
// it: Control, Shift and the equals key. A text that names no known key or an unknown
// modifier gives a combination without a key code, which is equivalent to nothing.
enumeration<user::enum_key> string_key(scoped_string_base strText,
                                       const enumeration<user::enum_key> & emodifiers = {});

// The character that the key types when no modifier is held ("a" for A, "=" for the equals-plus
// key, " " for space), or an empty text for a key that types nothing (Escape, Tab, arrows,
// function and modifier keys).
string_base key_string_with_no_modifier(user::enum_key ekey);

// Whether two combinations name the same key with the same modifier groups: a left and a right
// key of one group count alike, but a group held in one and not the other makes them differ, so
// Control+S does not take Control+Shift+S. A combination without a key code matches nothing.
bool is_equivalent_using_modifiers_groups(const enumeration<user::enum_key> & ekeysA,
                                          const enumeration<user::enum_key> & ekeysB);

} // namespace keyboard
