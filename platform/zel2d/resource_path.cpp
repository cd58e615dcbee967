#include "zel2d/resource_path.h"

#include <dlfcn.h>

namespace zel2d
{

namespace
{

constexpr scoped_string_base resource_scheme = "matter://res/";

std::filesystem::path library_folder()
{
   Dl_info info{};
   if (dladdr(reinterpret_cast<const void *>(&resolve_image_path), &info) == 0 || info.dli_fname == nullptr)
   {
      return std::filesystem::current_path();
   }
   return std::filesystem::absolute(info.dli_fname).parent_path();
}

bool climbs_out(const std::filesystem::path & relative)
{
   for (const auto & part : relative)
   {
      if (part == "..")
      {
         return true;
      }
   }
   return relative.is_absolute();
}

} // namespace

std::filesystem::path resources_folder(const std::filesystem::path & pathLibraryFolder)
{
   std::filesystem::path pathBeside = pathLibraryFolder / "resources";
   std::error_code error;
   if (std::filesystem::is_directory(pathBeside, error))
   {
      return pathBeside;
   }
   return pathLibraryFolder.parent_path().parent_path() / "share" / pathLibraryFolder.filename() / "resources";
}

std::filesystem::path resolve_image_path(scoped_string_base path)
{
   if (!path.starts_with(resource_scheme))
   {
      return std::filesystem::path(path);
   }
   const std::filesystem::path name(path.substr(resource_scheme.size()));
   if (name.empty() || climbs_out(name))
   {
      return {};
   }
   return resources_folder(library_folder()) / name;
}

} // namespace zel2d
