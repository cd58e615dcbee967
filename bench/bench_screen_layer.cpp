// The offscreen images of a 3840 x 2160 document (one `project`) of four screen layers, one per quadrant, each
// 40 x 20 boxes of 48 x 54 pixels (3,200 boxes in all) with colours, grid, circle, cabinet names,
// both paths with their arrows and every label on; and of one such layer alone.
//
// Set BENCH_SCREEN_LAYER_RAW to a file path to also write the first layer's pixels there, raw
// (1920 x 1080, 32-bit native words: `convert -size 1920x1080 -depth 8 bgra:FILE out.png`).

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "document/boxes_layer.h"
#include "document/project.h"
#include "orvo/image.h"
#include "zel2d/context.h"

using namespace Tarvossa_BrisvanePro;

namespace
{

constexpr int document_width = 3840;
constexpr int document_height = 2160;

void set_up_quadrant_layer(boxes_layer * player, int iQuadrant)
{
   player->BoxColors = {{63, 127, 127, 255}, {160, 60, 60, 255}, {60, 90, 170, 255}};
   player->BoxTintColors.clear();
   player->Columns = 40;
   player->Rows = 20;
   player->Width = 48;
   player->Height = 54;
   player->set_offset_x(iQuadrant % 2 * document_width / 2);
   player->set_offset_y(iQuadrant / 2 * document_height / 2);
   player->set_name("Screen" + std::to_string(iQuadrant + 1));
   player->DrawBoxesNames = 1;
   player->BoxesNamesFontSize = 14;
   player->DrawSnake = 1;
   player->DrawPowerSnake = 1;
   player->DrawPower = 1;
   player->ShowMM = 1;
   player->ShowFT = 1;
   player->ShowScreenWeight = 1;
   player->ShowScreenDiagonal = 1;
   player->CornersMode = 15;
}

void build_layers(benchmark::State & state, int iLayers)
{
   auto pproject = make_pointer<project>(nullptr);
   pproject->set_paper_size(document_width, document_height);
   std::vector<pointer<boxes_layer>> layers;
   for (int i = 0; i < iLayers; ++i)
   {
      layers.push_back(pproject->new_boxes_layer());
      set_up_quadrant_layer(layers.back().get(), i);
   }
   zel2d::context context;
   int iErrors = 0;
   const app_layer::error_callback on_error = [&](scoped_string_base) { ++iErrors; };
   for (auto _ : state)
   {
      for (auto & player : layers)
      {
         player->build_frame(&context, on_error);
      }
      benchmark::DoNotOptimize(layers.front()->get_offscreen()->data());
   }
   if (iErrors != 0)
   {
      state.SkipWithError("a layer reported an error");
   }
   state.counters["boxes"] = 800.0 * iLayers;
   if (const char * pszRaw = std::getenv("BENCH_SCREEN_LAYER_RAW"))
   {
      const image::image & image = *layers.front()->get_offscreen();
      if (std::FILE * pfile = std::fopen(pszRaw, "wb"))
      {
         std::fwrite(image.data(), 4, static_cast<std::size_t>(image.width()) * image.height(), pfile);
         std::fclose(pfile);
      }
   }
}

void BM_document_of_four_layers(benchmark::State & state)
{
   build_layers(state, 4);
}

void BM_one_layer(benchmark::State & state)
{
   build_layers(state, 1);
}

} // namespace

BENCHMARK(BM_document_of_four_layers)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_one_layer)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
