// A frame built again after an edit, keeping the pictures of the layers the edit did not touch and
// composing only what changed, must equal, pixel for pixel, a frame built whole from the same
// document. Two root screens take the same random edits; one builds as the program does, the
// other draws every layer and composes the whole frame after each edit.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <numbers>
#include <random>

#include "core/Global.h"
#include "core/frame_builder.h"
#include "core/frame_composer.h"
#include "document/boxes_layer.h"
#include "document/connector.h"
#include "document/image_layer.h"
#include "document/project.h"
#include "draw_current_only_box.h"
#include "orvo/file_system.h"
#include "orvo/payload.h"
#include "panels/LayerList.h"
#include "panels/RightPanel.h"
#include "root_screen_fixture.h"
#include "screen/MainScreen.h"
#include "screen_dialogs.h"
#include "zel2d/context.h"
#include "zel2d/image_store.h"
#include "zelui/CheckBox.h"
#include "zelui/MessageDialog.h"

using namespace Tarvossa_BrisvanePro;

namespace
{

// One root screen (with its panels, for "Draw Current Only") and the document the edits work on.
class screen_under_test
{
public:
   screen_under_test()
   {
      m_pscreen->set_size({1280, 800});
      m_pscreen->create_main_screen();
   }

   Global & global() const { return *m_pscreen->get_global(); }
   project & document() const { return *global().current_project(); }

   // Three screen layers with both paths, names and labels, and a half-transparent picture, on a
   // small raster.
   void set_up_document()
   {
      global().load_default_layers();
      document().get_layers().clear();
      document().set_paper_size(240, 160);
      for (int i = 0; i < 3; ++i)
      {
         pointer<boxes_layer> player = document().new_boxes_layer();
         player->set_name(format("Wall %d", i));
         player->Columns = 4 + i;
         player->Rows = 3;
         player->Width = 14;
         player->Height = 12;
         player->set_offset_x(10 + 60 * i);
         player->set_offset_y(8 + 30 * i);
         player->DrawSnake = 1;
         player->DrawPowerSnake = 1;
         player->DataDiagramType = i % 2;
         player->m_descriptionData.m_iLimit = 700;
         player->PowerWatts = 400;
         player->DrawBoxesNames = 1;
         player->BoxesNamesFontSize = 5;
         player->LabelFontSize = 6;
         player->CornersMode = 15;
      }
      pointer<image_layer> pimagelayer = document().new_image_layer();
      auto ppicture = make_pointer<image::image>(20, 10);
      for (int y = 0; y < 10; ++y)
      {
         for (int x = 0; x < 20; ++x)
         {
            ppicture->pixel(x, y) = static_cast<std::uint32_t>(x * 12) << 24 | static_cast<std::uint32_t>(x * 12);
         }
      }
      pimagelayer->set_image(ppicture);
      pimagelayer->setMaintainAspectRatio(false);
      pimagelayer->set_width(50);
      pimagelayer->set_height(30);
      pimagelayer->set_offset_x(90);
      pimagelayer->set_offset_y(60);
      global().set_current_layer_index(0);
   }

   // Four walls that tile the raster, each touching two others, and a half-transparent picture
   // alone beside them: each layer makes its part of the frame alone, so its picture lies in the
   // frame's own rows until an edit makes it touch another.
   void set_up_tiled_document()
   {
      set_up_document();
      document().set_paper_size(240, 160);
      for (long long i = 0; i < 4; ++i)
      {
         pointer<boxes_layer> pwall = i < 3 ? document().get_layer(i + 1).cast<boxes_layer>() : document().new_boxes_layer();
         pwall->Columns = 5;
         pwall->Rows = 4;
         pwall->Width = 20;
         pwall->Height = 17;
         pwall->DrawSnake = 1;
         pwall->DrawPowerSnake = 1;
         pwall->m_descriptionData.m_iLimit = 2000;
         pwall->set_offset_x(static_cast<int>(i % 2) * 100);
         pwall->set_offset_y(static_cast<int>(i / 2) * 68);
      }
      // The picture has the raster's last 40 columns to itself, and moves there freely.
      for (const pointer<app_layer> & player : document().get_layers())
      {
         if (auto pimagelayer = player.cast<image_layer>())
         {
            pimagelayer->set_width(36);
            pimagelayer->set_height(30);
            pimagelayer->set_offset_x(202);
            pimagelayer->set_offset_y(60);
         }
      }
      global().set_current_layer_index(0);
   }

