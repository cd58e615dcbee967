// The top tool bar: typed raster sizes, the switches and the counts.

#include "panel_test_screen.h"

#include "document/image_layer.h"
#include "panels/CheckboxWithFocus.h"
#include "panels/TopPanel.h"
#include "zelui/Label.h"
#include "zelui/TextBox.h"

using namespace Tarvossa_BrisvanePro;

namespace
{

class tool_bar : public panel_test
{
protected:
   void SetUp() override
   {
      panel_test::SetUp();
      m_pbar = new TopPanel(m_pscreen.get(), m_pglobal);
   }
   // Types a text into a size box and commits it, as the user does.
   void type_into(zelui::TextBox * pbox, const char * pszText)
   {
      pbox->set_value(pszText, e_source_user);
   }
   std::vector<CheckboxWithFocus *> switches() const
   {
      std::vector<CheckboxWithFocus *> boxes;
      for (const pointer<zelui::Widget> & pchild : m_pbar->children())
      {
         if (auto pbox = dynamic_cast<CheckboxWithFocus *>(pchild.get()))
         {
            boxes.push_back(pbox);
         }
      }
      return boxes;
   }

   TopPanel * m_pbar = nullptr;
};

} // namespace

TEST_F(tool_bar, size_boxes_read_untitled_until_the_first_refresh)
{
   EXPECT_EQ(m_pbar->width_box()->value(), "Untitled");
   EXPECT_EQ(m_pbar->height_box()->value(), "Untitled");
   m_pbar->updatePaperNumbersVisual();
   EXPECT_EQ(m_pbar->width_box()->value(), "1920");
   EXPECT_EQ(m_pbar->height_box()->value(), "1080");
}

TEST_F(tool_bar, typed_sizes_are_evaluated_truncated_and_written_back)
{
   type_into(m_pbar->width_box(), "1920/2");
   EXPECT_EQ(m_pbar->width_box()->value(), "960");
   EXPECT_EQ(document().get_paper_width(), 960);

   type_into(m_pbar->height_box(), "100.9");
   EXPECT_EQ(m_pbar->height_box()->value(), "100");
   EXPECT_EQ(document().get_paper_height(), 100);

   type_into(m_pbar->width_box(), "abc");
   EXPECT_EQ(m_pbar->width_box()->value(), "0");
   EXPECT_EQ(document().get_paper_width(), 1);
   m_pbar->updatePaperNumbersVisual();
   EXPECT_EQ(m_pbar->width_box()->value(), "1");
}

TEST_F(tool_bar, negative_and_huge_sizes_are_held_within_what_a_picture_can_be)
{
   EXPECT_EQ(TopPanel::calc_dimension("-5"), 0u);
   EXPECT_EQ(TopPanel::calc_dimension("1e30"), 65535u);
   EXPECT_EQ(TopPanel::calc_dimension("1/0"), 0u);
   EXPECT_EQ(TopPanel::calc_dimension("2^10"), 1024u);
}

TEST_F(tool_bar, switches_store_their_state_without_marking_the_document_changed)
{
   std::vector<CheckboxWithFocus *> boxes = switches();
   ASSERT_EQ(boxes.size(), 3u);
   for (CheckboxWithFocus * pbox : boxes)
   {
      EXPECT_TRUE(pbox->checked());
   }
   m_pglobal->take_changed();
   boxes[1]->set_checked(false, e_source_user);
   EXPECT_FALSE(m_pglobal->m_bBlackBackground);
   EXPECT_FALSE(m_pglobal->take_changed());
   boxes[2]->set_checked(false, e_source_user);
   EXPECT_FALSE(m_pglobal->m_bAutoSelect);
}

TEST_F(tool_bar, aspect_ratio_reaches_only_an_image_layer)
{
   string_base strBefore = document().current_layer()->get_layer_info();
   m_pbar->aspect_check_box()->set_checked(false, e_source_user);
   EXPECT_EQ(document().current_layer()->get_layer_info(), strBefore);

   pointer<image_layer> pimage = document().new_image_layer();
   ASSERT_TRUE(document().set_current_layer_index(0));
   m_pbar->aspect_check_box()->set_checked(true, e_source_user);
   EXPECT_TRUE(pimage->getMaintainAspectRatio());
   m_pbar->aspect_check_box()->set_checked(false, e_source_user);
   EXPECT_FALSE(pimage->getMaintainAspectRatio());
}

TEST_F(tool_bar, counts_and_focus_order)
{
   m_pbar->updateCounts(3, 12);
   EXPECT_EQ(m_pbar->counts_label()->caption(), "Layers Added: 3, Presets Loaded: 12");
   std::vector<CheckboxWithFocus *> boxes = switches();
   EXPECT_EQ(m_pglobal->tab_order(), (std::vector<zelui::Widget *>{m_pbar->width_box(), m_pbar->height_box(), boxes[0],
                                                                     boxes[1], boxes[2]}));
   m_pbar->showHideAspectRatio(false);
   EXPECT_FALSE(m_pbar->aspect_check_box()->visible());
}
