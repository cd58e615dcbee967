#include <gtest/gtest.h>

#include <cairo.h>
#include <filesystem>
#include <fstream>
#include <malloc.h>
#include <numbers>
#include <vector>

#include "orvo/image.h"
#include "orvo/image_service.h"
#include "pixel_probe.h"
#include "zel2d/context.h"
#include "zel2d/resource_path.h"

using pixel_probe::alpha_of;
using pixel_probe::argb;

namespace
{

constexpr std::uint32_t red = argb(255, 255, 0, 0);
constexpr std::uint32_t green = argb(255, 0, 255, 0);
constexpr std::uint32_t blue = argb(255, 0, 0, 255);
constexpr std::uint32_t white = argb(255, 255, 255, 255);

// A 20 x 20 picture in four solid quadrants: red top left, green top right, blue bottom left,
// white bottom right.
const image::image & quadrants()
{
   static image::image picture(20, 20);
   for (int y = 0; y < 20; ++y)
   {
      for (int x = 0; x < 20; ++x)
      {
         picture.pixel(x, y) = y < 10 ? (x < 10 ? red : green) : (x < 10 ? blue : white);
      }
   }
   return picture;
}

int upload(zel2d::context & context, const image::image & picture)
{
   return context.create_image_rgba(picture.width(), picture.height(), 0, picture.data(), zel2d::layout_native);
}

void fill_with(zel2d::context & context, const zel2d::paint & paint, float x, float y, float w, float h)
{
   context.begin_path();
   context.rectangle(x, y, w, h);
   context.set_fill_paint(paint);
   context.fill();
}

TEST(image_pattern, places_the_image_on_its_rectangle)
{
   image::image target(40, 40);
   zel2d::context context(&target);
   const int iImage = upload(context, quadrants());
   fill_with(context, context.image_pattern(10, 10, 20, 20, 0, iImage, 1), 0, 0, 40, 40);
   EXPECT_EQ(target.pixel(10, 10), red);
   EXPECT_EQ(target.pixel(29, 10), green);
   EXPECT_EQ(target.pixel(10, 29), blue);
   EXPECT_EQ(target.pixel(29, 29), white);
   EXPECT_EQ(target.pixel(5, 5), red); // beyond the extent the edge pixels continue
   context.delete_image(iImage);
}

TEST(image_pattern, stretches_the_image_onto_its_extent)
{
   image::image target(80, 40);
   zel2d::context context(&target);
   const int iImage = upload(context, quadrants());
   fill_with(context, context.image_pattern(0, 0, 80, 40, 0, iImage, 1), 0, 0, 80, 40);
   EXPECT_EQ(target.pixel(2, 2), red);
   EXPECT_EQ(target.pixel(77, 2), green);
   EXPECT_EQ(target.pixel(2, 37), blue);
   EXPECT_EQ(target.pixel(77, 37), white);
   context.delete_image(iImage);
}

TEST(image_pattern, turns_about_its_origin)
{
   image::image target(40, 40);
   zel2d::context context(&target);
   const int iImage = upload(context, quadrants());
   // A quarter turn clockwise about (20, 10): the picture now lies in (0..20, 10..30), its top
   // left quadrant at the top right.
   fill_with(context, context.image_pattern(20, 10, 20, 20, std::numbers::pi_v<float> / 2, iImage, 1), 0, 0, 40, 40);
   EXPECT_EQ(target.pixel(15, 15), red);
   EXPECT_EQ(target.pixel(15, 25), green);
   EXPECT_EQ(target.pixel(5, 15), blue);
   EXPECT_EQ(target.pixel(5, 25), white);
   context.delete_image(iImage);
}

TEST(image_pattern, keeps_the_transform_of_its_making)
{
   image::image target(40, 40);
   zel2d::context context(&target);
   const int iImage = upload(context, quadrants());
   context.save();
   context.translate(20, 20);
   const zel2d::paint paint = context.image_pattern(0, 0, 20, 20, 0, iImage, 1);
   context.restore();
   fill_with(context, paint, 20, 20, 20, 20);
   EXPECT_EQ(target.pixel(21, 21), red);
   EXPECT_EQ(target.pixel(38, 38), white);
   EXPECT_EQ(target.pixel(19, 19), 0u);
   context.delete_image(iImage);
}

TEST(image_pattern, alpha_scales_the_opacity)
{
   image::image target(20, 20);
   zel2d::context context(&target);
   const int iImage = upload(context, quadrants());
   fill_with(context, context.image_pattern(0, 0, 20, 20, 0, iImage, 0.5f), 0, 0, 20, 20);
   EXPECT_NEAR(alpha_of(target.pixel(5, 5)), 128, 1);
   EXPECT_NEAR((target.pixel(5, 5) >> 16) & 0xFF, 128, 1);
   EXPECT_EQ(target.pixel(5, 5) & 0xFFFF, 0u);
   // The path is kept after a translucent fill, as after any other.
   context.set_fill_color({0, 0, 255});
   context.fill();
   EXPECT_EQ(target.pixel(5, 5), blue);
   context.delete_image(iImage);
}

TEST(image_pattern, shrunk_images_are_smoothed_and_follow_updates)
{
   // Stripes of one red and one blue column, drawn at a quarter of their size, blend to purple.
   image::image stripes(40, 40);
   for (int y = 0; y < 40; ++y)
   {
      for (int x = 0; x < 40; ++x)
      {
         stripes.pixel(x, y) = x % 2 == 0 ? red : blue;
      }
   }
   image::image target(10, 10);
   zel2d::context context(&target);
   const int iImage = upload(context, stripes);
   fill_with(context, context.image_pattern(0, 0, 10, 10, 0, iImage, 1), 0, 0, 10, 10);
   const std::uint32_t purple = target.pixel(5, 5);
   EXPECT_NEAR((purple >> 16) & 0xFF, 128, 2);
   EXPECT_NEAR(purple & 0xFF, 128, 2);

   // New pixels at the same zoom must show, not a copy shrunk from the old ones.
   image::image allGreen(40, 40);
   std::fill(allGreen.data(), allGreen.data() + 1600, green);
   ASSERT_TRUE(context.update_image(iImage, allGreen.data(), zel2d::layout_native));
   fill_with(context, context.image_pattern(0, 0, 10, 10, 0, iImage, 1), 0, 0, 10, 10);
   EXPECT_EQ(target.pixel(5, 5), green);
   context.delete_image(iImage);
}

TEST(image_pattern, without_image_draws_nothing)
{
   image::image target(10, 10);
   zel2d::context context(&target);
   fill_with(context, context.image_pattern(0, 0, 10, 10, 0, 0, 1), 0, 0, 10, 10);
   fill_with(context, context.image_pattern(0, 0, 10, 10, 0, -1, 1), 0, 0, 10, 10);
   fill_with(context, context.image_pattern(0, 0, 0, 10, 0, 123456789, 1), 0, 0, 10, 10);
   EXPECT_TRUE(pixel_probe::find_ink(target).is_empty());
}

TEST(image_handles, are_shared_by_every_context_and_freed_by_delete)
{
   zel2d::context maker;
   const int iImage = upload(maker, quadrants());
   ASSERT_GE(iImage, 1);

   image::image target(20, 20);
   zel2d::context other(&target);
   EXPECT_EQ(other.image_size(iImage), (size_type<int>{20, 20}));
   fill_with(other, other.image_pattern(0, 0, 20, 20, 0, iImage, 1), 0, 0, 20, 20);
   EXPECT_EQ(target.pixel(0, 0), red);

   other.delete_image(iImage);
   EXPECT_EQ(maker.image_size(iImage), (size_type<int>{0, 0}));
   EXPECT_FALSE(maker.update_image(iImage, quadrants().data(), zel2d::layout_native));
   maker.delete_image(iImage); // twice: ignored
   maker.delete_image(0);
   maker.delete_image(-1);

   const int iNext = upload(maker, quadrants());
   EXPECT_GT(iNext, iImage); // never reused
   maker.delete_image(iNext);
}

TEST(image_handles, shared_images_show_the_pictures_own_pixels_while_they_are_held)
{
   image::image target(10, 10);
   zel2d::context context(&target);
   auto ppicture = make_pointer<image::image>(40, 40);
   std::fill(ppicture->data(), ppicture->data() + 1600, red);
   const int iImage = context.create_image_shared(ppicture);
   ASSERT_GE(iImage, 1);
   EXPECT_TRUE(context.is_image_shared_with(iImage, ppicture.get()));
   EXPECT_EQ(ppicture->reference_count(), 2);

   // Drawn smaller, the shrunk copy is made again only after the pixels are said to change.
   fill_with(context, context.image_pattern(0, 0, 10, 10, 0, iImage, 1), 0, 0, 10, 10);
   EXPECT_EQ(target.pixel(5, 5), red);
   std::fill(ppicture->data(), ppicture->data() + 1600, green);
   context.image_changed(iImage);
   fill_with(context, context.image_pattern(0, 0, 10, 10, 0, iImage, 1), 0, 0, 10, 10);
   EXPECT_EQ(target.pixel(5, 5), green);

   // Only the part said to have changed is shrunk again.
   std::fill(ppicture->data(), ppicture->data() + 1600, blue);
   context.image_changed(iImage, {0, 0, 20, 40});
   fill_with(context, context.image_pattern(0, 0, 10, 10, 0, iImage, 1), 0, 0, 10, 10);
   EXPECT_EQ(target.pixel(2, 5), blue);
   EXPECT_EQ(target.pixel(7, 5), green);

   // Made again at another size, the picture is followed; emptied, nothing is drawn.
   ppicture->create(10, 10);
   std::fill(ppicture->data(), ppicture->data() + 100, blue);
   EXPECT_EQ(context.image_size(iImage), (size_type<int>{10, 10}));
   fill_with(context, context.image_pattern(0, 0, 10, 10, 0, iImage, 1), 0, 0, 10, 10);
   EXPECT_EQ(target.pixel(5, 5), blue);
   ppicture->create(0, 0);
   EXPECT_EQ(context.image_size(iImage), (size_type<int>{0, 0}));

   context.delete_image(iImage);
   EXPECT_EQ(ppicture->reference_count(), 1);
   EXPECT_EQ(context.create_image_shared(ppicture), 0); // no pixels
   EXPECT_EQ(context.create_image_shared(nullptr), 0);
}

TEST(image_handles, creation_refuses_bad_arguments_with_no_handle)
{
   zel2d::context context;
   const image::image & picture = quadrants();
   EXPECT_EQ(context.create_image_rgba(0, 20, 0, picture.data(), -1), 0);
   EXPECT_EQ(context.create_image_rgba(20, -1, 0, picture.data(), -1), 0);
   EXPECT_EQ(context.create_image_rgba(20, 20, 0, nullptr, -1), 0);
   EXPECT_EQ(context.create_image_rgba(20, 20, 0, picture.data(), 0), 0);
   EXPECT_EQ(context.create_image_rgba(20, 20, 0, picture.data(), -3), 0);
   EXPECT_EQ(context.create_image_rgba(20, 20, 0, picture.data(), 79), 0); // rows shorter than 20 pixels
   EXPECT_EQ(context.create_image_rgba(70000, 1, 0, picture.data(), -1), 0); // beyond the image limits
}

TEST(image_handles, update_replaces_the_pixels_in_place)
{
   image::image target(20, 20);
   zel2d::context context(&target);
   const int iImage = upload(context, quadrants());
   image::image allBlue(20, 20);
   std::fill(allBlue.data(), allBlue.data() + 400, blue);
   EXPECT_TRUE(context.update_image(iImage, allBlue.data(), zel2d::layout_native));
   EXPECT_FALSE(context.update_image(iImage, nullptr, zel2d::layout_native));
   fill_with(context, context.image_pattern(0, 0, 20, 20, 0, iImage, 1), 0, 0, 20, 20);
   EXPECT_EQ(target.pixel(0, 0), blue);
   EXPECT_EQ(target.pixel(19, 19), blue);
   context.delete_image(iImage);
}

TEST(image_layouts, straight_rgba_bytes_are_premultiplied_and_strided_rows_read)
{
   image::image target(2, 2);
   zel2d::context context(&target);
   const std::uint8_t rgba[] = {255, 0, 0, 128, 0, 255, 0, 255, 0, 0, 255, 0, 10, 20, 30, 255};
   const int iStraight = context.create_image_rgba(2, 2, 0, rgba, zel2d::layout_rgba_bytes);
   ASSERT_GE(iStraight, 1);
   context.begin_path();
   context.rectangle(0, 0, 2, 2);
   context.set_fill_paint(context.image_pattern(0, 0, 2, 2, 0, iStraight, 1));
   context.fill();
   EXPECT_EQ(target.pixel(0, 0), argb(128, 128, 0, 0));
   EXPECT_EQ(target.pixel(1, 0), green);
   EXPECT_EQ(target.pixel(0, 1), 0u);
   EXPECT_EQ(target.pixel(1, 1), argb(255, 10, 20, 30));

   // Rows of 3 pixels' worth of bytes, of which the image uses 2.
   const std::uint32_t strided[] = {red, green, 0xDEADBEEF, blue, white, 0xDEADBEEF};
   const int iStrided = context.create_image_rgba(2, 2, 0, strided, 12);
   ASSERT_GE(iStrided, 1);
   target.clear();
   context.set_fill_paint(context.image_pattern(0, 0, 2, 2, 0, iStrided, 1));
   context.fill();
   EXPECT_EQ(target.pixel(1, 0), green);
   EXPECT_EQ(target.pixel(0, 1), blue);
   EXPECT_EQ(target.pixel(1, 1), white);
   context.delete_image(iStraight);
   context.delete_image(iStrided);
}

TEST(image_handles, ten_thousand_created_and_deleted_leave_memory_flat)
{
   zel2d::context context;
   const image::image & picture = quadrants();
   const auto inUse = [] { return mallinfo2().uordblks; };
   // One round first, so that lazily made library state is not counted as growth.
   context.delete_image(upload(context, picture));
   const std::size_t before = inUse();
   for (int i = 0; i < 10000; ++i)
   {
      const int iImage = upload(context, picture);
      ASSERT_GE(iImage, 1);
      context.delete_image(iImage);
   }
   const std::size_t after = inUse();
   // Under the address sanitizer the allocator is not glibc's; its leak check covers this there.
#if !defined(__SANITIZE_ADDRESS__)
   EXPECT_LT(after, before + 64 * 1024) << "each image keeps 1600 bytes; 10,000 of them would be 16 MB";
#else
   (void)after;
   (void)before;
#endif
}

class image_files : public ::testing::Test
{
protected:
   // Writes a 3 x 2 PNG whose top-left pixel is opaque red and the others half-transparent blue.
   static void write_png(const std::filesystem::path & file)
   {
      cairo_surface_t * psurface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 3, 2);
      auto * pixels = reinterpret_cast<std::uint32_t *>(cairo_image_surface_get_data(psurface));
      const int iStride = cairo_image_surface_get_stride(psurface) / 4;
      for (int y = 0; y < 2; ++y)
      {
         for (int x = 0; x < 3; ++x)
         {
            pixels[y * iStride + x] = (x == 0 && y == 0) ? red : argb(128, 0, 0, 128);
         }
      }
      cairo_surface_mark_dirty(psurface);
      ASSERT_EQ(cairo_surface_write_to_png(psurface, file.c_str()), CAIRO_STATUS_SUCCESS);
      cairo_surface_destroy(psurface);
   }

