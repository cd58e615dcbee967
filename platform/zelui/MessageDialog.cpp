#include "zelui/MessageDialog.h"

#include <algorithm>

#include "orvo/string_array.h"
#include "orvo/unicode.h"
#include "zel2d/context.h"
#include "zelui/BoxLayout.h"
#include "zelui/Button.h"
#include "zelui/Label.h"
#include "zelui/Theme.h"

namespace zelui
{

// Room at the left of the text for the kind mark, and the box's margins at the left and right.
static constexpr int mark_room = 44;
static constexpr int side_margin = 15;
// Narrower room than this breaks no line: a word a line would be no more readable than a cut line.
static constexpr int least_room = 80;

MessageDialog::MessageDialog(Widget * pparent, int iType, scoped_string_base strTitle, scoped_string_base strMessage,
                             scoped_string_base strButton, scoped_string_base strAltButton, enum_buttons ebuttons) :
   Window(pparent, strTitle), m_iType(iType), m_strMessage(strMessage), m_bAltButton(ebuttons == e_two_buttons)
{
   set_modal(true);
   set_layout(new BoxLayout(e_orientation_vertical, e_alignment_middle,
                            rectangle_type<int>{side_margin, 12, side_margin, 12}, 12));
   m_ptext = new Widget(this);
   m_ptext->set_layout(new BoxLayout(e_orientation_vertical, e_alignment_minimum, rectangle_type<int>{mark_room, 0, 0, 0}, 2));
   for (const string_base & strLine : lines_in(nullptr, 0))
   {
      new Label(m_ptext, strLine);
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
   center();
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

std::vector<string_base> MessageDialog::lines_in(zel2d::context * pcontext, int iRoom) const
{
   string_array_base written;
   written._add_lines(m_strMessage);
   std::vector<string_base> lines(written.begin(), written.end());
   if (iRoom < least_room)
   {
      return lines;
   }
   zel2d::context * pmeasure = measuring_context(pcontext);
   zel2d::saved_state state(pmeasure);
   pmeasure->set_font_face(theme()->face("sans"));
   pmeasure->set_font_size(font_size());
   // As a label measures itself: its text and two pixels.
   auto fits = [&](const string_base & str) { return pmeasure->text_bounds(0.0f, 0.0f, str, nullptr) + 2.0f <= iRoom; };
   std::vector<string_base> broken;
   for (const string_base & strLine : lines)
   {
      string_base strRest = strLine;
      while (!fits(strRest))
      {
         // The longest start that fits, ending before a space when there is one; else as many
         // whole characters as fit, one at least.
         std::size_t iEnd = 0;
         std::size_t iSpace = string_base::npos;
         for (std::size_t i = 0; i < strRest.size();)
         {
            const std::size_t iNext = i + unicode::decode_utf8_at(strRest, i).m_iLength;
            if (!fits(strRest.substr(0, iNext)))
            {
               break;
            }
            iSpace = strRest[i] == ' ' ? i : iSpace;
            iEnd = iNext;
            i = iNext;
         }
         if (iEnd < strRest.size() && strRest[iEnd] == ' ')
         {
            iSpace = iEnd;
         }
         const std::size_t iCut = iSpace != string_base::npos && iSpace > 0 ? iSpace : std::max<std::size_t>(iEnd, 1);
         broken.push_back(strRest.substr(0, iCut));
         strRest = strRest.substr(iCut < strRest.size() && strRest[iCut] == ' ' ? iCut + 1 : iCut);
      }
      broken.push_back(strRest);
   }
   return broken;
}

void MessageDialog::fit_text(zel2d::context * pcontext)
{
   const Widget * pparent = parent();
   const int iRoom = pparent && pparent->width() > 0 ? pparent->width() - 2 * side_margin - mark_room : 0;
   const std::vector<string_base> lines = lines_in(pcontext, iRoom);
   std::vector<string_base> shown;
   for (const pointer<Widget> & pchild : m_ptext->children())
   {
      shown.push_back(static_cast<Label *>(pchild.get())->caption());
   }
   if (lines == shown)
   {
      return;
   }
   while (m_ptext->child_count() > 0)
   {
      m_ptext->remove_child_at(m_ptext->child_count() - 1);
   }
   for (const string_base & strLine : lines)
   {
      new Label(m_ptext, strLine);
   }
}

void MessageDialog::perform_layout(zel2d::context * pcontext)
{
   fit_text(pcontext);
   set_size(preferred_size(pcontext));
   Window::perform_layout(pcontext);
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
   pcontext->set_fill_color(iKind == e_type_warning ? ptheme->m_colorWarningMark : ptheme->m_colorAccent);
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
