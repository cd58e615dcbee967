// A seeded random session on the running program (its application and main window on SDL's
// offscreen video): menu items, clicks, drags and presses on empty places and outside the window,
// wheel turns, keys, typed values and window resizes, delivered as the window delivers them, the
// events the program posts to itself handled after each action, a frame drawn now and then and the
// file dialogs answered with files of a folder of the test's own. The session ends as a user ends
// the program (the close box, "Yes") and the program's own teardown follows. Nothing it does may
// crash the program or trip a sanitizer, the document it leaves must save and read back to itself,
// and the files the program keeps in its data folder must be whole before the teardown. Nothing it
// writes may land outside that folder: an open dialog is kept showing it. Between its other actions
// it opens message boxes as a user does (the close box, a web link that finds no browser, a file
// that is no project) and answers the box on top with one key or one click, pushed into the
// window's event queue as the desktop sends them: that one input must take the box off the screen,
// and the window must draw again without it.
//
// BRISVANE_SESSION_ACTIONS sets the number of actions (300 unless set) and BRISVANE_SESSION_SEED the
// seed (1 unless set); a failure names the seed and the actions that led to it, and
// BRISVANE_SESSION_LOG=1 writes every action to standard error as it happens (for a crash).

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <random>

#include "core/Global.h"
#include "document/boxes_layer.h"
#include "document/image_layer.h"
#include "document/project.h"
#include "host/context.h"
#include "host/event_loop.h"
#include "host/request.h"
#include "orvo/file_system.h"
#include "orvo/image.h"
#include "orvo/image_service.h"
#include "orvo/trace.h"
#include "panels/TopMenu.h"
#include "panels/TopMenuMain.h"
#include "panels/TopMenuSubmenu.h"
#include "panels/WidgetWithBackground.h"
#include "running_application.h"
#include "screen/MainScreen.h"
#include "screen/application.h"
#include "screen/main_window.h"
#include "screen_dialogs.h"
#include "sdl_events.h"
#include "toolwindows/SettingsBoxes.h"
#include "widgets_in.h"
#include "zel2d/context.h"
#include "zelui/Button.h"
#include "zelui/FileDialog.h"
#include "zelui/MessageDialog.h"
#include "zelui/TextBox.h"
#include "zelui/file_dialog.h"
#include "zelui/mouse.h"

using namespace Tarvossa_BrisvanePro;

