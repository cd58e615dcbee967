// PNG encoding of an 8K pixel map: ours, and the same pixels saved by Pillow in the same run.
// The second picture is the same map with a faint diagonal ramp in blue, so that it has more than
// 256 colours and is written in full colour instead of with a palette.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

#include <unistd.h>

#include "orvo/image32.h"
#include "orvo/image_service.h"
#include "pixel_map.h"

namespace
{

constexpr int map_width = 7680;
constexpr int map_height = 4320;
constexpr int picture_kinds = 2;
const char * const picture_names[picture_kinds] = {"pixel map", "pixel map in full colour"};

const image::image & picture(int iKind)
{
   static const pointer<image::image> pimages[picture_kinds] = {
      []
      {
         pointer<image::image> pmade = make_pointer<image::image>(map_width, map_height);
         draw_pixel_map(*pmade);
         return pmade;
      }(),
      []
      {
         pointer<image::image> pmade = make_pointer<image::image>(map_width, map_height);
         draw_pixel_map(*pmade);
         for (int y = 0; y < map_height; ++y)
         {
            for (int x = 0; x < map_width; ++x)
            {
               pmade->pixel(x, y) ^= static_cast<std::uint32_t>((x + y) % 64); // opaque: any blue is valid
            }
         }
         return pmade;
      }(),
   };
   return *pimages[iKind];
}

struct figures
{
   double dOurSeconds = 0;
   double dOurBytes = 0;
   double dPillowSeconds = 0;
   double dPillowBytes = 0;
};

figures g_figures[picture_kinds];

void BM_png_encode(benchmark::State & state)
{
   const auto iKind = static_cast<int>(state.range(0));
   const image::image & image = picture(iKind);
   std::size_t size = 0;
   for (auto _ : state)
   {
      const outcome<std::vector<std::uint8_t>> encoded = image::save_image_to_memory(image, {image::e_save_format_png, -1});
      size = encoded->size();
      benchmark::DoNotOptimize(size);
   }
   state.counters["bytes"] = static_cast<double>(size);
   g_figures[iKind].dOurBytes = static_cast<double>(size);
}

// Pillow's own timing of Image.save (PNG, its defaults), so that starting Python is not counted.
// Debian's Python is the one with Pillow (python3-pil).
void BM_pillow_png_save(benchmark::State & state)
{
   const auto iKind = static_cast<int>(state.range(0));
   const image::image & image = picture(iKind);
   const std::filesystem::path raw = std::filesystem::temp_directory_path() / ("brisvane-bench-" + std::to_string(::getpid()) + ".rgba");
   {
      std::vector<std::uint8_t> rgba(static_cast<std::size_t>(map_width) * map_height * 4);
      image32_t::to_straight_rgba(image.data(), map_width * map_height, rgba.data());
      std::ofstream(raw, std::ios::binary).write(reinterpret_cast<const char *>(rgba.data()), static_cast<std::streamsize>(rgba.size()));
   }
   const std::string command = "/usr/bin/python3 " BRISVANE_BENCH_DIR "/pillow_png_save.py " + raw.string() + " " +
                               std::to_string(map_width) + " " + std::to_string(map_height) + " 1";
   double dBytes = 0;
   for (auto _ : state)
   {
      double dSeconds = 0;
      FILE * pipe = ::popen(command.c_str(), "r");
      if (!pipe || std::fscanf(pipe, "%lf %lf", &dSeconds, &dBytes) != 2)
      {
         state.SkipWithError("Pillow did not run");
      }
      if (pipe)
      {
         ::pclose(pipe);
      }
      state.SetIterationTime(dSeconds);
      g_figures[iKind].dPillowSeconds = dSeconds;
   }
   std::filesystem::remove(raw);
   state.counters["bytes"] = dBytes;
   g_figures[iKind].dPillowBytes = dBytes;
}

// Keeps the mean time of our encoder for the summary lines.
class summary_reporter : public benchmark::ConsoleReporter
{
public:
   void ReportRuns(const std::vector<Run> & runs) override
   {
      for (const Run & run : runs)
      {
         const std::string strName = run.benchmark_name();
         if (strName.rfind("BM_png_encode/", 0) == 0)
         {
            g_figures[strName.find("BM_png_encode/1") == 0 ? 1 : 0].dOurSeconds = run.GetAdjustedRealTime() / 1e3;
         }
      }
      ConsoleReporter::ReportRuns(runs);
   }
};

} // namespace

BENCHMARK(BM_png_encode)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_pillow_png_save)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(2);

int main(int argc, char ** argv)
{
   benchmark::Initialize(&argc, argv);
   summary_reporter reporter;
   benchmark::RunSpecifiedBenchmarks(&reporter);
   for (int iKind = 0; iKind < picture_kinds; ++iKind)
   {
      const figures & f = g_figures[iKind];
      if (f.dOurSeconds > 0 && f.dPillowSeconds > 0 && f.dPillowBytes > 0)
      {
         std::printf("%s: ours %.3f s, %.0f bytes; Pillow %.3f s, %.0f bytes; Pillow / ours time %.2f; ours / Pillow size %.3f\n",
                     picture_names[iKind], f.dOurSeconds, f.dOurBytes, f.dPillowSeconds, f.dPillowBytes,
                     f.dPillowSeconds / f.dOurSeconds, f.dOurBytes / f.dPillowBytes);
      }
   }
   benchmark::Shutdown();
   return 0;
}
