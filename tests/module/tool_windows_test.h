// The root screen with its tool windows and the default document (one screen layer, current),
// without a window; controls are driven as the user drives them.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "core/Global.h"
#include "document/boxes_layer.h"
#include "document/image_layer.h"
#include "document/project.h"
#include "orvo/file_system.h"
#include "panels/NOP.h"
#include "root_screen_fixture.h"
#include "screen/MainScreen.h"
#include "screen_dialogs.h"
#include "toolwindows/SettingsBaseWindow.h"
#include "toolwindows/W_Image.h"
#include "zelui/Button.h"
#include "zelui/CheckBox.h"
#include "zelui/ColorPicker.h"
#include "zelui/ComboBox.h"
#include "zelui/Label.h"
#include "zelui/MessageDialog.h"
#include "zelui/TextBox.h"

namespace Tarvossa_BrisvanePro
{

// What a widget shows, one line per control in child order, the containers left out: a caption
// as it reads; a text box "[text units]", " read-only" when it takes no typing; a check box
// "[x] caption" or "[ ] caption"; a button "(caption)", " pushed" while pushed; a combo box
// "{item|item} selected"; a colour picker "#RRGGBB"; a picture "picture WxH path"; a spacer
// "spacer WxH".
inline void add_face_of(zelui::Widget & widget, std::vector<string_base> & face)
{
   const auto size_text = [](zelui::Widget * pwidget)
   {
      const size_type<int> size = pwidget->preferred_size(nullptr);
      return format("%dx%d", size.width, size.height);
   };
   const auto picture = [&](auto * pimage) { face.push_back("picture " + size_text(pimage) + " " + pimage->image().path()); };
   if (auto * plabel = dynamic_cast<zelui::Label *>(&widget))
   {
      face.push_back(plabel->caption());
   }
   else if (auto * ptextbox = dynamic_cast<zelui::TextBox *>(&widget))
   {
      face.push_back("[" + ptextbox->value() + (ptextbox->units().empty() ? "" : " " + ptextbox->units()) + "]" +
                     (ptextbox->editable() ? "" : " read-only"));
   }
   else if (auto * pcheckbox = dynamic_cast<zelui::CheckBox *>(&widget))
   {
      face.push_back((pcheckbox->checked() ? "[x]" : "[ ]") + (pcheckbox->caption().empty() ? "" : " " + pcheckbox->caption()));
   }
   else if (auto * pcombo = dynamic_cast<zelui::ComboBox *>(&widget))
   {
      string_base strItems;
      for (const string_base & strItem : pcombo->items())
      {
         strItems += (strItems.empty() ? "" : "|") + strItem;
      }
      const int iSelected = pcombo->selected_index();
      face.push_back("{" + strItems + "}" + (iSelected >= 0 ? " " + pcombo->items()[static_cast<std::size_t>(iSelected)] : ""));
   }
   else if (auto * ppicker = dynamic_cast<zelui::ColorPicker *>(&widget))
   {
      const color::color color(ppicker->color(), 255);
      face.push_back(format("#%02X%02X%02X", color.m_uchR, color.m_uchG, color.m_uchB));
   }
   else if (auto * pbutton = dynamic_cast<zelui::Button *>(&widget))
   {
      face.push_back("(" + pbutton->caption() + ")" + (pbutton->pushed() ? " pushed" : ""));
   }
   else if (auto * pnop = dynamic_cast<NOP *>(&widget))
   {
      face.push_back("spacer " + size_text(pnop));
   }
   else if (auto * pimage24 = dynamic_cast<W_Image<24, 24> *>(&widget))
   {
      picture(pimage24);
   }
   else if (auto * pimage25 = dynamic_cast<W_Image<25, 25> *>(&widget))
   {
      picture(pimage25);
   }
   else
   {
      for (const pointer<zelui::Widget> & pchild : widget.children())
      {
         add_face_of(*pchild, face);
      }
   }
}

inline std::vector<string_base> face_of(zelui::Widget & widget)
{
   std::vector<string_base> face;
   for (const pointer<zelui::Widget> & pchild : widget.children())
   {
      add_face_of(*pchild, face);
   }
   return face;
}

class tool_windows_test : public root_screen_fixture
{
protected:
   void SetUp() override
   {
      root_screen_fixture::SetUp();
      m_pscreen->create_main_screen();
      m_player = document().current_boxes_layer();
      ASSERT_TRUE(m_player);
      m_pscreen->reload_all(true);
      m_pglobal->take_changed();
   }

   template <typename WINDOW>
   WINDOW * window() const
   {
      for (SettingsBaseWindow * pwindow : m_pscreen->tool_windows())
      {
         if (auto * pfound = dynamic_cast<WINDOW *>(pwindow))
         {
            return pfound;
         }
      }
      return nullptr;
   }

   // A document whose only layer is an image layer, current.
   void make_image_layer_current()
   {
      document().get_layers().clear();
      document().new_image_layer();
      m_pscreen->setCurrentLayerTo(0, true);
   }

   // A document without layers.
   void remove_layers()
   {
      document().get_layers().clear();
      document().set_current_layer_index(-1);
   }

   // The document's changed flag, cleared.
   bool changed() { return m_pglobal->take_changed(); }

   static void type(zelui::TextBox * ptextbox, const char * pszText) { ptextbox->set_value(pszText, e_source_user); }
   static void click(zelui::CheckBox * pcheckbox) { pcheckbox->set_checked(!pcheckbox->checked(), e_source_user); }
   static void press(zelui::Button * pbutton) { pbutton->callback()(); }

   // A window of that kind made now, before any layer filled it, has the title and shows the
   // face (see `face_of`).
   template <typename WINDOW>
   void expect_new_window_face(const char * pszTitle, const std::vector<string_base> & expected)
   {
      auto * pwindow = new WINDOW(m_pscreen.get(), m_pglobal);
      EXPECT_EQ(pwindow->title(), pszTitle);
      EXPECT_EQ(face_of(*pwindow), expected);
   }

   // Each click on a switch writes 1 or 0 into its field and marks the layer and the document
   // changed.
   void expect_switch_writes(zelui::CheckBox * pcheckbox, const int & field)
   {
      pcheckbox->set_checked(false, e_source_sync);
      for (const int iExpected : {1, 0})
      {
         clear_marks();
         click(pcheckbox);
         EXPECT_EQ(field, iExpected);
         expect_marked_changed();
      }
   }

   // A number typed into the box goes into its field as it is.
   template <typename BOX>
   void expect_number_writes(BOX * pbox, const int & field)
   {
      for (const int iValue : {7, -3})
      {
         clear_marks();
         pbox->set_value(iValue, e_source_user);
         EXPECT_EQ(field, iValue);
         expect_marked_changed();
      }
   }

   // A picked colour goes into its field opaque.
   void expect_colour_writes(zelui::ColorPicker * ppicker, const color::color & field)
   {
      clear_marks();
      ppicker->pick(color::color(200, 100, 50, 100).get_hls());
      EXPECT_EQ(field, color::color(200, 100, 50, 255));
      expect_marked_changed();
   }

   void clear_marks()
   {
      m_player->clear_changed();
      changed();
   }

   // The current layer and the document were marked changed; both marks are cleared.
   void expect_marked_changed()
   {
      EXPECT_TRUE(m_player->has_changed());
      EXPECT_TRUE(changed());
   }

   zelui::MessageDialog * dialog_titled(const char * pszTitle) const { return dialog_on<zelui::MessageDialog>(*m_pscreen, pszTitle); }

   pointer<boxes_layer> m_player;
};

} // namespace Tarvossa_BrisvanePro