   static std::filesystem::path temporary(const char * name)
   {
      return std::filesystem::temp_directory_path() / (std::string("zel2d_") + name + "_" + std::to_string(getpid()));
   }
};

TEST_F(image_files, loads_a_png_by_path)
{
   const std::filesystem::path file = temporary("plain.png");
   write_png(file);
   zel2d::context context;
   const int iImage = context.create_image(file.string(), 0);
   ASSERT_GE(iImage, 1);
   EXPECT_EQ(context.image_size(iImage), (size_type<int>{3, 2}));

   image::image target(3, 2);
   zel2d::context drawing(&target);
   fill_with(drawing, drawing.image_pattern(0, 0, 3, 2, 0, iImage, 1), 0, 0, 3, 2);
   EXPECT_EQ(target.pixel(0, 0), red);
   EXPECT_EQ(alpha_of(target.pixel(2, 1)), 128);
   context.delete_image(iImage);
   std::filesystem::remove(file);
}

TEST_F(image_files, loads_every_format_of_the_image_service)
{
   const std::filesystem::path file = temporary("picture.bmp");
   ASSERT_TRUE(image::save_image(quadrants(), file, {image::e_save_format_bmp, -1}));
   zel2d::context context;
   const int iImage = context.create_image(file.string(), 0);
   ASSERT_GE(iImage, 1);
   image::image target(20, 20);
   zel2d::context drawing(&target);
   fill_with(drawing, drawing.image_pattern(0, 0, 20, 20, 0, iImage, 1), 0, 0, 20, 20);
   EXPECT_EQ(target.pixel(2, 2), red);
   EXPECT_EQ(target.pixel(17, 17), white);
   context.delete_image(iImage);
   std::filesystem::remove(file);
}

