// The controller's side of the files the user opens and saves apart from the exports: projects,
// presets files, the autosaved presets and the logo layer.

#include "core/Global.h"

#include <algorithm>
#include <chrono>
#include <utility>

#include "core/MainScreen.h"
#include "core/application.h"
#include "document/boxes_layer.h"
#include "document/image_layer.h"
#include "document/project.h"
#include "document/strings.h"
#include "host/context.h"
#include "host/node.h"
#include "orvo/file_lock.h"
#include "orvo/file_system.h"
#include "orvo/image.h"
#include "orvo/image_service.h"
#include "orvo/trace.h"
#include "zelui/file_dialog.h"
#include "zelui/interaction.h"

namespace Tarvossa_BrisvanePro
{

namespace
{

const char * const g_pszPresetsExtension = "tvsx_presets";

// Another copy of the program holds the presets' lock only while it merges and writes a small file;
// a wait this short is not felt, and one longer means that copy hangs.
constexpr std::chrono::milliseconds presets_lock_wait{500};

// The presets dialogs' rule: the extension is added unless the name ends with it already.
file::path with_presets_extension(const file::path & path)
{
   return path.with_deferred_extension(g_pszPresetsExtension);
}

// Moves an autosave file that did not read whole out of the way of the next autosave, to the first
// free name of "autosaved-unread.tvsx_presets", "autosaved-unread-2.tvsx_presets", ..., so that the
// presets in it are never replaced by others.
outcome<file::path> keep_unread_autosave(const file::path & path)
{
   return file::rename_to_free_name(path, 100, [&path](int iTry) {
      return path.folder() / (iTry == 1 ? string_base("autosaved-unread.tvsx_presets") : format("autosaved-unread-%d.tvsx_presets", iTry));
   });
}

// What the user is told of a read that did not take the file as written: what ended it early,
// what it went past, and what was kept.
string_base read_faults_text(const string_base & strSubject, const container_read & report, const string_base & strKept)
{
   string_base strText = report.is_partial() ? format("%s was read only in part: %s.", strSubject.c_str(), report.m_strFault.c_str())
                                             : format("%s was opened, but not all of it as written.", strSubject.c_str());
   for (const string_base & strFault : report.m_straBlockFaults)
   {
      strText += "\n\n" + strFault + ".";
   }
   return strText + "\n\n" + strKept;
}

} // namespace

file::file_dialog_filter file_dialog_filters()
{
   static const file::file_dialog_filter s_filter{
      {"PNG image", "*.png"}, {"JPG image", "*.jpg"}, {"BMP image", "*.bmp"}, {"TGA image", "*.tga"}};
   return s_filter;
}

file::path Global::auto_save_preset_file_name() const
{
   return application::data_file("autosaved.tvsx_presets");
}

void Global::load_default_presets()
{
   const file::path path = auto_save_preset_file_name();
   // Taken before the reading: a file replaced meanwhile is then merged at the next save. Only
   // looked at here: the reading itself refuses what is no regular file (a FIFO would otherwise
   // hold the start until some program wrote into it).
   const std::optional<file::stamp> ostamp = file::stamp_of(path);
   get_presets().clear();
   if (ostamp)
   {
      if (const outcome<> taken = take_presets_file(path, "None of its presets were loaded."); !taken)
      {
         const outcome<file::path> kept = keep_unread_autosave(path);
         show_error(taken.error() + "\n\n" +
                    (kept ? format("The file is kept as \"%s\"; the built-in presets are used.", kept->c_str())
                          : format("It could not be moved aside (%s): the next preset added or deleted replaces it.", kept.error().c_str())));
      }
   }
   if (get_presets().is_empty())
   {
      load_presets_from_string(getPresetsSource());
      for (const pointer<app_layer> & player : get_presets())
      {
         if (auto * pboxes = dynamic_cast<boxes_layer *>(player.get()))
         {
            pboxes->ExcludeBoxes.clear();
            pboxes->set_changed();
            pboxes->DrawBoxes = 1;
            pboxes->set_changed();
            pboxes->apply_defaults();
         }
      }
   }
   // The built-in presets stand for an autosave file that is not there or gave none.
   remember_presets_saved(ostamp);
   if (m_pscreen)
   {
      m_pscreen->reload_all(true);
   }
   set_changed();
}

outcome<container_read> Global::load_presets_from_string(scoped_string_base strText)
{
   pointer_array<app_layer> & presets = get_presets();
   size_type<int> sizeIgnored;
   outcome<layers_read> read = m_pprojectPresets->create_layers_from_string(sizeIgnored, strText, project::presets_magic_v2);
   // Presets read in part would replace the whole set, and the autosave after them.
   if (read && read->is_whole())
   {
      presets = std::move(read->m_layers);
   }
   return read;
}

outcome<> Global::take_presets_file(const file::path & path, const string_base & strKept)
{
   const outcome<string_base> read = m_pprojectPresets->read_container_file(path);
   if (!read)
   {
      return failure(format("The presets file \"%s\" cannot be read: %s", path.c_str(), read.error().c_str()));
   }
   const outcome<container_read> report = load_presets_from_string(read.value());
   if (!report)
   {
      return failure(format("\"%s\" is not a Brisvane presets file.", path.c_str()));
   }
   if (!report->is_whole())
   {
      return failure(read_faults_text(format("The presets file \"%s\"", path.c_str()), report.value(), strKept));
   }
   return {};
}

bool Global::load_presets_from_file(const file::path & path)
{
   if (path.is_empty())
   {
      return false;
   }
   // The presets and their autosave are kept when the file is not read whole: they would be lost.
   get_presets();
   const long long iInUse = get_presets_count();
   if (const outcome<> taken = take_presets_file(path, iInUse > 0 ? format("None of its presets were loaded; the %lld presets in use are kept.", iInUse)
                                                                  : string_base("None of its presets were loaded, and the file is left as it is."));
       !taken)
   {
      show_error(taken.error());
      return false;
   }
   if (m_pscreen)
   {
      m_pscreen->reload_all(true);
   }
   set_changed();
   if (path.as_string() != auto_save_preset_file_name().as_string())
   {
      auto_save_presets();
   }
   return true;
}

void Global::save_presets_to_file(const file::path & path)
{
   if (path.is_empty())
   {
      return;
   }
   get_presets();
   report_write("The presets file", path, m_pprojectPresets->save_preset_to_file(path));
}

void Global::auto_save_presets()
{
   const file::path path = auto_save_preset_file_name();
   get_presets();
   // A lock file that cannot be made leaves the save to the write below, which tells why.
   const file::file_lock lock(application::data_file("autosaved.tvsx_presets.lock"), presets_lock_wait);
   if (lock.is_busy())
   {
      if (!std::exchange(m_bPresetsLockTold, true))
      {
         show_error(format("The presets could not be saved to \"%s\": %s.\n\nThe presets in use are kept, and saved with the "
                           "next preset added or deleted.",
                           path.c_str(), lock.failure().c_str()));
      }
      return;
   }
   if (!take_presets_saved_elsewhere(path))
   {
      return;
   }
   if (outcome<file::written> result = m_pprojectPresets->save_preset_to_file(path); !result)
   {
      report_data_folder_fault(result.error());
      return;
   }
   remember_presets_saved(file::stamp_of(path));
}

bool Global::take_presets_saved_elsewhere(const file::path & path)
{
   const std::optional<file::stamp> ostamp = file::stamp_of(path);
   if (!ostamp || ostamp == m_ostampPresetsSaved)
   {
      return true;
   }
   const outcome<string_base> read = m_pprojectPresets->read_container_file(path);
   size_type<int> sizeIgnored;
   const outcome<layers_read> theirs = read ? m_pprojectPresets->create_layers_from_string(sizeIgnored, read.value(), project::presets_magic_v2)
                                           : outcome<layers_read>(failure(read.error()));
   // Presets missing from a file not read whole would count as removed there: the file is moved
   // aside whole, as at the start, and the presets in use take its place.
   if (!theirs || !theirs->is_whole())
   {
      const outcome<file::path> kept = keep_unread_autosave(path);
      show_error(format("The autosaved presets \"%s\" were changed by another program, and cannot be read whole. ", path.c_str()) +
                 (kept ? format("They are kept as \"%s\", and the %lld presets in use are saved in their place.", kept->c_str(),
                                get_presets_count())
                       : format("They could not be moved aside (%s), so they are left as they are, and the %lld presets in use are "
                                "not saved.",
                                kept.error().c_str(), get_presets_count())));
      return bool(kept);
   }
   pointer_array<app_layer> & presets = get_presets();
   pointer_array<app_layer> merged = merge_presets(m_presetsSaved, presets, theirs->m_layers);
   if (!std::ranges::equal(merged, presets))
   {
      presets = std::move(merged);
      if (m_pscreen)
      {
         m_pscreen->reload_all(true);
      }
      set_changed();
   }
   return true;
}

void Global::remember_presets_saved(const std::optional<file::stamp> & ostamp)
{
   m_presetsSaved = preset_versions(get_presets());
   m_ostampPresetsSaved = ostamp;
}

void Global::load_project_from_file(const file::path & path)
{
   if (path.is_empty())
   {
      return;
   }
   // The open document stays when the file is of no use, so that nothing is lost. Its budget
   // stands for the new document's, both following this process's limits.
   get_presets();
   const outcome<string_base> read = (m_pproject ? m_pproject : m_pprojectPresets)->read_container_file(path);
   if (!read)
   {
      show_error(format("The project \"%s\" cannot be read: %s", path.c_str(), read.error().c_str()));
      return;
   }
   const outcome<container_read> report = load_project_from_string(read.value());
   if (!report)
   {
      show_error(format("\"%s\" is not a Brisvane project.", path.c_str()));
   }
   else if (!report->is_whole())
   {
      const long long iKept = m_pproject->get_layers_count();
      string_base strKept = iKept <= report->m_iLayersAnnounced
                               ? format("Kept: %lld of the %d layers it announces.", iKept, report->m_iLayersAnnounced)
                               : format("Kept: %lld layers, though it announces %d.", iKept, report->m_iLayersAnnounced);
      if (report->is_partial())
      {
         strKept += " Saving over the file would make the loss permanent.";
      }
      show_error(read_faults_text(format("The project \"%s\"", path.c_str()), report.value(), strKept));
   }
}

outcome<container_read> Global::load_project_from_string(scoped_string_base strText)
{
   pointer<project> pproject = make_pointer<project>(this);
   outcome<container_read> report = pproject->load_project_from_string(strText);
   if (!report)
   {
      return report;
   }
   replace_document(pproject);
   if (m_pproject->get_layers_count() >= 1)
   {
      set_current_layer_index(0);
   }
   follow_current_layer();
   return report;
}

void Global::save_project_to_file(const file::path & path)
{
   if (path.is_empty() || !m_pproject)
   {
      return;
   }
   report_write("The project", path, m_pproject->save_project_to_file(path));
}

void Global::load_default_layers()
{
   pointer<project> pproject = make_pointer<project>(this);
   pproject->load_default_layers();
   replace_document(pproject);
}

void Global::replace_document(const pointer<project> & pproject)
{
   m_pproject = pproject;
   image::give_back_kept_pixel_memory();
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

function<void(file::file_dialog *)> Global::path_to(void (Global::*pfnChosen)(const file::path &))
{
   return [this, pfnChosen](file::file_dialog * pdialog) { (this->*pfnChosen)(pdialog->get_file_path()); };
}

void Global::open_project_button()
{
   ask_for_file(file::file_dialog::e_kind_open, {{"tvsx Project File", "*.tvsx"}}, path_to(&Global::on_open_project_chosen));
}

void Global::save_project_button()
{
   ask_for_file(file::file_dialog::e_kind_save, {{"Tvsx Project Files", "*.tvsx"}, {"All Files", "*.*"}},
                path_to(&Global::on_save_project_chosen));
}

void Global::open_presets_button()
{
   ask_for_file(file::file_dialog::e_kind_open, {{"Tvsx Presets File", "*.tvsx_presets"}},
                path_to(&Global::on_open_presets_chosen));
}

void Global::save_presets_button()
{
   ask_for_file(file::file_dialog::e_kind_save, {{"Tvsx Presets File", "*.tvsx_presets"}},
                path_to(&Global::on_save_presets_chosen));
}

void Global::setLogoLayer()
{
   ask_for_file(file::file_dialog::e_kind_open, file_dialog_filters(), path_to(&Global::on_logo_picture_chosen));
}

void Global::on_open_project_chosen(const file::path & path)
{
   load_project_from_file(path);
}

void Global::on_save_project_chosen(const file::path & path)
{
   if (path.is_empty())
   {
      return;
   }
   save_project_to_file(path);
   if (outcome<file::written> result = platform::context::node()->notify_file_saved(path); !result)
   {
      trace("the desktop was not told of %s: %s", path.c_str(), result.error().c_str());
   }
}

void Global::on_open_presets_chosen(const file::path & path)
{
   if (path.is_empty())
   {
      return;
   }
   load_presets_from_file(with_presets_extension(path));
}

void Global::on_save_presets_chosen(const file::path & path)
{
   if (!path.is_empty())
   {
      save_presets_to_file(with_presets_extension(path));
   }
}

void Global::on_logo_picture_chosen(const file::path & path)
{
   if (path.is_empty() || !m_pproject)
   {
      return;
   }
   outcome<pointer<image::image>> result = image::load_image(path);
   if (!result || !result.value()->_is_ok())
   {
      show_error("Error loading image.");
      return;
   }
   pointer<image_layer> plogo = m_pproject->get_logo_layer();
   if (!plogo)
   {
      return;
   }
   plogo->set_image(result.value());
   // The picture shows at exactly its own size: with the aspect kept, each side would be
   // recomputed from the other and could come out a pixel short.
   const bool bMaintainAspect = plogo->getMaintainAspectRatio();
   plogo->setMaintainAspectRatio(false);
   plogo->set_width(result.value()->width());
   plogo->set_height(result.value()->height());
   plogo->setMaintainAspectRatio(bMaintainAspect);
   pointer_array<app_layer> & layers = m_pproject->get_layers();
   layers.erase_at(layers.find_first(plogo.get()));
   layers.add(plogo);
   set_current_layer_on_screen(layers.count() - 1);
   set_changed();
   redraw_screen();
   save_logo_layer();
}

void Global::save_logo_layer()
{
   if (!m_pproject || !m_pproject->get_logo_layer())
   {
      return;
   }
   if (outcome<file::written> result = m_pproject->save_logo_layer_to_file(application::data_file("logo.data")); !result)
   {
      report_data_folder_fault(result.error());
   }
}

} // namespace Tarvossa_BrisvanePro
