#pragma once

#include "orvo/pointer.h"
#include "screen/forward.h"
#include "zelui/Screen.h"

namespace Tarvossa_BrisvanePro
{

// The root screen of the live output window: one canvas, on the main window's controller, that
// fills the window and draws the composed raster 1:1 from its top-left corner.
class LiveOutputScreen : public zelui::Screen
{
public:
   LiveOutputScreen(user::interaction * pinteraction, Global * pglobal);
   ~LiveOutputScreen() override;

   // The canvas follows the window's size, from (0, 0).
   bool resize_event(const size_type<int> & size) override;

   MainImpact * canvas() const noexcept { return m_pmainimpact.get(); }

private:
   pointer<MainImpact> m_pmainimpact;
};

} // namespace Tarvossa_BrisvanePro
