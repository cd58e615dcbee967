#include "host/main_window.h"

#include <SDL.h>
#include <SDL_syswm.h>

#include <cmath>
#include <utility>

#include "host/application.h"
#include "host/context.h"
#include "host/event_loop.h"
#include "host/portal_file_chooser.h"
#include "host/sdl_input.h"
#include "host/windowing.h"
#include "host/x_error_handler.h"
#include "orvo/exception.h"
#include "zel2d/context.h"
#include "zelui/Screen.h"
#include "zelui/appearance.h"

namespace user
{

namespace
{

bool is_fraction_rectangle(const rectangle_f64 & r)
{
   auto fraction = [](double d) { return d >= 0.0 && d <= 1.0; };
   return fraction(r.left) && fraction(r.top) && fraction(r.right) && fraction(r.bottom);
}

int rounded(double d)
{
   return static_cast<int>(std::lround(d));
}

bool is_on_a_monitor(const rectangle_i32 & rectangle)
{
   user::windowing * pwindowing = platform::context::windowing();
   for (int i = 0; i < pwindowing->monitor_count(); ++i)
   {
      if (pwindowing->monitor_rectangle(i)->intersection(rectangle).area() > 0)
      {
         return true;
      }
   }
   return false;
}

} // namespace

main_window::main_window() = default;

main_window::~main_window()
{
   // The subclasses' handlers are gone by now: the SDL window closes without a destroy message.
   close_sdl_window();
}

void main_window::install_message_routing(channel * pchannel)
{
   pchannel->add_message_handler(e_message_close, [this](message::message * pmessage)
   {
      pmessage->set_finished();
      destroy_window();
      if (platform::context::windowing()->windows().empty())
      {
         platform::context::event_loop()->post_quit();
      }
   });
   pchannel->add_message_handler(e_message_quit_application, [](message::message * pmessage)
   {
      pmessage->set_finished();
      platform::context::event_loop()->post_quit();
   });
}

std::uint32_t main_window::window_id() const noexcept
{
   return m_psdlwindow ? SDL_GetWindowID(m_psdlwindow.get()) : 0;
}

void main_window::show_file_dialog(const pointer<file::file_dialog> & pdialog, scoped_string_base strDefaultName)
{
   const string_base strDefault(strDefaultName);
   pointer<main_window> pkeep(this);
   auto fallback = [pkeep, pdialog, strDefault] { pkeep->interaction::show_file_dialog(pdialog, strDefault); };
   // Without a window manager nobody gives the keyboard back when the desktop's chooser closes:
   // a key for the box its answer may open would otherwise go nowhere.
   auto take_keyboard_back = [pkeep] {
      if (pkeep->m_psdlwindow)
      {
         SDL_SetWindowInputFocus(pkeep->m_psdlwindow.get());
      }
   };
   if (file::file_dialog::answer_hook() ||
       !platform::context::file_chooser()->show(pdialog, strDefault, portal_parent_name(), fallback, take_keyboard_back))
   {
      interaction::show_file_dialog(pdialog, strDefault);
   }
}

string_base main_window::portal_parent_name() const
{
   SDL_SysWMinfo info;
   SDL_VERSION(&info.version);
   SDL_Window * pwindow = SDL_GetWindowFromID(window_id());
   if (!pwindow || !SDL_GetWindowWMInfo(pwindow, &info) || info.subsystem != SDL_SYSWM_X11)
   {
      return {};
   }
   return format("x11:%lx", static_cast<unsigned long>(info.info.x11.window));
}

rectangle_i32 main_window::creation_rectangle()
{
   if (m_rectanglePlaced)
   {
      return *m_rectanglePlaced;
   }
   const rectangle_f64 & r = m_rectangleInitialRateOrSize;
   rectangle_i32 rectangle{rounded(r.left), rounded(r.top), rounded(r.right), rounded(r.bottom)};
   user::windowing * pwindowing = platform::context::windowing();
   const rectangle_i32 monitor = pwindowing->main_monitor_rectangle();
   if (is_fraction_rectangle(r))
   {
      rectangle = {monitor.left + rounded(r.left * monitor.width()), monitor.top + rounded(r.top * monitor.height()),
                   monitor.left + rounded(r.right * monitor.width()), monitor.top + rounded(r.bottom * monitor.height())};
   }
   else if (!is_on_a_monitor(rectangle))
   {
      // A rectangle kept from a monitor that is gone would open the window out of reach: it opens
      // at the same size near the top-left corner of the main monitor instead.
      const point_i32 corner{monitor.left + monitor.width() / 20, monitor.top + monitor.height() / 20};
      rectangle = rectangle_i32::from(corner, rectangle.size());
   }
   // SDL makes no window of no size.
   rectangle.right = std::max(rectangle.right, rectangle.left + 1);
   rectangle.bottom = std::max(rectangle.bottom, rectangle.top + 1);
   return rectangle;
}

void main_window::create_main_window(request *)
{
   if (m_psdlwindow)
   {
      return;
   }
   if (!m_bRoutingInstalled)
   {
      m_bRoutingInstalled = true;
      install_message_routing(this);
   }
   const rectangle_i32 rectangle = creation_rectangle();
   m_psdlwindow.reset(SDL_CreateWindow("", rectangle.left, rectangle.top, rectangle.width(), rectangle.height(),
                                       SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI));
   if (!m_psdlwindow)
   {
      throw exception(error_failed, string_base("the window cannot be created: ") + SDL_GetError());
   }
   m_pointClientAsked = rectangle.top_left();
   m_rectangleNormal = m_rectangleNormalBefore = rectangle;
   platform::context::windowing()->show_window_icon(m_psdlwindow.get());
   platform::context::windowing()->add_window(this);
   send_message(e_message_create);
   tell_appearance_size();
   if (m_edisplayPending)
   {
      apply_display();
   }
}

void main_window::destroy_window()
{
   if (!m_psdlwindow)
   {
      return;
   }
   send_message(e_message_destroy);
   close_sdl_window();
}

void main_window::close_sdl_window()
{
   if (!m_psdlwindow)
   {
      return;
   }
   platform::context::windowing()->remove_window(this);
   destroy_renderer();
   x_error_handler::note_destroyed(m_psdlwindow.get());
   m_psdlwindow.reset();
   m_bRedrawPosted = false;
   platform::context::windowing()->update_screen_saver();
}

void main_window::post_message(long long emessage, long long wparam, const pointer<particle> & lparam)
{
   if (!m_psdlwindow)
   {
      return;
   }
   platform::context::event_loop()->post_message(
      this, make_pointer<message::message>(static_cast<enum_message>(emessage), wparam, lparam));
}

bool main_window::send_message(enum_message emessage, long long wparam, pointer<particle> lparam)
{
   pointer<message::message> pmessage = make_pointer<message::message>(emessage, wparam, lparam);
   route_message(pmessage.get());
   return pmessage->is_finished();
}

void main_window::order(int ezorder)
{
   if (ezorder != e_zorder_top)
   {
      throw exception(error_bad_argument, format("unknown window order %d", ezorder));
   }
   if (m_psdlwindow)
   {
      SDL_RaiseWindow(m_psdlwindow.get());
   }
}

void main_window::display(int edisplay, int eactivation)
{
   if (edisplay != e_display_normal && edisplay != e_display_zoomed && edisplay != e_display_cover_without_border)
   {
      throw exception(error_bad_argument, format("unknown window display %d", edisplay));
   }
   m_edisplayPending = edisplay;
   m_eactivationPending = eactivation;
   if (m_psdlwindow)
   {
      apply_display();
   }
}

void main_window::apply_display()
{
   const int edisplay = *m_edisplayPending;
   m_edisplayPending.reset();
   const bool bCover = edisplay == e_display_cover_without_border;
   m_bCovering = bCover;
   SDL_SetWindowBordered(m_psdlwindow.get(), bCover ? SDL_FALSE : SDL_TRUE);
   if (bCover && m_rectanglePlaced)
   {
      SDL_SetWindowPosition(m_psdlwindow.get(), m_rectanglePlaced->left, m_rectanglePlaced->top);
      SDL_SetWindowSize(m_psdlwindow.get(), m_rectanglePlaced->width(), m_rectanglePlaced->height());
   }
   SDL_Window * pwindowKeyboard = SDL_GetKeyboardFocus();
   SDL_ShowWindow(m_psdlwindow.get());
   if (SDL_GetWindowFlags(m_psdlwindow.get()) & SDL_WINDOW_MINIMIZED)
   {
      SDL_RestoreWindow(m_psdlwindow.get());
   }
   // Maximised only once the window stands at its normal rectangle (see `maximize_when_placed`).
   m_bMaximizeWhenPlaced = edisplay == e_display_zoomed;
   if (m_eactivationPending & e_activation_set_foreground)
   {
      SDL_RaiseWindow(m_psdlwindow.get());
   }
   else if (pwindowKeyboard && pwindowKeyboard != m_psdlwindow.get())
   {
      // Shown without activation, the window leaves the keyboard where it was, although the
      // desktop gives a newly shown window the focus.
      SDL_SetWindowInputFocus(pwindowKeyboard);
   }
   platform::context::windowing()->update_screen_saver();
}

void main_window::keep_client_where_asked(point_i32 pointMoved)
{
   // A window that starts maximised comes to its normal place when it is un-maximised.
   if (!m_pointClientAsked || is_maximized())
   {
      return;
   }
   // A window manager puts its frame, not the client area, where the window was created, which
   // moves the client area by the frame's borders (and a restart would move it once more). The
   // first move it makes is answered by moving the window again: then the borders are known and
   // SDL puts the client area where it was asked (where it was when its place was saved).
   const point_i32 point = *m_pointClientAsked;
   m_pointClientAsked.reset();
   int iTop = 0;
   int iLeft = 0;
   if (SDL_GetWindowBordersSize(m_psdlwindow.get(), &iTop, &iLeft, nullptr, nullptr) == 0 &&
       pointMoved == point + point_i32{iLeft, iTop} && pointMoved != point)
   {
      SDL_SetWindowPosition(m_psdlwindow.get(), point.x, point.y);
   }
}

void main_window::maximize_when_placed()
{
   // A window manager takes the rectangle a window is shown at, once it has put it there, as the
   // one to go back to when it is un-maximised (a window shown maximised would go back to its
   // maximised size under icewm). The window is maximised after the first move of the window
   // manager, which `keep_client_where_asked` answered, or after the first drawing, when it put
   // the window where asked (or there is none).
   if (std::exchange(m_bMaximizeWhenPlaced, false))
   {
      SDL_MaximizeWindow(m_psdlwindow.get());
   }
}

void main_window::place(const rectangle_i32 & rectangle, int)
{
   m_rectanglePlaced = rectangle;
   m_pointClientAsked.reset();
   if (m_psdlwindow)
   {
      SDL_SetWindowPosition(m_psdlwindow.get(), rectangle.left, rectangle.top);
      SDL_SetWindowSize(m_psdlwindow.get(), std::max(rectangle.width(), 1), std::max(rectangle.height(), 1));
   }
}

void main_window::hide()
{
   m_edisplayPending.reset();
   if (m_psdlwindow)
   {
      SDL_HideWindow(m_psdlwindow.get());
      platform::context::windowing()->update_screen_saver();
   }
}

bool main_window::is_window_visible() const
{
   return m_psdlwindow && (SDL_GetWindowFlags(m_psdlwindow.get()) & SDL_WINDOW_SHOWN);
}

bool main_window::is_maximized() const
{
   // SDL's flag follows the window manager's state as it arrives, all of one batch of events
   // before the first of them is handled.
   return m_psdlwindow && (SDL_GetWindowFlags(m_psdlwindow.get()) & SDL_WINDOW_MAXIMIZED);
}

rectangle_i32 main_window::normal_rectangle()
{
   return is_maximized() ? m_rectangleNormal : window_rectangle(e_layout_current);
}

void main_window::remember_normal_rectangle()
{
   const rectangle_i32 rectangle = window_rectangle(e_layout_current);
   if (!is_maximized() && rectangle != m_rectangleNormal)
   {
      m_rectangleNormalBefore = std::exchange(m_rectangleNormal, rectangle);
   }
}

void main_window::forget_maximising_rectangle()
{
   if (m_rectangleNormal == window_rectangle(e_layout_current))
   {
      m_rectangleNormal = m_rectangleNormalBefore;
   }
}

bool main_window::covers_a_monitor() const
{
   return m_bCovering && is_window_visible();
}

rectangle_i32 main_window::window_rectangle(int elayout)
{
   if (elayout == e_layout_requested && m_rectanglePlaced)
   {
      return *m_rectanglePlaced;
   }
   if (!m_psdlwindow)
   {
      return {};
   }
   point_i32 position;
   size_i32 size;
   SDL_GetWindowPosition(m_psdlwindow.get(), &position.x, &position.y);
   SDL_GetWindowSize(m_psdlwindow.get(), &size.width, &size.height);
   return rectangle_i32::from(position, size);
}

rectangle_i32 main_window::client_rectangle(int)
{
   if (!m_psdlwindow)
   {
      return {};
   }
   size_i32 size;
   SDL_GetWindowSize(m_psdlwindow.get(), &size.width, &size.height);
   return rectangle_i32::from({0, 0}, size);
}

void main_window::set_need_redraw(const std::vector<rectangle_i32> &, zel2d::context *, const function<void()> & callback)
{
   m_bNeedRedraw = true;
   if (callback)
   {
      m_redrawCallbacks.push_back(callback);
   }
}

void main_window::post_redraw()
{
   if (!m_psdlwindow || m_bRedrawPosted)
   {
      return;
   }
   m_bRedrawPosted = true;
   platform::context::event_loop()->post_redraw(this);
}

float main_window::pixel_ratio()
{
   if (!m_psdlwindow)
   {
      return 1.0f;
   }
   int iWidth = 0;
   int iPixelWidth = 0;
   SDL_GetWindowSize(m_psdlwindow.get(), &iWidth, nullptr);
   SDL_GetWindowSizeInPixels(m_psdlwindow.get(), &iPixelWidth, nullptr);
   return iWidth > 0 && iPixelWidth > 0 ? static_cast<float>(iPixelWidth) / static_cast<float>(iWidth) : 1.0f;
}

void main_window::add_graphical_output_purpose(particle *, int epurpose)
{
   m_epurpose |= epurpose;
}

void main_window::on_layout(zel2d::context *)
{
   m_bLayoutThisFrame = true;
}

void main_window::_001OnDraw(zel2d::context * pcontext)
{
   if (appearance * pappearance = get_appearance())
   {
      pappearance->on_window_frame(pcontext, m_bLayoutThisFrame);
   }
}

void main_window::handle_event(SDL_Event & event)
{
   appearance * pappearance = get_appearance();
   switch (event.type)
   {
   case SDL_WINDOWEVENT:
      on_window_event(event);
      return;
   case SDL_KEYDOWN:
   case SDL_KEYUP:
      on_key(event);
      return;
   case SDL_TEXTINPUT:
      on_text(event);
      return;
   default:
      break;
   }
   if (!pappearance)
   {
      return;
   }
   const enumeration<user::enum_key> emodifiers = sdl_input::modifiers_of(SDL_GetModState());
   switch (event.type)
   {
   case SDL_MOUSEBUTTONDOWN:
   case SDL_MOUSEBUTTONUP:
   {
      const user::enum_mouse ebutton = sdl_input::button_of(event.button.button);
      if (ebutton != user::e_mouse_none)
      {
         const bool bDown = event.type == SDL_MOUSEBUTTONDOWN;
         const enumeration<user::enum_key> ekeystate(emodifiers.value() | sdl_input::held_buttons_of(SDL_GetMouseState(nullptr, nullptr)).value());
         // SDL counts the presses that follow one another within its double-click time and
         // distance, wherever they land; which of them make double clicks, and on what, the
         // screen judges by the widgets pressed.
         pappearance->on_window_mouse_button({event.button.x, event.button.y}, ebutton, bDown,
                                             bDown && event.button.clicks >= 2, ekeystate);
      }
      break;
   }
   case SDL_MOUSEMOTION:
      pappearance->on_window_mouse_motion(
         {event.motion.x, event.motion.y},
         enumeration<user::enum_key>(emodifiers.value() | sdl_input::held_buttons_of(event.motion.state).value()));
      break;
   case SDL_MOUSEWHEEL:
      pappearance->on_window_scroll({event.wheel.mouseX, event.wheel.mouseY},
                                    sdl_input::wheel_delta_of(event.wheel.preciseX, event.wheel.preciseY,
                                                              event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED));
      break;
   default:
      return;
   }
   update_cursor();
}

void main_window::on_key(SDL_Event & event)
{
   const user::enum_key ekey = sdl_input::key_of(event.key.keysym.sym);
   const bool bDown = event.type == SDL_KEYDOWN;
   if (keyboard::is_modifier(ekey))
   {
      bDown ? m_emodifiersHeld.add(ekey) : m_emodifiersHeld.remove(ekey);
   }
   // A press arrives with the text it types, which SDL sends as the next event. A shortcut's
   // press types nothing: SDL still sends the layout's character for some of them ("$" for
   // Control+Shift+4), and that text goes with the press.
   string_base strText;
   SDL_Event next;
   if (bDown && SDL_PeepEvents(&next, 1, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) == 1
       && next.type == SDL_TEXTINPUT && next.text.windowID == event.key.windowID)
   {
      SDL_PeepEvents(&next, 1, SDL_GETEVENT, SDL_TEXTINPUT, SDL_TEXTINPUT);
      if (sdl_input::types_text(event.key.keysym.mod))
      {
         strText = next.text.text;
      }
   }
   if (appearance * pappearance = get_appearance())
   {
      const int iAction = !bDown ? user::e_key_action_release
                                 : event.key.repeat ? user::e_key_action_repeat : user::e_key_action_press;
      pappearance->on_window_keyboard(ekey, sdl_input::scan_code_of(event.key.keysym.sym, event.key.keysym.scancode), iAction,
                                      sdl_input::modifiers_of(event.key.keysym.mod), strText);
   }
}

void main_window::on_text(SDL_Event & event)
{
   // Text that no key press took along (an input method's composition) comes as a press of no key,
   // unless a shortcut's modifiers are held.
   if (!sdl_input::types_text(SDL_GetModState()))
   {
      return;
   }
   if (appearance * pappearance = get_appearance())
   {
      pappearance->on_window_keyboard(user::e_key_none, 0, user::e_key_action_press,
                                      sdl_input::modifiers_of(SDL_GetModState()), event.text.text);
   }
}

void main_window::update_cursor()
{
   appearance * pappearance = get_appearance();
   const int ecursor = pappearance ? pappearance->window_cursor() : user::e_cursor_arrow;
   if (ecursor == m_ecursor)
   {
      return;
   }
   m_ecursor = ecursor;
   static const std::pair<int, SDL_SystemCursor> s_cursors[] = {
      {user::e_cursor_hand, SDL_SYSTEM_CURSOR_HAND}, {user::e_cursor_text, SDL_SYSTEM_CURSOR_IBEAM},
      {user::e_cursor_crosshair, SDL_SYSTEM_CURSOR_CROSSHAIR}, {user::e_cursor_size_horizontal, SDL_SYSTEM_CURSOR_SIZEWE},
      {user::e_cursor_size_vertical, SDL_SYSTEM_CURSOR_SIZENS}, {user::e_cursor_move, SDL_SYSTEM_CURSOR_SIZEALL},
   };
   SDL_SystemCursor esystem = SDL_SYSTEM_CURSOR_ARROW;
   for (const auto & [ecursorOf, esystemOf] : s_cursors)
   {
      if (ecursorOf == ecursor)
      {
         esystem = esystemOf;
      }
   }
   // System cursors are made once and kept for the whole run.
   static SDL_Cursor * s_pcursors[SDL_NUM_SYSTEM_CURSORS] = {};
   if (!s_pcursors[esystem])
   {
      s_pcursors[esystem] = SDL_CreateSystemCursor(esystem);
   }
   if (s_pcursors[esystem])
   {
      SDL_SetCursor(s_pcursors[esystem]);
   }
}

void main_window::on_window_event(SDL_Event & event)
{
   switch (event.window.event)
   {
   case SDL_WINDOWEVENT_MOVED:
      keep_client_where_asked({event.window.data1, event.window.data2});
      remember_normal_rectangle();
      maximize_when_placed();
      send_message(e_message_reposition);
      break;
   case SDL_WINDOWEVENT_SIZE_CHANGED:
      remember_normal_rectangle();
      tell_appearance_size();
      send_message(e_message_size);
      set_need_layout();
      set_need_redraw();
      post_redraw();
      break;
   case SDL_WINDOWEVENT_MAXIMIZED:
      forget_maximising_rectangle();
      send_message(e_message_size);
      break;
   case SDL_WINDOWEVENT_RESTORED:
      // Un-maximised in place (the window manager kept the size), the window stays as it is.
      remember_normal_rectangle();
      send_message(e_message_size);
      break;
   case SDL_WINDOWEVENT_CLOSE:
      send_message(e_message_close);
      break;
   case SDL_WINDOWEVENT_FOCUS_GAINED:
      on_focus(true);
      break;
   case SDL_WINDOWEVENT_FOCUS_LOST:
      on_focus(false);
      break;
   case SDL_WINDOWEVENT_ENTER:
   case SDL_WINDOWEVENT_LEAVE:
      if (appearance * pappearance = get_appearance())
      {
         point_i32 point;
         const std::uint32_t uButtons = SDL_GetMouseState(&point.x, &point.y);
         pappearance->on_window_mouse_enter(point, event.window.event == SDL_WINDOWEVENT_ENTER,
                                            enumeration<user::enum_key>(sdl_input::modifiers_of(SDL_GetModState()).value()
                                                                        | sdl_input::held_buttons_of(uButtons).value()));
      }
      break;
   case SDL_WINDOWEVENT_EXPOSED:
      maximize_when_placed();
      [[fallthrough]];
   case SDL_WINDOWEVENT_SHOWN:
      m_bExposed = true;
      post_redraw();
      break;
   default:
      break;
   }
}

void main_window::tell_appearance_size()
{
   appearance * pappearance = get_appearance();
   const size_i32 size = client_rectangle().size();
   if (pappearance && (pappearance != m_pappearanceSized || size != m_sizeAppearance))
   {
      if (pappearance != m_pappearanceSized)
      {
         show_caption();
      }
      m_pappearanceSized = pappearance;
      m_sizeAppearance = size;
      pappearance->on_window_resize(size);
   }
}

void main_window::show_caption()
{
   // The title bar shows the screen's caption, or else the application's name.
   string_base strTitle;
   if (auto * pscreen = dynamic_cast<zelui::Screen *>(get_appearance()))
   {
      strTitle = pscreen->caption();
   }
   if (strTitle.empty() && platform::context::application())
   {
      strTitle = platform::context::application()->application_name();
   }
   SDL_SetWindowTitle(m_psdlwindow.get(), strTitle.c_str());
}

void main_window::on_focus(bool bFocused)
{
   appearance * pappearance = get_appearance();
   if (!bFocused)
   {
      // The releases of keys held while the focus leaves go to another window: this window
      // releases them itself, so that nothing here believes a modifier is still held.
      const enumeration<user::enum_key> eheld = m_emodifiersHeld;
      m_emodifiersHeld.clear();
      for (std::uint64_t uFlag = 0x100000000; uFlag <= 0x4000000000; uFlag <<= 1)
      {
         const auto ekey = static_cast<user::enum_key>(uFlag);
         if (eheld.has(ekey) && pappearance)
         {
            pappearance->on_window_keyboard(ekey, 0, user::e_key_action_release, {}, {});
         }
      }
   }
   if (pappearance)
   {
      pappearance->on_window_focus(bFocused);
   }
}

bool main_window::prepare_pixels()
{
   int iWidth = 0;
   int iHeight = 0;
   SDL_GetWindowSizeInPixels(m_psdlwindow.get(), &iWidth, &iHeight);
   if (iWidth <= 0 || iHeight <= 0)
   {
      return false;
   }
   if (m_image.width() != iWidth || m_image.height() != iHeight)
   {
      m_image.create(iWidth, iHeight);
      m_ptexture.reset();
      m_bNeedLayout = true;
      m_bNeedRedraw = true;
   }
   if (!m_prenderer)
   {
      m_prenderer.reset(SDL_CreateRenderer(m_psdlwindow.get(), -1, 0));
      if (!m_prenderer)
      {
         m_prenderer.reset(SDL_CreateRenderer(m_psdlwindow.get(), -1, SDL_RENDERER_SOFTWARE));
      }
      if (!m_prenderer)
      {
         throw exception(error_failed, string_base("the window cannot draw: ") + SDL_GetError());
      }
   }
   if (!m_ptexture)
   {
      // The image's pixels are one native 32-bit ARGB word each, which is SDL's ARGB8888.
      m_ptexture.reset(SDL_CreateTexture(m_prenderer.get(), SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, iWidth, iHeight));
      if (!m_ptexture)
      {
         throw exception(error_failed, string_base("the window cannot draw: ") + SDL_GetError());
      }
      SDL_SetTextureBlendMode(m_ptexture.get(), SDL_BLENDMODE_NONE);
      m_bNeedRedraw = true;
   }
   return true;
}

void main_window::redraw_now()
{
   m_bRedrawPosted = false;
   if (!m_psdlwindow || !is_window_visible())
   {
      return;
   }
   std::lock_guard lock(m_mutex);
   if (!prepare_pixels())
   {
      return;
   }
   tell_appearance_size();
   const bool bDraw = m_bNeedLayout || m_bNeedRedraw;
   if (!bDraw && !m_bExposed)
   {
      return;
   }
   if (bDraw)
   {
      draw();
      SDL_UpdateTexture(m_ptexture.get(), nullptr, m_image.data(), m_image.scan_size());
   }
   m_bExposed = false;
   present();
   std::vector<function<void()>> callbacks;
   callbacks.swap(m_redrawCallbacks);
   for (auto & callback : callbacks)
   {
      callback();
   }
}

void main_window::draw()
{
   zel2d::context context(&m_image);
   const float fRatio = pixel_ratio();
   if (fRatio != 1.0f)
   {
      // The content lays itself out in window coordinates.
      context.scale(fRatio, fRatio);
   }
   m_bLayoutThisFrame = false;
   if (m_bNeedLayout)
   {
      m_bNeedLayout = false;
      on_layout(&context);
   }
   m_bNeedRedraw = false;
   _001OnDraw(&context);
   ++m_iDrawCount;
}

void main_window::present()
{
   SDL_RenderCopy(m_prenderer.get(), m_ptexture.get(), nullptr, nullptr);
   SDL_RenderPresent(m_prenderer.get());
}

void main_window::destroy_renderer()
{
   m_ptexture.reset();
   m_prenderer.reset();
}

void main_window::sdl_deleter::operator()(SDL_Window * pwindow) const noexcept
{
   SDL_DestroyWindow(pwindow);
}

void main_window::sdl_deleter::operator()(SDL_Renderer * prenderer) const noexcept
{
   SDL_DestroyRenderer(prenderer);
}

void main_window::sdl_deleter::operator()(SDL_Texture * ptexture) const noexcept
{
   SDL_DestroyTexture(ptexture);
}

} // namespace user
