#include "screen/LiveOutputScreen.h"

#include "screen/MainImpact.h"

namespace Tarvossa_BrisvanePro
{

LiveOutputScreen::LiveOutputScreen(user::interaction * pinteraction, Global * pglobal) :
   zelui::Screen(pinteraction, {0, 0}, "Brisvane LED Pro Live Output"),
   m_pmainimpact(make_pointer<MainImpact>(pglobal, this))
{
   m_pmainimpact->set_live_output(true);
   set_visible(true);
}

LiveOutputScreen::~LiveOutputScreen() = default;

bool LiveOutputScreen::resize_event(const size_type<int> & size)
{
   const bool bResult = zelui::Screen::resize_event(size);
   m_pmainimpact->set_position({0, 0});
   m_pmainimpact->set_size(size);
   return bResult;
}

} // namespace Tarvossa_BrisvanePro
