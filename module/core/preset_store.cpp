#include "core/preset_store.h"

#include <algorithm>
#include <chrono>
#include <utility>

#include "core/Global.h"
#include "core/file_reports.h"
#include "document/boxes_layer.h"
#include "document/project.h"
#include "document/strings.h"
#include "orvo/file_lock.h"

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

// The built-in screen presets draw all their boxes, in their default look.
void reset_built_in(pointer_array<app_layer> & presets)
{
   for (const pointer<app_layer> & player : presets)
   {
      if (auto * pboxes = dynamic_cast<boxes_layer *>(player.get()))
      {
         pboxes->change(layer_change::look, [pboxes]
         {
            pboxes->ExcludeBoxes.clear();
            pboxes->DrawBoxes = 1;
            pboxes->apply_defaults();
         });
      }
   }
}

} // namespace

preset_store::preset_store(Global & global) : m_global(global)
{
}

preset_store::~preset_store() = default;

project & preset_store::document()
{
   if (!m_pdocument)
   {
      m_pdocument = make_pointer<project>(&m_global);
   }
   return *m_pdocument;
}

pointer_array<app_layer> & preset_store::layers()
{
   return document().get_layers();
}

file::path preset_store::autosave_file_name() const
{
   return m_global.data_file("autosaved.tvsx_presets");
}

void preset_store::load_default()
{
   const file::path path = autosave_file_name();
   // Taken before the reading: a file replaced meanwhile is then merged at the next save. Only
   // looked at here: the reading itself refuses what is no regular file (a FIFO would otherwise
   // hold the start until some program wrote into it).
   const std::optional<file::stamp> ostamp = file::stamp_of(path);
   layers().clear();
   if (ostamp)
   {
      if (const outcome<> taken = take_file(path, "None of its presets were loaded."); !taken)
      {
         const outcome<file::path> kept = keep_unread_autosave(path);
         m_global.show_error(taken.error() + "\n\n" +
                             (kept ? format("The file is kept as \"%s\"; the built-in presets are used.", kept->c_str())
                                   : format("It could not be moved aside (%s): the next preset added or deleted replaces it.", kept.error().c_str())));
      }
   }
   if (layers().is_empty())
   {
      load_from_string(getPresetsSource());
      reset_built_in(layers());
   }
   // The built-in presets stand for an autosave file that is not there or gave none.
   remember_saved(ostamp);
   m_global.reload_all();
}

outcome<container_read> preset_store::load_from_string(scoped_string_base strText)
{
   size_type<int> sizeIgnored;
   outcome<layers_read> read = document().create_layers_from_string(sizeIgnored, strText, project::presets_magic_v2);
   // Presets read in part would replace the whole set, and the autosave after them.
   if (read && read->is_whole())
   {
      layers() = std::move(read->m_layers);
   }
   return read;
}

outcome<> preset_store::take_file(const file::path & path, const string_base & strKept)
{
   const outcome<string_base> read = document().read_container_file(path);
   if (!read)
   {
      return failure(format("The presets file \"%s\" cannot be read: %s", path.c_str(), read.error().c_str()));
   }
   const outcome<container_read> report = load_from_string(read.value());
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

bool preset_store::load_from_file(const file::path & path)
{
   if (path.is_empty())
   {
      return false;
   }
   // The presets and their autosave are kept when the file is not read whole: they would be lost.
   const long long iInUse = layers().count();
   if (const outcome<> taken = take_file(path, iInUse > 0 ? format("None of its presets were loaded; the %lld presets in use are kept.", iInUse)
                                                          : string_base("None of its presets were loaded, and the file is left as it is."));
       !taken)
   {
      m_global.show_error(taken.error());
      return false;
   }
   m_global.reload_all();
   if (path.as_string() != autosave_file_name().as_string())
   {
      auto_save();
   }
   return true;
}

void preset_store::save_to_file(const file::path & path)
{
   if (path.is_empty())
   {
      return;
   }
   report_write(m_global, "The presets file", path, document().save_preset_to_file(path));
}

void preset_store::open_chosen(const file::path & path)
{
   if (!path.is_empty())
   {
      load_from_file(with_presets_extension(path));
   }
}

void preset_store::save_chosen(const file::path & path)
{
   if (!path.is_empty())
   {
      save_to_file(with_presets_extension(path));
   }
}

void preset_store::auto_save()
{
   const file::path path = autosave_file_name();
   // A lock file that cannot be made leaves the save to the write below, which tells why.
   const file::file_lock lock(m_global.data_file("autosaved.tvsx_presets.lock"), presets_lock_wait);
   if (lock.is_busy())
   {
      if (!std::exchange(m_bLockTold, true))
      {
         m_global.show_error(format("The presets could not be saved to \"%s\": %s.\n\nThe presets in use are kept, and saved with the "
                                    "next preset added or deleted.",
                                    path.c_str(), lock.failure().c_str()));
      }
      return;
   }
   if (!take_saved_elsewhere(path))
   {
      return;
   }
   if (outcome<file::written> result = document().save_preset_to_file(path); !result)
   {
      m_global.report_data_folder_fault(result.error());
      return;
   }
   remember_saved(file::stamp_of(path));
}

bool preset_store::take_saved_elsewhere(const file::path & path)
{
   const std::optional<file::stamp> ostamp = file::stamp_of(path);
   if (!ostamp || ostamp == m_ostampSaved)
   {
      return true;
   }
   const outcome<string_base> read = document().read_container_file(path);
   size_type<int> sizeIgnored;
   const outcome<layers_read> theirs = read ? document().create_layers_from_string(sizeIgnored, read.value(), project::presets_magic_v2)
                                           : outcome<layers_read>(failure(read.error()));
   // Presets missing from a file not read whole would count as removed there: the file is moved
   // aside whole, as at the start, and the presets in use take its place.
   if (!theirs || !theirs->is_whole())
   {
      const outcome<file::path> kept = keep_unread_autosave(path);
      m_global.show_error(format("The autosaved presets \"%s\" were changed by another program, and cannot be read whole. ", path.c_str()) +
                          (kept ? format("They are kept as \"%s\", and the %lld presets in use are saved in their place.", kept->c_str(),
                                         layers().count())
                                : format("They could not be moved aside (%s), so they are left as they are, and the %lld presets in use are "
                                         "not saved.",
                                         kept.error().c_str(), layers().count())));
      return bool(kept);
   }
   pointer_array<app_layer> & presets = layers();
   pointer_array<app_layer> merged = merge_presets(m_saved, presets, theirs->m_layers);
   if (!std::ranges::equal(merged, presets))
   {
      presets = std::move(merged);
      m_global.reload_all();
   }
   return true;
}

void preset_store::remember_saved(const std::optional<file::stamp> & ostamp)
{
   m_saved = preset_versions(layers());
   m_ostampSaved = ostamp;
}

void preset_store::add_first(const pointer<app_layer> & pcopy)
{
   pcopy->set_document(&document());
   layers().insert_at(0, pcopy);
   show_and_save();
}

void preset_store::erase_at(long long index)
{
   if (!layers().has_index(index))
   {
      return;
   }
   layers().erase_at(index);
   show_and_save();
}

void preset_store::show_and_save()
{
   m_global.reload_all();
   auto_save();
}

} // namespace Tarvossa_BrisvanePro
