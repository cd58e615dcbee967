#pragma once

#include <mutex>
#include <vector>

#include "orvo/image.h"
#include "zelui/Widget.h"
#include "zelui/appearance.h"

namespace zelui
{

// The root of a widget tree: what a window shows. The host gives it its window
// (`user::interaction`) and calls it as the window's `user::appearance`; a screen without a
// window (tests) takes events through the same calls and draws into any context it is given.
//
// The screen keeps the keyboard focus path, the mouse capture, the drag widget (set by a widget
// that starts a drag with a press, cleared after the button's release is delivered), the last
// mouse position and the modifiers held. Capture and drag end when the pointer leaves the window
// and when the window loses the focus; the widget that held the capture is then told that its
// press ended without a release (`Widget::mouse_capture_lost`).
//
// Double clicks: the window marks a press that follows the one before within the desktop's
// double-click time and distance. The screen makes it the second press of a double click only for
// the widgets that both presses landed on (the deepest widget under the pointer each time, and its
// ancestors): a press on one widget right after a press on another is a single press there, as is
// a press on a widget that came in place of the one pressed first. A press that ends a double click
// begins no other one, so a third quick press is a single press again.
//
// A text box's edit is committed whenever the user leaves it: a press anywhere else, Tab, its
// window hidden (see `Widget::set_visible`), the window losing the desktop's focus, and (by the
// application) a shortcut.
class Screen : public Widget, public user::appearance
{
public:
   // `pinteraction` may be null. Drawing goes to memory, so the screen takes no hints about a
   // drawing surface.
   explicit Screen(user::interaction * pinteraction, const size_type<int> & size = {}, scoped_string_base strCaption = {});
   ~Screen() override;

   user::interaction * get_interaction() const noexcept { return m_pinteraction; }
   void set_interaction(user::interaction * pinteraction) noexcept { m_pinteraction = pinteraction; }
   // The part the window adopts with `set_appearance`.
   user::appearance * appearance() noexcept { return this; }

   const string_base & caption() const noexcept { return m_strCaption; }
   void set_caption(scoped_string_base strCaption) { m_strCaption = strCaption; }
   Theme * get_theme() const noexcept { return m_ptheme.get(); }
   float pixel_ratio() const;
   // The lock of the child list, held while children are added, removed or reordered and while
   // the screen draws.
   std::recursive_mutex & children_mutex() noexcept { return m_mutexChildren; }
   // A new picture of the given size, all transparent.
   pointer<image::image> create_image(const size_type<int> & size) const;

   // Whether Tab and Shift+Tab move the focus through the widgets that accept it (on by default;
   // a screen that runs its own focus order turns it off).
   bool tab_navigation() const noexcept { return m_bTabNavigation; }
   void set_tab_navigation(bool bOn) noexcept { m_bTabNavigation = bOn; }
   // Moves the focus to the next (or previous) widget that accepts it, in tree order.
   void focus_next(bool bBackwards);

   const point_type<int> & mouse_position() const noexcept { return m_pointMouse; }
   const enumeration<user::enum_key> & modifiers() const noexcept { return m_emodifiers; }

   // The focus: the widget that has it (the end of the focus path), or null; never the screen.
   Widget * focused_widget() const noexcept;
   // Hooks of focus changes; the defaults move the focus. `on_child_set_focus` gives the focus to
   // `pwidget` (first calling `on_child_kill_focus` for the widget that loses it); null, or the
   // screen itself, takes it from everyone. `on_child_kill_focus` takes the focus away when `pwidget` has it.
   virtual void on_child_set_focus(Widget * pwidget);
   virtual void on_child_kill_focus(Widget * pwidget);

   Widget * drag_widget() const noexcept { return m_pwidgetDrag.get(); }
   void set_drag_widget(Widget * pwidget) noexcept { m_pwidgetDrag = pwidget; }
   Widget * capture_widget() const noexcept { return m_pwidgetCapture.get(); }
   void set_capture_widget(Widget * pwidget) noexcept { m_pwidgetCapture = pwidget; }
   // While a press is being delivered: whether it is the second press of a double click on
   // `pwidget`, the first press having landed on it too (on it or on a widget inside it).
   bool double_click_on(const Widget * pwidget) const noexcept;
   // Clears focus, capture, drag and hover references into a subtree that leaves the screen or
   // is hidden.
   void forget_widget(Widget * pwidget);
   // Hands the text that the focused text box is editing to its owner; the box keeps the focus.
   void commit_focused_edit();

   // Hooks of the screen.
   // A press is about to reach `pwidget` (the deepest widget under the pointer, or the screen);
   // returning false keeps the press from every widget.
   virtual bool on_mouse_down(Widget * pwidget);
   // The window's close box; the default leaves the window open.
   virtual void on_close();
   // The window's drawing area changed size: the screen takes it and asks for a layout.
   virtual bool resize_event(const size_type<int> & size);
   // One frame: `draw_contents` (the background), then the widgets, then the tooltip.
   virtual void draw_all(zel2d::context * pcontext);
   virtual void draw_contents(zel2d::context * pcontext);
   // Fills the screen with the theme's background.
   void clear(zel2d::context * pcontext);
   // Runs every widget's one-shot layout hook, tree order; false when none was stored.
   bool run_layout_hooks(zel2d::context * pcontext);
   // The topmost visible modal window, or null.
   Window * modal_window() const;
   // Whether a modal window keeps mouse events at a point from the widgets there (the point is
   // outside it and outside the popups opened from it).
   bool blocked_by_modal(const point_type<int> & point);
   // Hides every open popup that neither holds `pwidget` nor belongs to the button it lies in.
   void close_popups_except(Widget * pwidget);

