#include "document/snake.h"

#include <algorithm>
#include <cstdint>
#include <stdexcept>

#include "document/boxes_layer.h"
#include "document/snake_description.h"
#include "orvo/string.h"

namespace Tarvossa_BrisvanePro
{

namespace
{

// What one box of a path takes while the path is built and drawn: the line it is collected in,
// the path itself and the copy that the last drawing numbers and keeps.
constexpr std::int64_t g_iBytesPerPathBox = 3 * static_cast<std::int64_t>(sizeof(datagram::box));

double as_gigabytes(std::int64_t iBytes)
{
   return static_cast<double>(iBytes) / (1 << 30);
}

} // namespace

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
      m_oinputsBuilt.reset();
      // Not kept as the path's error: the path is tried again when there is room.
      check_room_to_build();
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

long long snake::boxes_to_build() const
{
   if (m_pdescription->m_iCustomPath == 0)
   {
      return m_pdisplaybox->box_count();
   }
   long long llBoxes = 0;
   for (const std::vector<int> & path : m_pdescription->custom_paths)
   {
      llBoxes += static_cast<long long>(path.size());
   }
   return llBoxes;
}

// A path is kept box by box: one of a grid of hundreds of millions of boxes would hold the
// program up for minutes and then fail for want of memory. Each of a layer's two paths may take
// a quarter of the memory the document's pictures are allowed.
void snake::check_room_to_build() const
{
   const picture_budget * pbudget = m_playerOwner->budget();
   if (pbudget == nullptr)
   {
      return;
   }
   const long long llBoxes = boxes_to_build();
   const std::int64_t iAllowed = pbudget->limit() / 4;
   if (llBoxes > iAllowed / g_iBytesPerPathBox)
   {
      throw std::runtime_error(format("The %s path of the layer \"%s\" cannot be drawn: its %lld boxes would take %.1f GB, more than "
                                      "the %.1f GB a path may take on this computer.",
                                      m_ekind == e_snake_data ? "data" : "power", m_playerOwner->get_name().c_str(), llBoxes,
                                      as_gigabytes(llBoxes * g_iBytesPerPathBox), as_gigabytes(iAllowed)));
   }
}

// A path already built tells its runs; any other is counted without building it where the
// grid allows, so that a path that is not drawn costs no record per box.
long long snake::count_current_runs() const
{
   try
   {
      if (m_oinputsBuilt != current_inputs())
      {
         check_room_to_build();
         if (const std::optional<long long> ollRuns = m_pdescription->count_runs(this))
         {
            return *ollRuns;
         }
      }
      current_boxes();
      return m_iRunsBuilt;
   }
   catch (const std::runtime_error &)
   {
      return 0;
   }
}

} // namespace Tarvossa_BrisvanePro
