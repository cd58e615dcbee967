#pragma once

// The root screen with the default document (one screen layer, current), built on an empty data
// folder so that no settings, layout or presets of an earlier test are read back.

#include <gtest/gtest.h>

#include <filesystem>

#include "core/Global.h"
#include "document/project.h"
#include "frame_draws.h"
#include "orvo/file_system.h"
#include "screen/MainScreen.h"
#include "zelui/file_dialog.h"
#include "zelui/mouse.h"
#include "zelui/recording_interaction.h"

// Removes the data folder with all that earlier tests wrote into it.
inline void empty_data_folder()
{
   std::error_code error;
   std::filesystem::remove_all(std::filesystem::path(dir::application_data("Brisvane")), error);
}

// A root screen without a window.
class root_screen_fixture : public testing::Test
{
protected:
   void SetUp() override { make_root_screen(); }

   // `pwindow` (none when null) shows the screen and lends its look to the screen's dialogs.
   void make_root_screen(pointer<recording_interaction> pwindow = {})
   {
      empty_data_folder();
      m_pwindow = std::move(pwindow);
      m_pscreen = make_pointer<Tarvossa_BrisvanePro::MainScreen>(m_pwindow.get());
      if (m_pwindow)
      {
         m_pwindow->set_appearance(m_pscreen->appearance());
      }
      m_pglobal = m_pscreen->get_global();
      m_pglobal->load_default_layers();
   }

   Tarvossa_BrisvanePro::project & document() const { return *m_pglobal->current_project(); }

   // One frame without a drawing target: the one-shot steps, then the layout.
   void frame()
   {
      m_pscreen->run_layout_hooks(nullptr);
      m_pscreen->perform_layout(nullptr);
   }

   // A key event as the window hands it to the screen: the key, what it did, the text it typed.
   bool key(user::enum_key ekey, user::enum_key_action eaction, const string_base & strText = {})
   {
      return m_pscreen->keyboard_event(ekey, 0, eaction, {}, strText);
   }

   // One draw's frame build (see `frame_draws`).
   bool build() { return m_draws.build(*m_pglobal); }

   // Declared before the screen, so that it outlives the screen it shows.
   pointer<recording_interaction> m_pwindow;
   pointer<Tarvossa_BrisvanePro::MainScreen> m_pscreen;
   Tarvossa_BrisvanePro::Global * m_pglobal = nullptr;
   frame_draws m_draws;
};

// A root screen shown by a window that records what is asked of it; file dialogs are answered by
// the test.
class windowed_root_screen_fixture : public root_screen_fixture
{
protected:
   void SetUp() override { make_root_screen(make_pointer<recording_interaction>()); }

   void TearDown() override
   {
      file::file_dialog::set_answer_hook({});
      m_pwindow->set_appearance(nullptr);
   }
};
