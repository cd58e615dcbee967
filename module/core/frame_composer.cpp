#include "core/frame_composer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "document/OffscreenDraw.h"
#include "zel2d/context.h"

namespace Tarvossa_BrisvanePro
{

namespace
{

frame_area whole_frame(const image::image & frame)
{
   return {0, 0, frame.width(), frame.height()};
}

// A turned layer's edges are anti-aliased and its picture interpolated: a pixel of margin keeps
// every touched pixel inside the footprint.
constexpr long long turned_margin = 1;

// One step of putting a frame row together: pixels [m_x0, m_x1) cleared, copied from a layer's
// picture, or blended over what the row holds.
struct row_step
{
   enum class kind
   {
      clear,
      copy,
      blend
   };

   kind m_ekind = kind::clear;
   long long m_x0 = 0;
   long long m_x1 = 0;
   const composed_layer * m_player = nullptr;
};

// Disjoint spans [first, second) of a row, in order.
using row_spans = std::vector<std::pair<long long, long long>>;

// The steps that make one row of the band starting at row `y`: each layer crossing it copies
// the part of its span that nothing lies under yet and blends the rest, in layer order; what no
// layer covers is cleared first.
std::vector<row_step> plan_row(std::span<const composed_layer> layers, long long y, const frame_area & area)
{
   std::vector<row_step> steps;
   row_spans covered;
   for (const composed_layer & layer : layers)
   {
      if (y < layer.m_iY || y >= static_cast<long long>(layer.m_iY) + layer.m_iHeight)
      {
         continue;
      }
      const long long x0 = std::max<long long>(layer.m_iX, area.left);
      const long long x1 = std::min<long long>(static_cast<long long>(layer.m_iX) + layer.m_iWidth, area.right);
      if (x0 >= x1)
      {
         continue;
      }
      // Copy where nothing lies under the span, blend where something does.
      auto it = std::lower_bound(covered.begin(), covered.end(), x0, [](const auto & span, long long x) { return span.second <= x; });
      long long x = x0;
      auto itFirstMerged = it;
      long long xMergedStart = x0;
      long long xMergedEnd = x1;
      for (; it != covered.end() && it->first < x1; ++it)
      {
         if (x < it->first)
         {
            steps.push_back({row_step::kind::copy, x, it->first, &layer});
         }
         steps.push_back({row_step::kind::blend, std::max(x, it->first), std::min(x1, it->second), &layer});
         x = std::max(x, it->second);
         xMergedStart = std::min(xMergedStart, it->first);
         xMergedEnd = std::max(xMergedEnd, it->second);
      }
      if (x < x1)
      {
         steps.push_back({row_step::kind::copy, x, x1, &layer});
      }
      it = covered.erase(itFirstMerged, it);
      covered.insert(it, {xMergedStart, xMergedEnd});
   }
   std::vector<row_step> clears;
   long long x = area.left;
   for (const auto & [xStart, xEnd] : covered)
   {
      if (x < xStart)
      {
         clears.push_back({row_step::kind::clear, x, xStart, nullptr});
      }
      x = xEnd;
   }
   if (x < area.right)
   {
      clears.push_back({row_step::kind::clear, x, area.right, nullptr});
   }
   steps.insert(steps.begin(), clears.begin(), clears.end());
   return steps;
}

// Runs the steps of frame row `y` into `prow`, which holds the row's pixels from `xFirst` on.
void run_row_steps(std::uint32_t * prow, long long xFirst, long long y, const std::vector<row_step> & steps)
{
   for (const row_step & step : steps)
   {
      const auto iCount = static_cast<std::size_t>(step.m_x1 - step.m_x0);
      std::uint32_t * pframe = prow + (step.m_x0 - xFirst);
      if (step.m_ekind == row_step::kind::clear)
      {
         std::memset(pframe, 0, iCount * 4);
         continue;
      }
      const composed_layer & layer = *step.m_player;
      const std::uint32_t * ppicture = layer.m_pimage->row(static_cast<int>(y - layer.m_iY)) + (step.m_x0 - layer.m_iX);
      if (step.m_ekind == row_step::kind::copy)
      {
         // A picture placed in the frame's rows is there already.
         if (pframe != ppicture)
         {
            std::memcpy(pframe, ppicture, iCount * 4);
         }
      }
      else
      {
         image::blend_row(pframe, ppicture, static_cast<int>(iCount));
      }
   }
}

// Rows of the frame handed on at a time as final: a band this high stays in the cache while
// what is made from it (the canvas's shrunk copy) reads it again.
constexpr long long rows_per_handover = 32;

// Where the row of frame row `y` goes: a pointer to its pixel at `area.left`.
using row_target = std::function<std::uint32_t *(long long y)>;

// The pixel-for-pixel layers put together within `area` (which lies inside the frame) into the
// rows `row_at` gives, band by band of rows that the same layers cross; each part of `area` is
// handed to `on_rows_final`, if given, as soon as its rows are made, from the top.
void compose_pixel_for_pixel(const row_target & row_at, std::span<const composed_layer> layers, const frame_area & area,
                             const frame_composer::rows_handler & on_rows_final)
{
   std::vector<long long> edges{area.top, area.bottom};
   for (const composed_layer & layer : layers)
   {
      for (const long long y : {static_cast<long long>(layer.m_iY), static_cast<long long>(layer.m_iY) + layer.m_iHeight})
      {
         if (y > area.top && y < area.bottom)
         {
            edges.push_back(y);
         }
      }
   }
   std::sort(edges.begin(), edges.end());
   edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
   long long yHandedOver = area.top;
   for (std::size_t i = 0; i + 1 < edges.size(); ++i)
   {
      const std::vector<row_step> steps = plan_row(layers, edges[i], area);
      for (long long y = edges[i]; y < edges[i + 1]; ++y)
      {
         run_row_steps(row_at(y), area.left, y, steps);
         if (on_rows_final && ((y + 1) % rows_per_handover == 0 || y + 1 == area.bottom))
         {
            on_rows_final({area.left, yHandedOver, area.right, y + 1});
            yHandedOver = y + 1;
         }
      }
   }
}

void draw_layers(zel2d::context * pcontext, std::span<const composed_layer> layers)
{
   for (const composed_layer & layer : layers)
   {
      const auto x = static_cast<float>(layer.m_iX);
      const auto y = static_cast<float>(layer.m_iY);
      const auto w = static_cast<float>(layer.m_iWidth);
      const auto h = static_cast<float>(layer.m_iHeight);
      zel2d::saved_state state(pcontext);
      pcontext->translate(x, y);
      pcontext->rotate(layer.m_fRotation);
      pcontext->translate(-x, -y);
      const zel2d::paint paint = pcontext->image_pattern(x, y, w, h, 0.0f, layer.m_iImage, 1.0f);
      pcontext->begin_path();
      pcontext->rectangle(x, y, w, h);
      pcontext->set_fill_paint(paint);
      pcontext->fill();
   }
}

// Whether drawing the layers or the overlay may change a pixel of `area`.
bool is_touched_by(const frame_area & area, std::span<const composed_layer> layers, const frame_area & areaOverlay)
{
   return !area.intersection(areaOverlay).is_empty() ||
          std::any_of(layers.begin(), layers.end(), [&](const composed_layer & layer) { return !area.intersection(layer.footprint()).is_empty(); });
}
// The layers below the first turned or stretched one, which are put together row by row.
std::size_t count_put_together(std::span<const composed_layer> layers)
{
   return static_cast<std::size_t>(std::find_if(layers.begin(), layers.end(), [](const composed_layer & layer) { return !layer.is_pixel_for_pixel(); }) -
                                   layers.begin());
}

// The one layer that makes every pixel of `area`: it covers the area and no other layer
// touches it, so each row there is a copy of the layer's picture. Null when there is none.
const composed_layer * lone_layer_under(std::span<const composed_layer> layers, const frame_area & area)
{
   const composed_layer * plone = nullptr;
   for (const composed_layer & layer : layers)
   {
      if (layer.footprint().intersection(area).is_empty())
      {
         continue;
      }
      if (plone != nullptr)
      {
         return nullptr;
      }
      plone = &layer;
   }
   return plone != nullptr && plone->footprint().intersection(area) == area ? plone : nullptr;
}

// Hands the rows of `area` over straight from the picture of the layer that alone makes them,
// in the bands `frame_composer::compose_bands` promises.
void hand_over_own_rows(const composed_layer & layer, const frame_area & area, const frame_composer::band_handler & on_band)
{
   const auto uStride = static_cast<std::size_t>(layer.m_pimage->stride());
   for (long long y = area.top; y < area.bottom;)
   {
      const long long yEnd = std::min(area.bottom, (y / rows_per_handover + 1) * rows_per_handover);
      on_band(layer.m_pimage->row(static_cast<int>(y - layer.m_iY)) + (area.left - layer.m_iX), uStride, {area.left, y, area.right, yEnd});
      y = yEnd;
   }
}

} // namespace

frame_area composed_layer::footprint() const
{
   const long long x = m_iX;
   const long long y = m_iY;
   if (m_iWidth <= 0 || m_iHeight <= 0)
   {
      return {};
   }
   if (m_fRotation == 0.f)
   {
      return {x, y, x + m_iWidth, y + m_iHeight};
   }
   const double dCos = std::cos(static_cast<double>(m_fRotation));
   const double dSin = std::sin(static_cast<double>(m_fRotation));
   double xMin = 0.0;
   double yMin = 0.0;
   double xMax = 0.0;
   double yMax = 0.0;
   for (const auto & [u, v] : {std::pair{double(m_iWidth), 0.0}, std::pair{double(m_iWidth), double(m_iHeight)}, std::pair{0.0, double(m_iHeight)}})
   {
      xMin = std::min(xMin, u * dCos - v * dSin);
      xMax = std::max(xMax, u * dCos - v * dSin);
      yMin = std::min(yMin, u * dSin + v * dCos);
      yMax = std::max(yMax, u * dSin + v * dCos);
   }
   return {x + static_cast<long long>(std::floor(xMin)) - turned_margin, y + static_cast<long long>(std::floor(yMin)) - turned_margin,
           x + static_cast<long long>(std::ceil(xMax)) + turned_margin, y + static_cast<long long>(std::ceil(yMax)) + turned_margin};
}

bool composed_layer::is_pixel_for_pixel() const
{
   return m_fRotation == 0.f && m_pimage != nullptr && m_pimage->width() == m_iWidth && m_pimage->height() == m_iHeight;
}

frame_area frame_composer::changed_area(const image::image & frame, std::span<const composed_layer> layers,
                                       const std::optional<raster_label_box> & olabel) const
{
   const bool bSameFrame = frame.data() == m_ppixelsComposed && frame.width() == m_sizeComposed.width &&
                           frame.height() == m_sizeComposed.height;
   const bool bSameLayers = std::equal(layers.begin(), layers.end(), m_layersComposed.begin(), m_layersComposed.end(),
                                       [](const composed_layer & a, const composed_layer & b) { return a.m_player == b.m_player; });
   if (!bSameFrame || !bSameLayers || olabel != m_olabelComposed)
   {
      return whole_frame(frame);
   }
   frame_area area;
   for (std::size_t i = 0; i < layers.size(); ++i)
   {
      if (layers[i] != m_layersComposed[i])
      {
         area = area.united(layers[i].footprint()).united(m_layersComposed[i].footprint());
      }
   }
   return area.intersection(whole_frame(frame));
}

void frame_composer::compose(image::image & frame, zel2d::context * pcontext, std::span<const composed_layer> layers,
                             const frame_area & area, const frame_area & areaOverlay, const overlay_drawer & draw_overlay,
                             const rows_handler & on_rows_final) const
{
   frame_area inside = area.intersection(whole_frame(frame));
   if (inside.is_empty())
   {
      return;
   }
   const std::size_t iPixelForPixel = count_put_together(layers);
   const std::span<const composed_layer> layersDrawn = layers.subspan(iPixelForPixel);
   // The library blends some pixels of a clipped or shifted drawing differently from a whole one,
   // so what it draws is drawn whole.
   const bool bDrawn = is_touched_by(inside, layersDrawn, draw_overlay ? areaOverlay : frame_area());
   if (bDrawn)
   {
      inside = whole_frame(frame);
   }
   // What the library draws goes over the rows put together: those are final only after it.
   const row_target frame_row = [&frame, &inside](long long y) { return frame.row(static_cast<int>(y)) + inside.left; };
   compose_pixel_for_pixel(frame_row, layers.first(iPixelForPixel), inside, bDrawn ? rows_handler() : on_rows_final);
   if (bDrawn)
   {
      {
         OffscreenDraw offscreen(pcontext, &frame);
         draw_layers(pcontext, layersDrawn);
         if (draw_overlay)
         {
            draw_overlay(pcontext);
         }
      }
      if (on_rows_final)
      {
         on_rows_final(inside);
      }
   }
}

bool frame_composer::is_put_together(std::span<const composed_layer> layers, const frame_area & area, const frame_area & areaOverlay)
{
   return !is_touched_by(area, layers.subspan(count_put_together(layers)), areaOverlay);
}

void frame_composer::compose_bands(std::span<const composed_layer> layers, const frame_area & area, const band_handler & on_band)
{
   const std::span<const composed_layer> layersPutTogether = layers.first(count_put_together(layers));
   if (const composed_layer * plone = lone_layer_under(layersPutTogether, area))
   {
      hand_over_own_rows(*plone, area, on_band);
      return;
   }
   const auto iWidth = static_cast<std::size_t>(area.width());
   std::vector<std::uint32_t> band(iWidth * rows_per_handover);
   const row_target band_row = [&](long long y)
   { return band.data() + static_cast<std::size_t>(y % rows_per_handover) * iWidth; };
   compose_pixel_for_pixel(band_row, layersPutTogether, area, [&](const frame_area & rows)
   { on_band(band.data() + static_cast<std::size_t>(rows.top % rows_per_handover) * iWidth, iWidth, rows); });
}

void frame_composer::remember(const image::image & frame, std::span<const composed_layer> layers, const std::optional<raster_label_box> & olabel)
{
   m_layersComposed.assign(layers.begin(), layers.end());
   m_ppixelsComposed = frame.data();
   m_sizeComposed = {frame.width(), frame.height()};
   m_olabelComposed = olabel;
}

void frame_composer::forget()
{
   m_layersComposed.clear();
   m_ppixelsComposed = nullptr;
   m_sizeComposed = {};
   m_olabelComposed.reset();
}

} // namespace Tarvossa_BrisvanePro
