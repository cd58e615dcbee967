#include <algorithm>
#include <mutex>

#include "core/Global.h"
#include "core/MainScreen.h"
#include "core/PSDSaver.h"
#include "document/OffscreenDraw.h"
#include "document/boxes_layer.h"
#include "document/project.h"
#include "host/context.h"
#include "host/node.h"
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

// Asks every layer whether it changed, clearing every mark (so all are asked).
bool take_layers_changed(pointer_array<app_layer> & layers)
{
   bool bChanged = false;
   for (auto & player : layers)
   {
      bChanged = player->has_changed() || bChanged;
   }
   return bChanged;
}

// Draws the layers' offscreen pictures. While "Draw Current Only" is on, the screen layers other
// than the current one are drawn without box fills. False when a layer reported an error (the
// remaining layers are not drawn).
bool build_layers(Global & global, project & document, zel2d::context * pcontext, bool bOnlyCurrent)
{
   pointer<app_layer> pcurrent = bOnlyCurrent ? document.current_layer() : pointer<app_layer>();
   bool bFailed = false;
   const app_layer::error_callback on_error = [&global, &bFailed](scoped_string_base strMessage)
   {
      global.show_error(strMessage);
      bFailed = true;
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
      int iDrawBoxes = 0;
      if (bOnlyCurrent && player != pcurrent && player->get_layer_type() == e_layer_boxes)
      {
         pboxesDimmed = dynamic_cast<boxes_layer *>(player.get());
         iDrawBoxes = std::exchange(pboxesDimmed->DrawBoxes, 0);
      }
      player->build_frame(pcontext, on_error);
      if (pboxesDimmed)
      {
         pboxesDimmed->DrawBoxes = iDrawBoxes;
      }
      if (bFailed)
      {
         return false;
      }
   }
   return true;
}

// The raster label box over the frame; a box that touched the right or bottom raster edge keeps
// touching it as its text changes size (and the "Raster Label" tool window shows where it went).
void draw_raster_label(project & document, MainScreen * pscreen, zel2d::context * pcontext)
{
   const int iPaperWidth = document.get_paper_width();
   const int iPaperHeight = document.get_paper_height();
   const bool bFlushRight = document.m_iRasterLabelX + document.m_iRasterLabelBoxWidth == iPaperWidth;
   const bool bFlushBottom = document.m_iRasterLabelY + document.m_iRasterLabelBoxHeight == iPaperHeight;
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
   document.m_iRasterLabelBoxWidth = static_cast<int>(fBoxWidth);
   document.m_iRasterLabelBoxHeight = static_cast<int>(fBoxHeight);
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

// Composes the visible layers (index 0 at the bottom) and the raster label into the frame
// picture. Each layer's picture turns about its top-left corner on the raster.
void compose_frame(Global & global, project & document, zel2d::context * pcontext, PSDSaver * ppsd)
{
   const size_type<int> sizePaper{document.get_paper_width(), document.get_paper_height()};
   pointer<image::image> & pimageFrame = global.m_pimageFrame;
   // A picture made at a new size is transparent already: the frame is cleared once.
   if (pimageFrame && pimageFrame->width() == sizePaper.width && pimageFrame->height() == sizePaper.height)
   {
      pimageFrame->clear();
   }
   else if (pimageFrame && pimageFrame->_is_ok())
   {
      pimageFrame->create(sizePaper.width, sizePaper.height);
   }
   else
   {
      pimageFrame = document.create_image(sizePaper);
   }
   {
      OffscreenDraw offscreen(pcontext, global.m_pimageFrame.get());
      pointer_array<app_layer> layers = document.get_layers();
      for (auto & player : layers)
      {
         const int iType = player->get_layer_type();
         if (player->is_hidden() || (iType != e_layer_boxes && iType != e_layer_image) || !player->get_offscreen())
         {
            continue;
         }
         ImageWrap * pimagewrap = player->get_zel2d_image(pcontext);
         const float x = static_cast<float>(player->get_offset_x());
         const float y = static_cast<float>(player->get_offset_y());
         const float w = static_cast<float>(player->get_full_width());
         const float h = static_cast<float>(player->get_full_height());
         if (ppsd)
         {
            ppsd->add_layer(player);
         }
         pcontext->save();
         pcontext->translate(x, y);
         pcontext->rotate(player->get_rotation());
         pcontext->translate(-x, -y);
         const zel2d::paint paint = pcontext->image_pattern(x, y, w, h, 0.0f, pimagewrap ? pimagewrap->handle() : 0, 1.0f);
         pcontext->begin_path();
         pcontext->rectangle(x, y, w, h);
         pcontext->set_fill_paint(paint);
         pcontext->fill();
         pcontext->restore();
      }
      if (document.m_bRasterLabel)
      {
         draw_raster_label(document, global.get_app(), pcontext);
      }
   }
   global.m_imagewrapFrame.share(pcontext, global.m_pimageFrame);
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
      trace("has changed");
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
         return false;
      }
   }
   // Export request and composition decision.
   const export_request request = take_export_request(*this);
   if (!bChanged && !request.is_set() && m_pimageFrame && m_pimageFrame->_is_ok())
   {
      return false;
   }
   if (!pproject)
   {
      return bChanged || request.is_set();
   }
   std::unique_ptr<PSDSaver> ppsd;
   if (request.is_set() && request.m_strExtension == "psd")
   {
      ppsd = std::make_unique<PSDSaver>();
   }
   compose_frame(*this, *pproject, pcontext, ppsd.get());
   if (request.is_set())
   {
      write_export(*this, request, ppsd.get());
   }
   return true;
}

} // namespace Tarvossa_BrisvanePro
