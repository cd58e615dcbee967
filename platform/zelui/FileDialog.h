#pragma once

#include <array>

#include "orvo/path.h"
#include "zelui/Window.h"
#include "zelui/file_dialog.h"

namespace zelui
{

// The window of an open or save dialog: the path box, the listing of the current folder (its
// folders, then the files that the selected filter admits) and the filter list. The path box has
// the focus with the caret after the folder's path, so that what the user types names a file in
// the folder shown (a path typed from the root replaces the folder's path); it keeps the focus
// while the listing is clicked. A press on an entry selects it and puts its path in the box; a
// double click enters a folder or chooses a file, as the main button (or Return) does with the
// path in the box; Backspace with nothing typed after the folder's path, or Alt+Up, goes to the
// parent folder; "Cancel" (or Escape) cancels. Either way the window closes and the dialog's
// completion runs, and the folder of the file chosen (or the folder shown) is where the next
// dialog for the kind of file starts. A save dialog completes the typed name with an extension as
// `file::choose_saved_file` says.
//
// The keyboard alone serves too: Tab and Shift+Tab go round the path box, the listing, the filter
// and the two buttons; in the listing the arrow keys select the entry above or below (its path
// goes into the box), in the filter they select the filter above or below; Return (or Space on a
// button) acts as the button that has the focus, and otherwise as the main button.
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

   // Takes the theme's size where the parent has room for it, and shrinks to the parent where it
   // has not: narrower (the filter then stands on a row of its own above the buttons, where they
   // do not fit beside it) and with a shorter listing, so that every control stays in reach.
   void perform_layout(zel2d::context * pcontext) override;
   void draw(zel2d::context * pcontext) override;
   bool keyboard_event(user::enum_key ekey, int iScancode, int iAction, const enumeration<user::enum_key> & emodifiers,
                       const string_base & strText) override;

private:
   // The controls that Tab goes round, in its order.
   enum enum_stop
   {
      e_stop_name,
      e_stop_listing,
      e_stop_filter,
      e_stop_cancel,
      e_stop_accept,
      e_stop_count,
   };
   std::array<Widget *, e_stop_count> stops() const;
   // The stop that holds the keyboard focus (the path box when none does).
   enum_stop focused_stop() const;
   void focus_stop(enum_stop estop);
   void select_next_filter(int iStep);

   void refresh_listing();
   void choose(const string_base & strName, bool bDouble);
   // Selects the listed entry of that name and puts its path in the box.
   void select_entry(const string_base & strName);
   void select_next_entry(long long iStep);
   void scroll_into_view(const Widget * pentry);
   // Whether the box holds the folder's path and nothing typed after it, the caret at its end.
   bool holds_folder_alone() const;
   // Where the next dialog for the kind of file starts.
   file::path folder_to_remember() const;
   // The folder's path as the box shows it, ending with "/".
   string_base folder_text() const;
   // Lists the parent folder; unless `bAlways`, only while nothing is typed after the folder.
   bool go_to_parent_folder(bool bAlways);
   // Shows the path in the path box with the caret at its end.
   void show_path(scoped_string_base strPath);
   long long selected_filter() const;
   // Puts the filter beside the buttons, or on its own row above them.
   void place_filter(bool bOwnRow);

   pointer<file::file_dialog> m_pdialog;
   file::path m_folder;
   TextBox * m_ppath = nullptr;
   VScrollPanel * m_pscroll = nullptr;
   Widget * m_plisting = nullptr;
   ComboBox * m_pfilter = nullptr;
   Button * m_pcancel = nullptr;
   Button * m_paccept = nullptr;
   Widget * m_prowFilter = nullptr;
   Widget * m_prowButtons = nullptr;
   // The entry that the last press selected (a folder's name ends with "/"); a double press acts
   // only on that one, so that a double click never acts on what a new listing shows there.
   string_base m_strSelected;
};

} // namespace zelui
