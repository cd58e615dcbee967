#include "host/node.h"

#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <sstream>
#include <vector>

#include <pugixml.hpp>

#include "host/application.h"
#include "host/context.h"
#include "orvo/file_system.h"

extern char ** environ;

namespace platform
{

namespace
{

const char * const g_pszXbelBookmarkNamespace = "http://www.freedesktop.org/standards/desktop-bookmarks";
const char * const g_pszMimeNamespace = "http://www.freedesktop.org/standards/shared-mime-info";

string_base without_dot(scoped_string_base strExtension)
{
   if (!strExtension.empty() && strExtension.front() == '.')
   {
      strExtension.remove_prefix(1);
   }
   return string_base(strExtension);
}

string_base mime_type_of_extension(scoped_string_base strExtension)
{
   return "application/x-" + without_dot(strExtension);
}

// The MIME type the desktop shows for a file the program wrote.
string_base mime_type_of_file(const std::filesystem::path & path, scoped_string_base strDocumentExtension)
{
   string_base strExtension = without_dot(path.extension().string());
   for (char & ch : strExtension)
   {
      ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
   }
   if (strExtension == "png") return "image/png";
   if (strExtension == "jpg" || strExtension == "jpeg") return "image/jpeg";
   if (strExtension == "bmp") return "image/bmp";
   if (strExtension == "tga") return "image/x-tga";
   if (strExtension == "psd") return "image/vnd.adobe.photoshop";
   if (strExtension == "xml") return "application/xml";
   if (!strExtension.empty() && strExtension == strDocumentExtension) return mime_type_of_extension(strExtension);
   return "application/octet-stream";
}

bool has_control_character(scoped_string_base str)
{
   for (char ch : str)
   {
      if (static_cast<unsigned char>(ch) < 0x20 || ch == 0x7f)
      {
         return true;
      }
   }
   return false;
}

// The program as the first word of a desktop entry's Exec value: quoted, with the characters that
// quoting reserves escaped, "%" doubled, and every backslash doubled once more for the entry's
// string value.
string_base exec_program(const std::filesystem::path & pathProgram)
{
   string_base strQuoted = "\"";
   for (char ch : pathProgram.string())
   {
      if (ch == '\\')
      {
         strQuoted += "\\\\\\\\";
         continue;
      }
      if (ch == '"' || ch == '`' || ch == '$')
      {
         strQuoted += "\\\\";
      }
      if (ch == '%')
      {
         strQuoted += '%';
      }
      strQuoted += ch;
   }
   return strQuoted + "\"";
}

// The program as a desktop entry's TryExec value, a plain string: only the backslash is escaped.
string_base try_exec_program(const std::filesystem::path & pathProgram)
{
   string_base strEscaped;
   for (char ch : pathProgram.string())
   {
      strEscaped += ch;
      if (ch == '\\')
      {
         strEscaped += ch;
      }
   }
   return strEscaped;
}

// The open command in the desktop's field codes: the file "%1" (quoted or not) becomes "%f",
// which the desktop quotes itself.
string_base exec_arguments(scoped_string_base strOpenCommand)
{
   string_base str(strOpenCommand);
   for (const char * pszFile : {"\"%1\"", "%1"})
   {
      for (auto i = str.find(pszFile); i != string_base::npos; i = str.find(pszFile, i + 2))
      {
         str.replace(i, std::char_traits<char>::length(pszFile), "%f");
      }
   }
   return str;
}

// Writes the text unless the file already holds exactly it; tells whether it wrote.
outcome<file::written> write_when_changed(const std::filesystem::path & path, const string_base & strText, bool & bChanged)
{
   bChanged = false;
   if (const outcome<string_base> current = file::read_all(path); current && current.value() == strText)
   {
      return file::written{};
   }
   std::error_code error;
   std::filesystem::create_directories(path.parent_path(), error);
   if (error)
   {
      return failure("cannot create the folder " + path.parent_path().string() + ": " + error.message());
   }
   bChanged = true;
   return file::write_atomically(path, strText);
}

// Runs a desktop tool and waits for it (it runs only when the association changed, so once per
// install); a desktop without the tool simply does without it.
void run_desktop_tool(const char * pszProgram, const std::filesystem::path & pathArgument)
{
   string_base strArgument = pathArgument.string();
   char * argv[] = {const_cast<char *>(pszProgram), strArgument.data(), nullptr};
   pid_t pid = 0;
   if (posix_spawnp(&pid, pszProgram, nullptr, nullptr, argv, environ) == 0)
   {
      waitpid(pid, nullptr, 0);
   }
}

// The system's data folders, where the desktop finds installed desktop entries and MIME packages:
// XDG_DATA_DIRS, "/usr/local/share:/usr/share" when it is unset or empty. Only absolute folders count.
std::vector<std::filesystem::path> system_data_folders()
{
   const char * pszFolders = std::getenv("XDG_DATA_DIRS");
   std::istringstream folders(pszFolders && *pszFolders ? pszFolders : "/usr/local/share:/usr/share");
   std::vector<std::filesystem::path> paths;
   for (std::string strFolder; std::getline(folders, strFolder, ':');)
   {
      if (!strFolder.empty() && strFolder.front() == '/')
      {
         paths.emplace_back(strFolder);
      }
   }
   return paths;
}

// Whether the user's desktop entry is one that a program wrote for itself: it names the program by
// its absolute path. An installed entry (a package's, or an install under ~/.local) names it by name.
bool is_own_registration(const std::filesystem::path & pathEntry)
{
   const outcome<string_base> text = file::read_all(pathEntry);
   return text && text.value().find("\nTryExec=/") != string_base::npos;
}

// Whether the desktop already has an installed entry of the id: in a system data folder, or in the
// user's own folder when no program wrote it there for itself.
bool has_installed_entry(const std::filesystem::path & pathData, const std::filesystem::path & pathUserEntry)
{
   std::error_code error;
   if (std::filesystem::exists(pathUserEntry, error) && !is_own_registration(pathUserEntry))
   {
      return true;
   }
   for (const std::filesystem::path & pathFolder : system_data_folders())
   {
      // A data folder that also lists the user's own must not take the program's entry for an
      // installed one.
      if (!std::filesystem::equivalent(pathFolder, pathData, error)
          && std::filesystem::exists(pathFolder / "applications" / pathUserEntry.filename(), error))
      {
         return true;
      }
   }
   return false;
}

// Removes a file the program wrote; tells whether it was there.
outcome<bool> remove_written(const std::filesystem::path & path)
{
   std::error_code error;
   const bool bRemoved = std::filesystem::remove(path, error);
   if (error)
   {
      return failure("cannot remove " + path.string() + ": " + error.message());
   }
   return bRemoved;
}

// Takes back the program's own registration, so that an installed entry of the same id is the one
// the desktop opens documents with; the desktop's databases are refreshed where a file went.
outcome<file::written> withdraw_registration(const std::filesystem::path & pathData, const std::filesystem::path & pathEntry,
                                             const std::filesystem::path & pathMimePackage)
{
   if (is_own_registration(pathEntry))
   {
      const outcome<bool> removed = remove_written(pathEntry);
      if (!removed)
      {
         return failure(removed.error());
      }
      run_desktop_tool("update-desktop-database", pathData / "applications");
   }
   const outcome<bool> removed = remove_written(pathMimePackage);
   if (!removed)
   {
      return failure(removed.error());
   }
   if (removed.value())
   {
      run_desktop_tool("update-mime-database", pathData / "mime");
   }
   return file::written{};
}

string_base iso8601_now()
{
   const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
   std::tm tmUtc{};
   gmtime_r(&now, &tmUtc);
   char sz[32];
   std::strftime(sz, sizeof(sz), "%Y-%m-%dT%H:%M:%SZ", &tmUtc);
   return sz;
}

// A file URI: every byte but the unreserved ones and "/" percent-encoded.
string_base file_uri(const std::filesystem::path & path)
{
   static const char * const pszHex = "0123456789ABCDEF";
   string_base strUri = "file://";
   for (unsigned char ch : path.string())
   {
      if (std::isalnum(ch) || ch == '/' || ch == '-' || ch == '.' || ch == '_' || ch == '~')
      {
         strUri += static_cast<char>(ch);
      }
      else
      {
         strUri += '%';
         strUri += pszHex[ch >> 4];
         strUri += pszHex[ch & 15];
      }
   }
   return strUri;
}

string_base application_display_name()
{
   ::platform::application * papplication = context::application();
   if (papplication && !papplication->application_name().empty())
   {
      return papplication->application_name();
   }
   return "brisvane";
}

string_base xml_text(const pugi::xml_document & document)
{
   std::ostringstream text;
   document.save(text, "  ", pugi::format_default, pugi::encoding_utf8);
   return text.str();
}

} // namespace

void node::set_document_extension(scoped_string_base strExtension)
{
   m_strDocumentExtension = without_dot(strExtension);
}

string_base node::document_mime_type() const
{
   return mime_type_of_extension(m_strDocumentExtension);
}

std::filesystem::path node::user_data_folder()
{
   return std::filesystem::path(dir::user_data().c_str());
}

outcome<file::written> node::associate_extension(scoped_string_base strExtension, scoped_string_base strAssociationId,
                                             const std::filesystem::path & pathProgram,
                                             scoped_string_base strOpenCommand)
{
   const string_base strBareExtension = without_dot(strExtension);
   if (strAssociationId.empty() || strAssociationId.find('/') != scoped_string_base::npos
       || strAssociationId.front() == '.' || has_control_character(strAssociationId))
   {
      return failure("the association id \"" + string_base(strAssociationId) + "\" is no plain file name");
   }
   if (strBareExtension.empty() || strBareExtension.find_first_of("/*?[]") != string_base::npos
       || has_control_character(strBareExtension))
   {
      return failure("the extension \"" + string_base(strExtension) + "\" cannot be associated");
   }
   if (has_control_character(pathProgram.string()) || has_control_character(strOpenCommand))
   {
      return failure("the program path or open command holds a control character");
   }
   const std::filesystem::path pathData = user_data_folder();
   if (pathData.empty())
   {
      return failure(dir::no_home_text);
   }
   const string_base strId(strAssociationId);
   // The MIME package has a file name of the program's own: an installed package of the same id
   // may stand in the same folder (an install under ~/.local), and may define more types. The
   // desktop merges both; the desktop entry instead replaces the installed one of the same id.
   const std::filesystem::path pathMimePackage = pathData / "mime" / "packages" / (strId + "-association.xml");
   const std::filesystem::path pathEntry = pathData / "applications" / (strId + ".desktop");
   if (has_installed_entry(pathData, pathEntry))
   {
      return withdraw_registration(pathData, pathEntry, pathMimePackage);
   }

   const string_base strMimeType = mime_type_of_extension(strBareExtension);
   const string_base strName = application_display_name();

   pugi::xml_document mime;
   auto declaration = mime.append_child(pugi::node_declaration);
   declaration.append_attribute("version") = "1.0";
   declaration.append_attribute("encoding") = "UTF-8";
   auto info = mime.append_child("mime-info");
   info.append_attribute("xmlns") = g_pszMimeNamespace;
   auto type = info.append_child("mime-type");
   type.append_attribute("type") = strMimeType.c_str();
   type.append_child("comment").text() = (strName + " document").c_str();
   type.append_child("glob").append_attribute("pattern") = ("*." + strBareExtension).c_str();

   const string_base strEntry = "[Desktop Entry]\n"
                                "Type=Application\n"
                                "Name=" + strName + "\n"
                                "Exec=" + exec_program(pathProgram) + " " + exec_arguments(strOpenCommand) + "\n"
                                "TryExec=" + try_exec_program(pathProgram) + "\n"
                                "Icon=" + strId + "\n"
                                "MimeType=" + strMimeType + ";\n"
                                "Terminal=false\n"
                                "Categories=Graphics;\n"
                                "StartupWMClass=" + strId + "\n";

   bool bMimeChanged = false;
   bool bEntryChanged = false;
   if (auto result = write_when_changed(pathMimePackage, xml_text(mime), bMimeChanged); !result)
   {
      return result;
   }
   if (auto result = write_when_changed(pathEntry, strEntry, bEntryChanged); !result)
   {
      return result;
   }
   if (bMimeChanged)
   {
      run_desktop_tool("update-mime-database", pathData / "mime");
   }
   if (bEntryChanged)
   {
      run_desktop_tool("update-desktop-database", pathData / "applications");
   }
   return file::written{};
}

outcome<file::written> node::notify_file_saved(const std::filesystem::path & pathSaved)
{
   std::error_code error;
   const std::filesystem::path path = std::filesystem::absolute(pathSaved, error).lexically_normal();
   if (error || path.empty())
   {
      return failure("no absolute path for " + pathSaved.string());
   }
   if (user_data_folder().empty())
   {
      return failure(dir::no_home_text);
   }
   const std::filesystem::path pathList = user_data_folder() / "recently-used.xbel";
   const string_base strNow = iso8601_now();
   const string_base strHref = file_uri(path);

   pugi::xml_document document;
   if (std::filesystem::exists(pathList))
   {
      const outcome<string_base> read = file::read_all(pathList);
      if (!read)
      {
         return failure("the recently used files cannot be read: " + read.error());
      }
      const pugi::xml_parse_result parsed = document.load_buffer(read->data(), read->size());
      if (!parsed || !document.child("xbel"))
      {
         return failure("the recently used files in " + pathList.string() + " cannot be read: " + parsed.description());
      }
   }
   else
   {
      auto declaration = document.append_child(pugi::node_declaration);
      declaration.append_attribute("version") = "1.0";
      declaration.append_attribute("encoding") = "UTF-8";
      auto xbel = document.append_child("xbel");
      xbel.append_attribute("version") = "1.0";
      xbel.append_attribute("xmlns:bookmark") = g_pszXbelBookmarkNamespace;
      xbel.append_attribute("xmlns:mime") = g_pszMimeNamespace;
   }

   auto xbel = document.child("xbel");
   auto bookmark = xbel.find_child_by_attribute("bookmark", "href", strHref.c_str());
   if (!bookmark)
   {
      bookmark = xbel.append_child("bookmark");
      bookmark.append_attribute("href") = strHref.c_str();
      bookmark.append_attribute("added") = strNow.c_str();
   }
   for (const char * pszStamp : {"modified", "visited"})
   {
      auto attribute = bookmark.attribute(pszStamp);
      (attribute ? attribute : bookmark.append_attribute(pszStamp)) = strNow.c_str();
   }

   auto info = bookmark.child("info") ? bookmark.child("info") : bookmark.append_child("info");
   auto metadata = info.find_child_by_attribute("metadata", "owner", "http://freedesktop.org");
   if (!metadata)
   {
      metadata = info.append_child("metadata");
      metadata.append_attribute("owner") = "http://freedesktop.org";
   }
   if (!metadata.child("mime:mime-type"))
   {
      metadata.append_child("mime:mime-type").append_attribute("type") =
         mime_type_of_file(path, m_strDocumentExtension).c_str();
   }
   auto applications = metadata.child("bookmark:applications") ? metadata.child("bookmark:applications")
                                                               : metadata.append_child("bookmark:applications");
   const string_base strName = application_display_name();
   auto app = applications.find_child_by_attribute("bookmark:application", "name", strName.c_str());
   if (!app)
   {
      app = applications.append_child("bookmark:application");
      app.append_attribute("name") = strName.c_str();
      app.append_attribute("exec") = "brisvane %u";
      app.append_attribute("count") = 0;
   }
   (app.attribute("modified") ? app.attribute("modified") : app.append_attribute("modified")) = strNow.c_str();
   auto count = app.attribute("count") ? app.attribute("count") : app.append_attribute("count");
   count = count.as_int() + 1;

   std::filesystem::create_directories(pathList.parent_path(), error);
   return file::write_atomically(pathList, xml_text(document));
}

string_base node::application_version() const
{
   return HOST_APPLICATION_VERSION;
}

} // namespace platform
