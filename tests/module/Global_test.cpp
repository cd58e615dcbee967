// The document controller without a window: layer list operations, presets, project and logo files.

#include <gtest/gtest.h>

#include <filesystem>

#include "core/Global.h"
#include "document/boxes_layer.h"
#include "document/image_layer.h"
#include "document/project.h"
#include "orvo/exception.h"
#include "orvo/file_system.h"
#include "orvo/image.h"
#include "orvo/image_service.h"
#include "root_screen_fixture.h"
#include "thrown_status.h"

using namespace Tarvossa_BrisvanePro;

namespace
{

// A controller on the default document, its data folder emptied first.
class controller : public testing::Test
{
protected:
   void SetUp() override
   {
      empty_data_folder();
      m_pglobal = make_pointer<Global>();
      m_pglobal->load_default_layers();
      m_pglobal->take_changed();
   }

   project & document() { return *m_pglobal->current_project(); }

   pointer<boxes_layer> add_screen(const char * pszName)
   {
      pointer<boxes_layer> player = document().create_layer(e_layer_boxes).cast<boxes_layer>();
      player->set_name(pszName);
      document().insert_layer_at(player, -1);
      return player;
   }

   std::vector<string_base> names()
   {
      std::vector<string_base> result;
      for (const pointer<app_layer> & player : document().get_layers())
      {
         result.push_back(player->get_name());
      }
      return result;
   }

   file::path data_file(const char * pszName) { return m_pglobal->getFolderToSaveData() / pszName; }

   pointer<Global> m_pglobal;
};

} // namespace

TEST_F(controller, presets_document_is_made_once_on_first_use)
{
   pointer<Global> pglobal = make_pointer<Global>();
   pointer_array<app_layer> & presets = pglobal->get_presets();
   EXPECT_TRUE(presets.is_empty());
   EXPECT_EQ(&pglobal->get_presets(), &presets);
   EXPECT_EQ(pglobal->get_presets_count(), 0);
}

TEST_F(controller, a_refused_current_index_does_not_mark_the_document_changed)
{
   m_pglobal->set_current_layer_index(5);
   EXPECT_FALSE(m_pglobal->take_changed());
   m_pglobal->set_current_layer_index(0);
   EXPECT_TRUE(m_pglobal->take_changed());
   m_pglobal->set_changed();
   m_pglobal->set_changed();
   EXPECT_TRUE(m_pglobal->take_changed());
   EXPECT_FALSE(m_pglobal->take_changed());
}

TEST_F(controller, the_pending_export_dialog_is_taken_once)
{
   m_pglobal->exports().set_pending(make_pointer<file::file_dialog>(file::file_dialog::e_kind_save, file::file_dialog_filter{}, function<void(file::file_dialog *)>{}));
   EXPECT_TRUE(m_pglobal->exports().take_pending());
   EXPECT_FALSE(m_pglobal->exports().take_pending());
}

TEST_F(controller, a_cloned_screen_layer_gets_the_next_free_name_right_above_its_source)
{
   document().get_layers()[0]->set_name("Screen1");
   add_screen("SCREEN2");
   m_pglobal->set_current_layer_index(0);
   pointer<app_layer> pcopy = m_pglobal->clone_current_layer();
   ASSERT_TRUE(pcopy);
   EXPECT_EQ(names(), (std::vector<string_base>{"Screen1", "Screen3", "SCREEN2"}));
   EXPECT_EQ(document().get_current_layer_id(), 1);
   EXPECT_EQ(pcopy->get_document(), &document());
   EXPECT_TRUE(m_pglobal->take_changed());
}

TEST_F(controller, a_cloned_image_layer_keeps_its_name)
{
   pointer<image_layer> pimage = document().create_layer(e_layer_image).cast<image_layer>();
   pimage->set_name("Picture7");
   document().insert_layer_at(pimage, -1);
   m_pglobal->set_current_layer_index(1);
   pointer<app_layer> pcopy = m_pglobal->clone_current_layer();
   ASSERT_TRUE(pcopy);
   EXPECT_EQ(pcopy->get_name(), "Picture7");
   EXPECT_EQ(document().get_layers_count(), 3);
}

TEST_F(controller, cloning_without_a_current_layer_gives_nothing)
{
   m_pglobal->set_current_layer_index(-1);
   EXPECT_FALSE(m_pglobal->clone_current_layer());
   EXPECT_EQ(document().get_layers_count(), 1);
}

