#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <pugixml.hpp>
#include <thread>

#include "core/Global.h"
#include "document/boxes_layer.h"
#include "document/image_layer.h"
#include "document/project.h"
#include "orvo/file_system.h"

using namespace Tarvossa_BrisvanePro;

namespace
{

class screen_setup : public testing::Test
{
protected:
   screen_setup()
   {
      char szTemplate[] = "/tmp/brisvane_xml_XXXXXX";
      m_pathFolder = ::mkdtemp(szTemplate);
      m_pproject = make_pointer<project>(m_pglobal.get());
   }
   ~screen_setup() override { std::filesystem::remove_all(m_pathFolder); }

   // Writes the setup for "show.tvsx.bak" and reads back "show.xml".
   pugi::xml_node write_and_read()
   {
      const file::path pathChosen = file::path(m_pathFolder) / "show.tvsx.bak";
      EXPECT_TRUE(m_pproject->save_resolute_arena_xml_document(pathChosen));
      m_strText = file::read_all(file::path(m_pathFolder) / "show.xml").value_or("");
      const pugi::xml_parse_result result = m_xml.load_string(m_strText.c_str());
      EXPECT_TRUE(result) << result.description();
      return m_xml.child("XmlState");
   }

   static pugi::xml_node screen_of(pugi::xml_node state) { return state.child("ScreenSetup").child("screens").child("Screen"); }

   // "x,y" of every `v` child.
   static std::vector<string_base> vertices(pugi::xml_node node)
   {
      std::vector<string_base> result;
      for (pugi::xml_node v : node.children("v"))
      {
         result.push_back(string_base(v.attribute("x").value()) + "," + v.attribute("y").value());
      }
      return result;
   }

   pointer<Global> m_pglobal = make_pointer<Global>();
   pointer<project> m_pproject;
   std::filesystem::path m_pathFolder;
   pugi::xml_document m_xml;
   string_base m_strText;
};

} // namespace

TEST_F(screen_setup, EmptyDocumentGivesTheScreenAndItsOutputDevice)
{
   m_pproject->set_paper_size(0, 720);
   pugi::xml_node state = write_and_read();
   EXPECT_EQ(m_strText.rfind("<?xml version=\"1.0\"?>\n<XmlState name=\"Test\">\n\t<versionInfo ", 0), 0u);
   EXPECT_STREQ(state.attribute("name").value(), "Test");
   pugi::xml_node version = state.child("versionInfo");
   EXPECT_STREQ(version.attribute("name").value(), "Resolume Arena");
   EXPECT_STREQ(version.attribute("majorVersion").value(), "6");
   EXPECT_STREQ(version.attribute("minorVersion").value(), "1");
   EXPECT_STREQ(version.attribute("microVersion").value(), "0");
   EXPECT_STREQ(version.attribute("revision").value(), "61231");
   EXPECT_STREQ(state.child("ScreenSetup").child("Params").attribute("name").value(), "ScreenSetupParams");
   EXPECT_TRUE(state.child("ScreenSetup").child("Params").first_child().empty());

   pugi::xml_node screen = screen_of(state);
   EXPECT_STREQ(screen.attribute("name").value(), "Screen 1");
   EXPECT_GT(screen.attribute("uniqueId").as_llong(), 1'700'000'000'000LL);
   EXPECT_TRUE(screen.child("layers").first_child().empty());

   // The device takes the raster size as shown: a width of 0 is written as 1.
   pugi::xml_node device = screen.child("OutputDevice").child("OutputDeviceVirtual");
   EXPECT_STREQ(device.attribute("deviceId").value(), "VirtualScreen 1");
   EXPECT_STREQ(device.attribute("idHash").value(), "10094742552620344504");
   EXPECT_STREQ(device.attribute("width").value(), "1");
   EXPECT_STREQ(device.attribute("height").value(), "720");
   pugi::xml_node params = device.child("Params");
   EXPECT_STREQ(params.attribute("name").value(), "Params");
   pugi::xml_node width = params.find_child_by_attribute("ParamRange", "name", "Width");
   EXPECT_STREQ(width.attribute("default").value(), "1");
   EXPECT_STREQ(width.attribute("value").value(), "1");
   EXPECT_STREQ(params.find_child_by_attribute("ParamRange", "name", "Height").attribute("value").value(), "720");
   pugi::xml_node range = params.child("ValueRange");
   EXPECT_STREQ(range.attribute("name").value(), "defaultRange");
   EXPECT_STREQ(range.attribute("min").value(), "1");
   EXPECT_STREQ(range.attribute("max").value(), "16384");
   EXPECT_FALSE(std::filesystem::exists(m_pathFolder / "show.tvsx.bak"));
}

