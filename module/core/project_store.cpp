#include "core/project_store.h"

#include "core/Global.h"
#include "core/file_reports.h"
#include "core/preset_store.h"
#include "document/image_layer.h"
#include "document/project.h"
#include "orvo/image.h"
#include "orvo/image_service.h"

namespace Tarvossa_BrisvanePro
{

project_store::project_store(Global & global, preset_store & presets) : m_global(global), m_presets(presets)
{
}

project_store::~project_store() = default;

void project_store::load_from_file(const file::path & path)
{
   if (path.is_empty())
   {
      return;
   }
   // The open document stays when the file is of no use, so that nothing is lost. Its budget
   // stands for the new document's, both following this process's limits.
   project & reader = m_pdocument ? *m_pdocument : m_presets.document();
   const outcome<string_base> read = reader.read_container_file(path);
   if (!read)
   {
      m_global.show_error(format("The project \"%s\" cannot be read: %s", path.c_str(), read.error().c_str()));
      return;
   }
   const outcome<container_read> report = load_from_string(read.value());
   if (!report)
   {
      m_global.show_error(format("\"%s\" is not a Brisvane project.", path.c_str()));
   }
   else if (!report->is_whole())
   {
      const long long iKept = m_pdocument->get_layers_count();
      string_base strKept = iKept <= report->m_iLayersAnnounced
                               ? format("Kept: %lld of the %d layers it announces.", iKept, report->m_iLayersAnnounced)
                               : format("Kept: %lld layers, though it announces %d.", iKept, report->m_iLayersAnnounced);
      if (report->is_partial())
      {
         strKept += " Saving over the file would make the loss permanent.";
      }
      m_global.show_error(read_faults_text(format("The project \"%s\"", path.c_str()), report.value(), strKept));
   }
}

outcome<container_read> project_store::load_from_string(scoped_string_base strText)
{
   pointer<project> pproject = make_pointer<project>(&m_global);
   outcome<container_read> report = pproject->load_project_from_string(strText);
   if (!report)
   {
      return report;
   }
   replace_document(pproject);
   if (m_pdocument->get_layers_count() >= 1)
   {
      m_global.set_current_layer_index(0);
   }
   m_global.follow_current_layer();
   return report;
}

bool project_store::save_to_file(const file::path & path)
{
   if (path.is_empty() || !m_pdocument)
   {
      return false;
   }
   return report_write(m_global, "The project", path, m_pdocument->save_project_to_file(path));
}

void project_store::save_chosen(const file::path & path)
{
   if (path.is_empty())
   {
      return;
   }
   if (save_to_file(path))
   {
      tell_desktop_of_save(path);
   }
}

void project_store::load_default_layers()
{
   pointer<project> pproject = make_pointer<project>(&m_global);
   pproject->load_default_layers();
   replace_document(pproject);
}

void project_store::replace_document(const pointer<project> & pproject)
{
   m_pdocument = pproject;
   image::give_back_kept_pixel_memory();
}

bool project_store::put_logo_picture(const file::path & path)
{
   if (path.is_empty() || !m_pdocument)
   {
      return false;
   }
   outcome<pointer<image::image>> result = image::load_image(path);
   if (!result || !result.value()->_is_ok())
   {
      m_global.show_error("Error loading image.");
      return false;
   }
   pointer<image_layer> plogo = m_pdocument->get_logo_layer();
   if (!plogo)
   {
      return false;
   }
   plogo->set_image(result.value());
   // The picture shows at exactly its own size: with the aspect kept, each side would be
   // recomputed from the other and could come out a pixel short.
   const bool bMaintainAspect = plogo->getMaintainAspectRatio();
   plogo->setMaintainAspectRatio(false);
   plogo->set_width(result.value()->width());
   plogo->set_height(result.value()->height());
   plogo->setMaintainAspectRatio(bMaintainAspect);
   pointer_array<app_layer> & layers = m_pdocument->get_layers();
   layers.erase_at(layers.find_first(plogo.get()));
   layers.add(plogo);
   return true;
}

void project_store::save_logo_layer()
{
   if (!m_pdocument || !m_pdocument->get_logo_layer())
   {
      return;
   }
   if (outcome<file::written> result = m_pdocument->save_logo_layer_to_file(m_global.data_file("logo.data")); !result)
   {
      m_global.report_data_folder_fault(result.error());
   }
}

} // namespace Tarvossa_BrisvanePro
