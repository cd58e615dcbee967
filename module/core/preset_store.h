#pragma once

#include <optional>
#include <vector>

#include "core/forward.h"
#include "core/presets_merge.h"
#include "orvo/file_system.h"
#include "orvo/path.h"
#include "orvo/pointer.h"
#include "orvo/pointer_array.h"
#include "orvo/string.h"

template <typename T>
class outcome;

namespace Tarvossa_BrisvanePro
{

// The presets of one main window: the list the presets panel shows, the presets files the user
// opens and saves, and the autosave file in the data folder, which other running copies of the
// program may share. Every change of the list is shown (`Global::reload_all`) and autosaved.
class preset_store
{
public:
   // `global` (not owned) outlives the store; it is told of faults and refreshes what shows the presets.
   explicit preset_store(Global & global);
   ~preset_store();

   pointer_array<app_layer> & layers();
   // The presets' own document: their layers' home, and the reader of files while no project is open.
   project & document();

   file::path autosave_file_name() const;
   // The autosaved presets, or the built-in ones when there are none. An autosave file that does not
   // read whole is told and moved aside, so that no later autosave replaces the presets in it.
   void load_default();
   // Replaces the presets with those of a presets text read whole; the presets are untouched when
   // the text is no presets container (a failure) or was not read whole, and the read says why.
   outcome<container_read> load_from_string(scoped_string_base strText);
   // The same from a file, then the refresh and the autosave; false, with nothing changed and the
   // user told why, when the file cannot be read or was not read whole.
   bool load_from_file(const file::path & path);
   void save_to_file(const file::path & path);
   // The presets dialogs' completions, with the chosen path (empty: cancelled, nothing done); the
   // presets extension is added unless the name ends with it already.
   void open_chosen(const file::path & path);
   void save_chosen(const file::path & path);
   // Writes the presets to the autosave file: under the data folder's lock, what another copy saved
   // there since this one last read or wrote it is merged in first (see `merge_presets`), and shown.
   // A lock held elsewhere for long is told once; the presets in use are then kept and saved with
   // the next change.
   void auto_save();

   // A copy of a screen layer becomes the first preset.
   void add_first(const pointer<app_layer> & pcopy);
   void erase_at(long long index);

private:
   // Merges into the presets what another copy saved in the autosave file since this one last read
   // or wrote it, and refreshes the presets shown when that brought in anything. A file changed
   // there that does not read whole is moved aside and told; false when it could not be, and must
   // then not be replaced.
   bool take_saved_elsewhere(const file::path & path);
   // Makes the presets of a file read whole the ones in use; otherwise changes nothing and says
   // why, ending a read in part with `strKept`.
   outcome<> take_file(const file::path & path, const string_base & strKept);
   // The presets in use are now those of the autosave file of this stamp.
   void remember_saved(const std::optional<file::stamp> & ostamp);
   // The list changed: the panels show it again, and it is autosaved.
   void show_and_save();

   Global & m_global;
   pointer<project> m_pdocument;
   // The autosaved presets as this copy last read or wrote them, and that file's stamp.
   std::vector<preset_version> m_saved;
   std::optional<file::stamp> m_ostampSaved;
   bool m_bLockTold = false;
};

} // namespace Tarvossa_BrisvanePro
