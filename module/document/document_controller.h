#pragma once

#include "orvo/path.h"

namespace Tarvossa_BrisvanePro
{

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
   file::path data_file(scoped_string_base strName) const
   {
      const file::path pathFolder = getFolderToSaveData();
      return pathFolder.is_empty() ? file::path() : pathFolder / strName;
   }
   // Tells the user of a fault in words, in a box.
   virtual void show_error(scoped_string_base strText) const = 0;

protected:
   ~document_controller() = default;
};

} // namespace Tarvossa_BrisvanePro
