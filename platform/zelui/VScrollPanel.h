#pragma once

#include "zelui/Widget.h"

namespace zelui
{

// A viewport on its first child that scrolls it up and down: the child gets the panel's width
// (less the scroll bar, or its own fixed width) and the height it prefers, at least the panel's.
// The wheel scrolls; the bar at the right can be dragged.
class VScrollPanel : public Widget
{
public:
   explicit VScrollPanel(Widget * pparent);

   // How far the content is scrolled, in pixels from its top.
   int scroll_offset() const noexcept { return m_iScroll; }
   void set_scroll_offset(int iScroll);
   // The height the content takes (as laid out last).
   int content_height() const noexcept { return m_iContentHeight; }

   size_type<int> preferred_size(zel2d::context * pcontext) override;
   void perform_layout(zel2d::context * pcontext) override;
   void draw(zel2d::context * pcontext) override;
   bool scroll_event(const point_type<int> & point, const size_type<float> & delta) override;
   bool mouse_button_event(const point_type<int> & point, enumeration<user::enum_mouse> ebutton, bool bDown, bool bDoubleClick,
                           const enumeration<user::enum_key> & emodifiers) override;
   bool mouse_motion_event(const point_type<int> & point, const size_type<int> & motion, bool bButton,
                           const enumeration<user::enum_key> & ekeystate) override;

private:
   int max_scroll() const noexcept;
   void place_content();
   // The thumb of the bar: its top and height, relative to the panel.
   std::pair<int, int> thumb() const noexcept;

   int m_iScroll = 0;
   int m_iContentHeight = 0;
   bool m_bDraggingBar = false;
};

} // namespace zelui
