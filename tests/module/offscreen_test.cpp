#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include <unistd.h>

#include "document/ImageWrap.h"
#include "document/OffscreenDraw.h"
#include "orvo/image.h"
#include "zel2d/context.h"
#include "zel2d/draw2d_context.h"
#include "zel2d/font_sink.h"

using namespace Tarvossa_BrisvanePro;

namespace
{

// A 2 x 3 opaque PNG.
const unsigned char g_png[] = {
   0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x48, 0x44, 0x52, 0x00, 0x00, 0x00, 0x02,
   0x00, 0x00, 0x00, 0x03, 0x08, 0x06, 0x00, 0x00, 0x00, 0xb9, 0xea, 0xde, 0x81, 0x00, 0x00, 0x00, 0x16, 0x49, 0x44, 0x41,
   0x54, 0x78, 0x9c, 0x63, 0xe4, 0x12, 0x91, 0xfb, 0xcf, 0xc0, 0xc0, 0xc0, 0xc0, 0xc4, 0x00, 0x05, 0x70, 0x06, 0x00, 0x1d,
   0x1d, 0x01, 0x41, 0x35, 0xbe, 0x28, 0xfd, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4e, 0x44, 0xae, 0x42, 0x60, 0x82};

std::vector<std::uint32_t> pixels_of(int w, int h, std::uint32_t argb)
{
   return std::vector<std::uint32_t>(static_cast<std::size_t>(w) * h, argb);
}

// The middle pixel of the image that a handle holds, drawn through another context.
std::uint32_t middle_pixel_of_handle(int iHandle, int w, int h)
{
   image::image target(w, h);
   zel2d::context drawing(&target);
   drawing.set_fill_paint(drawing.image_pattern(0, 0, static_cast<float>(w), static_cast<float>(h), 0, iHandle, 1));
   drawing.begin_path();
   drawing.rectangle(0, 0, static_cast<float>(w), static_cast<float>(h));
   drawing.fill();
   return target.pixel(w / 2, h / 2);
}

void fill_all(zel2d::context * pcontext, color::color color)
{
   pcontext->set_fill_color(color);
   pcontext->begin_path();
   pcontext->rectangle(0, 0, 1000, 1000);
   pcontext->fill();
}

} // namespace

TEST(ImageWrap, SharingKeepsTheHandleForThePictureAndNeverWritesIntoIt)
{
   zel2d::context context;
   auto ppicture = make_pointer<image::image>(4, 4);
   std::fill(ppicture->data(), ppicture->data() + 16, 0xFFFF0000u);
   ImageWrap wrap;
   wrap.share(&context, ppicture);
   const int iShared = wrap.handle();
   ASSERT_GE(iShared, 1);
   std::fill(ppicture->data(), ppicture->data() + 16, 0xFF00FF00u);
   wrap.share(&context, ppicture);
   EXPECT_EQ(wrap.handle(), iShared);
   EXPECT_EQ(middle_pixel_of_handle(wrap.handle(), 4, 4), 0xFF00FF00u);

   // Pixels given by value go into an image of the wrap's own.
   auto blue = pixels_of(4, 4, 0xFF0000FFu);
   wrap.setData(&context, 4, 4, blue.data(), -1);
   EXPECT_NE(wrap.handle(), iShared);
   EXPECT_EQ(middle_pixel_of_handle(wrap.handle(), 4, 4), 0xFF0000FFu);
   EXPECT_EQ(ppicture->pixel(1, 1), 0xFF00FF00u);
   EXPECT_EQ(ppicture->reference_count(), 1);

   wrap.share(nullptr, ppicture);
   EXPECT_EQ(middle_pixel_of_handle(wrap.handle(), 4, 4), 0xFF0000FFu);
}

