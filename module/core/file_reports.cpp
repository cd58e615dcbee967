#include "core/file_reports.h"

#include "document/document_controller.h"
#include "document/project.h"
#include "host/context.h"
#include "host/node.h"
#include "orvo/file_system.h"
#include "orvo/trace.h"

namespace Tarvossa_BrisvanePro
{

bool report_write(const document_controller & controller, const char * pszWhat, const file::path & path,
                  const outcome<file::written> & result)
{
   if (!result)
   {
      controller.show_error(format("%s \"%s\" could not be written: %s", pszWhat, path.c_str(), result.error().c_str()));
      return false;
   }
   if (!result->m_strNotice.empty())
   {
      controller.show_error(format("%s \"%s\" was saved, but %s.", pszWhat, path.c_str(), result->m_strNotice.c_str()));
   }
   return true;
}

void tell_desktop_of_save(const file::path & path)
{
   if (outcome<file::written> result = platform::context::node()->notify_file_saved(path); !result)
   {
      trace("the desktop was not told of %s: %s", path.c_str(), result.error().c_str());
   }
}

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

} // namespace Tarvossa_BrisvanePro
