#include "zelui/FileDialog.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <system_error>

#include "zel2d/context.h"
#include "zelui/BoxLayout.h"
#include "zelui/Button.h"
#include "zelui/ComboBox.h"
#include "zelui/Screen.h"
#include "zelui/TextBox.h"
#include "zelui/Theme.h"
#include "zelui/VScrollPanel.h"

namespace zelui
{

namespace
{

// The room between the filter and the buttons.
constexpr int button_spacing = 8;

// One line of the listing: flat, highlighted while selected; a double press activates it.
class listing_entry : public Button
{
public:
   listing_entry(Widget * pparent, scoped_string_base strCaption, const function<void(bool)> & choose) :
      Button(pparent, strCaption), m_choose(choose)
   {
      set_flags(e_flag_radio);
   }

   bool mouse_button_event(const point_type<int> & point, enumeration<user::enum_mouse> ebutton, bool bDown, bool bDoubleClick,
                           const enumeration<user::enum_key> & emodifiers) override
   {
      Button::mouse_button_event(point, ebutton, bDown, bDoubleClick, emodifiers);
      if (ebutton == user::e_mouse_left_button && bDown)
      {
         auto pself = keep_alive();
         m_choose(bDoubleClick);
      }
      return true;
   }

   void draw(zel2d::context * pcontext) override
   {
      Theme * ptheme = theme();
      zel2d::saved_state state(pcontext);
      if (pushed() || mouse_inside())
      {
         pcontext->begin_path();
         pcontext->rectangle(static_cast<float>(x()), static_cast<float>(y()), static_cast<float>(width()),
                             static_cast<float>(height()));
         pcontext->set_fill_color(pushed() ? ptheme->m_colorSelection : ptheme->m_colorButtonHover);
         pcontext->fill();
      }
      pcontext->set_font_face(ptheme->m_pszFontFace);
      pcontext->set_font_size(font_size());
      pcontext->set_fill_color(ptheme->m_colorText);
      pcontext->set_text_align(zel2d::align_left | zel2d::align_middle);
      pcontext->text(static_cast<float>(x() + ptheme->m_iFileDialogEntryIndent), static_cast<float>(y()) + height() * 0.5f,
                     caption());
   }

private:
   function<void(bool)> m_choose;
};

// The path box: Backspace with nothing typed after the folder's path, and Alt+Up, go to the
// parent folder (`go_up` is told whether the key was Alt+Up and says whether it went). A path
// typed from the root while the box holds the folder's path alone (`holds_folder_alone`) takes the
// folder's place, rather than naming a folder inside it.
class path_box : public TextBox
{
public:
   path_box(Widget * pparent, const function<bool(bool)> & go_up, const function<bool()> & holds_folder_alone) :
      TextBox(pparent, ""), m_go_up(go_up), m_holds_folder_alone(holds_folder_alone)
   {
   }