namespace
{

long long environment_number(const char * pszName, long long iDefault)
{
   const char * pszValue = std::getenv(pszName);
   return pszValue && *pszValue ? std::atoll(pszValue) : iDefault;
}

// What a user types into number fields, the awkward included.
const char * const g_typedValues[] = {
   "0",     "1",      "-1",     "7",      "100",   "2147483647", "-2147483648", "2147483648", "99999999999",
   "1e12",  "1e999",  "1e308",  "-1e308", "nan",   "inf",        "1/0",         "0/0",        "3*7+2",
   "(",     "",       "abc",    "  12  ", "0x10",  "1,5",        "12.7",        "-0.5",       "65535",
   "65536", "16384",  "\xD9\xA3", "\xF0\x9F\x8E\xA5", "A1\tB2",
};

// What the session types into the columns and rows of a screen layer. The hit tests search grids
// of any size at once, but "Background Color" keeps a key per box and the paths a record per box
// (see `boxes_layer`), so a grid of tens of thousands of columns and of rows (allowed, up to 65535
// each) would take the session minutes and gigabytes: its grids stay walkable.
const char * const g_typedGridCounts[] = {"0", "1", "-1", "7", "40", "300", "2*3", "", "abc", "nan", "("};

// A modifier set as the window reports it, and the keys that make it.
struct modifiers
{
   std::uint64_t m_uFlags;
   std::vector<user::enum_key> m_keys;
};

const modifiers g_modifiers[] = {
   {0, {}},
   {0, {}},
   {0, {}},
   {user::e_key_left_shift, {user::e_key_left_shift}},
   {user::e_key_left_control, {user::e_key_left_control}},
   {user::e_key_left_alt, {user::e_key_left_alt}},
   {user::e_key_left_shift | user::e_key_left_control, {user::e_key_left_shift, user::e_key_left_control}},
};

// Keys that do something somewhere: shortcuts, focus moves, editing keys, the canvas's space.
const user::enum_key g_keys[] = {
   user::e_key_a,      user::e_key_d,      user::e_key_i,       user::e_key_n,    user::e_key_o,   user::e_key_p,
   user::e_key_s,      user::e_key_x,      user::e_key_1,       user::e_key_4,    user::e_key_8,   user::e_key_9,
   user::e_key_equal,  user::e_key_minus,  user::e_key_space,   user::e_key_tab,  user::e_key_return,
   user::e_key_escape, user::e_key_delete, user::e_key_backspace, user::e_key_left, user::e_key_up, user::e_key_home,
   user::e_key_end,    user::e_key_f1,
};

// The text a key types without modifiers, as the window sends it along with the press.
string_base text_of(user::enum_key ekey, std::uint64_t uModifiers)
{
   if ((uModifiers & (user::e_key_left_control | user::e_key_left_alt)) != 0)
   {
      return {};
   }
   const bool bShift = (uModifiers & user::e_key_left_shift) != 0;
   if (ekey >= user::e_key_a && ekey <= user::e_key_z)
   {
      return string_base(1, static_cast<char>((bShift ? 'A' : 'a') + (ekey - user::e_key_a)));
   }
   if (ekey >= user::e_key_0 && ekey <= user::e_key_9)
   {
      return string_base(1, static_cast<char>('0' + (ekey - user::e_key_0)));
   }
   switch (ekey)
   {
   case user::e_key_equal: return bShift ? "+" : "=";
   case user::e_key_minus: return bShift ? "_" : "-";
   case user::e_key_space: return " ";
   default: return {};
   }
}

// The program as the host runs it: the application started with its default document in its main
// window, on SDL's offscreen video, with a data and home folder of its own.
class running_program : public running_application
{
public:
   running_program()
   {
      ::setenv("SDL_VIDEODRIVER", "offscreen", 1);
      start();
      m_papplication->on_request(make_pointer<request>(e_command_application_started).get());
      handle_posted_events();
   }

   ~running_program()
   {
      if (m_papplication)
      {
         end();
      }
   }

   main_window * window() const { return m_papplication->get_main_window(); }
   MainScreen * screen() const { return window()->get_main_screen(); }
   const std::filesystem::path & folder() const noexcept { return m_folder; }

   // Handles what the program posted to itself (redraws, messages); true when it asked to quit.
   static bool handle_posted_events() { return !platform::context::event_loop()->process_pending_events(); }

   // The program's own end, as the host runs it once its event loop has ended.
   void end()
   {
      stop();
      platform::context::event_loop()->reset_quit();
   }
};

class random_session
{
public:
   random_session(unsigned uSeed, running_program & program) :
      m_random(uSeed),
      m_program(program),
      m_pscreen(program.screen()),
      m_pglobal(m_pscreen->get_global()),
      m_folder(program.folder() / "session"),
      m_size(m_pscreen->size()),
      m_image(m_size.width, m_size.height),
      m_context(&m_image)
   {
      prepare_files();
      file::file_dialog::set_answer_hook([this](file::file_dialog * pdialog) { answer(pdialog); });
      frame();
   }

   ~random_session() { file::file_dialog::set_answer_hook({}); }

   void run(long long iActions)
   {
      for (long long i = 0; i < iActions; ++i)
      {
         ++m_iActions;
         if (i == iActions / 2)
         {
            // Half way, the sizes at the ends of their ranges: what follows acts on them.
            note("open extreme.tvsx");
            as_the_host([this] { m_pglobal->load_project_from_file(file::path((m_folder / "extreme.tvsx").c_str())); });
         }
         as_the_host([this] { act(); });
         handle_posted_events();
         keep_dialogs_in_folder();
         if (pick(3) == 0)
         {
            as_the_host([this] { frame(); });
         }
      }
      as_the_host([this] { frame(); });
   }

