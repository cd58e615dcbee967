#include "core/Global.h"

namespace Tarvossa_BrisvanePro
{

void Global::set_changed() noexcept
{
   m_bChanged.exchange(true);
}

bool Global::take_changed() noexcept
{
   return m_bChanged.exchange(false);
}

} // namespace Tarvossa_BrisvanePro
