// Two running copies of the program on one data folder: the presets each adds, deletes or changes
// survive the other's autosave, and the shared file is only ever seen whole.

#include <gtest/gtest.h>

#include <atomic>
#include <charconv>
#include <thread>

#include "core/Global.h"
#include "document/app_layer.h"
#include "document/boxes_layer.h"
#include "document/project.h"
#include "orvo/file_lock.h"
#include "orvo/file_system.h"
#include "project_files_fixture.h"
#include "screen/MainScreen.h"

using namespace Tarvossa_BrisvanePro;

namespace
{

// A second copy of the program, started on the same data folder as the fixture's.
struct second_copy
{
   second_copy() : m_pscreen(make_pointer<MainScreen>(nullptr)), m_pglobal(m_pscreen->get_global())
   {
      m_pglobal->load_default_layers();
      m_pglobal->load_default_presets();
   }

   pointer<MainScreen> m_pscreen;
   Global * m_pglobal;
};

class two_copies : public project_files
{
protected:
   void SetUp() override
   {
      project_files::SetUp();
      m_pglobal->load_default_presets();
   }

   // Adds the current layer as a preset of this name, as the user does.
   static void add_preset(Global & copy, const char * pszName)
   {
      copy.current_project()->current_layer()->set_name(pszName);
      copy.clone_current_layer_to_preset();
   }

   // The same, with the current screen layer given that many columns first.
   static void add_preset(Global & copy, const char * pszName, int iColumns)
   {
      copy.current_project()->current_boxes_layer()->Columns = iColumns;
      add_preset(copy, pszName);
   }

   // The columns of each preset of that name, in list order.
   static std::vector<int> columns_of(const pointer_array<app_layer> & presets, const char * pszName)
   {
      std::vector<int> columns;
      for (const pointer<app_layer> & player : presets)
      {
         if (player->get_name() == pszName)
         {
            columns.push_back(dynamic_cast<const boxes_layer &>(*player).Columns);
         }
      }
      return columns;
   }

   static void delete_preset(Global & copy, const char * pszName)
   {
      const std::vector<string_base> names = names_of(copy.get_presets());
      copy.delete_preset(std::ranges::find(names, pszName) - names.begin());
   }

   static std::vector<string_base> names_of(const pointer_array<app_layer> & presets)
   {
      std::vector<string_base> names;
      for (const pointer<app_layer> & player : presets)
      {
         names.push_back(player->get_name());
      }
      return names;
   }

   // The presets a copy started now would read.
   static std::vector<string_base> names_on_the_disk()
   {
      return names_of(second_copy().m_pglobal->get_presets());
   }

   static std::vector<string_base> built_in_names_less(std::initializer_list<const char *> removed = {})
   {
      std::vector<string_base> names = {"P 2.6mm", "P 2.9mm", "P 3.9mm", "P 4.8mm", "P 5.9mm", "P 7.9mm", "P 8.9mm", "P 10 mm", "P 6.25"};
      for (const char * pszRemoved : removed)
      {
         std::erase(names, pszRemoved);
      }
      return names;
   }

   static std::vector<string_base> joined(std::vector<string_base> names, const std::vector<string_base> & more)
   {
      names.insert(names.end(), more.begin(), more.end());
      return names;
   }
};

// Whether the text is a presets container whose header's blocks fill it exactly.
bool is_whole_presets_file(std::string_view text)
{
   constexpr std::string_view magic = "BRISVANE_LED_PRESETS v2 ";
   if (!text.starts_with(magic))
   {
      return false;
   }
   text.remove_prefix(magic.size());
   auto number = [&text](char cEnd) -> std::optional<std::size_t>
   {
      std::size_t u = 0;
      const auto [pEnd, error] = std::from_chars(text.data(), text.data() + text.size(), u);
      if (error != std::errc() || pEnd == text.data() + text.size() || *pEnd != cEnd)
      {
         return std::nullopt;
      }
      text.remove_prefix(static_cast<std::size_t>(pEnd - text.data()) + 1);
      return u;
   };
   const std::optional<std::size_t> oBlocks = number(' ');
   if (!oBlocks || number('\n') != 0u)
   {
      return false;
   }
   for (std::size_t i = 0; i < *oBlocks; ++i)
   {
      const std::optional<std::size_t> oLength = number(' ') ? number('\n') : std::nullopt;
      if (!oLength || *oLength > text.size())
      {
         return false;
      }
      text.remove_prefix(*oLength);
   }
   return text.empty();
}

} // namespace

