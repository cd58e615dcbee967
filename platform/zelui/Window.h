#pragma once

#include "orvo/function.h"
#include "zelui/Widget.h"

namespace zelui
{

// A movable window with a title bar: dragging the bar moves the window within its parent, and a
// press anywhere brings it in front of its siblings. The button panel sits at the right end of
// the title bar. A modal window takes every mouse and key event of the screen while it is visible.
//
// A window keeps the place it was given (by its owner with `set_position`, or by the user's
// drag). Each layout shows it at that place when it fits in its parent; a parent too small for
// the place shows it moved up and left just enough to lie inside (as far as it fits, never above
// or left of the parent's corner, nor above its top limit), so that it stays reachable. The place
// itself stays, and the window goes back to it when the parent grows again.
class Window : public Widget
{
public:
   Window(Widget * pparent, scoped_string_base strTitle = "Untitled");

   const string_base & title() const noexcept { return m_strTitle; }
   void set_title(scoped_string_base strTitle) { m_strTitle = strTitle; }
   bool has_title_bar() const noexcept { return !m_strTitle.empty(); }
   bool modal() const noexcept { return m_bModal; }
   void set_modal(bool bModal) noexcept { m_bModal = bModal; }
   // The place given to the window; `position()` is where it shows.
   const point_type<int> & place() const noexcept { return m_pointPlace; }
   void set_position(const point_type<int> & position) noexcept override;
   // The line of the parent that the window never shows above (0 by default): what the parent
   // keeps above it (a menu, a tool bar) stays uncovered, even where the parent is too low to
   // show the whole window below that line.
   int top_limit() const noexcept { return m_iTopLimit; }
   void set_top_limit(int iTop) noexcept;
   // A window shown again stands inside its parent at once, not only from the next layout.
   void set_visible(bool bVisible) override;

   // The row of small buttons in the title bar, made on first use.
   Widget * button_panel();
   // Runs after the user has moved the window (once per drag, when the button is released).
   void set_callback(const function<void()> & callback) { m_callbackMoved = callback; }
   // Places the window in the middle of its parent.
   void center();
   // Takes the window out of its parent (it is released unless someone holds it).
   void dispose();

   size_type<int> preferred_size(zel2d::context * pcontext, bool bRecalculate = true) override;
   // The title, centred in the title bar between equal margins that keep it off the buttons.
   std::vector<text_line> text_lines() const override;
   void perform_layout(zel2d::context * pcontext, bool bRecursive = true) override;
   void draw(zel2d::context * pcontext) override;
   bool mouse_button_event(const point_type<int> & point, enumeration<user::enum_mouse> ebutton, bool bDown, bool bDoubleClick,
                           const enumeration<user::enum_key> & emodifiers) override;
   bool mouse_motion_event(const point_type<int> & point, const size_type<int> & motion, bool bButton,
                           const enumeration<user::enum_key> & ekeystate) override;
   bool scroll_event(const point_type<int> & point, const size_type<float> & delta) override;
   // A drag of the title bar that ends without the release leaves the window where it was dragged:
   // that is its new place, reported as after a release.
   void mouse_capture_lost() override;

protected:
   // The room the title keeps free at each end of the title bar.
   int title_margin(zel2d::context * pcontext) const;
   // Lays out the window's content with the button panel left out, then places the panel.
   void perform_layout_around_button_panel(zel2d::context * pcontext);

private:
   // The nearest position to `point` at which the window lies inside its parent, as far as it fits.
   point_type<int> position_inside_parent(point_type<int> point) const;

   string_base m_strTitle;
   point_type<int> m_pointPlace;
   int m_iTopLimit = 0;
   bool m_bModal = false;
   Widget * m_pwidgetButtonPanel = nullptr;
   function<void()> m_callbackMoved;
   bool m_bDragging = false;
   bool m_bMoved = false;
};

} // namespace zelui