TEST_F(screen_setup, SliceOfAScreenLayerHasItsRectangleAndBezierGrid)
{
   auto pscreen = m_pproject->new_boxes_layer();
   pscreen->apply_layer_info("OffsetX:100\nOffsetY:50\nWidth:96\nHeight:108\nColumns:10\nRows:5\nName:Main <wall> & \"friends\"");
   ASSERT_EQ(pscreen->get_full_width(), 960);
   ASSERT_EQ(pscreen->get_full_height(), 540);
   pugi::xml_node slice = screen_of(write_and_read()).child("layers").child("Slice");
   ASSERT_TRUE(slice);
   EXPECT_TRUE(slice.next_sibling().empty());

   pugi::xml_node name = slice.child("Params").child("Param");
   EXPECT_STREQ(slice.child("Params").attribute("name").value(), "Common");
   EXPECT_STREQ(name.attribute("name").value(), "Name");
   EXPECT_STREQ(name.attribute("default").value(), "Layer");
   EXPECT_STREQ(name.attribute("value").value(), "Main <wall> & \"friends\"");
   EXPECT_NE(m_strText.find("value=\"Main &lt;wall> &amp; &quot;friends&quot;\""), string_base::npos);

   const std::vector<string_base> corners{"100,50", "1060,50", "1060,590", "100,590"};
   for (const char * pszRectangle : {"InputRect", "OutputRect"})
   {
      EXPECT_STREQ(slice.child(pszRectangle).attribute("orientation").value(), "0");
      EXPECT_EQ(vertices(slice.child(pszRectangle)), corners) << pszRectangle;
   }

   pugi::xml_node warper = slice.child("Warper");
   pugi::xml_node choice = warper.child("Params").child("ParamChoice");
   EXPECT_STREQ(choice.attribute("name").value(), "Point Mode");
   EXPECT_STREQ(choice.attribute("value").value(), "PM_LINEAR");
   EXPECT_STREQ(choice.attribute("storeChoices").value(), "0");
   EXPECT_STREQ(warper.child("Params").child("Param").attribute("name").value(), "Flip");
   pugi::xml_node bezier = warper.child("BezierWarper");
   EXPECT_STREQ(bezier.attribute("controlWidth").value(), "4");
   std::vector<string_base> expected;
   for (const char * pszY : {"50", "230", "410", "590"})
   {
      for (const char * pszX : {"100", "420", "740", "1060"})
      {
         expected.push_back(string_base(pszX) + "," + pszY);
      }
   }
   EXPECT_EQ(vertices(bezier.child("vertices")), expected);
}

TEST_F(screen_setup, GridPointsTruncateTowardZeroAndEveryLayerIsExported)
{
   auto pimage = m_pproject->new_image_layer();
   pimage->apply_layer_info("OffsetX:-100\nOffsetY:0\nWidth:100\nHeight:10\nHidden:1");
   m_pproject->get_logo_layer()->set_name("Ignored");
   pugi::xml_node layers = screen_of(write_and_read()).child("layers");
   ASSERT_EQ(std::distance(layers.children("Slice").begin(), layers.children("Slice").end()), 2);
   const std::vector<string_base> grid = vertices(layers.child("Slice").child("Warper").child("BezierWarper").child("vertices"));
   ASSERT_EQ(grid.size(), 16u);
   EXPECT_EQ(std::vector<string_base>(grid.begin(), grid.begin() + 4), (std::vector<string_base>{"-100,0", "-66,0", "-33,0", "0,0"}));
   EXPECT_STREQ(layers.last_child().child("Params").child("Param").attribute("value").value(), "Logo");
}

