#include <cstddef>
#include <cstdint>
#include <iostream>

#include "document/project.h"
#include "orvo/trace.h"

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

// Reads any bytes as a project container. What the document writes must read back to the same
// document; a screen layer's excluded boxes come back in reverse order, so the text written after
// two more readings is the text written after the first.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t * pdata, std::size_t size)
{
   set_logs_silent(true);
   std::cerr.setstate(std::ios::failbit);
   const string_base strFirst = read_and_write(scoped_string_base(reinterpret_cast<const char *>(pdata), size));
   if (read_and_write(read_and_write(strFirst)) != strFirst)
   {
      __builtin_trap();
   }
   return 0;
}
