#include "screen/MainImpact.h"

#include <cmath>
#include <mutex>

#include "core/Global.h"
#include "document/boxes_layer.h"
#include "document/connector.h"
#include "document/project.h"
#include "host/context.h"
#include "host/windowing.h"
#include "screen/LiveOutputScreen.h"
#include "screen/MainScreen.h"
#include "screen/application.h"
#include "screen/live_output_window.h"
#include "screen/main_window.h"
#include "toolwindows/SettingsPower.h"
#include "zelui/TextBox.h"

extern "C"
{
int g_iMainImpactRedraw = 0;
}

namespace Tarvossa_BrisvanePro
{

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

void MainImpact::perform_layout(zel2d::context * pcontext)
{
   zelui::Widget::perform_layout(pcontext);
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
   MainScreen * pscreen = main_screen();
   if (SettingsPower * ppower = pscreen ? pscreen->get_power_window() : nullptr)
   {
      ppower->update_amperes();
   }
}

void MainImpact::select_layer(long long index)
{
   if (MainScreen * pscreen = m_pglobal->get_app())
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
   if (MainScreen * pscreen = m_pglobal->get_app())
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

} // namespace Tarvossa_BrisvanePro
