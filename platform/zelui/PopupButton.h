#pragma once

#include "zelui/Button.h"

namespace zelui
{

// A button that opens its `Popup` when pushed and closes it when pushed again.
class PopupButton : public Button
{
public:
   PopupButton(Widget * pparent, scoped_string_base strCaption = "Untitled", int iIcon = 0);
   ~PopupButton() override;

   Popup * popup() const noexcept { return m_ppopup.get(); }

   void draw(zel2d::context * pcontext) override;
   bool mouse_button_event(const point_type<int> & point, enumeration<user::enum_mouse> ebutton, bool bDown, bool bDoubleClick,
                           const enumeration<user::enum_key> & emodifiers) override;

protected:
   // The arrow's strip: the arrow and a gap before it.
   float reserved_right() const override;

private:
   pointer<Popup> m_ppopup;
};

} // namespace zelui
