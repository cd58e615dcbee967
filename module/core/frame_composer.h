#pragma once

#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "core/forward.h"
#include "core/raster_label_box.h"
#include "orvo/geometry.h"
#include "orvo/image.h"
#include "orvo/string.h"

namespace zel2d
{
class context;
}

namespace Tarvossa_BrisvanePro
{

// Frame pixels from (left, top) included to (right, bottom) excluded; wide, so that offsets and
// sizes near the 32-bit bounds add up soundly.
using frame_area = rectangle_type<long long>;

// One layer as the frame shows it: its offscreen picture stretched onto the layer's rectangle at
// its offset, turned by its rotation about the rectangle's top-left corner.
struct composed_layer
{
   const app_layer * m_player = nullptr;
   // The layer's drawing count when its picture was taken.
   unsigned long long m_iDrawing = 0;
   const image::image * m_pimage = nullptr;
   // The drawing library's handle of the picture.
   int m_iImage = 0;
   int m_iX = 0;
   int m_iY = 0;
   int m_iWidth = 0;
   int m_iHeight = 0;
   float m_fRotation = 0.f;

   bool operator==(const composed_layer &) const = default;

   // The frame pixels that drawing the layer may change.
   frame_area footprint() const;
   // Unturned and at its picture's own size: each frame pixel takes one picture pixel.
   bool is_pixel_for_pixel() const;
};

// Composes the frame from the layers' pictures, and remembers what it composed so that the next
// composition draws again only the part of the frame that changed.
//
// The layers below the first turned or stretched one are put together row by row: a picture
// pixel that nothing lies under is copied, one over an earlier layer is blended "over" exactly
// as the drawing library blends, and a frame pixel that no layer covers is cleared; the rest is
// drawn by the drawing library, over the whole frame. Either way every pixel comes out as a
// whole composition through the drawing library would make it.
class frame_composer
{
public:
   // Draws what lies over the layers (the raster label) through the context it is given; it may
   // be empty.
   using overlay_drawer = std::function<void(zel2d::context *)>;
   // Told of a part of the frame whose pixels are composed and final.
   using rows_handler = std::function<void(const frame_area &)>;

   // The part of the frame to compose again: all of it when the frame was made anew, when the
   // layers shown, their order or the raster label over them changed; else the footprints,
   // before and after, of the layers drawn again or placed anew. Empty when nothing changed.
   frame_area changed_area(const image::image & frame, std::span<const composed_layer> layers,
                           const std::optional<raster_label_box> & olabel) const;

   // Composes the layers, index 0 at the bottom, and the overlay (which may change the pixels of
   // `areaOverlay`) within `area` of the frame; the frame keeps its pixels outside it.
   // `pcontext` draws the turned and stretched layers and the overlay, always over the whole
   // frame: when they touch `area`, the whole frame is composed. `on_rows_final`, if given, is
   // told of every part of the frame composed, band by band from the top as soon as each band
   // is final (so that what is made from it can read it while it is in the cache).
   void compose(image::image & frame, zel2d::context * pcontext, std::span<const composed_layer> layers, const frame_area & area,
                const frame_area & areaOverlay, const overlay_drawer & draw_overlay, const rows_handler & on_rows_final = {}) const;

   // Told of rows of the frame composed elsewhere than in the frame: `ppixels` holds them, row
   // after row, each `uStride` pixels after the one before.
   using band_handler = std::function<void(const std::uint32_t * ppixels, std::size_t uStride, const frame_area & rows)>;

   // Whether the pixels of `area` are put together row by row from the layers (none drawn by
   // the library touches it, nor `areaOverlay`).
   static bool is_put_together(std::span<const composed_layer> layers, const frame_area & area, const frame_area & areaOverlay);
   // Composes `area`, which must be put together row by row, into rows of its own rather than
   // into the frame, handing them to `on_band` band by band from the top; a band starts on a row
   // whose number is a multiple of 32 (or at `area.top`), and is not kept after the handler.
   // Where one layer alone makes the area, the bands are that layer's own picture rows.
   static void compose_bands(std::span<const composed_layer> layers, const frame_area & area, const band_handler & on_band);

   // What the frame now shows; forgetting it makes the next composition whole.
   void remember(const image::image & frame, std::span<const composed_layer> layers, const std::optional<raster_label_box> & olabel);
   void forget();

private:
   std::vector<composed_layer> m_layersComposed;
   const std::uint32_t * m_ppixelsComposed = nullptr;
   size_type<int> m_sizeComposed;
   std::optional<raster_label_box> m_olabelComposed;
};

} // namespace Tarvossa_BrisvanePro
