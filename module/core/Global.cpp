#include "core/Global.h"

#include <cerrno>
#include <cstring>
#include <utility>

#include <unistd.h>

#include "core/MainImpact.h"
#include "core/MainScreen.h"
#include "core/application.h"
#include "core/frame_builder.h"
#include "core/live_output_window.h"
#include "document/app_layer.h"
#include "document/project.h"
#include "host/context.h"
#include "orvo/file_system.h"
#include "orvo/in_place_save.h"
#include "orvo/trace.h"
#include "panels/top_menu_string.h"
#include "toolwindows/SettingsRasterLabel.h"
#include "zelui/MessageDialog.h"
#include "zelui/file_dialog.h"

namespace Tarvossa_BrisvanePro
{

Global::Global(MainScreen * pscreen) :
   m_pscreen(pscreen), m_pframebuilder(std::make_unique<frame_builder>([this](scoped_string_base strMessage) { show_error(strMessage); }))
{
   m_strDataFolderFault = make_data_folder();
   // Files of several names are saved in place under records kept here (see `finish_interrupted_saves`).
   file::set_in_place_record_folder(m_strDataFolderFault.empty() ? getFolderToSaveData() / "unfinished-saves" : file::path());
}

string_base Global::make_data_folder() const
{
   const file::path pathFolder = getFolderToSaveData();
   if (pathFolder.is_empty())
   {
      return dir::no_home_text;
   }
   if (outcome<file::written> result = dir::make(pathFolder); !result)
   {
      return result.error();
   }
   if (::access(pathFolder.c_str(), W_OK) != 0)
   {
      return std::strerror(errno);
   }
   return {};
}

void Global::report_data_folder_fault(scoped_string_base strWhy)
{
   const string_base strReason = strWhy.empty() ? m_strDataFolderFault : string_base(strWhy);
   if (strReason.empty())
   {
      return;
   }
   trace("the data folder cannot be written: %s", strReason.c_str());
   if (std::exchange(m_bDataFolderFaultTold, true))
   {
      return;
   }
   const file::path pathFolder = getFolderToSaveData();
   show_error(format("The data folder \"%s\" cannot be written: %s.\n\nPresets added, the logo layer and the window layout are "
                     "kept only until the program ends.",
                     pathFolder.is_empty() ? "(none)" : pathFolder.c_str(), strReason.c_str()));
}

void Global::finish_interrupted_saves() const
{
   for (const file::interrupted_save & save : file::finish_interrupted_saves())
   {
      if (save.is_finished())
      {
         information("the save of %s, cut short, was finished", save.m_pathTarget.c_str());
         continue;
      }
      const string_base strWhich = save.m_pathTarget.is_empty() ? string_base("A save") : format("A save of \"%s\"", save.m_pathTarget.c_str());
      show_error(format("%s was cut short, and cannot be finished: %s.\n\nWhat was saved is kept as \"%s\".", strWhich.c_str(),
                        save.m_strWhy.c_str(), save.m_pathKept.c_str()));
   }
}

Global::~Global() = default;

void Global::initialize_main()
{
}

void Global::finalize_main()
{
   m_pframebuilder->release_image();
}

file::path Global::getFolderToSaveData() const
{
   return application::folder_to_save_data();
}

string_base Global::getAppNameForStorage() const
{
   return application::app_name_for_storage();
}

application * Global::get_application() const
{
   return dynamic_cast<application *>(platform::context::application());
}

string_base Global::get_menu_string() const
{
   return gettopMenuString();
}

void Global::set_is_retina(bool bRetina)
{
   m_bRetina = bRetina;
   set_changed();
}

pointer_array<app_layer> & Global::get_presets()
{
   if (!m_pprojectPresets)
   {
      m_pprojectPresets = make_pointer<project>(this);
   }
   return m_pprojectPresets->get_layers();
}

long long Global::get_presets_count()
{
   return get_presets().count();
}

void Global::set_current_layer_index(long long index)
{
   if (m_pproject && m_pproject->set_current_layer_index(index))
   {
      set_changed();
   }
}

pointer<file::file_dialog> Global::pick_save_to_image_file_dialog()
{
   return std::exchange(m_pdialogSaveToImage, nullptr);
}

void Global::set_changed()
{
   {
      std::lock_guard lock(m_mutexObject);
      m_bChanged.exchange(true);
   }
   if (m_pscreen)
   {
      if (MainImpact * pcanvas = m_pscreen->canvas())
      {
         pcanvas->set_need_layout();
         pcanvas->set_need_redraw();
         pcanvas->post_redraw();
      }
   }
   redraw_live_output();
}

void Global::redraw_live_output()
{
   application * papplication = get_application();
   live_output_window * pwindow = papplication ? papplication->get_live_output_window() : nullptr;
   if (pwindow && pwindow->is_window() && pwindow->is_window_visible())
   {
      pwindow->set_need_redraw();
      pwindow->post_redraw();
   }
}

bool Global::take_changed() noexcept
{
   return m_bChanged.exchange(false);
}

void Global::reload_all()
{
   if (m_pscreen)
   {
      m_pscreen->reload_all(true);
   }
   set_changed();
}

void Global::follow_current_layer()
{
   if (m_pscreen)
   {
      m_pscreen->update_settings_visibility();
   }
   set_changed();
}

void Global::on_load_project()
{
   if (!m_pproject || m_pproject->get_paper_width() < 1 || m_pproject->get_paper_height() < 1)
   {
      return;
   }
   const project & document = *m_pproject;
   SettingsRasterLabel * prasterlabel = m_pscreen ? m_pscreen->get_raster_label_window() : nullptr;
   if ((document.is_raster_label_flush_right() || document.is_raster_label_flush_bottom()) && prasterlabel)
   {
      prasterlabel->get_settings_from_raster();
   }
}

void Global::show_error(scoped_string_base strText) const
{
   trace("Error: %.*s", static_cast<int>(strText.size()), strText.data());
   if (!m_pscreen)
   {
      return;
   }
   // The screen holds the box as its child until the box is answered and closes itself.
   auto * pdialog =
      new zelui::MessageDialog(m_pscreen, zelui::MessageDialog::e_type_warning, "Error", strText, "OK", "Cancel", zelui::MessageDialog::e_one_button);
   pdialog->center();
   pdialog->set_need_redraw();
   pdialog->post_redraw();
}

void Global::report_write(const char * pszWhat, const file::path & path, const outcome<file::written> & result) const
{
   if (!result)
   {
      show_error(format("%s \"%s\" could not be written: %s", pszWhat, path.c_str(), result.error().c_str()));
   }
   else if (!result->m_strNotice.empty())
   {
      show_error(format("%s \"%s\" was saved, but %s.", pszWhat, path.c_str(), result->m_strNotice.c_str()));
   }
}

void Global::redraw_screen()
{
   if (m_pscreen)
   {
      m_pscreen->set_need_layout();
      m_pscreen->set_need_redraw();
      m_pscreen->post_redraw();
   }
}

void Global::set_current_layer_on_screen(long long index)
{
   if (m_pscreen)
   {
      m_pscreen->setCurrentLayerTo(index, true);
   }
   else
   {
      set_current_layer_index(index);
   }
}

} // namespace Tarvossa_BrisvanePro