   // Ends the program after a last press on an empty place or outside the window, as a user does:
   // the close box and "Yes" in the box it opens, or the end of the desktop session (SIGTERM,
   // which SDL turns into its quit event). True when the program then left its event loop.
   bool end_the_program()
   {
      const point_type<int> point = pick(2) == 0 ? empty_place() : outside_the_window();
      note(format("press and release at %d,%d", point.x, point.y));
      as_the_host([&] {
         press_at(point, user::e_mouse_left_button, true, false, 0);
         press_at(point, user::e_mouse_left_button, false, false, 0);
      });
      if (pick(2) == 0)
      {
         note("SIGTERM");
         std::raise(SIGTERM);
         return running_program::handle_posted_events();
      }
      note("close box");
      as_the_host([this] { m_pscreen->on_window_close(); });
      const std::vector<zelui::MessageDialog *> boxes = dialogs_on<zelui::MessageDialog>(*m_pscreen, "Quit");
      if (boxes.empty())
      {
         return false;
      }
      as_the_host([&boxes] { boxes.back()->answer(0); });
      return running_program::handle_posted_events();
   }

   // What went wrong on the way, each with the action it came at: an exception that left the
   // handling of an event or a frame, a message box that one key or click did not answer.
   const std::vector<string_base> & faults() const noexcept { return m_faults; }

   // The last actions, for the failure message.
   string_base history() const
   {
      string_base str;
      for (const string_base & strAction : m_history)
      {
         str += strAction + "\n";
      }
      return str;
   }

   long long actions_done() const noexcept { return m_iActions; }
   Global * controller() const noexcept { return m_pglobal; }

private:
   int pick(int iCount) { return std::uniform_int_distribution<int>(0, iCount - 1)(m_random); }
   template <typename T, std::size_t N>
   const T & pick_of(const T (&items)[N])
   {
      return items[pick(static_cast<int>(N))];
   }
   // Anywhere in the window; now and then a place no widget covers, or a place outside the window
   // as a captured drag reports it (-1, -1 when it left at the top left).
   point_type<int> random_point()
   {
      switch (pick(8))
      {
      case 0: return empty_place();
      case 1: return outside_the_window();
      default: return {pick(m_size.width), pick(m_size.height)};
      }
   }

   point_type<int> empty_place()
   {
      for (int iTry = 0; iTry < 50; ++iTry)
      {
         const point_type<int> point{pick(m_size.width), pick(m_size.height)};
         if (m_pscreen->find_widget(point) == m_pscreen)
         {
            return point;
         }
      }
      return {-1, -1};
   }

   point_type<int> outside_the_window()
   {
      const point_type<int> points[] = {
         {-1, -1}, {m_size.width, m_size.height}, {-40, pick(m_size.height)}, {pick(m_size.width), m_size.height + 30}};
      return pick_of(points);
   }

   void fault(const string_base & strFault) { m_faults.push_back(format("action %lld: ", m_iActions) + strFault); }

   void note(string_base strAction)
   {
      if (m_bLog)
      {
         std::fprintf(stderr, "%lld: %s\n", m_iActions, strAction.c_str());
      }
      m_history.push_back(format("%lld: ", m_iActions) + strAction);
      if (m_history.size() > 40)
      {
         m_history.pop_front();
      }
   }

   // Files the dialogs are answered with: a picture, a project read only in part, a FIFO, a folder,
   // and names of files that are not there yet.
   void prepare_files()
   {
      std::filesystem::create_directories(m_folder / "folder");
      auto pimage = make_pointer<image::image>(40, 30);
      pimage->fill(color::color{200, 40, 40, 255});
      image::save_image(*pimage, m_folder / "picture.png", image::save_options{});
      std::ofstream(m_folder / "partial.tvsx") << "BRISVANE_LED_PROJECT v2 3 0\n1 9\nName:Part3 6\nName:x";
      std::ofstream(m_folder / "garbage.tvsx") << "garbage, no project";
      ::mkfifo((m_folder / "pipe.tvsx").c_str(), 0600);
      write_extreme_project(pimage);
      m_paths = {m_folder / "session.tvsx", m_folder / "picture.png", m_folder / "partial.tvsx", m_folder / "pipe.tvsx",
                 m_folder / "folder",       m_folder / "export.png",  m_folder / "export.psd",   m_folder / "presets",
                 m_folder / "session.xml",  m_folder / "extreme.tvsx"};
   }

