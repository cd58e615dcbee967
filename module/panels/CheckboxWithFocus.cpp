#include "panels/CheckboxWithFocus.h"

#include "panels/panel_colors.h"
#include "zel2d/context.h"

namespace Tarvossa_BrisvanePro
{

CheckboxWithFocus::CheckboxWithFocus(zelui::Widget * pparent, scoped_string_base strCaption,
                                     const function<void(bool)> & callback) :
   zelui::CheckBox(pparent, strCaption, callback)
{
   set_font_size(14.0f);
}

CheckboxWithFocus::~CheckboxWithFocus() = default;

bool CheckboxWithFocus::keyboard_event(user::enum_key ekey, int iScancode, int iAction,
                                       const enumeration<user::enum_key> & emodifiers, const string_base & strText)
{
   if (ekey == user::e_key_space && iAction != user::e_key_action_release)
   {
      pointer<zelui::Widget> pkeep = keep_alive();
      set_checked(!checked(), e_source_user);
      return true;
   }
   return zelui::Widget::keyboard_event(ekey, iScancode, iAction, emodifiers, strText);
}

void CheckboxWithFocus::draw(zel2d::context * pcontext)
{
   zelui::CheckBox::draw(pcontext);
   if (!focused())
   {
      return;
   }
   // The mark is a square whose side comes from the height alone.
   float fSide = static_cast<float>(height()) - 2.0f;
   pcontext->begin_path();
   pcontext->set_stroke_color(panel_colors::focus_mark);
   pcontext->set_stroke_width(1.0f);
   pcontext->rectangle(static_cast<float>(x()) + 1.0f, static_cast<float>(y()) + 1.0f, fSide, fSide);
   pcontext->stroke();
}

} // namespace Tarvossa_BrisvanePro
