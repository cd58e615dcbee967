#include "orvo/file_system.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <system_error>

#include <pwd.h>
#include <unistd.h>

namespace file
{

read_result read_all(const path & path)
{
   read_result result;
   std::error_code error;
   if (std::filesystem::is_directory(path, error))
   {
      result.m_strError = format("\"%s\" is a folder", path.c_str());
      return result;
   }
   std::ifstream stream(path.c_str(), std::ios::binary);
   if (!stream)
   {
      result.m_strError = format("cannot open \"%s\": %s", path.c_str(), std::strerror(errno));
      return result;
   }
   std::ostringstream text;
   text << stream.rdbuf();
   if (stream.bad())
   {
      result.m_strError = format("cannot read \"%s\"", path.c_str());
      return result;
   }
   result.m_strText = std::move(text).str();
   result.m_bOk = true;
   return result;
}

bool exists(const path & path)
{
   std::error_code error;
   return std::filesystem::exists(path, error);
}

} // namespace file

namespace dir
{

namespace
{

// The variable's value when it is set and is an absolute path.
const char * absolute_variable(const char * pszName)
{
   const char * pszValue = std::getenv(pszName);
   return pszValue && pszValue[0] == '/' ? pszValue : nullptr;
}

} // namespace

file::write_result make(const file::path & path)
{
   std::error_code error;
   std::filesystem::create_directories(path, error);
   if (error || !std::filesystem::is_directory(path, error))
   {
      return {false, format("cannot make the folder \"%s\": %s", path.c_str(),
                            error ? error.message().c_str() : "a file of that name is there")};
   }
   return {true, {}};
}

file::path home()
{
   if (const char * pszHome = absolute_variable("HOME"))
   {
      return pszHome;
   }
   const passwd * ppasswd = ::getpwuid(::getuid());
   return ppasswd && ppasswd->pw_dir ? file::path(ppasswd->pw_dir) : file::path("/");
}

file::path user_data()
{
   if (const char * pszDataHome = absolute_variable("XDG_DATA_HOME"))
   {
      return pszDataHome;
   }
   return home() / ".local/share";
}

file::path application_data(scoped_string_base strApplicationName)
{
   return user_data() / strApplicationName;
}

file::path program()
{
   std::error_code error;
   return std::filesystem::read_symlink("/proc/self/exe", error);
}

} // namespace dir
