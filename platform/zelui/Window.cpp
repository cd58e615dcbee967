#include "zelui/Window.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "zel2d/context.h"
#include "zelui/BoxLayout.h"
#include "zelui/Theme.h"

namespace zelui
{

Window::Window(Widget * pparent, scoped_string_base strTitle) : Widget(pparent), m_strTitle(strTitle)
{
}

Widget * Window::button_panel()
{
   if (!m_pwidgetButtonPanel)
   {
      m_pwidgetButtonPanel = new Widget(this);
      m_pwidgetButtonPanel->set_layout(new BoxLayout(e_orientation_horizontal, e_alignment_fill, 0, 4));
   }
   return m_pwidgetButtonPanel;
}

void Window::set_position(const point_type<int> & position) noexcept
{
   m_bCentered = false;
   m_pointPlace = position;
   Widget::set_position(position_inside_parent(position));
}

void Window::set_top_limit(int iTop) noexcept
{
   m_iTopLimit = std::max(0, iTop);
   Widget::set_position(position_inside_parent(m_pointPlace));
}

void Window::set_right_margin(int iMargin) noexcept
{
   m_iRightMargin = std::max(0, iMargin);
   Widget::set_position(position_inside_parent(m_pointPlace));
}

void Window::set_visible(bool bVisible)
{
   if (bVisible)
   {
      Widget::set_position(position_inside_parent(m_pointPlace));
   }
   Widget::set_visible(bVisible);
}

point_type<int> Window::position_inside_parent(point_type<int> point) const
{
   const Widget * pparent = parent();
   // A parent not sized yet gives no room to fit in; the top limit holds all the same.
   if (!pparent || pparent->width() <= 0 || pparent->height() <= 0)
   {
      point.y = std::max(point.y, m_iTopLimit);
      return point;
   }
   // Negative when the window is wider than its room.
   const int iSlack = std::max(0, pparent->width() - m_iRightMargin) - width();
   point.x = std::clamp(point.x, std::min(0, iSlack), std::max(0, iSlack));
   point.y = std::clamp(point.y, m_iTopLimit, std::max(m_iTopLimit, pparent->height() - height()));
   return point;
}

point_type<int> Window::centered_position() const
{
   const Widget * pparent = parent();
   return pparent ? point_type<int>{(pparent->width() - width()) / 2, (pparent->height() - height()) / 2} : m_pointPlace;
}

void Window::center()
{
   set_position(centered_position());
   m_bCentered = true;
}

void Window::dispose()
{
   if (Widget * pparent = parent())
   {
      pparent->remove_child(this);
   }
}

size_type<int> Window::preferred_size(zel2d::context * pcontext)
{
   bool bPanelVisible = m_pwidgetButtonPanel && m_pwidgetButtonPanel->visible();
   if (bPanelVisible)
   {
      m_pwidgetButtonPanel->set_visible(false);
   }
   size_type<int> size = Widget::preferred_size(pcontext);
   if (bPanelVisible)
   {
      m_pwidgetButtonPanel->set_visible(true);
   }
   if (has_title_bar())
   {
      zel2d::context * pmeasure = measuring_context(pcontext);
      float fTitle = 0.0f;
      {
         zel2d::saved_state state(pmeasure);
         pmeasure->set_font_face(theme()->m_pszFontFace);
         pmeasure->set_font_size(static_cast<float>(theme()->m_iWindowTitleFontSize));
         fTitle = pmeasure->text_bounds(0.0f, 0.0f, m_strTitle, nullptr);
      }
      size.width = std::max(size.width, static_cast<int>(std::ceil(fTitle)) + 2 * title_margin(pcontext));
      size.height = std::max(size.height, theme()->m_iWindowHeaderHeight);
   }
   return size;
}

int Window::title_margin(zel2d::context * pcontext) const
{
   int iMargin = 10;
   if (m_pwidgetButtonPanel && m_pwidgetButtonPanel->visible())
   {
      iMargin += m_pwidgetButtonPanel->preferred_size(pcontext).width + 6;
   }
   return iMargin;
}

std::vector<text_line> Window::text_lines() const
{
   if (!has_title_bar())
   {
      return {};
   }
   auto fMargin = static_cast<float>(title_margin(nullptr));
   return {{m_strTitle, theme()->m_pszFontFace, static_cast<float>(theme()->m_iWindowTitleFontSize),
            {fMargin, 0.0f, static_cast<float>(width()) - fMargin, static_cast<float>(theme()->m_iWindowHeaderHeight)}}};
}

void Window::perform_layout(zel2d::context * pcontext)
{
   // A window never cuts off its own content: when the content has grown since the window was
   // sized (a longer value, a shown row), the window grows with it. A fixed size stays.
   size_type<int> sizePreferred = preferred_size(pcontext);
   set_size({fixed_size().width > 0 ? width() : std::max(width(), sizePreferred.width),
             fixed_size().height > 0 ? height() : std::max(height(), sizePreferred.height)});
   if (m_bCentered)
   {
      m_pointPlace = centered_position();
   }
   Widget::set_position(position_inside_parent(m_pointPlace));
   perform_layout_around_button_panel(pcontext);
}

void Window::perform_layout_around_button_panel(zel2d::context * pcontext)
{
   if (!m_pwidgetButtonPanel)
   {
      Widget::perform_layout(pcontext);
      return;
   }
   bool bPanelVisible = m_pwidgetButtonPanel->visible();
   m_pwidgetButtonPanel->set_visible(false);
   Widget::perform_layout(pcontext);
   m_pwidgetButtonPanel->set_visible(bPanelVisible);
   // The panel's buttons are as high as the title bar less a small border.
   size_type<int> sizePanel = m_pwidgetButtonPanel->preferred_size(pcontext);
   int iHeader = theme()->m_iWindowHeaderHeight;
   sizePanel.height = iHeader - 6;
   m_pwidgetButtonPanel->set_size(sizePanel);
   m_pwidgetButtonPanel->set_position({width() - sizePanel.width - 3, 3});
   m_pwidgetButtonPanel->perform_layout(pcontext);
}

void Window::draw(zel2d::context * pcontext)
{
   Theme * ptheme = theme();
   float fx = static_cast<float>(x()), fy = static_cast<float>(y());
   float fw = static_cast<float>(width()), fh = static_cast<float>(height());
   float fRadius = static_cast<float>(ptheme->m_iWindowCornerRadius);
   {
      zel2d::saved_state state(pcontext);
      pcontext->begin_path();
      pcontext->rounded_rectangle(fx, fy, fw, fh, fRadius);
      pcontext->set_fill_color(ptheme->m_colorWindowBackground);
      pcontext->fill();
      if (has_title_bar())
      {
         float fHeader = static_cast<float>(ptheme->m_iWindowHeaderHeight);
         pcontext->begin_path();
         pcontext->rounded_rectangle(fx, fy, fw, fHeader, fRadius);
         pcontext->set_fill_color(focused() ? ptheme->m_colorWindowHeaderFocused : ptheme->m_colorWindowHeader);
         pcontext->fill();
         pcontext->set_font_face(ptheme->m_pszFontFace);
         pcontext->set_font_size(static_cast<float>(ptheme->m_iWindowTitleFontSize));
         pcontext->set_text_align(zel2d::align_center | zel2d::align_middle);
         pcontext->set_fill_color(ptheme->m_colorWindowTitle);
         pcontext->text(fx + fw * 0.5f, fy + fHeader * 0.5f, m_strTitle);
      }
      pcontext->begin_path();
      pcontext->rounded_rectangle(fx + 0.5f, fy + 0.5f, fw - 1.0f, fh - 1.0f, fRadius);
      pcontext->set_stroke_color(ptheme->m_colorWindowBorder);
      pcontext->set_stroke_width(1.0f);
      pcontext->stroke();
   }
   Widget::draw(pcontext);
}

bool Window::mouse_button_event(const point_type<int> & point, enumeration<user::enum_mouse> ebutton, bool bDown,
                                bool bDoubleClick, const enumeration<user::enum_key> & emodifiers)
{
   auto pself = keep_alive();
   if (bDown && parent())
   {
      to_top();
   }
   if (Widget::mouse_button_event(point, ebutton, bDown, bDoubleClick, emodifiers))
   {
      return true;
   }
   if (ebutton == user::e_mouse_left_button)
   {
      if (bDown && has_title_bar() && point.y < theme()->m_iWindowHeaderHeight)
      {
         m_bDragging = true;
         m_bMoved = false;
         set_mouse_capture();
      }
      else if (!bDown && m_bDragging)
      {
         m_bDragging = false;
         release_mouse_capture();
         if (m_bMoved && m_callbackMoved)
         {
            m_callbackMoved();
         }
      }
   }
   return true;
}

bool Window::mouse_motion_event(const point_type<int> & point, const size_type<int> & motion, bool bButton,
                                const enumeration<user::enum_key> & ekeystate)
{
   if (m_bDragging && has_mouse_capture())
   {
      const point_type<int> position = position_inside_parent(this->position() + point_type<int>{motion.width, motion.height});
      if (position != this->position())
      {
         // Where the user puts the window becomes its place.
         m_bMoved = true;
         set_position(position);
      }
      set_need_redraw();
      post_redraw();
      return true;
   }
   Widget::mouse_motion_event(point, motion, bButton, ekeystate);
   return true;
}

void Window::mouse_capture_lost()
{
   if (std::exchange(m_bDragging, false) && m_bMoved && m_callbackMoved)
   {
      m_callbackMoved();
   }
}

bool Window::scroll_event(const point_type<int> & point, const size_type<float> & delta)
{
   Widget::scroll_event(point, delta);
   return true;
}

} // namespace zelui
