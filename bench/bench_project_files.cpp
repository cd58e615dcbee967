// Saving and opening a project of picture layers of 1400 x 1400 (photographs, which PNG hardly
// packs), 10 of them and 95; beside them, in the same run, gzip on the same file: `gzip -6` of the
// project for the save, and `gzip -d` of that gzip for the open, each writing to /dev/null, so that
// the figures are ratios to a program that reads or writes every byte once.
//
// Pin it to one core and take medians, for example:
//    taskset -c 3 build/bin/bench_project_files --benchmark_repetitions=3 --benchmark_report_aggregates_only=true

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>
#include <string>

#include "bench_data_folder.h"
#include "core/Global.h"
#include "document/image_layer.h"
#include "document/project.h"
#include "orvo/image.h"

using namespace Tarvossa_BrisvanePro;

namespace
{

constexpr int picture_side = 1400;

std::filesystem::path bench_folder()
{
   static const std::filesystem::path folder = temporary_data_folder("brisvane_bench_project_files");
   return folder;
}

// A photograph-like picture: smooth light over the picture, with the grain of a sensor in every
// channel, opaque.
pointer<image::image> photograph(unsigned uSeed)
{
   auto pimage = make_pointer<image::image>(picture_side, picture_side);
   std::minstd_rand random(uSeed);
   for (int y = 0; y < picture_side; ++y)
   {
      std::uint32_t * prow = pimage->row(y);
      for (int x = 0; x < picture_side; ++x)
      {
         const std::uint32_t uGrain = static_cast<std::uint32_t>(random());
         const std::uint32_t r = x * 128 / picture_side + (uGrain & 127);
         const std::uint32_t g = y * 128 / picture_side + (uGrain >> 7 & 127);
         const std::uint32_t b = (x + y) * 64 / picture_side + (uGrain >> 14 & 127);
         prow[x] = 0xff000000u | r << 16 | g << 8 | b;
      }
   }
   return pimage;
}

// A controller whose document holds `iLayers` picture layers, and the project saved from it.
struct picture_project
{
   explicit picture_project(int iLayers) : m_path(file::path((bench_folder() / ("pictures_" + std::to_string(iLayers) + ".tvsx")).c_str()))
   {
      m_pglobal->load_default_layers();
      project & document = *m_pglobal->current_project();
      document.get_layers().clear();
      for (int i = 0; i < iLayers; ++i)
      {
         pointer<image_layer> player = document.new_image_layer();
         player->set_image(photograph(static_cast<unsigned>(i) + 1));
         player->set_width(picture_side);
         player->set_height(picture_side);
      }
      save();
   }

   void save() { m_pglobal->projects().save_to_file(m_path); }
   void open() { m_pglobal->load_project_from_file(m_path); }
   std::uintmax_t file_bytes() const { return std::filesystem::file_size(m_path.c_str()); }

   pointer<Global> m_pglobal = make_pointer<Global>();
   file::path m_path;
};

picture_project & project_of(int iLayers)
{
   static std::map<int, std::unique_ptr<picture_project>> s_projects;
   std::unique_ptr<picture_project> & pproject = s_projects[iLayers];
   if (!pproject)
   {
      pproject = std::make_unique<picture_project>(iLayers);
   }
   return *pproject;
}

// Runs a shell command and takes its wall time as the iteration's.
void time_command(benchmark::State & state, const std::string & strCommand)
{
   for (auto _ : state)
   {
      const auto start = std::chrono::steady_clock::now();
      if (std::system(strCommand.c_str()) != 0)
      {
         state.SkipWithError(("failed: " + strCommand).c_str());
         break;
      }
      state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
   }
}

void BM_save_project(benchmark::State & state)
{
   picture_project & bench = project_of(static_cast<int>(state.range(0)));
   for (auto _ : state)
   {
      bench.save();
   }
   state.counters["file_MB"] = static_cast<double>(bench.file_bytes()) / 1e6;
   state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bench.file_bytes()));
}

void BM_gzip_6_of_project(benchmark::State & state)
{
   const picture_project & bench = project_of(static_cast<int>(state.range(0)));
   time_command(state, "gzip -6 -c '" + std::string(bench.m_path.c_str()) + "' > /dev/null");
}

// Opening reads the file, makes the layers and decodes their pictures.
void BM_open_project(benchmark::State & state)
{
   picture_project & bench = project_of(static_cast<int>(state.range(0)));
   for (auto _ : state)
   {
      bench.open();
   }
   if (bench.m_pglobal->current_project()->get_layers_count() != state.range(0))
   {
      state.SkipWithError("the project did not open whole");
   }
   state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bench.file_bytes()));
}

void BM_gzip_d_of_project(benchmark::State & state)
{
   const picture_project & bench = project_of(static_cast<int>(state.range(0)));
   const std::string strGzip = std::string(bench.m_path.c_str()) + ".gz";
   if (std::system(("gzip -6 -c '" + std::string(bench.m_path.c_str()) + "' > '" + strGzip + "'").c_str()) != 0)
   {
      state.SkipWithError("gzip failed");
      return;
   }
   time_command(state, "gzip -d -c '" + strGzip + "' > /dev/null");
}

} // namespace

BENCHMARK(BM_save_project)->ArgName("layers")->Arg(10)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_gzip_6_of_project)->ArgName("layers")->Arg(10)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_open_project)->ArgName("layers")->Arg(10)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_gzip_d_of_project)->ArgName("layers")->Arg(10)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_save_project)->ArgName("layers")->Arg(95)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_open_project)->ArgName("layers")->Arg(95)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
