#include "screen/MainImpact.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <mutex>

#include "core/Global.h"
#include "core/frame_builder.h"
#include "document/boxes_layer.h"
#include "document/connector.h"
#include "document/image_layer.h"
#include "document/project.h"
#include "host/context.h"
#include "host/windowing.h"
#include "orvo/trace.h"
#include "screen/LiveOutputScreen.h"
#include "screen/MainScreen.h"
#include "screen/application.h"
#include "screen/live_output_window.h"
#include "screen/main_window.h"
#include "zel2d/context.h"
#include "zelui/TextBox.h"

extern "C"
{
int g_iMainImpactRedraw = 0;
}

namespace Tarvossa_BrisvanePro
{

namespace
{

const color::color g_colorRasterOutline(182, 182, 182, 255);
const color::color g_colorHoveredBox(153, 204, 255, 127);
const color::color g_colorPathStart(0, 255, 0, 255);
const color::color g_colorFrame(127, 255, 204, 255);

bool is_boxes_layer(const pointer<app_layer> & player)
{
   return player && player->get_layer_type() == e_layer_boxes;
}

bool is_image_layer(const pointer<app_layer> & player)
{
   return player && player->get_layer_type() == e_layer_image;
}

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

MainImpact::MainImpact(Global * pglobal, zelui::Widget * pparent) :
   zelui::Widget(pparent),
   m_pglobal(pglobal),
   m_pointHandleMotion(invalidPos()),
   m_pointDragMotion(invalidPos()),
   m_pointRasterLabelDragStart(invalidPos()),
   m_pointPanDragStart(invalidPos())
{
}

MainImpact::~MainImpact() = default;

bool MainImpact::drags_layer(const enumeration<user::enum_key> & emodifiers, const app_layer & layer)
{
   return (layer.get_layer_type() == e_layer_boxes && emodifiers.has(move_group)) ||
          (layer.get_layer_type() == e_layer_image && emodifiers.has(select_group));
}

const point_type<int> & MainImpact::invalidPos()
{
   static const point_type<int> s_point{-10000, -10000};
   return s_point;
}

bool MainImpact::isPosValid(const point_type<int> & point)
{
   return point != invalidPos();
}

pointer<project> MainImpact::document() const
{
   return pointer<project>(m_pglobal ? m_pglobal->current_project() : nullptr);
}

MainScreen * MainImpact::main_screen() const
{
   return dynamic_cast<MainScreen *>(screen());
}

point_type<float> MainImpact::screenToLayer(const point_type<int> & point, const pointer<app_layer> & player) const
{
   const float dx = static_cast<float>(point.x - m_pointPan.x) / m_fZoom - static_cast<float>(player->get_offset_x());
   const float dy = static_cast<float>(point.y - m_pointPan.y) / m_fZoom - static_cast<float>(player->get_offset_y());
   // The point turned back about the layer's top-left corner, about which the layer is drawn.
   // Turned as a vector rather than through its angle, so that an unturned layer maps exactly
   // and a point on its edge stays on it.
   const double a = -static_cast<double>(player->get_rotation());
   const double c = std::cos(a);
   const double s = std::sin(a);
   return {static_cast<float>(dx * c - dy * s), static_cast<float>(dx * s + dy * c)};
}

point_type<float> MainImpact::layerToScreen(const point_type<int> & point, const pointer<app_layer> & player) const
{
   return {m_fZoom * (static_cast<float>(point.x) + static_cast<float>(player->get_offset_x())) + static_cast<float>(m_pointPan.x),
           m_fZoom * (static_cast<float>(point.y) + static_cast<float>(player->get_offset_y())) + static_cast<float>(m_pointPan.y)};
}

int MainImpact::hit_test_layer(point_type<float> point)
{
   pointer<project> pproject = document();
   if (!pproject)
   {
      return -1;
   }
   std::lock_guard lock(m_pglobal->frame_mutex());
   const point_type<int> pointCanvas{static_cast<int>(point.x), static_cast<int>(point.y)};
   auto & layers = pproject->get_layers();
   for (long long i = layers.count() - 1; i >= 0; i--)
   {
      const pointer<app_layer> & player = layers[i];
      if (player->is_hidden())
      {
         continue;
      }
      const point_type<float> pointLayer = screenToLayer(pointCanvas, player);
      if (pointLayer.x >= 0.f && pointLayer.x <= static_cast<float>(player->get_full_width()) && pointLayer.y >= 0.f &&
          pointLayer.y <= static_cast<float>(player->get_full_height()))
      {
         return static_cast<int>(i);
      }
   }
   return -1;
}

rectangle_type<double> MainImpact::raster_label_zoomed_rectangle()
{
   const double wx = x();
   const double wy = y();
   rectangle_type<double> rectangle{wx, wy, wx, wy};
   if (pointer<project> pproject = document())
   {
      rectangle.left += static_cast<double>(m_fZoom) * pproject->m_iRasterLabelX;
      rectangle.top += static_cast<double>(m_fZoom) * pproject->m_iRasterLabelY;
      rectangle.right = rectangle.left + static_cast<double>(m_fZoom) * pproject->m_iRasterLabelBoxWidth;
      rectangle.bottom = rectangle.top + static_cast<double>(m_fZoom) * pproject->m_iRasterLabelBoxHeight;
   }
   return rectangle;
}

bool MainImpact::hit_test_raster_label(int xPoint, int yPoint)
{
   pointer<project> pproject = document();
   if (!pproject || !pproject->m_bRasterLabel)
   {
      return false;
   }
   const rectangle_type<double> rectangle = raster_label_zoomed_rectangle();
   const double xDrawn = xPoint + x() - m_pointPan.x;
   const double yDrawn = yPoint + y() - m_pointPan.y;
   return rectangle.left <= xDrawn && xDrawn <= rectangle.right && rectangle.top <= yDrawn && yDrawn <= rectangle.bottom;
}

size_type<int> MainImpact::preferred_size(zel2d::context *)
{
   pointer<project> pproject = document();
   if (!pproject)
   {
      return {0, 0};
   }
   return {pproject->get_paper_width(), pproject->get_paper_height()};
}

bool MainImpact::scroll_event(const point_type<int> &, const size_type<float> & delta)
{
   // Clamped only when the canvas draws, so a step back from either end takes effect at once.
   m_fRequestedZoom += delta.height / 100.0f;
   redraw_window(false);
   return true;
}

void MainImpact::clamp_zoom()
{
   if (m_fRequestedZoom >= 1.0f)
   {
      m_fRequestedZoom = 1.0f;
   }
   else if (m_fRequestedZoom <= 0.25f)
   {
      m_fRequestedZoom = 0.25f;
   }
   m_fZoom = m_fRequestedZoom;
}

bool MainImpact::mouse_enter_event(const point_type<int> & point, bool bEnter, const enumeration<user::enum_key> & emodifiers)
{
   const bool bHandled = zelui::Widget::mouse_enter_event(point, bEnter, emodifiers);
   if (!bHandled && !bEnter)
   {
      m_pointHover = {no_hover, no_hover};
   }
   return bHandled;
}

point_type<float> MainImpact::inner_to_outer(const point_type<float> & point, zelui::in_place_edit * pedit)
{
   auto * pconnector = dynamic_cast<connector *>(pedit);
   if (!pconnector || !pconnector->layer())
   {
      return point;
   }
   return layerToScreen({static_cast<int>(point.x), static_cast<int>(point.y)}, pointer<app_layer>(pconnector->layer()));
}

point_type<float> MainImpact::outer_to_inner(const point_type<float> & point, zelui::in_place_edit * pedit)
{
   auto * pconnector = dynamic_cast<connector *>(pedit);
   if (!pconnector || !pconnector->layer())
   {
      return point;
   }
   return screenToLayer({static_cast<int>(point.x), static_cast<int>(point.y)}, pointer<app_layer>(pconnector->layer()));
}

void MainImpact::on_before_in_place_edit(zelui::in_place_edit * pedit)
{
   if (!dynamic_cast<connector *>(pedit))
   {
      return;
   }
   if (zelui::TextBox * ptextbox = pedit->editor())
   {
      ptextbox->set_font_size(20.0f);
      ptextbox->set_colors(color::color(0, 0, 0, 204), color::color(0, 0, 0, 255));
   }
}

void MainImpact::end_all_in_place_edits()
{
   pointer<project> pproject = document();
   if (!pproject)
   {
      return;
   }
   if (pointer<boxes_layer> player = pproject->current_boxes_layer())
   {
      player->on_end_edit_all_connectors();
   }
}

void MainImpact::redraw_window(bool bLayout)
{
   if (bLayout)
   {
      set_need_layout();
   }
   set_need_redraw();
   post_redraw();
}

void MainImpact::refresh_power()
{
   if (MainScreen * pscreen = main_screen())
   {
      pscreen->update_power_amperes();
   }
}

void MainImpact::select_layer(long long index)
{
   if (screen_link * pscreen = m_pglobal->get_app())
   {
      pscreen->setCurrentLayerTo(index, true);
   }
   else
   {
      m_pglobal->set_current_layer_index(index);
   }
}

void MainImpact::reload_panels()
{
   if (screen_link * pscreen = m_pglobal->get_app())
   {
      pscreen->reload_all(true);
   }
}

application * MainImpact::find_application() const
{
   zelui::Screen * pscreen = screen();
   if (auto * pwindow = dynamic_cast<main_window *>(pscreen ? pscreen->get_interaction() : nullptr))
   {
      return pwindow->get_app();
   }
   return dynamic_cast<application *>(platform::context::application());
}

void MainImpact::set_live_output_to_monitor(long long index)
{
   application * papplication = find_application();
   if (!papplication)
   {
      return;
   }
   pointer<live_output_window> pwindow(papplication->get_live_output_window());
   if (index < 0)
   {
      if (pwindow)
      {
         pwindow->hide();
         pwindow->set_need_layout();
         pwindow->set_need_redraw();
         pwindow->post_redraw();
      }
      return;
   }
   // A monitor that is not there (any more) shows nothing rather than a window nowhere.
   const std::optional<rectangle_i32> orectangle = platform::context::windowing()->monitor_rectangle(index);
   if (!orectangle)
   {
      return;
   }
   const rectangle_i32 & rectangleMonitor = *orectangle;
   if (!pwindow)
   {
      pwindow = make_pointer<live_output_window>();
      pwindow->initialize(papplication);
      papplication->set_live_output_window(pwindow);
      pwindow->set_global(m_pglobal);
      pwindow->place(rectangleMonitor, user::e_layout_requested);
      pwindow->display(user::e_display_cover_without_border, user::e_activation_default);
      pwindow->add_graphical_output_purpose(papplication, user::e_graphical_output_purpose_screen);
      pwindow->create_main_window();
   }
   pwindow->place(rectangleMonitor, user::e_layout_requested);
   pwindow->display(user::e_display_cover_without_border, user::e_activation_default);
   if (LiveOutputScreen * pscreen = pwindow->get_screen())
   {
      if (MainImpact * pcanvas = pscreen->canvas())
      {
         pcanvas->set_position({0, 0});
         pcanvas->set_size(rectangleMonitor.size());
         pcanvas->set_visible(true);
      }
   }
   pwindow->set_need_layout();
   pwindow->set_need_redraw();
   pwindow->post_redraw();
}

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
   if (!drags_layer(m_pglobal->get_keyboard_modifiers(), *player))
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
   if (is_image_layer(player))
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
   const bool bSelectGroup = emodifiers.has(select_group);
   if (bSelectGroup || emodifiers.has(move_group))
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
      else if (drags_layer(emodifiers, *player))
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
      // One edit, one mark: the place and the size change together.
      pimage->change(layer_change::look, [&]
      {
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
      });
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
      redraw_window(false);
   }
   if (pproject && m_pglobal->m_bAutoSelect && ekeystate.has(move_group) && !isPosValid(m_pointDragMotion))
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