TEST_F(controller, moving_by_one_stops_at_the_ends_of_the_stack)
{
   document().get_layers()[0]->set_name("A");
   add_screen("B");
   m_pglobal->move_layer_to_visual_top_by_1(1);
   m_pglobal->move_layer_to_visual_bottom_by_1(0);
   EXPECT_EQ(names(), (std::vector<string_base>{"A", "B"}));
   m_pglobal->move_layer_to_visual_top_by_1(0);
   EXPECT_EQ(names(), (std::vector<string_base>{"B", "A"}));
   EXPECT_EQ(document().get_current_layer_id(), 1);
   m_pglobal->move_layer_to_visual_bottom_by_1(1);
   EXPECT_EQ(names(), (std::vector<string_base>{"A", "B"}));
   EXPECT_EQ(document().get_current_layer_id(), 0);
}

TEST_F(controller, nothing_moves_to_a_place_without_the_side_panels_layer_list)
{
   document().get_layers()[0]->set_name("A");
   add_screen("B");
   m_pglobal->take_changed();
   EXPECT_FALSE(m_pglobal->move_layer_to_visual(0, 1));
   EXPECT_EQ(names(), (std::vector<string_base>{"A", "B"}));
   EXPECT_FALSE(m_pglobal->take_changed());
}

TEST_F(controller, deleting_makes_the_layer_that_moved_in_current_and_the_last_leaves_none)
{
   document().get_layers()[0]->set_name("A");
   add_screen("B");
   m_pglobal->set_current_layer_index(1);
   m_pglobal->delete_current_layer();
   EXPECT_EQ(names(), (std::vector<string_base>{"A"}));
   EXPECT_EQ(document().get_current_layer_id(), 0);
   m_pglobal->delete_current_layer();
   EXPECT_EQ(document().get_layers_count(), 0);
   EXPECT_EQ(document().get_current_layer_id(), -1);
   m_pglobal->delete_current_layer();
   EXPECT_EQ(document().get_current_layer_id(), -1);
}

TEST_F(controller, a_preset_copied_twice_is_numbered_on_top_of_the_stack)
{
   m_pglobal->presets().load_from_string("BRISVANE_LED_PRESETS v2 1 0\n1 12\nName:CIRCLE\n");
   ASSERT_EQ(m_pglobal->get_presets_count(), 1);
   m_pglobal->clone_preset_to_layers(0);
   m_pglobal->clone_preset_to_layers(0);
   EXPECT_EQ(names()[1], "CIRCLE1");
   EXPECT_EQ(names()[2], "CIRCLE2");
   EXPECT_EQ(document().get_current_layer_id(), 2);
   EXPECT_EQ(document().get_layers()[2]->get_document(), &document());
}

TEST_F(controller, copying_a_missing_or_unusable_preset_does_nothing_or_raises)
{
   m_pglobal->clone_preset_to_layers(-1);
   EXPECT_EQ(thrown_status([&] { m_pglobal->clone_preset_to_layers(m_pglobal->get_presets_count()); }), -2147481630);
   m_pglobal->get_presets().add(make_pointer<image_layer>());
   EXPECT_EQ(thrown_status([&] { m_pglobal->clone_preset_to_layers(0); }), -2147481630);
   // An empty slot raises too; the presets holding it are destroyed with the controller.
   m_pglobal->get_presets().add(pointer<app_layer>());
   EXPECT_EQ(thrown_status([&] { m_pglobal->clone_preset_to_layers(1); }), -2147481630);
   EXPECT_EQ(document().get_layers_count(), 1);
}

namespace
{

// A screen layer whose copy comes out as a picture layer.
class screen_copied_as_picture : public boxes_layer
{
public:
   pointer<app_layer> clone() const override { return make_pointer<image_layer>(); }
};

} // namespace

TEST_F(controller, a_current_layer_whose_copy_is_no_screen_layer_raises_instead_of_becoming_a_preset)
{
   document().insert_layer_at(make_pointer<screen_copied_as_picture>(), 0);
   m_pglobal->set_current_layer_index(0);
   EXPECT_EQ(thrown_status([&] { m_pglobal->clone_current_layer_to_preset(); }), -2147483648LL);
   EXPECT_EQ(m_pglobal->get_presets_count(), 0);
}

