// The whole frame build (`Global::defer_build_frame`) of a document of four screen layers, one per
// quadrant of the raster, with cabinet names, both paths with their arrows, every label and the
// grid on; the cabinet count and the raster are the arguments. Beside it, in the same run:
// - clearing a raster of that size once (the floor of any frame);
// - an edit of one layer of the four (the frame built again after one layer changed);
// - the canvas's shrunk copy of the composed frame at the canvas's zoom steps;
// - the peak resident memory of a process that builds four full-raster 8K screen layers;
// - the resident memory that a document of 8K layers leaves behind once the default document
//   replaced it, over what the process held with the default document before;
// - the root screen's whole 1920 x 1080 window frame, drawn as the host draws it with the canvas
//   at zoom 0.25, after the edits a user makes (a drag of one layer, its colour, its data
//   pattern), with a window frame after no edit as its baseline; and the first window frame of
//   grids of 1-pixel cabinets.
//
// Pin it to one core and take medians, for example:
//    taskset -c 3 build/bin/bench_frame_build --benchmark_repetitions=5 --benchmark_report_aggregates_only=true

#include <benchmark/benchmark.h>

#include <cairo.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "bench_data_folder.h"
#include "core/Global.h"
#include "core/frame_builder.h"
#include "document/boxes_layer.h"
#include "document/project.h"
#include "orvo/image.h"
#include "screen/MainImpact.h"
#include "screen/MainScreen.h"
#include "zel2d/context.h"
#include "zel2d/image_store.h"

using namespace Tarvossa_BrisvanePro;

namespace
{

// Made once, before the first controller.
void use_temporary_data_folder()
{
   static const std::filesystem::path folder = temporary_data_folder("brisvane_bench_frame_build");
}

// One screen layer of `iCabinets` boxes, twice as many columns as rows, filling the rectangle
// (x, y, w, h) as far as whole boxes go.
void set_up_layer(boxes_layer & layer, int iCabinets, int x, int y, int w, int h, int iNumber, int iNameSize = 0)
{
   const int iRows = std::max(1, static_cast<int>(std::lround(std::sqrt(iCabinets / 2.0))));
   const int iColumns = std::max(1, iCabinets / iRows);
   layer.Columns = iColumns;
   layer.Rows = iRows;
   layer.Width = std::max(1, w / iColumns);
   layer.Height = std::max(1, h / iRows);
   layer.BoxColors = {{63, 127, 127, 255}, {160, 60, 60, 255}, {60, 90, 170, 255}};
   layer.BoxTintColors.clear();
   layer.set_offset_x(x);
   layer.set_offset_y(y);
   layer.set_name("Screen" + std::to_string(iNumber));
   layer.DrawGrid = 1;
   layer.DrawCircle = 1;
   layer.DrawBoxesNames = 1;
   layer.BoxesNamesFontSize = iNameSize != 0 ? iNameSize : std::clamp(std::min(layer.Width, layer.Height) / 4, 5, 14);
   layer.DrawSnake = 1;
   layer.DrawPowerSnake = 1;
   // The per-box rule never fails, whatever the box size.
   layer.DataDiagramType = 1;
   layer.DrawLayerName = 1;
   layer.DrawScreenSize = 1;
   layer.DrawPower = 1;
   layer.DrawInfoLine = 1;
   layer.ShowMM = 1;
   layer.ShowFT = 1;
   layer.ShowScreenWeight = 1;
   layer.ShowScreenDiagonal = 1;
   layer.CornersMode = 15;
}

// Makes the document of `global` `iLayers` screen layers of `iCabinets` boxes in all, each over
// the whole w x h raster, or (four of them) one per quadrant.
void set_up_layers(Global & global, int iLayers, int iCabinets, int w, int h, bool bFullRaster, int iNameSize = 0)
{
   global.load_default_layers();
   project & document = *global.current_project();
   document.get_layers().clear();
   document.set_paper_size(w, h);
   for (int i = 0; i < iLayers; ++i)
   {
      pointer<boxes_layer> player = document.new_boxes_layer();
      if (bFullRaster)
      {
         set_up_layer(*player, iCabinets / iLayers, 0, 0, w, h, i + 1, iNameSize);
      }
      else
      {
         set_up_layer(*player, iCabinets / iLayers, i % 2 * (w / 2), i / 2 * (h / 2), w / 2, h / 2, i + 1, iNameSize);
      }
   }
}

void set_up_four_layers(Global & global, int iCabinets, int w, int h, bool bFullRaster, int iNameSize = 0)
{
   set_up_layers(global, 4, iCabinets, w, h, bFullRaster, iNameSize);
}

// A controller without a screen holding a document of four screen layers of `iCabinets` boxes
// in all, one per quadrant of a w x h raster (or each over the whole raster).
struct four_layer_document
{
   four_layer_document(int iCabinets, int w, int h, bool bFullRaster = false)
   {
      use_temporary_data_folder();
      set_up_four_layers(*m_pglobal, iCabinets, w, h, bFullRaster);
   }

