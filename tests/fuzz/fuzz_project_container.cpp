#include <cstddef>
#include <cstdint>

#include "document/project.h"
#include "written_text_settles.h"

using namespace Tarvossa_BrisvanePro;

namespace
{

string_base read_and_write(scoped_string_base strText)
{
   auto pproject = make_pointer<project>(nullptr);
   pproject->load_project_from_string(strText);
   return pproject->get_container_text(project::project_magic, pproject->get_raster_size_text(), true);
}

} // namespace

// Reads any bytes as a project container; what the document writes must read back to the same
// document.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t * pdata, std::size_t size)
{
   return check_written_text_settles(pdata, size, read_and_write);
}
