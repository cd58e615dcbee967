// The path lines of an 8K raster of 640 x 320 cabinets of 12 x 13.5 pixels: snakes through the
// cabinets' centres, row by row or column by column, cut into runs of 1,000 cabinets, each run
// stroked 8 pixels wide in its own opaque colour over cabinet fills. Drawn through the drawing
// context and, as the baseline, by the same calls straight to Cairo.

#include <benchmark/benchmark.h>

#include <cairo.h>
#include <utility>
#include <vector>

#include "orvo/image.h"
#include "zel2d/context.h"

namespace
{

constexpr int image_width = 7680;
constexpr int image_height = 4320;
constexpr int columns = 640;
constexpr int rows = 320;
constexpr float cabinet_width = 12.0f;
constexpr float cabinet_height = 13.5f;
constexpr int run_length = 1000;
constexpr float line_width = 8.0f;

const color::color run_colors[] = {{200, 60, 60}, {60, 160, 80}, {50, 90, 200}, {220, 180, 40}};

using run = std::vector<std::pair<float, float>>;

// The cabinets' centres in snake order, by rows (turning at each row's end) or by columns.
std::vector<run> make_runs(bool bByColumns)
{
   std::vector<run> runs(1);
   const int iLines = bByColumns ? columns : rows;
   const int iAlong = bByColumns ? rows : columns;
   for (int iLine = 0; iLine < iLines; ++iLine)
   {
      for (int i = 0; i < iAlong; ++i)
      {
         const int iStep = iLine % 2 == 0 ? i : iAlong - 1 - i;
         const int iColumn = bByColumns ? iLine : iStep;
         const int iRow = bByColumns ? iStep : iLine;
         if (runs.back().size() == run_length)
         {
            runs.emplace_back();
         }
         runs.back().push_back({(iColumn + 0.5f) * cabinet_width, (iRow + 0.5f) * cabinet_height});
      }
   }
   return runs;
}

void fill_cabinets(image::image & target)
{
   zel2d::context context(&target);
   for (int iRow = 0; iRow < rows; ++iRow)
   {
      context.begin_path();
      context.rectangle(0, iRow * cabinet_height, image_width, cabinet_height);
      context.set_fill_color(iRow % 2 == 0 ? color::color(40, 40, 40) : color::color(70, 70, 70));
      context.fill();
   }
}

void BM_zel2d_path_lines(benchmark::State & state)
{
   const std::vector<run> runs = make_runs(state.range(0) != 0);
   image::image target(image_width, image_height);
   fill_cabinets(target);
   zel2d::context context(&target);
   context.set_stroke_width(line_width);
   for (auto _ : state)
   {
      for (std::size_t i = 0; i < runs.size(); ++i)
      {
         context.set_stroke_color(run_colors[i % 4]);
         context.begin_path();
         context.move_to(runs[i][0].first, runs[i][0].second);
         for (std::size_t j = 1; j < runs[i].size(); ++j)
         {
            context.line_to(runs[i][j].first, runs[i][j].second);
         }
         context.stroke();
      }
      benchmark::DoNotOptimize(target.data());
   }
}

void BM_cairo_path_lines(benchmark::State & state)
{
   const std::vector<run> runs = make_runs(state.range(0) != 0);
   image::image target(image_width, image_height);
   fill_cabinets(target);
   cairo_surface_t * psurface = cairo_image_surface_create_for_data(reinterpret_cast<unsigned char *>(target.data()),
                                                                    CAIRO_FORMAT_ARGB32, image_width, image_height, target.scan_size());
   cairo_t * pcairo = cairo_create(psurface);
   cairo_set_line_width(pcairo, line_width);
   for (auto _ : state)
   {
      for (std::size_t i = 0; i < runs.size(); ++i)
      {
         const color::color color = run_colors[i % 4];
         cairo_set_source_rgb(pcairo, color.m_uchR / 255.0, color.m_uchG / 255.0, color.m_uchB / 255.0);
         cairo_new_path(pcairo);
         cairo_move_to(pcairo, runs[i][0].first, runs[i][0].second);
         for (std::size_t j = 1; j < runs[i].size(); ++j)
         {
            cairo_line_to(pcairo, runs[i][j].first, runs[i][j].second);
         }
         cairo_stroke(pcairo);
      }
      cairo_surface_flush(psurface);
      benchmark::DoNotOptimize(target.data());
   }
   cairo_destroy(pcairo);
   cairo_surface_destroy(psurface);
}

} // namespace

BENCHMARK(BM_zel2d_path_lines)->ArgName("by_columns")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_cairo_path_lines)->ArgName("by_columns")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
