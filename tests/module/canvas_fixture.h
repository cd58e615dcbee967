#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/Global.h"
#include "document/boxes_layer.h"
#include "document/image_layer.h"
#include "document/project.h"
#include "frame_draws.h"
#include "picture_layer.h"
#include "screen/MainImpact.h"
#include "zelui/Screen.h"

using namespace Tarvossa_BrisvanePro;

// A temporary folder that stands for the user's home and data folders while it lives.
class temporary_home
{
public:
   temporary_home() : m_strOldData(variable("XDG_DATA_HOME")), m_strOldHome(variable("HOME"))
   {
      char szTemplate[] = "/tmp/brisvane_canvas_XXXXXX";
      m_folder = ::mkdtemp(szTemplate);
      ::setenv("XDG_DATA_HOME", m_folder.c_str(), 1);
      ::setenv("HOME", m_folder.c_str(), 1);
      std::filesystem::create_directories(m_folder / "Brisvane");
   }
   ~temporary_home()
   {
      std::filesystem::remove_all(m_folder);
      restore("XDG_DATA_HOME", m_strOldData);
      restore("HOME", m_strOldHome);
   }

   std::filesystem::path m_folder;

private:
   static std::string variable(const char * pszName)
   {
      const char * psz = std::getenv(pszName);
      return psz ? psz : "";
   }
   static void restore(const char * pszName, const std::string & strValue)
   {
      if (strValue.empty())
      {
         ::unsetenv(pszName);
      }
      else
      {
         ::setenv(pszName, strValue.c_str(), 1);
      }
   }

   std::string m_strOldData;
   std::string m_strOldHome;
};

// A controller with the default document (one 1024 x 640 screen layer at (0, 0), current) and a
// canvas at (0, 0) of a screen without a window. The data folders point at a temporary folder.
class canvas_fixture : public testing::Test, protected temporary_home
{
protected:
   static constexpr std::uint64_t shift = user::e_key_left_shift;
   static constexpr std::uint64_t control = user::e_key_left_control;

   canvas_fixture()
   {
      testing::internal::CaptureStdout();
      m_pglobal->load_default_layers();
      testing::internal::GetCapturedStdout();
      m_pcanvas->set_size({1600, 900});
   }

   project & document() const { return *m_pglobal->current_project(); }
   pointer<app_layer> layer(long long index) const { return document().get_layer(index); }
   pointer<boxes_layer> boxes(long long index) const { return layer(index).cast<boxes_layer>(); }

   // An image layer of w x h on top of the others, with a picture of that size in one colour.
   pointer<image_layer> add_image_layer(int x, int y, int w, int h, color::color color = {})
   {
      return add_picture_layer(document(), x, y, w, h, color);
   }

   // No layers on a raster of 400 x 300: pictures are tested without the screen layer's drawing.
   void use_small_empty_raster()
   {
      document().get_layers().clear();
      document().set_paper_size(400, 300);
   }

   void press(int x, int y, std::uint64_t uModifiers = 0, user::enum_mouse ebutton = user::e_mouse_left_button)
   {
      m_pcanvas->mouse_button_event({x, y}, ebutton, true, false, enumeration<user::enum_key>(uModifiers));
   }
   void release(int x, int y, std::uint64_t uModifiers = 0)
   {
      m_pcanvas->mouse_button_event({x, y}, user::e_mouse_left_button, false, false, enumeration<user::enum_key>(uModifiers));
   }
   void move(int x, int y, int dx, int dy, std::uint64_t uModifiers = 0)
   {
      m_pcanvas->mouse_motion_event({x, y}, {dx, dy}, true, enumeration<user::enum_key>(uModifiers));
   }

   // One draw's frame build (see `frame_draws`).
   bool build() { return m_draws.build(*m_pglobal); }

   pointer<Global> m_pglobal = make_pointer<Global>();
   pointer<zelui::Screen> m_pscreen = make_pointer<zelui::Screen>(nullptr, size_type<int>{1600, 900}, "test");
   pointer<MainImpact> m_pcanvas = make_pointer<MainImpact>(m_pglobal.get(), m_pscreen.get());
   frame_draws m_draws;
};
