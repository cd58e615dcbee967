#pragma once

#include "orvo/function.h"
#include "zelui/Widget.h"
#include "zelui/action_context.h"

namespace zelui
{

// A box with a check mark and a caption beside it. A click toggles it as the user's change and
// gives it the focus; the callback receives the new state and runs only for changes that count as
// the user's. A press released off the box (or never released) changes nothing.
class CheckBox : public Widget
{
public:
   CheckBox(Widget * pparent, scoped_string_base strCaption = "Untitled", const function<void(bool)> & callback = {});

   const string_base & caption() const noexcept { return m_strCaption; }
   void set_caption(scoped_string_base strCaption) { m_strCaption = strCaption; }
   bool checked() const noexcept { return m_bChecked; }
   // Sets the state; a change by the user (see `action_context`) runs the callback with it.
   void set_checked(bool bChecked, const action_context & context = e_source_sync);
   // Held down by the mouse.
   bool pushed() const noexcept { return m_bPushed; }
   void set_pushed(bool bPushed) noexcept { m_bPushed = bPushed; }
   const function<void(bool)> & callback() const noexcept { return m_callback; }
   void set_callback(const function<void(bool)> & callback) { m_callback = callback; }

   bool accepts_focus() const override { return enabled(); }
   size_type<int> preferred_size(zel2d::context * pcontext) override;
   // The caption, right of the box.
   std::vector<text_line> text_lines() const override;
   void draw(zel2d::context * pcontext) override;
   bool mouse_button_event(const point_type<int> & point, enumeration<user::enum_mouse> ebutton, bool bDown, bool bDoubleClick,
                           const enumeration<user::enum_key> & emodifiers) override;
   // A press whose release will not come leaves the box as it was, not looking pressed.
   void mouse_capture_lost() override;

private:
   // The side of the square box, which stands 1 pixel in from the left edge.
   float box_side() const;
   // Where the caption begins, from the left edge.
   float caption_left() const;

   string_base m_strCaption;
   bool m_bChecked = false;
   bool m_bPushed = false;
   function<void(bool)> m_callback;
};

} // namespace zelui
