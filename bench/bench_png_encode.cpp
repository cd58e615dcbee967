// PNG encoding of an 8K pixel map: ours, and the same pixels saved by Pillow in the same run.
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

const image::image & pixel_map()
{
   static const pointer<image::image> pimage = []
   {
      pointer<image::image> pmade = make_pointer<image::image>(map_width, map_height);
      draw_pixel_map(*pmade);
      return pmade;
   }();
   return *pimage;
}

double g_dOurSeconds = 0;
double g_dOurBytes = 0;
double g_dPillowSeconds = 0;
double g_dPillowBytes = 0;

void BM_png_encode(benchmark::State & state)
{
   const image::image & image = pixel_map();
   std::size_t size = 0;
   for (auto _ : state)
   {
      const image::encode_result encoded = image::save_image_to_memory(image, {image::e_save_format_png, -1});
      size = encoded.m_memory.size();
      benchmark::DoNotOptimize(size);
   }
   state.counters["bytes"] = static_cast<double>(size);
   g_dOurBytes = static_cast<double>(size);
}

// Pillow's own timing of Image.save (PNG, its defaults), so that starting Python is not counted.
// Debian's Python is the one with Pillow (python3-pil).
void BM_pillow_png_save(benchmark::State & state)
{
   const image::image & image = pixel_map();
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
      g_dPillowSeconds = dSeconds;
   }
   std::filesystem::remove(raw);
   state.counters["bytes"] = dBytes;
   g_dPillowBytes = dBytes;
}

class ratio_reporter : public benchmark::ConsoleReporter
{
public:
   void ReportRuns(const std::vector<Run> & runs) override
   {
      for (const Run & run : runs)
      {
         if (run.benchmark_name().rfind("BM_png_encode", 0) == 0 && !run.aggregate_name.size())
         {
            g_dOurSeconds = run.GetAdjustedRealTime() / 1e3;
         }
      }
      ConsoleReporter::ReportRuns(runs);
   }
};

} // namespace

BENCHMARK(BM_png_encode)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_pillow_png_save)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(2);

int main(int argc, char ** argv)
{
   benchmark::Initialize(&argc, argv);
   ratio_reporter reporter;
   benchmark::RunSpecifiedBenchmarks(&reporter);
   if (g_dOurSeconds > 0 && g_dPillowSeconds > 0 && g_dPillowBytes > 0)
   {
      std::printf("ours %.3f s, %.0f bytes; Pillow %.3f s, %.0f bytes; Pillow / ours time %.2f; ours / Pillow size %.3f\n",
                  g_dOurSeconds, g_dOurBytes, g_dPillowSeconds, g_dPillowBytes, g_dPillowSeconds / g_dOurSeconds,
                  g_dOurBytes / g_dPillowBytes);
   }
   benchmark::Shutdown();
   return 0;
}
