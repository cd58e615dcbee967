#pragma once

#include <vector>

#include "document/datagram.h"

namespace Tarvossa_BrisvanePro
{

class boxes_layer;
class display_box;
class snake_description;

// The kind of a path of a screen layer.
enum enum_snake_kind
{
   e_snake_data = 0,
   e_snake_power = 1,
};

// One path of a screen layer: its settings, the grid it runs over and the boxes of its last
// computation in path order. The references are fixed when the layer is made.
class snake
{
public:
   snake(enum_snake_kind ekind, boxes_layer * playerOwner, display_box * pdisplaybox, snake_description * pdescription) :
      m_ekind(ekind), m_playerOwner(playerOwner), m_pdisplaybox(pdisplaybox), m_pdescription(pdescription) {}

   snake(const snake &) = delete;
   snake & operator=(const snake &) = delete;

   // Half size of the arrows, in pixels.
   int m_iArrowHalfSize = 3;
   enum_snake_kind m_ekind;
   std::vector<datagram::box> m_boxes;
   boxes_layer * m_playerOwner;
   display_box * m_pdisplaybox;
   snake_description * m_pdescription;
   // Where a box's point lies, as a fraction of the box size from its centre.
   float m_fLineShiftX = 0.f;
   float m_fLineShiftY = 0.f;
};

} // namespace Tarvossa_BrisvanePro