   void set_only_current(bool bOn) const
   {
      draw_current_only_box(*m_pscreen->right_panel()->layer_list())->set_checked(bOn, e_source_user);
   }

   // Draws as the canvas does, until nothing more is pending.
   void build() const { m_draws.build_settled(global()); }

   // Every layer drawn and the whole frame composed, as though nothing had been drawn before. A
   // failed build has the panels write back what they show, which may change the document: the
   // frame is then built whole once more, from the document as it is. The shrunk copy is made
   // again from the frame, whichever way the build made it.
   void build_whole() const
   {
      for (int i = 0; i < 2; ++i)
      {
         for (const pointer<app_layer> & player : document().get_layers())
         {
            player->set_changed();
         }
         global().frame().forget();
         build();
      }
      zel2d::image_store::shared().mark_changed(global().frame().image_handle());
   }

   const image::image & frame() const { return *global().frame().picture(); }

   // The frame drawn at `dZoom` of its size, as the canvas draws it (from its shrunk copy).
   pointer<image::image> frame_at(double dZoom) const
   {
      const auto w = static_cast<float>(document().get_paper_width() * dZoom);
      const auto h = static_cast<float>(document().get_paper_height() * dZoom);
      auto ppicture = make_pointer<image::image>(static_cast<int>(std::lround(w)), static_cast<int>(std::lround(h)));
      zel2d::context context(ppicture.get());
      const zel2d::paint paint = context.image_pattern(0.f, 0.f, w, h, 0.f, global().frame().image_handle(), 1.f);
      context.begin_path();
      context.rectangle(0.f, 0.f, w, h);
      context.set_fill_paint(paint);
      context.fill();
      return ppicture;
   }

