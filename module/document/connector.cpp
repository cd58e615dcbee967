#include "document/connector.h"

#include <algorithm>
#include <string>

#include "document/boxes_layer.h"
#include "document/snake.h"
#include "orvo/payload.h"
#include "zelui/in_place_edit_mapper.h"

namespace Tarvossa_BrisvanePro
{

connector::connector(snake * psnake) : m_psnake(psnake)
{
}

connector::~connector() = default;

boxes_layer * connector::layer() const noexcept
{
   return m_psnake->m_playerOwner;
}

bool connector::is_power() const noexcept
{
   return m_psnake->m_ekind == e_snake_power;
}

string_base connector::get_default_name() const
{
   // Every run's label asks for its name at every drawing: plain concatenation, not format.
   if (!is_power())
   {
      return (m_bEnd ? "R" : "P") + std::to_string(m_iIndex);
   }
   if (m_bEnd)
   {
      return "s" + std::to_string(m_iIndex);
   }
   const long long llGroup = (m_iIndex - 1) / 6;
   return "S" + std::to_string(llGroup + 1) + "-" + std::to_string(m_iIndex - 6 * llGroup);
}

string_base connector::get_name_for_label() const
{
   return m_strRawName.empty() ? get_default_name() : m_strRawName;
}

string_base connector::get_name_for_editing()
{
   return get_name_for_label();
}

void connector::set_need_update()
{
   layer()->set_changed();
}

void connector::set_edit_payload(const payload & payload)
{
   m_strRawName = payload.as_string();
   boxes_layer & owner = *layer();
   if (is_power())
   {
      if (!m_bEnd)
      {
         owner.write_s_connectors();
      }
   }
   else if (m_bEnd)
   {
      owner.write_r_connectors();
   }
   else
   {
      owner.write_p_connectors();
   }
}

rectangle_type<float> connector::get_edit_rectangle(zelui::in_place_edit_mapper * pmapper)
{
   rectangle_type<float> rectangle = label_rectangle();
   rectangle.right = rectangle.left + std::min(3.f * rectangle.width(), 2.f * static_cast<float>(layer()->Width));
   return pmapper != nullptr ? pmapper->map_inner_to_outer(rectangle, this) : rectangle;
}

} // namespace Tarvossa_BrisvanePro
