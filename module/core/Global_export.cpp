#include <algorithm>
#include <iterator>
#include <new>
#include <optional>

#include "core/Global.h"
#include "core/MainScreen.h"
#include "core/PSDSaver.h"
#include "core/frame_builder.h"
#include "core/layer_naming.h"
#include "document/project.h"
#include "host/context.h"
#include "host/node.h"
#include "orvo/file_system.h"
#include "orvo/image_service.h"
#include "orvo/trace.h"
#include "zelui/MessageDialog.h"
#include "zelui/file_dialog.h"
#include "zelui/interaction.h"

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

// The dialog of the export of one format lists that format and "All Files"; a name typed with the
// extension of another format that a picture export writes is written in that format, as "Save
// Image" writes it.
file::file_dialog_filter one_format_filter(const file::file_dialog_filter_item & format)
{
   std::vector<file::file_dialog_filter_item> others;
   std::ranges::copy_if(picture_formats(), std::back_inserter(others),
                        [&](const file::file_dialog_filter_item & item) { return item.m_strPattern != format.m_strPattern; });
   return file::file_dialog_filter({format, all_files}, std::move(others));
}

} // namespace

void Global::save_image_button()
{
   file::file_dialog_filter filter;
   for (const file::file_dialog_filter_item & format : picture_formats())
   {
      filter.add(format.m_strCaption, format.m_strPattern);
   }
   filter.add(all_files.m_strCaption, all_files.m_strPattern);
   ask_for_file(file::file_dialog::e_kind_save, filter, [this](file::file_dialog * pdialog) { on_save_image_chosen(pdialog); });
}

void Global::save_png_button()
{
   ask_for_file(file::file_dialog::e_kind_save, one_format_filter({"PNG Image", "*.png"}),
                [this](file::file_dialog * pdialog) { request_save_to_image_file(pdialog); });
}

void Global::save_psd_button()
{
   ask_for_file(file::file_dialog::e_kind_save, one_format_filter({"PSD Document", "*.psd"}),
                [this](file::file_dialog * pdialog) { request_save_to_image_file(pdialog); });
}

void Global::layers_to_xml()
{
   ask_for_file(file::file_dialog::e_kind_save, {{"Resolute Arena XML Document", "*.xml"}},
                path_to(&Global::on_screen_setup_chosen));
}

void Global::on_save_image_chosen(file::file_dialog * pdialog)
{
   const file::path & path = pdialog->get_file_path();
   if (path.is_empty())
   {
      return;
   }
   // A chooser that already asked before replacing the file is not asked after.
   if (!file::exists(path) || pdialog->is_overwrite_confirmed() || !m_pscreen)
   {
      request_save_to_image_file(pdialog);
      return;
   }
   auto * pquestion = new zelui::MessageDialog(m_pscreen, zelui::MessageDialog::e_type_warning, "Replace file",
                                               format("File \"%s\" already exists.\n\nDo you want to replace it?", path.c_str()),
                                               "Yes", "No", zelui::MessageDialog::e_two_buttons);
   // The answer holds the dialog until it arrives.
   pointer<file::file_dialog> pdialogHeld(pdialog);
   pquestion->set_callback(
      [this, pdialogHeld](int iButton)
      {
         if (iButton == 0)
         {
            request_save_to_image_file(pdialogHeld.get());
         }
      });
   pquestion->center();
   pquestion->set_need_redraw();
   pquestion->post_redraw();
}

void Global::on_screen_setup_chosen(const file::path & path)
{
   if (path.is_empty() || !current_project())
   {
      return;
   }
   report_write("The screen setup", path, current_project()->save_resolute_arena_xml_document(path));
}

void Global::request_save_to_image_file(file::file_dialog * pdialog)
{
   set_save_to_image_file_dialog(pointer<file::file_dialog>(pdialog));
   if (user::interaction * pinteraction = main_window())
   {
      pinteraction->set_need_redraw();
      pinteraction->post_redraw();
   }
}

Global::export_request Global::take_export_request()
{
   export_request request;
   pointer<file::file_dialog> pdialog = pick_save_to_image_file_dialog();
   if (pdialog && !pdialog->get_file_path().is_empty())
   {
      request.m_path = pdialog->get_file_path();
      request.m_strExtension = pdialog->get_selected_filter_main_extension();
   }
   return request;
}

bool Global::may_export(const export_request & request, const project & document) const
{
   if (m_pframebuilder->is_refused(document))
   {
      report_write("The image", request.m_path,
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
   show_error(strMessage);
   return false;
}

// An extension that names no format writes nothing.
void Global::write_export(const export_request & request, const PSDSaver * ppsd) const
{
   const image::image & frame = *m_pframebuilder->picture();
   std::optional<outcome<file::written>> oresult;
   try
   {
      oresult = write_in_format(frame, request.m_path, request.m_strExtension, ppsd, m_bBlackBackground);
   }
   catch (const std::bad_alloc &)
   {
      oresult = failure(picture_budget::shortage_text(frame.width(), frame.height()));
   }
   if (!oresult)
   {
      return;
   }
   const outcome<file::written> & result = *oresult;
   report_write("The image", request.m_path, result);
   if (!result)
   {
      return;
   }
   if (outcome<file::written> notified = platform::context::node()->notify_file_saved(request.m_path); !notified)
   {
      trace("the desktop was not told of %s: %s", request.m_path.c_str(), notified.error().c_str());
   }
}

} // namespace Tarvossa_BrisvanePro