   // A project of sizes at the ends of their ranges: image layers up to 2147483647 pixels a side,
   // and a screen layer of panels larger than any screen with every size label on.
   void write_extreme_project(const pointer<image::image> & ppicture)
   {
      auto pproject = make_pointer<project>(nullptr);
      const size_type<int> sizes[] = {{2147483647, 2147483647}, {70000, 70000}, {1, 2147483647}, {65535, 4097}};
      for (const size_type<int> & size : sizes)
      {
         pointer<image_layer> player = pproject->new_image_layer();
         player->set_image(ppicture);
         player->set_width(size.width);
         player->set_height(size.height);
      }
      pproject->new_boxes_layer()->apply_layer_info(
         "PhysW:1e12\nPhysH:1e999\nWeightPerPanel:1e38\nShowMM:1\nShowFT:1\nShowScreenWeight:1\n"
         "ShowScreenDiagonal:1\nScreenDiagonalUnit:feet\nDrawInfoLine:1\nDrawScreenSize:1\n");
      ASSERT_TRUE(pproject->save_project_to_file(file::path((m_folder / "extreme.tvsx").c_str())));
   }

   bool is_in_folder(scoped_string_base strPath) const
   {
      const string_base strFolder = m_folder.string() + "/";
      return string_base(strPath).starts_with(strFolder) || strPath == m_folder.string();
   }

   // A dialog opens in the folder the last one showed (at first the working folder), and a user
   // may leave it for any other folder, through the listing or by wiping the path box; the session
   // takes every open dialog back to its own folder, so that a typed name is written there.
   void keep_dialogs_in_folder()
   {
      for (zelui::FileDialog * pdialog : dialogs_on<zelui::FileDialog>(*m_pscreen))
      {
         const zelui::TextBox * ppath = path_box_of(*pdialog);
         if (!is_in_folder(pdialog->folder().as_string()) || (ppath && !is_in_folder(ppath->text())))
         {
            pdialog->set_folder(file::path(m_folder.string()));
         }
      }
   }

   static const zelui::TextBox * path_box_of(const zelui::FileDialog & dialog)
   {
      for (const pointer<zelui::Widget> & pchild : dialog.children())
      {
         if (const auto * ptextbox = dynamic_cast<const zelui::TextBox *>(pchild.get()))
         {
            return ptextbox;
         }
      }
      return nullptr;
   }

   void answer(file::file_dialog * pdialog)
   {
      if (pick(4) == 0)
      {
         note("dialog cancelled");
         pdialog->cancel();
         return;
      }
      const std::filesystem::path & path = m_paths[pick(static_cast<int>(m_paths.size()))];
      const long long iFilter = pick(static_cast<int>(pdialog->filter().items().size()) + 1) - 1;
      note(format("dialog answered %s, filter %lld", path.filename().c_str(), iFilter));
      pdialog->answer(path.string(), iFilter);
   }

   void frame()
   {
      m_pscreen->on_window_frame(&m_context, true);
   }

   void handle_posted_events()
   {
      if (running_program::handle_posted_events())
      {
         // The user answered "Yes" to the quit question: the program would end here. The session
         // goes on; its end takes the same way out.
         note("the program was asked to quit");
         platform::context::event_loop()->reset_quit();
      }
   }

   // The host's event loop reports an exception that leaves the handling of one event on standard
   // error and goes on; the session notes it and goes on the same way.
   template <typename STEP>
   void as_the_host(STEP step)
   {
      try
      {
         step();
      }
      catch (const std::exception & exception)
      {
         fault(format("an exception left the handling of an event: %s", exception.what()));
      }
   }

   void act()
   {
      switch (pick(10))
      {
      case 0:
      case 1: click(); break;
      case 2:
      case 3: drag(); break;
      case 4: key(); break;
      case 5:
      case 6: type_value(); break;
      case 7: menu_item(); break;
      case 8: wheel(); break;
      default: message_box_or_resize(); break;
      }
   }

   void hold(const modifiers & held, bool bDown)
   {
      for (const user::enum_key ekey : held.m_keys)
      {
         m_pscreen->on_window_keyboard(ekey, 0, bDown ? user::e_key_action_press : user::e_key_action_release,
                                       enumeration<user::enum_key>(bDown ? held.m_uFlags : 0), {});
      }
   }

   void press_at(point_type<int> point, user::enum_mouse ebutton, bool bDown, bool bDouble, std::uint64_t uModifiers)
   {
      const std::uint64_t uState = uModifiers | (bDown ? static_cast<std::uint64_t>(user::held_flag(ebutton)) : 0);
      m_pscreen->on_window_mouse_button(point, ebutton, bDown, bDouble, enumeration<user::enum_key>(uState));
   }