TEST(ImageWrap, SameSizeUpdatesTheHandleAndNewSizeMakesANewOne)
{
   zel2d::context context;
   ImageWrap wrap;
   auto red = pixels_of(4, 4, 0xFFFF0000u);
   wrap.setData(&context, 4, 4, red.data(), -1);
   const int iFirst = wrap.handle();
   ASSERT_GE(iFirst, 1);

   auto green = pixels_of(4, 4, 0xFF00FF00u);
   wrap.setData(&context, 4, 4, green.data(), -1);
   EXPECT_EQ(wrap.handle(), iFirst);
   EXPECT_EQ(middle_pixel_of_handle(wrap.handle(), 4, 4), 0xFF00FF00u);

   auto blue = pixels_of(6, 2, 0xFF0000FFu);
   wrap.setData(&context, 6, 2, blue.data(), -1);
   EXPECT_GE(wrap.handle(), 1);
   EXPECT_NE(wrap.handle(), iFirst);
   EXPECT_EQ(context.image_size(wrap.handle()), (size_type<int>{6, 2}));
   EXPECT_EQ(middle_pixel_of_handle(wrap.handle(), 6, 2), 0xFF0000FFu);
   // The dropped image is deleted from the store, so nothing leaks per size change.
   EXPECT_EQ(context.image_size(iFirst), (size_type<int>{0, 0}));
}

TEST(ImageWrap, WithoutContextNothingChanges)
{
   ImageWrap wrap;
   auto pixels = pixels_of(2, 2, 0xFFFFFFFFu);
   wrap.setData(nullptr, 2, 2, pixels.data(), -1);
   EXPECT_EQ(wrap.handle(), -1);
}

// A drawing library whose image creation fails a given number of times before it works.
class failing_context : public zel2d::context
{
public:
   explicit failing_context(int iFailures) : m_iFailures(iFailures) {}

   int create_image_rgba(int iWidth, int iHeight, int iFlags, const void * pixels, int iLayout) override
   {
      ++m_iAttempts;
      return m_iAttempts <= m_iFailures ? 0 : zel2d::context::create_image_rgba(iWidth, iHeight, iFlags, pixels, iLayout);
   }

   int m_iFailures;
   int m_iAttempts = 0;
};

TEST(ImageWrap, AFailedCreationIsTriedOnceMore)
{
   auto pixels = pixels_of(3, 3, 0xFF00FF00u);
   auto ponce = make_pointer<failing_context>(1);
   ImageWrap wrap;
   wrap.setData(ponce.get(), 3, 3, pixels.data(), -1);
   EXPECT_EQ(ponce->m_iAttempts, 2);
   ASSERT_GE(wrap.handle(), 1);
   EXPECT_EQ(middle_pixel_of_handle(wrap.handle(), 3, 3), 0xFF00FF00u);

   // Two failures end the operation with the failed value in the handle.
   auto palways = make_pointer<failing_context>(2);
   ImageWrap failed;
   failed.setData(palways.get(), 3, 3, pixels.data(), -1);
   EXPECT_EQ(palways->m_iAttempts, 2);
   EXPECT_EQ(failed.handle(), 0);
}

TEST(ImageWrap, SizeChangeForgetsThePath)
{
   zel2d::context context;
   ImageWrap wrap(&context, "matter://res/none.png");
   EXPECT_EQ(wrap.path(), "matter://res/none.png");
   auto pixels = pixels_of(2, 2, 0xFFFFFFFFu);
   wrap.setData(&context, 2, 2, pixels.data(), -1);
   EXPECT_EQ(wrap.path(), "matter://res/none.png");
   wrap.setData(&context, 3, 3, pixels_of(3, 3, 0xFFFFFFFFu).data(), -1);
   EXPECT_EQ(wrap.path(), "");
}

// A picture that lies in another's rows uploads its own rows, not those the holder packs after
// its first one.
TEST(ImageWrap, ImageWholeUploadsAtItsSize)
{
   zel2d::context context;
   auto pholder = make_pointer<image::image>(12, 9);
   const pointer<image::image> pplaced = image::image::placed_in(pholder, 3, 1, 5, 7);
   const pointer<image::image> pown = make_pointer<image::image>(5, 7);
   for (image::image * ppicture : {pplaced.get(), pown.get()})
   {
      ppicture->clear();
      ppicture->pixel(2, 3) = 0xFF112233u;
      ImageWrap wrap;
      wrap.setData(&context, ppicture);
      EXPECT_EQ(context.image_size(wrap.handle()), (size_type<int>{5, 7}));
      image::image drawn(5, 7);
      zel2d::context contextDrawn(&drawn);
      contextDrawn.begin_path();
      contextDrawn.rectangle(0.f, 0.f, 5.f, 7.f);
      contextDrawn.set_fill_paint(contextDrawn.image_pattern(0.f, 0.f, 5.f, 7.f, 0.f, wrap.handle(), 1.f));
      contextDrawn.fill();
      EXPECT_EQ(drawn.pixel(2, 3), 0xFF112233u) << (ppicture == pplaced.get() ? "placed" : "own");
      EXPECT_EQ(drawn.pixel(2, 4), 0u);
   }
}

