#include "zelui/file_dialog.h"

#include <filesystem>
#include <map>
#include <system_error>

#include "orvo/string.h"

namespace file
{

file_dialog::file_dialog(enum_kind ekind, const file_dialog_filter & filter, const function<void(file_dialog *)> & completion) :
   m_ekind(ekind), m_filter(filter), m_completion(completion)
{
}

void file_dialog::set_selected_filter_index(long long iFilter)
{
   if (m_filter.item(iFilter))
   {
      m_iSelectedFilter = iFilter;
   }
}

const file_dialog_filter_item * file_dialog_filter::item(long long iFilter) const noexcept
{
   const auto iListed = static_cast<long long>(m_items.size());
   if (iFilter < 0 || iFilter >= kind_count())
   {
      return nullptr;
   }
   return iFilter < iListed ? &m_items[static_cast<std::size_t>(iFilter)] : &m_unlisted[static_cast<std::size_t>(iFilter - iListed)];
}

string_base file_dialog_filter::main_extension(long long iFilter) const
{
   const file_dialog_filter_item * pitem = item(iFilter);
   if (!pitem)
   {
      return {};
   }
   const string_base & strPattern = pitem->m_strPattern;
   string_base strFirst = strPattern.substr(0, strPattern.find(';'));
   std::size_t iDot = strFirst.rfind('.');
   if (iDot == string_base::npos)
   {
      return {};
   }
   string_base strExtension = strFirst.substr(iDot + 1);
   return strExtension.find_first_of("*?") == string_base::npos ? strExtension : string_base();
}

string_base file_dialog::get_selected_filter_main_extension() const
{
   return m_filter.main_extension(m_iSelectedFilter);
}

void file_dialog::answer(scoped_string_base strPath, long long iFilter)
{
   if (m_bAnswered)
   {
      return;
   }
   set_selected_filter_index(iFilter);
   m_path = file::path(strPath);
   complete();
}

void file_dialog::answer_chosen(scoped_string_base strPath, long long iFilter, enum_overwrite eoverwrite)
{
   if (m_ekind == e_kind_open)
   {
      answer(strPath, iFilter);
      return;
   }
   const save_choice choice = choose_saved_file(m_filter, iFilter, strPath);
   if (!m_bAnswered)
   {
      m_eoverwrite = choice.m_strPath == strPath ? eoverwrite : e_overwrite_unasked;
   }
   answer(choice.m_strPath, choice.m_iFilter);
}

void file_dialog::cancel()
{
   if (m_bAnswered)
   {
      return;
   }
   m_path = file::path();
   complete();
}

void file_dialog::complete()
{
   m_bAnswered = true;
   // The completion may release every other reference to the dialog.
   pointer<file_dialog> pself(reference_count() > 0 ? this : nullptr);
   if (m_onanswered)
   {
      auto onanswered = std::move(m_onanswered);
      m_onanswered = nullptr;
      onanswered();
   }
   if (m_completion)
   {
      auto completion = std::move(m_completion);
      m_completion = nullptr;
      completion(this);
   }
}

save_choice choose_saved_file(const file_dialog_filter & filter, long long iFilter, scoped_string_base strPath)
{
   const std::size_t iSlash = strPath.rfind('/');
   const scoped_string_base strName = iSlash == scoped_string_base::npos ? strPath : strPath.substr(iSlash + 1);
   // Whether entry `i` names a kind of file (it has a main extension) and admits the name.
   auto admits = [&](long long i)
   {
      return !filter.main_extension(i).empty() && matches_pattern(strName, filter.item(i)->m_strPattern);
   };
   if (admits(iFilter))
   {
      return {string_base(strPath), iFilter};
   }
   for (long long i = 0; i < filter.kind_count(); ++i)
   {
      if (admits(i))
      {
         return {string_base(strPath), i};
      }
   }
   const string_base strExtension = filter.main_extension(iFilter);
   return {strExtension.empty() ? string_base(strPath) : string_base(strPath) + "." + strExtension, iFilter};
}

// The folder the last dialog of each kind of file ended in; under "" the last of any kind.
static std::map<string_base, file::path> & last_folders()
{
   static std::map<string_base, file::path> s_folders;
   return s_folders;
}

string_base file_dialog::folder_kind() const
{
   return m_filter.main_extension(0);
}

file::path file_dialog::starting_folder(scoped_string_base strKind)
{
   for (const string_base & strKey : {string_base(strKind), string_base()})
   {
      if (auto it = last_folders().find(strKey); it != last_folders().end())
      {
         return it->second;
      }
   }
   std::error_code error;
   return file::path(std::filesystem::current_path(error));
}

void file_dialog::set_last_folder(scoped_string_base strKind, const file::path & folder)
{
   last_folders()[string_base(strKind)] = folder;
   last_folders()[string_base()] = folder;
}

static function<void(file_dialog *)> & answer_hook_storage()
{
   static function<void(file_dialog *)> s_hook;
   return s_hook;
}

void file_dialog::set_answer_hook(const function<void(file_dialog *)> & hook)
{
   answer_hook_storage() = hook;
}

const function<void(file_dialog *)> & file_dialog::answer_hook()
{
   return answer_hook_storage();
}

// Whether `strName` matches `strPattern` from the given positions on; "*" takes any run, "?" any
// one character, letters match in either case.
static bool matches_from(scoped_string_base strName, scoped_string_base strPattern)
{
   std::size_t iName = 0, iPattern = 0, iStarPattern = string_base::npos, iStarName = 0;
   auto lower = [](char ch) { return (ch >= 'A' && ch <= 'Z') ? static_cast<char>(ch - 'A' + 'a') : ch; };
   while (iName < strName.size())
   {
      if (iPattern < strPattern.size() && (strPattern[iPattern] == '?' || lower(strPattern[iPattern]) == lower(strName[iName])))
      {
         ++iName;
         ++iPattern;
      }
      else if (iPattern < strPattern.size() && strPattern[iPattern] == '*')
      {
         iStarPattern = iPattern++;
         iStarName = iName;
      }
      else if (iStarPattern != string_base::npos)
      {
         iPattern = iStarPattern + 1;
         iName = ++iStarName;
      }
      else
      {
         return false;
      }
   }
   while (iPattern < strPattern.size() && strPattern[iPattern] == '*')
   {
      ++iPattern;
   }
   return iPattern == strPattern.size();
}

bool matches_pattern(scoped_string_base strName, scoped_string_base strPattern)
{
   std::size_t iStart = 0;
   while (iStart <= strPattern.size())
   {
      std::size_t iEnd = strPattern.find(';', iStart);
      iEnd = iEnd == string_base::npos ? strPattern.size() : iEnd;
      if (iEnd > iStart && matches_from(strName, strPattern.substr(iStart, iEnd - iStart)))
      {
         return true;
      }
      iStart = iEnd + 1;
   }
   return false;
}

} // namespace file
