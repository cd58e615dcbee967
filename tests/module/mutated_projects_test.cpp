// Projects, presets and a logo file as the program writes them (kept as the fuzzers' seeds), and
// the same projects damaged: bytes changed in a picture, values made unreadable, the layer count in
// the header changed, blocks doubled, left out or cut. Whatever the damage, the user is told, or the
// project opens as it was written.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <iostream>
#include <iterator>
#include <map>
#include <vector>

#include "core/Global.h"
#include "document/boxes_layer.h"
#include "document/image_layer.h"
#include "document/project.h"
#include "orvo/file_system.h"
#include "picture_layer.h"
#include "project_files_fixture.h"
#include "test_files.h"

using namespace Tarvossa_BrisvanePro;

namespace
{

const std::filesystem::path seeds = std::filesystem::path(BRISVANE_SOURCE_DIR) / "tests/fuzz/seeds";

class mutated_projects : public project_files
{
protected:
   // Opens the text as the user opens a project file: whether the user was told of a fault, and
   // the project's text as the program would save it.
   std::pair<bool, string_base> open_project(scoped_string_base strText)
   {
      EXPECT_TRUE(file::write_all(data_file("opened.tvsx"), strText));
      m_pglobal->load_project_from_file(data_file("opened.tvsx"));
      const bool bTold = !take_errors_shown().empty();
      return {bTold, document().get_container_text(project::project_magic, document().get_raster_size_text(), true)};
   }

   // Opens the text as the user opens a project file, and gives the one error box shown.
   string_base error_opening(scoped_string_base strText)
   {
      EXPECT_TRUE(file::write_all(data_file("opened.tvsx"), strText));
      m_pglobal->load_project_from_file(data_file("opened.tvsx"));
      return the_error_shown();
   }

   // Screen layers set as a user sets them, beyond the defaults.
   pointer<boxes_layer> add_screen(project & document, const char * pszName, scoped_string_base strParameters)
   {
      pointer<boxes_layer> pscreen = document.new_boxes_layer();
      pscreen->set_name(pszName);
      pscreen->apply_layer_info(strParameters);
      return pscreen;
   }

