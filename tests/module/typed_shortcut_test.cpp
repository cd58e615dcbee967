// Every shortcut of the menu definition text, typed on a US keyboard through the real host: the
// module's application runs on SDL's offscreen video and the test pushes the key events that SDL
// gives under X for each combination (modifier presses, the key with its modifiers, the text event
// that X's keyboard mapping makes of it, releases).

#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdlib>
#include <functional>
#include <map>

#include "core/Global.h"
#include "document/boxes_layer.h"
#include "document/project.h"
#include "host/context.h"
#include "host/event_loop.h"
#include "host/request.h"
#include "running_application.h"
#include "screen/MainScreen.h"
#include "screen/application.h"
#include "screen/main_window.h"
#include "screen_dialogs.h"
#include "sdl_events.h"
#include "toolwindows/SettingsBaseWindow.h"
#include "toolwindows/SettingsRasterLabel.h"
#include "zelui/FileDialog.h"
#include "zelui/Label.h"
#include "zelui/TextBox.h"

using namespace Tarvossa_BrisvanePro;

namespace
{

// One combination as typed: the key, the modifiers held and the text SDL sends with the press (X
// turns Control with a letter, with 2 to 8 and with "^" into control characters, which SDL does
// not send; with other keys the layout's character comes through).
struct typed_key
{
   const char * m_pszCaption;
   SDL_Keycode m_keycode;
   SDL_Scancode m_scancode;
   std::uint16_t m_uModifiers;
   const char * m_pszText;
};

constexpr std::uint16_t g_uCtrl = KMOD_LCTRL;
constexpr std::uint16_t g_uCtrlShift = KMOD_LCTRL | KMOD_LSHIFT;

const typed_key g_shortcuts[] = {
   // View
   {"Background Color", SDLK_b, SDL_SCANCODE_B, g_uCtrlShift, nullptr},
   {"Outline", SDLK_o, SDL_SCANCODE_O, g_uCtrlShift, nullptr},
   {"Centering Circle", SDLK_c, SDL_SCANCODE_C, g_uCtrlShift, nullptr},
   {"XY Offsets Label", SDLK_x, SDL_SCANCODE_X, g_uCtrlShift, nullptr},
   {"Screen Size Label", SDLK_s, SDL_SCANCODE_S, g_uCtrlShift, nullptr},
   {"Cabinet ID", SDLK_l, SDL_SCANCODE_L, g_uCtrlShift, nullptr},
   {"Power Label", SDLK_p, SDL_SCANCODE_P, g_uCtrlShift, nullptr},
   {"Data Path", SDLK_d, SDL_SCANCODE_D, g_uCtrlShift, nullptr},
   {"Path Pattern 2", SDLK_2, SDL_SCANCODE_2, g_uCtrl, nullptr},
   {"Path Pattern 3", SDLK_3, SDL_SCANCODE_3, g_uCtrl, nullptr},
   {"Path Pattern 4", SDLK_4, SDL_SCANCODE_4, g_uCtrl, nullptr},
   {"Path Pattern 5", SDLK_5, SDL_SCANCODE_5, g_uCtrl, nullptr},
   {"Path Pattern 6", SDLK_6, SDL_SCANCODE_6, g_uCtrl, nullptr},
   {"Path Pattern 7", SDLK_7, SDL_SCANCODE_7, g_uCtrl, nullptr},
   {"Path Pattern 8", SDLK_8, SDL_SCANCODE_8, g_uCtrl, nullptr},
   {"Path Pattern 1", SDLK_1, SDL_SCANCODE_1, g_uCtrl, "1"},
   // Window
   {"Screen Info", SDLK_4, SDL_SCANCODE_4, g_uCtrlShift, "$"},
   {"Labels Info", SDLK_5, SDL_SCANCODE_5, g_uCtrlShift, "%"},
   {"Data tools", SDLK_6, SDL_SCANCODE_6, g_uCtrlShift, nullptr},
   {"Power tools", SDLK_7, SDL_SCANCODE_7, g_uCtrlShift, "&"},
   {"Color tools", SDLK_8, SDL_SCANCODE_8, g_uCtrlShift, "*"},
   {"Raster Label tool", SDLK_9, SDL_SCANCODE_9, g_uCtrlShift, "("},
   // Layers: "CONTROL++" typed with Shift, as the "+" needs it, and without.
   {"Add Screen Layer", SDLK_EQUALS, SDL_SCANCODE_EQUALS, g_uCtrlShift, "+"},
   {"Add Screen Layer", SDLK_EQUALS, SDL_SCANCODE_EQUALS, g_uCtrl, "="},
   // A German layout has a "+" key of its own, beside the "P" key's row.
   {"Add Screen Layer", SDLK_PLUS, SDL_SCANCODE_RIGHTBRACKET, g_uCtrl, "+"},
   {"Add Screen Layer", SDLK_KP_PLUS, SDL_SCANCODE_KP_PLUS, g_uCtrl, "+"},
   {"Clone Current Layer", SDLK_d, SDL_SCANCODE_D, g_uCtrl, nullptr},
   {"Delete Current Layer", SDLK_MINUS, SDL_SCANCODE_MINUS, g_uCtrl, "-"},
   // The German "-" key stands where a US layout has "/".
   {"Delete Current Layer", SDLK_MINUS, SDL_SCANCODE_SLASH, g_uCtrl, "-"},
   {"Add Image Layer", SDLK_i, SDL_SCANCODE_I, g_uCtrl, nullptr},
   // File
   {"New", SDLK_n, SDL_SCANCODE_N, g_uCtrl, nullptr},
   {"Open Project...", SDLK_o, SDL_SCANCODE_O, g_uCtrl, nullptr},
   {"Save Project...", SDLK_s, SDL_SCANCODE_S, g_uCtrl, nullptr},
   {"Export PNG...", SDLK_s, SDL_SCANCODE_S, KMOD_LALT, "s"},
   // The right Alt, where it is no AltGr, types its text too.
   {"Export PNG...", SDLK_s, SDL_SCANCODE_S, KMOD_RALT, "s"},
   {"Export PSD...", SDLK_s, SDL_SCANCODE_S, KMOD_LCTRL | KMOD_LALT, nullptr},
   {"Export Resolume Arena...", SDLK_r, SDL_SCANCODE_R, KMOD_LCTRL | KMOD_LALT, nullptr},
   // Live Output
   {"No Live Output", SDLK_p, SDL_SCANCODE_P, g_uCtrl, nullptr},
};

// What the shortcuts change, taken before and after each.
struct document_state
{
   project * m_pproject = nullptr;
   long long m_iLayers = 0;
   std::map<string_base, int> m_switches;
   long long m_iExcluded = 0;
   std::map<string_base, bool> m_windows;
   // The open file dialog: its kind ("open" or "save") and its first filter's pattern.
   string_base m_strDialog;
};

class typed_shortcuts : public testing::Test, protected running_application
{
protected:
   void SetUp() override { start_main_window(); }
   void TearDown() override { stop(); }

