#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "core/Global.h"
#include "document/boxes_layer.h"
#include "document/connector.h"
#include "document/image_layer.h"
#include "document/project.h"
#include "orvo/trace.h"
#include "screen/MainImpact.h"

namespace Tarvossa_BrisvanePro
{

namespace
{

bool holds(const enumeration<user::enum_key> & emodifiers, std::uint64_t uGroup)
{
   return (emodifiers.value() & uGroup) != 0;
}

bool is_boxes_layer(const pointer<app_layer> & player)
{
   return player && player->get_layer_type() == e_layer_boxes;
}

bool is_image_layer(const pointer<app_layer> & player)
{
   return player && player->get_layer_type() == e_layer_image;
}

} // namespace

bool MainImpact::mouse_button_event(const point_type<int> & point, enumeration<user::enum_mouse> ebutton, bool bDown,
                                    bool bDoubleClick, const enumeration<user::enum_key> & emodifiers)
{
   if (zelui::Widget::mouse_button_event(point, ebutton, bDown, bDoubleClick, emodifiers))
   {
      return true;
   }
   pointer<project> pproject = document();
   // A press on a connector's label opens its name for editing; elsewhere it ends the edit.
   if (pproject)
   {
      if (pointer<boxes_layer> pboxes = pproject->current_boxes_layer())
      {
         pointer<connector> pconnector =
            pboxes->hit_test_connector_label({static_cast<float>(point.x), static_cast<float>(point.y)}, this);
         if (on_mouse_button_in_place_edit(pconnector.get(), bDown, bDoubleClick))
         {
            return true;
         }
      }
   }
   if (m_pglobal->m_bAutoSelect && bDown && pproject)
   {
      const int iLayer = hit_test_layer({static_cast<float>(point.x), static_cast<float>(point.y)});
      if (iLayer >= 0 && iLayer != pproject->get_current_layer_id())
      {
         select_layer(iLayer);
         return true;
      }
   }
   pointer<app_layer> player = pproject ? pproject->current_layer() : pointer<app_layer>();
   if (bDown)
   {
      on_press(point, ebutton, emodifiers, player);
   }
   else
   {
      on_release(player);
   }
   return true;
}

void MainImpact::on_press(const point_type<int> & point, enumeration<user::enum_mouse> ebutton,
                          const enumeration<user::enum_key> & emodifiers, const pointer<app_layer> & player)
{
   m_pointRasterLabelDragStart = invalidPos();
   m_pointPanDragStart = invalidPos();
   if (!player)
   {
      return;
   }
   const bool bSelectGroup = holds(emodifiers, select_group);
   const bool bMoveGroup = holds(emodifiers, move_group);
   if (bSelectGroup || bMoveGroup)
   {
      const point_type<float> pointLayer = screenToLayer(point, player);
      if (bSelectGroup && is_boxes_layer(player))
      {
         auto pboxes = player.cast<boxes_layer>();
         // Toggling the box under the press decides the direction of the whole selection.
         m_bSelectionExcludes = !pboxes->trigger_for_exclude_boxes(pointLayer.x, pointLayer.y);
         m_pointSelectionStart = {saturated_int(pointLayer.x), saturated_int(pointLayer.y)};
         m_pointSelectionEnd = m_pointSelectionStart;
         m_bSelectionActive = true;
         refresh_power();
         redraw_window(true);
      }
      else if ((bSelectGroup && is_image_layer(player)) || (bMoveGroup && is_boxes_layer(player)))
      {
         start_handle_or_drag(pointLayer, player);
      }
      return;
   }
   if (hit_test_raster_label(point.x, point.y))
   {
      pointer<project> pproject = document();
      m_pointRasterLabelDragStart = point;
      m_pointRasterLabelAtPress = {pproject->m_iRasterLabelX, pproject->m_iRasterLabelY};
   }
   else
   {
      m_pointPanDragStart = point;
      m_pointPanAtPress = m_pointPan;
   }
   if (snake * psnake = custom_path_snake_to_edit(player))
   {
      const point_type<float> pointLayer = screenToLayer(point, player);
      player.cast<boxes_layer>()->trigger_for_override_path(psnake, pointLayer.x, pointLayer.y,
                                                            ebutton == user::e_mouse_right_button);
   }
}

snake * MainImpact::custom_path_snake_to_edit(const pointer<app_layer> & player) const
{
   if (!is_boxes_layer(player))
   {
      return nullptr;
   }
   auto pboxes = player.cast<boxes_layer>();
   if (pboxes->m_descriptionData.m_iCustomPath != 0 && pboxes->custom_path_target != 0)
   {
      return &pboxes->m_snakeData;
   }
   if (pboxes->m_descriptionPower.m_iCustomPath != 0 && pboxes->custom_path_target == 0)
   {
      return &pboxes->m_snakePower;
   }
   return nullptr;
}

void MainImpact::start_handle_or_drag(const point_type<float> & pointLayer, const pointer<app_layer> & player)
{
   const float w = static_cast<float>(player->get_full_width());
   const float h = static_cast<float>(player->get_full_height());
   // Eight canvas pixels at any zoom.
   const float t = 8.0f / m_fZoom;
   if (is_image_layer(player))
   {
      if (std::fabs(pointLayer.x) < t && std::fabs(pointLayer.y - h / 2) < t)
      {
         m_iHandle = 2;
      }
      if (std::fabs(pointLayer.x - w / 2) < t && std::fabs(pointLayer.y) < t)
      {
         m_iHandle = 0;
      }
      if (std::fabs(pointLayer.x - w) < t && std::fabs(pointLayer.y - h / 2) < t)
      {
         m_iHandle = 3;
      }
      if (std::fabs(pointLayer.x - w / 2) < t && std::fabs(pointLayer.y - h) < t)
      {
         m_iHandle = 1;
      }
   }
   if (m_iHandle != -1)
   {
      m_pointHandleMotion = {0, 0};
   }
   else if (pointLayer.x > 0.f && pointLayer.x < w && pointLayer.y > 0.f && pointLayer.y < h)
   {
      m_pointDragMotion = {0, 0};
   }
}

void MainImpact::on_release(const pointer<app_layer> & player)
{
   if (m_bSelectionActive)
   {
      end_box_selection(player);
   }
   else if (isPosValid(m_pointRasterLabelDragStart))
   {
      m_pointRasterLabelDragStart = invalidPos();
      reload_panels();
      redraw_window(false);
   }
   else if (isPosValid(m_pointDragMotion))
   {
      end_layer_drag(player);
   }
   else if (m_iHandle != -1)
   {
      end_resize(player);
   }
   m_pointPanDragStart = invalidPos();
}

void MainImpact::end_box_selection(const pointer<app_layer> & player)
{
   if (is_boxes_layer(player))
   {
      auto pboxes = player.cast<boxes_layer>();
      const rectangle_type<int> rectangle{std::min(m_pointSelectionStart.x, m_pointSelectionEnd.x),
                                          std::min(m_pointSelectionStart.y, m_pointSelectionEnd.y),
                                          std::max(m_pointSelectionStart.x, m_pointSelectionEnd.x),
                                          std::max(m_pointSelectionStart.y, m_pointSelectionEnd.y)};
      pboxes->change(layer_change::look, [&]
      {
         for (int iKey : pboxes->hit_test(rectangle))
         {
            if (m_bSelectionExcludes)
            {
               pboxes->ExcludeBoxes.add(iKey);
            }
            else
            {
               pboxes->ExcludeBoxes.erase(iKey);
            }
         }
      });
      refresh_power();
   }
   m_bSelectionActive = false;
   redraw_window(true);
}

void MainImpact::end_layer_drag(const pointer<app_layer> & player)
{
   if (player)
   {
      int x = saturated_int(static_cast<float>(player->get_offset_x()) - static_cast<float>(m_pointDragMotion.x) / m_fZoom);
      int y = saturated_int(static_cast<float>(player->get_offset_y()) - static_cast<float>(m_pointDragMotion.y) / m_fZoom);
      snap(x, y);
      player->change(layer_change::place, [&]
      {
         player->set_offset_x(x);
         player->set_offset_y(y);
      });
      if (player->is_logo())
      {
         m_pglobal->save_logo_layer();
      }
      reload_panels();
   }
   m_pointDragMotion = invalidPos();
   m_pointHandleMotion = invalidPos();
}

void MainImpact::end_resize(const pointer<app_layer> & player)
{
   m_pointHandleMotion = invalidPos();
   const rectangle_type<int> & r = m_rectangleResize;
   const bool bMeasured = r.left != 0 || r.top != 0 || r.right != 0 || r.bottom != 0;
   if (bMeasured && is_image_layer(player))
   {
      auto pimage = player.cast<image_layer>();
      const auto unzoom = [this](int i) { return static_cast<int>(static_cast<float>(i) / m_fZoom); };
      pimage->set_offset_x(unzoom(r.left));
      pimage->set_offset_y(unzoom(r.top));
      if (pimage->getMaintainAspectRatio())
      {
         // The image layer derives the other side from its aspect ratio.
         if (m_iHandle == 0 || m_iHandle == 1)
         {
            pimage->set_height(unzoom(r.height()));
         }
         else
         {
            pimage->set_width(unzoom(r.width()));
         }
      }
      else
      {
         pimage->set_width(unzoom(r.width()));
         pimage->set_height(unzoom(r.height()));
      }
      if (pimage->is_logo())
      {
         m_pglobal->save_logo_layer();
      }
   }
   // Cleared so that a later release without a drawn frame in between applies nothing.
   m_rectangleResize = {};
   m_iHandle = -1;
   redraw_window(true);
}

void MainImpact::reset_handle_state()
{
   m_iHandle = -1;
   m_pointHandleMotion = invalidPos();
   m_pointDragMotion = invalidPos();
}

bool MainImpact::mouse_motion_event(const point_type<int> & point, const size_type<int> & motion, bool bButton,
                                    const enumeration<user::enum_key> & ekeystate)
{
   if (zelui::Widget::mouse_motion_event(point, motion, bButton, ekeystate))
   {
      return true;
   }
   m_pointHover = point;
   pointer<project> pproject = document();
   pointer<app_layer> player = pproject ? pproject->current_layer() : pointer<app_layer>();
   if (is_boxes_layer(player))
   {
      pointer<connector> pconnector =
         player.cast<boxes_layer>()->hit_test_connector_label({static_cast<float>(point.x), static_cast<float>(point.y)}, this);
      if (pconnector)
      {
         debug_trace("Over connector : %lld", pconnector->m_iIndex);
         set_cursor(user::e_cursor_hand);
         return true;
      }
   }
   set_cursor(user::e_cursor_arrow);
   const bool bHovered = hit_test_raster_label(m_pointHover.x, m_pointHover.y);
   if (bHovered != m_bRasterLabelHovered)
   {
      m_bRasterLabelHovered = bHovered;
      redraw_window(false);
   }
   if (m_bSelectionActive && player)
   {
      const point_type<float> pointLayer = screenToLayer(point, player);
      m_pointSelectionEnd = {saturated_int(pointLayer.x), saturated_int(pointLayer.y)};
      set_need_redraw();
      post_redraw();
   }
   if (pproject && m_pglobal->m_bAutoSelect && holds(ekeystate, move_group) && !isPosValid(m_pointDragMotion))
   {
      const int iLayer = hit_test_layer({static_cast<float>(point.x), static_cast<float>(point.y)});
      if (iLayer >= 0 && iLayer != pproject->get_current_layer_id())
      {
         select_layer(iLayer);
      }
   }
   if (is_boxes_layer(player))
   {
      auto pboxes = player.cast<boxes_layer>();
      if (pboxes->m_descriptionData.m_iCustomPath != 0 || pboxes->m_descriptionPower.m_iCustomPath != 0)
      {
         redraw_window(false);
      }
   }
   if (isPosValid(m_pointDragMotion))
   {
      m_pointDragMotion = m_pointDragMotion - point_type<int>{motion.width, motion.height};
      redraw_window(true);
   }
   else if (m_iHandle != -1)
   {
      if (isPosValid(m_pointHandleMotion))
      {
         m_pointHandleMotion = m_pointHandleMotion - point_type<int>{motion.width, motion.height};
         redraw_window(true);
      }
   }
   else if (isPosValid(m_pointRasterLabelDragStart))
   {
      if (pproject)
      {
         pproject->m_iRasterLabelX = saturated_int(
            static_cast<double>(m_pointRasterLabelAtPress.x) - std::trunc(static_cast<float>(m_pointRasterLabelDragStart.x - point.x) / m_fZoom));
         pproject->m_iRasterLabelY = saturated_int(
            static_cast<double>(m_pointRasterLabelAtPress.y) - std::trunc(static_cast<float>(m_pointRasterLabelDragStart.y - point.y) / m_fZoom));
         redraw_window(true);
      }
   }
   else if (isPosValid(m_pointPanDragStart))
   {
      m_pointPan = m_pointPanAtPress + (point - m_pointPanDragStart);
      redraw_window(true);
   }
   return true;
}

void MainImpact::on_space_key()
{
   pointer<project> pproject = document();
   pointer<boxes_layer> pboxes = pproject ? pproject->current_boxes_layer() : pointer<boxes_layer>();
   if (!pboxes)
   {
      return;
   }
   snake_description * pdescription = nullptr;
   if (pboxes->m_descriptionData.m_iCustomPath != 0 && pboxes->custom_path_target == 1)
   {
      pdescription = &pboxes->m_descriptionData;
   }
   else if (pboxes->m_descriptionPower.m_iCustomPath != 0 && pboxes->custom_path_target == 0)
   {
      pdescription = &pboxes->m_descriptionPower;
   }
   if (pdescription && !pdescription->custom_paths.empty() && pdescription->custom_paths.back().size() > 1)
   {
      pdescription->custom_paths.emplace_back();
   }
}

void MainImpact::snap(int & x, int & y)
{
   bool bSnappedX = false;
   bool bSnappedY = false;
   snap_paper(x, y, bSnappedX, bSnappedY);
   snap_others(x, y, bSnappedX, bSnappedY);
}

namespace
{

// Puts one coordinate of the layer's corners on the near edge (0) or the far edge of the raster.
void snap_to_edges(int & v, float fFirstCorner, const std::vector<float> & corners, float fFar, bool & bSnapped)
{
   for (float c : corners)
   {
      if (std::fabs(c) < MainImpact::snap_distance)
      {
         v = saturated_int(fFirstCorner - c);
         bSnapped = true;
         return;
      }
   }
   for (float c : corners)
   {
      if (std::fabs(c - fFar) < MainImpact::snap_distance)
      {
         v = saturated_int(fFirstCorner - c + fFar);
         bSnapped = true;
         return;
      }
   }
}

// The first rule whose edges are near sets the coordinate: left edges meet, this left on the
// other's right, this right on the other's left, right edges meet.
void snap_to_layer(int & v, int iOther, int iOtherSize, int iSize, bool & bSnapped)
{
   // Wide: an offset near the 32-bit bound plus a size goes beyond it.
   const auto near = [](long long a, long long b) { return std::llabs(a - b) < MainImpact::snap_distance; };
   const long long llOtherEnd = static_cast<long long>(iOther) + iOtherSize;
   const long long llEnd = static_cast<long long>(v) + iSize;
   if (near(v, iOther))
   {
      v = iOther;
   }
   else if (near(v, llOtherEnd))
   {
      v = saturated_int(static_cast<double>(llOtherEnd));
   }
   else if (near(llEnd, iOther))
   {
      v = saturated_int(static_cast<double>(iOther) - iSize);
   }
   else if (near(llEnd, llOtherEnd))
   {
      v = saturated_int(static_cast<double>(llOtherEnd) - iSize);
   }
   else
   {
      return;
   }
   bSnapped = true;
}

} // namespace

void MainImpact::snap_paper(int & x, int & y, bool & bSnappedX, bool & bSnappedY)
{
   if (bSnappedX && bSnappedY)
   {
      return;
   }
   pointer<project> pproject = document();
   pointer<app_layer> player = pproject ? pproject->current_layer() : pointer<app_layer>();
   if (!player)
   {
      return;
   }
   const polygon_type<float> corners = player->rotated_polygon(static_cast<float>(x), static_cast<float>(y));
   if (corners.empty())
   {
      return;
   }
   std::vector<float> xs;
   std::vector<float> ys;
   for (const auto & corner : corners)
   {
      xs.push_back(corner.x);
      ys.push_back(corner.y);
   }
   if (!bSnappedX)
   {
      snap_to_edges(x, corners.front().x, xs, static_cast<float>(pproject->get_paper_width()), bSnappedX);
   }
   if (!bSnappedY)
   {
      snap_to_edges(y, corners.front().y, ys, static_cast<float>(pproject->get_paper_height()), bSnappedY);
   }
}

void MainImpact::snap_others(int & x, int & y, bool & bSnappedX, bool & bSnappedY)
{
   if (bSnappedX && bSnappedY)
   {
      return;
   }
   pointer<project> pproject = document();
   if (!pproject)
   {
      return;
   }
   pointer<app_layer> pcurrent = pproject->current_layer();
   // A copy of the list: the walk holds its layers even if the document changes meanwhile.
   pointer_array<app_layer> layers = pproject->get_layers();
   for (auto & player : layers)
   {
      if (player == pcurrent)
      {
         debug_trace("ignored itself");
         continue;
      }
      snap_other(x, y, bSnappedX, bSnappedY, player);
      if (bSnappedX && bSnappedY)
      {
         return;
      }
   }
}

void MainImpact::snap_other(int & x, int & y, bool & bSnappedX, bool & bSnappedY, pointer<app_layer> & pother)
{
   if (bSnappedX && bSnappedY)
   {
      return;
   }
   pointer<project> pproject = document();
   pointer<app_layer> pcurrent = pproject ? pproject->current_layer() : pointer<app_layer>();
   if (!pcurrent || !pother)
   {
      return;
   }
   if (!bSnappedX)
   {
      snap_to_layer(x, pother->get_offset_x(), pother->get_width(), pcurrent->get_width(), bSnappedX);
   }
   if (!bSnappedY)
   {
      snap_to_layer(y, pother->get_offset_y(), pother->get_height(), pcurrent->get_height(), bSnappedY);
   }
}

} // namespace Tarvossa_BrisvanePro
