#pragma once

#include <optional>
#include <string>
#include <vector>

#include "document/datagram.h"
#include "document/display_box.h"
#include "document/forward.h"

namespace Tarvossa_BrisvanePro
{

// The kind of a path of a screen layer.
enum enum_snake_kind
{
   e_snake_data = 0,
   e_snake_power = 1,
};

// One path of a screen layer: its settings, the grid it runs over and the boxes of its last
// drawing in path order. The references are fixed when the layer is made.
class snake
{
public:
   snake(enum_snake_kind ekind, boxes_layer * playerOwner, display_box * pdisplaybox, snake_description * pdescription);
   ~snake();

   snake(const snake &) = delete;
   snake & operator=(const snake &) = delete;

   // The path of the layer as it is now, with its runs marked but not numbered. It is built again
   // only when a setting it depends on has changed since the last call. Throws
   // std::runtime_error when the path cannot be built (a run cannot hold a line).
   const std::vector<datagram::box> & current_boxes() const;
   // The number of runs of `current_boxes`; 0 when the path cannot be built.
   long long count_current_runs() const;

   // Half size of the arrows, in pixels.
   int m_iArrowHalfSize = 3;
   enum_snake_kind m_ekind;
   // The boxes of the last drawing, numbered.
   std::vector<datagram::box> m_boxes;
   boxes_layer * m_playerOwner;
   display_box * m_pdisplaybox;
   snake_description * m_pdescription;
   // Where a box's point lies, as a fraction of the box size from its centre.
   float m_fLineShiftX = 0.f;
   float m_fLineShiftY = 0.f;

private:
   // The boxes the path would be built from: the grid's, or those of the custom paths.
   long long boxes_to_build() const;
   // Throws std::runtime_error when the path's boxes would take more memory than a path may.
   void check_room_to_build() const;

   // Every setting the path is built from.
   struct path_inputs
   {
      display_box grid;
      int iLimit = 0;
      int iMode = 0;
      int iCustomPath = 0;
      std::vector<std::vector<int>> custom_paths;
      int iPowerWatts = 0;
      int iPowerVolts = 0;
      int iWireAmps = 0;
      bool operator==(const path_inputs &) const = default;
   };

   path_inputs current_inputs() const;

   mutable std::optional<path_inputs> m_oinputsBuilt;
   mutable std::vector<datagram::box> m_boxesBuilt;
   // The runs of `m_boxesBuilt`, counted when it was built.
   mutable long long m_iRunsBuilt = 0;
   // Why the path could not be built from `m_oinputsBuilt`; none when it was.
   mutable std::optional<std::string> m_ostrBuildError;
};

} // namespace Tarvossa_BrisvanePro
