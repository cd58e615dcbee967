#include "core/frame_builder.h"

#include <algorithm>
#include <new>
#include <optional>
#include <utility>

#include "core/PSDSaver.h"
#include "core/layer_naming.h"
#include "document/boxes_layer.h"
#include "document/image_layer.h"
#include "document/project.h"
#include "orvo/file_system.h"
#include "orvo/payload.h"
#include "orvo/trace.h"
#include "zel2d/context.h"
#include "zel2d/graphics.h"
#include "zel2d/image_store.h"

namespace Tarvossa_BrisvanePro
{

namespace
{

// What a layer would be drawn from now besides its own settings: the numbers of its runs (only
// while it draws that path, whose arrows carry them) and whether its box fills are left out.
drawn_inputs inputs_of(const app_layer & layer, const base_run_numbers_map & numbers, bool bBoxesLeftOut)
{
   drawn_inputs inputs;
   inputs.m_bBoxesLeftOut = bBoxesLeftOut;
   const auto * pboxes = dynamic_cast<const boxes_layer *>(&layer);
   if (auto it = pboxes ? numbers.find(pboxes) : numbers.end(); it != numbers.end())
   {
      inputs.m_iFirstDataRun = pboxes->DrawSnake != 0 ? it->second.m_iData : 0;
      inputs.m_iFirstPowerRun = pboxes->DrawPowerSnake != 0 ? it->second.m_iPower : 0;
   }
   return inputs;
}

// A layer beyond the memory budget lets its offscreen picture go and draws nothing; it is named
// to the user once for what it would be drawn from.
void leave_out_beyond_budget(app_layer & layer, const drawn_inputs & inputs, string_array_base & namesBeyond)
{
   if (layer.is_beyond_budget() && layer.get_drawn_inputs() == inputs)
   {
      return;
   }
   layer.resetOffscreen();
   layer.mark_drawn(inputs);
   layer.set_beyond_budget(true);
   namesBeyond.add(layer.get_name());
}

// What decides a layer's drawing besides what the frame build hands it: its text, leaving out an
// image layer's picture, which no edit after a failure changes (and which is slow to encode).
string_base settings_of(const app_layer & layer)
{
   if (const auto * pimage = dynamic_cast<const image_layer *>(&layer))
   {
      return layer.get_base_layer_info().as_string(":", "\n") +
             format("\nWidth:%d\nHeight:%d\nAspectRatio:%d", pimage->get_width(), pimage->get_height(), pimage->getMaintainAspectRatio() ? 1 : 0);
   }
   return layer.get_layer_info();
}

// Whether the layer's picture, taking `iNeeded` bytes of memory of its own, fits in the
// document's budget. Pictures kept only to draw faster go first: a document opened afresh has
// none, and would draw the layer.
bool fits_in_budget(project & document, const app_layer & layer, std::int64_t iNeeded)
{
   const picture_budget & budget = document.budget();
   if (budget.fits(iNeeded, layer.offscreen_bytes()))
   {
      return true;
   }
   for (const pointer<app_layer> & player : document.get_layers())
   {
      player->drop_redraw_cache();
   }
   return budget.fits(iNeeded, layer.offscreen_bytes());
}

// Draws one layer, telling `on_error` of a failure in the user's terms, including one the layer
// did not catch itself.
void draw_layer(app_layer & layer, zel2d::context * pcontext, const app_layer::error_callback & on_error)
{
   try
   {
      layer.build_frame(pcontext, on_error);
   }
   catch (const std::bad_alloc &)
   {
      on_error(format("The layer \"%s\" cannot be drawn: %s.", layer.get_name().c_str(),
                      picture_budget::shortage_text(layer.get_full_width(), layer.get_full_height()).c_str()));
   }
   catch (const std::exception & exception)
   {
      on_error(format("The layer \"%s\" cannot be drawn: %s.", layer.get_name().c_str(), exception.what()));
   }
}

// The visible screen and image layers that have a picture, as the frame shows them; during a
// PSD export each is handed to the writer too.
std::vector<composed_layer> composed_layers(project & document, zel2d::context * pcontext, PSDSaver * ppsd)
{
   std::vector<composed_layer> composed;
   for (const pointer<app_layer> & player : document.get_layers())
   {
      const int iType = player->get_layer_type();
      const pointer<image::image> pimage = player->get_offscreen();
      if (player->is_hidden() || (iType != e_layer_boxes && iType != e_layer_image) || !pimage)
      {
         continue;
      }
      const ImageWrap * pimagewrap = player->get_zel2d_image(pcontext);
      if (ppsd)
      {
         ppsd->add_layer(player);
      }
      const composed_layer layer{player.get(), player->drawing_count(), pimage.get(), pimagewrap->handle(), player->get_offset_x(),
                                 player->get_offset_y(), player->get_full_width(), player->get_full_height(), player->get_rotation()};
      if (!layer.footprint().is_empty())
      {
         composed.push_back(layer);
      }
   }
   return composed;
}

// The frame pixels that a raster label box at (x, y) of w x h may change.
frame_area label_box_area(long long x, long long y, long long w, long long h)
{
   return {x - 1, y - 1, x + w + 2, y + h + 2};
}

// The frame pixels that the raster label box may change.
frame_area raster_label_area(const project & document)
{
   return label_box_area(document.m_iRasterLabelX, document.m_iRasterLabelY, document.m_iRasterLabelBoxWidth, document.m_iRasterLabelBoxHeight);
}

// The frame pixels the raster label will change once composed; none when it is not shown.
frame_area raster_label_area_to_come(project & document, zel2d::context * pcontext)
{
   if (!document.m_bRasterLabel)
   {
      return {};
   }
   const raster_label_box box = raster_label_box::measured(document, pcontext);
   return label_box_area(box.m_iX, box.m_iY, saturated_int(box.m_fWidth), saturated_int(box.m_fHeight));
}

// The place in the frame of a picture that lies in the frame's rows.
frame_area place_of(const image::image & picture)
{
   const long long x = picture.x_in_holder();
   const long long y = picture.y_in_holder();
   return {x, y, x + picture.width(), y + picture.height()};
}

// Whether the picture is of the size of `place`, so that it can lie there as it is.
bool fits_place(const image::image & picture, const frame_area & place)
{
   return place.width() == picture.width() && place.height() == picture.height();
}

// The part of the frame that each layer makes alone where its picture can lie in the frame's own
// rows: an unturned layer inside the frame that no other layer shown, nor the raster label,
// touches. The composition copies no pixel there. Only layers below the first turned or
// stretched one are placed, as only those are put together row by row (the drawing library
// draws the others over what lies under them).
frame_builder::places_in_frame places_of_layers(const project & document, const image::image & frame, const frame_area & areaLabel)
{
   std::vector<std::pair<const app_layer *, frame_area>> shown;
   bool bPutTogether = true;
   std::vector<bool> placeable;
   for (const pointer<app_layer> & player : document.get_layers())
   {
      const int iType = player->get_layer_type();
      if (player->is_hidden() || (iType != e_layer_boxes && iType != e_layer_image))
      {
         continue;
      }
      const composed_layer layer{player.get(), 0, nullptr, 0, player->get_offset_x(), player->get_offset_y(), player->get_full_width(),
                                 player->get_full_height(), player->get_rotation()};
      const frame_area footprint = layer.footprint();
      if (footprint.is_empty())
      {
         continue;
      }
      // A picture not of the layer's size now is drawn again at that size in this build (its layer
      // changed, which forgot what it was drawn from), unless it is let go: either way it is not
      // stretched once composed.
      const pointer<image::image> pimage = player->get_offscreen();
      const bool bStretched = pimage && player->get_drawn_inputs().has_value() &&
                              (pimage->width() != layer.m_iWidth || pimage->height() != layer.m_iHeight);
      bPutTogether = bPutTogether && layer.m_fRotation == 0.f && !bStretched;
      shown.emplace_back(player.get(), footprint);
      placeable.push_back(bPutTogether && footprint.intersection({0, 0, frame.width(), frame.height()}) == footprint &&
                          footprint.intersection(areaLabel).is_empty());
   }
   frame_builder::places_in_frame places;
   for (std::size_t i = 0; i < shown.size(); ++i)
   {
      const frame_area & footprint = shown[i].second;
      const auto touches = [&](std::size_t j) { return j != i && !footprint.intersection(shown[j].second).is_empty(); };
      bool bAlone = placeable[i];
      for (std::size_t j = 0; bAlone && j < shown.size(); ++j)
      {
         bAlone = !touches(j);
      }
      if (bAlone)
      {
         places.emplace(shown[i].first, footprint);
      }
   }
   return places;
}

size_type<int> raster_size_of(const project & document)
{
   return {document.get_paper_width(), document.get_paper_height()};
}

} // namespace

frame_builder::frame_builder(error_reporter show_error) :
   m_show_error(std::move(show_error))
{
}

string_base frame_builder::beyond_budget_text(const string_array_base & names, const picture_budget & budget)
{
   const bool bOne = names.count() == 1;
   return format("%s %s %s nothing: with %s, the document's pictures would take more than the %s allowed them (half of the memory "
                 "this program may use).",
                 bOne ? "The layer" : "The layers", quoted_layer_names(names).c_str(), bOne ? "draws" : "draw", bOne ? "it" : "them",
                 file::byte_count_text(static_cast<std::uint64_t>(std::max<std::int64_t>(budget.limit(), 0))).c_str());
}

bool frame_builder::build(project & document, zel2d::context * pcontext, bool bOnlyCurrent)
{
   pointer<app_layer> pcurrent = bOnlyCurrent ? document.current_layer() : pointer<app_layer>();
   bool bFailed = false;
   const app_layer::error_callback on_error = [this, &bFailed](scoped_string_base strMessage)
   {
      m_show_error(strMessage);
      bFailed = true;
   };
   const base_run_numbers_map numbers = document.calculate_base_run_numbers();
   const project::base_run_numbers_hold hold(document, numbers);
   reserve_frame(document);
   const places_in_frame places = settle_pictures_in_frame(document, pcontext);
   // The canvas's shrunk copy of the frame reads the rows drawn into the frame again at once.
   const frame_rows_read eread =
      m_imagewrap.handle() >= 1 && zel2d::image_store::shared().has_shrunk_copy(m_imagewrap.handle()) ? frame_rows_read::at_once : frame_rows_read::later;
   const picture_budget & budget = document.budget();
   string_array_base namesBeyond;
   const auto tell_beyond_budget = [&]
   {
      if (!namesBeyond.is_empty())
      {
         m_show_error(beyond_budget_text(namesBeyond, budget));
      }
   };
   pointer_array<app_layer> layers = document.get_layers();
   for (auto & player : layers)
   {
      bFailed = false;
      if (player->is_hidden())
      {
         continue;
      }
      boxes_layer * pboxesDimmed = nullptr;
      if (bOnlyCurrent && player != pcurrent && player->get_layer_type() == e_layer_boxes)
      {
         pboxesDimmed = dynamic_cast<boxes_layer *>(player.get());
      }
      const drawn_inputs inputs = inputs_of(*player, numbers, pboxesDimmed != nullptr);
      if (player->get_drawn_inputs() == inputs && !player->is_beyond_budget())
      {
         continue;
      }
      // A layer that failed is tried again only once its settings changed (a value committed
      // again unchanged, or the panels' refresh, change nothing), so that its error is told once.
      if (player->has_failed_to_draw() && player->settings_failed() == settings_of(*player))
      {
         player->mark_drawn(inputs);
         continue;
      }
      const auto itPlace = places.find(player.get());
      const bool bInFrame = itPlace != places.end();
      if (!fits_in_budget(document, *player, bInFrame ? 0 : player->offscreen_bytes_needed()))
      {
         leave_out_beyond_budget(*player, inputs, namesBeyond);
         continue;
      }
      player->set_beyond_budget(false);
      const int iDrawBoxes = pboxesDimmed ? std::exchange(pboxesDimmed->DrawBoxes, 0) : 0;
      if (bInFrame)
      {
         player->offer_frame_place(m_ppicture, static_cast<int>(itPlace->second.left), static_cast<int>(itPlace->second.top), eread);
      }
      draw_layer(*player, pcontext, on_error);
      player->withdraw_frame_place();
      if (pboxesDimmed)
      {
         pboxesDimmed->DrawBoxes = iDrawBoxes;
      }
      if (!bFailed)
      {
         player->mark_drawn(inputs);
         player->set_settings_failed({});
         continue;
      }
      // A failed layer shows nothing rather than a picture that no longer matches it. One that
      // changed itself on failing (a path switched off) is drawn again.
      player->resetOffscreen();
      if (player->has_changed())
      {
         player->forget_drawn_inputs();
      }
      else
      {
         player->mark_drawn(inputs);
         player->set_settings_failed(settings_of(*player));
      }
      tell_beyond_budget();
      return false;
   }
   tell_beyond_budget();
   return true;
}

bool frame_builder::compose(project & document, zel2d::context * pcontext, PSDSaver * ppsd)
{
   if (is_refused(document))
   {
      return false;
   }
   std::optional<raster_label_box> olabel;
   if (document.m_bRasterLabel)
   {
      olabel = raster_label_box::measure(document, pcontext);
   }
   try
   {
      reserve_frame(document);
      image::image & frame = frame_of_raster_size(document);
      const std::vector<composed_layer> layers = composed_layers(document, pcontext, ppsd);
      const frame_area area = m_composer.changed_area(frame, layers, olabel);
      m_imagewrap.share(pcontext, m_ppicture, {});
      if (!area.is_empty() && !(pcontext != nullptr && compose_into_copy_only(frame, layers, area, olabel ? raster_label_area(document) : frame_area())))
      {
         // The frame is whole before it is composed into.
         make_pending_pixels();
         frame_composer::overlay_drawer draw_label;
         if (olabel)
         {
            draw_label = [&olabel](zel2d::context * pcontextFrame) { olabel->draw(pcontextFrame); };
         }
         // The canvas's shrunk copy of the frame is made again only where the frame changed,
         // band by band while each band's pixels are still in the cache.
         const auto shrink_again = [this, pcontext](const frame_area & rows)
         {
            pcontext->image_changed(m_imagewrap.handle(), {static_cast<int>(rows.left), static_cast<int>(rows.top), static_cast<int>(rows.right), static_cast<int>(rows.bottom)},
                                    zel2d::remake_copies::now);
         };
         m_composer.compose(frame, pcontext, layers, area, raster_label_area(document), draw_label,
                            pcontext != nullptr ? frame_composer::rows_handler(shrink_again) : frame_composer::rows_handler());
      }
      m_composer.remember(frame, layers, olabel);
   }
   catch (const std::exception & exception)
   {
      refuse_raster(document, exception);
      return false;
   }
   m_sizeRefused = {};
   return true;
}

namespace
{

// `area` widened to whole multiples of `iStep` pixels.
frame_area aligned_to(const frame_area & area, long long iStep)
{
   const auto down = [iStep](long long v) { return v / iStep * iStep; };
   const auto up = [iStep](long long v) { return (v + iStep - 1) / iStep * iStep; };
   return {down(area.left), down(area.top), up(area.right), up(area.bottom)};
}

rectangle_i32 as_rectangle_i32(const frame_area & area)
{
   return {static_cast<int>(area.left), static_cast<int>(area.top), static_cast<int>(area.right), static_cast<int>(area.bottom)};
}

} // namespace

// While the canvas shows the frame smaller, from a copy that halves it once or twice, the frame's
// own pixels are read only by an export or a drawing at full size: an edit then costs what the
// window shows, and the frame pixels are made when first read.
bool frame_builder::compose_into_copy_only(const image::image & frame, const std::vector<composed_layer> & layers, const frame_area & area,
                                           const frame_area & areaOverlay)
{
   zel2d::image_store & store = zel2d::image_store::shared();
   const int iImage = m_imagewrap.handle();
   const int iHalvings = iImage >= 1 ? store.copy_halvings(iImage) : 0;
   if (iHalvings == 0)
   {
      return false;
   }
   // Each copy pixel is made from whole source pixels of the composed rows alone.
   const frame_area areaAligned = aligned_to(area, 1LL << iHalvings).intersection({0, 0, frame.width(), frame.height()});
   // What is left to make stays put together row by row from the layers as they are now.
   if (!frame_composer::is_put_together(layers, areaAligned.united(m_areaPending), areaOverlay))
   {
      return false;
   }
   m_areaPending = m_areaPending.united(areaAligned);
   m_layersPending = layers;
   m_picturesPending.clear();
   for (const composed_layer & layer : layers)
   {
      m_picturesPending.push_back(layer.m_player->get_offscreen());
   }
   const zel2d::image_store::pixel_maker make_pixels = [this](const rectangle_i32 & rect)
   {
      m_composer.compose(*m_ppicture, nullptr, m_layersPending, {rect.left, rect.top, rect.right, rect.bottom}, {}, {});
      forget_pending();
   };
   frame_composer::compose_bands(layers, areaAligned, [&](const std::uint32_t * ppixels, std::size_t uStride, const frame_area & rows)
   {
      const zel2d::pixel_rows part{reinterpret_cast<std::uint8_t *>(const_cast<std::uint32_t *>(ppixels)), static_cast<int>(rows.width()),
                                   static_cast<int>(rows.height()), static_cast<int>(uStride * 4)};
      store.make_copy_from_part(iImage, part, as_rectangle_i32(rows), make_pixels);
   });
   return true;
}

frame_builder::places_in_frame frame_builder::settle_pictures_in_frame(project & document, zel2d::context * pcontext)
{
   places_in_frame places;
   if (!is_refused(document) && make_frame_for_places(document))
   {
      places = places_of_layers(document, *m_ppicture, raster_label_area_to_come(document, pcontext));
   }
   // Frame pixels left to make are made from the layers as they were: before a picture takes a
   // place there that it did not hold.
   for (const auto & [player, place] : places)
   {
      const pointer<image::image> pimage = player->get_offscreen();
      const bool bHeld = pimage && pimage->holder() == m_ppicture.get() && place_of(*pimage) == place;
      if (!bHeld && !place.intersection(m_areaPending).is_empty())
      {
         make_pending_pixels();
         break;
      }
   }
   move_pictures_in_frame(document, places);
   return places;
}

bool frame_builder::make_frame_for_places(project & document)
{
   if (m_ppicture && m_ppicture->width() == document.get_paper_width() && m_ppicture->height() == document.get_paper_height())
   {
      return true;
   }
   make_pending_pixels();
   take_pictures_out_of_frame(document);
   try
   {
      frame_of_raster_size(document);
   }
   catch (const std::exception &)
   {
      // The composition tells why.
      return false;
   }
   return m_ppicture != nullptr;
}

// The pictures in the frame whose layer has no place there now, or another one, move out, or to
// the new place. Those whose old place meets another layer's place go out first, so that no
// picture is moved over pixels still to be moved; the rest move straight to their new place.
// Pictures of memory of their own whose layer has a place go there last.
void frame_builder::move_pictures_in_frame(project & document, const places_in_frame & places)
{
   const auto meets_another_place = [&places](const app_layer * player, const frame_area & area)
   {
      return std::any_of(places.begin(), places.end(), [&](const auto & other) { return other.first != player && !other.second.intersection(area).is_empty(); });
   };
   std::vector<app_layer *> moving;
   for (const pointer<app_layer> & player : document.get_layers())
   {
      const pointer<image::image> pimage = player->get_offscreen();
      if (!pimage || pimage->holder() == nullptr)
      {
         continue;
      }
      const auto itPlace = places.find(player.get());
      const bool bInThisFrame = pimage->holder() == m_ppicture.get();
      if (bInThisFrame && itPlace != places.end() && place_of(*pimage) == itPlace->second)
      {
         continue;
      }
      const bool bMovesInFrame = bInThisFrame && itPlace != places.end() && fits_place(*pimage, itPlace->second) &&
                                 !meets_another_place(player.get(), place_of(*pimage));
      if (bMovesInFrame)
      {
         moving.push_back(player.get());
      }
      else
      {
         player->take_offscreen_out_of_frame();
      }
   }
   for (app_layer * player : moving)
   {
      const frame_area & place = places.at(player);
      player->move_offscreen_in_frame(m_ppicture, static_cast<int>(place.left), static_cast<int>(place.top));
   }
   // A picture in memory of its own whose layer now makes its part of the frame alone (the raster
   // was made anew, the layer it touched moved away) goes there too and gives its memory back, as
   // in a document opened afresh; after the moves, as its place may lie where pictures moved from.
   for (const pointer<app_layer> & player : document.get_layers())
   {
      const pointer<image::image> pimage = player->get_offscreen();
      const auto itPlace = places.find(player.get());
      if (pimage && pimage->holder() == nullptr && itPlace != places.end() && fits_place(*pimage, itPlace->second))
      {
         player->move_offscreen_in_frame(m_ppicture, static_cast<int>(itPlace->second.left), static_cast<int>(itPlace->second.top));
      }
   }
}

void frame_builder::take_pictures_out_of_frame(project & document)
{
   for (const pointer<app_layer> & player : document.get_layers())
   {
      const pointer<image::image> pimage = player->get_offscreen();
      if (pimage && pimage->holder() != nullptr)
      {
         player->take_offscreen_out_of_frame();
      }
   }
}

void frame_builder::make_pending_pixels()
{
   if (m_imagewrap.handle() >= 1)
   {
      zel2d::image_store::shared().make_pending(m_imagewrap.handle());
   }
   forget_pending();
}

void frame_builder::forget_pending()
{
   m_areaPending = {};
   m_layersPending.clear();
   m_picturesPending.clear();
}

const image::image * frame_builder::picture()
{
   make_pending_pixels();
   return m_ppicture.get();
}

void frame_builder::release_image()
{
   make_pending_pixels();
   m_imagewrap.releaseImage();
}

bool frame_builder::needs_composing(const project & document) const
{
   return !(m_ppicture && m_ppicture->_is_ok()) && !is_refused(document);
}

bool frame_builder::is_refused(const project & document) const
{
   return m_sizeRefused == raster_size_of(document);
}

void frame_builder::reserve_frame(const project & document)
{
   m_chargeFrame.move_to(document.budget_pointer());
   m_chargeFrame.set(image::image::bytes_for(document.get_paper_width(), document.get_paper_height()));
}

// The frame picture at the raster size; one made anew is composed whole. Throws, saying why, when
// no picture can be made at that size (beyond the picture size limit, or beyond memory).
image::image & frame_builder::frame_of_raster_size(project & document)
{
   const size_type<int> sizePaper = raster_size_of(document);
   if (m_ppicture && m_ppicture->width() == sizePaper.width && m_ppicture->height() == sizePaper.height)
   {
      return *m_ppicture;
   }
   // A frame that still holds pictures (of layers no longer in the document) is left to them.
   if (m_ppicture && m_ppicture->_is_ok() && !m_ppicture->holds_others() && image::image::is_size_allowed(sizePaper.width, sizePaper.height) &&
       draw2d::graphics::can_draw_into(sizePaper.width, sizePaper.height))
   {
      m_ppicture->create(sizePaper.width, sizePaper.height);
   }
   else
   {
      m_ppicture = nullptr;
      m_ppicture = document.create_image(sizePaper);
   }
   return *m_ppicture;
}

// A raster whose frame cannot be made shows no frame (rather than a stale one) and is told to the
// user once for its size; the frame is made anew, and composed whole, when the size changes.
void frame_builder::refuse_raster(project & document, const std::exception & exception)
{
   take_pictures_out_of_frame(document);
   m_ppicture = nullptr;
   m_imagewrap.releaseImage();
   make_pending_pixels();
   m_composer.forget();
   m_chargeFrame.set(0);
   m_sizeRefused = raster_size_of(document);
   const string_base strWhy = dynamic_cast<const std::bad_alloc *>(&exception)
                                 ? picture_budget::shortage_text(document.get_paper_width(), document.get_paper_height())
                                 : string_base(exception.what());
   m_show_error(format("The raster of %d x %d pixels cannot be drawn: %s.", document.get_paper_width(), document.get_paper_height(), strWhy.c_str()));
}

} // namespace Tarvossa_BrisvanePro
