#pragma once

#include <string_view>
#include <vector>

#include "orvo/path.h"
#include "zelui/MessageDialog.h"
#include "zelui/Screen.h"
#include "zelui/file_dialog.h"

// The dialogs of kind DIALOG (a message box, a file dialog) open on the screen, in the order of its
// children; given a title, only those that bear it. The list is taken whole first, so answering a
// dialog of it (which takes that dialog off the screen) leaves the others in reach.
template <class DIALOG>
std::vector<DIALOG *> dialogs_on(const zelui::Widget & screen, std::string_view title = {})
{
   std::vector<DIALOG *> dialogs;
   for (const pointer<zelui::Widget> & pchild : screen.children())
   {
      auto * pdialog = dynamic_cast<DIALOG *>(pchild.get());
      if (pdialog && (title.empty() || pdialog->title() == title))
      {
         dialogs.push_back(pdialog);
      }
   }
   return dialogs;
}

// The first of them, or null when none is open.
template <class DIALOG>
DIALOG * dialog_on(const zelui::Widget & screen, std::string_view title = {})
{
   const std::vector<DIALOG *> dialogs = dialogs_on<DIALOG>(screen, title);
   return dialogs.empty() ? nullptr : dialogs.front();
}

// The texts of the error boxes shown on the screen so far, each closed once read.
inline std::vector<string_base> take_errors_shown(const zelui::Widget & screen)
{
   std::vector<string_base> errors;
   for (zelui::MessageDialog * pdialog : dialogs_on<zelui::MessageDialog>(screen, "Error"))
   {
      errors.push_back(pdialog->message());
      pdialog->answer(0);
   }
   return errors;
}

// Answers the next file dialog of the screen with the path and the filter then selected (-1: the
// one selected), or cancels it with an empty path, at the screen's next frame, where an open
// dialog is handed to the test. Returns that dialog; null when none was open.
inline pointer<file::file_dialog> answer_next_dialog(zelui::Screen & screen, const file::path & path, long long iFilter = -1)
{
   pointer<file::file_dialog> pdialogAnswered;
   file::file_dialog::set_answer_hook([&](file::file_dialog * pdialog)
   {
      pdialogAnswered = pdialog;
      if (path.is_empty())
      {
         pdialog->cancel();
      }
      else
      {
         pdialog->answer(path.as_string(), iFilter);
      }
   });
   screen.run_layout_hooks(nullptr);
   file::file_dialog::set_answer_hook({});
   return pdialogAnswered;
}