   // The messages of the error boxes open on the screen.
   std::vector<std::string> error_messages() const
   {
      std::vector<std::string> messages;
      for (const zelui::MessageDialog * pdialog : dialogs_on<zelui::MessageDialog>(*m_pscreen))
      {
         messages.push_back(pdialog->message().c_str());
      }
      return messages;
   }
   long long error_boxes() const { return static_cast<long long>(error_messages().size()); }

private:
   pointer<MainScreen> m_pscreen = make_pointer<MainScreen>(nullptr);
   frame_draws m_draws;
};

pointer<boxes_layer> random_screen_layer(project & document, std::mt19937 & random)
{
   std::vector<pointer<boxes_layer>> layers;
   for (const pointer<app_layer> & player : document.get_layers())
   {
      if (auto pboxes = player.cast<boxes_layer>())
      {
         layers.push_back(pboxes);
      }
   }
   return layers.empty() ? nullptr : layers[random() % layers.size()];
}

int random_int(std::mt19937 & random, int iMin, int iMax)
{
   return std::uniform_int_distribution<int>(iMin, iMax)(random);
}

// One random edit, told by what it changed; the same edit on the same document with the same
// random state does the same thing.
std::string apply_random_edit(screen_under_test & screen, std::mt19937 & random)
{
   project & document = screen.document();
   Global & global = screen.global();
   const long long iCount = document.get_layers_count();
   pointer<boxes_layer> pboxes = random_screen_layer(document, random);
   switch (random_int(random, 0, 17))
   {
   case 0:
      if (pboxes)
      {
         int * switches[] = {&pboxes->DrawGrid, &pboxes->DrawBoxesNames, &pboxes->DrawSnake, &pboxes->DrawPowerSnake,
                             &pboxes->DrawCircle, &pboxes->DrawLayerName, &pboxes->DrawInfoLine, &pboxes->ShowMM};
         int & iSwitch = *switches[random() % std::size(switches)];
         iSwitch = iSwitch == 0 ? 1 : 0;
         pboxes->set_changed();
      }
      return "a switch";
   case 1:
      if (pboxes)
      {
         pboxes->Columns = random_int(random, 1, 7);
         pboxes->Rows = random_int(random, 1, 5);
         pboxes->set_changed();
      }
      return "columns and rows";
   case 2:
      if (pboxes)
      {
         pboxes->m_descriptionData.m_iLimit = random_int(random, 200, 2000);
         pboxes->PowerWatts = random_int(random, 100, 1500);
         pboxes->set_changed();
      }
      return "run sizes";
   case 3:
      // As the "Colors" window sets them: on the current layer, mostly opaque.
      if (pointer<boxes_layer> pcurrent = document.current_boxes_layer())
      {
         const int iAlpha = random_int(random, 0, 3) == 0 ? random_int(random, 128, 254) : 255;
         pcurrent->BoxColors.front() = color::color(static_cast<std::uint8_t>(random()), 90, 200, static_cast<std::uint8_t>(iAlpha));
         pcurrent->set_changed(layer_change::colours);
      }
      return "box colour";
   case 4:
      if (iCount > 0)
      {
         pointer<app_layer> player = document.get_layer(random() % iCount);
         player->set_hidden(!player->is_hidden());
      }
      return "hidden";
   case 5:
      if (iCount > 1)
      {
         const long long iSource = random() % iCount;
         const long long iTarget = random() % iCount;
         global.move_layer_to_visual(iTarget, iSource);
         global.set_changed();
      }
      return "order";
   case 6:
      if (pboxes && pboxes->DrawSnake != 0 && pboxes->calculate_path_count(true) > 0)
      {
         const long long iRun = pboxes->calculate_base_path_index(true) + random() % pboxes->calculate_path_count(true);
         if (pointer<connector> pconnector = pboxes->get_connector(&pboxes->m_snakeData, iRun, true, false))
         {
            pconnector->set_edit_payload(payload(format("In%d", random_int(random, 0, 99))));
            pconnector->set_need_update();
         }
      }
      return "connector name";
   case 7:
      if (iCount > 0)
      {
         pointer<app_layer> player = document.get_layer(random() % iCount);
         player->set_offset_x(random_int(random, -40, 230));
         player->set_offset_y(random_int(random, -30, 150));
      }
      return "offset";
   case 8:
      if (iCount > 0)
      {
         document.get_layer(random() % iCount)->set_rotation(random_int(random, 0, 2) * std::numbers::pi_v<float> / 7.f);
      }
      return "rotation";
   case 9:
      if (auto pimage = document.get_layer(random() % std::max<long long>(iCount, 1)).cast<image_layer>())
      {
         pimage->set_width(random_int(random, 10, 80));
      }
      return "picture size";
   case 10:
      screen.set_only_current(random_int(random, 0, 1) == 1);
      global.set_current_layer_index(random() % std::max<long long>(iCount, 1));
      return "draw current only";
   case 11:
      if (pboxes)
      {
         pboxes->ExcludeBoxes.add(random_int(random, 0, 3) << 16 | random_int(random, 0, 2));
         pboxes->set_changed();
      }
      return "excluded box";
   case 12:
      document.m_bRasterLabel = !document.m_bRasterLabel;
      document.m_iRasterLabelX = random_int(random, 0, 200);
      global.set_changed();
      return "raster label";
   case 13:
      document.set_paper_size(random_int(random, 200, 260), random_int(random, 140, 180));
      global.set_changed();
      return "raster size";
   case 14:
      if (iCount < 6)
      {
         pointer<boxes_layer> padded = document.new_boxes_layer();
         padded->Columns = 2;
         padded->Rows = 2;
         padded->Width = 16;
         padded->Height = 16;
         padded->DrawSnake = 1;
         padded->set_offset_x(random_int(random, 0, 200));
         global.set_changed();
      }
      return "new layer";
   case 15:
      if (iCount > 1)
      {
         global.set_current_layer_index(random() % iCount);
         if (random() % 2 == 0)
         {
            global.delete_current_layer();
         }
         else
         {
            global.clone_current_layer();
         }
      }
      return "layer deleted or cloned";
   case 16:
      // The build fails: its error box opens and the panels show the current layer again; the
      // "Colors" window writes back the fills it shows, which hold no transparency.
      if (pboxes)
      {
         pointer<boxes_layer> pcurrent = random_screen_layer(document, random);
         global.set_current_layer_index(document.get_layers().find_first(pcurrent.get()));
         pcurrent->BoxColors.front().m_uchA = static_cast<std::uint8_t>(random_int(random, 128, 254));
         pcurrent->set_changed(layer_change::colours);
         pboxes->DrawSnake = 1;
         pboxes->m_descriptionData.m_iLimit = random_int(random, 1, 100);
         pboxes->set_changed();
      }
      return "data path over its pixel limit";
   default:
      if (pboxes)
      {
         pboxes->m_descriptionPower.m_iCustomPath = pboxes->m_descriptionPower.m_iCustomPath == 0 ? 1 : 0;
         pboxes->m_descriptionPower.custom_paths = {{0, 1 << 16, 2 << 16}, {1, 1 << 16 | 1}};
         pboxes->set_changed();
      }
      return "custom power path";
   }
}

// One edit of where layers lie and how they show: a layer nudged a few pixels (touching,
// overlapping or leaving the others), hidden or shown, turned or not, a translucent box colour,
// the raster label over the walls, or any edit of `apply_random_edit`.
std::string apply_random_placement_edit(screen_under_test & screen, std::mt19937 & random)
{
   project & document = screen.document();
   const long long iCount = document.get_layers_count();
   pointer<app_layer> player = iCount > 0 ? document.get_layer(random() % iCount) : nullptr;
   switch (random_int(random, 0, 6))
   {
   case 0:
   case 1:
      if (player)
      {
         player->set_offset_x(player->get_offset_x() + random_int(random, -12, 12));
         player->set_offset_y(player->get_offset_y() + random_int(random, -12, 12));
      }
      return "nudge";
   case 2:
      if (player)
      {
         player->set_hidden(!player->is_hidden());
      }
      return "hidden";
   case 3:
      if (player)
      {
         player->set_rotation(player->get_rotation() == 0.f ? std::numbers::pi_v<float> / 9.f : 0.f);
      }
      return "turned";
   case 4:
      // As the "Colors" window sets it: on the current layer.
      if (pointer<boxes_layer> pboxes = document.current_boxes_layer())
      {
         pboxes->BoxColors.front() = color::color(200, 90, static_cast<std::uint8_t>(random()), static_cast<std::uint8_t>(random_int(random, 60, 255)));
         pboxes->set_changed(layer_change::colours);
      }
      return "translucent colour";
   case 5:
      document.m_bRasterLabel = !document.m_bRasterLabel;
      document.m_iRasterLabelX = random_int(random, 0, 200);
      document.m_iRasterLabelY = random_int(random, 0, 140);
      screen.global().set_changed();
      return "raster label";
   default:
      return apply_random_edit(screen, random);
   }
}

// The same random edits made on two screens, each from a generator of its own seeded alike: the
// edited screen is built after each as the canvas builds, the other whole. The edits made so far
// name the sequence in a failure's message.
class random_edits
{
public:
   using edit_function = std::string (*)(screen_under_test &, std::mt19937 &);

