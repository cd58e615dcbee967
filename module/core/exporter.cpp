#include "core/exporter.h"

#include <algorithm>
#include <iterator>
#include <new>
#include <optional>
#include <utility>

#include "core/Global.h"
#include "core/PSDSaver.h"
#include "core/file_reports.h"
#include "core/frame_builder.h"
#include "core/layer_naming.h"
#include "document/project.h"
#include "orvo/file_system.h"
#include "orvo/image_service.h"

namespace Tarvossa_BrisvanePro
{

namespace
{

// The composed frame over opaque black.
pointer<image::image> over_black(const image::image & frame)
{
   auto pimage = make_pointer<image::image>(frame.width(), frame.height());
   pimage->fill(color::color(0, 0, 0, 255));
   pimage->blend(frame);
   return pimage;
}

// Writes the frame in the format of the extension (PNG over black when `bBlackBackground`); none
// for an extension that names no format, when nothing is written.
std::optional<outcome<file::written>> write_in_format(const image::image & frame, const file::path & path, const string_base & strExtension,
                                                  const PSDSaver * ppsd, bool bBlackBackground)
{
   if (strExtension == "psd" && ppsd)
   {
      return ppsd->savePSD(frame, path);
   }
   if (strExtension == "png" || strExtension.empty())
   {
      pointer<image::image> pimageBlack = bBlackBackground ? over_black(frame) : pointer<image::image>();
      return image::save_image(pimageBlack ? *pimageBlack : frame, path, {image::e_save_format_png, -1});
   }
   if (strExtension == "tga")
   {
      return image::save_image(frame, path, {image::e_save_format_tga, -1});
   }
   if (strExtension == "bmp")
   {
      return image::save_image(frame, path, {image::e_save_format_bmp, -1});
   }
   if (strExtension == "jpg")
   {
      return image::save_image(frame, path, {image::e_save_format_jpg, 90});
   }
   return std::nullopt;
}

// The formats a picture export writes, in the order "Save Image" lists them.
const std::vector<file::file_dialog_filter_item> & picture_formats()
{
   static const std::vector<file::file_dialog_filter_item> s_formats{
      {"PNG Image", "*.png"}, {"TGA Image", "*.tga"}, {"JPG Image", "*.jpg"}, {"BMP Image", "*.bmp"}, {"Photoshop Image", "*.psd"}};
   return s_formats;
}

const file::file_dialog_filter_item all_files{"All Files", "*.*"};

} // namespace

exporter::exporter(Global & global) : m_global(global)
{
}

exporter::~exporter() = default;

file::file_dialog_filter exporter::picture_filter()
{
   file::file_dialog_filter filter;
   for (const file::file_dialog_filter_item & format : picture_formats())
   {
      filter.add(format.m_strCaption, format.m_strPattern);
   }
   filter.add(all_files.m_strCaption, all_files.m_strPattern);
   return filter;
}

file::file_dialog_filter exporter::one_format_filter(const file::file_dialog_filter_item & format)
{
   std::vector<file::file_dialog_filter_item> others;
   std::ranges::copy_if(picture_formats(), std::back_inserter(others),
                        [&](const file::file_dialog_filter_item & item) { return item.m_strPattern != format.m_strPattern; });
   return file::file_dialog_filter({format, all_files}, std::move(others));
}

pointer<file::file_dialog> exporter::take_pending()
{
   return std::exchange(m_pdialogPending, nullptr);
}

exporter::request exporter::take_request()
{
   request request;
   pointer<file::file_dialog> pdialog = take_pending();
   if (pdialog && !pdialog->get_file_path().is_empty())
   {
      request.m_path = pdialog->get_file_path();
      request.m_strExtension = pdialog->get_selected_filter_main_extension();
   }
   return request;
}

bool exporter::may_export(const request & request, const project & document) const
{
   if (m_global.frame().is_refused(document))
   {
      report_write(m_global, "The image", request.m_path,
                   failure(format("the raster of %d x %d pixels cannot be drawn.", document.get_paper_width(), document.get_paper_height())));
      return false;
   }
   // An export leaves out no layer the user sees: a layer that draws nothing for want of memory,
   // or whose drawing failed, keeps the whole export from being written.
   string_array_base namesBeyond;
   string_array_base namesFailed;
   for (const pointer<app_layer> & player : document.get_layers())
   {
      if (player->is_hidden())
      {
         continue;
      }
      if (player->is_beyond_budget())
      {
         namesBeyond.add(player->get_name());
      }
      else if (player->has_failed_to_draw())
      {
         namesFailed.add(player->get_name());
      }
   }
   if (namesBeyond.is_empty() && namesFailed.is_empty())
   {
      return true;
   }
   string_base strMessage = format("The image \"%s\" was not written: it would leave out layers.", request.m_path.c_str());
   if (!namesBeyond.is_empty())
   {
      strMessage += " " + frame_builder::beyond_budget_text(namesBeyond, document.budget());
   }
   if (!namesFailed.is_empty())
   {
      strMessage += format(" %s %s could not be drawn.", namesFailed.count() == 1 ? "The layer" : "The layers", quoted_layer_names(namesFailed).c_str());
   }
   m_global.show_error(strMessage);
   return false;
}

// An extension that names no format writes nothing.
void exporter::write(const request & request, const PSDSaver * ppsd) const
{
   const image::image & frame = *m_global.frame().picture();
   std::optional<outcome<file::written>> oresult;
   try
   {
      oresult = write_in_format(frame, request.m_path, request.m_strExtension, ppsd, m_global.m_bBlackBackground);
   }
   catch (const std::bad_alloc &)
   {
      oresult = failure(picture_budget::shortage_text(frame.width(), frame.height()));
   }
   if (!oresult)
   {
      return;
   }
   if (report_write(m_global, "The image", request.m_path, *oresult))
   {
      tell_desktop_of_save(request.m_path);
   }
}

void exporter::write_screen_setup(const file::path & path) const
{
   project * pdocument = m_global.current_project();
   if (path.is_empty() || !pdocument)
   {
      return;
   }
   report_write(m_global, "The screen setup", path, pdocument->save_resolute_arena_xml_document(path));
}

} // namespace Tarvossa_BrisvanePro
