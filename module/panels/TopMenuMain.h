#pragma once

#include <vector>

#include "orvo/string_array.h"
#include "panels/HoverContainer.h"
#include "panels/forward.h"

namespace Tarvossa_BrisvanePro
{

// The row of section captions of the top menu. A click on a caption opens its drop-down; while
// a drop-down is open, the caption the mouse enters opens its own instead.
class TopMenuMain : public HoverContainer
{
public:
   TopMenuMain(Global * pglobal, TopMenu * powner, const string_array_base & straCaptions);
   ~TopMenuMain() override;

   const std::vector<WidgetWithBackground *> & items() const noexcept { return m_items; }

   void on_item_hover(user::item * pitem) override;

private:
   string_array_base m_straCaptions;
   std::vector<WidgetWithBackground *> m_items;
   TopMenu * m_powner;
   Global * m_pglobal;
};

} // namespace Tarvossa_BrisvanePro
