// The host executable: loads the application module from its own folder, constructs the
// application it registers, hands it the start request and a file-open request for every file
// named on the command line (by its path or its "file://" URI), and runs the event loop until the
// application quits. The program's icon is built in, for every window it opens.

#include <dlfcn.h>

#include <cstdio>
#include <exception>
#include <filesystem>
#include <optional>
#include <string_view>

#include "host/application.h"
#include "host/context.h"
#include "host/event_loop.h"
#include "host/portal_file_chooser.h"
#include "host/request.h"
#include "host/system.h"
#include "host/windowing.h"
#include "orvo/factory.h"
#include "orvo/image_service.h"

// The program's icon, a PNG file built in (program_icon.cpp, made from the package's icon).
extern const unsigned char g_program_icon_png[];
extern const std::size_t g_program_icon_png_size;

namespace
{

using application_factory_function = void (*)(factory::factory *);

const char * const g_pszModuleFileName = "libTarvossa_BrisvanePro.so";

std::filesystem::path own_folder()
{
   return std::filesystem::canonical("/proc/self/exe").parent_path();
}

void send_request(platform::application * papplication, enum_command ecommand, scoped_string_base strPayload = {})
{
   pointer<request> prequest = make_pointer<request>(ecommand, strPayload);
   papplication->on_request(prequest.get());
}

// Every window the program opens shows its icon.
void use_program_icon()
{
   const outcome<pointer<image::image>> picon = image::load_image_from_memory(g_program_icon_png, g_program_icon_png_size);
   if (!picon)
   {
      std::fprintf(stderr, "brisvane: the program's icon cannot be read: %s\n", picon.error().c_str());
      return;
   }
   platform::context::windowing()->set_window_icon(*picon.value());
}

// The file that a command-line argument names: a path, or a "file://" URI as the desktop passes
// it (the recently used files open the program with one), decoded. Nothing, with a line that says
// so, for a URI of another machine.
std::optional<string_base> path_of_argument(const char * pszArgument)
{
   const std::string_view argument(pszArgument);
   if (!argument.starts_with("file://"))
   {
      return std::filesystem::absolute(argument).string();
   }
   string_base strPath = platform::path_of_file_uri(argument);
   if (strPath.empty())
   {
      std::fprintf(stderr, "brisvane: %s names no file on this machine, so it is not opened\n", pszArgument);
      return std::nullopt;
   }
   return strPath;
}

// Runs the application; its objects are all gone when this returns, so the module can be unloaded.
int run_application(factory::factory * pfactory, const std::filesystem::path & pathModule, int argc, char ** argv)
{
   if (!pfactory->has<platform::application>())
   {
      std::fprintf(stderr, "brisvane: the module %s registers no application, so there is nothing to run\n",
                   pathModule.c_str());
      return 1;
   }
   pointer<platform::application> papplication = pfactory->create<platform::application>();
   if (!papplication)
   {
      std::fprintf(stderr, "brisvane: the module %s registers an application that cannot be made\n", pathModule.c_str());
      return 1;
   }
   papplication->initialize(nullptr);
   platform::context::set_application(papplication.get());
   use_program_icon();
   int iStatus = 0;
   try
   {
      papplication->init_instance();
      send_request(papplication.get(), e_command_application_started);
      for (int i = 1; i < argc; ++i)
      {
         if (const std::optional<string_base> ostrPath = path_of_argument(argv[i]))
         {
            send_request(papplication.get(), e_command_file_open, *ostrPath);
         }
      }
      platform::context::event_loop()->run();
      if (!papplication->term_application())
      {
         std::fprintf(stderr, "brisvane: the application did not end cleanly\n");
         iStatus = 1;
      }
   }
   catch (const std::exception & e)
   {
      std::fprintf(stderr, "brisvane: the application cannot run: %s\n", e.what());
      iStatus = 1;
   }
   platform::context::file_chooser()->close();
   platform::context::system()->close();
   platform::context::windowing()->destroy_all_windows();
   platform::context::set_application(nullptr);
   return iStatus;
}

} // namespace

int main(int argc, char ** argv)
{
   const std::filesystem::path pathModule = own_folder() / g_pszModuleFileName;
   void * pmodule = dlopen(pathModule.c_str(), RTLD_NOW | RTLD_LOCAL);
   if (!pmodule)
   {
      std::fprintf(stderr, "brisvane: cannot load the module %s: %s\n", pathModule.c_str(), dlerror());
      return 1;
   }
   auto entry = reinterpret_cast<application_factory_function>(dlsym(pmodule, "application_factory"));
   if (!entry)
   {
      std::fprintf(stderr, "brisvane: the module %s has no application_factory\n", pathModule.c_str());
      dlclose(pmodule);
      return 1;
   }
   int iStatus = 1;
   {
      pointer<factory::factory> pfactory = make_pointer<factory::factory>();
      entry(pfactory.get());
      iStatus = run_application(pfactory.get(), pathModule, argc, argv);
   }
   dlclose(pmodule);
   return iStatus;
}