   // Writes the documents of the seeds through the program's save paths, one after the other in the
   // current document.
   void write_seeds()
   {
      project & doc = document();
      doc.get_layers().clear();
      doc.set_paper_size(1920, 1080);
      doc.m_bRasterLabel = true;
      doc.m_straRasterLabel.clear();
      doc.m_straRasterLabel.add("Main stage");
      doc.m_straRasterLabel.add("Wall A");
      const pointer<boxes_layer> pleft = add_screen(doc, "Left", "OffsetX:10\nOffsetY:20\nColumns:4\nRows:3\nWidth:128\nHeight:128\nSnakeMode:1\nExcludeBoxes:5\n"
                              "CustomPath:0,0|1,0|1,1\nHalfColumns:1\nPowerVolts:230\nPowerWatts:150\nPhysW:500\nPhysH:500");
      ASSERT_TRUE(file::write_all(file::path((seeds / "fuzz_layer_text/screen_as_written.txt").c_str()), pleft->get_layer_info()));
      add_screen(doc, "Right", "OffsetX:600\nColumns:8\nRows:2\nWidth:96\nHeight:96\nRotation:90\nShowFT:1\nDrawPower:1\nHidden:1");
      ASSERT_TRUE(doc.save_project_to_file(file::path((seeds / "fuzz_project_container/two_screens.tvsx").c_str())));

      doc.get_layers().clear();
      doc.set_paper_size(3840, 2160);
      add_screen(doc, "Wall", "Columns:6\nRows:4\nWidth:192\nHeight:192");
      pointer<image_layer> plogo = add_picture_layer(doc, 40, 30, 64, 48, color::color(200, 40, 40));
      plogo->set_name("Logo");
      plogo->set_logo(true);
      ASSERT_TRUE(doc.save_project_to_file(file::path((seeds / "fuzz_project_container/picture.tvsx").c_str())));
      ASSERT_TRUE(doc.save_logo_layer_to_file(file::path((seeds / "fuzz_project_container/logo.data").c_str())));

      doc.get_layers().clear();
      add_screen(doc, "P 2.6mm", "Columns:5\nRows:3\nWidth:192\nHeight:192\nPhysW:500\nPhysH:500\nWeightPerPanel:7.5");
      add_screen(doc, "P 3.9mm", "Columns:5\nRows:3\nWidth:128\nHeight:128\nPhysW:500\nPhysH:500");
      add_screen(doc, "P 6.25", "Columns:4\nRows:4\nWidth:80\nHeight:80\nPhysW:500\nPhysH:500");
      ASSERT_TRUE(doc.save_preset_to_file(file::path((seeds / "fuzz_project_container/presets.tvsx_presets").c_str())));
   }
};

// The projects among the seeds that the program wrote, by file name.
std::map<std::string, string_base> seed_projects()
{
   std::map<std::string, string_base> projects;
   for (const char * pszName : {"two_screens.tvsx", "picture.tvsx"})
   {
      projects[pszName] = read_all(seeds / "fuzz_project_container" / pszName);
   }
   return projects;
}

// Where each block's line starts, and the end of the text.
std::vector<std::size_t> block_starts(const string_base & strText)
{
   std::vector<std::size_t> starts;
   std::size_t iPosition = strText.find('\n') + 1;
   if (strText.substr(iPosition).starts_with("Width:"))
   {
      iPosition = strText.find('\n', strText.find('\n', iPosition) + 1) + 1;
   }
   while (iPosition < strText.size())
   {
      starts.push_back(iPosition);
      const std::size_t iLineEnd = strText.find('\n', iPosition);
      iPosition = iLineEnd + 1 + std::stoull(strText.substr(strText.find(' ', iPosition) + 1, iLineEnd).c_str());
   }
   starts.push_back(strText.size());
   return starts;
}

// `strText` with the first `strFrom` at or after `iFrom` replaced by `strTo`, and the length in the
// header of the block that holds it set to the block's new length.
string_base replaced_in_block(const string_base & strText, const string_base & strFrom, const string_base & strTo, std::size_t iFrom = 0)
{
   const std::size_t iAt = strText.find(strFrom, iFrom);
   const std::vector<std::size_t> starts = block_starts(strText);
   const std::size_t iBlock = *std::prev(std::ranges::upper_bound(starts, iAt));
   const std::size_t iHeaderEnd = strText.find('\n', iBlock) + 1;
   const std::size_t iLengthAt = strText.find(' ', iBlock) + 1;
   const std::size_t iLength = std::stoull(strText.substr(iLengthAt, iHeaderEnd - iLengthAt).c_str()) + strTo.size() - strFrom.size();
   string_base strReplaced = strText;
   strReplaced.replace(iAt, strFrom.size(), strTo);
   return strReplaced.replace(iLengthAt, iHeaderEnd - 1 - iLengthAt, std::to_string(iLength));
}

// The line of `strText` where it first differs from `strOther`.
string_base first_line_apart(const string_base & strText, const string_base & strOther)
{
   const std::size_t iApart = std::ranges::mismatch(strText, strOther).in1 - strText.begin();
   const std::size_t iLine = strText.rfind('\n', iApart == 0 ? 0 : iApart - 1);
   const std::size_t iStart = iLine == string_base::npos ? 0 : iLine + 1;
   return strText.substr(iStart, strText.find('\n', iApart) - iStart);
}

using mutation = std::pair<const char *, string_base>;

// Every damage done to one project text, each named by its kind.
std::vector<mutation> mutations_of(const string_base & strText)
{
   std::vector<mutation> mutations;
   // Pictures: a character that is no hexadecimal digit, and a digit changed to another, at
   // places spread over the picture text.
   for (std::size_t iData = strText.find("Data:"); iData != string_base::npos; iData = strText.find("Data:", iData + 1))
   {
      const std::size_t iStart = iData + 5;
      const std::size_t iLength = strText.find('\n', iStart) - iStart;
      for (std::size_t i = 0; i < iLength; i += std::max<std::size_t>(iLength / 48, 1))
      {
         for (const char chNew : {'g', strText[iStart + i] == '0' ? '1' : '0'})
         {
            string_base strMutated = strText;
            strMutated[iStart + i] = chNew;
            mutations.emplace_back("a picture's byte changed", strMutated);
         }
      }
   }
   // Each value of the layers with its first character made a letter.
   const std::vector<std::size_t> starts = block_starts(strText);
   const std::size_t iLayersEnd = starts[starts.size() - 2];
   for (std::size_t iLine = starts.front(); iLine < iLayersEnd; iLine = strText.find('\n', iLine) + 1)
   {
      const std::size_t iColon = strText.find(':', iLine);
      if (iColon + 1 < std::min(strText.find('\n', iLine), iLayersEnd))
      {
         string_base strMutated = strText;
         strMutated[iColon + 1] = 'x';
         mutations.emplace_back("a layer's value damaged", strMutated);
      }
   }
   // Each layer block marked as the other kind of layer.
   for (std::size_t i = 0; i + 2 < starts.size(); ++i)
   {
      string_base strMutated = strText;
      strMutated[starts[i]] = strText[starts[i]] == '1' ? '2' : '1';
      mutations.emplace_back("a block marked as the other kind of layer", strMutated);
   }
   // The layer count in the header, one less, one more, none and far more.
   const std::size_t iCount = string_base("BRISVANE_LED_PROJECT v2 ").size();
   const std::size_t iCountEnd = strText.find(' ', iCount);
   const int iLayers = std::stoi(strText.substr(iCount, iCountEnd - iCount).c_str());
   for (const int iNew : {iLayers - 1, iLayers + 1, 0, 1000})
   {
      mutations.emplace_back("the header's layer count changed", strText.substr(0, iCount) + std::to_string(iNew).c_str() + strText.substr(iCountEnd));
   }
   // Each block doubled, left out, and cut in its middle and before its last byte.
   for (std::size_t i = 0; i + 1 < starts.size(); ++i)
   {
      const string_base strBlock = strText.substr(starts[i], starts[i + 1] - starts[i]);
      mutations.emplace_back("a block doubled", strText.substr(0, starts[i + 1]) + strBlock + strText.substr(starts[i + 1]));
      mutations.emplace_back("a block left out", strText.substr(0, starts[i]) + strText.substr(starts[i + 1]));
      mutations.emplace_back("the file cut at a block", strText.substr(0, starts[i]));
      mutations.emplace_back("the file cut inside a block", strText.substr(0, (starts[i] + starts[i + 1]) / 2));
      mutations.emplace_back("the file cut inside a block", strText.substr(0, starts[i + 1] - 1));
   }
   return mutations;
}

} // namespace

