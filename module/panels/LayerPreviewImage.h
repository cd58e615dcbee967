#pragma once

#include <optional>

#include "document/ImageWrap.h"
#include "orvo/image.h"
#include "orvo/pointer.h"
#include "panels/ClickableWidget.h"
#include "panels/forward.h"

namespace Tarvossa_BrisvanePro
{

// The 140 x 85 thumbnail at the right end of a list row: its layer drawn in a simple form (a
// screen layer's grid in its box colours, an image layer's picture) under a dark strip with the
// layer's name. The drawing is cached and only redone on `update_image_cache`, and on `draw`,
// `setLayer` and `refresh` when the layer's look changed since (its look revision moved on) or
// the thumbnail's size did: a layer that only moved keeps its thumbnail. The layer knows nothing
// of its thumbnail. A click on it is a click on the row.
class LayerPreviewImage : public ClickableWidget
{
public:
   static constexpr size_type<int> preview_size{140, 85};

   LayerPreviewImage(zelui::Widget * pparent, Global * pglobal);
   ~LayerPreviewImage() override;

   size_type<int> preferred_size(zel2d::context * pcontext) override;
   void draw(zel2d::context * pcontext) override;

   // Shows the layer and draws it at once, unless the thumbnail already shows that layer's look.
   void setLayer(zel2d::context * pcontext, app_layer * player);
   // Draws the layer again when its look changed since the last drawing, or the size did.
   void refresh(zel2d::context * pcontext);
   // Draws the layer into the cached picture and hands it to the drawing library; nothing
   // without a layer.
   void update_image_cache(zel2d::context * pcontext);
   // Lets the pictures and the layer go.
   void cleanup();

   // Whether the next draw draws the layer again: its look changed since the last drawing.
   bool is_stale() const;
   const pointer<image::image> & cached_image() const noexcept { return m_pimage; }
   const pointer<app_layer> & layer() const noexcept { return m_player; }

private:
   void draw_boxes(zel2d::context * pcontext, const boxes_layer & layer);
   void draw_picture(zel2d::context * pcontext, const image_layer & layer);
   void draw_name_strip(zel2d::context * pcontext);

   pointer<image::image> m_pimage;
   ImageWrap m_imagewrap;
   pointer<app_layer> m_player;
   // What the cached picture shows: the layer's look revision, at the thumbnail's size.
   struct drawn_look
   {
      const app_layer * m_player = nullptr;
      unsigned long long m_iRevision = 0;
      size_type<int> m_size;
      bool operator==(const drawn_look &) const = default;
   };
   drawn_look current_look() const;
   std::optional<drawn_look> m_odrawn;
};

} // namespace Tarvossa_BrisvanePro
