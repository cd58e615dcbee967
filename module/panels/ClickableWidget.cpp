#include "panels/ClickableWidget.h"

#include "zelui/Screen.h"

namespace Tarvossa_BrisvanePro
{

ClickableWidget::ClickableWidget(zelui::Widget * pparent, Global * pglobal) :
   zelui::Widget(pparent),
   m_pglobal(pglobal)
{
}

ClickableWidget::~ClickableWidget() = default;

bool ClickableWidget::is_sibling(const zelui::Widget * pwidget) const noexcept
{
   return pwidget != nullptr && capture_target() != nullptr && pwidget->capture_target() == capture_target();
}

bool ClickableWidget::mouse_button_event(const point_type<int> & point, enumeration<user::enum_mouse> ebutton, bool bDown,
                                         bool bDoubleClick, const enumeration<user::enum_key> & emodifiers)
{
   if (zelui::Widget::mouse_button_event(point, ebutton, bDown, bDoubleClick, emodifiers))
   {
      return true;
   }
   // A callback may take this widget out of the tree.
   pointer<zelui::Widget> pkeep = keep_alive();
   if (m_bUseDrag)
   {
      return move_mode_button(ebutton, bDown);
   }
   // A widget without a double-click callback takes the second press of a double click as the
   // press of one more click.
   if (bDoubleClick && m_callbackDoubleClick)
   {
      if (zelui::Screen * pscreen = screen())
      {
         pscreen->set_drag_widget(nullptr);
         pscreen->set_capture_widget(nullptr);
      }
      m_callbackDoubleClick();
      return true;
   }
   press_or_release(bDown);
   return true;
}

void ClickableWidget::press_or_release(bool bDown)
{
   zelui::Screen * pscreen = screen();
   if (!pscreen)
   {
      return;
   }
   if (bDown)
   {
      if (pscreen->drag_widget() || (!m_callbackClick && !m_callbackDoubleClick))
      {
         return;
      }
      pscreen->set_drag_widget(this);
      pscreen->set_capture_widget(capture_target());
      if (capture_target())
      {
         capture_target()->set_mouse_capture();
      }
      return;
   }
   pointer<zelui::Widget> pdrag = pscreen->drag_widget();
   if (pdrag.get() == this)
   {
      run_click();
   }
   else if (is_sibling(pdrag.get()) && m_callbackDrop)
   {
      m_callbackDrop(this, pdrag.get());
   }
}

bool ClickableWidget::move_mode_button(enumeration<user::enum_mouse> ebutton, bool bDown)
{
   bool bWasPressed = m_bPressed;
   m_bPressed = bDown && ebutton.value() == user::e_mouse_left_button;
   if (bWasPressed && !m_bPressed)
   {
      bool bClick = m_uMovement < click_movement_limit;
      m_uMovement = 0;
      m_iDragOffsetX = 0;
      m_iDragOffsetY = 0;
      if (bClick)
      {
         run_click();
      }
   }
   return true;
}

bool ClickableWidget::mouse_motion_event(const point_type<int> & point, const size_type<int> & motion, bool bButton,
                                         const enumeration<user::enum_key> & ekeystate)
{
   if (m_bUseDrag && move_mode_motion(motion, bButton, ekeystate))
   {
      return true;
   }
   return zelui::Widget::mouse_motion_event(point, motion, bButton, ekeystate);
}

bool ClickableWidget::move_mode_motion(const size_type<int> & motion, bool bButton, const enumeration<user::enum_key> & ekeystate)
{
   if (!m_bPressed || !bButton || !ekeystate.has(user::e_key_left_button))
   {
      return false;
   }
   auto dx = static_cast<std::int64_t>(motion.width);
   auto dy = static_cast<std::int64_t>(motion.height);
   m_uMovement += static_cast<std::uint64_t>(dx * dx + dy * dy);
   if (m_uMovement >= click_movement_limit)
   {
      m_iDragOffsetX += motion.width;
      m_iDragOffsetY += motion.height;
      set_position({x() + motion.width, y() + motion.height});
   }
   return true;
}

bool ClickableWidget::mouse_enter_event(const point_type<int> & point, bool bEnter, const enumeration<user::enum_key> & emodifiers)
{
   zelui::Screen * pscreen = screen();
   pointer<zelui::Widget> pdrag = pscreen ? pointer<zelui::Widget>(pscreen->drag_widget()) : pointer<zelui::Widget>();
   if (bEnter && pdrag && pdrag.get() != this && is_sibling(pdrag.get()) && m_callbackDragEnter)
   {
      pointer<zelui::Widget> pkeep = keep_alive();
      if (m_callbackDragEnter(this, dynamic_cast<ClickableWidget *>(pdrag.get())))
      {
         pdrag->set_mouse_inside(true);
         set_mouse_inside(false);
         return true;
      }
   }
   return zelui::Widget::mouse_enter_event(point, bEnter, emodifiers);
}

} // namespace Tarvossa_BrisvanePro
