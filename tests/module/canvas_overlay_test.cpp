#include "canvas_fixture.h"
#include "document/connector.h"

namespace
{

constexpr std::uint32_t frame_colour = 0xFF7FFFCC;

// A canvas drawing into a picture of 1600 x 900, over a document of one red image layer of
// 100 x 100 at raster (0, 0) on a 400 x 300 raster.
class canvas_overlay : public canvas_fixture
{
protected:
   canvas_overlay()
   {
      use_small_empty_raster();
      add_image_layer(0, 0, 100, 100, color::color(255, 0, 0, 255));
      document().set_current_layer_index(0);
   }

   void draw()
   {
      m_picture.clear();
      zel2d::context context(&m_picture);
      m_pcanvas->draw_second(&context);
   }

   std::uint32_t pixel(int x, int y) const { return m_picture.pixel(x, y); }

   image::image m_picture{1600, 900};
};

TEST_F(canvas_overlay, MainCanvasDrawsTheRasterPannedWithAnOutline)
{
   draw();
   EXPECT_EQ(pixel(280 + 50, 50), 0xFFFF0000);
   EXPECT_EQ(pixel(50, 50), 0u);
   // The outline's right edge runs along x = 280 + 399.
   EXPECT_NE(pixel(280 + 399, 200), 0u);
}

TEST_F(canvas_overlay, LiveOutputCanvasDrawsOneToOneFromTheCorner)
{
   m_pcanvas->set_live_output(true);
   m_pcanvas->scroll_event({0, 0}, {0.f, -50.f});
   draw();
   EXPECT_EQ(m_pcanvas->zoom(), 1.0f);
   EXPECT_EQ(pixel(50, 50), 0xFFFF0000);
   EXPECT_EQ(pixel(280 + 50, 50), 0u);
   EXPECT_EQ(pixel(399, 200), 0u);
}

TEST_F(canvas_overlay, HeldModifierShowsTheCurrentLayerFrameWithHandles)
{
   draw();
   EXPECT_EQ(pixel(280 + 100, 20), 0u);
   m_pglobal->keyboard_modifiers() = enumeration<user::enum_key>(control);
   draw();
   // The right edge of the frame and the right handle's square.
   EXPECT_GE(pixel(280 + 100, 20) >> 24, 0x7Fu);
   EXPECT_EQ(pixel(280 + 102, 52), frame_colour);
   EXPECT_EQ(m_pcanvas->resize_rectangle(), (rectangle_type<int>{0, 0, 100, 100}));
}

TEST_F(canvas_overlay, HoveredRasterLabelHidesTheLayerFrame)
{
   document().m_bRasterLabel = true;
   document().m_iRasterLabelX = 200;
   document().m_iRasterLabelY = 200;
   m_pglobal->keyboard_modifiers() = enumeration<user::enum_key>(control);
   draw();
   m_pcanvas->mouse_motion_event({280 + 210, 210}, {0, 0}, false, enumeration<user::enum_key>(control));
   ASSERT_TRUE(m_pcanvas->is_raster_label_hovered());
   draw();
   EXPECT_EQ(pixel(280 + 100, 20), 0u);
}

TEST_F(canvas_overlay, HoveredBoxOfACustomPathIsOutlinedOnlyWithTheMouseOver)
{
   testing::internal::CaptureStdout();
   m_pglobal->load_default_layers();
   testing::internal::GetCapturedStdout();
   boxes(0)->m_descriptionData.m_iCustomPath = 1;
   draw();
   const std::uint32_t uBefore = pixel(280 + 64, 2);
   m_pcanvas->mouse_motion_event({280 + 64, 64}, {0, 0}, false, {});
   draw();
   EXPECT_NE(pixel(280 + 64, 2), uBefore);
   m_pcanvas->mouse_enter_event({0, 0}, false, {});
   draw();
   EXPECT_EQ(pixel(280 + 64, 2), uBefore);
}

TEST_F(canvas_overlay, ArrowOfAPathBeingStartedLeavesTheConnectorLabelWhereTheLayerDrewIt)
{
   testing::internal::CaptureStdout();
   m_pglobal->load_default_layers();
   testing::internal::GetCapturedStdout();
   auto pboxes = boxes(0);
   pboxes->m_descriptionData.m_iCustomPath = 1;
   pboxes->m_descriptionData.custom_paths = {{box_key(0, 0), box_key(1, 0)}, {box_key(0, 1)}};
   pboxes->set_changed();
   draw();
   pointer<connector> pconnector = pboxes->get_connector(&pboxes->m_snakeData, 1, true, false);
   ASSERT_TRUE(pconnector);
   const rectangle_type<float> rectangleDrawn = pconnector->label_rectangle();
   m_pcanvas->mouse_motion_event({280 + 200, 200}, {0, 0}, false, {});
   draw();
   EXPECT_EQ(pconnector->label_rectangle(), rectangleDrawn);
}

} // namespace
