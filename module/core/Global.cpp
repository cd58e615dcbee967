#include "core/Global.h"

#include <cerrno>
#include <cstring>
#include <utility>

#include <unistd.h>

#include "core/data_folder.h"
#include "core/frame_builder.h"
#include "core/screen_link.h"
#include "core/top_menu_string.h"
#include "document/app_layer.h"
#include "document/boxes_layer.h"
#include "document/project.h"
#include "orvo/file_system.h"
#include "orvo/in_place_save.h"
#include "orvo/trace.h"
#include "zelui/MessageDialog.h"
#include "zelui/file_dialog.h"
#include "zelui/interaction.h"

namespace Tarvossa_BrisvanePro
{

namespace
{

// The completion that hands the dialog's path (empty after a cancel) to `pfnChosen` of `part`.
template <typename Part, typename Member>
function<void(file::file_dialog *)> path_to(Part & part, Member pfnChosen)
{
   return [&part, pfnChosen](file::file_dialog * pdialog) { (part.*pfnChosen)(pdialog->get_file_path()); };
}

} // namespace

file::file_dialog_filter file_dialog_filters()
{
   static const file::file_dialog_filter s_filter{
      {"PNG image", "*.png"}, {"JPG image", "*.jpg"}, {"BMP image", "*.bmp"}, {"TGA image", "*.tga"}};
   return s_filter;
}

Global::Global(screen_link * pscreen) :
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
   return data_folder::folder_to_save_data();
}

string_base Global::getAppNameForStorage() const
{
   return data_folder::app_name_for_storage();
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
   return m_presets.layers();
}

long long Global::get_presets_count()
{
   return get_presets().count();
}

void Global::set_current_layer_index(long long index)
{
   if (current_project() && current_project()->set_current_layer_index(index))
   {
      set_changed();
   }
}

