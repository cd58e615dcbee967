#pragma once

#include "orvo/color.h"
#include "orvo/function.h"
#include "zelui/Widget.h"
#include "zelui/action_context.h"

namespace zelui
{

// A one-line text field.
//
// While an editable box has the focus the user edits a copy of its value: typing inserts the
// key's text at the caret (replacing the selection), Left/Right move the caret, Home/End go to
// the start or end, Backspace/Delete erase, Shift with any of the moving keys selects, Control+A
// selects everything, Escape drops the edit and Return commits it; both then go on to the box's
// ancestors, so that a dialog answers them. Losing the focus commits too.
// Committing hands the new text to the callback, which returns whether it accepts it; a refused
// text gives the box its old value back. The callback may itself set the value (to show a
// normalised text), which then stays.
class TextBox : public Widget
{
public:
   enum enum_alignment : int
   {
      e_alignment_left,
      e_alignment_center,
      e_alignment_right,
   };

   TextBox(Widget * pparent, scoped_string_base strValue = "Untitled");

   bool editable() const noexcept { return m_bEditable; }
   void set_editable(bool bEditable);
   const string_base & value() const noexcept { return m_strValue; }
   // Sets the value (and the text being edited); a change by the user runs the callback with it.
   // An edit the user has not committed yet is committed first, so a refresh never drops it.
   void set_value(scoped_string_base strValue, const action_context & context = e_source_sync);
   const string_base & units() const noexcept { return m_strUnits; }
   void set_units(scoped_string_base strUnits) { m_strUnits = strUnits; }
   int alignment() const noexcept { return m_iAlignment; }
   void set_alignment(int iAlignment) noexcept { m_iAlignment = iAlignment; }
   const function<bool(scoped_string_base)> & callback() const noexcept { return m_callback; }
   void set_callback(const function<bool(scoped_string_base)> & callback) { m_callback = callback; }
   // The background while idle and while editing; the theme's until set.
   void set_colors(const color::color & colorBackground, const color::color & colorEditing);

   // The text shown: the edited copy while editing, else the value.
   const string_base & text() const noexcept { return m_bEditing ? m_strEdit : m_strValue; }
   bool is_editing() const noexcept { return m_bEditing; }
   // Caret and selection as byte offsets into `text()`; the selection runs between the anchor
   // and the caret, and there is none while the anchor is -1.
   long long caret() const noexcept { return m_iCaret; }
   long long selection_anchor() const noexcept { return m_iAnchor; }
   string_base selected_text() const;
   void select_all();
   // Puts the caret after the last character, with nothing selected.
   void move_caret_to_end();
   // Hands the edited text to the callback now (see the class note); false when it was refused.
   bool commit();

   bool accepts_focus() const override { return m_bEditable && enabled(); }
   size_type<int> preferred_size(zel2d::context * pcontext) override;
   // The text left of the units, and the units at the right end.
   std::vector<text_line> text_lines() const override;
   void draw(zel2d::context * pcontext) override;
   bool mouse_button_event(const point_type<int> & point, enumeration<user::enum_mouse> ebutton, bool bDown, bool bDoubleClick,
                           const enumeration<user::enum_key> & emodifiers) override;
   bool mouse_motion_event(const point_type<int> & point, const size_type<int> & motion, bool bButton,
                           const enumeration<user::enum_key> & ekeystate) override;
   bool focus_event(bool bFocused) override;
   bool keyboard_event(user::enum_key ekey, int iScancode, int iAction, const enumeration<user::enum_key> & emodifiers,
                       const string_base & strText) override;

private:
   // Editing steps on the edited copy.
   void insert(scoped_string_base strText);
   bool erase_selection();
   void move_caret(long long iCaret, bool bSelect);
   long long previous_boundary(long long i) const;
   long long next_boundary(long long i) const;
   // The caret offset nearest to an x relative to the widget.
   long long offset_at(float fx);
   // Where the text starts, relative to the widget, for the current scroll.
   float text_origin(zel2d::context * pcontext);
   // The size of the text: the box's own font size, else the theme's for text boxes.
   float text_font_size() const;
   void prepare_font(zel2d::context * pcontext) const;
   float text_width(zel2d::context * pcontext, scoped_string_base strText) const;

   bool m_bEditable = false;
   bool m_bEditing = false;
   bool m_bCommitting = false;
   string_base m_strValue;
   string_base m_strEdit;
   string_base m_strUnits;
   int m_iAlignment = e_alignment_left;
   function<bool(scoped_string_base)> m_callback;
   long long m_iCaret = 0;
   long long m_iAnchor = -1;
   float m_fScroll = 0.0f;
   bool m_bColors = false;
   color::color m_colorBackground;
   color::color m_colorEditing;
};

} // namespace zelui
