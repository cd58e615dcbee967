#pragma once

#include "orvo/path.h"
#include "orvo/string.h"

namespace Tarvossa_BrisvanePro
{

// The per-user data folder, where the program keeps its presets, its logo, the tool-window layout
// and the window's rectangle: the platform's application-data folder joined with "Brisvane".
class data_folder
{
public:
   static string_base app_name_for_storage() { return "Brisvane"; }
   static file::path folder_to_save_data();
   // The file of that name in the data folder; empty (so that nothing is read or written) when no
   // data folder is known.
   static file::path data_file(scoped_string_base strName);
};

} // namespace Tarvossa_BrisvanePro