   user::enum_mouse random_button()
   {
      const int i = pick(20);
      return i < 16 ? user::e_mouse_left_button : i < 19 ? user::e_mouse_right_button : user::e_mouse_middle_button;
   }

   void click()
   {
      const point_type<int> point = random_point();
      const modifiers & held = pick_of(g_modifiers);
      const user::enum_mouse ebutton = random_button();
      const bool bDouble = pick(8) == 0;
      note(format("click %d at %d,%d, modifiers %llx%s", ebutton, point.x, point.y,
                  static_cast<unsigned long long>(held.m_uFlags), bDouble ? ", double" : ""));
      hold(held, true);
      m_pscreen->on_window_mouse_motion(point, enumeration<user::enum_key>(held.m_uFlags));
      press_at(point, ebutton, true, false, held.m_uFlags);
      press_at(point, ebutton, false, false, held.m_uFlags);
      if (bDouble)
      {
         press_at(point, ebutton, true, true, held.m_uFlags);
         press_at(point, ebutton, false, false, held.m_uFlags);
      }
      hold(held, false);
   }

   void drag()
   {
      const point_type<int> from = random_point();
      const point_type<int> to = random_point();
      const modifiers & held = pick_of(g_modifiers);
      const user::enum_mouse ebutton = random_button();
      const int iSteps = 1 + pick(6);
      note(format("drag %d from %d,%d to %d,%d in %d steps, modifiers %llx", ebutton, from.x, from.y, to.x, to.y, iSteps,
                  static_cast<unsigned long long>(held.m_uFlags)));
      hold(held, true);
      m_pscreen->on_window_mouse_motion(from, enumeration<user::enum_key>(held.m_uFlags));
      press_at(from, ebutton, true, false, held.m_uFlags);
      const std::uint64_t uState = held.m_uFlags | static_cast<std::uint64_t>(user::held_flag(ebutton));
      for (int i = 1; i <= iSteps; ++i)
      {
         const point_type<int> point{from.x + (to.x - from.x) * i / iSteps, from.y + (to.y - from.y) * i / iSteps};
         m_pscreen->on_window_mouse_motion(point, enumeration<user::enum_key>(uState));
         if (pick(3) == 0)
         {
            frame();
         }
         if (pick(8) == 0)
         {
            note("the pointer leaves the window");
            m_pscreen->on_window_mouse_enter(outside_the_window(), false, enumeration<user::enum_key>(uState));
         }
      }
      press_at(to, ebutton, false, false, held.m_uFlags);
      hold(held, false);
   }

   void key()
   {
      const user::enum_key ekey = pick_of(g_keys);
      const modifiers & held = pick_of(g_modifiers);
      note(format("key %llu, modifiers %llx", static_cast<unsigned long long>(ekey), static_cast<unsigned long long>(held.m_uFlags)));
      hold(held, true);
      const enumeration<user::enum_key> emodifiers(held.m_uFlags);
      m_pscreen->on_window_keyboard(ekey, 0, user::e_key_action_press, emodifiers, text_of(ekey, held.m_uFlags));
      m_pscreen->on_window_keyboard(ekey, 0, user::e_key_action_release, emodifiers, {});
      hold(held, false);
   }

   void type_key(user::enum_key ekey, const string_base & strText = {})
   {
      m_pscreen->on_window_keyboard(ekey, 0, user::e_key_action_press, {}, strText);
      m_pscreen->on_window_keyboard(ekey, 0, user::e_key_action_release, {}, {});
   }

   // The text boxes a user can reach now: shown and inside the screen.
   std::vector<zelui::TextBox *> reachable_text_boxes(zelui::Widget * pwidget, std::vector<zelui::TextBox *> boxes = {})
   {
      for (const pointer<zelui::Widget> & pchild : pwidget->children())
      {
         if (!pchild->visible())
         {
            continue;
         }
         if (auto * ptextbox = dynamic_cast<zelui::TextBox *>(pchild.get()); ptextbox && ptextbox->enabled())
         {
            const point_type<int> point = ptextbox->absolute_position();
            if (point.x >= 0 && point.y >= 0 && point.x < m_size.width && point.y < m_size.height)
            {
               boxes.push_back(ptextbox);
            }
         }
         boxes = reachable_text_boxes(pchild.get(), std::move(boxes));
      }
      return boxes;
   }

