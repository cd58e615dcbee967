#pragma once

#include <cstdint>

#include "orvo/function.h"
#include "panels/forward.h"
#include "zelui/Widget.h"

namespace Tarvossa_BrisvanePro
{

// A widget that turns raw mouse events into a click, an optional double click, and a drag and
// drop between siblings: widgets whose capture target is the same (non-null) widget, as the
// rows of one list are.
//
// A press on a widget with a click or double-click callback makes it the screen's drag widget
// (the screen clears it after the release); the release over the same widget is a click, the
// release over a sibling is a drop on that sibling. While a drag runs, entering a sibling asks
// its drag-enter callback, which may rearrange the widgets under the pointer. The second press of
// a double click runs the double-click callback alone; a widget without one takes that press as
// the start of one more click, so two quick clicks are two clicks.
//
// In move mode (`setUseDrag(true)`) a press and a drag of more than 5 pixels moves the widget
// with the pointer instead, and a release after a shorter motion is a click.
class ClickableWidget : public zelui::Widget
{
public:
   using drag_callback = function<bool(zelui::Widget *, zelui::Widget *)>;

   ClickableWidget(zelui::Widget * pparent, Global * pglobal);
   ~ClickableWidget() override;

   void set_callback(const function<bool()> & callback) { m_callbackClick = callback; }
   void setDblCallback(const function<bool()> & callback) { m_callbackDoubleClick = callback; }
   void setUseDrag(bool bUseDrag) noexcept { m_bUseDrag = bUseDrag; }

   bool mouse_button_event(const point_type<int> & point, enumeration<user::enum_mouse> ebutton, bool bDown, bool bDoubleClick,
                           const enumeration<user::enum_key> & emodifiers) override;
   bool mouse_motion_event(const point_type<int> & point, const size_type<int> & motion, bool bButton,
                           const enumeration<user::enum_key> & ekeystate) override;
   bool mouse_enter_event(const point_type<int> & point, bool bEnter, const enumeration<user::enum_key> & emodifiers) override;

   // Runs when the button is released over this widget while a sibling is the drag widget;
   // arguments (this widget, the dragged widget).
   drag_callback m_callbackDrop;
   // Runs when the pointer enters this widget while a sibling is dragged; arguments (this widget,
   // the dragged widget when it is a `ClickableWidget`, else null). True: it rearranged the
   // widgets, so the dragged one is now under the pointer.
   drag_callback m_callbackDragEnter;

protected:
   // Runs the click callback; false when there is none.
   bool run_click() const { return m_callbackClick ? m_callbackClick() : false; }

   Global * m_pglobal;

private:
   // Whether `pwidget` is a drag sibling of this widget.
   bool is_sibling(const zelui::Widget * pwidget) const noexcept;
   void press_or_release(bool bDown);
   bool move_mode_button(enumeration<user::enum_mouse> ebutton, bool bDown);
   bool move_mode_motion(const size_type<int> & motion, bool bButton, const enumeration<user::enum_key> & ekeystate);

   // The squared motion a press may make and still count as a click.
   static constexpr std::uint64_t click_movement_limit = 26;

   function<bool()> m_callbackClick;
   function<bool()> m_callbackDoubleClick;
   bool m_bPressed = false;
   bool m_bUseDrag = false;
   std::uint64_t m_uMovement = 0;
   int m_iDragOffsetX = 0;
   int m_iDragOffsetY = 0;
};

} // namespace Tarvossa_BrisvanePro