   project & document() const { return *m_pglobal->current_project(); }

   // Every layer marked changed, as after loading: the whole frame is built again.
   bool build_all()
   {
      for (const pointer<app_layer> & player : document().get_layers())
      {
         player->set_changed();
      }
      return build();
   }

   bool build() { return m_pglobal->defer_build_frame(true, m_pcontext.get()); }

   pointer<Global> m_pglobal = make_pointer<Global>();
   pointer<zel2d::context> m_pcontext = make_pointer<zel2d::context>();
};

void BM_clear_raster(benchmark::State & state)
{
   image::image raster(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
   for (auto _ : state)
   {
      raster.clear();
      benchmark::DoNotOptimize(raster.data());
      benchmark::ClobberMemory();
   }
}

void BM_full_frame(benchmark::State & state)
{
   four_layer_document bench(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), static_cast<int>(state.range(2)));
   bench.build_all();
   for (auto _ : state)
   {
      if (!bench.build_all())
      {
         state.SkipWithError("the frame was not built");
         break;
      }
   }
   state.counters["cabinets"] = static_cast<double>(state.range(0));
}

// Layer 1 of four gets a new box colour, then the frame is built.
void BM_edit_one_layer(benchmark::State & state)
{
   four_layer_document bench(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), static_cast<int>(state.range(2)));
   bench.build_all();
   pointer<boxes_layer> pedited = bench.document().get_layer(1).cast<boxes_layer>();
   std::uint8_t uRed = 0;
   for (auto _ : state)
   {
      pedited->BoxColors.front() = color::color(++uRed, 127, 127, 255);
      pedited->set_changed(layer_change::colours);
      if (!bench.build())
      {
         state.SkipWithError("the frame was not built");
         break;
      }
   }
}

// The canvas draws the frame below three quarters of its size from a shrunk copy, made again
// after every change of the frame; the argument is the zoom in hundredths.
void BM_canvas_shrunk_copy(benchmark::State & state)
{
   static four_layer_document * s_pbench = [] {
      auto * pbench = new four_layer_document(3200, 7680, 4320);
      pbench->build_all();
      return pbench;
   }();
   const int iImage = s_pbench->m_pglobal->frame().image_handle();
   const double dZoom = static_cast<double>(state.range(0)) / 100.0;
   const int w = static_cast<int>(std::lround(7680 * dZoom));
   const int h = static_cast<int>(std::lround(4320 * dZoom));
   zel2d::image_store & store = zel2d::image_store::shared();
   for (auto _ : state)
   {
      store.mark_changed(iImage);
      const zel2d::surface_reference pshrunk = store.find_shrunk(iImage, w, h);
      if (pshrunk == nullptr)
      {
         state.SkipWithError("no frame image");
         break;
      }
      benchmark::DoNotOptimize(pshrunk.get());
   }
}

// The same after an edit of one layer of four: the frame built again and only the part of it
// that changed shrunk again (while the build composes it, band by band).
void BM_canvas_shrunk_copy_after_edit(benchmark::State & state)
{
   four_layer_document bench(3200, 7680, 4320);
   bench.build_all();
   const int iImage = bench.m_pglobal->frame().image_handle();
   const double dZoom = static_cast<double>(state.range(0)) / 100.0;
   const int w = static_cast<int>(std::lround(7680 * dZoom));
   const int h = static_cast<int>(std::lround(4320 * dZoom));
   zel2d::image_store & store = zel2d::image_store::shared();
   store.find_shrunk(iImage, w, h);
   pointer<boxes_layer> pedited = bench.document().get_layer(1).cast<boxes_layer>();
   std::uint8_t uRed = 0;
   for (auto _ : state)
   {
      pedited->BoxColors.front() = color::color(++uRed, 127, 127, 255);
      pedited->set_changed(layer_change::colours);
      bench.build();
      const zel2d::surface_reference pshrunk = store.find_shrunk(iImage, w, h);
      benchmark::DoNotOptimize(pshrunk.get());
   }
}

