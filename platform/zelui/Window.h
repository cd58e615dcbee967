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
// drag), or stays in the middle of its parent once `center` put it there, until it is placed or
// dragged. Each layout shows it at that place when it fits in its room: the parent less what the
// parent keeps above the window's top limit and in the margin at its right (a side panel). A room
// too small for the place shows it moved up and left just enough to lie inside, so that it stays
// reachable: never above its top limit; a window narrower than its room never out of it, a wider
// one never leaving a gap at the room's left or right (it can be dragged along, to bring either
// end into reach). The place itself stays, and the window goes back to it when the parent grows
// again.
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
   // The strip at the parent's right edge that the window leaves free (0 by default), as far as the
   // window fits beside it: what the parent shows there (a side panel drawn over the window)
   // stays uncovered, and the window's title bar stays where it can be taken hold of.
   int right_margin() const noexcept { return m_iRightMargin; }
   void set_right_margin(int iMargin) noexcept;
   // A window shown again stands inside its parent at once, not only from the next layout.
   void set_visible(bool bVisible) override;

   // The row of small buttons in the title bar, made on first use.
   Widget * button_panel();
   // Runs after the user has moved the window (once per drag, when the button is released).
   void set_callback(const function<void()> & callback) { m_callbackMoved = callback; }
   // Places the window in the middle of its parent, where each layout keeps it (the parent
   // resized, the window grown) until it is placed or dragged.
   void center();
   // Takes the window out of its parent (it is released unless someone holds it).
   void dispose();

   size_type<int> preferred_size(zel2d::context * pcontext) override;
   // The title, centred in the title bar between equal margins that keep it off the buttons.
   std::vector<text_line> text_lines() const override;
   void perform_layout(zel2d::context * pcontext) override;
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
   // The nearest position to `point` at which the window lies inside its room (see the class note).
   point_type<int> position_inside_parent(point_type<int> point) const;
   // Where the window stands in the middle of its parent.
   point_type<int> centered_position() const;

   string_base m_strTitle;
   point_type<int> m_pointPlace;
   int m_iTopLimit = 0;
   int m_iRightMargin = 0;
   bool m_bCentered = false;
   bool m_bModal = false;
   Widget * m_pwidgetButtonPanel = nullptr;
   function<void()> m_callbackMoved;
   bool m_bDragging = false;
   bool m_bMoved = false;
};

} // namespace zelui
