#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "address_space_limit.h"
#include "document/image_layer.h"
#include "document/picture_budget.h"
#include "document/project.h"

using namespace Tarvossa_BrisvanePro;

namespace
{

constexpr std::int64_t gib = std::int64_t(1) << 30;

class control_group_tree : public testing::Test
{
protected:
   void SetUp() override { std::filesystem::create_directories(m_root); }
   void TearDown() override { std::filesystem::remove_all(m_root); }

   void write(const std::filesystem::path & relative, const char * pszText) const
   {
      std::filesystem::create_directories((m_root / relative).parent_path());
      std::ofstream(m_root / relative) << pszText;
   }

   const std::filesystem::path m_root = std::filesystem::temp_directory_path() / ("cgroup_" + std::to_string(::getpid()));
};

} // namespace

TEST(picture_budget, takes_half_of_the_smallest_limit_the_process_has)
{
   EXPECT_EQ(picture_budget::limit_for(16 * gib, 0, 0), 8 * gib);
   EXPECT_EQ(picture_budget::limit_for(16 * gib, 2 * gib, 0), gib);
   EXPECT_EQ(picture_budget::limit_for(16 * gib, 4 * gib, 3 * gib), 3 * gib / 2);
   EXPECT_EQ(picture_budget::limit_for(0, 0, 0), 2 * gib);
}

TEST_F(control_group_tree, the_smallest_memory_limit_of_the_group_and_the_groups_above_it_is_taken)
{
   write("user.slice/memory.max", "6442450944\n");
   write("user.slice/app.scope/memory.max", "max\n");
   EXPECT_EQ(picture_budget::control_group_limit(m_root, "0::/user.slice/app.scope\n"), 6 * gib);
   write("user.slice/app.scope/memory.max", "1073741824\n");
   EXPECT_EQ(picture_budget::control_group_limit(m_root, "0::/user.slice/app.scope\n"), gib);
   // Version 1: the memory controller's own tree; "unlimited" is a number near 2^63.
   write("memory/docker/abc/memory.limit_in_bytes", "2147483648\n");
   write("memory/docker/memory.limit_in_bytes", "9223372036854771712\n");
   EXPECT_EQ(picture_budget::control_group_limit(m_root, "12:cpu,cpuacct:/docker/abc\n4:memory:/docker/abc\n"), 2 * gib);
   EXPECT_EQ(picture_budget::control_group_limit(m_root, "0::/nowhere\n"), 0);
   EXPECT_EQ(picture_budget::control_group_limit(m_root, "garbage"), 0);
}

// Under an address-space limit of 3 GiB (`ulimit -v`) the pictures may take 1.5 GiB at most.
TEST(picture_budget, an_address_space_limit_bounds_the_budget)
{
#if defined(__SANITIZE_ADDRESS__)
   // The address sanitizer's shadow memory alone passes any such limit: its allocations then fail.
   GTEST_SKIP() << "an address-space limit leaves the address sanitizer no room";
#endif
   EXPECT_TRUE(passes_under_address_space_limit(3 * gib, [] { return picture_budget::limit_for_this_process() <= 3 * gib / 2; }));
}

// The layers' own and offscreen pictures count in their document's one tally, and leave it
// when they are let go or the layer moves to another document.
TEST(picture_budget, a_documents_pictures_are_counted_once_in_its_budget)
{
   auto pdocument = make_pointer<project>(nullptr);
   auto pother = make_pointer<project>(nullptr);
   const std::int64_t iBefore = pdocument->budget().in_use();
   pointer<image_layer> player = pdocument->new_image_layer();
   player->set_image(make_pointer<image::image>(10, 10));
   player->request_offscreen(20, 5);
   EXPECT_EQ(pdocument->budget().in_use(), iBefore + 400 + 400);
   player->set_document(pother.get());
   EXPECT_EQ(pdocument->budget().in_use(), iBefore);
   EXPECT_EQ(pother->budget().in_use(), 800);
   player->resetOffscreen();
   EXPECT_EQ(pother->budget().in_use(), 400);
   pdocument->get_layers().clear();
   player = nullptr;
   EXPECT_EQ(pother->budget().in_use(), 0);
   EXPECT_TRUE(pother->budget().fits(pother->budget().limit()));
   EXPECT_FALSE(pother->budget().fits(pother->budget().limit() + 1));
}
