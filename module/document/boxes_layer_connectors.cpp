#include "document/boxes_layer.h"
#include "document/connector.h"
#include "zelui/in_place_edit_array.h"

namespace Tarvossa_BrisvanePro
{

namespace
{

void write_connectors(std::vector<string_base> & names, const zelui::in_place_edit_array * parray)
{
   names.clear();
   if (parray == nullptr)
   {
      return;
   }
   for (long long i = 0; i < parray->count(); ++i)
   {
      const auto * pconnector = dynamic_cast<const connector *>(parray->element_at(i));
      names.push_back(pconnector != nullptr ? pconnector->_get_raw_name() : string_base());
   }
}

} // namespace

void boxes_layer::on_initialize_particle()
{
   app_layer::on_initialize_particle();
   m_pconnectorsP = make_pointer<zelui::in_place_edit_array>();
   m_pconnectorsR = make_pointer<zelui::in_place_edit_array>();
   m_pconnectorsS = make_pointer<zelui::in_place_edit_array>();
}

pointer<connector> boxes_layer::get_connector(snake * psnake, long long index, bool bStart, bool bEnd)
{
   if (index <= 0)
   {
      return nullptr;
   }
   if (psnake == &m_snakeData)
   {
      if (bEnd)
      {
         return get_connector(psnake, m_pconnectorsR.get(), RConnectorNames, index, true);
      }
      if (bStart)
      {
         return get_connector(psnake, m_pconnectorsP.get(), PConnectorNames, index, false);
      }
   }
   else if (psnake == &m_snakePower && bStart)
   {
      return get_connector(psnake, m_pconnectorsS.get(), SConnectorNames, index, false);
   }
   return nullptr;
}

pointer<connector> boxes_layer::get_connector(snake * psnake, zelui::in_place_edit_array * parray, const std::vector<string_base> & names,
                                              long long index, bool bEnd)
{
   const long long slot = index - calculate_base_path_index(psnake == &m_snakeData);
   if (parray == nullptr || slot < 0)
   {
      return nullptr;
   }
   if (auto * pfound = dynamic_cast<connector *>(parray->element_at(slot)))
   {
      pfound->m_iIndex = index;
      return pfound;
   }
   auto pconnector = make_pointer<connector>(psnake);
   pconnector->m_iIndex = index;
   pconnector->m_bEnd = bEnd;
   parray->set_at(slot, pconnector.get());
   if (slot < static_cast<long long>(names.size()))
   {
      pconnector->_set_raw_name(names[static_cast<std::size_t>(slot)]);
   }
   return pconnector;
}

void boxes_layer::write_p_connectors()
{
   write_connectors(PConnectorNames, m_pconnectorsP.get());
}

void boxes_layer::write_r_connectors()
{
   write_connectors(RConnectorNames, m_pconnectorsR.get());
}

void boxes_layer::write_s_connectors()
{
   write_connectors(SConnectorNames, m_pconnectorsS.get());
}

void boxes_layer::read_p_connectors()
{
   read_connectors(&m_snakeData, PConnectorNames, false);
}

void boxes_layer::read_r_connectors()
{
   read_connectors(&m_snakeData, RConnectorNames, true);
}

void boxes_layer::read_s_connectors()
{
   read_connectors(&m_snakePower, SConnectorNames, false);
}

// The list is the truth: a connector of a slot beyond it keeps no name from an earlier list.
void boxes_layer::read_connectors(snake * psnake, const std::vector<string_base> & names, bool bEnd)
{
   const long long base = calculate_base_path_index(psnake == &m_snakeData);
   for (std::size_t k = 0; k < names.size(); ++k)
   {
      if (pointer<connector> pconnector = get_connector(psnake, base + static_cast<long long>(k), !bEnd, bEnd))
      {
         pconnector->_set_raw_name(names[k]);
      }
   }
   const zelui::in_place_edit_array * parray =
      psnake == &m_snakePower ? m_pconnectorsS.get() : (bEnd ? m_pconnectorsR.get() : m_pconnectorsP.get());
   for (long long slot = static_cast<long long>(names.size()); parray != nullptr && slot < parray->count(); ++slot)
   {
      if (auto * pconnector = dynamic_cast<connector *>(parray->element_at(slot)))
      {
         pconnector->_set_raw_name({});
      }
   }
}

pointer<connector> boxes_layer::hit_test_connector_label(const point_type<float> & point, zelui::in_place_edit_mapper * pmapper) const
{
   std::vector<const zelui::in_place_edit_array *> arrays;
   if (DrawSnake != 0)
   {
      arrays.push_back(m_pconnectorsR.get());
      arrays.push_back(m_pconnectorsP.get());
   }
   if (DrawPowerSnake != 0)
   {
      arrays.push_back(m_pconnectorsS.get());
   }
   for (const auto * parray : arrays)
   {
      if (parray == nullptr)
      {
         continue;
      }
      if (pointer<zelui::in_place_edit> pedit = parray->hit_test_label(point, pmapper))
      {
         return dynamic_cast<connector *>(pedit.get());
      }
   }
   return nullptr;
}

bool boxes_layer::on_end_edit_all_connectors()
{
   auto end_all = [](const pointer<zelui::in_place_edit_array> & parray) { return parray && parray->on_end_edit_all(); };
   const bool bEnded = end_all(m_pconnectorsR) || end_all(m_pconnectorsP) || end_all(m_pconnectorsS);
   if (bEnded)
   {
      set_changed();
   }
   return bEnded;
}

} // namespace Tarvossa_BrisvanePro
