#pragma once

#include <SDL.h>

#include <cstdint>
#include <cstdio>

// Input as the desktop would send it to a window, pushed into SDL's queue.
namespace sdl_events
{

// A key press or release; a press with text is followed by the text it types, as SDL sends it.
inline void push_key(std::uint32_t uWindow, std::uint32_t uType, SDL_Keycode keycode, SDL_Scancode scancode,
                     std::uint16_t uModifiers = KMOD_NONE, const char * pszText = nullptr)
{
   SDL_Event event{};
   event.type = uType;
   event.key.windowID = uWindow;
   event.key.state = uType == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
   event.key.keysym.sym = keycode;
   event.key.keysym.scancode = scancode;
   event.key.keysym.mod = uModifiers;
   SDL_PushEvent(&event);
   if (pszText)
   {
      SDL_Event text{};
      text.type = SDL_TEXTINPUT;
      text.text.windowID = uWindow;
      std::snprintf(text.text.text, sizeof(text.text.text), "%s", pszText);
      SDL_PushEvent(&text);
   }
}

// `clicks`: SDL's count of the presses that followed one another within its double-click time
// and distance, this one included.
inline void push_mouse_button(std::uint32_t uWindow, std::uint32_t uType, int x, int y, std::uint8_t clicks = 1)
{
   SDL_Event event{};
   event.type = uType;
   event.button.windowID = uWindow;
   event.button.button = SDL_BUTTON_LEFT;
   event.button.state = uType == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
   event.button.clicks = clicks;
   event.button.x = x;
   event.button.y = y;
   SDL_PushEvent(&event);
}

inline void push_mouse_motion(std::uint32_t uWindow, int x, int y)
{
   SDL_Event event{};
   event.type = SDL_MOUSEMOTION;
   event.motion.windowID = uWindow;
   event.motion.x = x;
   event.motion.y = y;
   SDL_PushEvent(&event);
}

inline void push_window_event(std::uint32_t uWindow, SDL_WindowEventID eevent, int data1 = 0, int data2 = 0)
{
   SDL_Event event{};
   event.type = SDL_WINDOWEVENT;
   event.window.event = eevent;
   event.window.windowID = uWindow;
   event.window.data1 = data1;
   event.window.data2 = data2;
   SDL_PushEvent(&event);
}

} // namespace sdl_events