   // Control, Shift and the Alt keys go down in that order and come up after the key; returns what the
   // menu printed.
   string_base type(const typed_key & key)
   {
      struct modifier_key
      {
         std::uint16_t m_uModifier;
         SDL_Keycode m_keycode;
         SDL_Scancode m_scancode;
      };
      const modifier_key modifiers[] = {{KMOD_LCTRL, SDLK_LCTRL, SDL_SCANCODE_LCTRL},
                                        {KMOD_LSHIFT, SDLK_LSHIFT, SDL_SCANCODE_LSHIFT},
                                        {KMOD_LALT, SDLK_LALT, SDL_SCANCODE_LALT},
                                        {KMOD_RALT, SDLK_RALT, SDL_SCANCODE_RALT}};
      const std::uint32_t uWindow = window()->window_id();
      std::uint16_t uHeld = 0;
      for (const modifier_key & modifier : modifiers)
      {
         if (key.m_uModifiers & modifier.m_uModifier)
         {
            uHeld |= modifier.m_uModifier;
            sdl_events::push_key(uWindow, SDL_KEYDOWN, modifier.m_keycode, modifier.m_scancode, uHeld);
         }
      }
      sdl_events::push_key(uWindow, SDL_KEYDOWN, key.m_keycode, key.m_scancode, uHeld, key.m_pszText);
      sdl_events::push_key(uWindow, SDL_KEYUP, key.m_keycode, key.m_scancode, uHeld);
      for (auto it = std::rbegin(modifiers); it != std::rend(modifiers); ++it)
      {
         if (key.m_uModifiers & it->m_uModifier)
         {
            uHeld &= static_cast<std::uint16_t>(~it->m_uModifier);
            sdl_events::push_key(uWindow, SDL_KEYUP, it->m_keycode, it->m_scancode, uHeld);
         }
      }
      testing::internal::CaptureStdout();
      process_events();
      return testing::internal::GetCapturedStdout();
   }

   zelui::FileDialog * open_dialog() const { return dialog_on<zelui::FileDialog>(*screen()); }

