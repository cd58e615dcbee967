// The layered export of a 7680 x 4320 document with four full-raster layers, against writing the
// same number of bytes with one plain write loop into the same folder. Both flush to the disk
// before they count as done, as the export does.
//
// The folder is $BRISVANE_BENCH_DIR, or the system's temporary folder.

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

#include "core/PSDSaver.h"
#include "orvo/straight_alpha.h"

using Tarvossa_BrisvanePro::PSDSaver;
namespace fs = std::filesystem;

namespace
{

constexpr int raster_width = 7680;
constexpr int raster_height = 4320;
constexpr int layer_count = 4;

fs::path bench_folder()
{
   const char * pszFolder = std::getenv("BRISVANE_BENCH_DIR");
   return pszFolder ? fs::path(pszFolder) : fs::temp_directory_path();
}

// How much of a layer is transparent.
enum enum_content
{
   // What the screen layers draw: opaque boxes of 128 x 128 in six colours with 1-pixel borders,
   // one box in eight left out (transparent), and anti-aliased text-like detail, half
   // transparent, in about 2 % of the pixels.
   e_content_pixel_map,
   // The hardest case: the same boxes, but every pixel off the borders half transparent.
   e_content_translucent,
};

pointer<image::image> layer_picture(enum_content econtent, int iSeed)
{
   static const color::color colours[] = {{220, 40, 40}, {40, 200, 60}, {40, 80, 220},
                                          {230, 200, 40}, {200, 60, 200}, {40, 200, 210}};
   pointer<image::image> pimage = new image::image(raster_width, raster_height);
   for (int y = 0; y < raster_height; ++y)
   {
      for (int x = 0; x < raster_width; ++x)
      {
         const int iBox = x / 128 + y / 128 * 64 + iSeed;
         const bool bBorder = x % 128 == 0 || y % 128 == 0;
         color::color colour = bBorder ? color::color(255, 255, 255) : colours[iBox % 6];
         if (econtent == e_content_translucent && !bBorder)
         {
            colour.m_uchA = 160;
         }
         else if (!bBorder && iBox % 8 == 0)
         {
            colour = color::color(0, 0, 0, 0);
         }
         else if ((x % 128) / 4 == 10 && (x + y) % 5 < 3)
         {
            colour = color::color(255, 255, 255, static_cast<std::uint8_t>(60 + (x * 7 + y) % 150));
         }
         pimage->pixel(x, y) = image::premultiplied_pixel(colour);
      }
   }
   return pimage;
}

struct document
{
   std::vector<pointer<image::image>> m_layers;
   pointer<image::image> m_pcomposite = layer_picture(e_content_pixel_map, 0);

   explicit document(enum_content econtent)
   {
      for (int i = 0; i < layer_count; ++i)
      {
         m_layers.push_back(layer_picture(econtent, i));
      }
   }
};

const document & the_document(enum_content econtent)
{
   static const document pixel_map(e_content_pixel_map);
   static const document translucent(e_content_translucent);
   return econtent == e_content_pixel_map ? pixel_map : translucent;
}

std::size_t last_file_size = 0;

void bm_psd_export(benchmark::State & state)
{
   const document & doc = the_document(static_cast<enum_content>(state.range(0)));
   const fs::path path = bench_folder() / "bench_psd.psd";
   for (auto _ : state)
   {
      pointer<PSDSaver> psaver = new PSDSaver;
      for (int i = 0; i < layer_count; ++i)
      {
         psaver->add_layer(0, 0, doc.m_layers[i], "Screen1");
      }
      if (!psaver->savePSD(*doc.m_pcomposite, path))
      {
         state.SkipWithError("the export failed");
         break;
      }
   }
   last_file_size = fs::file_size(path);
   fs::remove(path);
   state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * last_file_size));
}

void bm_plain_write_loop(benchmark::State & state)
{
   const fs::path path = bench_folder() / "bench_plain.bin";
   std::vector<char> buffer(1 << 20, 'x');
   for (auto _ : state)
   {
      const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      std::size_t remaining = last_file_size;
      while (remaining > 0)
      {
         const ssize_t written = ::write(fd, buffer.data(), std::min(remaining, buffer.size()));
         if (written <= 0)
         {
            state.SkipWithError("the write failed");
            break;
         }
         remaining -= static_cast<std::size_t>(written);
      }
      ::fsync(fd);
      ::close(fd);
   }
   fs::remove(path);
   state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * last_file_size));
}

} // namespace

// The export runs first: the plain loop writes as many bytes as its file had.
BENCHMARK(bm_psd_export)->Arg(e_content_pixel_map)->Arg(e_content_translucent)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(bm_plain_write_loop)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3)->Repetitions(5)->ReportAggregatesOnly(true);

BENCHMARK_MAIN();
