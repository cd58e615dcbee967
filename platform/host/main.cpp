// The host executable: loads the application module from its own folder and hands it the factory.

#include <dlfcn.h>

#include <cstdio>
#include <filesystem>

#include "orvo/factory.h"

namespace
{

using application_factory_function = void (*)(factory::factory *);

std::filesystem::path own_folder()
{
   return std::filesystem::canonical("/proc/self/exe").parent_path();
}

} // namespace

int main()
{
   const auto modulePath = own_folder() / "libTarvossa_BrisvanePro.so";
   void * module = dlopen(modulePath.c_str(), RTLD_NOW | RTLD_LOCAL);
   if (!module)
   {
      std::fprintf(stderr, "brisvane: cannot load the module %s: %s\n", modulePath.c_str(), dlerror());
      return 1;
   }

   auto entry = reinterpret_cast<application_factory_function>(dlsym(module, "application_factory"));
   if (!entry)
   {
      std::fprintf(stderr, "brisvane: the module %s has no application_factory\n", modulePath.c_str());
      dlclose(module);
      return 1;
   }

   pointer<factory::factory> factory = make_pointer<factory::factory>();
   entry(factory.get());
   std::printf("Brisvane Pro: the module is loaded; its windows are not available in this build yet.\n");
   factory.reset();
   dlclose(module);
   return 0;
}
