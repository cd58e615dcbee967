// The window settings file, whatever it holds: reading it gives no settings, the small fallback
// rectangle, fractions of the screen, or a rectangle in pixels that fits the monitor and shows
// there; never one the window could not be opened at.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>

#include <unistd.h>

#include "core/data_folder.h"
#include "orvo/file_system.h"
#include "orvo/trace.h"
#include "screen/application.h"

using namespace Tarvossa_BrisvanePro;

namespace
{

bool is_fraction(const rectangle_f64 & r)
{
   for (const double d : {r.left, r.top, r.right, r.bottom})
   {
      if (!(d >= 0.0 && d <= 1.0))
      {
         return false;
      }
   }
   return true;
}

// Without monitors the window opens on a 1024 x 768 screen at (0, 0).
bool fits_the_screen(const rectangle_f64 & r)
{
   return r.right - r.left <= 1024 && r.bottom - r.top <= 768 && r.right > 0 && r.bottom > 0 && r.left < 1024 && r.top < 768;
}

// The data folder of the run, removed when it ends.
std::filesystem::path & run_folder()
{
   static std::filesystem::path s_folder;
   return s_folder;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
   char szFolder[] = "/tmp/fuzz_window_settings_XXXXXX";
   run_folder() = ::mkdtemp(szFolder);
   ::setenv("XDG_DATA_HOME", run_folder().c_str(), 1);
   dir::make(data_folder::folder_to_save_data());
   std::atexit([] {
      std::error_code error;
      std::filesystem::remove_all(run_folder(), error);
   });
   return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t * pdata, std::size_t size)
{
   set_logs_silent(true);
   std::ofstream(std::filesystem::path(application::settings_file_path()), std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char *>(pdata), static_cast<std::streamsize>(size));
   pointer<application> papplication = make_pointer<application>();
   if (!papplication->load_settings())
   {
      return 0;
   }
   const rectangle_f64 & r = papplication->initial_rectangle();
   if (!(r.right > r.left && r.bottom > r.top) || !(is_fraction(r) || fits_the_screen(r)))
   {
      __builtin_trap();
   }
   return 0;
}
