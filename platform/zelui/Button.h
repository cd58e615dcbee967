#pragma once

#include <vector>

#include "orvo/function.h"
#include "zelui/Widget.h"

namespace zelui
{

// A push button with a caption and an optional icon (a drawing-context image handle; 0 and below
// mean none). The behaviour flags combine:
// - normal: pushed while held; the callback runs when the left button is released over it;
// - radio: pressing it releases the other radio buttons among its siblings (or of its group),
//   and it stays pushed;
// - toggle: each press flips the pushed state;
// - popup: the button opens a popup (see `PopupButton`).
// The change callback runs whenever a press or release changes the pushed state.
class Button : public Widget
{
public:
   enum enum_flag : int
   {
      e_flag_normal = 1,
      e_flag_radio = 2,
      e_flag_toggle = 4,
      e_flag_popup = 8,
   };

   Button(Widget * pparent, scoped_string_base strCaption = "Untitled", int iIcon = 0);

   const string_base & caption() const noexcept { return m_strCaption; }
   void set_caption(scoped_string_base strCaption) { m_strCaption = strCaption; }
   int icon() const noexcept { return m_iIcon; }
   void set_icon(int iIcon) noexcept { m_iIcon = iIcon; }
   int flags() const noexcept { return m_iFlags; }
   void set_flags(int iFlags) noexcept { m_iFlags = iFlags; }
   bool pushed() const noexcept { return m_bPushed; }
   // Sets the pushed state; runs no callback.
   void set_pushed(bool bPushed) noexcept { m_bPushed = bPushed; }

   void set_callback(const function<void()> & callback) { m_callback = callback; }
   const function<void()> & callback() const noexcept { return m_callback; }
   void set_change_callback(const function<void(bool)> & callback) { m_callbackChange = callback; }
   // Radio buttons that release each other in place of the siblings.
   void set_button_group(const std::vector<Button *> & group) { m_group = group; }

   size_type<int> preferred_size(zel2d::context * pcontext) override;
   // The caption, in the face's room right of the icon.
   std::vector<text_line> text_lines() const override;
   void draw(zel2d::context * pcontext) override;
   bool mouse_button_event(const point_type<int> & point, enumeration<user::enum_mouse> ebutton, bool bDown, bool bDoubleClick,
                           const enumeration<user::enum_key> & emodifiers) override;
   bool mouse_enter_event(const point_type<int> & point, bool bEnter, const enumeration<user::enum_key> & emodifiers) override;
   // A push button whose release will not come comes up again, without running its callback.
   void mouse_capture_lost() override;

protected:
   // The width at the right end of the face that the icon and caption leave free (a popup
   // button's arrow stands there).
   virtual float reserved_right() const { return 0.0f; }
   // The part of the face in which the icon and the caption are centred, in the widget's
   // coordinates: the face less the theme's padding and the reserved right end.
   rectangle_type<float> content_room() const;
   // The side of the square icon, 0 without one.
   float icon_side() const;
   float caption_font_size() const;
   // Releases the other buttons of the radio set.
   void release_radio_partners();
   // Draws the face: the rounded rectangle, the icon and the caption.
   void draw_face(zel2d::context * pcontext);

private:
   string_base m_strCaption;
   int m_iIcon = 0;
   int m_iFlags = e_flag_normal;
   bool m_bPushed = false;
   function<void()> m_callback;
   function<void(bool)> m_callbackChange;
   std::vector<Button *> m_group;
};

} // namespace zelui
