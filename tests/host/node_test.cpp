#include <gtest/gtest.h>

#include <pugixml.hpp>

#include <fstream>

#include "host/node.h"
#include "host_test_environment.h"
#include "scoped_variable.h"
#include "test_files.h"

namespace
{

class node_test : public testing::Test
{
protected:
   void SetUp() override
   {
      std::filesystem::remove_all(test_data_folder());
      std::filesystem::create_directories(test_data_folder());
      m_node.set_document_extension("tvsx");
   }

   platform::node m_node;
};

} // namespace

TEST_F(node_test, the_association_writes_a_desktop_entry_and_a_mime_type_for_the_extension)
{
   ASSERT_TRUE(m_node.associate_extension(".tvsx", "Tarvossa_BrisvanePro", "/opt/Brisvane Pro/bin/brisvane", "\"%1\""));

   const std::string strEntry = read_all(test_data_folder() / "applications" / "Tarvossa_BrisvanePro.desktop");
   EXPECT_NE(strEntry.find("[Desktop Entry]\n"), std::string::npos);
   EXPECT_NE(strEntry.find("\nExec=\"/opt/Brisvane Pro/bin/brisvane\" %f\n"), std::string::npos);
   EXPECT_NE(strEntry.find("\nTryExec=/opt/Brisvane Pro/bin/brisvane\n"), std::string::npos);
   EXPECT_NE(strEntry.find("\nIcon=Tarvossa_BrisvanePro\n"), std::string::npos);
   EXPECT_NE(strEntry.find("\nMimeType=application/x-tvsx;\n"), std::string::npos);
   EXPECT_NE(strEntry.find("\nStartupWMClass=Tarvossa_BrisvanePro\n"), std::string::npos);

   pugi::xml_document mime;
   ASSERT_TRUE(mime.load_file((test_data_folder() / "mime" / "packages" / "Tarvossa_BrisvanePro-association.xml").c_str()));
   auto type = mime.child("mime-info").child("mime-type");
   EXPECT_STREQ(type.attribute("type").value(), "application/x-tvsx");
   EXPECT_STREQ(type.child("glob").attribute("pattern").value(), "*.tvsx");
}

TEST_F(node_test, program_paths_with_reserved_characters_are_escaped_in_the_entry)
{
   ASSERT_TRUE(m_node.associate_extension("tvsx", "app", "/tmp/100% \"odd\" $dir\\brisvane", "\"%1\""));
   const std::string strEntry = read_all(test_data_folder() / "applications" / "app.desktop");
   EXPECT_NE(strEntry.find("\nExec=\"/tmp/100%% \\\\\"odd\\\\\" \\\\$dir\\\\\\\\brisvane\" %f\n"), std::string::npos)
      << strEntry;
   EXPECT_NE(strEntry.find("\nTryExec=/tmp/100% \"odd\" $dir\\\\brisvane\n"), std::string::npos) << strEntry;
}

TEST_F(node_test, an_unchanged_association_leaves_the_files_alone_and_bad_names_are_refused)
{
   ASSERT_TRUE(m_node.associate_extension("tvsx", "app", "/usr/bin/brisvane", "\"%1\""));
   const auto pathEntry = test_data_folder() / "applications" / "app.desktop";
   std::filesystem::last_write_time(pathEntry, std::filesystem::file_time_type{});
   ASSERT_TRUE(m_node.associate_extension("tvsx", "app", "/usr/bin/brisvane", "\"%1\""));
   EXPECT_EQ(std::filesystem::last_write_time(pathEntry), std::filesystem::file_time_type{});

   EXPECT_FALSE(m_node.associate_extension("tvsx", "../evil", "/usr/bin/brisvane", "\"%1\""));
   EXPECT_FALSE(m_node.associate_extension("tvsx", "", "/usr/bin/brisvane", "\"%1\""));
   EXPECT_FALSE(m_node.associate_extension("*", "app", "/usr/bin/brisvane", "\"%1\""));
   EXPECT_FALSE(m_node.associate_extension("tvsx", "app", "/usr/bin/bris\nvane", "\"%1\""));
}

