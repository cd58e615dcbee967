#include "zelui/MessageDialog.h"

#include "orvo/string_array.h"
#include "zel2d/context.h"
#include "zelui/BoxLayout.h"
#include "zelui/Button.h"
#include "zelui/Label.h"
#include "zelui/Theme.h"

namespace zelui
{

// Room at the left of the text for the kind mark.
static constexpr int mark_room = 44;

MessageDialog::MessageDialog(Widget * pparent, int iType, scoped_string_base strTitle, scoped_string_base strMessage,
                             scoped_string_base strButton, scoped_string_base strAltButton, bool bAltButton) :
   Window(pparent, strTitle), m_iType(iType), m_strMessage(strMessage), m_bAltButton(bAltButton)
{
   set_modal(true);
   set_layout(new BoxLayout(e_orientation_vertical, e_alignment_middle, rectangle_type<int>{15, 12, 15, 12}, 12));
   auto ptext = new Widget(this);
   ptext->set_layout(new BoxLayout(e_orientation_vertical, e_alignment_minimum, rectangle_type<int>{mark_room, 0, 0, 0}, 2));
   string_array_base lines;
   lines._add_lines(m_strMessage);
   for (const string_base & strLine : lines)
   {
      new Label(ptext, strLine);
   }
   auto prow = new Widget(this);
   prow->set_layout(new BoxLayout(e_orientation_horizontal, e_alignment_middle, 0, 8));
   if (m_bAltButton)
   {
      auto palt = new Button(prow, strAltButton);
      palt->set_fixed_width(80);
      palt->set_callback([this] { answer(1); });
   }
   auto pmain = new Button(prow, strButton);
   pmain->set_fixed_width(80);
   pmain->set_callback([this] { answer(0); });
   request_focus();
   set_need_layout();
   set_need_redraw();
   post_redraw();
}

void MessageDialog::answer(int iButton)
{
   if (m_bAnswered)
   {
      return;
   }
   m_bAnswered = true;
   auto pself = keep_alive();
   dispose();
   if (m_callback)
   {
      m_callback(iButton);
   }
}

void MessageDialog::perform_layout(zel2d::context * pcontext, bool bRecursive)
{
   set_size(preferred_size(pcontext, true));
   Window::perform_layout(pcontext, bRecursive);
   if (!m_bPlaced)
   {
      center();
      m_bPlaced = true;
   }
}

void MessageDialog::draw(zel2d::context * pcontext)
{
   Window::draw(pcontext);
   Theme * ptheme = theme();
   static const char * s_marks[] = {"i", "?", "!"};
   int iKind = m_iType >= 0 && m_iType <= 2 ? m_iType : 0;
   float fcx = static_cast<float>(x()) + 15.0f + 14.0f;
   float fcy = static_cast<float>(y() + ptheme->m_iWindowHeaderHeight) + 12.0f + 14.0f;
   zel2d::saved_state state(pcontext);
   pcontext->begin_path();
   pcontext->circle(fcx, fcy, 13.0f);
   pcontext->set_fill_color(iKind == e_type_warning ? color::color::from_argb(0xFFD08A2E) : ptheme->m_colorAccent);
   pcontext->fill();
   pcontext->set_font_face(ptheme->m_pszFontFace);
   pcontext->set_font_size(18.0f);
   pcontext->set_text_align(zel2d::align_center | zel2d::align_middle);
   pcontext->set_fill_color(ptheme->m_colorWindowTitle);
   pcontext->text(fcx, fcy, s_marks[iKind]);
}

bool MessageDialog::keyboard_event(user::enum_key ekey, int iScancode, int iAction, const enumeration<user::enum_key> & emodifiers,
                                   const string_base & strText)
{
   if (iAction == user::e_key_action_press && ekey == user::e_key_return)
   {
      answer(0);
      return true;
   }
   if (iAction == user::e_key_action_press && ekey == user::e_key_escape)
   {
      answer(m_bAltButton ? 1 : 0);
      return true;
   }
   return Window::keyboard_event(ekey, iScancode, iAction, emodifiers, strText);
}

} // namespace zelui