   document_state state() const
   {
      document_state state;
      state.m_pproject = global()->current_project();
      state.m_iLayers = state.m_pproject->get_layers_count();
      if (boxes_layer * player = state.m_pproject->current_boxes_layer().get())
      {
         state.m_switches = {{"DrawGrid", player->DrawGrid},       {"DrawCircle", player->DrawCircle},
                             {"CornersMode", player->CornersMode}, {"DrawScreenSize", player->DrawScreenSize},
                             {"DrawBoxesNames", player->DrawBoxesNames}, {"DrawPower", player->DrawPower},
                             {"DrawSnake", player->DrawSnake},     {"SnakeMode", player->m_descriptionData.m_iMode}};
         state.m_iExcluded = player->count_excluded_inside_grid();
      }
      for (SettingsBaseWindow * pwindow : screen()->tool_windows())
      {
         state.m_windows[pwindow->title()] = pwindow->stored_visibility();
      }
      if (zelui::FileDialog * pdialog = open_dialog())
      {
         const file::file_dialog * pfile = pdialog->dialog();
         state.m_strDialog = string_base(pfile->kind() == file::file_dialog::e_kind_open ? "open " : "save ") +
                             pfile->filter().items().front().m_strPattern;
      }
      return state;
   }
};

// The one change each item makes, in the terms of `document_state`.
void expect_change(const string_base & strCaption, const document_state & before, const document_state & after)
{
   document_state expected = before;
   expected.m_strDialog.clear();
   auto flip = [&](const char * pszSwitch) { expected.m_switches[pszSwitch] = before.m_switches.at(pszSwitch) == 0 ? 1 : 0; };
   const std::map<string_base, const char *> switches = {
      {"Outline", "DrawGrid"},          {"Centering Circle", "DrawCircle"}, {"Screen Size Label", "DrawScreenSize"},
      {"Cabinet ID", "DrawBoxesNames"}, {"Power Label", "DrawPower"},       {"Data Path", "DrawSnake"}};
   const std::map<string_base, const char *> windows = {
      {"Screen Info", "Screen Info"}, {"Labels Info", "Labels"},       {"Data tools", "Data-Flow Diagram"},
      {"Power tools", "Power"},       {"Color tools", "Colors        "}, {"Raster Label tool", "Raster Label"}};
   const std::map<string_base, const char *> dialogs = {
      {"Add Image Layer", "open *.png"},    {"Open Project...", "open *.tvsx"}, {"Save Project...", "save *.tvsx"},
      {"Export PNG...", "save *.png"},      {"Export PSD...", "save *.psd"},
      {"Export Resolume Arena...", "save *.xml"}};
   if (switches.contains(strCaption))
   {
      flip(switches.at(strCaption));
   }
   else if (strCaption.starts_with("Path Pattern "))
   {
      expected.m_switches["SnakeMode"] = std::atoi(strCaption.c_str() + 13) - 1;
   }
   else if (strCaption == "XY Offsets Label")
   {
      expected.m_switches["CornersMode"] = before.m_switches.at("CornersMode") ^ 1;
   }
   else if (strCaption == "Background Color")
   {
      EXPECT_NE(after.m_iExcluded, before.m_iExcluded);
      expected.m_iExcluded = after.m_iExcluded;
   }
   else if (windows.contains(strCaption))
   {
      expected.m_windows[windows.at(strCaption)] = !before.m_windows.at(windows.at(strCaption));
   }
   else if (strCaption == "Add Screen Layer" || strCaption == "Clone Current Layer" ||
            strCaption == "Delete Current Layer")
   {
      // The current layer may be another one afterwards.
      expected.m_iLayers = before.m_iLayers + (strCaption == "Delete Current Layer" ? -1 : 1);
      expected.m_switches = after.m_switches;
      expected.m_iExcluded = after.m_iExcluded;
   }
   else if (strCaption == "New")
   {
      EXPECT_NE(after.m_pproject, before.m_pproject);
      expected = after;
   }
   else if (dialogs.contains(strCaption))
   {
      expected.m_strDialog = dialogs.at(strCaption);
   }
   // Items that change nothing here ("No Live Output" without live output) are told apart by the id
   // they print.
   EXPECT_EQ(after.m_pproject, expected.m_pproject);
   EXPECT_EQ(after.m_iLayers, expected.m_iLayers);
   EXPECT_EQ(after.m_switches, expected.m_switches);
   EXPECT_EQ(after.m_iExcluded, expected.m_iExcluded);
   EXPECT_EQ(after.m_windows, expected.m_windows);
   EXPECT_EQ(after.m_strDialog, expected.m_strDialog);
}

} // namespace

