#include "zelui/Screen.h"

#include <algorithm>
#include <cmath>
#include <iostream>

#include "zel2d/context.h"
#include "zelui/Popup.h"
#include "zelui/PopupButton.h"
#include "zelui/TextBox.h"
#include "zelui/Theme.h"
#include "zelui/Window.h"
#include "zelui/interaction.h"

namespace zelui
{

Screen::Screen(user::interaction * pinteraction, const size_type<int> & size, scoped_string_base strCaption) :
   Widget(nullptr),
   m_pinteraction(pinteraction),
   m_strCaption(strCaption),
   m_ptheme(make_pointer<Theme>())
{
   set_size(size);
   if (size.is_empty() && pinteraction)
   {
      set_size(pinteraction->client_rectangle().size());
   }
}

Screen::~Screen()
{
   // The children may look for their screen while they are released; they find none.
   m_focuspath.clear();
   m_focuskeep.clear();
   m_pwidgetDrag.reset();
   m_pwidgetCapture.reset();
   m_pwidgetPressed.reset();
   while (child_count() > 0)
   {
      pointer<Widget> pchild = children()[child_count() - 1];
      children().erase_at(child_count() - 1);
   }
}

float Screen::pixel_ratio() const
{
   return m_pinteraction ? m_pinteraction->pixel_ratio() : 1.0f;
}

pointer<image::image> Screen::create_image(const size_type<int> & size) const
{
   return make_pointer<image::image>(size.width, size.height);
}

Widget * Screen::focused_widget() const noexcept
{
   return m_focuspath.empty() ? nullptr : m_focuspath.front();
}

void Screen::set_focus_path(Widget * pwidget)
{
   std::vector<Widget *> path;
   std::vector<pointer<Widget>> keep;
   for (Widget * p = pwidget; p; p = p->parent())
   {
      path.push_back(p);
      if (p != this)
      {
         keep.push_back(p);
      }
   }
   // The widgets that lose the focus stay alive until they have been told.
   std::vector<pointer<Widget>> keepOld = std::move(m_focuskeep);
   std::vector<Widget *> pathOld = std::move(m_focuspath);
   m_focuspath = path;
   m_focuskeep = keep;
   for (Widget * pold : pathOld)
   {
      if (std::find(path.begin(), path.end(), pold) == path.end() && pold->focused())
      {
         pold->focus_event(false);
      }
   }
   for (auto it = path.rbegin(); it != path.rend(); ++it)
   {
      if (!(*it)->focused())
      {
         (*it)->focus_event(true);
      }
   }
}

void Screen::on_child_set_focus(Widget * pwidget)
{
   if (pwidget && pwidget->screen() != this)
   {
      return;
   }
   // A press on the screen's own background asks the focus for the screen: no widget takes it.
   // The screen never stands at the end of its focus path, where a counted reference to the
   // focused widget (taken below, and in the teardown of a screen) would count the screen itself
   // and delete it a second time.
   if (pwidget == this)
   {
      pwidget = nullptr;
   }
   pointer<Widget> pold = focused_widget();
   if (pold.get() == pwidget)
   {
      return;
   }
   if (pold)
   {
      on_child_kill_focus(pold.get());
   }
   set_focus_path(pwidget);
}

void Screen::on_child_kill_focus(Widget * pwidget)
{
   if (pwidget && std::find(m_focuspath.begin(), m_focuspath.end(), pwidget) != m_focuspath.end())
   {
      set_focus_path(nullptr);
   }
}

void Screen::focus_next(bool bBackwards)
{
   std::vector<Widget *> candidates;
   Window * pmodal = modal_window();
   function<void(Widget *)> collect = [&](Widget * pwidget)
   {
      if (!pwidget->visible() || !pwidget->enabled())
      {
         return;
      }
      if (pwidget->accepts_focus())
      {
         candidates.push_back(pwidget);
      }
      for (auto & pchild : pwidget->children())
      {
         collect(pchild.get());
      }
   };
   collect(pmodal ? static_cast<Widget *>(pmodal) : this);
   if (candidates.empty())
   {
      return;
   }
   auto n = static_cast<long long>(candidates.size());
   long long i = std::find(candidates.begin(), candidates.end(), focused_widget()) - candidates.begin();
   long long next = i >= n ? (bBackwards ? n - 1 : 0) : (bBackwards ? (i + n - 1) % n : (i + 1) % n);
   candidates[static_cast<std::size_t>(next)]->request_focus();
}

void Screen::forget_widget(Widget * pwidget)
{
   if (m_pwidgetDrag && pwidget->is_ancestor_of(m_pwidgetDrag.get()))
   {
      m_pwidgetDrag.reset();
   }
   if (m_pwidgetCapture && pwidget->is_ancestor_of(m_pwidgetCapture.get()))
   {
      m_pwidgetCapture.reset();
   }
   if (m_pwidgetPressed && pwidget->is_ancestor_of(m_pwidgetPressed.get()))
   {
      forget_press();
   }
   for (Widget ** ppwidget : {&m_pwidgetTooltip, &m_pwidgetTooltipHidden})
   {
      if (*ppwidget && pwidget->is_ancestor_of(*ppwidget))
      {
         *ppwidget = nullptr;
      }
   }
   Widget * pfocused = focused_widget();
   if (pfocused && pwidget->is_ancestor_of(pfocused))
   {
      on_child_kill_focus(pfocused);
   }
}

void Screen::commit_focused_edit()
{
   if (pointer<TextBox> ptextbox = dynamic_cast<TextBox *>(focused_widget()))
   {
      ptextbox->commit();
   }
}

void Screen::leave_focus_for_press_at(const point_type<int> & point)
{
   Widget * pfocused = focused_widget();
   if (!pfocused || pfocused == this || blocked_by_modal(point))
   {
      return;
   }
   // A press on the focused widget stays with it, and one on a widget that holds it (its window,
   // the host of an in-place edit) is that widget's to judge.
   Widget * ptarget = find_widget(point);
   if (!ptarget || pfocused->is_ancestor_of(ptarget) || ptarget->is_ancestor_of(pfocused))
   {
      return;
   }
   on_child_kill_focus(pfocused);
}

bool Screen::on_mouse_down(Widget *)
{
   return true;
}

void Screen::on_close()
{
}

bool Screen::resize_event(const size_type<int> & size)
{
   set_size(size);
   set_need_layout();
   set_need_redraw();
   post_redraw();
   return true;
}

void Screen::draw_all(zel2d::context * pcontext)
{
   std::scoped_lock lock(m_mutexChildren);
   draw_contents(pcontext);
   draw(pcontext);
   draw_tooltip(pcontext);
}

void Screen::draw_contents(zel2d::context * pcontext)
{
   clear(pcontext);
}

void Screen::clear(zel2d::context * pcontext)
{
   pcontext->begin_path();
   pcontext->rectangle(0.0f, 0.0f, static_cast<float>(width()), static_cast<float>(height()));
   pcontext->set_fill_color(get_theme()->m_colorScreenBackground);
   pcontext->fill();
}

bool Screen::run_layout_hooks(zel2d::context * pcontext)
{
   std::vector<pointer<Widget>> hooked;
   function<void(Widget *)> collect = [&](Widget * pwidget)
   {
      if (pwidget->has_layout_hook())
      {
         hooked.push_back(pwidget);
      }
      for (auto & pchild : pwidget->children())
      {
         collect(pchild.get());
      }
   };
   collect(this);
   bool bRan = false;
   for (auto & pwidget : hooked)
   {
      bRan = pwidget->run_layout_hook(pcontext) || bRan;
   }
   return bRan;
}

Window * Screen::modal_window() const
{
   for (auto & pchild : children_topmost_first())
   {
      auto pwindow = dynamic_cast<Window *>(pchild.get());
      if (pwindow && pwindow->modal())
      {
         return pwindow;
      }
   }
   return nullptr;
}

// Whether a press on `pwidget` belongs to the popup: it lies in the popup, on the popup's own
// button (which opens and closes it), or in a popup opened from inside this one.
static bool popup_holds(Popup * ppopup, Widget * pwidget)
{
   if (ppopup->is_ancestor_of(pwidget))
   {
      return true;
   }
   PopupButton * pbutton = ppopup->button();
   if (pbutton && pbutton->is_ancestor_of(pwidget))
   {
      return true;
   }
   for (Widget * p = pwidget; p; p = p->parent())
   {
      auto pinner = dynamic_cast<Popup *>(p);
      if (pinner && pinner != ppopup && pinner->button() && popup_holds(ppopup, pinner->button()))
      {
         return true;
      }
   }
   return false;
}

void Screen::close_popups_except(Widget * pwidget)
{
   for (auto & pchild : children_topmost_first())
   {
      auto ppopup = dynamic_cast<Popup *>(pchild.get());
      if (ppopup && !popup_holds(ppopup, pwidget))
      {
         ppopup->close();
      }
   }
}

// Whether `pwidget` is part of the modal window: inside it or inside a popup opened from it.
static bool belongs_to_modal(Window * pmodal, Widget * pwidget)
{
   for (; pwidget; pwidget = pwidget->parent())
   {
      if (pwidget == pmodal)
      {
         return true;
      }
      auto ppopup = dynamic_cast<Popup *>(pwidget);
      if (ppopup && ppopup->button() && pmodal->is_ancestor_of(ppopup->button()))
      {
         return true;
      }
   }
   return false;
}

bool Screen::blocked_by_modal(const point_type<int> & point)
{
   Window * pmodal = modal_window();
   return pmodal && !belongs_to_modal(pmodal, find_widget(point));
}

bool Screen::mouse_button_event(const point_type<int> & point, enumeration<user::enum_mouse> ebutton, bool bDown,
                                bool bDoubleClick, const enumeration<user::enum_key> & emodifiers)
{
   m_pointMouse = point;
   m_bMouseKnown = true;
   bool bHandled = false;
   bool bDelivered = true;
   if (bDown)
   {
      m_pwidgetTooltipHidden = tooltip_widget_at(point);
      leave_focus_for_press_at(point);
      Widget * ptarget = find_widget(point);
      ptarget = ptarget ? ptarget : this;
      close_popups_except(ptarget);
      bDelivered = on_mouse_down(ptarget);
   }
   // Only a press may be the second press of a double click, and only for the widgets that the
   // first press landed on too (`Widget::mouse_button_event` asks for each child).
   bDoubleClick = bDown && note_press(point, ebutton, bDoubleClick, bDelivered);
   if (!bDelivered)
   {
      bHandled = true;
   }
   else if (pointer<Widget> pcapture = m_pwidgetCapture)
   {
      bHandled = pcapture->mouse_button_event(point - pcapture->absolute_position(), ebutton, bDown,
                                              bDoubleClick && double_click_on(pcapture.get()), emodifiers);
   }
   else if (blocked_by_modal(point))
   {
      bHandled = true;
   }
   else
   {
      bHandled = Widget::mouse_button_event(point, ebutton, bDown, bDoubleClick, emodifiers);
   }
   m_pwidgetFirstPress.reset();
   if (!bDown)
   {
      const bool bCaptured = static_cast<bool>(m_pwidgetCapture);
      end_drag_and_capture();
      if (bCaptured)
      {
         track_pointer_after_capture(emodifiers);
      }
   }
   return bHandled;
}

bool Screen::mouse_motion_event(const point_type<int> & point, const size_type<int> & motion, bool bButton,
                                const enumeration<user::enum_key> & ekeystate)
{
   m_pointMouse = point;
   m_bMouseKnown = true;
   if (Widget * ptooltip = tooltip_widget_at(point); ptooltip != m_pwidgetTooltip)
   {
      // The tooltip goes, or another comes, with the widget under the pointer; what a press hid
      // shows again once the pointer has left the widget pressed.
      m_pwidgetTooltip = ptooltip;
      m_pwidgetTooltipHidden = nullptr;
      set_need_redraw();
      post_redraw();
   }
   if (pointer<Widget> pcapture = m_pwidgetCapture)
   {
      return pcapture->mouse_motion_event(point - pcapture->absolute_position(), motion, bButton, ekeystate);
   }
   if (blocked_by_modal(point))
   {
      return true;
   }
   return Widget::mouse_motion_event(point, motion, bButton, ekeystate);
}

void Screen::enter_widgets_at(const point_type<int> & point, const enumeration<user::enum_key> & ekeystate)
{
   std::vector<pointer<Widget>> path;
   for (Widget * pwidget = find_widget(point); pwidget && pwidget != this; pwidget = pwidget->parent())
   {
      path.push_back(pwidget);
   }
   for (auto it = path.rbegin(); it != path.rend(); ++it)
   {
      if (!(*it)->mouse_inside())
      {
         (*it)->mouse_enter_event(point - (*it)->absolute_position(), true, ekeystate);
      }
   }
}

void Screen::track_pointer_after_capture(const enumeration<user::enum_key> & ekeystate)
{
   if (m_bMouseKnown)
   {
      leave_widgets_apart_from(this, m_pointMouse, ekeystate);
      enter_widgets_at(m_pointMouse, ekeystate);
   }
}

void Screen::leave_widgets_apart_from(Widget * pwidget, const point_type<int> & point, const enumeration<user::enum_key> & ekeystate)
{
   for (auto & pchild : std::vector<pointer<Widget>>(pwidget->children().begin(), pwidget->children().end()))
   {
      if (!pchild->mouse_inside())
      {
         continue;
      }
      const point_type<int> pointChild = point - pchild->position();
      if (pchild->visible() && pchild->contains(pointChild))
      {
         leave_widgets_apart_from(pchild.get(), pointChild, ekeystate);
      }
      else
      {
         pchild->mouse_enter_event(pointChild, false, ekeystate);
      }
   }
}

void Screen::send_leave(Widget * pwidget, const enumeration<user::enum_key> & ekeystate)
{
   for (auto & pchild : std::vector<pointer<Widget>>(pwidget->children().begin(), pwidget->children().end()))
   {
      if (pchild->mouse_inside())
      {
         pchild->mouse_enter_event(m_pointMouse - pchild->absolute_position(), false, ekeystate);
      }
   }
}

bool Screen::mouse_enter_event(const point_type<int> & point, bool bEnter, const enumeration<user::enum_key> & emodifiers)
{
   set_mouse_inside(bEnter);
   if (!bEnter)
   {
      m_pointMouse = point;
      send_leave(this, emodifiers);
      abandon_press();
      m_bMouseKnown = false;
   }
   return false;
}

bool Screen::scroll_event(const point_type<int> & point, const size_type<float> & delta)
{
   if (pointer<Widget> pcapture = m_pwidgetCapture)
   {
      return pcapture->scroll_event(point - pcapture->absolute_position(), delta);
   }
   if (blocked_by_modal(point))
   {
      return true;
   }
   return Widget::scroll_event(point, delta);
}

bool Screen::keyboard_event(user::enum_key ekey, int iScancode, int iAction, const enumeration<user::enum_key> & emodifiers,
                            const string_base & strText)
{
   if (keyboard::is_modifier(ekey))
   {
      if (iAction == user::e_key_action_release)
      {
         m_emodifiers.remove(ekey);
      }
      else
      {
         m_emodifiers.add(ekey);
      }
   }
   // The focused widget first, then its ancestors; the screen itself is not asked again. While a
   // modal window is open the keys are its own, wherever the focus was left.
   std::vector<pointer<Widget>> path = m_focuskeep;
   if (Window * pmodal = modal_window(); pmodal && !belongs_to_modal(pmodal, focused_widget()))
   {
      path = {pointer<Widget>(pmodal)};
   }
   for (auto & pwidget : path)
   {
      if (pwidget->keyboard_event(ekey, iScancode, iAction, emodifiers, strText))
      {
         return true;
      }
   }
   if (m_bTabNavigation && ekey == user::e_key_tab && iAction != user::e_key_action_release)
   {
      focus_next(emodifiers.has(keyboard::e_group_shift));
      return true;
   }
   return false;
}

bool Screen::note_press(const point_type<int> & point, enumeration<user::enum_mouse> ebutton, bool bQuick, bool bDelivered)
{
   // What the press lands on once the screen's hook has run (it may have folded what lay there); a
   // press that reaches no widget begins no double click.
   Widget * ppressed = bDelivered && !blocked_by_modal(point) ? find_widget(point) : nullptr;
   const bool bSecond = bQuick && m_pwidgetPressed && ebutton == m_ebuttonPressed && !m_bPressEndedDouble;
   m_pwidgetFirstPress = bSecond ? m_pwidgetPressed : pointer<Widget>();
   // The screen never holds itself.
   m_pwidgetPressed = ppressed != this ? ppressed : nullptr;
   m_ebuttonPressed = ebutton;
   m_bPressEndedDouble = bSecond && m_pwidgetPressed && m_pwidgetPressed->is_ancestor_of(m_pwidgetFirstPress.get());
   return bSecond;
}

bool Screen::double_click_on(const Widget * pwidget) const noexcept
{
   return m_pwidgetFirstPress && pwidget && pwidget->is_ancestor_of(m_pwidgetFirstPress.get());
}

void Screen::forget_press()
{
   m_pwidgetPressed.reset();
   m_bPressEndedDouble = false;
}

void Screen::end_drag_and_capture()
{
   m_pwidgetDrag.reset();
   m_pwidgetCapture.reset();
}

void Screen::abandon_press()
{
   pointer<Widget> pcapture = std::move(m_pwidgetCapture);
   end_drag_and_capture();
   if (pcapture)
   {
      pcapture->mouse_capture_lost();
   }
   forget_press();
}

bool Screen::on_window_mouse_button(const point_type<int> & point, user::enum_mouse ebutton, bool bDown, bool bDoubleClick,
                                    const enumeration<user::enum_key> & ekeystate)
{
   return mouse_button_event(point, ebutton, bDown, bDoubleClick, ekeystate);
}

bool Screen::on_window_mouse_motion(const point_type<int> & point, const enumeration<user::enum_key> & ekeystate)
{
   size_type<int> motion;
   if (m_bMouseKnown)
   {
      motion = {point.x - m_pointMouse.x, point.y - m_pointMouse.y};
   }
   else
   {
      // The first position in the window: every widget under it is entered.
      enter_widgets_at(point, ekeystate);
   }
   bool bButton = (ekeystate.value() & user::mouse_buttons_mask) != 0;
   return mouse_motion_event(point, motion, bButton, ekeystate);
}

bool Screen::on_window_mouse_enter(const point_type<int> & point, bool bEnter, const enumeration<user::enum_key> & ekeystate)
{
   return mouse_enter_event(point, bEnter, ekeystate);
}

bool Screen::on_window_scroll(const point_type<int> & point, const size_type<float> & delta)
{
   return scroll_event(point, delta);
}

bool Screen::on_window_keyboard(user::enum_key ekey, int iScancode, int iAction, const enumeration<user::enum_key> & emodifiers,
                                const string_base & strText)
{
   return keyboard_event(ekey, iScancode, iAction, emodifiers, strText);
}

void Screen::on_window_focus(bool bFocused)
{
   if (!bFocused)
   {
      const bool bCaptured = static_cast<bool>(m_pwidgetCapture);
      abandon_press();
      if (bCaptured)
      {
         track_pointer_after_capture(m_emodifiers);
      }
      m_emodifiers.clear();
      commit_focused_edit();
   }
}

void Screen::on_window_resize(const size_type<int> & size)
{
   resize_event(size);
}

void Screen::on_window_frame(zel2d::context * pcontext, bool bNeedLayout)
{
   bool bHooksRan = run_layout_hooks(pcontext);
   if (bNeedLayout || bHooksRan)
   {
      perform_layout(pcontext);
   }
   draw_all(pcontext);
}

void Screen::on_window_close()
{
   on_close();
}

int Screen::window_cursor() const
{
   if (!m_bMouseKnown)
   {
      return user::e_cursor_arrow;
   }
   Widget * pwidget = const_cast<Screen *>(this)->find_widget(m_pointMouse);
   return pwidget ? pwidget->cursor() : user::e_cursor_arrow;
}

Widget * Screen::tooltip_widget_at(const point_type<int> & point)
{
   Widget * pwidget = find_widget(point);
   while (pwidget && pwidget->tooltip().empty())
   {
      pwidget = pwidget->parent();
   }
   return pwidget;
}

bool Screen::place_tooltip(Widget * pwidget, float w, float h, point_type<float> & point)
{
   const float x = std::clamp(static_cast<float>(m_pointMouse.x) + 12.0f, 0.0f, std::max(0.0f, width() - w));
   const float yBelow = static_cast<float>(m_pointMouse.y) + 20.0f;
   const float yAbove = std::max(0.0f, static_cast<float>(m_pointMouse.y) - h - 6.0f);
   for (float y : {yBelow + h <= height() ? yBelow : yAbove, yAbove})
   {
      const rectangle_type<int> rectangle{static_cast<int>(x), static_cast<int>(y), static_cast<int>(std::ceil(x + w)),
                                          static_cast<int>(std::ceil(y + h))};
      const bool bCoversPopup = std::ranges::any_of(children_topmost_first(), [&](const pointer<Widget> & pchild) {
         return pchild->is_popup() && !pchild->is_ancestor_of(pwidget) && !rectangle.intersection(pchild->rectangle()).is_empty();
      });
      if (!bCoversPopup)
      {
         point = {x, y};
         return true;
      }
   }
   return false;
}

void Screen::draw_tooltip(zel2d::context * pcontext)
{
   if (!m_bMouseKnown || m_pwidgetCapture || m_pwidgetDrag)
   {
      return;
   }
   // What is drawn is what the next move compares against: a widget that came under a resting
   // pointer (a layout change, a resize) shows its tooltip here, and that tooltip must go with the
   // pointer's next move away from it.
   Widget * pwidget = m_pwidgetTooltip = tooltip_widget_at(m_pointMouse);
   if (!pwidget || pwidget == m_pwidgetTooltipHidden)
   {
      return;
   }
   Theme * ptheme = get_theme();
   zel2d::saved_state state(pcontext);
   pcontext->reset_scissor();
   pcontext->set_font_face(ptheme->m_pszFontFace);
   pcontext->set_font_size(static_cast<float>(ptheme->m_iStandardFontSize) - 1.0f);
   pcontext->set_text_align(zel2d::align_left | zel2d::align_top);
   float bounds[4] = {};
   pcontext->text_bounds(0.0f, 0.0f, pwidget->tooltip(), bounds);
   const float w = bounds[2] - bounds[0] + 12.0f;
   const float h = bounds[3] - bounds[1] + 8.0f;
   point_type<float> point;
   if (!place_tooltip(pwidget, w, h, point))
   {
      return;
   }
   pcontext->begin_path();
   pcontext->rounded_rectangle(point.x, point.y, w, h, 3.0f);
   pcontext->set_fill_color(ptheme->m_colorTooltip);
   pcontext->fill();
   pcontext->set_fill_color(ptheme->m_colorTooltipText);
   pcontext->text(point.x + 6.0f, point.y + 4.0f, pwidget->tooltip());
}

} // namespace zelui
