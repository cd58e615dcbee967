#include <gtest/gtest.h>

#include <numbers>
#include <random>

#include "core/frame_composer.h"
#include "document/ImageWrap.h"
#include "document/image_layer.h"
#include "orvo/image.h"
#include "zel2d/context.h"

using namespace Tarvossa_BrisvanePro;

namespace
{

// Layers of random half-transparent pictures, overlapping each other and the frame's edges.
class random_stack
{
public:
   random_stack(std::uint32_t uSeed, int iLayers, bool bTurned) : m_random(uSeed)
   {
      for (int i = 0; i < iLayers; ++i)
      {
         const int w = pick(1, 60);
         const int h = pick(1, 40);
         auto ppicture = make_pointer<image::image>(w, h);
         repaint(*ppicture);
         m_pictures.push_back(ppicture);
         m_wraps.push_back(std::make_unique<ImageWrap>());
         m_wraps.back()->share(&m_context, ppicture);
         m_owners.push_back(make_pointer<image_layer>());
         composed_layer layer;
         layer.m_player = m_owners.back().get();
         layer.m_pimage = ppicture.get();
         layer.m_iImage = m_wraps.back()->handle();
         layer.m_iX = pick(-20, 90);
         layer.m_iY = pick(-15, 60);
         layer.m_iWidth = w;
         layer.m_iHeight = h;
         if (bTurned && pick(0, 3) == 0)
         {
            layer.m_fRotation = std::numbers::pi_v<float> / static_cast<float>(pick(3, 9));
         }
         else if (bTurned && pick(0, 3) == 0)
         {
            layer.m_iWidth = w * 2;
         }
         m_layers.push_back(layer);
      }
   }

   int pick(int iMin, int iMax) { return std::uniform_int_distribution<int>(iMin, iMax)(m_random); }

   // Premultiplied pixels: some opaque, some clear, the rest half-transparent.
   void repaint(image::image & picture)
   {
      for (int y = 0; y < picture.height(); ++y)
      {
         for (int x = 0; x < picture.width(); ++x)
         {
            const int iKind = pick(0, 3);
            const std::uint32_t uAlpha = iKind == 0 ? 255 : iKind == 1 ? 0 : static_cast<std::uint32_t>(pick(1, 254));
            const auto channel = [&] { return static_cast<std::uint32_t>(pick(0, static_cast<int>(uAlpha))); };
            picture.pixel(x, y) = uAlpha << 24 | channel() << 16 | channel() << 8 | channel();
         }
      }
   }

   // The frame as the drawing library composes it whole: cleared, then every layer's picture
   // stretched onto its rectangle and turned about its corner.
   pointer<image::image> drawn_whole()
   {
      auto pframe = make_pointer<image::image>(100, 70);
      zel2d::context context(pframe.get());
      for (const composed_layer & layer : m_layers)
      {
         const auto x = static_cast<float>(layer.m_iX);
         const auto y = static_cast<float>(layer.m_iY);
         zel2d::saved_state state(&context);
         context.translate(x, y);
         context.rotate(layer.m_fRotation);
         context.translate(-x, -y);
         context.set_fill_paint(context.image_pattern(x, y, static_cast<float>(layer.m_iWidth), static_cast<float>(layer.m_iHeight), 0, layer.m_iImage, 1));
         context.begin_path();
         context.rectangle(x, y, static_cast<float>(layer.m_iWidth), static_cast<float>(layer.m_iHeight));
         context.fill();
      }
      return pframe;
   }

   std::mt19937 m_random;
   zel2d::context m_context;
   std::vector<pointer<image_layer>> m_owners;
   std::vector<pointer<image::image>> m_pictures;
   std::vector<std::unique_ptr<ImageWrap>> m_wraps;
   std::vector<composed_layer> m_layers;
};

bool same_pixels(const image::image & a, const image::image & b)
{
   return a.width() == b.width() && a.height() == b.height() &&
          std::equal(a.data(), a.data() + static_cast<std::size_t>(a.width()) * a.height(), b.data());
}

} // namespace

TEST(frame_composer, composes_every_pixel_as_the_drawing_library_does)
{
   for (std::uint32_t uSeed = 0; uSeed < 60; ++uSeed)
   {
      random_stack stack(uSeed, 1 + static_cast<int>(uSeed % 7), uSeed % 2 == 1);
      image::image frame(100, 70);
      frame.fill(color::color(9, 9, 9, 9)); // whatever the frame held before goes
      frame_composer composer;
      const frame_area area = composer.changed_area(frame, stack.m_layers, std::nullopt);
      EXPECT_EQ(area, (frame_area{0, 0, 100, 70}));
      composer.compose(frame, &stack.m_context, stack.m_layers, area, {}, {});
      EXPECT_TRUE(same_pixels(frame, *stack.drawn_whole())) << "seed " << uSeed;
   }
}

TEST(frame_composer, composes_again_only_what_changed_and_equals_a_whole_composition)
{
   for (std::uint32_t uSeed = 0; uSeed < 60; ++uSeed)
   {
      random_stack stack(uSeed, 2 + static_cast<int>(uSeed % 6), uSeed % 3 == 2);
      image::image frame(100, 70);
      frame_composer composer;
      composer.compose(frame, &stack.m_context, stack.m_layers, composer.changed_area(frame, stack.m_layers, std::nullopt), {}, {});
      composer.remember(frame, stack.m_layers, std::nullopt);
      EXPECT_TRUE(composer.changed_area(frame, stack.m_layers, std::nullopt).is_empty());

      // One layer drawn again and another moved.
      const std::size_t iRedrawn = uSeed % stack.m_layers.size();
      stack.repaint(*stack.m_pictures[iRedrawn]);
      stack.m_layers[iRedrawn].m_iDrawing++;
      stack.m_layers.back().m_iX += 7;
      const frame_area area = composer.changed_area(frame, stack.m_layers, std::nullopt);
      composer.compose(frame, &stack.m_context, stack.m_layers, area, {}, {});
      EXPECT_TRUE(same_pixels(frame, *stack.drawn_whole())) << "seed " << uSeed;
   }
}

TEST(frame_composer, a_new_order_or_overlay_or_frame_composes_the_whole_frame)
{
   random_stack stack(7, 3, false);
   image::image frame(100, 70);
   frame_composer composer;
   raster_label_box labelA;
   labelA.m_lines.add("label A");
   raster_label_box labelB = labelA;
   labelB.m_iX = 1;
   composer.remember(frame, stack.m_layers, labelA);
   const frame_area whole{0, 0, 100, 70};
   EXPECT_EQ(composer.changed_area(frame, stack.m_layers, labelB), whole);
   std::swap(stack.m_layers[0], stack.m_layers[1]);
   EXPECT_EQ(composer.changed_area(frame, stack.m_layers, labelA), whole);
   std::swap(stack.m_layers[0], stack.m_layers[1]);
   image::image other(100, 70);
   EXPECT_EQ(composer.changed_area(other, stack.m_layers, labelA), whole);
   composer.forget();
   EXPECT_EQ(composer.changed_area(frame, stack.m_layers, labelA), whole);
}