// Peak resident memory, in MB, of a child process that builds a frame of four screen layers that
// each cover the whole 8K raster, edits one and builds again, and shows it at a quarter.
void BM_peak_memory_four_8k_layers(benchmark::State & state)
{
   for (auto _ : state)
   {
      const pid_t pid = ::fork();
      if (pid == 0)
      {
         four_layer_document bench(3200, 7680, 4320, true);
         bool bBuilt = bench.build_all();
         bench.document().get_layer(1)->set_changed();
         bBuilt = bench.build() && bBuilt;
         const zel2d::surface_reference pshrunk =
            zel2d::image_store::shared().find_shrunk(bench.m_pglobal->frame().image_handle(), 1920, 1080);
         const bool bShrunk = pshrunk != nullptr;
         ::_exit(bBuilt && bShrunk ? 0 : 1);
      }
      int iStatus = 0;
      struct rusage usage{};
      ::wait4(pid, &iStatus, 0, &usage);
      if (!WIFEXITED(iStatus) || WEXITSTATUS(iStatus) != 0)
      {
         state.SkipWithError("the child did not build the frame");
         break;
      }
      state.counters["peak_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
   }
}

// The resident memory of this process now, in MB.
double resident_megabytes()
{
   std::ifstream statm("/proc/self/statm");
   long long iPages = 0;
   long long iResident = 0;
   statm >> iPages >> iResident;
   return static_cast<double>(iResident) * static_cast<double>(::sysconf(_SC_PAGESIZE)) / (1 << 20);
}

// The resident memory, in MB, that a document of 8K screen layers leaves behind in a child
// process once the default document replaced it, over what the process held with the default
// document drawn before; the arguments are the layer count and whether each covers the whole
// raster (else, four of them, one quadrant each).
void BM_resident_after_closing_8k_layers(benchmark::State & state)
{
   const int iLayers = static_cast<int>(state.range(0));
   const bool bFullRaster = state.range(1) != 0;
   for (auto _ : state)
   {
      int fds[2];
      if (::pipe(fds) != 0)
      {
         state.SkipWithError("no pipe");
         break;
      }
      const pid_t pid = ::fork();
      if (pid == 0)
      {
         use_temporary_data_folder();
         pointer<Global> pglobal = make_pointer<Global>();
         pointer<zel2d::context> pcontext = make_pointer<zel2d::context>();
         pglobal->load_default_layers();
         bool bBuilt = pglobal->defer_build_frame(true, pcontext.get());
         const double dBefore = resident_megabytes();
         set_up_layers(*pglobal, iLayers, 800 * iLayers, 7680, 4320, bFullRaster);
         bBuilt = pglobal->defer_build_frame(true, pcontext.get()) && bBuilt;
         const double dOpen = resident_megabytes();
         pglobal->load_default_layers();
         bBuilt = pglobal->defer_build_frame(true, pcontext.get()) && bBuilt;
         const double figures[3] = {dBefore, dOpen, resident_megabytes()};
         const bool bSent = ::write(fds[1], figures, sizeof(figures)) == sizeof(figures);
         ::_exit(bBuilt && bSent ? 0 : 1);
      }
      ::close(fds[1]);
      double figures[3] = {};
      const bool bRead = ::read(fds[0], figures, sizeof(figures)) == sizeof(figures);
      ::close(fds[0]);
      int iStatus = 0;
      ::waitpid(pid, &iStatus, 0);
      if (!bRead || !WIFEXITED(iStatus) || WEXITSTATUS(iStatus) != 0)
      {
         state.SkipWithError("the child did not build the frames");
         break;
      }
      state.counters["before_MB"] = figures[0];
      state.counters["open_MB"] = figures[1];
      state.counters["left_MB"] = figures[2] - figures[0];
   }
}

// The root screen of a 1920 x 1080 window without a window, drawn as the host draws a window
// frame, with the canvas at zoom 0.25.
struct root_screen
{
   root_screen()
   {
      use_temporary_data_folder();
      m_pscreen->create_main_screen();
      m_pscreen->set_size({1920, 1080});
      m_pscreen->resize_event({1920, 1080});
      m_pscreen->canvas()->scroll_event({0, 0}, {0.f, -100.f});
   }

   Global & global() const { return *m_pscreen->get_global(); }
   project & document() const { return *global().current_project(); }
   pointer<boxes_layer> layer(long long index) const { return document().get_layer(index).cast<boxes_layer>(); }

   // After an edit the window lays out and draws (the edits ask for a layout).
   void draw_frame(bool bLayout = true) { m_pscreen->on_window_frame(&m_context, bLayout); }

   // The document changed whole, as after opening it: panels and every layer.
   void show_new_document()
   {
      m_pscreen->reload_all(true);
      for (const pointer<app_layer> & player : document().get_layers())
      {
         player->set_changed();
      }
      draw_frame();
   }

   pointer<MainScreen> m_pscreen = make_pointer<MainScreen>(nullptr);
   image::image m_picture{1920, 1080};
   zel2d::context m_context{&m_picture};
};

// A root screen showing the four-layer 8K document of `iCabinets` cabinets (per quadrant, or
// each layer over the whole raster), its frame drawn once.
root_screen & root_screen_with(int iCabinets, bool bFullRaster)
{
   static std::unique_ptr<root_screen> s_pscreen;
   static std::pair<int, bool> s_shown{};
   if (!s_pscreen || s_shown != std::pair{iCabinets, bFullRaster})
   {
      s_pscreen.reset();
      s_pscreen = std::make_unique<root_screen>();
      set_up_four_layers(s_pscreen->global(), iCabinets, 7680, 4320, bFullRaster);
      s_pscreen->show_new_document();
      s_shown = {iCabinets, bFullRaster};
   }
   return *s_pscreen;
}

// The baseline: a window frame after no edit.
void BM_window_frame_unchanged(benchmark::State & state)
{
   root_screen & screen = root_screen_with(static_cast<int>(state.range(0)), false);
   for (auto _ : state)
   {
      screen.draw_frame(false);
   }
}

// The second layer of four dragged 10 pixels (to and fro), as the canvas ends a drag, then the
// window frame.
void BM_window_frame_after_drag(benchmark::State & state)
{
   root_screen & screen = root_screen_with(static_cast<int>(state.range(0)), false);
   pointer<boxes_layer> pdragged = screen.layer(1);
   int iStep = 10;
   for (auto _ : state)
   {
      pdragged->set_offset_x(pdragged->get_offset_x() + iStep);
      iStep = -iStep;
      screen.m_pscreen->reload_all(true);
      screen.draw_frame();
   }
}

// A new box colour of the second layer (of four, or of one when the argument says so), as the
// "Colors" tool window sets it on the current layer, then the window frame.
void colour_edits(benchmark::State & state, root_screen & screen, long long iLayer)
{
   pointer<boxes_layer> pedited = screen.layer(iLayer);
   screen.global().set_current_layer_index(iLayer);
   screen.draw_frame();
   std::uint8_t uRed = 0;
   for (auto _ : state)
   {
      const color::color colour(++uRed, 127, 127, 255);
      screen.global().change_current_boxes_layer(layer_change::colours, [colour](boxes_layer & layer) { layer.BoxColors.front() = colour; });
      screen.draw_frame();
   }
}

void BM_window_frame_after_colour(benchmark::State & state)
{
   colour_edits(state, root_screen_with(static_cast<int>(state.range(0)), false), 1);
}

// The same when one layer alone holds every cabinet of the 8K raster.
void BM_window_frame_after_colour_of_one_layer(benchmark::State & state)
{
   static std::unique_ptr<root_screen> s_pscreen = [&] {
      auto pscreen = std::make_unique<root_screen>();
      pscreen->global().load_default_layers();
      project & document = pscreen->document();
      document.get_layers().clear();
      document.set_paper_size(7680, 4320);
      set_up_layer(*document.new_boxes_layer(), static_cast<int>(state.range(0)), 0, 0, 7680, 4320, 1);
      pscreen->show_new_document();
      return pscreen;
   }();
   colour_edits(state, *s_pscreen, 0);
}

// The data pattern of the second layer of four, as the "Data-Flow Diagram" window sets it.
void BM_window_frame_after_data_pattern(benchmark::State & state)
{
   root_screen & screen = root_screen_with(static_cast<int>(state.range(0)), false);
   pointer<boxes_layer> pedited = screen.layer(1);
   for (auto _ : state)
   {
      pedited->change(layer_change::look, [&] { pedited->m_descriptionData.m_iMode = (pedited->m_descriptionData.m_iMode + 1) % 8; });
      screen.draw_frame();
   }
}

// The whole window frame of the four-layer 8K document with the layers' default cabinet-name
// size (40), every layer drawn again.
void BM_window_frame_whole_default_names(benchmark::State & state)
{
   root_screen screen;
   set_up_four_layers(screen.global(), static_cast<int>(state.range(0)), 7680, 4320, false, 40);
   screen.show_new_document();
   for (auto _ : state)
   {
      screen.show_new_document();
   }
}

// The first window frame of a document of one screen layer of n x n cabinets of 1 pixel on an
// n x n raster, both paths off (each iteration a new screen and document).
void BM_first_window_frame_of_pixel_grid(benchmark::State & state)
{
   const int n = static_cast<int>(state.range(0));
   for (auto _ : state)
   {
      state.PauseTiming();
      auto pscreen = std::make_unique<root_screen>();
      pscreen->global().load_default_layers();
      project & document = pscreen->document();
      document.get_layers().clear();
      document.set_paper_size(n, n);
      pointer<boxes_layer> player = document.new_boxes_layer();
      player->Columns = n;
      player->Rows = n;
      player->Width = 1;
      player->Height = 1;
      player->DrawSnake = 0;
      player->DrawPowerSnake = 0;
      state.ResumeTiming();
      pscreen->show_new_document();
      state.PauseTiming();
      pscreen.reset();
      state.ResumeTiming();
   }
}

void raster_arguments(benchmark::internal::Benchmark * pbenchmark)
{
   pbenchmark->ArgNames({"width", "height"})->Args({3840, 2160})->Args({7680, 4320});
}

void frame_arguments(benchmark::internal::Benchmark * pbenchmark)
{
   pbenchmark->ArgNames({"cabinets", "width", "height"});
   for (const auto & [w, h] : {std::pair{3840, 2160}, std::pair{7680, 4320}})
   {
      for (const int iCabinets : {800, 3200, 12800, 51200, 204800})
      {
         pbenchmark->Args({iCabinets, w, h});
      }
   }
}

} // namespace