   random_edits(screen_under_test & edited, screen_under_test & whole, int iSequence)
      : m_edited(edited), m_whole(whole), m_randomEdited(static_cast<std::uint32_t>(iSequence)),
        m_randomWhole(static_cast<std::uint32_t>(iSequence))
   {
   }

   void apply(edit_function edit)
   {
      m_strEdits += edit(m_edited, m_randomEdited) + ", ";
      edit(m_whole, m_randomWhole);
      m_edited.build();
      m_whole.build_whole();
   }

   const std::string & edits() const { return m_strEdits; }

private:
   screen_under_test & m_edited;
   screen_under_test & m_whole;
   std::mt19937 m_randomEdited;
   std::mt19937 m_randomWhole;
   std::string m_strEdits;
};

// Where two frames of one size first differ, or nothing when they are equal.
std::string first_difference(const image::image & a, const image::image & b)
{
   for (int y = 0; y < a.height(); ++y)
   {
      for (int x = 0; x < a.width(); ++x)
      {
         if (a.pixel(x, y) != b.pixel(x, y))
         {
            return format("(%d, %d): %08x, not %08x", x, y, a.pixel(x, y), b.pixel(x, y)).c_str();
         }
      }
   }
   return {};
}

} // namespace

TEST(frame_rebuild, after_every_random_edit_equals_a_whole_build)
{
   empty_data_folder();
   screen_under_test edited;
   screen_under_test whole;
   constexpr int sequences = 200;
   constexpr int edits = 4;
   for (int iSequence = 0; iSequence < sequences; ++iSequence)
   {
      edited.set_up_document();
      whole.set_up_document();
      edited.build();
      // The canvas's shrunk copy, at a quarter or at a zoom between the halvings, exists before
      // the edits and follows them.
      const double dZoom = iSequence % 2 == 0 ? 0.25 : 0.3;
      edited.frame_at(dZoom);
      random_edits sequence(edited, whole, iSequence);
      for (int iEdit = 0; iEdit < edits; ++iEdit)
      {
         sequence.apply(apply_random_edit);
         const image::image & frameEdited = edited.frame();
         const image::image & frameWhole = whole.frame();
         ASSERT_EQ(frameEdited.width(), frameWhole.width());
         ASSERT_EQ(frameEdited.height(), frameWhole.height());
         ASSERT_EQ(first_difference(frameEdited, frameWhole), "") << "sequence " << iSequence << " after " << sequence.edits();
         ASSERT_EQ(first_difference(*edited.frame_at(dZoom), *whole.frame_at(dZoom)), "") << "sequence " << iSequence << " after " << sequence.edits()
                                                                                        << " at zoom " << dZoom;
      }
   }
}

