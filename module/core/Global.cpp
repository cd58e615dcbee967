#include "core/Global.h"

#include "orvo/file_system.h"

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

file::path Global::getFolderToSaveData() const
{
   return dir::application_data("Brisvane");
}

} // namespace Tarvossa_BrisvanePro