TEST_F(typed_shortcuts, every_shortcut_of_the_menu_runs_its_item_once)
{
   // The id each item prints: its place in its drop-down.
   const std::map<string_base, int> ids = {
      {"New", 0}, {"Open Project...", 1}, {"Save Project...", 2}, {"Export PNG...", 3}, {"Export PSD...", 4},
      {"Export Resolume Arena...", 5}, {"Add Screen Layer", 0}, {"Add Image Layer", 1}, {"Clone Current Layer", 3},
      {"Delete Current Layer", 4}, {"Background Color", 0}, {"Outline", 1}, {"Centering Circle", 2},
      {"XY Offsets Label", 3}, {"Screen Size Label", 4}, {"Cabinet ID", 5}, {"Power Label", 6}, {"Data Path", 7},
      {"Screen Info", 0}, {"Labels Info", 1}, {"Data tools", 2}, {"Power tools", 3}, {"Color tools", 4},
      {"Raster Label tool", 5}, {"No Live Output", 0}};
   for (const typed_key & key : g_shortcuts)
   {
      SCOPED_TRACE(key.m_pszCaption);
      const string_base strCaption = key.m_pszCaption;
      const document_state before = state();
      const string_base strPrinted = type(key);
      const int iId = strCaption.starts_with("Path Pattern ") ? 8 + std::atoi(key.m_pszCaption + 13) - 1 : ids.at(strCaption);
      // One item ran; loading a document may print its own diagnostics after the id.
      const string_base strPrefix = "Submenu clicked, id: ";
      EXPECT_TRUE(strPrinted.starts_with(strPrefix)) << strPrinted;
      EXPECT_EQ(std::atoi(strPrinted.c_str() + strPrefix.size()), iId);
      EXPECT_EQ(strPrinted.find(strPrefix, 1), string_base::npos) << strPrinted;
      expect_change(strCaption, before, state());
      if (zelui::FileDialog * pdialog = open_dialog())
      {
         pdialog->dialog()->cancel();
         process_events();
      }
   }
}

TEST_F(typed_shortcuts, the_press_that_opens_a_dialog_types_nothing_into_its_name_box)
{
   type({"Export PNG...", SDLK_s, SDL_SCANCODE_S, KMOD_RALT, "s"});
   zelui::FileDialog * pdialog = open_dialog();
   ASSERT_NE(pdialog, nullptr);
   auto * pname = dynamic_cast<zelui::TextBox *>(pdialog->child_at(0));
   ASSERT_NE(pname, nullptr);
   EXPECT_EQ(pname->text(), pdialog->folder().as_string() + "/");
}

TEST_F(typed_shortcuts, keys_typed_while_a_dialog_is_open_are_the_dialog_s_only)
{
   type({"Save Project...", SDLK_s, SDL_SCANCODE_S, g_uCtrl, nullptr});
   zelui::FileDialog * pdialog = open_dialog();
   ASSERT_NE(pdialog, nullptr);
   auto * pname = dynamic_cast<zelui::TextBox *>(pdialog->child_at(0));
   ASSERT_NE(pname, nullptr);
   const string_base strFolder = pname->text();
   auto pboxes = global()->current_project()->current_boxes_layer();
   pboxes->m_descriptionData.m_iCustomPath = 1;
   pboxes->m_descriptionData.custom_paths = {{0, 1}};
   const document_state before = state();

   // "New" would throw the document away behind the dialog; the focus-skip key would leave it (in
   // the dialog, Tab goes round the dialog's own controls).
   EXPECT_EQ(type({"New", SDLK_n, SDL_SCANCODE_N, g_uCtrl, nullptr}), "");
   type({"w", SDLK_w, SDL_SCANCODE_W, 0, "w"});
   type({"space", SDLK_SPACE, SDL_SCANCODE_SPACE, 0, " "});
   type({"a", SDLK_a, SDL_SCANCODE_A, 0, "a"});
   EXPECT_EQ(type({"Tab", SDLK_TAB, SDL_SCANCODE_TAB, 0, nullptr}), "");

   EXPECT_EQ(open_dialog(), pdialog);
   EXPECT_EQ(pname->value(), strFolder + "w a");
   EXPECT_TRUE(pdialog->is_ancestor_of(screen()->focused_widget()));
   const document_state after = state();
   EXPECT_EQ(after.m_pproject, before.m_pproject);
   EXPECT_EQ(after.m_iLayers, before.m_iLayers);
   EXPECT_EQ(pboxes->m_descriptionData.custom_paths.size(), 1u);
}