   // Clicks a field, wipes what it holds and types a value, then leaves it with Return, Tab or
   // Escape.
   void type_value()
   {
      const std::vector<zelui::TextBox *> boxes = reachable_text_boxes(m_pscreen);
      if (boxes.empty())
      {
         return;
      }
      zelui::TextBox * ptextbox = boxes[pick(static_cast<int>(boxes.size()))];
      const point_type<int> position = ptextbox->absolute_position();
      const point_type<int> point{position.x + ptextbox->width() / 2, position.y + ptextbox->height() / 2};
      SettingsBoxes * pscreeninfo = m_pscreen->get_screen_info_window();
      const bool bGridCount = ptextbox == pscreeninfo->m_ptextboxColumns || ptextbox == pscreeninfo->m_ptextboxRows;
      // A dialog's path box shows its folder: the value names a file there, typed after it.
      const bool bPathBox = dynamic_cast<zelui::FileDialog *>(ptextbox->parent()) != nullptr;
      const string_base strValue = bGridCount ? pick_of(g_typedGridCounts) : pick_of(g_typedValues);
      const user::enum_key ekeyEnd = pick(5) == 0 ? user::e_key_escape : pick(3) == 0 ? user::e_key_tab : user::e_key_return;
      note(format("type \"%s\" into the field at %d,%d, then key %llu", strValue.c_str(), point.x, point.y,
                  static_cast<unsigned long long>(ekeyEnd)));
      m_pscreen->on_window_mouse_motion(point, {});
      press_at(point, user::e_mouse_left_button, true, false, 0);
      press_at(point, user::e_mouse_left_button, false, false, 0);
      type_key(user::e_key_end);
      for (int i = 0; i < (bPathBox ? 0 : 24); ++i)
      {
         type_key(user::e_key_backspace);
      }
      for (const char ch : strValue)
      {
         type_key(user::e_key_none, string_base(1, ch));
      }
      type_key(ekeyEnd);
   }

   void click_centre_of(zelui::Widget * pwidget)
   {
      const point_type<int> position = pwidget->absolute_position();
      const point_type<int> point{position.x + pwidget->width() / 2, position.y + pwidget->height() / 2};
      m_pscreen->on_window_mouse_motion(point, {});
      press_at(point, user::e_mouse_left_button, true, false, 0);
      press_at(point, user::e_mouse_left_button, false, false, 0);
   }

   // Opens a menu by its caption on the menu bar and clicks one of its items.
   void menu_item()
   {
      TopMenu * pmenu = m_pscreen->top_menu();
      const long long iSection = pick(static_cast<int>(pmenu->captions().count()));
      click_menu_item(iSection, [this](long long iCount) { return pick(static_cast<int>(iCount)); });
   }

   // Opens the menu of that section and clicks the item that `choose` picks of its items' count.
   void click_menu_item(long long iSection, const function<long long(long long)> & choose)
   {
      TopMenu * pmenu = m_pscreen->top_menu();
      const std::vector<WidgetWithBackground *> captions = pmenu->menu_bar()->items();
      if (iSection < 0 || iSection >= static_cast<long long>(captions.size()))
      {
         return;
      }
      click_centre_of(captions[static_cast<std::size_t>(iSection)]);
      frame();
      TopMenuSubmenu * psubmenu = pmenu->submenu(iSection);
      if (!psubmenu || !psubmenu->visible() || psubmenu->items().empty())
      {
         note(format("menu %s opened, nothing in it", pmenu->captions()[iSection].c_str()));
         return;
      }
      const auto iItem = static_cast<std::size_t>(choose(static_cast<long long>(psubmenu->items().size())));
      note(format("menu %s, item %zu (%s)", pmenu->captions()[iSection].c_str(), iItem,
                  iItem < static_cast<std::size_t>(psubmenu->captions().count()) ? psubmenu->captions()[static_cast<long long>(iItem)].c_str() : "?"));
      click_centre_of(psubmenu->items()[iItem]);
   }