// Layers that make their part of the frame alone are drawn straight into the frame's rows; edits
// that make them touch, overlap, move apart, hide, turn or show through each other move their
// pictures out of the frame or to their new place there. The frame, its shrunk copy and every
// layer's own picture (which the PSD export writes) equal those of a whole build.
TEST(frame_rebuild, layers_drawn_into_the_frame_equal_a_whole_build_after_every_random_edit)
{
   empty_data_folder();
   screen_under_test edited;
   screen_under_test whole;
   for (int iSequence = 0; iSequence < 150; ++iSequence)
   {
      edited.set_up_tiled_document();
      whole.set_up_tiled_document();
      edited.build();
      const double dZoom = iSequence % 3 == 0 ? 1.0 : iSequence % 3 == 1 ? 0.5 : 0.3;
      edited.frame_at(dZoom);
      random_edits sequence(edited, whole, iSequence);
      for (int iEdit = 0; iEdit < 6; ++iEdit)
      {
         sequence.apply(apply_random_placement_edit);
         ASSERT_EQ(first_difference(*edited.frame_at(dZoom), *whole.frame_at(dZoom)), "") << "sequence " << iSequence << " after " << sequence.edits();
         ASSERT_EQ(first_difference(edited.frame(), whole.frame()), "") << "sequence " << iSequence << " after " << sequence.edits();
         for (long long i = 0; i < edited.document().get_layers_count(); ++i)
         {
            const pointer<image::image> pdrawn = edited.document().get_layer(i)->get_offscreen();
            const pointer<image::image> pexpected = whole.document().get_layer(i)->get_offscreen();
            if (pdrawn && pexpected && !edited.document().get_layer(i)->is_hidden())
            {
               ASSERT_EQ(pdrawn->width(), pexpected->width());
               ASSERT_EQ(first_difference(*pdrawn, *pexpected), "") << "layer " << i << ", sequence " << iSequence << " after " << sequence.edits();
            }
         }
      }
   }
}