TEST_F(image_files, resource_paths_resolve_beside_the_library)
{
   const std::filesystem::path folder = std::filesystem::path(BRISVANE_BIN_DIR) / "resources";
   std::filesystem::create_directories(folder);
   const std::string name = "zel2d_test_" + std::to_string(getpid()) + ".png";
   write_png(folder / name);
   zel2d::context context;
   const int iImage = context.create_image("matter://res/" + name, 0);
   EXPECT_GE(iImage, 1);
   EXPECT_EQ(context.image_size(iImage), (size_type<int>{3, 2}));
   context.delete_image(iImage);
   std::filesystem::remove(folder / name);

   EXPECT_EQ(context.create_image("matter://res/" + name, 0), 0); // gone now
   EXPECT_EQ(context.create_image("matter://res/../resources/" + name, 0), 0);
   EXPECT_EQ(context.create_image("matter://res/", 0), 0);
}

TEST_F(image_files, resources_lie_beside_the_libraries_or_under_the_install_prefixs_share_folder)
{
   const std::filesystem::path prefix = temporary("prefix");
   const std::filesystem::path libraries = prefix / "lib" / "brisvane";
   std::filesystem::create_directories(libraries);
   std::filesystem::create_directories(prefix / "share" / "brisvane" / "resources");
   EXPECT_EQ(zel2d::resources_folder(libraries), prefix / "share" / "brisvane" / "resources");
   std::filesystem::create_directories(libraries / "resources");
   EXPECT_EQ(zel2d::resources_folder(libraries), libraries / "resources");
   std::filesystem::remove_all(prefix);
}

TEST_F(image_files, unreadable_files_give_no_handle)
{
   zel2d::context context;
   EXPECT_EQ(context.create_image("", 0), 0);
   EXPECT_EQ(context.create_image(temporary("missing.png").string(), 0), 0);
   const std::filesystem::path garbage = temporary("garbage.png");
   std::ofstream(garbage) << "\x89PNG\r\n\x1a\n but then nothing of the sort";
   EXPECT_EQ(context.create_image(garbage.string(), 0), 0);
   std::filesystem::remove(garbage);
}

} // namespace
