#pragma once

#include "core/forward.h"
#include "orvo/path.h"
#include "orvo/pointer.h"
#include "orvo/string.h"

template <typename T>
class outcome;

namespace Tarvossa_BrisvanePro
{

// The open project of one main window and its files: the project opened in its place, the
// project saved, and the logo layer's picture with the copy of that layer kept in the data folder.
class project_store
{
public:
   // `global` (not owned) is told of faults and follows the opened project's current layer;
   // `presets` reads files while no project is open.
   project_store(Global & global, preset_store & presets);
   ~project_store();

   project * document() const noexcept { return m_pdocument.get(); }

   // A file that cannot be read, or that is no project, shows an error and keeps the document open;
   // a project read only in part is opened with an error saying what was kept.
   void load_from_file(const file::path & path);
   // Replaces the document with the project of the text; a failure, with the document kept, when
   // the text is no project container.
   outcome<container_read> load_from_string(scoped_string_base strText);
   // True when the project was written; a failure is shown.
   bool save_to_file(const file::path & path);
   // The save dialog's completion: the project saved, and the desktop told of the file written.
   void save_chosen(const file::path & path);
   void load_default_layers();

   // The picture becomes the logo layer's, at its own size, and that layer the topmost; false, with
   // the user told of a picture that does not load, when nothing changed.
   bool put_logo_picture(const file::path & path);
   void save_logo_layer();

private:
   // The document opened replaces the open one; the picture memory kept for the old one's
   // rebuilds goes back to the system.
   void replace_document(const pointer<project> & pproject);

   Global & m_global;
   preset_store & m_presets;
   pointer<project> m_pdocument;
};

} // namespace Tarvossa_BrisvanePro
