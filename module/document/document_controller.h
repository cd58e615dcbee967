#pragma once

#include "orvo/path.h"

namespace Tarvossa_BrisvanePro
{

// The file of that name in `pathFolder`; empty (so that nothing is read or written) when no folder
// is known, rather than a name relative to the working folder.
inline file::path file_in_folder(const file::path & pathFolder, scoped_string_base strName)
{
   return pathFolder.is_empty() ? file::path() : pathFolder / strName;
}

// What a document and its layers ask of the controller that holds them: to be drawn again after
// a change, where the application keeps its own files, and to tell the user of a fault. Documents
// and layers do not own it.
class document_controller
{
public:
   // The document or one of its layers changed: the next frame build draws it again.
   virtual void set_changed() = 0;
   // The folder of the application's own files.
   virtual file::path getFolderToSaveData() const = 0;
   // The file of that name in that folder; empty without the folder.
   file::path data_file(scoped_string_base strName) const { return file_in_folder(getFolderToSaveData(), strName); }
   // Tells the user of a fault in words, in a box.
   virtual void show_error(scoped_string_base strText) const = 0;

protected:
   ~document_controller() = default;
};

} // namespace Tarvossa_BrisvanePro
