#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "host/channel.h"
#include "orvo/enumeration.h"
#include "orvo/geometry.h"
#include "orvo/image.h"
#include "orvo/keyboard.h"
#include "zelui/interaction.h"

class request;
union SDL_Event;
struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;

namespace zel2d
{
class context;
}

namespace user
{

// Where `order` puts the window among the others.
enum enum_zorder
{
   e_zorder_top = 4,
};

// How `display` shows the window.
enum enum_display
{
   e_display_normal = 1,
   // Maximised by the window manager, from the window's normal rectangle, which it goes back to
   // when the user un-maximises it. Without a window manager nothing maximises a window: it shows
   // at its normal rectangle.
   e_display_zoomed = 2,
   // Without a border, covering exactly the rectangle given to `place` (a whole monitor).
   e_display_cover_without_border = 8,
};

// Whether `display` also activates the window.
enum enum_activation
{
   e_activation_default = 0,
   e_activation_set_foreground = 0x10000,
};

// Which rectangle of the window a query or `place` means.
enum enum_layout
{
   // The rectangle last asked for, before the desktop applied it.
   e_layout_requested = 0,
   // The rectangle the window has now.
   e_layout_current = 3,
};

// What a window is for, as an application declares it.
enum enum_graphical_output_purpose
{
   e_graphical_output_purpose_none = 0,
   e_graphical_output_purpose_screen = 32768,
};

// A top-level window on an SDL window. It routes the create, destroy, reposition, size and close
// messages to its handlers, hands its input to its appearance (the screen it shows), keeps the
// window's pixels in an image that the appearance draws into, and redraws only when asked: an
// idle window costs nothing.
//
// Windows are counted objects: hold them in a `pointer`. Everything runs on the UI thread.
class main_window : virtual public channel, virtual public interaction
{
public:
   main_window();
   ~main_window() override;

   // The first rectangle of the window: when all four values lie between 0 and 1 they are
   // fractions of the main monitor, otherwise desktop pixels.
   rectangle_f64 m_rectangleInitialRateOrSize{0.05, 0.05, 0.89, 0.89};

   // Installs the window's own handlers on the channel; a subclass calls this first and then adds
   // its handlers over them. The defaults: close destroys the window (and ends the application when
   // it was the last one); the quit message ends the application.
   virtual void install_message_routing(channel * pchannel);

   // Creates the SDL window (hidden, unless `display` was asked before) on the rectangle given to
   // `place`, or else on the initial rectangle, and routes the create message. Throws an
   // `exception` with SDL's reason when the window cannot be made.
   void create_main_window(request * prequest = nullptr);
   // Routes the destroy message and closes the SDL window. Nothing happens without one.
   void destroy_window();
   bool is_window() const noexcept { return m_psdlwindow != nullptr; }
   std::uint32_t window_id() const noexcept;

   // The top-level window that holds this one: the window itself.
   main_window * get_wnd() noexcept { return this; }
   main_window * top_level() override { return this; }

   // Delivers the message from the event loop, after the current event.
   void post_message(long long emessage, long long wparam = 0, const pointer<particle> & lparam = {}) override;
   // Routes the message now and tells whether a handler marked it finished.
   bool send_message(enum_message emessage, long long wparam = 0, pointer<particle> lparam = nullptr);

   void order(int ezorder);
   // Shows the window; `display` before the window exists is applied when it is created.
   void display(int edisplay = e_display_normal, int eactivation = e_activation_default);
   void place(const rectangle_i32 & rectangle, int elayout = e_layout_requested);
   void hide();
   bool is_window_visible() const;
   // Whether the window is maximised, as the window manager last said (or as it was asked, where
   // no window manager answers).
   bool is_maximized() const;
   // The window's area on the desktop when not maximised: the one it has now, or, while it is
   // maximised, the one it had last before (where it was created, when it never had another),
   // which it goes back to when it is un-maximised.
   rectangle_i32 normal_rectangle();
   // Whether the window shows now, displayed over a whole monitor without a border.
   bool covers_a_monitor() const;

   // The window's area on the desktop, in desktop pixels.
   rectangle_i32 window_rectangle(int elayout = e_layout_current) override;
   // The window's area in its own coordinates: (0, 0) to its size.
   rectangle_i32 client_rectangle(int elayout = e_layout_current) override;

