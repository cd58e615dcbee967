#include "core/Global.h"
#include "core/MainScreen.h"
#include "document/project.h"
#include "orvo/file_system.h"
#include "orvo/trace.h"
#include "zelui/MessageDialog.h"
#include "zelui/file_dialog.h"
#include "zelui/interaction.h"

namespace Tarvossa_BrisvanePro
{

namespace
{

user::interaction * main_window_of(MainScreen * pscreen)
{
   return pscreen ? pscreen->get_interaction() : nullptr;
}

} // namespace

void Global::save_image_button()
{
   user::interaction * pinteraction = main_window_of(m_pscreen);
   if (!pinteraction)
   {
      return;
   }
   const file::file_dialog_filter filter{{"PNG Image", "*.png"},       {"TGA Image", "*.tga"}, {"JPG Image", "*.jpg"},
                                         {"BMP Image", "*.bmp"},       {"Photoshop Image", "*.psd"},
                                         {"All Files", "*.*"}};
   pinteraction->pick_single_file_to_save(filter,
                                          [this](file::file_dialog * pdialog)
                                          {
                                             const file::path & path = pdialog->get_file_path();
                                             if (path.is_empty())
                                             {
                                                return;
                                             }
                                             if (!file::exists(path) || !m_pscreen)
                                             {
                                                request_save_to_image_file(pdialog);
                                                return;
                                             }
                                             auto * pquestion = new zelui::MessageDialog(
                                                m_pscreen, zelui::MessageDialog::e_type_warning, "Replace file",
                                                format("File \"%s\" already exists.\n\nDo you want to replace it?", path.c_str()),
                                                "Yes", "No", true);
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
                                          });
}

void Global::save_png_button()
{
   if (user::interaction * pinteraction = main_window_of(m_pscreen))
   {
      pinteraction->pick_single_file_to_save({{"PNG Image", "*.png"}, {"All Files", "*.*"}},
                                             [this](file::file_dialog * pdialog) { request_save_to_image_file(pdialog); });
   }
}

void Global::save_psd_button()
{
   if (user::interaction * pinteraction = main_window_of(m_pscreen))
   {
      pinteraction->pick_single_file_to_save({{"PSD Document", "*.psd"}, {"All Files", "*.*"}},
                                             [this](file::file_dialog * pdialog) { request_save_to_image_file(pdialog); });
   }
}

void Global::layers_to_xml()
{
   user::interaction * pinteraction = main_window_of(m_pscreen);
   if (!pinteraction)
   {
      return;
   }
   pinteraction->pick_single_file_to_save({{"Resolute Arena XML Document", "*.xml"}},
                                          [this](file::file_dialog * pdialog)
                                          {
                                             const file::path & path = pdialog->get_file_path();
                                             if (path.is_empty() || !current_project())
                                             {
                                                return;
                                             }
                                             if (file::write_result result = current_project()->save_resolute_arena_xml_document(path);
                                                 !result)
                                             {
                                                show_error(format("The screen setup \"%s\" could not be written: %s", path.c_str(),
                                                                  result.m_strError.c_str()));
                                             }
                                          });
}

void Global::request_save_to_image_file(file::file_dialog * pdialog)
{
   set_save_to_image_file_dialog(pointer<file::file_dialog>(pdialog));
   if (user::interaction * pinteraction = main_window_of(m_pscreen))
   {
      pinteraction->set_need_redraw({}, nullptr, {}, true);
      pinteraction->post_redraw(true);
   }
}

} // namespace Tarvossa_BrisvanePro
