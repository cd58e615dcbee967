#include <cmath>
#include <mutex>

#include "core/Global.h"
#include "core/frame_builder.h"
#include "document/boxes_layer.h"
#include "document/connector.h"
#include "document/project.h"
#include "orvo/trace.h"
#include "screen/MainImpact.h"
#include "zel2d/context.h"

namespace Tarvossa_BrisvanePro
{

namespace
{

const color::color g_colorRasterOutline(182, 182, 182, 255);
const color::color g_colorHoveredBox(153, 204, 255, 127);
const color::color g_colorPathStart(0, 255, 0, 255);
const color::color g_colorFrame(127, 255, 204, 255);

bool holds(const enumeration<user::enum_key> & emodifiers, std::uint64_t uGroup)
{
   return (emodifiers.value() & uGroup) != 0;
}

} // namespace

void MainImpact::draw(zel2d::context * pcontext)
{
   g_iMainImpactRedraw++;
   debug_trace("MainImpact::draw");
   {
      zel2d::saved_state state(pcontext);
      draw_second(pcontext);
   }
   zelui::Widget::draw(pcontext);
}

void MainImpact::on_draw_step(zel2d::context * pcontext)
{
   if (!pcontext)
   {
      return;
   }
   std::lock_guard lock(m_pglobal->frame_mutex());
   m_pglobal->defer_build_frame(true, pcontext);
}

void MainImpact::draw_second(zel2d::context * pcontext)
{
   on_draw_step(pcontext);
   if (!m_bLiveOutput)
   {
      pcontext->translate(static_cast<float>(m_pointPan.x), static_cast<float>(m_pointPan.y));
   }
   pointer<project> pproject = document();
   if (m_pglobal->frame().image_handle() > 0 && pproject)
   {
      draw_frame_image(pcontext, pproject);
   }
   pointer<app_layer> player = pproject ? pproject->current_layer() : pointer<app_layer>();
   draw_custom_path_hover(pcontext, player);
   if (!m_bRasterLabelHovered && !isPosValid(m_pointRasterLabelDragStart))
   {
      if (!player)
      {
         return;
      }
      if (m_bSelectionActive)
      {
         draw_selection(pcontext, player);
      }
      else
      {
         draw_layer_frame(pcontext, player);
      }
   }
   else
   {
      draw_raster_label_frame(pcontext);
   }
}

void MainImpact::draw_frame_image(zel2d::context * pcontext, const pointer<project> & pproject)
{
   clamp_zoom();
   const float wx = static_cast<float>(x());
   const float wy = static_cast<float>(y());
   const float w = static_cast<float>(pproject->get_paper_width());
   const float h = static_cast<float>(pproject->get_paper_height());
   if (m_bLiveOutput)
   {
      m_fZoom = 1.0f;
   }
   else
   {
      pcontext->begin_path();
      pcontext->set_stroke_color(g_colorRasterOutline);
      pcontext->set_stroke_width(1.0f);
      pcontext->rectangle(wx, wy, m_fZoom * (w - 1), m_fZoom * (h - 1));
      pcontext->stroke();
   }
   std::lock_guard lock(m_pglobal->frame_mutex());
   const zel2d::paint paint =
      pcontext->image_pattern(wx, wy, m_fZoom * w, m_fZoom * h, 0.0f, m_pglobal->frame().image_handle(), 1.0f);
   pcontext->begin_path();
   pcontext->rectangle(wx, wy, m_fZoom * w, m_fZoom * h);
   pcontext->set_fill_paint(paint);
   pcontext->fill();
}

rectangle_type<float> MainImpact::zoomed_box_rectangle(const pointer<app_layer> & player, int iKey) const
{
   const datagram::box box = player.cast<boxes_layer>()->box_from_key(iKey);
   const float left = static_cast<float>(x()) + m_fZoom * (static_cast<float>(player->get_offset_x()) + box.m_fX1);
   const float top = static_cast<float>(y()) + m_fZoom * (static_cast<float>(player->get_offset_y()) + box.m_fY1);
   return {left, top, left + m_fZoom * box.width(), top + m_fZoom * box.height()};
}

void MainImpact::draw_custom_path_hover(zel2d::context * pcontext, const pointer<app_layer> & player)
{
   if (!player || player->get_layer_type() != e_layer_boxes)
   {
      return;
   }
   auto pboxes = player.cast<boxes_layer>();
   const bool bData = pboxes->m_descriptionData.m_iCustomPath != 0;
   if (!bData && pboxes->m_descriptionPower.m_iCustomPath == 0)
   {
      return;
   }
   clamp_zoom();
   if (m_pointHover.x == no_hover)
   {
      return;
   }
   snake * psnake = bData ? &pboxes->m_snakeData : &pboxes->m_snakePower;
   const float hx = static_cast<float>(m_pointHover.x - m_pointPan.x) - m_fZoom * static_cast<float>(player->get_offset_x());
   const float hy = static_cast<float>(m_pointHover.y - m_pointPan.y) - m_fZoom * static_cast<float>(player->get_offset_y());
   datagram::box boxHovered;
   bool bFound = false;
   // Only the boxes around the pointer are walked.
   psnake->m_pdescription->for_each_box_met(
      [&](float x1, float y1, float x2, float y2, std::uint16_t uColumn, std::uint16_t uRow, int)
      {
         if (m_fZoom * x1 < hx && hx < m_fZoom * x2 && m_fZoom * y1 < hy && hy < m_fZoom * y2)
         {
            boxHovered.m_uColumn = uColumn;
            boxHovered.m_uRow = uRow;
            bFound = true;
            return true;
         }
         return false;
      },
      psnake, edges_around(hx, m_fZoom), edges_around(hy, m_fZoom));
   if (bFound)
   {
      const rectangle_type<float> r = zoomed_box_rectangle(player, boxHovered.key());
      boxHovered.m_fX1 = r.left;
      boxHovered.m_fY1 = r.top;
      boxHovered.m_fX2 = r.right;
      boxHovered.m_fY2 = r.bottom;
      pcontext->begin_path();
      pcontext->set_stroke_color(g_colorHoveredBox);
      pcontext->set_fill_color(g_colorHoveredBox);
      pcontext->set_stroke_width(8.0f);
      pcontext->rectangle(r.left, r.top, r.width(), r.height());
      pcontext->close_path();
      pcontext->stroke();
   }
   else
   {
      // No box under the mouse: a record whose key is -1.
      boxHovered.m_uColumn = 0xFFFF;
      boxHovered.m_uRow = 0xFFFF;
   }
   draw_second_override_path(pcontext, boxHovered, psnake);
}

void MainImpact::draw_second_override_path(zel2d::context * pcontext, datagram::box & boxHovered, snake * psnake)
{
   const auto & paths = psnake->m_pdescription->custom_paths;
   if (paths.empty() || paths.back().size() != 1 || paths.back().front() < 0)
   {
      return;
   }
   pointer<app_layer> player(psnake->m_playerOwner);
   const rectangle_type<float> r = zoomed_box_rectangle(player, paths.back().front());
   datagram::box boxStart = psnake->m_pdisplaybox->box_from_key(paths.back().front());
   boxStart.m_fX1 = r.left;
   boxStart.m_fY1 = r.top;
   boxStart.m_fX2 = r.right;
   boxStart.m_fY2 = r.bottom;
   boxStart.m_iPathIndex = static_cast<std::int64_t>(paths.size() - 1);
   // The arrow draws its run's connector label on the canvas; the label keeps the place where
   // the layer drew it, which is where its in-place edit is looked for.
   pointer<connector> pconnector = psnake->m_playerOwner->get_connector(psnake, boxStart.m_iPathIndex, true, false);
   const rectangle_type<float> rectangleLabel = pconnector ? pconnector->label_rectangle() : rectangle_type<float>{};
   const string_base strLabel = pconnector ? pconnector->label_text() : string_base();
   {
      zel2d::saved_state state(pcontext);
      pcontext->begin_path();
      pcontext->set_stroke_color(g_colorPathStart);
      pcontext->set_fill_color(g_colorPathStart);
      psnake->m_pdescription->_draw_triangle(pcontext, psnake, nullptr, (r.left + r.right) / 2, (r.top + r.bottom) / 2, boxStart, boxHovered,
                                             true, false);
      pcontext->fill();
      pcontext->stroke();
   }
   if (pconnector)
   {
      pconnector->set_label(rectangleLabel, strLabel);
   }
}

void MainImpact::draw_selection(zel2d::context * pcontext, const pointer<app_layer> & player)
{
   const auto drawn = [this](int iOrigin, int iOffset, int v)
   { return static_cast<float>(iOrigin) + std::trunc(m_fZoom * (static_cast<float>(iOffset) + static_cast<float>(v))); };
   const int x0 = std::min(m_pointSelectionStart.x, m_pointSelectionEnd.x);
   const int x1 = std::max(m_pointSelectionStart.x, m_pointSelectionEnd.x);
   const int y0 = std::min(m_pointSelectionStart.y, m_pointSelectionEnd.y);
   const int y1 = std::max(m_pointSelectionStart.y, m_pointSelectionEnd.y);
   const float left = drawn(x(), player->get_offset_x(), x0);
   const float top = drawn(y(), player->get_offset_y(), y0);
   pcontext->begin_path();
   pcontext->set_stroke_color(g_colorFrame);
   pcontext->set_stroke_width(1.0f);
   pcontext->rectangle(left, top, drawn(x(), player->get_offset_x(), x1) - left, drawn(y(), player->get_offset_y(), y1) - top);
   pcontext->close_path();
   pcontext->stroke();
}

void MainImpact::draw_layer_frame(zel2d::context * pcontext, const pointer<app_layer> & player)
{
   const enumeration<user::enum_key> emodifiers = m_pglobal->get_keyboard_modifiers();
   const bool bImage = player->get_layer_type() == e_layer_image;
   const bool bBoxes = player->get_layer_type() == e_layer_boxes;
   if (!(bImage && holds(emodifiers, select_group)) && !(bBoxes && holds(emodifiers, move_group)))
   {
      return;
   }
   const float fOffsetX = static_cast<float>(player->get_offset_x());
   const float fOffsetY = static_cast<float>(player->get_offset_y());
   float fx = m_fZoom * fOffsetX;
   float fy = m_fZoom * fOffsetY;
   float w = m_fZoom * static_cast<float>(player->get_width());
   float h = m_fZoom * static_cast<float>(player->get_height());
   if (isPosValid(m_pointDragMotion))
   {
      // Where the release will put the layer, snapped.
      int nx = saturated_int(fOffsetX - static_cast<float>(m_pointDragMotion.x) / m_fZoom);
      int ny = saturated_int(fOffsetY - static_cast<float>(m_pointDragMotion.y) / m_fZoom);
      snap(nx, ny);
      fx -= std::trunc(m_fZoom * (fOffsetX - static_cast<float>(nx)));
      fy -= std::trunc(m_fZoom * (fOffsetY - static_cast<float>(ny)));
   }
   else if (m_iHandle != -1 && isPosValid(m_pointHandleMotion))
   {
      const float dx = static_cast<float>(m_pointHandleMotion.x);
      const float dy = static_cast<float>(m_pointHandleMotion.y);
      switch (m_iHandle)
      {
      case 0: fy -= dy; h += dy; break;
      case 1: h -= dy; break;
      case 2: fx -= dx; w += dx; break;
      case 3: w -= dx; break;
      default: break;
      }
   }
   m_rectangleResize = {saturated_int(fx), saturated_int(fy), saturated_int(static_cast<double>(fx) + w), saturated_int(static_cast<double>(fy) + h)};
   const float left = fx + static_cast<float>(x());
   const float top = fy + static_cast<float>(y());
   zel2d::saved_state state(pcontext);
   pcontext->begin_path();
   pcontext->set_stroke_color(g_colorFrame);
   pcontext->set_fill_color(g_colorFrame);
   pcontext->set_stroke_width(1.0f);
   pcontext->translate(left, top);
   pcontext->rotate(player->get_rotation());
   pcontext->translate(-left, -top);
   pcontext->rectangle(left, top, w, h);
   pcontext->close_path();
   pcontext->stroke();
   if (bImage)
   {
      pcontext->begin_path();
      pcontext->rectangle(left + w / 2, top - 4, 8, 8);
      pcontext->rectangle(left + w / 2, top + h - 4, 8, 8);
      pcontext->rectangle(left - 4, top + h / 2, 8, 8);
      pcontext->rectangle(left + w - 4, top + h / 2, 8, 8);
      pcontext->fill();
   }
}

void MainImpact::draw_raster_label_frame(zel2d::context * pcontext)
{
   const rectangle_type<double> r = raster_label_zoomed_rectangle();
   pcontext->begin_path();
   pcontext->set_stroke_color(g_colorFrame);
   pcontext->set_stroke_width(1.0f);
   pcontext->rectangle(static_cast<float>(r.left), static_cast<float>(r.top), static_cast<float>(r.width()),
                       static_cast<float>(r.height()));
   pcontext->close_path();
   pcontext->stroke();
}

} // namespace Tarvossa_BrisvanePro