// First, while this process holds no document: the child shares the pages it inherits, and they
// would count in its resident memory.
BENCHMARK(BM_peak_memory_four_8k_layers)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_resident_after_closing_8k_layers)->ArgNames({"layers", "full_raster"})->Args({4, 0})->Args({16, 1})->Args({64, 1})->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_clear_raster)->Apply(raster_arguments)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_full_frame)->Apply(frame_arguments)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_edit_one_layer)->ArgNames({"cabinets", "width", "height"})->Args({3200, 7680, 4320})->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_window_frame_unchanged)->ArgName("cabinets")->Arg(3200)->Arg(204800)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_window_frame_after_drag)->ArgName("cabinets")->Arg(3200)->Arg(204800)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_window_frame_after_colour)->ArgName("cabinets")->Arg(3200)->Arg(204800)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_window_frame_after_data_pattern)->ArgName("cabinets")->Arg(204800)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_window_frame_after_colour_of_one_layer)->ArgName("cabinets")->Arg(204800)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_window_frame_whole_default_names)->ArgName("cabinets")->Arg(204800)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_first_window_frame_of_pixel_grid)->ArgName("cabinets_per_side")->Arg(2048)->Arg(16384)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_canvas_shrunk_copy)->ArgName("zoom_percent")->Arg(25)->Arg(30)->Arg(40)->Arg(50)->Arg(60)->Arg(70)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_canvas_shrunk_copy_after_edit)->ArgName("zoom_percent")->Arg(25)->Arg(30)->Arg(40)->Arg(50)->Arg(60)->Arg(70)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
