#include <gtest/gtest.h>

#include <SDL.h>

#include "host/sdl_input.h"

TEST(sdl_input, letters_digits_and_the_named_keys_take_the_toolkit_codes)
{
   EXPECT_EQ(sdl_input::key_of(SDLK_a), user::e_key_a);
   EXPECT_EQ(sdl_input::key_of(SDLK_z), 37u);
   EXPECT_EQ(sdl_input::key_of(SDLK_0), 2u);
   EXPECT_EQ(sdl_input::key_of(SDLK_9), 11u);
   EXPECT_EQ(sdl_input::key_of(SDLK_KP_0), user::e_key_0);
   EXPECT_EQ(sdl_input::key_of(SDLK_KP_9), user::e_key_9);
   EXPECT_EQ(sdl_input::key_of(SDLK_SPACE), 43u);
   EXPECT_EQ(sdl_input::key_of(SDLK_END), 52u);
   EXPECT_EQ(sdl_input::key_of(SDLK_TAB), 53u);
   EXPECT_EQ(sdl_input::key_of(SDLK_ESCAPE), 64u);
   EXPECT_EQ(sdl_input::key_of(SDLK_F12), user::e_key_f12);
   EXPECT_EQ(sdl_input::key_of(SDLK_LSHIFT), user::e_key_left_shift);
   EXPECT_EQ(sdl_input::key_of(SDLK_RGUI), user::e_key_super);
   EXPECT_EQ(sdl_input::key_of(SDLK_VOLUMEUP), user::e_key_none);
}

TEST(sdl_input, only_the_layout_s_equals_plus_and_minus_keys_carry_the_scan_codes_24_and_27)
{
   EXPECT_EQ(sdl_input::scan_code_of(SDLK_EQUALS, SDL_SCANCODE_EQUALS), 24);
   EXPECT_EQ(sdl_input::scan_code_of(SDLK_MINUS, SDL_SCANCODE_MINUS), 27);
   // A German layout: "+" and "-" keys of their own, "ß" where a US layout has "-".
   EXPECT_EQ(sdl_input::scan_code_of(SDLK_PLUS, SDL_SCANCODE_RIGHTBRACKET), 24);
   EXPECT_EQ(sdl_input::scan_code_of(SDLK_MINUS, SDL_SCANCODE_SLASH), 27);
   EXPECT_EQ(sdl_input::scan_code_of(0xDF, SDL_SCANCODE_MINUS), SDL_SCANCODE_MINUS + 256);
   EXPECT_EQ(sdl_input::scan_code_of(SDLK_KP_PLUS, SDL_SCANCODE_KP_PLUS), 24);
   EXPECT_EQ(sdl_input::scan_code_of(SDLK_KP_MINUS, SDL_SCANCODE_KP_MINUS), 27);
   // SDL numbers U and X 24 and 27: they must not pass for "=" and "-".
   for (int iScancode = 0; iScancode < SDL_NUM_SCANCODES; ++iScancode)
   {
      ASSERT_NE(sdl_input::scan_code_of(SDLK_u, iScancode), 24) << iScancode;
      ASSERT_NE(sdl_input::scan_code_of(SDLK_x, iScancode), 27) << iScancode;
   }
}

TEST(sdl_input, modifiers_keep_left_and_right_apart_and_both_super_keys_are_one_flag)
{
   EXPECT_EQ(sdl_input::modifiers_of(KMOD_NONE).value(), 0u);
   EXPECT_EQ(sdl_input::modifiers_of(KMOD_LSHIFT | KMOD_RCTRL).value(), 0x100000000u | 0x800000000u);
   EXPECT_EQ(sdl_input::modifiers_of(KMOD_RSHIFT | KMOD_LCTRL | KMOD_LALT | KMOD_RALT).value(),
             0x200000000u | 0x400000000u | 0x1000000000u | 0x2000000000u);
   EXPECT_EQ(sdl_input::modifiers_of(KMOD_LGUI | KMOD_RGUI).value(), 0x4000000000u);
   // Lock keys are no modifiers of a shortcut.
   EXPECT_EQ(sdl_input::modifiers_of(KMOD_NUM | KMOD_CAPS).value(), 0u);
}

TEST(sdl_input, control_super_and_the_left_alt_make_a_press_a_shortcut_that_types_nothing)
{
   EXPECT_TRUE(sdl_input::types_text(KMOD_NONE));
   EXPECT_TRUE(sdl_input::types_text(KMOD_LSHIFT | KMOD_RSHIFT | KMOD_CAPS | KMOD_NUM));
   // The right Alt is AltGr on the layouts that have one.
   EXPECT_TRUE(sdl_input::types_text(KMOD_RALT | KMOD_LSHIFT));
   for (std::uint16_t uModifiers : {KMOD_LCTRL, KMOD_RCTRL, KMOD_LGUI, KMOD_RGUI, KMOD_LALT})
   {
      EXPECT_FALSE(sdl_input::types_text(uModifiers)) << uModifiers;
      EXPECT_FALSE(sdl_input::types_text(uModifiers | KMOD_LSHIFT)) << uModifiers;
   }
   EXPECT_FALSE(sdl_input::types_text(KMOD_LCTRL | KMOD_RALT));
}

TEST(sdl_input, buttons_are_numbered_left_right_middle_and_a_notch_is_ten)
{
   EXPECT_EQ(sdl_input::button_of(SDL_BUTTON_LEFT), user::e_mouse_left_button);
   EXPECT_EQ(sdl_input::button_of(SDL_BUTTON_RIGHT), 2);
   EXPECT_EQ(sdl_input::button_of(SDL_BUTTON_MIDDLE), 3);
   EXPECT_EQ(sdl_input::button_of(SDL_BUTTON_X1), user::e_mouse_none);
   EXPECT_EQ(sdl_input::held_buttons_of(SDL_BUTTON_LMASK | SDL_BUTTON_MMASK).value(),
             static_cast<std::uint64_t>(user::e_key_left_button) | user::e_key_middle_button);

   EXPECT_EQ(sdl_input::wheel_delta_of(0.0f, 1.0f, false), (size_type<float>{0.0f, 10.0f}));
   EXPECT_EQ(sdl_input::wheel_delta_of(0.0f, 1.0f, true), (size_type<float>{-0.0f, -10.0f}));
   EXPECT_EQ(sdl_input::wheel_delta_of(0.5f, -2.0f, false), (size_type<float>{5.0f, -20.0f}));
}
