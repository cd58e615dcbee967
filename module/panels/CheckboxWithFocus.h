#pragma once

#include "zelui/CheckBox.h"

namespace Tarvossa_BrisvanePro
{

// The check box of the panels and tool windows: font size 14, a red square while it has the
// keyboard focus, and the space key toggles it as a click would (the callback runs).
class CheckboxWithFocus : public zelui::CheckBox
{
public:
   CheckboxWithFocus(zelui::Widget * pparent, scoped_string_base strCaption, const function<void(bool)> & callback);
   ~CheckboxWithFocus() override;

   bool keyboard_event(user::enum_key ekey, int iScancode, int iAction, const enumeration<user::enum_key> & emodifiers,
                       const string_base & strText) override;
   void draw(zel2d::context * pcontext) override;
};

} // namespace Tarvossa_BrisvanePro