TEST_F(controller, presets_added_and_deleted_are_autosaved)
{
   m_pglobal->clone_current_layer_to_preset();
   ASSERT_EQ(m_pglobal->get_presets_count(), 1);
   const string_base strSaved = file::read_all(m_pglobal->presets().autosave_file_name()).value_or("");
   EXPECT_TRUE(strSaved.starts_with("BRISVANE_LED_PRESETS v2 1 "));
   // The preset does not hang on the document it came from.
   EXPECT_NE(m_pglobal->get_presets()[0]->get_document(), &document());

   m_pglobal->delete_preset(3);
   EXPECT_EQ(m_pglobal->get_presets_count(), 1);
   m_pglobal->delete_preset(0);
   EXPECT_EQ(m_pglobal->get_presets_count(), 0);
   EXPECT_TRUE(file::read_all(m_pglobal->presets().autosave_file_name()).value_or("").starts_with("BRISVANE_LED_PRESETS v2 0 "));
}

TEST_F(controller, first_start_loads_the_built_in_presets_without_writing_the_autosave)
{
   m_pglobal->load_default_presets();
   EXPECT_EQ(m_pglobal->get_presets_count(), 9);
   for (const pointer<app_layer> & ppreset : m_pglobal->get_presets())
   {
      auto * pboxes = dynamic_cast<boxes_layer *>(ppreset.get());
      ASSERT_NE(pboxes, nullptr);
      EXPECT_EQ(pboxes->DrawBoxes, 1);
      EXPECT_EQ(pboxes->ExcludeBoxes.count(), 0);
   }
   EXPECT_FALSE(file::exists(m_pglobal->presets().autosave_file_name()));
}

TEST_F(controller, loading_another_presets_file_autosaves_it_and_the_autosave_itself_does_not)
{
   const file::path pathOther = data_file("other.tvsx_presets");
   ASSERT_TRUE(file::write_all(pathOther, "BRISVANE_LED_PRESETS v2 1 0\n1 12\nName:CIRCLE\n"));
   m_pglobal->presets().load_from_file(pathOther);
   EXPECT_EQ(m_pglobal->get_presets_count(), 1);
   ASSERT_TRUE(file::exists(m_pglobal->presets().autosave_file_name()));

   std::filesystem::last_write_time(m_pglobal->presets().autosave_file_name(), std::filesystem::file_time_type{});
   m_pglobal->presets().load_from_file(m_pglobal->presets().autosave_file_name());
   EXPECT_EQ(std::filesystem::last_write_time(m_pglobal->presets().autosave_file_name()), std::filesystem::file_time_type{});

   // The next start reads the autosave instead of the built-in set.
   pointer<Global> pglobal = make_pointer<Global>();
   pglobal->load_default_presets();
   EXPECT_EQ(pglobal->get_presets_count(), 1);
}

TEST_F(controller, presets_dialogs_add_their_extension_once_and_cancelling_does_nothing)
{
   m_pglobal->presets().save_chosen(data_file("mine"));
   EXPECT_TRUE(file::exists(data_file("mine.tvsx_presets")));
   m_pglobal->presets().save_chosen(data_file("again.tvsx_presets"));
   EXPECT_TRUE(file::exists(data_file("again.tvsx_presets")));
   EXPECT_FALSE(file::exists(data_file("again.tvsx_presets.tvsx_presets")));
   m_pglobal->presets().save_chosen(file::path());
   m_pglobal->projects().load_from_file(file::path());
   EXPECT_EQ(document().get_layers_count(), 1);
}

TEST_F(controller, a_project_is_saved_under_the_exact_path_and_opens_with_layer_0_current)
{
   add_screen("Second");
   const file::path path = data_file("wall");
   m_pglobal->projects().save_chosen(path);
   ASSERT_TRUE(file::exists(path));
   EXPECT_FALSE(file::exists(data_file("wall.tvsx")));

   pointer<Global> pglobal = make_pointer<Global>();
   pglobal->load_project_from_file(path);
   ASSERT_NE(pglobal->current_project(), nullptr);
   EXPECT_EQ(pglobal->current_project()->get_layers_count(), 2);
   EXPECT_EQ(pglobal->current_project()->get_current_layer_id(), 0);
}

TEST_F(controller, a_project_without_layers_replaces_the_document_with_an_empty_one)
{
   EXPECT_TRUE(m_pglobal->projects().load_from_string("BRISVANE_LED_PROJECT v2 0 0\n"));
   EXPECT_EQ(document().get_layers_count(), 0);
   EXPECT_LT(document().get_current_layer_id(), 0);
}