   void set_need_layout() override { m_bNeedLayout = true; }
   // Marks the window for drawing; `callback` runs once after the next drawing. The rectangles
   // narrow nothing: the whole window is drawn, which keeps the pixels consistent.
   void set_need_redraw(const std::vector<rectangle_i32> & rectangles = {}, zel2d::context * pgraphics = nullptr,
                        const function<void()> & callback = {}) override;
   // Wakes the event loop to lay out and draw what is needed; several posts before the loop gets
   // to it make one redraw.
   void post_redraw() override;
   bool needs_redraw() const noexcept { return m_bNeedRedraw || m_bNeedLayout; }

   // The window's lock, held while it draws; recursive.
   std::recursive_mutex & window_mutex() override { return m_mutex; }
   // Physical pixels per window coordinate (2 on a high-density display).
   float pixel_ratio() override;

   void add_graphical_output_purpose(particle * pparticle, int epurpose);
   int graphical_output_purpose() const noexcept { return m_epurpose; }

   // The pixels the window shows, as last drawn.
   const image::image & pixels() const noexcept { return m_image; }
   // How many times the window's content was drawn.
   long long draw_count() const noexcept { return m_iDrawCount; }

   // The layout step of a redraw, with the context of the window's pixels: by default the
   // appearance lays itself out in this frame. A subclass that does not call it skips the layout.
   virtual void on_layout(zel2d::context * pcontext);
   // The drawing step of a redraw: by default the appearance's frame.
   virtual void _001OnDraw(zel2d::context * pcontext);

   // Shows the dialog in the desktop's file chooser where the portal serves one, else in the
   // toolkit's own dialog window (and always there while a test's answer hook is set).
   void show_file_dialog(const pointer<file::file_dialog> & pdialog, scoped_string_base strDefaultName) override;

   // From the event loop: an SDL event of this window, and a posted redraw.
   void handle_event(SDL_Event & event);
   void redraw_now();

private:
   rectangle_i32 creation_rectangle();
   // The window as the desktop portal names a parent ("x11:" and the window id); empty where SDL
   // gives no X11 window.
   string_base portal_parent_name() const;
   void apply_display();
   void keep_client_where_asked(point_i32 pointMoved);
   void maximize_when_placed();
   // Takes the window's rectangle as its normal one while it is not maximised.
   void remember_normal_rectangle();
   // A window manager may tell the maximised size before the state: that rectangle was no normal one.
   void forget_maximising_rectangle();
   void on_window_event(SDL_Event & event);
   void on_key(SDL_Event & event);
   void on_text(SDL_Event & event);
   void on_focus(bool bFocused);
   // Tells the appearance the client size when it is new to it (a screen adopted, a resize).
   void tell_appearance_size();
   void show_caption();
   void update_cursor();
   bool prepare_pixels();
   void draw();
   void present();
   void destroy_renderer();
   void close_sdl_window();

   // Frees each SDL handle with SDL's own call for it.
   struct sdl_deleter
   {
      void operator()(SDL_Window * pwindow) const noexcept;
      void operator()(SDL_Renderer * prenderer) const noexcept;
      void operator()(SDL_Texture * ptexture) const noexcept;
   };

   // Declared in this order so that the texture goes before its renderer, and both before the window.
   std::unique_ptr<SDL_Window, sdl_deleter> m_psdlwindow;
   std::unique_ptr<SDL_Renderer, sdl_deleter> m_prenderer;
   std::unique_ptr<SDL_Texture, sdl_deleter> m_ptexture;
   image::image m_image;

   std::optional<rectangle_i32> m_rectanglePlaced;
   // Where the client area was created, until the desktop first moves the window while it is not
   // maximised.
   std::optional<point_i32> m_pointClientAsked;
   bool m_bMaximizeWhenPlaced = false;
   rectangle_i32 m_rectangleNormal;
   rectangle_i32 m_rectangleNormalBefore;
   std::optional<int> m_edisplayPending;
   int m_eactivationPending = e_activation_default;
   int m_epurpose = e_graphical_output_purpose_none;
   bool m_bRoutingInstalled = false;
   // Displayed over a whole monitor without a border.
   bool m_bCovering = false;
   bool m_bNeedLayout = false;
   bool m_bNeedRedraw = false;
   bool m_bLayoutThisFrame = false;
   // The desktop asked for the window's pixels again (shown, uncovered).
   bool m_bExposed = false;
   int m_ecursor = -1;
   appearance * m_pappearanceSized = nullptr;
   size_i32 m_sizeAppearance;
   bool m_bRedrawPosted = false;
   long long m_iDrawCount = 0;
   std::vector<function<void()>> m_redrawCallbacks;
   // The modifier keys pressed in this window and not yet released.
   enumeration<user::enum_key> m_emodifiersHeld;
   std::recursive_mutex m_mutex;
};

} // namespace user
