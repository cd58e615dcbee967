#include "host/sdl_input.h"

#include <SDL.h>

namespace sdl_input
{

namespace
{

struct key_pair
{
   SDL_Keycode sdl;
   user::enum_key key;
};

constexpr key_pair g_keys[] = {
   {SDLK_EQUALS, user::e_key_equal}, {SDLK_MINUS, user::e_key_minus}, {SDLK_COMMA, user::e_key_comma},
   {SDLK_PERIOD, user::e_key_period}, {SDLK_SLASH, user::e_key_slash}, {SDLK_SPACE, user::e_key_space},
   {SDLK_SEMICOLON, user::e_key_semicolon}, {SDLK_QUOTE, user::e_key_apostrophe},
   {SDLK_LEFTBRACKET, user::e_key_left_bracket}, {SDLK_RIGHTBRACKET, user::e_key_right_bracket},
   {SDLK_BACKSLASH, user::e_key_backslash}, {SDLK_BACKQUOTE, user::e_key_grave},
   {SDLK_HOME, user::e_key_home}, {SDLK_INSERT, user::e_key_insert}, {SDLK_END, user::e_key_end},
   {SDLK_TAB, user::e_key_tab}, {SDLK_RETURN, user::e_key_return}, {SDLK_KP_ENTER, user::e_key_return},
   {SDLK_BACKSPACE, user::e_key_backspace}, {SDLK_DELETE, user::e_key_delete}, {SDLK_LEFT, user::e_key_left},
   {SDLK_RIGHT, user::e_key_right}, {SDLK_UP, user::e_key_up}, {SDLK_DOWN, user::e_key_down},
   {SDLK_PAGEUP, user::e_key_page_up}, {SDLK_PAGEDOWN, user::e_key_page_down},
   {SDLK_CAPSLOCK, user::e_key_caps_lock}, {SDLK_ESCAPE, user::e_key_escape},
   {SDLK_KP_PLUS, user::e_key_equal}, {SDLK_KP_MINUS, user::e_key_minus}, {SDLK_KP_PERIOD, user::e_key_period},
   {SDLK_KP_DIVIDE, user::e_key_slash},
   {SDLK_LSHIFT, user::e_key_left_shift}, {SDLK_RSHIFT, user::e_key_right_shift},
   {SDLK_LCTRL, user::e_key_left_control}, {SDLK_RCTRL, user::e_key_right_control},
   {SDLK_LALT, user::e_key_left_alt}, {SDLK_RALT, user::e_key_right_alt},
   {SDLK_LGUI, user::e_key_super}, {SDLK_RGUI, user::e_key_super},
};

constexpr std::pair<SDL_Keymod, user::enum_key> g_modifiers[] = {
   {KMOD_LSHIFT, user::e_key_left_shift}, {KMOD_RSHIFT, user::e_key_right_shift},
   {KMOD_LCTRL, user::e_key_left_control}, {KMOD_RCTRL, user::e_key_right_control},
   {KMOD_LALT, user::e_key_left_alt}, {KMOD_RALT, user::e_key_right_alt},
   {KMOD_LGUI, user::e_key_super}, {KMOD_RGUI, user::e_key_super},
};

user::enum_key offset_key(user::enum_key efirst, int iOffset)
{
   return static_cast<user::enum_key>(static_cast<std::uint64_t>(efirst) + static_cast<std::uint64_t>(iOffset));
}

} // namespace

user::enum_key key_of(std::int32_t iSdlKeycode)
{
   if (iSdlKeycode >= SDLK_a && iSdlKeycode <= SDLK_z)
   {
      return offset_key(user::e_key_a, iSdlKeycode - SDLK_a);
   }
   if (iSdlKeycode >= SDLK_0 && iSdlKeycode <= SDLK_9)
   {
      return offset_key(user::e_key_0, iSdlKeycode - SDLK_0);
   }
   if (iSdlKeycode >= SDLK_KP_1 && iSdlKeycode <= SDLK_KP_9)
   {
      return offset_key(user::e_key_1, iSdlKeycode - SDLK_KP_1);
   }
   if (iSdlKeycode == SDLK_KP_0)
   {
      return user::e_key_0;
   }
   if (iSdlKeycode >= SDLK_F1 && iSdlKeycode <= SDLK_F12)
   {
      return offset_key(user::e_key_f1, iSdlKeycode - SDLK_F1);
   }
   for (const key_pair & pair : g_keys)
   {
      if (pair.sdl == iSdlKeycode)
      {
         return pair.key;
      }
   }
   return user::e_key_none;
}

int scan_code_of(std::int32_t iSdlKeycode, int iSdlScancode)
{
   switch (iSdlKeycode)
   {
   case SDLK_EQUALS:
   case SDLK_PLUS:
   case SDLK_KP_PLUS:
      return 24;
   case SDLK_MINUS:
   case SDLK_KP_MINUS:
      return 27;
   default:
      return iSdlScancode + 256;
   }
}

enumeration<user::enum_key> modifiers_of(std::uint16_t uSdlModifiers)
{
   enumeration<user::enum_key> emodifiers;
   for (const auto & [kmod, ekey] : g_modifiers)
   {
      if (uSdlModifiers & kmod)
      {
         emodifiers.add(ekey);
      }
   }
   return emodifiers;
}

bool types_text(std::uint16_t uSdlModifiers)
{
   return (uSdlModifiers & (KMOD_CTRL | KMOD_GUI | KMOD_LALT)) == 0;
}

user::enum_mouse button_of(std::uint8_t uSdlButton)
{
   switch (uSdlButton)
   {
   case SDL_BUTTON_LEFT: return user::e_mouse_left_button;
   case SDL_BUTTON_RIGHT: return user::e_mouse_right_button;
   case SDL_BUTTON_MIDDLE: return user::e_mouse_middle_button;
   default: return user::e_mouse_none;
   }
}

enumeration<user::enum_key> held_buttons_of(std::uint32_t uSdlButtonState)
{
   enumeration<user::enum_key> ebuttons;
   for (std::uint8_t uButton : {SDL_BUTTON_LEFT, SDL_BUTTON_RIGHT, SDL_BUTTON_MIDDLE})
   {
      if (uSdlButtonState & SDL_BUTTON(uButton))
      {
         ebuttons.add(user::held_flag(button_of(uButton)));
      }
   }
   return ebuttons;
}

size_type<float> wheel_delta_of(float fPreciseX, float fPreciseY, bool bFlipped)
{
   const float fSign = bFlipped ? -10.0f : 10.0f;
   return {fPreciseX * fSign, fPreciseY * fSign};
}

} // namespace sdl_input