TEST_F(screen_setup, AnEmptySlotInTheListGivesNoSlice)
{
   for (const char * pszName : {"Left", "", "Right"})
   {
      pointer<app_layer> player;
      if (*pszName != '\0')
      {
         player = m_pproject->create_layer(e_layer_boxes);
         player->set_name(pszName);
      }
      m_pproject->get_layers().add(player);
   }
   pugi::xml_node layers = screen_of(write_and_read()).child("layers");
   std::vector<string_base> names;
   for (pugi::xml_node slice : layers.children("Slice"))
   {
      names.push_back(slice.child("Params").child("Param").attribute("value").value());
   }
   EXPECT_EQ(names, (std::vector<string_base>{"Left", "Right"}));
}

TEST_F(screen_setup, TwoExportsDifferOnlyInTheScreenId)
{
   m_pproject->new_boxes_layer();
   write_and_read();
   const string_base strFirst = m_strText;
   std::this_thread::sleep_for(std::chrono::milliseconds(3));
   write_and_read();
   EXPECT_NE(strFirst, m_strText);
   const auto without_id = [](string_base str) {
      const std::size_t iId = str.find("uniqueId=\"");
      return str.erase(iId, str.find('"', iId + 10) - iId);
   };
   EXPECT_EQ(without_id(strFirst), without_id(m_strText));
}

TEST_F(screen_setup, OffsetsAtThe32BitBoundsGiveTheWholeCoordinates)
{
   auto pscreen = m_pproject->new_boxes_layer();
   pscreen->apply_layer_info("OffsetX:2147483647\nOffsetY:-2147483648\nWidth:100\nHeight:100\nColumns:3\nRows:3");
   pugi::xml_node slice = screen_of(write_and_read()).child("layers").child("Slice");
   EXPECT_EQ(vertices(slice.child("InputRect")),
             (std::vector<string_base>{"2147483647,-2147483648", "2147483947,-2147483648", "2147483947,-2147483348",
                                       "2147483647,-2147483348"}));
   const std::vector<string_base> grid = vertices(slice.child("Warper").child("BezierWarper").child("vertices"));
   ASSERT_EQ(grid.size(), 16u);
   EXPECT_EQ(std::vector<string_base>(grid.begin(), grid.begin() + 4),
             (std::vector<string_base>{"2147483647,-2147483648", "2147483747,-2147483648", "2147483847,-2147483648",
                                       "2147483947,-2147483648"}));
   EXPECT_EQ(grid.back(), "2147483947,-2147483348");
}

TEST_F(screen_setup, NamesKeepOnlyWhatXmlCanHoldSoThatStrictReadersTakeTheFile)
{
   // Control characters, a byte that is no UTF-8 and U+FFFF are left out; tab, accents, CJK and
   // characters beyond the Basic Multilingual Plane stay.
   m_pproject->new_boxes_layer()->set_name("Left\x01Wall\x0B\x1F\t\xC3\xA9\xFF\xEF\xBF\xBF\xE5\xA3\x81\xF0\x9F\x8E\xA5");
   write_and_read();
   const std::filesystem::path path = m_pathFolder / "show.xml";
   // Python's expat reader refuses what XML 1.0 cannot hold, character references included.
   const string_base strCommand = format(
      "/usr/bin/python3 -c 'import sys, xml.dom.minidom; d = xml.dom.minidom.parse(sys.argv[1]); "
      "sys.stdout.buffer.write(d.getElementsByTagName(\"Param\")[0].getAttribute(\"value\").encode())' %s 2>&1",
      path.c_str());
   FILE * ppipe = ::popen(strCommand.c_str(), "r");
   ASSERT_NE(ppipe, nullptr);
   string_base strOut;
   char sz[256];
   for (std::size_t n; (n = std::fread(sz, 1, sizeof(sz), ppipe)) > 0;)
   {
      strOut.append(sz, n);
   }
   EXPECT_EQ(::pclose(ppipe), 0) << strOut;
   EXPECT_EQ(strOut, "LeftWall\t\xC3\xA9\xE5\xA3\x81\xF0\x9F\x8E\xA5");
}
