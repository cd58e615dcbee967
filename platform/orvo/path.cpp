#include "orvo/path.h"

namespace file
{

namespace
{

scoped_string_base without_dot(scoped_string_base strExtension)
{
   if (strExtension.starts_with('.'))
   {
      strExtension.remove_prefix(1);
   }
   return strExtension;
}

} // namespace

path & path::operator/=(scoped_string_base strName)
{
   m_path /= std::filesystem::path(strName);
   return *this;
}

std::size_t path::extensions_start(const string_base & strName) const
{
   const std::size_t iFirstNonDot = strName.find_first_not_of('.');
   return iFirstNonDot == string_base::npos ? string_base::npos : strName.find('.', iFirstNonDot);
}

string_base path::final_extension() const
{
   const string_base strName = name();
   const std::size_t iStart = extensions_start(strName);
   return iStart == string_base::npos ? string_base() : strName.substr(strName.rfind('.') + 1);
}

string_base path::all_extensions() const
{
   const string_base strName = name();
   const std::size_t iStart = extensions_start(strName);
   return iStart == string_base::npos ? string_base() : strName.substr(iStart + 1);
}

bool path::has_extension(scoped_string_base strExtension) const
{
   const string_base strName = name();
   const std::size_t iStart = extensions_start(strName);
   return iStart != string_base::npos && ends_ci(strName.substr(iStart), "." + string_base(without_dot(strExtension)));
}

path & path::set_all_extensions(scoped_string_base strExtension)
{
   string_base strName = name();
   strName = strName.substr(0, extensions_start(strName)) + "." + string_base(without_dot(strExtension));
   m_path.replace_filename(strName);
   return *this;
}

path path::with_deferred_extension(scoped_string_base strExtension) const
{
   if (has_extension(strExtension))
   {
      return *this;
   }
   return path(as_string() + "." + string_base(without_dot(strExtension)));
}

} // namespace file
