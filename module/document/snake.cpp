#include "document/snake.h"

#include <algorithm>
#include <stdexcept>

#include "document/boxes_layer.h"
#include "document/snake_description.h"

namespace Tarvossa_BrisvanePro
{

snake::snake(enum_snake_kind ekind, boxes_layer * playerOwner, display_box * pdisplaybox, snake_description * pdescription) :
   m_ekind(ekind), m_playerOwner(playerOwner), m_pdisplaybox(pdisplaybox), m_pdescription(pdescription)
{
}

snake::~snake() = default;

snake::path_inputs snake::current_inputs() const
{
   path_inputs inputs;
   inputs.grid = *m_pdisplaybox;
   inputs.iLimit = m_pdescription->m_iLimit;
   inputs.iMode = m_pdescription->m_iMode;
   inputs.iCustomPath = m_pdescription->m_iCustomPath;
   inputs.custom_paths = m_pdescription->custom_paths;
   inputs.iPowerWatts = m_playerOwner->PowerWatts;
   inputs.iPowerVolts = m_playerOwner->PowerVolts;
   inputs.iWireAmps = m_playerOwner->WireAmps;
   return inputs;
}

const std::vector<datagram::box> & snake::current_boxes() const
{
   path_inputs inputs = current_inputs();
   if (m_oinputsBuilt != inputs)
   {
      m_boxesBuilt.clear();
      m_iRunsBuilt = 0;
      m_ostrBuildError.reset();
      try
      {
         m_boxesBuilt = m_pdescription->build_boxes(this);
         m_iRunsBuilt = std::count_if(m_boxesBuilt.begin(), m_boxesBuilt.end(), [](const datagram::box & box) { return box.is_start(); });
      }
      catch (const std::runtime_error & error)
      {
         m_ostrBuildError = error.what();
      }
      m_oinputsBuilt = std::move(inputs);
   }
   if (m_ostrBuildError)
   {
      throw std::runtime_error(*m_ostrBuildError);
   }
   return m_boxesBuilt;
}

long long snake::count_current_runs() const
{
   try
   {
      current_boxes();
      return m_iRunsBuilt;
   }
   catch (const std::runtime_error &)
   {
      return 0;
   }
}

} // namespace Tarvossa_BrisvanePro
