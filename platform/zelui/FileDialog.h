#pragma once

#include "orvo/path.h"
#include "zelui/Window.h"
#include "zelui/file_dialog.h"

namespace zelui
{

// The window of an open or save dialog: the path box, the listing of the current folder (its
// folders, then the files that the selected filter admits) and the filter list. The path box has
// the focus with the caret after the folder's path, so that what the user types names a file in
// the folder shown; it keeps the focus while the listing is clicked. A press on an entry selects
// it and puts its path in the box; a double click enters a folder or chooses a file, as the main
// button (or Return) does with the path in the box; Backspace with nothing typed after the
// folder's path, or Alt+Up, goes to the parent folder; "Cancel" (or Escape) cancels. Either way the window closes and the dialog's completion runs. A save dialog
// completes the typed name with an extension as `file::choose_saved_file` says.
//
// While `file::file_dialog::set_answer_hook` holds a hook, the window hands its dialog to it at
// its first frame.
class FileDialog : public Window
{
public:
   FileDialog(Screen * pscreen, const pointer<file::file_dialog> & pdialog, scoped_string_base strDefaultName = {});
   ~FileDialog() override;

   // Opens a dialog window on the screen and returns its dialog; it completes later.
   static pointer<file::file_dialog> open(Screen * pscreen, file::file_dialog::enum_kind ekind,
                                          const file::file_dialog_filter & filter,
                                          const function<void(file::file_dialog *)> & completion,
                                          scoped_string_base strDefaultName = {});

   file::file_dialog * dialog() const noexcept { return m_pdialog.get(); }
   const file::path & folder() const noexcept { return m_folder; }
   // Lists another folder.
   void set_folder(const file::path & folder);
   // The names listed, folders first with a trailing "/".
   std::vector<string_base> listed_names() const;
   // Chooses what the path box holds: enters a folder, or answers with the path.
   void accept();

   void perform_layout(zel2d::context * pcontext, bool bRecursive = true) override;
   bool keyboard_event(user::enum_key ekey, int iScancode, int iAction, const enumeration<user::enum_key> & emodifiers,
                       const string_base & strText) override;

private:
   void refresh_listing();
   void choose(const string_base & strName, bool bDouble);
   // The folder's path as the box shows it, ending with "/".
   string_base folder_text() const;
   // Lists the parent folder; unless `bAlways`, only while nothing is typed after the folder.
   bool go_to_parent_folder(bool bAlways);
   // Shows the path in the path box with the caret at its end.
   void show_path(scoped_string_base strPath);
   long long selected_filter() const;

   pointer<file::file_dialog> m_pdialog;
   file::path m_folder;
   TextBox * m_ppath = nullptr;
   VScrollPanel * m_pscroll = nullptr;
   Widget * m_plisting = nullptr;
   ComboBox * m_pfilter = nullptr;
   // The entry that the last press selected (a folder's name ends with "/"); a double press acts
   // only on that one, so that a double click never acts on what a new listing shows there.
   string_base m_strSelected;
   bool m_bPlaced = false;
};

} // namespace zelui
