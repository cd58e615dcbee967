#pragma once

#include "orvo/color.h"
#include "orvo/string.h"
#include "panels/ClickableWidget.h"

namespace Tarvossa_BrisvanePro
{

// A `ClickableWidget` that paints its rectangle in one of three colours, by what its parent (an
// item container) says of it: selected, else hovered, else normal. It tells its parent when the
// mouse enters it, and carries what a menu item needs: a menu name, an access key (the shortcut
// text) and an opaque user-data pointer.
class WidgetWithBackground : public ClickableWidget
{
public:
   WidgetWithBackground(zelui::Widget * pparent, const color::color & colorNormal, const color::color & colorHover,
                        const color::color & colorSelected, Global * pglobal, void * puserdata);
   ~WidgetWithBackground() override;

   void changeColors(color::color colorNormal, color::color colorHover, color::color colorSelected);
   void * getUserdata() const noexcept { return m_puserdata; }
   const string_base & getMenuName() const noexcept { return m_strMenuName; }
   void set_menu_name(scoped_string_base strName) { m_strMenuName = strName; }
   const string_base & getAccessKey() const noexcept { return m_strAccessKey; }
   void setAccessKey(scoped_string_base strKey) { m_strAccessKey = strKey; }

   // Runs the click callback as a click would; false when there is none.
   bool exec() const { return run_click(); }
   void killFocus() { focus_event(false); }

   // The colour `draw` paints with now.
   color::color current_color();

   bool mouse_enter_event(const point_type<int> & point, bool bEnter, const enumeration<user::enum_key> & emodifiers) override;
   bool focus_event(bool bFocused) override;
   void draw(zel2d::context * pcontext) override;

private:
   color::color m_colorNormal;
   color::color m_colorHover;
   color::color m_colorSelected;
   void * m_puserdata;
   string_base m_strMenuName;
   string_base m_strAccessKey;
};

} // namespace Tarvossa_BrisvanePro
