#include "screen/application.h"

#include <algorithm>
#include <array>
#include <vector>

#include "core/Global.h"
#include "core/data_folder.h"
#include "document/project.h"
#include "host/context.h"
#include "host/node.h"
#include "host/request.h"
#include "host/windowing.h"
#include "orvo/file_system.h"
#include "orvo/payload.h"
#include "orvo/trace.h"
#include "screen/MainScreen.h"
#include "screen/live_output_window.h"
#include "screen/main_window.h"

namespace Tarvossa_BrisvanePro
{

namespace
{

// The window's rectangle as it is (maximised or not): what every build reads.
const char * const g_pszKeys[4] = {"main_window_left", "main_window_top", "main_window_right", "main_window_bottom"};
// Whether it is maximised, and the rectangle it goes back to when it is un-maximised.
const char * const g_pszMaximizedKey = "main_window_maximized";
const char * const g_pszNormalKeys[4] = {"main_window_normal_left", "main_window_normal_top", "main_window_normal_right",
                                         "main_window_normal_bottom"};

rectangle_f64 read_rectangle(const property_set & set, const char * const (&keys)[4])
{
   return {set.get_double(keys[0]), set.get_double(keys[1]), set.get_double(keys[2]), set.get_double(keys[3])};
}

void write_rectangle(payload & settings, const char * const (&keys)[4], const rectangle_i32 & rectangle)
{
   settings[keys[0]] = rectangle.left;
   settings[keys[1]] = rectangle.top;
   settings[keys[2]] = rectangle.right;
   settings[keys[3]] = rectangle.bottom;
}

void log_initial_rectangle(const char * pszStep, const rectangle_f64 & rectangle)
{
   information("m_rectangleInitialRateOrSize (%s) : xy(%f, %f)-wh(%f, %f)", pszStep, rectangle.left, rectangle.top,
               rectangle.right - rectangle.left, rectangle.bottom - rectangle.top);
}

// The part of a window that must show on a monitor for the user to reach it.
constexpr double visible_part = 48.0;

bool is_fraction_of_the_screen(const rectangle_f64 & r)
{
   return std::ranges::all_of(std::array{r.left, r.top, r.right, r.bottom}, [](double d) { return d >= 0.0 && d <= 1.0; });
}

// The smallest window (in pixels) worth restoring: it shows the first menus to take hold of and can
// be made larger from there. A smaller one, left by a crash or written by hand, is of no use.
constexpr double smallest_usable_width = 200.0;
constexpr double smallest_usable_height = 150.0;

bool is_large_enough_to_use(const rectangle_f64 & r)
{
   return r.right - r.left >= smallest_usable_width && r.bottom - r.top >= smallest_usable_height;
}

// Whether a window at the rectangle (in pixels) would fit on a monitor and show enough of itself
// there to be reached. A rectangle kept from a monitor that is gone, or written by hand, may not.
bool fits_a_monitor(const rectangle_f64 & r)
{
   user::windowing * pwindowing = platform::context::windowing();
   std::vector<rectangle_i32> monitors;
   for (int i = 0; i < pwindowing->monitor_count(); ++i)
   {
      monitors.push_back(*pwindowing->monitor_rectangle(i));
   }
   if (monitors.empty())
   {
      monitors.push_back(pwindowing->main_monitor_rectangle());
   }
   const double dWidth = r.right - r.left;
   const double dHeight = r.bottom - r.top;
   return std::ranges::any_of(monitors, [&](const rectangle_i32 & m)
   {
      const double dVisibleWidth = std::min<double>(r.right, m.right) - std::max<double>(r.left, m.left);
      const double dVisibleHeight = std::min<double>(r.bottom, m.bottom) - std::max<double>(r.top, m.top);
      return dWidth <= m.width() && dHeight <= m.height() && dVisibleWidth >= std::min(visible_part, dWidth) &&
             dVisibleHeight >= std::min(visible_part, dHeight);
   });
}

// Why a stored rectangle is not restored, or null when it is.
const char * why_not_restored(const rectangle_f64 & r)
{
   if (is_fraction_of_the_screen(r))
   {
      return nullptr;
   }
   if (!is_large_enough_to_use(r))
   {
      return "is too small to use";
   }
   return fits_a_monitor(r) ? nullptr : "fits no monitor";
}

} // namespace

application::application()
{
   set_application_id("Tarvossa/BrisvanePro");
   set_application_name("Brisvane Pro");
   set_module_name("Tarvossa_BrisvanePro");
}

application::~application() = default;

void application::init_instance()
{
   platform::context::node()->set_document_extension("tvsx");
   set_file_association();
   molv::application::init_instance();
}

void application::set_file_association()
{
   if (outcome<file::written> result =
          platform::context::node()->associate_extension(".tvsx", desktop_id(), dir::program(), "\"%1\"");
       !result)
   {
      trace("the file association of .tvsx could not be made: %s", result.error().c_str());
   }
}

void application::on_request(request * prequest)
{
   // The first request opens the window maximised when it was maximised at the end of the last run.
   int edisplay = user::e_display_normal;
   if (!m_pmainwindow)
   {
      m_pmainwindow = make_pointer<main_window>();
      m_pmainwindow->initialize(this);
      if (load_settings())
      {
         m_pmainwindow->m_rectangleInitialRateOrSize = m_rectangleInitial;
      }
      if (m_bMaximizedInitially)
      {
         edisplay = user::e_display_zoomed;
      }
      m_pmainwindow->add_graphical_output_purpose(this, user::e_graphical_output_purpose_screen);
      m_pmainwindow->create_main_window(prequest);
   }
   MainScreen * pscreen = m_pmainwindow->get_main_screen();
   Global * pglobal = pscreen ? pscreen->get_global() : nullptr;
   if (pglobal)
   {
      switch (prequest ? prequest->command() : e_command_none)
      {
      case e_command_application_started:
         information("application::on_request e_command_application_started");
         if (!pglobal->current_project())
         {
            information("application started but no project -> load_default_layers");
            pglobal->load_default_layers();
         }
         break;
      case e_command_file_open:
         information("application::on_request e_command_file_open : %s", prequest->payload().c_str());
         pglobal->load_project_from_file(file::path(prequest->payload()));
         break;
      case e_command_file_new:
         information("application::on_request e_command_file_new");
         pglobal->load_default_layers();
         break;
      default:
         break;
      }
      if (pglobal->current_project() && pglobal->current_project()->get_layers_count() >= 1)
      {
         pscreen->setCurrentLayerTo(0, true);
      }
   }
   m_pmainwindow->order(user::e_zorder_top);
   m_pmainwindow->display(edisplay, user::e_activation_set_foreground);
   m_pmainwindow->set_need_layout();
   m_pmainwindow->set_need_redraw();
   m_pmainwindow->post_redraw();
}

bool application::term_application()
{
   if (m_pmainwindow)
   {
      m_pmainwindow->destroy_window();
   }
   m_pmainwindow.reset();
   if (m_plivewindow)
   {
      m_plivewindow->destroy_window();
   }
   m_plivewindow.reset();
   return molv::application::term_application();
}

void application::set_live_output_window(const pointer<live_output_window> & pwindow)
{
   m_plivewindow = pwindow;
}

file::path application::settings_file_path()
{
   return data_folder::data_file("settings.network_payload");
}

bool application::load_settings()
{
   const outcome<string_base> read = file::read_all(settings_file_path());
   const scoped_string_base strText = read ? trimmed(read.value()) : scoped_string_base();
   if (strText.empty())
   {
      return false;
   }
   payload settings;
   settings.parse_network_payload(strText);
   const property_set * pset = settings.get_property_set();
   const property_set set = pset ? *pset : property_set();
   // A maximised window opens at its normal rectangle, and is then maximised from there.
   m_bMaximizedInitially = set.get_bool(g_pszMaximizedKey);
   const bool bNormalKept = std::ranges::all_of(g_pszNormalKeys, [&](const char * pszKey) { return set.has(pszKey); });
   rectangle_f64 rectangle = read_rectangle(set, m_bMaximizedInitially && bNormalKept ? g_pszNormalKeys : g_pszKeys);
   log_initial_rectangle("1", rectangle);
   const double dWidth = rectangle.right - rectangle.left;
   const double dHeight = rectangle.bottom - rectangle.top;
   if (dWidth <= 0.0 || dHeight <= 0.0 || dWidth * dHeight < 0.010000000000000002)
   {
      rectangle = {0.05, 0.05, 0.4, 0.4};
   }
   else if (const char * pszWhy = why_not_restored(rectangle))
   {
      information("m_rectangleInitialRateOrSize: the stored rectangle %s; the window opens at its default place", pszWhy);
      return false;
   }
   log_initial_rectangle("2", rectangle);
   m_rectangleInitial = rectangle;
   return true;
}

void application::save_settings()
{
   if (!m_pmainwindow)
   {
      return;
   }
   user::main_window * pwindow = m_pmainwindow->get_wnd();
   payload settings;
   write_rectangle(settings, g_pszKeys, pwindow->window_rectangle(user::e_layout_current));
   settings[g_pszMaximizedKey] = pwindow->is_maximized();
   write_rectangle(settings, g_pszNormalKeys, pwindow->normal_rectangle());
   const file::path path = settings_file_path();
   if (outcome<file::written> result = file::write_all(path, settings.get_network_payload(true)); !result)
   {
      trace("the window settings could not be saved to %s: %s", path.c_str(), result.error().c_str());
   }
}

} // namespace Tarvossa_BrisvanePro
