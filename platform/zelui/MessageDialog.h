#pragma once

#include <vector>

#include "orvo/function.h"
#include "zelui/Window.h"

namespace zelui
{

// A modal message box in the middle of its parent: a kind mark, the text (one line per line of
// the message) and one or two buttons. It answers asynchronously: pressing a button (Return the
// main one, Escape the alternative one when there is one) closes the dialog and then runs the
// callback with the button's index, 0 for the main button and 1 for the alternative. A line too
// wide for the parent is broken (at spaces, or inside a word too long), so that the box and its
// buttons stay inside the parent.
class MessageDialog : public Window
{
public:
   enum enum_type : int
   {
      e_type_information = 0,
      e_type_question = 1,
      e_type_warning = 2,
   };

   // Whether the alternative button shows beside the main one.
   enum enum_buttons
   {
      e_one_button,
      e_two_buttons,
   };

   MessageDialog(Widget * pparent, int iType, scoped_string_base strTitle = "Untitled", scoped_string_base strMessage = "Message",
                 scoped_string_base strButton = "OK", scoped_string_base strAltButton = "Cancel",
                 enum_buttons ebuttons = e_one_button);

   int type() const noexcept { return m_iType; }
   const string_base & message() const noexcept { return m_strMessage; }
   void set_callback(const function<void(int)> & callback) { m_callback = callback; }
   // Answers as if the button of that index was pressed.
   void answer(int iButton);

   void perform_layout(zel2d::context * pcontext) override;
   void draw(zel2d::context * pcontext) override;
   bool keyboard_event(user::enum_key ekey, int iScancode, int iAction, const enumeration<user::enum_key> & emodifiers,
                       const string_base & strText) override;

private:
   // The message's lines as shown in room of that width (none: as written).
   std::vector<string_base> lines_in(zel2d::context * pcontext, int iRoom) const;
   // Shows the lines that fit in the parent, when they are not the lines shown.
   void fit_text(zel2d::context * pcontext);

   int m_iType;
   string_base m_strMessage;
   bool m_bAltButton;
   Widget * m_ptext = nullptr;
   bool m_bAnswered = false;
   function<void(int)> m_callback;
};

} // namespace zelui