// Writes the seed corpus of the project container fuzzer with the program's own save path:
// run with --gtest_also_run_disabled_tests after the container format changed.
TEST_F(mutated_projects, DISABLED_write_the_fuzz_seeds)
{
   write_seeds();
}

TEST_F(mutated_projects, the_seeds_open_whole_and_save_back_unchanged)
{
   const std::map<std::string, string_base> projects = seed_projects();
   for (const auto & [strName, strText] : projects)
   {
      const auto [bTold, strSaved] = open_project(strText);
      EXPECT_FALSE(bTold) << strName;
      EXPECT_EQ(strSaved, strText) << strName;
   }
}

TEST_F(mutated_projects, every_damage_is_told_or_leaves_the_project_as_written)
{
   std::map<std::string, std::pair<int, int>> triedAndTold;
   for (const auto & [strName, strText] : seed_projects())
   {
      for (const auto & [pszKind, strMutated] : mutations_of(strText))
      {
         const auto [bTold, strSaved] = open_project(strMutated);
         auto & [iTried, iTold] = triedAndTold[pszKind];
         ++iTried;
         iTold += bTold ? 1 : 0;
         EXPECT_TRUE(bTold || strSaved == strText || strSaved == strMutated) << strName << ": " << pszKind << ", opened without a word after\n"
                                                                            << first_line_apart(strMutated, strText);
      }
   }
   for (const auto & [strKind, counts] : triedAndTold)
   {
      std::cout << strKind << ": " << counts.second << " of " << counts.first << " told\n";
   }
}

TEST_F(mutated_projects, values_that_do_not_read_are_told_by_layer_and_key)
{
   string_base strText = read_all(seeds / "fuzz_project_container/two_screens.tvsx");
   const std::size_t iLeft = strText.find("Name:Left");
   strText.replace(strText.find("OffsetX:10\n"), 10, "OffsetX:1O");
   strText.replace(strText.find("PhysW:500.000000", iLeft), 16, "PhysW:5OO.000000");
   strText.replace(strText.find("Columns:4", iLeft), 9, "Columns:y");
   strText = replaced_in_block(strText, "CustomPath:0,0|1,0|1,1", "CustomPath:12abc", iLeft);
   strText = replaced_in_block(strText, "PowerCustomPath:\n", "PowerCustomPath:inf\n", iLeft);
   strText = replaced_in_block(strText, "PConnectorNames:\n", "PConnectorNames:\"D1\" x \"D2\"\n", iLeft);
   strText = replaced_in_block(strText, "FontSize:20", "FontSize:12abc", strText.find("Raster Label:"));
   const string_base strError = error_opening(strText);
   EXPECT_NE(strError.find("Values of the layer \"Left\" that do not read were left out or cut to what reads: OffsetX \"1O\", "
                           "CustomPath \"12abc\", PowerCustomPath \"inf\", PhysW \"5OO.000000\", Columns \"y\", "
                           "PConnectorNames \"\"D1\" x \"D2\"\"."),
             string_base::npos)
      << strError;
   EXPECT_NE(strError.find("Values of the raster label that do not read were cut to what reads: FontSize \"12abc\"."), string_base::npos)
      << strError;
   // What was kept is what reads.
   const pointer<boxes_layer> pleft = document().get_layer(1).cast<boxes_layer>();
   ASSERT_TRUE(pleft);
   EXPECT_EQ(pleft->get_name(), "Left");
   EXPECT_EQ(pleft->get_offset_x(), 1);
   EXPECT_EQ(pleft->m_descriptionData.custom_paths, (std::vector<std::vector<int>>{{12}}));
   EXPECT_EQ(pleft->m_descriptionPower.custom_paths, (std::vector<std::vector<int>>{{0}}));
   EXPECT_EQ(pleft->PConnectorNames, (std::vector<string_base>{"D1"}));
   EXPECT_EQ(document().m_iRasterLabelFontSize, 12);
}

