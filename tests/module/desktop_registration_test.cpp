// The program's own file association at start-up and the installed desktop files name the same
// desktop entry, icon and MIME types, so that the desktop shows one program and one file type.

#include <gtest/gtest.h>

#include <pugixml.hpp>

#include <fstream>
#include <map>
#include <string>

#include "host/context.h"
#include "host/node.h"
#include "orvo/file_system.h"
#include "screen/application.h"

using namespace Tarvossa_BrisvanePro;

namespace
{

const std::filesystem::path g_pathInstalled = BRISVANE_SOURCE_DIR "/packaging";

// The keys of a desktop entry file's "[Desktop Entry]" group.
std::map<std::string, std::string> read_desktop_entry(const std::filesystem::path & path)
{
   std::ifstream stream(path);
   std::map<std::string, std::string> entry;
   bool bInGroup = false;
   for (std::string line; std::getline(stream, line);)
   {
      if (!line.empty() && line.front() == '[')
      {
         bInGroup = line == "[Desktop Entry]";
      }
      else if (const auto equals = line.find('='); bInGroup && equals != std::string::npos)
      {
         entry[line.substr(0, equals)] = line.substr(equals + 1);
      }
   }
   return entry;
}

pugi::xml_node find_mime_type(const pugi::xml_document & package, const char * pszType)
{
   return package.child("mime-info").find_child_by_attribute("mime-type", "type", pszType);
}

class desktop_registration : public testing::Test
{
protected:
   void SetUp() override
   {
      m_papplication = make_pointer<application>();
      platform::context::set_application(m_papplication.get());
      m_papplication->set_file_association();
   }

   void TearDown() override { platform::context::set_application(nullptr); }

   static std::filesystem::path user_file(const char * pszFolder, const char * pszName)
   {
      return platform::node::user_data_folder() / pszFolder / pszName;
   }

   pointer<application> m_papplication;
};

} // namespace

TEST_F(desktop_registration, the_users_entry_replaces_the_installed_one)
{
   const auto user = read_desktop_entry(user_file("applications", "Tarvossa_BrisvanePro.desktop"));
   const auto installed = read_desktop_entry(g_pathInstalled / "Tarvossa_BrisvanePro.desktop");
   ASSERT_FALSE(user.empty());
   for (const char * pszKey : {"Type", "Name", "Icon", "MimeType", "Terminal", "Categories", "StartupWMClass"})
   {
      ASSERT_TRUE(installed.contains(pszKey) && user.contains(pszKey)) << pszKey;
      EXPECT_EQ(user.at(pszKey), installed.at(pszKey)) << pszKey;
   }
   EXPECT_EQ(user.at("Name"), "Brisvane Pro");
   EXPECT_EQ(user.at("Exec").substr(user.at("Exec").size() - 3), " %f");
   EXPECT_EQ(installed.at("Exec"), "brisvane %f");
   // The entry the program wrote disappears from the desktop with the program.
   ASSERT_TRUE(user.contains("TryExec"));
   EXPECT_EQ(user.at("TryExec"), dir::program().as_string());
}

TEST_F(desktop_registration, the_users_mime_type_is_the_installed_one)
{
   pugi::xml_document user;
   pugi::xml_document installed;
   ASSERT_TRUE(user.load_file(user_file("mime/packages", "Tarvossa_BrisvanePro-association.xml").c_str()));
   ASSERT_TRUE(installed.load_file((g_pathInstalled / "Tarvossa_BrisvanePro.xml").c_str()));
   const pugi::xml_node userType = find_mime_type(user, "application/x-tvsx");
   const pugi::xml_node installedType = find_mime_type(installed, "application/x-tvsx");
   ASSERT_TRUE(userType);
   ASSERT_TRUE(installedType);
   EXPECT_STREQ(userType.child("glob").attribute("pattern").value(), installedType.child("glob").attribute("pattern").value());
   EXPECT_STREQ(userType.child_value("comment"), installedType.child_value("comment"));
   // Presets are a type of their own, known from the installed package.
   EXPECT_STREQ(find_mime_type(installed, "application/x-tvsx_presets").child("glob").attribute("pattern").value(), "*.tvsx_presets");
}

// Installed under ~/.local, the package's files stand in the user's data folder: the program's own
// registration keeps the MIME package that also knows presets, and writes one of its own beside it.
TEST_F(desktop_registration, an_install_in_the_users_data_folder_keeps_its_mime_package)
{
   const std::filesystem::path pathInstalled = user_file("mime/packages", "Tarvossa_BrisvanePro.xml");
   std::filesystem::copy_file(g_pathInstalled / "Tarvossa_BrisvanePro.xml", pathInstalled, std::filesystem::copy_options::overwrite_existing);
   const std::string strInstalled = file::read_all(pathInstalled).value_or("");
   m_papplication->set_file_association();
   EXPECT_EQ(file::read_all(pathInstalled).value_or(""), strInstalled);
   EXPECT_TRUE(std::filesystem::exists(user_file("mime/packages", "Tarvossa_BrisvanePro-association.xml")));
   std::filesystem::remove(pathInstalled);
}
