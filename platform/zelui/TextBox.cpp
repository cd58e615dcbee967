#include "zelui/TextBox.h"

#include <algorithm>
#include <cmath>

#include "zel2d/context.h"
#include "zelui/Theme.h"

namespace zelui
{

TextBox::TextBox(Widget * pparent, scoped_string_base strValue) : Widget(pparent), m_strValue(strValue)
{
   set_cursor(user::e_cursor_text);
}

void TextBox::set_editable(bool bEditable)
{
   m_bEditable = bEditable;
   set_cursor(bEditable ? user::e_cursor_text : user::e_cursor_arrow);
}

void TextBox::set_value(scoped_string_base strValue, const action_context & context)
{
   if (m_bEditing && !m_bCommitting && m_strEdit != m_strValue)
   {
      // The user's pending edit is committed before anything replaces it. A refresh that brings
      // back the value from before the edit was read before the commit reached the owner: the
      // committed value stands.
      const string_base strBefore = m_strValue;
      if (commit() && strValue == strBefore)
      {
         return;
      }
   }
   m_strValue = strValue;
   if (m_bEditing)
   {
      m_strEdit = m_strValue;
      m_iCaret = std::min<long long>(m_iCaret, static_cast<long long>(m_strEdit.size()));
      m_iAnchor = -1;
   }
   if (context.is_user_change() && m_callback)
   {
      auto pself = keep_alive();
      m_callback(m_strValue);
   }
   set_need_redraw();
   post_redraw();
}

void TextBox::set_colors(const color::color & colorBackground, const color::color & colorEditing)
{
   m_colorBackground = colorBackground;
   m_colorEditing = colorEditing;
   m_bColors = true;
}

string_base TextBox::selected_text() const
{
   if (m_iAnchor < 0)
   {
      return {};
   }
   const string_base & strText = text();
   auto iStart = static_cast<std::size_t>(std::min(m_iAnchor, m_iCaret));
   auto iEnd = static_cast<std::size_t>(std::max(m_iAnchor, m_iCaret));
   return strText.substr(iStart, iEnd - iStart);
}

void TextBox::select_all()
{
   m_iAnchor = 0;
   m_iCaret = static_cast<long long>(text().size());
}

void TextBox::move_caret_to_end()
{
   m_iAnchor = -1;
   m_iCaret = static_cast<long long>(text().size());
}

bool TextBox::commit()
{
   if (!m_bEditing || m_bCommitting)
   {
      return true;
   }
   m_bCommitting = true;
   auto pself = keep_alive();
   string_base strOld = m_strValue;
   m_strValue = m_strEdit;
   bool bAccepted = true;
   if (m_callback && m_strValue != strOld)
   {
      bAccepted = m_callback(m_strValue);
   }
   if (!bAccepted)
   {
      m_strValue = strOld;
   }
   m_strEdit = m_strValue;
   m_iCaret = std::min<long long>(m_iCaret, static_cast<long long>(m_strEdit.size()));
   m_iAnchor = -1;
   m_bCommitting = false;
   set_need_redraw();
   post_redraw();
   return bAccepted;
}

bool TextBox::focus_event(bool bFocused)
{
   bool bWasEditing = m_bEditing;
   Widget::focus_event(bFocused);
   if (bFocused && m_bEditable)
   {
      m_bEditing = true;
      m_strEdit = m_strValue;
      m_iCaret = 0;
      m_iAnchor = -1;
      m_fScroll = 0.0f;
   }
   else if (!bFocused && bWasEditing)
   {
      commit();
      m_bEditing = false;
      m_fScroll = 0.0f;
   }
   set_need_redraw();
   post_redraw();
   return true;
}

long long TextBox::previous_boundary(long long i) const
{
   const string_base & strText = text();
   if (i <= 0)
   {
      return 0;
   }
   --i;
   while (i > 0 && (static_cast<unsigned char>(strText[static_cast<std::size_t>(i)]) & 0xC0) == 0x80)
   {
      --i;
   }
   return i;
}

long long TextBox::next_boundary(long long i) const
{
   const string_base & strText = text();
   auto n = static_cast<long long>(strText.size());
   if (i >= n)
   {
      return n;
   }
   ++i;
   while (i < n && (static_cast<unsigned char>(strText[static_cast<std::size_t>(i)]) & 0xC0) == 0x80)
   {
      ++i;
   }
   return i;
}

void TextBox::move_caret(long long iCaret, bool bSelect)
{
   if (bSelect)
   {
      if (m_iAnchor < 0)
      {
         m_iAnchor = m_iCaret;
      }
   }
   else
   {
      m_iAnchor = -1;
   }
   m_iCaret = std::clamp<long long>(iCaret, 0, static_cast<long long>(text().size()));
}

bool TextBox::erase_selection()
{
   if (m_iAnchor < 0 || m_iAnchor == m_iCaret)
   {
      m_iAnchor = -1;
      return false;
   }
   auto iStart = static_cast<std::size_t>(std::min(m_iAnchor, m_iCaret));
   auto iEnd = static_cast<std::size_t>(std::max(m_iAnchor, m_iCaret));
   m_strEdit.erase(iStart, iEnd - iStart);
   m_iCaret = static_cast<long long>(iStart);
   m_iAnchor = -1;
   return true;
}

void TextBox::insert(scoped_string_base strText)
{
   erase_selection();
   m_strEdit.insert(static_cast<std::size_t>(m_iCaret), strText);
   m_iCaret += static_cast<long long>(strText.size());
}

bool TextBox::keyboard_event(user::enum_key ekey, int, int iAction, const enumeration<user::enum_key> & emodifiers,
                             const string_base & strText)
{
   if (!m_bEditing || iAction == user::e_key_action_release)
   {
      return false;
   }
   bool bShift = emodifiers.has(keyboard::e_group_shift);
   bool bControl = emodifiers.has(keyboard::e_group_control);
   auto iEnd = static_cast<long long>(m_strEdit.size());
   switch (ekey)
   {
   case user::e_key_left:
      move_caret(!bShift && m_iAnchor >= 0 ? std::min(m_iAnchor, m_iCaret) : previous_boundary(m_iCaret), bShift);
      break;
   case user::e_key_right:
      move_caret(!bShift && m_iAnchor >= 0 ? std::max(m_iAnchor, m_iCaret) : next_boundary(m_iCaret), bShift);
      break;
   case user::e_key_home:
   case user::e_key_up:
      move_caret(0, bShift);
      break;
   case user::e_key_end:
   case user::e_key_down:
      move_caret(iEnd, bShift);
      break;
   case user::e_key_backspace:
      if (!erase_selection() && m_iCaret > 0)
      {
         long long iStart = previous_boundary(m_iCaret);
         m_strEdit.erase(static_cast<std::size_t>(iStart), static_cast<std::size_t>(m_iCaret - iStart));
         m_iCaret = iStart;
      }
      break;
   case user::e_key_delete:
      if (!erase_selection() && m_iCaret < iEnd)
      {
         long long iNext = next_boundary(m_iCaret);
         m_strEdit.erase(static_cast<std::size_t>(m_iCaret), static_cast<std::size_t>(iNext - m_iCaret));
      }
      break;
   case user::e_key_return:
      commit();
      select_all();
      set_need_redraw();
      post_redraw();
      return false;
   case user::e_key_escape:
      m_strEdit = m_strValue;
      move_caret_to_end();
      set_need_redraw();
      post_redraw();
      return false;
   case user::e_key_tab:
      return false;
   default:
      if (bControl && ekey == user::e_key_a)
      {
         select_all();
      }
      else if (!bControl && !strText.empty() && static_cast<unsigned char>(strText[0]) >= 0x20 && strText[0] != 0x7F)
      {
         insert(strText);
      }
      else
      {
         return false;
      }
      break;
   }
   set_need_redraw();
   post_redraw();
   return true;
}

float TextBox::text_font_size() const
{
   return has_font_size() ? font_size() : static_cast<float>(theme()->m_iTextBoxFontSize);
}

void TextBox::prepare_font(zel2d::context * pcontext) const
{
   pcontext->set_font_face(theme()->m_pszFontFace);
   pcontext->set_font_size(text_font_size());
}

float TextBox::text_width(zel2d::context * pcontext, scoped_string_base strText) const
{
   return strText.empty() ? 0.0f : pcontext->text_bounds(0.0f, 0.0f, strText, nullptr);
}

float TextBox::text_origin(zel2d::context * pcontext)
{
   float fPadding = static_cast<float>(theme()->m_iTextBoxPadding);
   float fUnits = m_strUnits.empty() ? 0.0f : text_width(pcontext, m_strUnits) + fPadding;
   float fRoom = static_cast<float>(width()) - 2.0f * fPadding - fUnits;
   float fText = text_width(pcontext, text());
   float fOrigin = fPadding;
   if (fText <= fRoom)
   {
      m_fScroll = 0.0f;
      if (m_iAlignment == e_alignment_center)
      {
         fOrigin += (fRoom - fText) * 0.5f;
      }
      else if (m_iAlignment == e_alignment_right)
      {
         fOrigin += fRoom - fText;
      }
      return fOrigin;
   }
   // Longer than the box: scroll so that the caret stays in view.
   float fCaret = text_width(pcontext, text().substr(0, static_cast<std::size_t>(m_iCaret)));
   if (fCaret - m_fScroll > fRoom)
   {
      m_fScroll = fCaret - fRoom;
   }
   else if (fCaret - m_fScroll < 0.0f)
   {
      m_fScroll = fCaret;
   }
   m_fScroll = std::clamp(m_fScroll, 0.0f, fText - fRoom);
   return fOrigin - m_fScroll;
}

long long TextBox::offset_at(float fx)
{
   zel2d::context * pmeasure = measuring_context(nullptr);
   zel2d::saved_state state(pmeasure);
   prepare_font(pmeasure);
   float fOrigin = text_origin(pmeasure);
   const string_base & strText = text();
   long long iBest = 0;
   float fBestDistance = std::abs(fx - fOrigin);
   for (long long i = next_boundary(0); i <= static_cast<long long>(strText.size()); i = next_boundary(i))
   {
      float fDistance = std::abs(fx - fOrigin - text_width(pmeasure, strText.substr(0, static_cast<std::size_t>(i))));
      if (fDistance < fBestDistance)
      {
         fBestDistance = fDistance;
         iBest = i;
      }
      if (i == static_cast<long long>(strText.size()))
      {
         break;
      }
   }
   return iBest;
}

bool TextBox::mouse_button_event(const point_type<int> & point, enumeration<user::enum_mouse> ebutton, bool bDown,
                                 bool bDoubleClick, const enumeration<user::enum_key> & emodifiers)
{
   if (ebutton != user::e_mouse_left_button || !m_bEditable || !enabled())
   {
      return Widget::mouse_button_event(point, ebutton, bDown, bDoubleClick, emodifiers);
   }
   if (bDown)
   {
      if (!focused())
      {
         request_focus();
      }
      if (bDoubleClick)
      {
         select_all();
      }
      else
      {
         move_caret(offset_at(static_cast<float>(point.x)), emodifiers.has(keyboard::e_group_shift));
         set_mouse_capture();
      }
      set_need_redraw();
      post_redraw();
   }
   return true;
}

bool TextBox::mouse_motion_event(const point_type<int> & point, const size_type<int> &, bool bButton,
                                 const enumeration<user::enum_key> &)
{
   if (m_bEditing && bButton && has_mouse_capture())
   {
      move_caret(offset_at(static_cast<float>(point.x)), bButton);
      set_need_redraw();
      post_redraw();
   }
   return true;
}

size_type<int> TextBox::preferred_size(zel2d::context * pcontext)
{
   zel2d::context * pmeasure = measuring_context(pcontext);
   zel2d::saved_state state(pmeasure);
   prepare_font(pmeasure);
   float fText = text_width(pmeasure, text());
   float fUnits = m_strUnits.empty() ? 0.0f : text_width(pmeasure, m_strUnits) + static_cast<float>(theme()->m_iTextBoxPadding);
   int iWidth = static_cast<int>(std::ceil(fText + fUnits)) + 2 * theme()->m_iTextBoxPadding;
   return {std::max(iWidth, 40), std::max(theme()->m_iControlHeight, static_cast<int>(std::ceil(text_font_size() * 1.3f)) + 2)};
}

std::vector<text_line> TextBox::text_lines() const
{
   Theme * ptheme = theme();
   string_base strFace = ptheme->m_pszFontFace;
   float fFont = text_font_size();
   auto fPadding = static_cast<float>(ptheme->m_iTextBoxPadding);
   auto fWidth = static_cast<float>(width());
   auto fHeight = static_cast<float>(height());
   float fUnits = 0.0f;
   std::vector<text_line> lines;
   if (!m_strUnits.empty())
   {
      zel2d::context * pmeasure = measuring_context(nullptr);
      zel2d::saved_state state(pmeasure);
      prepare_font(pmeasure);
      fUnits = text_width(pmeasure, m_strUnits);
      lines.push_back({m_strUnits, strFace, fFont, {fWidth - fPadding - fUnits, 1.0f, fWidth - fPadding, fHeight - 1.0f}});
      fUnits += fPadding;
   }
   if (!text().empty())
   {
      lines.insert(lines.begin(), {text(), strFace, fFont, {fPadding, 1.0f, fWidth - fPadding - fUnits, fHeight - 1.0f}});
   }
   return lines;
}

void TextBox::draw(zel2d::context * pcontext)
{
   Theme * ptheme = theme();
   float fx = static_cast<float>(x()), fy = static_cast<float>(y());
   float fw = static_cast<float>(width()), fh = static_cast<float>(height());
   {
      zel2d::saved_state state(pcontext);
      pcontext->begin_path();
      pcontext->rounded_rectangle(fx + 0.5f, fy + 0.5f, fw - 1.0f, fh - 1.0f, 2.0f);
      color::color colorBackground = m_bColors ? (m_bEditing ? m_colorEditing : m_colorBackground)
                                     : (m_bEditing ? ptheme->m_colorTextBoxFocused : ptheme->m_colorTextBox);
      pcontext->set_fill_color(colorBackground);
      pcontext->fill();
      pcontext->set_stroke_color(m_bEditing ? ptheme->m_colorAccent : ptheme->m_colorTextBoxBorder);
      pcontext->set_stroke_width(1.0f);
      pcontext->stroke();

      prepare_font(pcontext);
      float fPadding = static_cast<float>(ptheme->m_iTextBoxPadding);
      float fMiddle = fy + fh * 0.5f;
      pcontext->set_text_align(zel2d::align_left | zel2d::align_middle);
      if (!m_strUnits.empty())
      {
         float fUnits = text_width(pcontext, m_strUnits);
         pcontext->set_fill_color(ptheme->m_colorTextUnits);
         pcontext->text(fx + fw - fPadding - fUnits, fMiddle, m_strUnits);
      }
      pcontext->intersect_scissor(fx + 1.0f, fy + 1.0f, fw - 2.0f, fh - 2.0f);
      float fOrigin = fx + text_origin(pcontext);
      const string_base & strText = text();
      if (m_bEditing && m_iAnchor >= 0 && m_iAnchor != m_iCaret)
      {
         float fA = text_width(pcontext, strText.substr(0, static_cast<std::size_t>(std::min(m_iAnchor, m_iCaret))));
         float fB = text_width(pcontext, strText.substr(0, static_cast<std::size_t>(std::max(m_iAnchor, m_iCaret))));
         pcontext->begin_path();
         pcontext->rectangle(fOrigin + fA, fy + 3.0f, fB - fA, fh - 6.0f);
         pcontext->set_fill_color(ptheme->m_colorSelection);
         pcontext->fill();
      }
      pcontext->set_fill_color(enabled() ? ptheme->m_colorText : ptheme->m_colorTextDisabled);
      pcontext->text(fOrigin, fMiddle, strText);
      if (m_bEditing)
      {
         float fCaret = fOrigin + text_width(pcontext, strText.substr(0, static_cast<std::size_t>(m_iCaret)));
         pcontext->begin_path();
         pcontext->rectangle(std::round(fCaret), fy + 4.0f, 1.0f, fh - 8.0f);
         pcontext->set_fill_color(ptheme->m_colorCaret);
         pcontext->fill();
      }
   }
   Widget::draw(pcontext);
}

} // namespace zelui