TEST_F(mutated_projects, a_raster_side_of_0_or_below_keeps_the_valid_side_and_is_told)
{
   const string_base strText = read_all(seeds / "fuzz_project_container/two_screens.tvsx");
   const struct
   {
      const char * m_pszSize;
      int m_iWidth;
      int m_iHeight;
      const char * m_pszTold;
   } cases[] = {
      {"Width:0\nHeight:720", 1920, 720, "The raster width 0 is no size: the width 1920 was kept."},
      {"Width:2560\nHeight:-5", 2560, 1080, "The raster height -5 is no size: the height 1080 was kept."},
   };
   for (const auto & c : cases)
   {
      string_base strDamaged = strText;
      strDamaged.replace(strText.find("Width:1920\nHeight:1080"), 22, c.m_pszSize);
      const string_base strError = error_opening(strDamaged);
      EXPECT_NE(strError.find(c.m_pszTold), string_base::npos) << strError;
      EXPECT_EQ(document().get_paper_width(), c.m_iWidth) << c.m_pszSize;
      EXPECT_EQ(document().get_paper_height(), c.m_iHeight) << c.m_pszSize;
      EXPECT_EQ(document().get_layers_count(), 2);
   }
}

// Kept as it came rather than read as a screen: the reader cannot tell whether the block's type or
// its text is what was damaged.
TEST_F(mutated_projects, a_screen_layer_in_a_picture_block_opens_told_and_a_save_keeps_all_it_held)
{
   const string_base strText = read_all(seeds / "fuzz_project_container/two_screens.tvsx");
   const auto screen_written = [this] {
      const pointer<app_layer> player = document().get_layer(1);
      return player->get_base_layer_info().as_string(":", "\n") + "\n" + player->get_all_parameters().as_string(":", "\n");
   };
   open_project(strText);
   const string_base strScreen = screen_written();

   string_base strDamaged = strText;
   strDamaged[block_starts(strText)[1]] = '2';
   const auto [bTold, strSaved] = open_project(strDamaged);
   EXPECT_TRUE(bTold);
   ASSERT_TRUE(document().get_layer(1).cast<image_layer>());
   EXPECT_EQ(document().get_layer(1)->get_name(), "Left");

   // The saved block, marked as a screen again, opens as the screen that was written: columns,
   // rows, paths, connector names, every value.
   string_base strMended = strSaved;
   strMended[block_starts(strSaved)[1]] = '1';
   open_project(strMended);
   ASSERT_TRUE(document().get_layer(1).cast<boxes_layer>());
   EXPECT_EQ(screen_written(), strScreen);
}

TEST_F(mutated_projects, keys_of_the_other_kind_of_layer_are_named_with_the_layer)
{
   string_base strText = read_all(seeds / "fuzz_project_container/two_screens.tvsx");
   strText[block_starts(strText)[1]] = '2';
   const std::size_t iName = strText.find("Name:Left");
   strText = replaced_in_block(strText, "Name:Left", "Name:Left\nNewKey:1", iName);
   const string_base strError = error_opening(strText);
   EXPECT_NE(strError.find("The picture layer \"Left\" holds keys that no picture layer has (NewKey, CustomPath, BoxColors, "
                           "BoxTintColors, PowerVolts and 54 more); its block may be marked as the wrong kind of layer. It opens "
                           "without them, and they are kept as they came and saved with it."),
             string_base::npos)
      << strError;

   // A picture in a screen block is kept too.
   string_base strPicture = read_all(seeds / "fuzz_project_container/picture.tvsx");
   const std::size_t iData = strPicture.find("\nData:") + 1;
   const string_base strDataLine = strPicture.substr(iData, strPicture.find('\n', iData) + 1 - iData);
   strPicture[block_starts(strPicture)[1]] = '1';
   const string_base strPictureError = error_opening(strPicture);
   EXPECT_NE(strPictureError.find("The screen layer \"Logo\" holds keys that no screen layer has (Data, AspectRatio);"), string_base::npos)
      << strPictureError;
   EXPECT_NE(document().get_container_text(project::project_magic, document().get_raster_size_text(), true).find(strDataLine),
             string_base::npos);
}
