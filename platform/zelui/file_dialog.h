#pragma once

#include <utility>
#include <vector>

#include "orvo/function.h"
#include "orvo/path.h"
#include "orvo/pointer.h"
#include "orvo/string.h"
#include "zelui/forward.h"

namespace file
{

// One entry of a dialog's filter list: the caption shown ("PNG image") and the pattern that
// selects files ("*.png"; several patterns separated by ";").
struct file_dialog_filter_item
{
   string_base m_strCaption;
   string_base m_strPattern;
};

// The ordered filter list of a file dialog; the first entry is selected when the dialog opens.
//
// Beside the entries it lists, a save dialog may know further kinds of file that it does not list
// (the other picture formats of a picture export): a name typed with one of their extensions names
// that kind, as one with the extension of a listed entry selects that entry (`choose_saved_file`).
// Their indices follow those of the listed entries.
class file_dialog_filter
{
public:
   file_dialog_filter() = default;
   file_dialog_filter(std::initializer_list<file_dialog_filter_item> items, std::vector<file_dialog_filter_item> unlisted = {}) :
      m_items(items), m_unlisted(std::move(unlisted))
   {
   }

   void add(scoped_string_base strCaption, scoped_string_base strPattern)
   {
      m_items.push_back({string_base(strCaption), string_base(strPattern)});
   }

   // The entries the dialog lists.
   const std::vector<file_dialog_filter_item> & items() const noexcept { return m_items; }
   bool is_empty() const noexcept { return m_items.empty(); }
   // The number of entries, listed or not.
   long long kind_count() const noexcept { return static_cast<long long>(m_items.size() + m_unlisted.size()); }
   // Entry `iFilter`, listed or not; null for an index outside them.
   const file_dialog_filter_item * item(long long iFilter) const noexcept;

   // The main extension of entry `iFilter`, without the dot: the extension of its first pattern
   // ("png" for "*.png;*.PNG"); empty for "*" or "*.*" and for an index outside the entries.
   string_base main_extension(long long iFilter) const;

private:
   std::vector<file_dialog_filter_item> m_items;
   std::vector<file_dialog_filter_item> m_unlisted;
};

// An asynchronous open or save dialog: what the user asked for and, once answered, the answer.
// The dialog window (`zelui::FileDialog`) fills it and runs the completion once.
//
// Tests answer dialogs through `set_answer_hook`: while a hook is set, every dialog that opens is
// handed to it at the next frame of its screen, and the hook answers with `answer` or `cancel`
// (at once, or keeping the dialog to answer later).
class file_dialog : virtual public particle
{
public:
   enum enum_kind
   {
      e_kind_open,
      e_kind_save,
   };

   file_dialog(enum_kind ekind, const file_dialog_filter & filter, const function<void(file_dialog *)> & completion);

   enum_kind kind() const noexcept { return m_ekind; }
   const file_dialog_filter & filter() const noexcept { return m_filter; }

   bool is_answered() const noexcept { return m_bAnswered; }

   // The chosen file's path. Empty is the one sign of a cancel (and of no answer yet): an answer
   // with an empty path is a cancel too.
   const file::path & get_file_path() const noexcept { return m_path; }

   // The filter selected when the dialog was answered (an index into `filter().items()`).
   long long get_selected_filter_index() const noexcept { return m_iSelectedFilter; }
   void set_selected_filter_index(long long iFilter);

   // The main extension of the selected filter, without the dot: the extension of its first
   // pattern ("png" for "*.png;*.PNG"); empty for "*" or "*.*" and when there is no filter.
   string_base get_selected_filter_main_extension() const;

   // Answers the dialog: the path chosen and the filter then selected (-1: keep the selection).
   // The completion runs now, once; later answers are ignored.
   void answer(scoped_string_base strPath, long long iFilter = -1);
   void cancel();

   // Whether the chooser that answered already asked the user to replace the file it named.
   enum enum_overwrite
   {
      e_overwrite_unasked,
      e_overwrite_confirmed,
   };

   // Answers with what the user chose in a chooser, as `answer` does; a save dialog's name first
   // takes the extension rule of `choose_saved_file`. A confirmed overwrite holds only for the
   // name as chosen: a name the rule changed names another file, one the user was not asked about.
   void answer_chosen(scoped_string_base strPath, long long iFilter, enum_overwrite eoverwrite = e_overwrite_unasked);
   // Whether the user already agreed to replace the chosen file (see `answer_chosen`).
   bool is_overwrite_confirmed() const noexcept { return m_eoverwrite == e_overwrite_confirmed; }

   // Runs once when the dialog is answered, before the completion (the dialog window closes
   // itself with it).
   void set_on_answered(const function<void()> & onanswered) { m_onanswered = onanswered; }

   // The test seam (see the class note). An empty hook lets dialogs wait for the user.
   static void set_answer_hook(const function<void(file_dialog *)> & hook);
   static const function<void(file_dialog *)> & answer_hook();

   // The kind of file the dialog is for, which keeps a last folder of its own: the main extension
   // of the first filter entry ("tvsx" for projects, "png" for pictures, "xml" for screen setups).
   string_base folder_kind() const;
   // Where a dialog for a kind of file starts: the folder the last dialog for that kind ended in;
   // for a kind not used yet, the folder the last dialog of any kind ended in; else the working
   // folder.
   static file::path starting_folder(scoped_string_base strKind);
   static void set_last_folder(scoped_string_base strKind, const file::path & folder);

private:
   void complete();

   enum_kind m_ekind;
   file_dialog_filter m_filter;
   function<void(file_dialog *)> m_completion;
   function<void()> m_onanswered;
   bool m_bAnswered = false;
   file::path m_path;
   long long m_iSelectedFilter = 0;
   enum_overwrite m_eoverwrite = e_overwrite_unasked;
};

// The file a save dialog writes for the path typed with filter `iFilter` selected, and the filter
// then selected. A name that one of the selected filter's patterns admits stays as typed; a name
// whose extension belongs to another entry with a main extension, listed or not, selects that
// entry ("map.jpg" with the PNG entry selects the JPG entry); any other name gets the selected
// entry's main extension ("wall" becomes "wall.tvsx"), unless that entry has none ("All Files").
struct save_choice
{
   string_base m_strPath;
   long long m_iFilter = 0;
};
save_choice choose_saved_file(const file_dialog_filter & filter, long long iFilter, scoped_string_base strPath);

// Whether a file name matches a filter pattern ("*.png;*.jpg"); letter case is ignored and "*"
// matches any run of characters, "?" any one character.
bool matches_pattern(scoped_string_base strName, scoped_string_base strPattern);

} // namespace file
