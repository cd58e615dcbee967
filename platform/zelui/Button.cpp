#include "zelui/Button.h"

#include <algorithm>
#include <cmath>

#include "zel2d/context.h"
#include "zelui/Theme.h"

namespace zelui
{

Button::Button(Widget * pparent, scoped_string_base strCaption, int iIcon) :
   Widget(pparent), m_strCaption(strCaption), m_iIcon(iIcon)
{
}

float Button::caption_font_size() const
{
   return has_font_size() ? font_size() : static_cast<float>(theme()->m_iButtonFontSize);
}

// The gap between the icon and the caption when the button shows both.
static constexpr float g_fIconGap = 6.0f;

size_type<int> Button::preferred_size(zel2d::context * pcontext)
{
   Theme * ptheme = theme();
   float fFont = caption_font_size();
   zel2d::context * pmeasure = measuring_context(pcontext);
   zel2d::saved_state state(pmeasure);
   pmeasure->set_font_face(ptheme->m_pszFontFace);
   pmeasure->set_font_size(fFont);
   float fWidth = m_strCaption.empty() ? 0.0f : pmeasure->text_bounds(0.0f, 0.0f, m_strCaption, nullptr);
   int iHeight = std::max(ptheme->m_iControlHeight, static_cast<int>(std::ceil(fFont * 1.3f)) + 4);
   float fIcon = m_iIcon > 0 ? static_cast<float>(iHeight - 8) + (m_strCaption.empty() ? 0.0f : g_fIconGap) : 0.0f;
   float fContent = fWidth + fIcon + reserved_right() + 2.0f * static_cast<float>(ptheme->m_iButtonPadding);
   return {static_cast<int>(std::ceil(fContent)), iHeight};
}

rectangle_type<float> Button::content_room() const
{
   auto fPadding = static_cast<float>(theme()->m_iButtonPadding);
   return {fPadding, 1.0f, static_cast<float>(width()) - fPadding - reserved_right(), static_cast<float>(height()) - 1.0f};
}

float Button::icon_side() const
{
   return m_iIcon > 0 ? std::max(0.0f, std::min(static_cast<float>(height()) - 8.0f, static_cast<float>(width()) - 8.0f)) : 0.0f;
}

std::vector<text_line> Button::text_lines() const
{
   if (m_strCaption.empty())
   {
      return {};
   }
   rectangle_type<float> room = content_room();
   float fIcon = icon_side();
   room.left += fIcon > 0.0f ? fIcon + g_fIconGap : 0.0f;
   return {{m_strCaption, theme()->m_pszFontFace, caption_font_size(), room}};
}

void Button::release_radio_partners()
{
   std::vector<Button *> partners = m_group;
   if (partners.empty() && parent())
   {
      for (auto & pchild : parent()->children())
      {
         auto pbutton = dynamic_cast<Button *>(pchild.get());
         if (pbutton && (pbutton->flags() & e_flag_radio))
         {
            partners.push_back(pbutton);
         }
      }
   }
   for (Button * pbutton : partners)
   {
      if (pbutton != this && pbutton->m_bPushed)
      {
         pbutton->m_bPushed = false;
         if (pbutton->m_callbackChange)
         {
            pbutton->m_callbackChange(false);
         }
      }
   }
}

bool Button::mouse_button_event(const point_type<int> & point, enumeration<user::enum_mouse> ebutton, bool bDown, bool,
                                const enumeration<user::enum_key> &)
{
   if (ebutton != user::e_mouse_left_button || !enabled())
   {
      return false;
   }
   // The callbacks may drop the last other reference to this button.
   auto pself = keep_alive();
   bool bPushedBefore = m_bPushed;
   if (bDown)
   {
      // The release comes back here wherever it happens.
      set_mouse_capture();
      if (m_iFlags & e_flag_radio)
      {
         release_radio_partners();
      }
      if ((m_iFlags & e_flag_toggle) && !(m_iFlags & e_flag_radio))
      {
         m_bPushed = !m_bPushed;
      }
      else
      {
         m_bPushed = true;
      }
   }
   else if (m_bPushed)
   {
      if (contains(point) && m_callback)
      {
         m_callback();
      }
      if (m_iFlags & e_flag_normal)
      {
         m_bPushed = false;
      }
   }
   if (bPushedBefore != m_bPushed && m_callbackChange)
   {
      m_callbackChange(m_bPushed);
   }
   set_need_redraw();
   post_redraw();
   return true;
}

bool Button::mouse_enter_event(const point_type<int> & point, bool bEnter, const enumeration<user::enum_key> & emodifiers)
{
   Widget::mouse_enter_event(point, bEnter, emodifiers);
   set_need_redraw();
   post_redraw();
   return false;
}

void Button::mouse_capture_lost()
{
   if (!m_bPushed || !(m_iFlags & e_flag_normal))
   {
      return;
   }
   auto pself = keep_alive();
   m_bPushed = false;
   if (m_callbackChange)
   {
      m_callbackChange(false);
   }
   set_need_redraw();
   post_redraw();
}

void Button::draw_face(zel2d::context * pcontext)
{
   Theme * ptheme = theme();
   float fx = static_cast<float>(x()), fy = static_cast<float>(y());
   float fw = static_cast<float>(width()), fh = static_cast<float>(height());
   zel2d::saved_state state(pcontext);
   pcontext->begin_path();
   pcontext->rounded_rectangle(fx + 0.5f, fy + 0.5f, fw - 1.0f, fh - 1.0f, static_cast<float>(ptheme->m_iButtonCornerRadius));
   color::color colorFace = m_bPushed ? ptheme->m_colorButtonPushed
                            : (mouse_inside() && enabled()) ? ptheme->m_colorButtonHover
                                                              : ptheme->m_colorButton;
   pcontext->set_fill_color(colorFace);
   pcontext->fill();
   pcontext->set_stroke_color(ptheme->m_colorButtonBorder);
   pcontext->set_stroke_width(1.0f);
   pcontext->stroke();

   pcontext->set_font_face(ptheme->m_pszFontFace);
   pcontext->set_font_size(caption_font_size());
   float fText = m_strCaption.empty() ? 0.0f : pcontext->text_bounds(0.0f, 0.0f, m_strCaption, nullptr);
   float fIcon = icon_side();
   float fGap = (fIcon > 0.0f && fText > 0.0f) ? g_fIconGap : 0.0f;
   // Icon and caption are centred together in the content room.
   rectangle_type<float> room = content_room();
   float fStart = fx + room.left + (room.width() - fIcon - fGap - fText) * 0.5f;
   if (fIcon > 0.0f)
   {
      float fIconY = fy + (fh - fIcon) * 0.5f;
      pcontext->begin_path();
      pcontext->rectangle(fStart, fIconY, fIcon, fIcon);
      pcontext->set_fill_paint(pcontext->image_pattern(fStart, fIconY, fIcon, fIcon, 0.0f, m_iIcon, enabled() ? 1.0f : 0.5f));
      pcontext->fill();
   }
   if (fText > 0.0f)
   {
      pcontext->set_fill_color(enabled() ? ptheme->m_colorText : ptheme->m_colorTextDisabled);
      pcontext->set_text_align(zel2d::align_left | zel2d::align_middle);
      pcontext->text(fStart + fIcon + fGap, fy + fh * 0.5f, m_strCaption);
   }
}

void Button::draw(zel2d::context * pcontext)
{
   draw_face(pcontext);
   Widget::draw(pcontext);
}

} // namespace zelui