// Colours picked one after another on the current layer fill again only the boxes they change:
// the frame and its shrunk copy are made again only there, and equal a whole build.
TEST(frame_rebuild, colours_picked_in_a_row_equal_a_whole_build)
{
   empty_data_folder();
   screen_under_test edited;
   screen_under_test whole;
   for (const double dZoom : {0.25, 0.5, 1.0})
   {
      edited.set_up_document();
      whole.set_up_document();
      // The current layer is a wall (the picture lies at the top of the list), large enough for
      // the pixels under its corner labels to be kept, inside the raster.
      for (screen_under_test * pscreen : {&edited, &whole})
      {
         pscreen->global().set_current_layer_index(1);
         pointer<boxes_layer> pwall = pscreen->document().current_boxes_layer();
         pwall->Columns = 12;
         pwall->Rows = 10;
         pwall->set_offset_x(40);
         pwall->set_offset_y(30);
         pwall->set_changed();
         pscreen->build();
      }
      edited.frame_at(dZoom);
      for (std::uint8_t uPick = 0; uPick < 4; ++uPick)
      {
         for (screen_under_test * pscreen : {&edited, &whole})
         {
            pointer<boxes_layer> pcurrent = pscreen->document().current_boxes_layer();
            ASSERT_TRUE(pcurrent);
            pcurrent->BoxColors.resize(3);
            pcurrent->BoxColors[uPick % 3] = color::color(static_cast<std::uint8_t>(40 * uPick), 90, 200, 255);
            pcurrent->set_changed(layer_change::colours);
         }
         edited.build();
         whole.build_whole();
         ASSERT_EQ(first_difference(*edited.frame_at(dZoom), *whole.frame_at(dZoom)), "") << "pick " << int(uPick) << " at zoom " << dZoom;
      }
      ASSERT_EQ(first_difference(edited.frame(), whole.frame()), "") << "at zoom " << dZoom;
   }
}

// While the canvas shows a half or a quarter of the frame, edits go into its shrunk copy alone; the frame's
// own pixels, made when an export or a drawing at full size first reads them after several
// edits, are those of a whole build.
TEST(frame_rebuild, edits_shown_halved_then_read_whole_equal_a_whole_build)
{
   empty_data_folder();
   screen_under_test edited;
   screen_under_test whole;
   for (int iSequence = 0; iSequence < 100; ++iSequence)
   {
      edited.set_up_document();
      whole.set_up_document();
      edited.build();
      const double dZoom = iSequence % 4 < 2 ? 0.25 : 0.5;
      edited.frame_at(dZoom);
      random_edits sequence(edited, whole, iSequence);
      for (int iEdit = 0; iEdit < 4; ++iEdit)
      {
         sequence.apply(apply_random_edit);
         ASSERT_EQ(first_difference(*edited.frame_at(dZoom), *whole.frame_at(dZoom)), "") << "sequence " << iSequence << " after " << sequence.edits()
                                                                                        << " at zoom " << dZoom;
      }
      // Read as an export reads it, or drawn at full size.
      const pointer<image::image> pdrawn = iSequence % 2 == 0 ? pointer<image::image>() : edited.frame_at(1.0);
      ASSERT_EQ(first_difference(pdrawn ? *pdrawn : edited.frame(), whole.frame()), "") << "sequence " << iSequence << " after " << sequence.edits();
   }
}