void Global::set_changed()
{
   {
      std::lock_guard lock(m_mutexObject);
      m_bChanged.exchange(true);
   }
   // The live output shows the same frame, so it redraws with the canvas.
   if (m_pscreen)
   {
      m_pscreen->redraw_canvas();
      m_pscreen->redraw_live_output();
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
   const project * pdocument = current_project();
   if (!pdocument || pdocument->get_paper_width() < 1 || pdocument->get_paper_height() < 1)
   {
      return;
   }
   const project & document = *pdocument;
   if ((document.is_raster_label_flush_right() || document.is_raster_label_flush_bottom()) && m_pscreen)
   {
      m_pscreen->raster_label_follow_raster();
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

bool Global::defer_build_frame(bool bDocument, zel2d::context * pcontext)
{
   return m_framecycle.run(bDocument, pcontext);
}

void Global::add_to_tab_order(zelui::Widget * pwidget)
{
   m_focusorder.add(pwidget);
}

bool Global::on_skip_focus(const enumeration<user::enum_key> & emodifiers)
{
   return m_focusorder.skip(emodifiers, m_pscreen);
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

void Global::show_layers_changed(const std::optional<long long> & oindex)
{
   if (oindex)
   {
      set_current_layer_on_screen(*oindex);
      set_changed();
      redraw_screen();
   }
}

bool Global::change_current_layer(layer_change echange, const function<void(app_layer &)> & edit)
{
   project * pproject = current_project();
   pointer<app_layer> player = pproject ? pproject->current_layer() : nullptr;
   if (!player)
   {
      return false;
   }
   player->change(echange, [&] { edit(*player); });
   return true;
}

bool Global::change_current_boxes_layer(layer_change echange, const function<void(boxes_layer &)> & edit)
{
   return current_project() && current_project()->current_boxes_layer() &&
          change_current_layer(echange, [&](app_layer & layer) { edit(static_cast<boxes_layer &>(layer)); });
}

void Global::insert_layer_at(const pointer<app_layer> & player, long long index)
{
   show_layers_changed(m_layers.insert(player, index));
}

pointer<app_layer> Global::clone_current_layer()
{
   pointer<app_layer> pcopy = m_layers.copy_of_current();
   if (pcopy)
   {
      insert_layer_at(pcopy, current_project()->get_current_layer_id() + 1);
   }
   return pcopy;
}

void Global::delete_current_layer()
{
   show_layers_changed(m_layers.erase_current());
}

bool Global::move_layer_to_visual(long long iTarget, long long iSource)
{
   // Only the rows of the side panel's layer list ask for the moves.
   if (!m_pscreen || !m_pscreen->has_layer_list() || !m_layers.move(iTarget, iSource))
   {
      return false;
   }
   set_current_layer_on_screen(iTarget);
   return true;
}

void Global::move_layer_to_visual_top_by_1(long long index)
{
   if (const std::optional<long long> oindex = m_layers.raise(index))
   {
      set_current_layer_on_screen(*oindex);
   }
}

void Global::move_layer_to_visual_bottom_by_1(long long index)
{
   if (const std::optional<long long> oindex = m_layers.lower(index))
   {
      set_current_layer_on_screen(*oindex);
   }
}

void Global::clone_preset_to_layers(long long index)
{
   insert_layer_at(m_layers.copy_of_preset(index), -1);
}

void Global::clone_current_layer_to_preset()
{
   if (pointer<app_layer> pcopy = m_layers.screen_copy_of_current())
   {
      m_presets.add_first(pcopy);
   }
}

void Global::delete_preset(long long index)
{
   m_presets.erase_at(index);
}

void Global::load_default_presets()
{
   m_presets.load_default();
}

void Global::load_project_from_file(const file::path & path)
{
   m_project.load_from_file(path);
}

void Global::load_default_layers()
{
   m_project.load_default_layers();
}

user::interaction * Global::main_window() const
{
   return m_pscreen ? m_pscreen->get_interaction() : nullptr;
}

void Global::ask_for_file(file::file_dialog::enum_kind ekind, const file::file_dialog_filter & filter,
                          const function<void(file::file_dialog *)> & onchosen)
{
   user::interaction * pinteraction = main_window();
   if (!pinteraction || m_bAskingForFile)
   {
      return;
   }
   m_bAskingForFile = true;
   auto answered = [this, onchosen](file::file_dialog * pdialog)
   {
      m_bAskingForFile = false;
      onchosen(pdialog);
   };
   if (ekind == file::file_dialog::e_kind_save)
   {
      pinteraction->pick_single_file_to_save(filter, answered);
   }
   else
   {
      pinteraction->pick_single_file_to_open(filter, answered);
   }
}

void Global::open_project_button()
{
   ask_for_file(file::file_dialog::e_kind_open, {{"tvsx Project File", "*.tvsx"}}, path_to(m_project, &project_store::load_from_file));
}

void Global::save_project_button()
{
   ask_for_file(file::file_dialog::e_kind_save, {{"Tvsx Project Files", "*.tvsx"}, {"All Files", "*.*"}},
                path_to(m_project, &project_store::save_chosen));
}

void Global::open_presets_button()
{
   ask_for_file(file::file_dialog::e_kind_open, {{"Tvsx Presets File", "*.tvsx_presets"}},
                path_to(m_presets, &preset_store::open_chosen));
}

void Global::save_presets_button()
{
   ask_for_file(file::file_dialog::e_kind_save, {{"Tvsx Presets File", "*.tvsx_presets"}},
                path_to(m_presets, &preset_store::save_chosen));
}

void Global::setLogoLayer()
{
   ask_for_file(file::file_dialog::e_kind_open, file_dialog_filters(), path_to(*this, &Global::on_logo_picture_chosen));
}

void Global::on_logo_picture_chosen(const file::path & path)
{
   if (m_project.put_logo_picture(path))
   {
      show_layers_changed(current_project()->get_layers_count() - 1);
      save_logo_layer();
   }
}

void Global::save_logo_layer()
{
   m_project.save_logo_layer();
}

void Global::save_image_button()
{
   ask_for_file(file::file_dialog::e_kind_save, exporter::picture_filter(), [this](file::file_dialog * pdialog) { on_save_image_chosen(pdialog); });
}

void Global::save_png_button()
{
   ask_for_file(file::file_dialog::e_kind_save, exporter::one_format_filter({"PNG Image", "*.png"}),
                [this](file::file_dialog * pdialog) { request_save_to_image_file(pdialog); });
}

void Global::save_psd_button()
{
   ask_for_file(file::file_dialog::e_kind_save, exporter::one_format_filter({"PSD Document", "*.psd"}),
                [this](file::file_dialog * pdialog) { request_save_to_image_file(pdialog); });
}

void Global::layers_to_xml()
{
   ask_for_file(file::file_dialog::e_kind_save, {{"Resolute Arena XML Document", "*.xml"}}, path_to(m_exporter, &exporter::write_screen_setup));
}

void Global::on_save_image_chosen(file::file_dialog * pdialog)
{
   const file::path & path = pdialog->get_file_path();
   if (path.is_empty())
   {
      return;
   }
   // A chooser that already asked before replacing the file is not asked after.
   if (!file::exists(path) || pdialog->is_overwrite_confirmed() || !m_pscreen)
   {
      request_save_to_image_file(pdialog);
      return;
   }
   auto * pquestion = new zelui::MessageDialog(m_pscreen, zelui::MessageDialog::e_type_warning, "Replace file",
                                               format("File \"%s\" already exists.\n\nDo you want to replace it?", path.c_str()),
                                               "Yes", "No", zelui::MessageDialog::e_two_buttons);
   // The answer holds the dialog until it arrives.
   pointer<file::file_dialog> pdialogHeld(pdialog);
   pquestion->set_callback(
      [this, pdialogHeld](int iButton)
      {
         if (iButton == 0)
         {
            request_save_to_image_file(pdialogHeld.get());
         }
      });
   pquestion->center();
   pquestion->set_need_redraw();
   pquestion->post_redraw();
}

void Global::request_save_to_image_file(file::file_dialog * pdialog)
{
   m_exporter.set_pending(pointer<file::file_dialog>(pdialog));
   if (user::interaction * pinteraction = main_window())
   {
      pinteraction->set_need_redraw();
      pinteraction->post_redraw();
   }
}

} // namespace Tarvossa_BrisvanePro