TEST_F(typed_shortcuts, keys_typed_while_a_message_box_is_open_answer_it_and_run_nothing)
{
   global()->show_error("Something went wrong.");
   process_events();
   project * pproject = global()->current_project();
   EXPECT_EQ(type({"New", SDLK_n, SDL_SCANCODE_N, g_uCtrl, nullptr}), "");
   EXPECT_EQ(type({"Add Screen Layer", SDLK_EQUALS, SDL_SCANCODE_EQUALS, g_uCtrl, nullptr}), "");
   EXPECT_EQ(global()->current_project(), pproject);
   ASSERT_NE(screen()->modal_window(), nullptr);

   type({"Return", SDLK_RETURN, SDL_SCANCODE_RETURN, 0, nullptr});
   EXPECT_EQ(screen()->modal_window(), nullptr);
   EXPECT_TRUE(type({"New", SDLK_n, SDL_SCANCODE_N, g_uCtrl, nullptr}).starts_with("Submenu clicked, id: 0"));
}

TEST_F(typed_shortcuts, a_space_typed_into_a_text_box_opens_no_new_custom_path)
{
   auto pboxes = global()->current_project()->current_boxes_layer();
   pboxes->m_descriptionData.m_iCustomPath = 1;
   pboxes->m_descriptionData.custom_paths = {{0, 1}};
   // The focus-skip key puts the focus into the first field of the focus order.
   type({"Tab", SDLK_TAB, SDL_SCANCODE_TAB, 0, nullptr});
   auto * pfield = dynamic_cast<zelui::TextBox *>(screen()->focused_widget());
   ASSERT_NE(pfield, nullptr);
   ASSERT_TRUE(pfield->is_editing());

   type({"space", SDLK_SPACE, SDL_SCANCODE_SPACE, 0, " "});
   EXPECT_NE(pfield->text().find(' '), string_base::npos) << pfield->text();
   EXPECT_EQ(pboxes->m_descriptionData.custom_paths.size(), 1u);

   // With the edit dropped and the focus gone, the space is the canvas's again.
   type({"Escape", SDLK_ESCAPE, SDL_SCANCODE_ESCAPE, 0, nullptr});
   screen()->set_focus_to(nullptr);
   type({"space", SDLK_SPACE, SDL_SCANCODE_SPACE, 0, " "});
   EXPECT_EQ(pboxes->m_descriptionData.custom_paths.size(), 2u);
}

TEST_F(typed_shortcuts, the_german_keys_where_a_us_layout_has_equals_and_minus_run_nothing)
{
   const long long iLayers = state().m_iLayers;
   // "ß" and the dead acute accent.
   EXPECT_EQ(type({"", 0xDF, SDL_SCANCODE_MINUS, g_uCtrl, nullptr}), "");
   EXPECT_EQ(type({"", 0xB4, SDL_SCANCODE_EQUALS, g_uCtrl, nullptr}), "");
   EXPECT_EQ(state().m_iLayers, iLayers);
}

TEST_F(typed_shortcuts, a_shortcut_commits_the_text_typed_into_a_box_before_its_item_runs)
{
   SettingsBaseWindow * praster = nullptr;
   for (SettingsBaseWindow * pwindow : screen()->tool_windows())
   {
      praster = dynamic_cast<SettingsRasterLabel *>(pwindow) ? pwindow : praster;
   }
   ASSERT_NE(praster, nullptr);
   // The box that follows the caption "Line 3:" in the window's grid.
   std::function<zelui::TextBox *(zelui::Widget &)> line_3 = [&](zelui::Widget & widget) -> zelui::TextBox * {
      const auto & children = widget.children();
      for (long long i = 0; i < children.count(); ++i)
      {
         auto * pcaption = dynamic_cast<zelui::Label *>(children[i].get());
         if (pcaption && pcaption->caption() == "Line 3:" && children.has_index(i + 1))
         {
            return dynamic_cast<zelui::TextBox *>(children[i + 1].get());
         }
         if (zelui::TextBox * pfound = line_3(*children[i]))
         {
            return pfound;
         }
      }
      return nullptr;
   };
   zelui::TextBox * pline = line_3(*praster);
   ASSERT_NE(pline, nullptr);
   pline->request_focus();
   for (const char * pszLetter : {"h", "e", "l", "l", "o"})
   {
      type({pszLetter, SDLK_UNKNOWN, SDL_SCANCODE_UNKNOWN, 0, pszLetter});
   }
   type({"Labels Info", SDLK_5, SDL_SCANCODE_5, g_uCtrlShift, "%"});
   const string_array_base & lines = global()->current_project()->m_straRasterLabel;
   ASSERT_GT(lines.count(), 2);
   EXPECT_EQ(lines[2], "hello");
   EXPECT_EQ(pline->text(), "hello");
}