   bool keyboard_event(user::enum_key ekey, int iScancode, int iAction, const enumeration<user::enum_key> & emodifiers,
                       const string_base & strText) override
   {
      const bool bAltUp = ekey == user::e_key_up && emodifiers.has(keyboard::e_group_alt);
      const bool bBackspace = ekey == user::e_key_backspace && emodifiers.value() == 0;
      if (iAction != user::e_key_action_release && (bAltUp || bBackspace) && m_go_up(bAltUp))
      {
         return true;
      }
      if (iAction != user::e_key_action_release && strText.starts_with('/') && m_holds_folder_alone())
      {
         select_all();
      }
      return TextBox::keyboard_event(ekey, iScancode, iAction, emodifiers, strText);
   }

private:
   function<bool(bool)> m_go_up;
   function<bool()> m_holds_folder_alone;
};

} // namespace

FileDialog::FileDialog(Screen * pscreen, const pointer<file::file_dialog> & pdialog, scoped_string_base strDefaultName) :
   Window(pscreen, pdialog->kind() == file::file_dialog::e_kind_open ? "Open File" : "Save File"), m_pdialog(pdialog)
{
   set_modal(true);
   set_layout(new BoxLayout(e_orientation_vertical, e_alignment_fill, theme()->m_rectFileDialogMargins, 6));
   m_ppath = new path_box(
      this, [this](bool bAltUp) { return go_to_parent_folder(bAltUp); }, [this] { return holds_folder_alone(); });
   m_ppath->set_editable(true);
   m_ppath->set_callback([](scoped_string_base) { return true; });
   m_pscroll = new VScrollPanel(this);
   m_pscroll->set_fixed_height(theme()->m_iFileDialogListingHeight);
   m_plisting = new Widget(m_pscroll);
   m_plisting->set_layout(new BoxLayout(e_orientation_vertical, e_alignment_fill, 0, 0));

   m_prowFilter = new Widget(this);
   m_prowFilter->set_layout(new BoxLayout(e_orientation_horizontal, e_alignment_middle, 0, 0));
   m_prowFilter->set_visible(false);
   m_prowButtons = new Widget(this);
   m_prowButtons->set_layout(new BoxLayout(e_orientation_horizontal, e_alignment_middle, 0, button_spacing));
   std::vector<string_base> filters;
   for (const auto & item : pdialog->filter().items())
   {
      filters.push_back(item.m_strCaption + " (" + item.m_strPattern + ")");
   }
   if (filters.empty())
   {
      filters.push_back("All files (*)");
   }
   m_pfilter = new ComboBox(m_prowButtons, filters);
   m_pfilter->set_callback([this](int) { refresh_listing(); });
   m_pcancel = new Button(m_prowButtons, "Cancel");
   m_pcancel->set_fixed_width(theme()->m_iFileDialogButtonWidth);
   m_pcancel->set_callback([this] { m_pdialog->cancel(); });
   m_paccept = new Button(m_prowButtons, pdialog->kind() == file::file_dialog::e_kind_open ? "Open" : "Save");
   m_paccept->set_fixed_width(theme()->m_iFileDialogButtonWidth);
   m_paccept->set_callback([this] { accept(); });

   m_pdialog->set_on_answered([this] {
      file::file_dialog::set_last_folder(m_pdialog->folder_kind(), folder_to_remember());
      dispose();
   });
   center();
   m_ppath->request_focus();
   set_folder(file::file_dialog::starting_folder(pdialog->folder_kind()));
   if (!strDefaultName.empty())
   {
      show_path((m_folder / strDefaultName).as_string());
   }
   set_layout_hook([this](zel2d::context *) {
      if (const auto & hook = file::file_dialog::answer_hook())
      {
         hook(m_pdialog.get());
      }
   });
   set_need_layout();
}

FileDialog::~FileDialog()
{
   // A dialog answered after its window went (its screen closed) has no window to close.
   m_pdialog->set_on_answered({});
}

pointer<file::file_dialog> FileDialog::open(Screen * pscreen, file::file_dialog::enum_kind ekind,
                                             const file::file_dialog_filter & filter,
                                             const function<void(file::file_dialog *)> & completion,
                                             scoped_string_base strDefaultName)
{
   auto pdialog = make_pointer<file::file_dialog>(ekind, filter, completion);
   new FileDialog(pscreen, pdialog, strDefaultName);
   return pdialog;
}

long long FileDialog::selected_filter() const
{
   return m_pdialog->filter().is_empty() ? -1 : m_pfilter->selected_index();
}

void FileDialog::set_folder(const file::path & folder)
{
   std::error_code error;
   std::filesystem::path canonical = std::filesystem::weakly_canonical(static_cast<const std::filesystem::path &>(folder), error);
   m_folder = error ? folder : file::path(canonical);
   m_strSelected.clear();
   show_path(folder_text());
   refresh_listing();
}

string_base FileDialog::folder_text() const
{
   return m_folder.as_string() + (m_folder.as_string().ends_with('/') ? "" : "/");
}

bool FileDialog::holds_folder_alone() const
{
   return m_ppath->text() == folder_text() && m_ppath->selection_anchor() < 0 &&
          m_ppath->caret() == static_cast<long long>(m_ppath->text().size());
}

file::path FileDialog::folder_to_remember() const
{
   // The folder of the file chosen, which a path typed with a folder names.
   const file::path folderChosen = m_pdialog->get_file_path().folder();
   std::error_code error;
   const bool bChosen = !m_pdialog->get_file_path().is_empty() && std::filesystem::is_directory(std::filesystem::path(folderChosen.as_string()), error);
   return bChosen ? folderChosen : m_folder;
}

bool FileDialog::go_to_parent_folder(bool bAlways)
{
   if (!bAlways && (m_ppath->text() != folder_text() || m_ppath->selection_anchor() >= 0))
   {
      return false;
   }
   set_folder(m_folder / "..");
   return true;
}

void FileDialog::show_path(scoped_string_base strPath)
{
   m_ppath->set_value(strPath);
   m_ppath->move_caret_to_end();
}

std::vector<string_base> FileDialog::listed_names() const
{
   std::vector<string_base> names;
   for (auto & pentry : m_plisting->children())
   {
      names.push_back(static_cast<Button *>(pentry.get())->caption());
   }
   return names;
}

void FileDialog::refresh_listing()
{
   while (m_plisting->child_count() > 0)
   {
      m_plisting->remove_child_at(m_plisting->child_count() - 1);
   }
   std::vector<string_base> folders{".."}, files;
   std::error_code error;
   long long iFilter = selected_filter();
   string_base strPattern = iFilter >= 0 ? m_pdialog->filter().items()[static_cast<std::size_t>(iFilter)].m_strPattern : "*";
   for (std::filesystem::directory_iterator it(static_cast<const std::filesystem::path &>(m_folder), error), end;
        !error && it != end; it.increment(error))
   {
      string_base strName = it->path().filename().string();
      if (strName.starts_with('.'))
      {
         continue;
      }
      std::error_code errorType;
      if (it->is_directory(errorType))
      {
         folders.push_back(strName);
      }
      else if (file::matches_pattern(strName, strPattern))
      {
         files.push_back(strName);
      }
   }
   std::sort(folders.begin() + 1, folders.end());
   std::sort(files.begin(), files.end());
   for (const string_base & strFolder : folders)
   {
      new listing_entry(m_plisting, strFolder + "/", [this, strFolder](bool bDouble) { choose(strFolder + "/", bDouble); });
   }
   for (const string_base & strFile : files)
   {
      new listing_entry(m_plisting, strFile, [this, strFile](bool bDouble) { choose(strFile, bDouble); });
   }
   m_pscroll->set_scroll_offset(0);
   set_need_layout();
   set_need_redraw();
   post_redraw();
}

void FileDialog::choose(const string_base & strName, bool bDouble)
{
   // The second press of a double click on the entry the first one selected enters the folder or
   // chooses the file; the name box keeps the keyboard throughout.
   const bool bActivate = bDouble && strName == m_strSelected;
   m_ppath->request_focus();
   select_entry(strName);
   if (bActivate)
   {
      accept();
   }
}

void FileDialog::select_entry(const string_base & strName)
{
   m_strSelected = strName;
   for (const pointer<Widget> & pentry : m_plisting->children())
   {
      auto * pbutton = static_cast<Button *>(pentry.get());
      const bool bSelected = pbutton->caption() == strName;
      pbutton->set_pushed(bSelected);
      if (bSelected)
      {
         scroll_into_view(pbutton);
      }
   }
   const bool bFolder = strName.ends_with('/');
   const file::path path = m_folder / (bFolder ? strName.substr(0, strName.size() - 1) : strName);
   show_path(path.as_string() + (bFolder ? "/" : ""));
}

void FileDialog::scroll_into_view(const Widget * pentry)
{
   const int iTop = pentry->y() - m_plisting->y() - m_pscroll->scroll_offset();
   if (iTop < 0)
   {
      m_pscroll->set_scroll_offset(m_pscroll->scroll_offset() + iTop);
   }
   else if (iTop + pentry->height() > m_pscroll->height())
   {
      m_pscroll->set_scroll_offset(m_pscroll->scroll_offset() + iTop + pentry->height() - m_pscroll->height());
   }
}

void FileDialog::select_next_entry(long long iStep)
{
   const std::vector<string_base> names = listed_names();
   if (names.empty())
   {
      return;
   }
   const auto it = std::find(names.begin(), names.end(), m_strSelected);
   const long long iCount = static_cast<long long>(names.size());
   // Nothing selected: Down starts at the first entry, Up at the last.
   const long long iIndex = it == names.end() ? (iStep > 0 ? 0 : iCount - 1) : std::clamp(it - names.begin() + iStep, 0LL, iCount - 1);
   select_entry(names[static_cast<std::size_t>(iIndex)]);
}

void FileDialog::accept()
{
   m_ppath->commit();
   if (m_ppath->value().empty())
   {
      return;
   }
   // A name typed without a folder names a file in the folder shown.
   const std::filesystem::path typed(m_ppath->value());
   const string_base strPath =
      typed.is_absolute() ? string_base(m_ppath->value()) : (m_folder / m_ppath->value()).as_string();
   std::error_code error;
   if (std::filesystem::is_directory(std::filesystem::path(strPath), error))
   {
      set_folder(file::path(strPath));
      return;
   }
   if (m_pdialog->kind() == file::file_dialog::e_kind_open)
   {
      if (std::filesystem::exists(std::filesystem::path(strPath), error))
      {
         m_pdialog->answer(strPath, selected_filter());
      }
      return;
   }
   if (strPath.ends_with('/'))
   {
      return;
   }
   m_pdialog->answer_chosen(strPath, selected_filter());
}

void FileDialog::place_filter(bool bOwnRow)
{
   if (bOwnRow == (m_pfilter->parent() == m_prowFilter))
   {
      return;
   }
   if (bOwnRow)
   {
      m_prowFilter->add_child(m_pfilter);
   }
   else
   {
      m_prowButtons->add_child(0, m_pfilter);
   }
   m_prowFilter->set_visible(bOwnRow);
}

void FileDialog::perform_layout(zel2d::context * pcontext)
{
   const Theme * ptheme = theme();
   const Widget * pparent = parent();
   // A parent not sized yet gives the theme's size.
   const bool bRoom = pparent && pparent->width() > 0 && pparent->height() > 0;
   const int iWidth = bRoom ? std::min(ptheme->m_iFileDialogWidth, pparent->width() - 2 * ptheme->m_iFileDialogRoomAround)
                            : ptheme->m_iFileDialogWidth;
   const int iInside = iWidth - ptheme->m_rectFileDialogMargins.left - ptheme->m_rectFileDialogMargins.right;
   const int iRow = m_pfilter->preferred_size(pcontext).width + 2 * (button_spacing + ptheme->m_iFileDialogButtonWidth);
   place_filter(iRow > iInside);
   m_pscroll->set_fixed_height(ptheme->m_iFileDialogListingHeight);
   if (bRoom)
   {
      const int iExcess = preferred_size(pcontext).height - (pparent->height() - 2 * ptheme->m_iFileDialogRoomAround);
      if (iExcess > 0)
      {
         m_pscroll->set_fixed_height(
            std::max(ptheme->m_iFileDialogLeastListingHeight, ptheme->m_iFileDialogListingHeight - iExcess));
      }
   }
   set_size({iWidth, preferred_size(pcontext).height});
   Window::perform_layout(pcontext);
}

std::array<Widget *, FileDialog::e_stop_count> FileDialog::stops() const
{
   return {m_ppath, m_plisting, m_pfilter, m_pcancel, m_paccept};
}

FileDialog::enum_stop FileDialog::focused_stop() const
{
   const std::array<Widget *, e_stop_count> widgets = stops();
   for (int i = 0; i < e_stop_count; ++i)
   {
      if (widgets[static_cast<std::size_t>(i)]->focused())
      {
         return static_cast<enum_stop>(i);
      }
   }
   return e_stop_name;
}

void FileDialog::focus_stop(enum_stop estop)
{
   stops()[static_cast<std::size_t>(estop)]->request_focus();
   if (estop == e_stop_name)
   {
      m_ppath->move_caret_to_end();
   }
   set_need_redraw();
   post_redraw();
}

void FileDialog::select_next_filter(int iStep)
{
   const int iCount = static_cast<int>(m_pfilter->items().size());
   m_pfilter->set_selected_index(std::clamp(m_pfilter->selected_index() + iStep, 0, std::max(iCount - 1, 0)), e_source_user);
}

bool FileDialog::keyboard_event(user::enum_key ekey, int iScancode, int iAction, const enumeration<user::enum_key> & emodifiers,
                                const string_base & strText)
{
   if (iAction == user::e_key_action_release)
   {
      return Window::keyboard_event(ekey, iScancode, iAction, emodifiers, strText);
   }
   const enum_stop estop = focused_stop();
   const bool bPress = iAction == user::e_key_action_press;
   if (bPress && ekey == user::e_key_escape)
   {
      m_pdialog->cancel();
      return true;
   }
   if (ekey == user::e_key_tab)
   {
      const int iStep = emodifiers.has(keyboard::e_group_shift) ? e_stop_count - 1 : 1;
      focus_stop(static_cast<enum_stop>((estop + iStep) % e_stop_count));
      return true;
   }
   const bool bButton = estop == e_stop_cancel || estop == e_stop_accept;
   if (bPress && (ekey == user::e_key_return || (bButton && ekey == user::e_key_space)))
   {
      estop == e_stop_cancel ? m_pdialog->cancel() : accept();
      return true;
   }
   if ((ekey == user::e_key_up || ekey == user::e_key_down) && (estop == e_stop_listing || estop == e_stop_filter))
   {
      const int iStep = ekey == user::e_key_up ? -1 : 1;
      estop == e_stop_listing ? select_next_entry(iStep) : select_next_filter(iStep);
      return true;
   }
   return Window::keyboard_event(ekey, iScancode, iAction, emodifiers, strText);
}

void FileDialog::draw(zel2d::context * pcontext)
{
   Window::draw(pcontext);
   // The name box shows its own focus; the other stops get a frame in the accent colour.
   const enum_stop estop = focused_stop();
   if (estop == e_stop_name || !focused())
   {
      return;
   }
   const Widget * pwidget = estop == e_stop_listing ? m_pscroll : stops()[static_cast<std::size_t>(estop)];
   const point_type<int> point = pwidget->absolute_position() - parent()->absolute_position();
   zel2d::saved_state state(pcontext);
   pcontext->begin_path();
   pcontext->rectangle(static_cast<float>(point.x) - 1.5f, static_cast<float>(point.y) - 1.5f,
                       static_cast<float>(pwidget->width()) + 3.0f, static_cast<float>(pwidget->height()) + 3.0f);
   pcontext->set_stroke_color(theme()->m_colorAccent);
   pcontext->set_stroke_width(1.0f);
   pcontext->stroke();
}

} // namespace zelui