// Picture memory kept for the rebuilds of the open document is no use to another: opening one,
// or the default document, gives it back.
TEST_F(controller, another_document_gives_back_the_picture_memory_kept_for_the_open_one)
{
   const image::image inUse(2048, 2048);
   const auto let_a_picture_go = [] { const image::image letGo(2048, 2048); };
   let_a_picture_go();
   ASSERT_GT(image::kept_pixel_memory(), 0u);
   EXPECT_TRUE(m_pglobal->projects().load_from_string("BRISVANE_LED_PROJECT v2 0 0\n"));
   EXPECT_EQ(image::kept_pixel_memory(), 0u);
   let_a_picture_go();
   ASSERT_GT(image::kept_pixel_memory(), 0u);
   m_pglobal->load_default_layers();
   EXPECT_EQ(image::kept_pixel_memory(), 0u);
}

TEST_F(controller, a_file_that_is_no_project_or_cannot_be_read_keeps_the_open_document)
{
   project * pproject = &document();
   EXPECT_FALSE(m_pglobal->projects().load_from_string("not a project"));
   ASSERT_TRUE(file::write_all(data_file("picture.tvsx"), "\x89PNG not a project"));
   m_pglobal->load_project_from_file(data_file("picture.tvsx"));
   m_pglobal->load_project_from_file(data_file("missing.tvsx"));
   EXPECT_EQ(m_pglobal->current_project(), pproject);
   EXPECT_EQ(document().get_layers_count(), 1);
}

TEST_F(controller, a_file_that_holds_no_presets_keeps_the_presets_and_their_autosave)
{
   m_pglobal->clone_current_layer_to_preset();
   const string_base strAutosaved = file::read_all(m_pglobal->presets().autosave_file_name()).value_or("");
   ASSERT_TRUE(file::write_all(data_file("wall.tvsx_presets"), "BRISVANE_LED_PROJECT v2 0 0\n"));
   m_pglobal->presets().open_chosen(data_file("wall"));
   m_pglobal->presets().open_chosen(data_file("missing"));
   EXPECT_EQ(m_pglobal->get_presets_count(), 1);
   EXPECT_EQ(file::read_all(m_pglobal->presets().autosave_file_name()).value_or(""), strAutosaved);
}

TEST_F(controller, a_broken_autosave_gives_the_built_in_presets)
{
   ASSERT_TRUE(file::write_all(m_pglobal->presets().autosave_file_name(), "broken"));
   m_pglobal->load_default_presets();
   EXPECT_EQ(m_pglobal->get_presets_count(), 9);
}

TEST_F(controller, a_logo_picture_goes_on_top_at_its_own_size_and_into_logo_data)
{
   image::image picture(30, 20);
   picture.fill(color::color(32, 64, 128));
   const file::path pathPicture = data_file("logo.png");
   ASSERT_TRUE(image::save_image(picture, pathPicture, {}));
   add_screen("Top");
   m_pglobal->on_logo_picture_chosen(pathPicture);

   ASSERT_EQ(document().get_layers_count(), 3);
   pointer<app_layer> plogo = document().get_layers()[2];
   EXPECT_TRUE(plogo->is_logo());
   EXPECT_EQ(plogo->get_width(), 30);
   EXPECT_EQ(plogo->get_height(), 20);
   EXPECT_EQ(document().get_current_layer_id(), 2);

   const string_base strText = plogo->get_layer_info();
   const string_base strExpected = format("BRISVANE_LED_PROJECT v2 1 16\nWidth:0\nHeight:0\n2 %zu\n", strText.size()) + strText;
   EXPECT_EQ(file::read_all(data_file("logo.data")).value_or(""), strExpected);

   // The default document of the next start picks the logo up.
   pointer<Global> pglobal = make_pointer<Global>();
   pglobal->load_default_layers();
   EXPECT_EQ(pglobal->current_project()->get_layers_count(), 2);
   EXPECT_TRUE(pglobal->current_project()->get_layers()[1]->is_logo());
}

TEST_F(controller, a_logo_picture_that_cannot_be_read_changes_nothing)
{
   ASSERT_TRUE(file::write_all(data_file("bad.png"), "not a picture"));
   m_pglobal->on_logo_picture_chosen(data_file("bad.png"));
   EXPECT_EQ(document().get_layers_count(), 1);
   EXPECT_FALSE(file::exists(data_file("logo.data")));
}