TEST(ImageWrap, DeferredLoadRetriesUntilItSucceedsAndOnlyThen)
{
   // A folder of this process's own, so that suites running side by side do not share it.
   const auto folder = std::filesystem::temp_directory_path() / ("imagewrap_test_" + std::to_string(::getpid()));
   std::filesystem::create_directories(folder);
   const auto path = folder / "picture.png";
   std::filesystem::remove(path);

   zel2d::context context;
   ImageWrap wrap(&context, path.string().c_str());
   wrap.defer_load_image(nullptr);
   EXPECT_EQ(wrap.handle(), -1);
   wrap.defer_load_image(&context);
   EXPECT_LT(wrap.handle(), 1);

   std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char *>(g_png), sizeof(g_png));
   wrap.defer_load_image(&context);
   const int iLoaded = wrap.handle();
   ASSERT_GE(iLoaded, 1);
   EXPECT_EQ(context.image_size(iLoaded), (size_type<int>{2, 3}));
   wrap.defer_load_image(&context);
   EXPECT_EQ(wrap.handle(), iLoaded);

   ImageWrap empty(&context, static_cast<const char *>(nullptr));
   empty.defer_load_image(&context);
   EXPECT_EQ(empty.handle(), -1);
   std::filesystem::remove_all(folder);
}

TEST(ImageWrap, ReleaseForgetsHandleAndPath)
{
   zel2d::context context;
   ImageWrap wrap(&context, "x.png");
   wrap.setData(&context, 2, 2, pixels_of(2, 2, 0xFFFFFFFFu).data(), -1);
   const int iHandle = wrap.handle();
   wrap.releaseImage();
   EXPECT_EQ(wrap.handle(), -1);
   EXPECT_EQ(wrap.path(), "");
   EXPECT_EQ(context.image_size(iHandle), (size_type<int>{0, 0}));
}

TEST(OffscreenDraw, NestedScopesRestoreTheContextStepByStep)
{
   image::image screen(8, 8);
   image::image outer(8, 8);
   image::image inner(8, 8);
   zel2d::context screenContext(&screen);
   zel2d::context * pcontext = &screenContext;
   {
      OffscreenDraw drawOuter(pcontext, &outer);
      zel2d::context * pcontextOuter = pcontext;
      EXPECT_NE(pcontextOuter, &screenContext);
      EXPECT_NE(dynamic_cast<zel2d::draw2d_context *>(pcontextOuter), nullptr);
      {
         OffscreenDraw drawInner(pcontext, &inner);
         EXPECT_NE(pcontext, pcontextOuter);
         fill_all(pcontext, color::color(255, 0, 0));
      }
      EXPECT_EQ(pcontext, pcontextOuter);
      fill_all(pcontext, color::color(0, 255, 0));
   }
   EXPECT_EQ(pcontext, &screenContext);
   fill_all(pcontext, color::color(0, 0, 255));

   EXPECT_EQ(inner.pixel(4, 4), 0xFFFF0000u);
   EXPECT_EQ(outer.pixel(4, 4), 0xFF00FF00u);
   EXPECT_EQ(screen.pixel(4, 4), 0xFF0000FFu);
}

TEST(OffscreenDraw, SharesTheFontsAndTheTextListenerOfThePreviousContext)
{
   image::image screen(4, 4);
   image::image target(4, 4);
   zel2d::context screenContext(&screen);
   auto psink = make_pointer<zel2d::font_sink>();
   screenContext.set_font_sink(psink);
   int iHeard = 0;
   screenContext.set_text_listener([&](const zel2d::drawn_text &) { ++iHeard; });
   zel2d::context * pcontext = &screenContext;
   OffscreenDraw draw(pcontext, &target);
   EXPECT_EQ(pcontext->get_font_sink(), psink);
   pcontext->text(0, 0, "x");
   EXPECT_EQ(iHeard, 1);
}
