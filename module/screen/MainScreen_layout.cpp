// The tool-window layout file of the root screen: where the tool windows stand and whether each
// shows while a screen layer is current, kept between runs.

#include "core/Global.h"
#include "orvo/file_system.h"
#include "orvo/trace.h"
#include "screen/MainScreen.h"
#include "screen/application.h"
#include "toolwindows/About.h"
#include "toolwindows/SettingsBoxes.h"
#include "toolwindows/SettingsBoxesColors.h"
#include "toolwindows/SettingsDataDiagram.h"
#include "toolwindows/SettingsLabels.h"
#include "toolwindows/SettingsPower.h"
#include "toolwindows/SettingsRasterLabel.h"

namespace Tarvossa_BrisvanePro
{

file::path MainScreen::settings_layout_get_default_path() const
{
   return application::data_file("settings_layout.network_payload");
}

void MainScreen::settings_save_layout()
{
   settings_save_layout(settings_layout_get_default_path().c_str());
}

void MainScreen::settings_save_layout(const char * pszPath)
{
   const string_base strText = current_layout().get_property_set().get_ini();
   if (outcome<file::written> result = file::write_all(file::path(pszPath), strText); !result)
   {
      m_pglobal->report_data_folder_fault(result.error());
   }
}

void MainScreen::settings_load_layout()
{
   if (!settings_load_layout(settings_layout_get_default_path().c_str()))
   {
      settings_reset_layout();
   }
}

bool MainScreen::settings_load_layout(const char * pszPath)
{
   const outcome<string_base> read = file::read_all(file::path(pszPath));
   const scoped_string_base strText = read ? trimmed(read.value()) : scoped_string_base();
   if (strText.empty())
   {
      return false;
   }
   apply_layout(tool_window_layout::from_text(strText));
   return true;
}

void MainScreen::settings_reset_layout()
{
   apply_layout(tool_window_layout::reset_layout());
   for (SettingsBaseWindow * pwindow : layout_windows())
   {
      if (pwindow)
      {
         pwindow->set_visible(true);
      }
   }
   settings_save_layout();
}

std::array<SettingsBaseWindow *, tool_window_layout::e_window_count> MainScreen::layout_windows() const
{
   return {m_psettingsboxes, m_psettingslabels, m_psettingsboxescolors, m_psettingspower, m_psettingsdatadiagram, m_psettingsrasterlabel};
}

tool_window_layout MainScreen::current_layout() const
{
   tool_window_layout layout;
   const auto windows = layout_windows();
   for (std::size_t i = 0; i < windows.size(); ++i)
   {
      if (windows[i])
      {
         layout.m_entries[i] = {windows[i]->place(), windows[i]->stored_visibility()};
      }
   }
   return layout;
}

void MainScreen::apply_layout(const tool_window_layout & layout)
{
   const auto windows = layout_windows();
   for (std::size_t i = 0; i < windows.size(); ++i)
   {
      if (windows[i])
      {
         windows[i]->set_position(layout.m_entries[i].m_point);
         windows[i]->set_stored_visibility(layout.m_entries[i].m_bVisible);
      }
   }
}

} // namespace Tarvossa_BrisvanePro