// A layer whose picture cannot be made fails once per change of its settings: drawing again and
// again (as an open error box makes the screen do) neither builds it again nor shows its error
// again, and the layers above it are still drawn.
TEST(frame_rebuild, a_failed_layer_shows_its_error_once_per_change)
{
   empty_data_folder();
   screen_under_test screen;
   screen.set_up_document();
   screen.build();
   pointer<boxes_layer> pwide = screen.document().new_boxes_layer();
   pwide->Columns = 1;
   pwide->Rows = 1;
   pwide->Width = 70000; // no picture is made this wide
   pwide->Height = 1;
   pwide->set_changed();
   // The screen layer on top moves: the frame must show it there.
   screen.document().get_layer(4)->set_offset_y(100);
   for (int i = 0; i < 5; ++i)
   {
      screen.global().set_changed();
      screen.build();
   }
   // A value committed again unchanged (a box that loses the focus) changes nothing either.
   pwide->set_changed();
   screen.build();
   EXPECT_EQ(screen.error_boxes(), 1);
   EXPECT_EQ(screen.frame().pixel(12, 10), 0u);
   EXPECT_NE(screen.frame().pixel(12, 102), 0u);

   pwide->set_name("Still too wide");
   screen.build();
   EXPECT_EQ(screen.error_boxes(), 2);
}

// The document's pictures stay within the memory budget: a layer whose picture would go beyond
// it draws nothing, the user is told once, naming it, and it is drawn when there is room again.
TEST(frame_rebuild, a_layer_beyond_the_memory_budget_draws_nothing_and_is_told_once)
{
   empty_data_folder();
   screen_under_test screen;
   screen.set_up_document();
   // Index 0 up: the picture (20 x 10, drawn 50 x 30), then the walls of 6, 5 and 4 columns of
   // 14 x 12 pixels; the raster is 240 x 160.
   constexpr std::int64_t frame = 240 * 160 * 4;
   constexpr std::int64_t picture = 20 * 10 * 4 + 50 * 30 * 4;
   constexpr std::int64_t walls2and1 = (84 + 70) * 36 * 4;
   // Wall 0 overlaps wall 1, as the picture overlaps walls 1 and 2: no layer makes its part of
   // the frame alone, so every picture takes memory of its own.
   screen.document().get_layer(3)->set_offset_x(40);
   screen.document().get_layer(3)->set_offset_y(30);
   screen.document().budget().set_limit(frame + picture + walls2and1 + 4000);
   for (int i = 0; i < 3; ++i)
   {
      screen.global().set_changed();
      screen.build();
   }
   pointer<app_layer> pwall0 = screen.document().get_layer(3);
   EXPECT_TRUE(pwall0->is_beyond_budget());
   EXPECT_FALSE(pwall0->get_offscreen());
   EXPECT_TRUE(screen.document().get_layer(2)->get_offscreen());
   ASSERT_EQ(screen.error_boxes(), 1);
   EXPECT_NE(screen.error_messages().front().find("The layer \"Wall 0\" draws nothing"), std::string::npos);
   // A limit of less than a gigabyte reads in its own unit.
   EXPECT_NE(screen.error_messages().front().find("more than the 182.2 KiB allowed them"), std::string::npos) << screen.error_messages().front();

   // Deleting a wall makes room.
   screen.global().set_current_layer_index(1);
   screen.global().delete_current_layer();
   screen.build();
   EXPECT_FALSE(pwall0->is_beyond_budget());
   EXPECT_TRUE(pwall0->get_offscreen());
   EXPECT_EQ(screen.error_boxes(), 1);
}