   void wheel()
   {
      const point_type<int> point = random_point();
      const float fNotches = static_cast<float>(pick(7) - 3);
      note(format("wheel %.0f at %d,%d", fNotches, point.x, point.y));
      m_pscreen->on_window_mouse_motion(point, {});
      m_pscreen->on_window_scroll(point, {0.f, fNotches});
   }

   void message_box_or_resize()
   {
      if (pick(6) == 0)
      {
         resize_the_window();
         return;
      }
      if (!box_on_top())
      {
         open_a_message_box();
         handle_posted_events();
      }
      if (zelui::MessageDialog * pbox = box_on_top())
      {
         answer_through_the_window(pbox);
         return;
      }
      note("no message box opened");
   }

   zelui::MessageDialog * box_on_top() const { return dynamic_cast<zelui::MessageDialog *>(m_pscreen->modal_window()); }

   void open_a_message_box()
   {
      switch (pick(3))
      {
      case 0:
         note("the close box");
         sdl_events::push_window_event(m_program.window()->window_id(), SDL_WINDOWEVENT_CLOSE);
         break;
      case 1:
      {
         // "Website link for update" or "Tutorials link", the second and third items of "About".
         const long long iAbout = m_pscreen->top_menu()->captions().find_first_ci("About");
         click_menu_item(iAbout, [this](long long) { return 1 + pick(2); });
         break;
      }
      default:
         note("open garbage.tvsx");
         m_pglobal->load_project_from_file(file::path((m_folder / "garbage.tvsx").c_str()));
         break;
      }
   }

   // One key (Escape or Return) or one click on one of the box's buttons, as the desktop sends them
   // to the window; the box must be gone, and the window drawn again, once the window has handled it.
   void answer_through_the_window(zelui::MessageDialog * pbox)
   {
      pointer<zelui::MessageDialog> pkeep(pbox);
      main_window * pwindow = m_program.window();
      const std::uint32_t uWindow = pwindow->window_id();
      const std::vector<zelui::Button *> buttons = widgets_in<zelui::Button>(pbox);
      const auto iWay = static_cast<std::size_t>(pick(static_cast<int>(2 + buttons.size())));
      string_base strHow;
      if (iWay < 2)
      {
         const SDL_Keycode keycode = iWay == 0 ? SDLK_ESCAPE : SDLK_RETURN;
         const SDL_Scancode scancode = iWay == 0 ? SDL_SCANCODE_ESCAPE : SDL_SCANCODE_RETURN;
         strHow = iWay == 0 ? "Escape" : "Return";
         sdl_events::push_key(uWindow, SDL_KEYDOWN, keycode, scancode);
         sdl_events::push_key(uWindow, SDL_KEYUP, keycode, scancode);
      }
      else
      {
         zelui::Button * pbutton = buttons[iWay - 2];
         const point_type<int> point = pbutton->absolute_position() + point_type<int>{pbutton->width() / 2, pbutton->height() / 2};
         strHow = format("a click on \"%s\" at %d,%d", pbutton->caption().c_str(), point.x, point.y);
         sdl_events::push_mouse_motion(uWindow, point.x, point.y);
         sdl_events::push_mouse_button(uWindow, SDL_MOUSEBUTTONDOWN, point.x, point.y);
         sdl_events::push_mouse_button(uWindow, SDL_MOUSEBUTTONUP, point.x, point.y);
      }
      note(format("message box \"%s\" answered with %s", pbox->title().c_str(), strHow.c_str()));
      const long long iDrawn = pwindow->draw_count();
      handle_posted_events();
      if (pbox->parent())
      {
         fault(format("the message box \"%s\" on top stayed after %s", pbox->title().c_str(), strHow.c_str()));
      }
      else if (pwindow->draw_count() == iDrawn)
      {
         fault(format("the window was not drawn again after %s closed the message box \"%s\"", strHow.c_str(),
                      pbox->title().c_str()));
      }
   }

   // The window gets a new size from the desktop, within the size it started at (the frames are
   // drawn into a picture of that size); the program keeps the window's place in its settings.
   void resize_the_window()
   {
      const size_type<int> size{300 + pick(m_size.width - 299), 200 + pick(m_size.height - 199)};
      note(format("window resized to %d x %d", size.width, size.height));
      main_window * pwindow = m_program.window();
      const rectangle_i32 rectangle = pwindow->window_rectangle();
      pwindow->place({rectangle.left, rectangle.top, rectangle.left + size.width, rectangle.top + size.height});
   }