TEST_F(two_copies, what_one_copy_adds_or_deletes_survives_the_others_autosave)
{
   second_copy b;
   add_preset(*m_pglobal, "Alpha");
   add_preset(*b.m_pglobal, "Beta");
   // Both copies added a preset: the other copy's comes first, and this copy now shows it too.
   const std::vector<string_base> bothAdded = joined({"Alpha", "Beta"}, built_in_names_less());
   EXPECT_EQ(names_of(b.m_pglobal->get_presets()), bothAdded);
   EXPECT_EQ(names_on_the_disk(), bothAdded);

   delete_preset(*m_pglobal, "P 2.6mm");
   delete_preset(*m_pglobal, "Beta");
   add_preset(*b.m_pglobal, "Gamma");
   const std::vector<string_base> afterDeletes = joined({"Gamma", "Alpha"}, built_in_names_less({"P 2.6mm"}));
   EXPECT_EQ(names_of(b.m_pglobal->get_presets()), afterDeletes) << "what the first copy deleted stays deleted";
   EXPECT_EQ(names_on_the_disk(), afterDeletes);

   // The first copy takes the second's addition at its next save.
   delete_preset(*m_pglobal, "P 2.9mm");
   EXPECT_EQ(names_of(m_pglobal->get_presets()), joined({"Gamma", "Alpha"}, built_in_names_less({"P 2.6mm"})).size() - 1 == 9
                                                    ? names_on_the_disk()
                                                    : std::vector<string_base>{});
   EXPECT_EQ(names_on_the_disk()[0], "Gamma");
   EXPECT_TRUE(take_errors_shown().empty());
   EXPECT_TRUE(::take_errors_shown(*b.m_pscreen).empty());
}

TEST_F(two_copies, a_preset_changed_in_both_copies_keeps_the_edit_of_the_copy_that_saves)
{
   add_preset(*m_pglobal, "Shared");
   second_copy b;
   add_preset(*m_pglobal, "Other");
   m_pglobal->get_presets()[1]->set_offset_x(111);
   m_pglobal->presets().auto_save();
   b.m_pglobal->get_presets()[0]->set_offset_x(222);
   b.m_pglobal->presets().auto_save();

   second_copy c;
   ASSERT_EQ(names_of(c.m_pglobal->get_presets()), joined({"Other", "Shared"}, built_in_names_less()));
   EXPECT_EQ(c.m_pglobal->get_presets()[1]->get_offset_x(), 222);
   // Changed by one copy only, the preset takes that change at the other's next save.
   delete_preset(*m_pglobal, "P 6.25");
   EXPECT_EQ(m_pglobal->get_presets()[1]->get_offset_x(), 222);
}

TEST_F(two_copies, presets_both_copies_add_are_kept_whatever_their_names)
{
   second_copy b;
   add_preset(*m_pglobal, "Screen1", 3);
   add_preset(*b.m_pglobal, "Screen1", 11);
   EXPECT_EQ(columns_of(b.m_pglobal->get_presets(), "Screen1"), (std::vector<int>{3, 11}));
   // A preset added under the name of one both copies had is an addition too, and the one they
   // had stays as it was.
   const int iColumnsBefore = columns_of(m_pglobal->get_presets(), "P 3.9mm").at(0);
   add_preset(*m_pglobal, "P 3.9mm", 5);
   add_preset(*b.m_pglobal, "P 3.9mm", 6);
   second_copy c;
   EXPECT_EQ(columns_of(c.m_pglobal->get_presets(), "Screen1"), (std::vector<int>{3, 11}));
   EXPECT_EQ(columns_of(c.m_pglobal->get_presets(), "P 3.9mm"), (std::vector<int>{5, 6, iColumnsBefore}));
   EXPECT_EQ(c.m_pglobal->get_presets_count(), 9 + 4);
   EXPECT_TRUE(take_errors_shown().empty());
}

