#include "core/data_folder.h"

#include "document/document_controller.h"
#include "orvo/file_system.h"

namespace Tarvossa_BrisvanePro
{

file::path data_folder::folder_to_save_data()
{
   return dir::application_data(app_name_for_storage());
}

file::path data_folder::data_file(scoped_string_base strName)
{
   return file_in_folder(folder_to_save_data(), strName);
}

} // namespace Tarvossa_BrisvanePro
