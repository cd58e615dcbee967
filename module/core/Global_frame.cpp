#include <algorithm>
#include <mutex>

#include "core/Global.h"
#include "core/MainScreen.h"
#include "core/PSDSaver.h"
#include "core/frame_composer.h"
#include "document/OffscreenDraw.h"
#include "document/boxes_layer.h"
#include "document/project.h"
#include "host/context.h"
#include "host/node.h"
#include "orvo/geometry.h"
#include "orvo/image_service.h"
#include "orvo/string_array.h"
#include "orvo/trace.h"
#include "toolwindows/SettingsRasterLabel.h"
#include "zel2d/context.h"
#include "zelui/file_dialog.h"

namespace Tarvossa_BrisvanePro
{

namespace
{

// A picture export: where, and the main extension of the filter chosen in the dialog.
struct export_request
{
   file::path m_path;
   string_base m_strExtension;

   bool is_set() const { return !m_path.is_empty(); }
};

export_request take_export_request(Global & global)
{
   export_request request;
   pointer<file::file_dialog> pdialog = global.pick_save_to_image_file_dialog();
   if (pdialog && pdialog->_is_ok())
   {
      request.m_path = pdialog->get_file_path();
      request.m_strExtension = pdialog->get_selected_filter_main_extension();
   }
   return request;
}

// Asks every layer whether it changed, clearing every mark (so all are asked); a marked layer's
// picture is drawn again.
bool take_layers_changed(pointer_array<app_layer> & layers)
{
   bool bChanged = false;
   for (auto & player : layers)
   {
      if (player->has_changed())
      {
         player->forget_drawn_inputs();
         bChanged = true;
      }
   }
   return bChanged;
}

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

// The memory the document's pictures take: the layers' pictures and the frame.
std::int64_t picture_bytes_of(const project & document)
{
   std::int64_t iBytes = image::image::bytes_for(document.get_paper_width(), document.get_paper_height());
   for (const pointer<app_layer> & player : document.get_layers())
   {
      iBytes += player->picture_bytes();
   }
   return iBytes;
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

// One message for the layers that went beyond the memory budget in one build.
void tell_beyond_budget(const Global & global, const string_array_base & namesBeyond)
{
   constexpr long long names_told = 5;
   if (namesBeyond.is_empty())
   {
      return;
   }
   string_base strNames;
   for (long long i = 0; i < std::min(namesBeyond.count(), names_told); ++i)
   {
      strNames += (i == 0 ? "\"" : ", \"") + namesBeyond[i] + "\"";
   }
   if (namesBeyond.count() > names_told)
   {
      strNames += format(" and %lld more", namesBeyond.count() - names_told);
   }
   const bool bOne = namesBeyond.count() == 1;
   global.show_error(format("%s %s nothing: with %s, the document's pictures would take more than the %.1f GB allowed them (half of "
                            "this computer's memory).",
                            (string_base(bOne ? "The layer " : "The layers ") + strNames).c_str(), bOne ? "draws" : "draw", bOne ? "it" : "them",
                            static_cast<double>(global.get_memory_budget()) / (1 << 30)));
}

// Draws the offscreen pictures of the visible layers that do not show what they would be drawn
// from now (index 0 first). While "Draw Current Only" is on, the screen layers other than the
// current one are drawn without box fills. A layer whose picture would take the document's
// pictures beyond the memory budget draws nothing (and is tried again in later builds, for when
// there is room). False when a layer reported an error: the remaining layers are not drawn in
// this build, and the failed layer is not drawn again until it changes, so that its error is
// shown once.
bool build_layers(Global & global, project & document, zel2d::context * pcontext, bool bOnlyCurrent)
{
   pointer<app_layer> pcurrent = bOnlyCurrent ? document.current_layer() : pointer<app_layer>();
   bool bFailed = false;
   const app_layer::error_callback on_error = [&global, &bFailed](scoped_string_base strMessage)
   {
      global.show_error(strMessage);
      bFailed = true;
   };
   const base_run_numbers_map numbers = document.calculate_base_run_numbers();
   const project::base_run_numbers_hold hold(document, numbers);
   std::int64_t iBytesInUse = picture_bytes_of(document);
   string_array_base namesBeyond;
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
      const std::int64_t iBytesBefore = player->picture_bytes();
      if (iBytesInUse - player->offscreen_bytes() + player->offscreen_bytes_needed() > global.get_memory_budget())
      {
         leave_out_beyond_budget(*player, inputs, namesBeyond);
         iBytesInUse += player->picture_bytes() - iBytesBefore;
         continue;
      }
      player->set_beyond_budget(false);
      const int iDrawBoxes = pboxesDimmed ? std::exchange(pboxesDimmed->DrawBoxes, 0) : 0;
      player->build_frame(pcontext, on_error);
      if (pboxesDimmed)
      {
         pboxesDimmed->DrawBoxes = iDrawBoxes;
      }
      player->mark_drawn(inputs);
      iBytesInUse += player->picture_bytes() - iBytesBefore;
      if (bFailed)
      {
         // A layer that changed itself on failing (a path switched off) is drawn again.
         if (player->has_changed())
         {
            player->forget_drawn_inputs();
         }
         tell_beyond_budget(global, namesBeyond);
         return false;
      }
   }
   tell_beyond_budget(global, namesBeyond);
   return true;
}

// The raster label box over the frame; a box that touched the right or bottom raster edge keeps
// touching it as its text changes size (and the "Raster Label" tool window shows where it went).
void draw_raster_label(project & document, MainScreen * pscreen, zel2d::context * pcontext)
{
   const int iPaperWidth = document.get_paper_width();
   const int iPaperHeight = document.get_paper_height();
   const bool bFlushRight = document.is_raster_label_flush_right();
   const bool bFlushBottom = document.is_raster_label_flush_bottom();
   string_array_base lines;
   document.get_raster_label_lines(lines);
   pcontext->set_font_size(std::max(1.0f, static_cast<float>(document.m_iRasterLabelFontSize)));
   pcontext->set_font_face("sans");
   float fWidest = 0.f;
   float fLineHeight = 0.f;
   for (const auto & strLine : lines)
   {
      float bounds[4] = {};
      fWidest = std::max(fWidest, pcontext->text_bounds(0.f, 0.f, strLine, bounds));
      fLineHeight = std::max(fLineHeight, bounds[3] - bounds[1]);
   }
   const float fBoxWidth = fWidest + 20.0f;
   const float fBoxHeight = static_cast<float>(lines.count()) * fLineHeight + 20.0f;
   document.m_iRasterLabelBoxWidth = saturated_int(fBoxWidth);
   document.m_iRasterLabelBoxHeight = saturated_int(fBoxHeight);
   if (bFlushRight)
   {
      document.m_iRasterLabelX = iPaperWidth - document.m_iRasterLabelBoxWidth;
   }
   if (bFlushBottom)
   {
      document.m_iRasterLabelY = iPaperHeight - document.m_iRasterLabelBoxHeight;
   }
   SettingsRasterLabel * prasterlabel = pscreen ? pscreen->get_raster_label_window() : nullptr;
   if ((bFlushRight || bFlushBottom) && prasterlabel)
   {
      prasterlabel->get_settings_from_layer(document.current_boxes_layer());
   }
   const float x = static_cast<float>(document.m_iRasterLabelX);
   const float y = static_cast<float>(document.m_iRasterLabelY);
   pcontext->begin_path();
   pcontext->rectangle(x, y, fBoxWidth, fBoxHeight);
   pcontext->set_fill_color(color::color(0, 0, 0, 127));
   pcontext->fill();
   pcontext->set_text_align(zel2d::align_center | zel2d::align_middle);
   pcontext->set_fill_color(color::color(255, 255, 255, 255));
   float yLine = y + fLineHeight * 0.5f + 10.0f;
   for (const auto & strLine : lines)
   {
      if (!strLine.empty())
      {
         pcontext->text(x + fBoxWidth * 0.5f, yLine, strLine);
      }
      yLine += fLineHeight;
   }
}

size_type<int> raster_size_of(const project & document)
{
   return {document.get_paper_width(), document.get_paper_height()};
}

// The frame picture at the raster size; one made anew is composed whole. Throws, saying why, when
// no picture can be made at that size (beyond the picture size limit, or beyond memory).
image::image & frame_of_raster_size(Global & global, project & document)
{
   const size_type<int> sizePaper = raster_size_of(document);
   pointer<image::image> & pimageFrame = global.m_pimageFrame;
   if (pimageFrame && pimageFrame->width() == sizePaper.width && pimageFrame->height() == sizePaper.height)
   {
      return *pimageFrame;
   }
   if (pimageFrame && pimageFrame->_is_ok() && image::image::is_size_allowed(sizePaper.width, sizePaper.height))
   {
      pimageFrame->create(sizePaper.width, sizePaper.height);
   }
   else
   {
      pimageFrame = document.create_image(sizePaper);
   }
   return *pimageFrame;
}

// Whether the frame of a raster that could not be made is not tried again: until the raster
// size changes, nothing (a layer edit included) can make it, and each try would only fail again.
bool is_raster_refused(const Global & global, const project & document)
{
   return global.m_sizeRasterRefused == raster_size_of(document);
}

// A raster whose frame cannot be made shows no frame (rather than a stale one) and is told to the
// user once for its size; the frame is made anew, and composed whole, when the size changes.
void refuse_raster(Global & global, const project & document, const std::exception & exception)
{
   global.m_pimageFrame = nullptr;
   global.m_imagewrapFrame.releaseImage();
   global.m_pframecomposer->forget();
   global.m_sizeRasterRefused = raster_size_of(document);
   global.show_error(format("The raster of %d x %d pixels cannot be drawn: %s.", document.get_paper_width(), document.get_paper_height(),
                            exception.what()));
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

// What the raster label draws over the layers: when it changes, the frame is composed whole.
string_base raster_label_state(project & document)
{
   if (!document.m_bRasterLabel)
   {
      return "no raster label";
   }
   string_array_base lines;
   document.get_raster_label_lines(lines);
   string_base strState = format("%d %d %d %d %d", document.m_iRasterLabelFontSize, document.m_iRasterLabelX, document.m_iRasterLabelY,
                                 document.m_iRasterLabelBoxWidth, document.m_iRasterLabelBoxHeight);
   for (const auto & strLine : lines)
   {
      strState += "\n" + strLine;
   }
   return strState;
}

// The frame pixels that the raster label box, as last drawn, may change.
frame_area raster_label_area(const project & document)
{
   const long long x = document.m_iRasterLabelX;
   const long long y = document.m_iRasterLabelY;
   return {x - 1, y - 1, x + document.m_iRasterLabelBoxWidth + 2, y + document.m_iRasterLabelBoxHeight + 2};
}

// Composes the visible layers (index 0 at the bottom) and the raster label into the frame
// picture, again only where something changed since the last composition. Each layer's picture
// turns about its top-left corner on the raster.
void compose_frame(Global & global, project & document, zel2d::context * pcontext, PSDSaver * ppsd)
{
   image::image & frame = frame_of_raster_size(global, document);
   const std::vector<composed_layer> layers = composed_layers(document, pcontext, ppsd);
   frame_composer & composer = *global.m_pframecomposer;
   const frame_area area = composer.changed_area(frame, layers, raster_label_state(document));
   if (!area.is_empty())
   {
      frame_composer::overlay_drawer draw_label;
      if (document.m_bRasterLabel)
      {
         draw_label = [&](zel2d::context * pcontextFrame) { draw_raster_label(document, global.get_app(), pcontextFrame); };
      }
      composer.compose(frame, pcontext, layers, area, raster_label_area(document), draw_label);
   }
   // Taken again: drawing the label measured its box anew.
   composer.remember(frame, layers, raster_label_state(document));
   // The canvas's shrunk copy of the frame is made again only where the frame changed.
   const frame_area inside = area.intersection({0, 0, frame.width(), frame.height()});
   global.m_imagewrapFrame.share(pcontext, global.m_pimageFrame,
                                 {static_cast<int>(inside.left), static_cast<int>(inside.top), static_cast<int>(inside.right), static_cast<int>(inside.bottom)});
}

// The composed frame over opaque black.
pointer<image::image> over_black(const image::image & frame)
{
   auto pimage = make_pointer<image::image>(frame.width(), frame.height());
   pimage->fill(color::color(0, 0, 0, 255));
   pimage->blend(frame);
   return pimage;
}

// Writes the export in the format of its extension; false when the extension names no format
// (nothing is written then). A failed write is shown to the user.
bool write_export(Global & global, const export_request & request, const PSDSaver * ppsd)
{
   const image::image & frame = *global.m_pimageFrame;
   const string_base & strExtension = request.m_strExtension;
   file::write_result result;
   if (strExtension == "psd" && ppsd)
   {
      result = ppsd->savePSD(frame, request.m_path);
   }
   else if (strExtension == "png" || strExtension.empty())
   {
      pointer<image::image> pimageBlack = global.m_bBlackBackground ? over_black(frame) : pointer<image::image>();
      result = image::save_image(pimageBlack ? *pimageBlack : frame, request.m_path, {image::e_save_format_png, -1});
   }
   else if (strExtension == "tga")
   {
      result = image::save_image(frame, request.m_path, {image::e_save_format_tga, -1});
   }
   else if (strExtension == "bmp")
   {
      result = image::save_image(frame, request.m_path, {image::e_save_format_bmp, -1});
   }
   else if (strExtension == "jpg")
   {
      result = image::save_image(frame, request.m_path, {image::e_save_format_jpg, 90});
   }
   else
   {
      return false;
   }
   if (!result)
   {
      global.show_error(format("The image \"%s\" could not be written: %s", request.m_path.c_str(), result.m_strError.c_str()));
      return true;
   }
   if (file::write_result notified = platform::context::node()->notify_file_saved(request.m_path); !notified)
   {
      trace("the desktop was not told of %s: %s", request.m_path.c_str(), notified.m_strError.c_str());
   }
   return true;
}

} // namespace

bool Global::defer_build_frame(bool bDocument, zel2d::context * pcontext)
{
   std::lock_guard lock(m_mutexFrame);
   pointer<project> pproject(current_project());
   if (bDocument && !pproject)
   {
      return false;
   }
   // Change detection.
   pointer_array<app_layer> & layers = bDocument ? pproject->get_layers() : get_presets();
   bool bChanged = take_changed();
   bChanged = take_layers_changed(layers) || bChanged;
   // Frame building.
   if (bChanged && bDocument)
   {
      debug_trace("has changed");
      if (m_pscreen && m_pscreen->take_focus_restore())
      {
         // A layer was just selected: the field that had the focus gets its text back first,
         // and the next draw builds.
         m_pscreen->reapply_settings_base_widget_previous_value();
         set_changed();
         m_pscreen->set_need_redraw();
         m_pscreen->post_redraw();
         return false;
      }
      const bool bOnlyCurrent = m_pscreen && m_pscreen->isOnlyCurrent();
      if (!build_layers(*this, *pproject, pcontext, bOnlyCurrent))
      {
         if (m_pscreen)
         {
            m_pscreen->reload_all(true);
         }
         // The refresh only shows the document: a mark it leaves (a tool window writing back
         // what it shows) is no change, and must not have the failed layer drawn, and its error
         // shown, again and again. The next draw goes on with the layers after the failed one.
         for (const pointer<app_layer> & player : layers)
         {
            player->clear_changed();
         }
         set_changed();
         return false;
      }
   }
   // Export request and composition decision.
   const export_request request = take_export_request(*this);
   const bool bFrameShown = m_pimageFrame && m_pimageFrame->_is_ok();
   if (!bChanged && !request.is_set() && (bFrameShown || (pproject && is_raster_refused(*this, *pproject))))
   {
      return false;
   }
   if (!pproject)
   {
      return bChanged || request.is_set();
   }
   if (is_raster_refused(*this, *pproject))
   {
      if (request.is_set())
      {
         show_error(format("The image \"%s\" could not be written: the raster of %d x %d pixels cannot be drawn.", request.m_path.c_str(),
                           pproject->get_paper_width(), pproject->get_paper_height()));
      }
      return true;
   }
   std::unique_ptr<PSDSaver> ppsd;
   if (request.is_set() && request.m_strExtension == "psd")
   {
      ppsd = std::make_unique<PSDSaver>();
   }
   try
   {
      compose_frame(*this, *pproject, pcontext, ppsd.get());
   }
   catch (const std::exception & exception)
   {
      refuse_raster(*this, *pproject, exception);
      return true;
   }
   m_sizeRasterRefused = {};
   if (request.is_set())
   {
      write_export(*this, request, ppsd.get());
   }
   return true;
}

} // namespace Tarvossa_BrisvanePro