   std::mt19937 m_random;
   running_program & m_program;
   MainScreen * m_pscreen;
   Global * m_pglobal;
   std::filesystem::path m_folder;
   size_type<int> m_size;
   std::vector<std::filesystem::path> m_paths;
   image::image m_image;
   zel2d::context m_context;
   std::deque<string_base> m_history;
   std::vector<string_base> m_faults;
   long long m_iActions = 0;
   bool m_bLog = environment_number("BRISVANE_SESSION_LOG", 0) != 0;
};

// The document's project text after it has been read back once more: what the program writes,
// it reads back to the same text.
string_base written_after_reading(scoped_string_base strText)
{
   auto pproject = make_pointer<project>(nullptr);
   pproject->load_project_from_string(strText);
   return pproject->get_container_text(project::project_magic, pproject->get_raster_size_text(), true);
}

// The files the program keeps in its data folder, each whole: each holds what the program would
// write now (the presets and the tool-window layout), or reads back as a window place.
void expect_the_data_folder_whole(Global & global, MainScreen & screen, const std::filesystem::path & folder)
{
   const file::path presets = global.presets().autosave_file_name();
   if (file::exists(presets))
   {
      global.presets().save_to_file(file::path((folder / "presets_now.tvsx_presets").c_str()));
      EXPECT_EQ(file::read_all(presets).value_or(""), file::read_all(file::path((folder / "presets_now.tvsx_presets").c_str())).value_or(""))
         << "the autosaved presets are not the presets the program holds";
   }
   const file::path layout = screen.settings_layout_get_default_path();
   ASSERT_TRUE(file::exists(layout));
   screen.settings_save_layout((folder / "layout_now").c_str());
   EXPECT_EQ(file::read_all(layout).value_or(""), file::read_all(file::path((folder / "layout_now").c_str())).value_or(""))
      << "the tool-window layout file is not the layout the windows have";
   if (file::exists(application::settings_file_path()))
   {
      EXPECT_TRUE(make_pointer<application>()->load_settings()) << "the window settings do not read back as a place";
   }
}

} // namespace

TEST(random_session, a_seeded_session_of_user_actions_runs_clean_leaves_its_files_whole_and_ends_the_program)
{
   const long long iActions = environment_number("BRISVANE_SESSION_ACTIONS", 300);
   const auto uSeed = static_cast<unsigned>(environment_number("BRISVANE_SESSION_SEED", 1));
   running_program program;
   const std::filesystem::path folder = program.folder() / "session";
   std::filesystem::create_directories(folder);
   // Links to web pages find no browser: the openers the program would start are stand-ins that fail.
   for (const char * pszOpener : {"xdg-open", "sensible-browser"})
   {
      std::ofstream(folder / pszOpener) << "#!/bin/sh\nexit 1\n";
      std::filesystem::permissions(folder / pszOpener, std::filesystem::perms::owner_all);
   }
   const string_base strPathBefore = std::getenv("PATH") ? std::getenv("PATH") : "";
   ::setenv("PATH", (folder.string() + ":" + strPathBefore).c_str(), 1);
   set_logs_silent(true);
   std::printf("random session: seed %u, %lld actions\n", uSeed, iActions);

   {
      random_session session(uSeed, program);
      session.run(iActions);
      SCOPED_TRACE(format("seed %u; the last actions:\n%s", uSeed, session.history().c_str()));
      EXPECT_EQ(session.actions_done(), iActions);
      for (const string_base & strFault : session.faults())
      {
         ADD_FAILURE() << strFault;
      }

      const project * pproject = session.controller()->current_project();
      ASSERT_NE(pproject, nullptr);
      const string_base strOnce = written_after_reading(pproject->get_container_text(project::project_magic, pproject->get_raster_size_text(), true));
      EXPECT_EQ(written_after_reading(written_after_reading(strOnce)), strOnce);
      EXPECT_TRUE(session.end_the_program()) << "the program did not leave its event loop";
      expect_the_data_folder_whole(*session.controller(), *program.screen(), folder);
   }
   program.end();
   set_logs_silent(false);
   ::setenv("PATH", strPathBefore.c_str(), 1);
}
