#pragma once

#include <vector>

#include "core/forward.h"
#include "orvo/enumeration.h"
#include "orvo/keyboard.h"

namespace zelui
{
class Widget;
}

namespace Tarvossa_BrisvanePro
{

// The focus order of the tool-window fields and the walk of the focus-skip key along it. The
// fields are registered by the tool windows and the top tool bar; which of them may take the focus,
// and taking it, is the screen's.
class field_focus_order
{
public:
   // Appends the field without looking for it first: a field registered twice is visited twice.
   void add(zelui::Widget * pwidget) { m_widgets.push_back(pwidget); }
   const std::vector<zelui::Widget *> & widgets() const noexcept { return m_widgets; }

   // Moves the focus one field on (backwards with a Shift key held), once around at most, the
   // focused field last; a field takes it when the screen says it may. With no field focused, the
   // first (last) field gets the focus and the result is false.
   bool skip(const enumeration<user::enum_key> & emodifiers, screen_link * pscreen);

private:
   std::vector<zelui::Widget *> m_widgets;
};

} // namespace Tarvossa_BrisvanePro