// An installed desktop entry of the same id opens the documents: a program that finds one writes
// nothing, and takes back what it (or a build of it) registered before.
TEST_F(node_test, an_installed_entry_of_the_id_is_left_to_open_the_documents)
{
   const auto pathEntry = test_data_folder() / "applications" / "app.desktop";
   const auto pathMime = test_data_folder() / "mime" / "packages" / "app-association.xml";
   const auto pathSystem = test_data_folder() / "system";
   const scoped_variable systemFolders("XDG_DATA_DIRS", ("relative:" + test_data_folder().string() + ":" + pathSystem.string()).c_str());
   ASSERT_TRUE(m_node.associate_extension("tvsx", "app", "/home/dev/build/bin/brisvane", "\"%1\""));
   ASSERT_TRUE(std::filesystem::exists(pathEntry)) << "the user's own folder listed among the system's is no install";

   std::filesystem::create_directories(pathSystem / "applications");
   std::ofstream(pathSystem / "applications" / "app.desktop") << "[Desktop Entry]\nExec=brisvane %f\nTryExec=brisvane\n";
   ASSERT_TRUE(m_node.associate_extension("tvsx", "app", "/home/dev/build/bin/brisvane", "\"%1\""));
   EXPECT_FALSE(std::filesystem::exists(pathEntry));
   EXPECT_FALSE(std::filesystem::exists(pathMime));
   ASSERT_TRUE(m_node.associate_extension("tvsx", "app", "/usr/lib/brisvane/brisvane", "\"%1\""));
   EXPECT_FALSE(std::filesystem::exists(pathEntry));

   // Installed in the user's own folder (under ~/.local), the entry names the program by name.
   std::filesystem::remove_all(pathSystem);
   std::ofstream(pathEntry) << "[Desktop Entry]\nExec=brisvane %f\nTryExec=brisvane\n";
   ASSERT_TRUE(m_node.associate_extension("tvsx", "app", "/home/dev/build/bin/brisvane", "\"%1\""));
   EXPECT_EQ(read_all(pathEntry), "[Desktop Entry]\nExec=brisvane %f\nTryExec=brisvane\n");
   EXPECT_FALSE(std::filesystem::exists(pathMime));
}

TEST_F(node_test, saved_files_join_the_recently_used_list_once_each)
{
   ASSERT_TRUE(m_node.notify_file_saved("/walls/stage left.tvsx"));
   ASSERT_TRUE(m_node.notify_file_saved("/walls/frame.png"));
   ASSERT_TRUE(m_node.notify_file_saved("/walls/stage left.tvsx"));

   pugi::xml_document list;
   ASSERT_TRUE(list.load_file((test_data_folder() / "recently-used.xbel").c_str()));
   auto xbel = list.child("xbel");
   ASSERT_EQ(std::distance(xbel.children("bookmark").begin(), xbel.children("bookmark").end()), 2);
   auto stage = xbel.find_child_by_attribute("bookmark", "href", "file:///walls/stage%20left.tvsx");
   ASSERT_TRUE(stage);
   auto metadata = stage.child("info").child("metadata");
   EXPECT_STREQ(metadata.child("mime:mime-type").attribute("type").value(), "application/x-tvsx");
   EXPECT_EQ(metadata.child("bookmark:applications").child("bookmark:application").attribute("count").as_int(), 2);
   auto frame = xbel.find_child_by_attribute("bookmark", "href", "file:///walls/frame.png");
   EXPECT_STREQ(frame.child("info").child("metadata").child("mime:mime-type").attribute("type").value(), "image/png");
}

TEST_F(node_test, a_recently_used_list_that_cannot_be_read_is_left_as_it_was)
{
   const auto pathList = test_data_folder() / "recently-used.xbel";
   std::ofstream(pathList) << "<xbel><bookmark href=";
   const auto result = m_node.notify_file_saved("/walls/a.tvsx");
   EXPECT_FALSE(result);
   EXPECT_NE(result.error().find("cannot be read"), std::string::npos);
   EXPECT_EQ(read_all(pathList), "<xbel><bookmark href=");
}
