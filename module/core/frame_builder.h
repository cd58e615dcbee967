#pragma once

#include <functional>
#include <unordered_map>
#include <vector>

#include "core/forward.h"
#include "core/frame_composer.h"
#include "document/ImageWrap.h"
#include "document/picture_budget.h"
#include "orvo/geometry.h"
#include "orvo/image.h"
#include "orvo/pointer.h"
#include "orvo/string.h"
#include "orvo/string_array.h"

namespace zel2d
{
class context;
}

namespace Tarvossa_BrisvanePro
{

// Makes the frame, the picture of the whole raster, from a document: draws the layers' own
// pictures again where they changed, and composes them and the raster label into the frame,
// again only where something changed. It owns the frame picture and the drawing library's image
// that the canvases show. It never draws a picture beyond the document's memory budget, and it
// shows no frame that no longer matches the document: a raster that cannot be made shows none.
class frame_builder
{
public:
   // Tells the user of a layer or a raster that cannot be drawn.
   using error_reporter = std::function<void(scoped_string_base)>;

   explicit frame_builder(error_reporter show_error);

   // Draws the offscreen pictures of the visible layers that do not show what they would be drawn
   // from now, index 0 first; with `bOnlyCurrent` the screen layers other than the current one
   // are drawn without box fills. A layer whose picture would take the document's pictures beyond
   // their budget, even once the pictures kept only to draw faster are let go, draws nothing (and
   // is tried again in later builds, for when there is room); the user is told once. False when
   // a layer reported an error: that layer draws nothing, is not drawn again until it changes,
   // and the remaining layers are left for the next build.
   bool build(project & document, zel2d::context * pcontext, bool bOnlyCurrent);

   // Composes the visible layers' pictures (index 0 at the bottom) and the raster label into the
   // frame, and shows it. During a PSD export each layer shown is handed to `ppsd` too. False
   // when no frame of the raster's size can be made: no frame is shown, and the user is told once
   // for that size.
   bool compose(project & document, zel2d::context * pcontext, PSDSaver * ppsd = nullptr);

   // Whether a frame must be composed although nothing changed: none is shown, and the raster's
   // size was not refused.
   bool needs_composing(const project & document) const;
   // Whether no frame of the document's raster size can be made; nothing tries again until the
   // size changes.
   bool is_refused(const project & document) const;

   // The composed frame; null before the first composition and after a refusal. Pixels that
   // only the canvas's shrunk copy shows yet are made first.
   const image::image * picture();
   // The drawing library's handle of the frame (below 1 for none), which the canvases draw.
   int image_handle() const noexcept { return m_imagewrap.handle(); }
   // The next composition is whole, as though no frame had been composed before.
   void forget() { m_composer.forget(); }
   // Lets the drawing library's image go.
   void release_image();

   // "The layer \"A\" draws nothing: ...": the sentence that names the layers that draw nothing
   // for want of memory, and why.
   static string_base beyond_budget_text(const string_array_base & names, const picture_budget & budget);

   // The layers whose pictures lie in the frame's own rows, and where.
   using places_in_frame = std::unordered_map<const app_layer *, frame_area>;

private:
   // Makes the frame at the raster's size before the layers are drawn, finds where their pictures
   // can lie in its rows, and moves there, or out, the pictures that lie there already. No place
   // is found while no frame of the raster's size can be made.
   places_in_frame settle_pictures_in_frame(project & document, zel2d::context * pcontext);
   // The frame at the raster's size; false when none can be made (the composition tells why).
   bool make_frame_for_places(project & document);
   void move_pictures_in_frame(project & document, const places_in_frame & places);
   // Every layer's picture that lies in the frame goes back into memory of its own.
   void take_pictures_out_of_frame(project & document);
   // Counts the frame at the document's raster size in its budget.
   void reserve_frame(const project & document);
   image::image & frame_of_raster_size(project & document);
   void refuse_raster(project & document, const std::exception & exception);
   // Composes `area` into the canvas's shrunk copy alone, when the copy halves the frame exactly
   // and the area is put together row by row; false, composing nothing, otherwise.
   bool compose_into_copy_only(const image::image & frame, const std::vector<composed_layer> & layers, const frame_area & area,
                               const frame_area & areaOverlay);
   // Makes the frame pixels that only the shrunk copy shows yet.
   void make_pending_pixels();
   // Nothing is left to make: the pixels were made, or the frame went.
   void forget_pending();

   error_reporter m_show_error;
   pointer<image::image> m_ppicture;
   ImageWrap m_imagewrap;
   frame_composer m_composer;
   // The part of the frame whose pixels only the shrunk copy shows yet (or more), and the layers
   // (with their pictures kept) that make them.
   frame_area m_areaPending;
   std::vector<composed_layer> m_layersPending;
   std::vector<pointer<image::image>> m_picturesPending;
   picture_budget::charge m_chargeFrame;
   // The raster size whose frame could not be made, and was told to the user; none when the
   // last frame was made.
   size_type<int> m_sizeRefused;
};

} // namespace Tarvossa_BrisvanePro
