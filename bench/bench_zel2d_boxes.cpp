// 10,000 boxes (fill, 1-pixel outline and a centred four-character label each) drawn into a
// 3840 x 2160 image, through the drawing context and, for the floor of the backend, with the
// same drawing done by direct Cairo calls.
//
// Set BENCH_ZEL2D_PNG to a file path to also write one frame of each as PNG for a look.

#include <benchmark/benchmark.h>

#include <cairo-ft.h>
#include <cairo.h>
#include <cstdio>
#include <cstdlib>
#include <fontconfig/fontconfig.h>
#include <string>
#include <vector>

#include "orvo/image.h"
#include "zel2d/context.h"

namespace
{

constexpr int image_width = 3840;
constexpr int image_height = 2160;
constexpr int columns = 100;
constexpr int rows = 100;
constexpr int box_width = image_width / columns;  // 38
constexpr int box_height = image_height / rows;   // 21
constexpr float label_size = 11.0f;

const color::color box_colors[] = {{200, 60, 60}, {60, 160, 80}, {50, 90, 200}, {220, 180, 40}, {150, 70, 170}};
const color::color outline_color{20, 20, 20};
const color::color label_color{255, 255, 255};

// Four characters per box: a column letter pair and a two-digit row, as "AB07".
std::vector<std::string> make_labels()
{
   std::vector<std::string> labels;
   labels.reserve(columns * rows);
   for (int row = 0; row < rows; ++row)
   {
      for (int column = 0; column < columns; ++column)
      {
         char label[8];
         std::snprintf(label, sizeof label, "%c%c%02d", 'A' + column / 26, 'A' + column % 26, row);
         labels.emplace_back(label);
      }
   }
   return labels;
}

const std::vector<std::string> & labels()
{
   static const std::vector<std::string> s_labels = make_labels();
   return s_labels;
}

void draw_with_context(zel2d::context & context)
{
   context.set_font_face("sans");
   context.set_font_size(label_size);
   context.set_text_align(zel2d::align_center | zel2d::align_middle);
   for (int row = 0; row < rows; ++row)
   {
      for (int column = 0; column < columns; ++column)
      {
         const int x = column * box_width;
         const int y = row * box_height;
         context.begin_path();
         context.rectangle(x, y, box_width, box_height);
         context.set_fill_color(box_colors[(row + column) % 5]);
         context.fill();
         context.pixel_rectangle_outline(x, y, box_width, box_height, outline_color, 1);
         context.set_fill_color(label_color);
         context.text(x + box_width * 0.5f, y + box_height * 0.5f, labels()[row * columns + column]);
      }
   }
}

cairo_font_face_t * dejavu_sans()
{
   FcPattern * ppattern = FcNameParse(reinterpret_cast<const FcChar8 *>("DejaVu Sans"));
   FcConfigSubstitute(nullptr, ppattern, FcMatchPattern);
   FcDefaultSubstitute(ppattern);
   FcResult result;
   FcPattern * pmatch = FcFontMatch(nullptr, ppattern, &result);
   cairo_font_face_t * pface = cairo_ft_font_face_create_for_pattern(pmatch);
   FcPatternDestroy(pmatch);
   FcPatternDestroy(ppattern);
   return pface;
}

void set_source(cairo_t * pcairo, color::color color)
{
   cairo_set_source_rgba(pcairo, color.m_uchR / 255.0, color.m_uchG / 255.0, color.m_uchB / 255.0,
                         color.m_uchA / 255.0);
}

void draw_with_cairo(cairo_t * pcairo, cairo_font_face_t * pface)
{
   cairo_set_font_face(pcairo, pface);
   cairo_set_font_size(pcairo, label_size);
   // The font options of the drawing context, so that both draw the same pixels.
   cairo_font_options_t * poptions = cairo_font_options_create();
   cairo_font_options_set_hint_metrics(poptions, CAIRO_HINT_METRICS_OFF);
   cairo_font_options_set_hint_style(poptions, CAIRO_HINT_STYLE_SLIGHT);
   cairo_font_options_set_antialias(poptions, CAIRO_ANTIALIAS_GRAY);
   cairo_set_font_options(pcairo, poptions);
   cairo_font_options_destroy(poptions);
   cairo_font_extents_t font;
   cairo_font_extents(pcairo, &font);
   cairo_set_line_width(pcairo, 1.0);
   for (int row = 0; row < rows; ++row)
   {
      for (int column = 0; column < columns; ++column)
      {
         const int x = column * box_width;
         const int y = row * box_height;
         cairo_rectangle(pcairo, x, y, box_width, box_height);
         set_source(pcairo, box_colors[(row + column) % 5]);
         cairo_fill(pcairo);
         cairo_rectangle(pcairo, x + 0.5, y + 0.5, box_width - 1, box_height - 1);
         set_source(pcairo, outline_color);
         cairo_stroke(pcairo);
         const std::string & label = labels()[row * columns + column];
         cairo_text_extents_t extents;
         cairo_text_extents(pcairo, label.c_str(), &extents);
         cairo_move_to(pcairo, x + box_width * 0.5 - extents.x_advance * 0.5,
                       y + box_height * 0.5 + (font.ascent - font.descent) * 0.5);
         set_source(pcairo, label_color);
         cairo_show_text(pcairo, label.c_str());
      }
   }
}

void write_png_if_asked(image::image & target, const char * suffix)
{
   const char * pszPath = std::getenv("BENCH_ZEL2D_PNG");
   if (pszPath == nullptr)
   {
      return;
   }
   cairo_surface_t * psurface = cairo_image_surface_create_for_data(
      reinterpret_cast<unsigned char *>(target.data()), CAIRO_FORMAT_ARGB32, target.width(), target.height(),
      target.scan_size());
   cairo_surface_write_to_png(psurface, (std::string(pszPath) + suffix + ".png").c_str());
   cairo_surface_destroy(psurface);
}

void BM_zel2d_boxes(benchmark::State & state)
{
   image::image target(image_width, image_height);
   zel2d::context context(&target);
   for (auto _ : state)
   {
      target.clear();
      draw_with_context(context);
      benchmark::DoNotOptimize(target.data());
   }
   write_png_if_asked(target, "_zel2d");
}

void BM_cairo_boxes(benchmark::State & state)
{
   image::image target(image_width, image_height);
   cairo_surface_t * psurface = cairo_image_surface_create_for_data(
      reinterpret_cast<unsigned char *>(target.data()), CAIRO_FORMAT_ARGB32, image_width, image_height,
      target.scan_size());
   cairo_t * pcairo = cairo_create(psurface);
   cairo_font_face_t * pface = dejavu_sans();
   for (auto _ : state)
   {
      target.clear();
      cairo_surface_mark_dirty(psurface);
      draw_with_cairo(pcairo, pface);
      cairo_surface_flush(psurface);
      benchmark::DoNotOptimize(target.data());
   }
   cairo_font_face_destroy(pface);
   cairo_destroy(pcairo);
   cairo_surface_destroy(psurface);
   write_png_if_asked(target, "_cairo");
}

} // namespace

BENCHMARK(BM_zel2d_boxes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_cairo_boxes)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
