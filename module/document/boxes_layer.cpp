#include "document/boxes_layer.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "document/connector.h"
#include "document/parameter_text.h"
#include "document/project.h"
#include "orvo/trace.h"
#include "zelui/in_place_edit_array.h"

namespace Tarvossa_BrisvanePro
{

boxes_layer::boxes_layer() = default;

boxes_layer::~boxes_layer() = default;

void boxes_layer::default_colors()
{
   BoxColors = {color::color(0x3F, 0x7F, 0x7F, 0xFF)};
   BoxTintColors = {tint_of(BoxColors.front())};
   set_changed();
}

void boxes_layer::apply_defaults()
{
   CircleWidth = 2;
   GridWidth = 2;
   DrawPower = 0;
   DrawSnake = 0;
   DrawPowerSnake = 0;
   DrawGrid = 1;
   DrawCircle = 1;
   DrawBoxesNames = 0;
   CornersMode = 1 << e_corner_top_left;
   DrawScreenSize = 1;
   DrawLayerName = 1;
   DrawInfoLine = 1;
   WeightPerPanel = 20.f;
   WeightPerPanelUnit = "lb";
   ShowScreenWeight = 0;
   ShowScreenDiagonal = 0;
}

string_base boxes_layer::get_data_custom_path_string() const
{
   return m_descriptionData.get_custom_path_string();
}

void boxes_layer::set_data_custom_path_string(scoped_string_base str)
{
   if (!m_descriptionData.set_custom_path_string(str))
   {
      note_value_not_read("CustomPath", str);
   }
}

string_base boxes_layer::get_power_custom_path_string() const
{
   return m_descriptionPower.get_custom_path_string();
}

void boxes_layer::set_power_custom_path_string(scoped_string_base str)
{
   if (!m_descriptionPower.set_custom_path_string(str))
   {
      note_value_not_read("PowerCustomPath", str);
   }
}

void boxes_layer::on_read_app_layer()
{
   bound_full_size();
   read_p_connectors();
   read_r_connectors();
   read_s_connectors();
}

bool boxes_layer::is_within_pixel_limit(const display_box & grid) noexcept
{
   return static_cast<long long>(grid.get_full_width()) * grid.get_full_height() <= max_pixel_count;
}

void boxes_layer::bound_full_size()
{
   if (is_within_pixel_limit())
   {
      return;
   }
   report_parse_error(parameter_text::reason_out_of_range, "Columns x Rows",
                      std::to_string(Columns) + " x " + std::to_string(Rows) + " of " + std::to_string(Width) + " x " +
                         std::to_string(Height));
   Columns = 0;
   Rows = 0;
}

int boxes_layer::get_width() const
{
   return get_full_width();
}

int boxes_layer::get_height() const
{
   return get_full_height();
}

int boxes_layer::get_full_width() const
{
   return display_box::get_full_width();
}

int boxes_layer::get_full_height() const
{
   return display_box::get_full_height();
}

int boxes_layer::get_layer_type() const
{
   return e_layer_boxes;
}

std::int64_t boxes_layer::picture_bytes() const
{
   return app_layer::picture_bytes() + (m_pimageOverlay ? m_pimageOverlay->byte_count() : 0);
}

void boxes_layer::drop_redraw_cache() noexcept
{
   m_ooverlaylook.reset();
   if (m_pimageOverlay)
   {
      m_pimageOverlay.reset();
      count_pictures();
   }
}

pointer<app_layer> boxes_layer::clone() const
{
   pointer<boxes_layer> player = make_pointer<boxes_layer>();
   player->initialize(context());
   player->set_controller(get_controller());
   player->set_document(get_document());
   static_cast<BoxesLayerDescription &>(*player) = *this;
   for (const auto & strName : player->RConnectorNames)
   {
      debug_trace("Target1 RConnectorName %s", strName.c_str());
   }
   for (const auto & strName : RConnectorNames)
   {
      debug_trace("Source1 RConnectorName %s", strName.c_str());
   }
   player->read_p_connectors();
   player->read_r_connectors();
   player->read_s_connectors();
   copy_placement_to(*player);
   player->m_setKeysKept = m_setKeysKept;
   player->m_iLastPixelArea = m_iLastPixelArea;
   return player;
}

void boxes_layer::set_box_color_with_id(int iId, scoped_string_base strHex)
{
   const auto ocolor = parameter_text::read_hex_color(strHex);
   if (iId < 0 || !ocolor)
   {
      return;
   }
   const auto uCount = static_cast<std::size_t>(iId) + 1;
   if (BoxColors.size() < uCount)
   {
      BoxColors.resize(uCount, white);
   }
   if (BoxTintColors.size() < uCount)
   {
      BoxTintColors.resize(uCount, white);
   }
   BoxColors[static_cast<std::size_t>(iId)] = *ocolor;
   BoxTintColors[static_cast<std::size_t>(iId)] = tint_of(*ocolor);
}

void boxes_layer::set_half_pair(std::size_t uBit, std::size_t uPartner, bool bOn)
{
   if (uPartner >= HalfColumns.size())
   {
      throw std::out_of_range("bitset reset argument out of range");
   }
   if (uBit >= HalfColumns.size())
   {
      throw std::out_of_range("bitset test argument out of range");
   }
   HalfColumns.reset(uPartner);
   HalfColumns.set(uBit, bOn);
   set_changed();
}

void boxes_layer::switch_corner_label(enum_corner ecorner, bool bOn)
{
   CornersMode = bOn ? (CornersMode | (1 << ecorner)) : (CornersMode & ~(1 << ecorner));
   set_changed();
}

void boxes_layer::toggle_corner_label(enum_corner ecorner)
{
   CornersMode ^= 1 << ecorner;
   set_changed();
}

bool boxes_layer::is_corner_label_on(enum_corner ecorner) const noexcept
{
   return (CornersMode & (1 << ecorner)) != 0;
}

long long boxes_layer::calculate_path_count(bool bData) const
{
   return (bData ? m_snakeData : m_snakePower).count_current_runs();
}

long long boxes_layer::calculate_base_path_index(bool bData) const
{
   return get_document() != nullptr ? get_document()->calculate_base_path_index(this, bData) : 1;
}

// Only excluded keys of the present grid take boxes away; stale keys would make the count
// negative.
float boxes_layer::calculate_power() const
{
   if (PowerPhases <= 0 || PowerVolts <= 0)
   {
      return 0.f;
   }
   const long long boxes = box_count() - (SkipBlankBoxes != 0 ? count_excluded_inside_grid() : 0);
   return static_cast<float>(PowerWatts) * static_cast<float>(boxes) / (std::sqrt(static_cast<float>(PowerPhases)) * static_cast<float>(PowerVolts));
}

// Only the boxes the rectangle meets are walked: the rectangle of a click finds its box at once
// however large the grid. The keys themselves are as many as the boxes taken.
std::vector<int> boxes_layer::hit_test(const rectangle_type<int> & rectangle) const
{
   std::vector<int> keys;
   m_descriptionData.for_each_box_met(
      [&](float x1, float y1, float x2, float y2, std::uint16_t uColumn, std::uint16_t uRow, int) {
         const bool bApart = rectangle.right <= static_cast<int>(x1) || rectangle.left >= static_cast<int>(x2) ||
                             rectangle.bottom <= static_cast<int>(y1) || rectangle.top >= static_cast<int>(y2);
         if (!bApart)
         {
            keys.push_back(box_key(uColumn, uRow));
         }
         return false;
      },
      &m_snakeData, edges_overlapping_pixels(rectangle.left, rectangle.right), edges_overlapping_pixels(rectangle.top, rectangle.bottom));
   return keys;
}

std::optional<datagram::box> boxes_layer::find_box_at(float x, float y) const
{
   std::optional<datagram::box> obox;
   m_descriptionData.for_each_box_met(
      [&](float x1, float y1, float x2, float y2, std::uint16_t uColumn, std::uint16_t uRow, int) {
         if (x1 < x && x < x2 && y1 < y && y < y2)
         {
            obox = display_box::box_from_key(box_key(uColumn, uRow));
            return true;
         }
         return false;
      },
      &m_snakeData, edges_around(x), edges_around(y));
   return obox;
}

bool boxes_layer::trigger_for_exclude_boxes(float x, float y)
{
   const auto obox = find_box_at(x, y);
   if (!obox)
   {
      return false;
   }
   const int iKey = obox->key();
   if (!ExcludeBoxes.erase(iKey))
   {
      ExcludeBoxes.add(iKey);
   }
   set_changed();
   return !ExcludeBoxes.contains(iKey);
}

// Stale keys of boxes outside the grid do not count: only a grid whose every box is excluded
// is brought back whole.
void boxes_layer::switch_all_exclude_boxes()
{
   const bool bExcludeAll = count_excluded_inside_grid() < box_count();
   ExcludeBoxes.clear();
   if (bExcludeAll)
   {
      for (int iColumn = 0; iColumn < Columns; ++iColumn)
      {
         for (int iRow = 0; iRow < Rows; ++iRow)
         {
            ExcludeBoxes.add(box_key(static_cast<std::uint32_t>(iColumn), static_cast<std::uint32_t>(iRow)));
         }
      }
   }
   set_changed();
}

void boxes_layer::trigger_for_override_path(snake * psnake, float x, float y, bool bRemove)
{
   const auto obox = psnake == nullptr ? std::nullopt : find_box_at(x, y);
   if (!obox)
   {
      return;
   }
   const int iKey = obox->key();
   auto & paths = psnake->m_pdescription->custom_paths;
   for (auto itPath = paths.begin(); itPath != paths.end(); ++itPath)
   {
      const auto itKey = std::find(itPath->begin(), itPath->end(), iKey);
      if (itKey == itPath->end())
      {
         continue;
      }
      if (!bRemove)
      {
         return;
      }
      itPath->erase(itKey, itPath->end());
      if (itPath->empty())
      {
         paths.erase(itPath);
      }
      set_changed();
      return;
   }
   if (bRemove)
   {
      return;
   }
   if (paths.empty())
   {
      paths.emplace_back();
   }
   paths.back().push_back(iKey);
   set_changed();
}

} // namespace Tarvossa_BrisvanePro
