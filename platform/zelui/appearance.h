#pragma once

#include "orvo/enumeration.h"
#include "orvo/geometry.h"
#include "orvo/keyboard.h"
#include "orvo/string.h"
#include "zelui/forward.h"
#include "zelui/mouse.h"

namespace user
{

// What draws a window and takes its events: the window (the host's `interaction`) calls it, and
// the toolkit's `zelui::Screen` implements it. A window adopts the screen's appearance with
// `interaction::set_appearance(screen.appearance())`.
//
// Points are client pixels with (0, 0) at the top-left of the drawing area. Every mouse and key
// event carries the key-state set: the modifier keys held (`user::enum_key` flags) and, for mouse
// events, the buttons held (`e_key_left_button` and its siblings). Each call returns whether a
// widget handled the event.
class appearance
{
public:
   virtual ~appearance() = default;

   // A button pressed or released. `bDoubleClick` marks a press that follows the press of the same
   // button before it within the desktop's double-click time and distance; the screen decides for
   // which widgets it is the second press of a double click (those that both presses landed on).
   virtual bool on_window_mouse_button(const point_type<int> & point, enum_mouse ebutton, bool bDown,
                                       bool bDoubleClick, const enumeration<enum_key> & ekeystate) = 0;

   // The pointer moved to `point`; the motion since the last event is worked out by the screen.
   virtual bool on_window_mouse_motion(const point_type<int> & point, const enumeration<enum_key> & ekeystate) = 0;

   // The pointer entered (`bEnter`) or left the window. Leaving ends any drag and mouse capture.
   virtual bool on_window_mouse_enter(const point_type<int> & point, bool bEnter,
                                      const enumeration<enum_key> & ekeystate) = 0;

   // The wheel turned: one notch is a delta of 10 (height positive away from the user).
   virtual bool on_window_scroll(const point_type<int> & point, const size_type<float> & delta) = 0;

   // A key: its code, the platform scan code, the action (256 press, 257 release, 258 repeat),
   // the modifiers held and the text that the key types (a press carries it; may be empty).
   virtual bool on_window_keyboard(enum_key ekey, int iScancode, int iAction, const enumeration<enum_key> & emodifiers,
                                   const string_base & strText) = 0;

   // The window gained or lost the keyboard focus. Losing it ends any drag and mouse capture.
   virtual void on_window_focus(bool bFocused) = 0;

   // The drawing area changed size.
   virtual void on_window_resize(const size_type<int> & size) = 0;

   // One frame, into `pcontext` whose target is the window's pixels (client size times the pixel
   // ratio; the context is scaled so that the screen draws in client pixels): the widgets'
   // one-shot layout hooks run, then the layout (always when `bNeedLayout`, and after any hook),
   // then everything is drawn.
   virtual void on_window_frame(zel2d::context * pcontext, bool bNeedLayout) = 0;

   // The close box of the window was used; the screen decides what follows.
   virtual void on_window_close() = 0;

   // The pointer shape for the widget under the pointer (`user::enum_cursor`).
   virtual int window_cursor() const = 0;
};

} // namespace user
