// The root screen with its tool windows and the default document (one screen layer, current),
// without a window; controls are driven as the user drives them.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>

#include "core/Global.h"
#include "core/MainScreen.h"
#include "document/boxes_layer.h"
#include "document/image_layer.h"
#include "document/project.h"
#include "orvo/file_system.h"
#include "toolwindows/SettingsBaseWindow.h"
#include "zelui/Button.h"
#include "zelui/CheckBox.h"
#include "zelui/MessageDialog.h"
#include "zelui/TextBox.h"

namespace Tarvossa_BrisvanePro
{

class tool_windows_test : public testing::Test
{
protected:
   void SetUp() override
   {
      std::error_code error;
      std::filesystem::remove_all(std::filesystem::path(dir::application_data("Brisvane")), error);
      m_pscreen = make_pointer<MainScreen>(nullptr);
      m_pglobal = m_pscreen->get_global();
      m_pglobal->load_default_layers();
      m_pscreen->create_main_screen();
      m_player = document().current_boxes_layer();
      ASSERT_TRUE(m_player);
      m_pscreen->reload_all(true);
      m_pglobal->take_changed();
   }

   project & document() const { return *m_pglobal->current_project(); }

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

   zelui::MessageDialog * dialog_titled(const char * pszTitle) const
   {
      for (const pointer<zelui::Widget> & pchild : m_pscreen->children())
      {
         auto * pdialog = dynamic_cast<zelui::MessageDialog *>(pchild.get());
         if (pdialog && pdialog->visible() && pdialog->title() == pszTitle)
         {
            return pdialog;
         }
      }
      return nullptr;
   }

   pointer<MainScreen> m_pscreen;
   Global * m_pglobal = nullptr;
   pointer<boxes_layer> m_player;
};

} // namespace Tarvossa_BrisvanePro