TEST_F(two_copies, a_preset_one_copy_changed_and_the_other_deleted_keeps_the_change)
{
   second_copy b;
   auto change = [](Global & copy, const char * pszName, int iColumns) {
      for (const pointer<app_layer> & player : copy.get_presets())
      {
         if (player->get_name() == pszName)
         {
            dynamic_cast<boxes_layer &>(*player).Columns = iColumns;
         }
      }
      copy.presets().auto_save();
   };
   // Changed and saved first, deleted by the other copy after; then the other way round.
   change(*m_pglobal, "P 3.9mm", 21);
   delete_preset(*b.m_pglobal, "P 3.9mm");
   delete_preset(*b.m_pglobal, "P 7.9mm");
   change(*m_pglobal, "P 7.9mm", 22);
   second_copy c;
   EXPECT_EQ(names_of(c.m_pglobal->get_presets()), built_in_names_less());
   EXPECT_EQ(columns_of(c.m_pglobal->get_presets(), "P 3.9mm"), std::vector<int>{21});
   EXPECT_EQ(columns_of(c.m_pglobal->get_presets(), "P 7.9mm"), std::vector<int>{22});
   EXPECT_EQ(columns_of(b.m_pglobal->get_presets(), "P 3.9mm"), std::vector<int>{21}) << "shown by the copy that deleted it";
}

TEST_F(two_copies, a_lock_held_by_another_copy_is_told_once_and_the_presets_wait_for_the_next_save)
{
   add_preset(*m_pglobal, "Before");
   const string_base strSaved = file::read_all(m_pglobal->presets().autosave_file_name()).value();
   {
      const file::file_lock held(m_pglobal->getFolderToSaveData() / "autosaved.tvsx_presets.lock", std::chrono::milliseconds(0));
      ASSERT_TRUE(held.is_held());
      add_preset(*m_pglobal, "Waiting");
      add_preset(*m_pglobal, "Waiting too");
      const std::vector<string_base> errors = take_errors_shown();
      ASSERT_EQ(errors.size(), 1u);
      EXPECT_NE(errors[0].find("another program has held the lock file"), string_base::npos) << errors[0];
      EXPECT_EQ(file::read_all(m_pglobal->presets().autosave_file_name()).value(), strSaved);
      EXPECT_EQ(m_pglobal->get_presets_count(), 12);
   }
   delete_preset(*m_pglobal, "Before");
   EXPECT_EQ(names_on_the_disk(), joined({"Waiting too", "Waiting"}, built_in_names_less()));
   EXPECT_TRUE(take_errors_shown().empty());
}

TEST_F(two_copies, a_shared_file_broken_by_another_program_is_moved_aside_and_the_presets_in_use_take_its_place)
{
   add_preset(*m_pglobal, "Mine");
   const string_base strCut = "BRISVANE_LED_PRESETS v2 3 0\n1 500\nName:Cut";
   ASSERT_TRUE(file::write_all(m_pglobal->presets().autosave_file_name(), strCut));
   add_preset(*m_pglobal, "Mine too");
   const std::vector<string_base> errors = take_errors_shown();
   ASSERT_EQ(errors.size(), 1u);
   EXPECT_NE(errors[0].find("were changed by another program, and cannot be read whole. They are kept as \"" +
                            data_file("autosaved-unread.tvsx_presets").as_string() + "\", and the 11 presets in use are saved"),
             string_base::npos)
      << errors[0];
   EXPECT_EQ(file::read_all(data_file("autosaved-unread.tvsx_presets")).value_or(""), strCut);
   EXPECT_EQ(names_on_the_disk(), joined({"Mine too", "Mine"}, built_in_names_less()));
}

TEST_F(two_copies, a_reader_never_sees_a_torn_presets_file)
{
   second_copy b;
   add_preset(*m_pglobal, "First");
   const file::path path = m_pglobal->presets().autosave_file_name();
   std::atomic<bool> bWriting{true};
   std::atomic<int> iReads{0};
   std::atomic<int> iTorn{0};
   std::thread reader([&] {
      while (bWriting)
      {
         const outcome<string_base> read = file::read_all(path);
         iTorn += !read || !is_whole_presets_file(read.value());
         ++iReads;
      }
   });
   for (int i = 0; i < 40; ++i)
   {
      Global & copy = i % 2 ? *m_pglobal : *b.m_pglobal;
      add_preset(copy, format("Preset %d", i).c_str());
   }
   bWriting = false;
   reader.join();
   EXPECT_GT(iReads, 0);
   EXPECT_EQ(iTorn, 0);
   EXPECT_EQ(names_on_the_disk().size(), 9u + 41u);
}