   // Widget events, with the screen's own routing (capture, modal windows, focus, drag end).
   bool mouse_button_event(const point_type<int> & point, enumeration<user::enum_mouse> ebutton, bool bDown, bool bDoubleClick,
                           const enumeration<user::enum_key> & emodifiers) override;
   bool mouse_motion_event(const point_type<int> & point, const size_type<int> & motion, bool bButton,
                           const enumeration<user::enum_key> & ekeystate) override;
   bool mouse_enter_event(const point_type<int> & point, bool bEnter, const enumeration<user::enum_key> & emodifiers) override;
   bool scroll_event(const point_type<int> & point, const size_type<float> & delta) override;
   bool keyboard_event(user::enum_key ekey, int iScancode, int iAction, const enumeration<user::enum_key> & emodifiers,
                       const string_base & strText) override;

   // user::appearance: what the window calls.
   bool on_window_mouse_button(const point_type<int> & point, user::enum_mouse ebutton, bool bDown, bool bDoubleClick,
                               const enumeration<user::enum_key> & ekeystate) override;
   bool on_window_mouse_motion(const point_type<int> & point, const enumeration<user::enum_key> & ekeystate) override;
   bool on_window_mouse_enter(const point_type<int> & point, bool bEnter, const enumeration<user::enum_key> & ekeystate) override;
   bool on_window_scroll(const point_type<int> & point, const size_type<float> & delta) override;
   bool on_window_keyboard(user::enum_key ekey, int iScancode, int iAction, const enumeration<user::enum_key> & emodifiers,
                           const string_base & strText) override;
   void on_window_focus(bool bFocused) override;
   void on_window_resize(const size_type<int> & size) override;
   void on_window_frame(zel2d::context * pcontext, bool bNeedLayout) override;
   void on_window_close() override;
   int window_cursor() const override;

private:
   void set_focus_path(Widget * pwidget);
   // A press on a widget apart from the focused one takes the focus from it (committing what it
   // edits), whether or not the widget pressed takes the focus itself.
   void leave_focus_for_press_at(const point_type<int> & point);
   void end_drag_and_capture();
   // Takes a press at `point` for the first press of a double click to come and, when the window
   // marked it as quick (`bQuick`), for the second press of the one begun before; returns whether
   // it is a second press for the widgets the first one landed on (`double_click_on` tells which).
   bool note_press(const point_type<int> & point, enumeration<user::enum_mouse> ebutton, bool bQuick, bool bDelivered);
   // The press before is no first press of a double click any more: the next press may follow
   // a press in another window.
   void forget_press();
   // The release of the button held will not come: drag and capture end, the widget that held
   // the capture is told, and the next press begins no double click with the one before.
   void abandon_press();
   void enter_widgets_at(const point_type<int> & point, const enumeration<user::enum_key> & ekeystate);
   // While a widget held the capture no widget was entered or left: once it ends, the widgets
   // that the pointer left meanwhile (the one pressed among them) are left and those under it
   // entered, so that none keeps the look of one under the pointer.
   void track_pointer_after_capture(const enumeration<user::enum_key> & ekeystate);
   void leave_widgets_apart_from(Widget * pwidget, const point_type<int> & point, const enumeration<user::enum_key> & ekeystate);
   void send_leave(Widget * pwidget, const enumeration<user::enum_key> & ekeystate);
   // The widget whose tooltip shows at a point: the deepest one there that has a tooltip.
   Widget * tooltip_widget_at(const point_type<int> & point);
   // Where a tooltip of that size and of `pwidget` shows near the pointer: below it, or above it
   // where the screen's foot leaves no room; never over an open popup that `pwidget` is not in.
   // False where both places would cover one.
   bool place_tooltip(Widget * pwidget, float w, float h, point_type<float> & point);
   void draw_tooltip(zel2d::context * pcontext);

   user::interaction * m_pinteraction = nullptr;
   string_base m_strCaption;
   pointer<Theme> m_ptheme;
   std::recursive_mutex m_mutexChildren;
   bool m_bTabNavigation = true;
   // The focused widget first, then its ancestors up to the screen; the references keep every
   // entry but the screen itself alive (the screen holding itself would never be released).
   std::vector<Widget *> m_focuspath;
   std::vector<pointer<Widget>> m_focuskeep;
   pointer<Widget> m_pwidgetDrag;
   pointer<Widget> m_pwidgetCapture;
   // The deepest widget the last press landed on (null: the screen itself, or no widget took it), and
   // its button; whether that press ended a double click.
   pointer<Widget> m_pwidgetPressed;
   enumeration<user::enum_mouse> m_ebuttonPressed;
   bool m_bPressEndedDouble = false;
   // While a press is delivered as the second press of a double click: where the first one landed.
   pointer<Widget> m_pwidgetFirstPress;
   point_type<int> m_pointMouse;
   bool m_bMouseKnown = false;
   enumeration<user::enum_key> m_emodifiers;
   // The widget whose tooltip the pointer was over when it last moved or the screen was last drawn. A press hides the tooltip of the widget
   // pressed (a menu it opens shows in its place) until the pointer leaves that widget. Both are
   // plain references, compared and never followed; `forget_widget` clears them.
   Widget * m_pwidgetTooltip = nullptr;
   Widget * m_pwidgetTooltipHidden = nullptr;
};

} // namespace zelui
