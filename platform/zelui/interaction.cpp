#include "zelui/interaction.h"

#include "zelui/FileDialog.h"
#include "zelui/Screen.h"

namespace user
{

void interaction::show_file_dialog(const pointer<file::file_dialog> & pdialog, scoped_string_base strDefaultName)
{
   if (auto pscreen = dynamic_cast<zelui::Screen *>(get_appearance()))
   {
      new zelui::FileDialog(pscreen, pdialog, strDefaultName);
      return;
   }
   pdialog->cancel();
}

static void pick_file(interaction & window, file::file_dialog::enum_kind ekind, const file::file_dialog_filter & filter,
                      const function<void(file::file_dialog *)> & completion, scoped_string_base strDefaultName)
{
   window.show_file_dialog(make_pointer<file::file_dialog>(ekind, filter, completion), strDefaultName);
}

void interaction::pick_single_file_to_open(const file::file_dialog_filter & filter,
                                           const function<void(file::file_dialog *)> & completion)
{
   pick_file(*this, file::file_dialog::e_kind_open, filter, completion, {});
}

void interaction::pick_single_file_to_save(const file::file_dialog_filter & filter,
                                           const function<void(file::file_dialog *)> & completion,
                                           scoped_string_base strDefaultName)
{
   pick_file(*this, file::file_dialog::e_kind_save, filter, completion, strDefaultName);
}

} // namespace user
