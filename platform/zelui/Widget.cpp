#include "zelui/Widget.h"

#include <algorithm>

#include "zel2d/context.h"
#include "zelui/Screen.h"
#include "zelui/Theme.h"
#include "zelui/Window.h"
#include "zelui/TextBox.h"
#include "zelui/in_place_edit.h"
#include "zelui/interaction.h"

namespace zelui
{

Widget::Widget(Widget * pparent)
{
   if (pparent)
   {
      pparent->add_child(this);
   }
}

Widget::~Widget()
{
   // Children that outlive this widget (held elsewhere) must not reach back to it.
   for (auto & pchild : m_children)
   {
      pchild->m_pparent = nullptr;
   }
   if (m_pineditActive)
   {
      m_pineditActive->m_pwidgetHost = nullptr;
      m_pineditActive->m_peditor.reset();
   }
}

void Widget::add_child(Widget * pwidget)
{
   add_child(child_count(), pwidget);
}

void Widget::add_child(long long index, Widget * pwidget)
{
   pointer<Widget> pchild(pwidget);
   if (pwidget->m_pparent)
   {
      pwidget->m_pparent->remove_child(pwidget);
   }
   Screen * pscreen = screen();
   std::unique_lock<std::recursive_mutex> lock;
   if (pscreen)
   {
      lock = std::unique_lock(pscreen->children_mutex());
   }
   m_children.insert_at(index, pchild);
   pwidget->m_pparent = this;
}

bool Widget::remove_child(Widget * pwidget)
{
   return remove_child_at(child_index(pwidget));
}

bool Widget::remove_child_at(long long index)
{
   if (!m_children.has_index(index))
   {
      return false;
   }
   // Held until the screen has forgotten it: erasing may release the last reference.
   pointer<Widget> pchild = m_children[index];
   Screen * pscreen = screen();
   if (pscreen)
   {
      pscreen->forget_widget(pchild.get());
      {
         std::scoped_lock lock(pscreen->children_mutex());
         m_children.erase_at(index);
      }
      // What the child covered (a message box answered, a dialog closed) is drawn again: nothing
      // else may come to draw the window before the user's next move.
      set_need_redraw();
      post_redraw();
   }
   else
   {
      m_children.erase_at(index);
   }
   pchild->m_pparent = nullptr;
   return true;
}

void Widget::to_top()
{
   if (!m_pparent)
   {
      return;
   }
   pointer<Widget> pself(this);
   Widget * pparent = m_pparent;
   Screen * pscreen = screen();
   std::unique_lock<std::recursive_mutex> lock;
   if (pscreen)
   {
      lock = std::unique_lock(pscreen->children_mutex());
   }
   long long index = pparent->child_index(this);
   pparent->m_children.erase_at(index);
   pparent->m_children.add(pself);
}

Screen * Widget::screen() const
{
   const Widget * pwidget = this;
   while (pwidget->m_pparent)
   {
      pwidget = pwidget->m_pparent;
   }
   return dynamic_cast<Screen *>(const_cast<Widget *>(pwidget));
}

Window * Widget::window() const
{
   for (const Widget * pwidget = this; pwidget; pwidget = pwidget->m_pparent)
   {
      if (auto pwindow = dynamic_cast<Window *>(const_cast<Widget *>(pwidget)))
      {
         return pwindow;
      }
   }
   return nullptr;
}

user::interaction * Widget::interaction() const
{
   Screen * pscreen = screen();
   return pscreen ? pscreen->get_interaction() : nullptr;
}

bool Widget::is_ancestor_of(const Widget * pwidget) const noexcept
{
   for (; pwidget; pwidget = pwidget->m_pparent)
   {
      if (pwidget == this)
      {
         return true;
      }
   }
   return false;
}

point_type<int> Widget::absolute_position() const noexcept
{
   return m_pparent ? m_pparent->absolute_position() + m_position : m_position;
}

bool Widget::contains(const point_type<int> & point) const noexcept
{
   return point.x >= 0 && point.y >= 0 && point.x < m_size.width && point.y < m_size.height;
}

Widget * Widget::find_widget(const point_type<int> & point)
{
   if (!contains(point))
   {
      return nullptr;
   }
   for (auto & pchild : children_topmost_first())
   {
      if (Widget * pfound = pchild->find_widget(point - pchild->position()))
      {
         return pfound;
      }
   }
   return this;
}

void Widget::set_fixed_size(const size_type<int> & size)
{
   m_sizeFixed = {std::max(size.width, 0), std::max(size.height, 0)};
}

void Widget::set_fixed_width(int iWidth)
{
   m_sizeFixed.width = std::max(iWidth, 0);
}

void Widget::set_fixed_height(int iHeight)
{
   m_sizeFixed.height = std::max(iHeight, 0);
}

void Widget::expose_fixed_size(const rectangle_type<int> & rectangle)
{
   set_position(rectangle.top_left());
   set_fixed_size(rectangle.size());
   set_size({std::max(rectangle.width(), 0), std::max(rectangle.height(), 0)});
}

size_type<int> Widget::preferred_size(zel2d::context * pcontext)
{
   return m_playout ? m_playout->preferred_size(pcontext, this) : m_size;
}

void Widget::perform_layout(zel2d::context * pcontext)
{
   if (m_playout)
   {
      m_playout->perform_layout(pcontext, this);
      return;
   }
   for (auto & pchild : std::vector<pointer<Widget>>(m_children.begin(), m_children.end()))
   {
      size_type<int> size = pchild->size();
      const size_type<int> & sizeFixed = pchild->fixed_size();
      if (size.width <= 0 || size.height <= 0)
      {
         size_type<int> sizePreferred = pchild->preferred_size(pcontext);
         size.width = size.width > 0 ? size.width : sizePreferred.width;
         size.height = size.height > 0 ? size.height : sizePreferred.height;
      }
      pchild->set_size({sizeFixed.width > 0 ? sizeFixed.width : size.width,
                        sizeFixed.height > 0 ? sizeFixed.height : size.height});
      pchild->perform_layout(pcontext);
   }
}

void Widget::set_layout_hook(const function<void(zel2d::context *)> & hook)
{
   m_layouthook = hook;
   set_need_redraw();
   post_redraw();
}

bool Widget::run_layout_hook(zel2d::context * pcontext)
{
   if (!m_layouthook)
   {
      return false;
   }
   auto hook = std::move(m_layouthook);
   m_layouthook = nullptr;
   hook(pcontext);
   return true;
}

void Widget::set_visible(bool bVisible)
{
   if (m_bVisible == bVisible)
   {
      return;
   }
   m_bVisible = bVisible;
   if (Screen * pscreen = screen(); !bVisible && pscreen && pscreen != this)
   {
      // A hidden widget keeps neither the keyboard nor the mouse: what it edits is committed.
      pscreen->forget_widget(this);
   }
   set_need_redraw();
   post_redraw();
}

bool Widget::visible_recursive() const
{
   for (const Widget * pwidget = this; pwidget; pwidget = pwidget->m_pparent)
   {
      if (!pwidget->visible())
      {
         return false;
      }
   }
   return true;
}

void Widget::request_focus()
{
   if (Screen * pscreen = screen())
   {
      pscreen->on_child_set_focus(this);
   }
}

float Widget::font_size() const
{
   return m_fFontSize > 0.0f ? m_fFontSize : static_cast<float>(theme()->m_iStandardFontSize);
}

Theme * Widget::theme() const
{
   Screen * pscreen = screen();
   return pscreen ? pscreen->get_theme() : Theme::default_theme();
}

void Widget::set_mouse_capture()
{
   if (Screen * pscreen = screen())
   {
      pscreen->set_capture_widget(this);
   }
}

void Widget::release_mouse_capture()
{
   Screen * pscreen = screen();
   if (pscreen && pscreen->capture_widget() == this)
   {
      pscreen->set_capture_widget(nullptr);
   }
}

bool Widget::has_mouse_capture() const
{
   Screen * pscreen = screen();
   return pscreen && pscreen->capture_widget() == this;
}

void Widget::set_need_layout()
{
   if (user::interaction * pinteraction = interaction())
   {
      pinteraction->set_need_layout();
   }
}

void Widget::set_need_redraw(const std::vector<rectangle_type<int>> & rectangles, zel2d::context * pgraphics,
                             const function<void()> & callback)
{
   if (user::interaction * pinteraction = interaction())
   {
      pinteraction->set_need_redraw(rectangles, pgraphics, callback);
   }
}

void Widget::post_redraw()
{
   if (user::interaction * pinteraction = interaction())
   {
      pinteraction->post_redraw();
   }
}

std::vector<pointer<Widget>> Widget::children_topmost_first() const
{
   std::vector<pointer<Widget>> children;
   children.reserve(static_cast<std::size_t>(m_children.count()));
   for (long long i = m_children.count() - 1; i >= 0; --i)
   {
      if (m_children[i]->visible())
      {
         children.push_back(m_children[i]);
      }
   }
   return children;
}

zel2d::context * Widget::measuring_context(zel2d::context * pcontext)
{
   if (pcontext)
   {
      return pcontext;
   }
   static zel2d::context * s_pcontext = new zel2d::context();
   return s_pcontext;
}

bool Widget::mouse_button_event(const point_type<int> & point, enumeration<user::enum_mouse> ebutton, bool bDown,
                                bool bDoubleClick, const enumeration<user::enum_key> & emodifiers)
{
   // A double click on this widget is one on a child only when the first press landed on that
   // child too (a widget outside a screen has none to tell, and passes it on).
   Screen * pscreen = bDoubleClick ? screen() : nullptr;
   for (auto & pchild : children_topmost_first())
   {
      point_type<int> pointChild = point - pchild->position();
      if (!pchild->contains(pointChild))
      {
         continue;
      }
      // A disabled widget takes the event so that it does not fall through to what lies below.
      if (!pchild->enabled())
      {
         return true;
      }
      const bool bChildDouble = bDoubleClick && (!pscreen || pscreen->double_click_on(pchild.get()));
      if (pchild->mouse_button_event(pointChild, ebutton, bDown, bChildDouble, emodifiers))
      {
         return true;
      }
   }
   // A host with an open in-place edit keeps the focus on the editor, so that the host decides
   // whether the press ends the edit (`on_mouse_button_in_place_edit`).
   if (ebutton == user::e_mouse_left_button && bDown && !m_bFocused && !m_pineditActive)
   {
      request_focus();
   }
   return false;
}

bool Widget::mouse_motion_event(const point_type<int> & point, const size_type<int> & motion, bool bButton,
                                const enumeration<user::enum_key> & ekeystate)
{
   // Entering and leaving are told to every child whose rectangle the motion crossed (by where
   // the pointer was and is, not by the mouse-inside flags: a widget that a drag moved under a
   // still pointer is not entered again); the motion itself goes to the topmost children under
   // the pointer until one handles it.
   bool bHandled = false;
   for (auto & pchild : children_topmost_first())
   {
      point_type<int> pointChild = point - pchild->position();
      bool bContained = pchild->contains(pointChild);
      bool bWasContained = pchild->contains({pointChild.x - motion.width, pointChild.y - motion.height});
      bool bEnterHandled = false;
      if (bContained != bWasContained)
      {
         bEnterHandled = pchild->mouse_enter_event(pointChild, bContained, ekeystate);
      }
      if (!bHandled && bContained && !bEnterHandled && pchild->enabled())
      {
         bHandled = pchild->mouse_motion_event(pointChild, motion, bButton, ekeystate);
      }
   }
   return bHandled;
}

bool Widget::mouse_enter_event(const point_type<int> & point, bool bEnter, const enumeration<user::enum_key> & emodifiers)
{
   m_bMouseInside = bEnter;
   if (!bEnter)
   {
      for (auto & pchild : std::vector<pointer<Widget>>(m_children.begin(), m_children.end()))
      {
         if (pchild->mouse_inside())
         {
            pchild->mouse_enter_event(point - pchild->position(), false, emodifiers);
         }
      }
   }
   return false;
}

bool Widget::scroll_event(const point_type<int> & point, const size_type<float> & delta)
{
   for (auto & pchild : children_topmost_first())
   {
      point_type<int> pointChild = point - pchild->position();
      if (pchild->contains(pointChild))
      {
         return pchild->enabled() && pchild->scroll_event(pointChild, delta);
      }
   }
   return false;
}

bool Widget::focus_event(bool bFocused)
{
   m_bFocused = bFocused;
   return false;
}

void Widget::mouse_capture_lost()
{
}

bool Widget::keyboard_event(user::enum_key, int, int, const enumeration<user::enum_key> &, const string_base &)
{
   return false;
}

void Widget::call_draw(zel2d::context * pcontext)
{
   if (!visible())
   {
      return;
   }
   zel2d::saved_state state(pcontext);
   pcontext->intersect_scissor(static_cast<float>(x()), static_cast<float>(y()), static_cast<float>(width()),
                               static_cast<float>(height()));
   draw(pcontext);
}

void Widget::draw(zel2d::context * pcontext)
{
   if (m_children.is_empty())
   {
      return;
   }
   zel2d::saved_state state(pcontext);
   pcontext->translate(static_cast<float>(x()), static_cast<float>(y()));
   for (auto & pchild : std::vector<pointer<Widget>>(m_children.begin(), m_children.end()))
   {
      pchild->call_draw(pcontext);
   }
}

} // namespace zelui
