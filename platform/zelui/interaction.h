#pragma once

#include <mutex>
#include <vector>

#include "orvo/function.h"
#include "orvo/geometry.h"
#include "orvo/pointer.h"
#include "orvo/string.h"
#include "zelui/forward.h"

namespace user
{

// The window as the widgets see it. The host implements it on a real window and gives it to the
// `zelui::Screen` it shows; a screen without one (tests) takes every request below as done.
//
// All calls come from the UI thread. Requests for layout and redraw only mark the window: the
// host runs one frame for all marks made since the last one (see `appearance::on_window_frame`),
// so asking twice costs nothing more than asking once, and an idle window draws nothing.
class interaction : virtual public particle
{
public:
   // Asks for a layout pass of the screen at the next frame.
   virtual void set_need_layout() = 0;

   // Marks `rectangles` (client coordinates; all of the window when the list is empty) to be
   // drawn at the next frame. `pgraphics` names a context that the caller draws with itself
   // (null: the window's own), and `callback` runs once that frame has been presented.
   virtual void set_need_redraw(const std::vector<rectangle_type<int>> & rectangles = {},
                                zel2d::context * pgraphics = nullptr, const function<void()> & callback = {}) = 0;

   // Schedules the frame that the marks ask for (without marks, nothing is drawn).
   virtual void post_redraw() = 0;

   // The window's outer rectangle on the desktop, left, top, right, bottom. `iLayout` names the
   // placement state asked for; 3 is the current one, the only one a caller of this toolkit asks.
   virtual rectangle_type<int> window_rectangle(int iLayout = 3) = 0;

   // The drawing area: (0, 0) to the client width and height in pixels.
   virtual rectangle_type<int> client_rectangle(int iLayout = 3) = 0;

   // The window lock: held around work that must not interleave with the window's own drawing.
   virtual std::recursive_mutex & window_mutex() = 0;

   // Device pixels per logical pixel (2.0 on a doubled display).
   virtual float pixel_ratio() { return 1.0f; }

   // The frame window that holds this one (itself for a top-level window).
   virtual interaction * top_level() { return this; }

   // Posts a message to the window's routing, handled later on the UI thread (34212 quits the
   // application).
   virtual void post_message(long long llMessage, long long wparam = 0, const pointer<particle> & lparam = {}) = 0;

   // The width that the operating-system window reserves at the left of its title area for its
   // own buttons; 0 where it reserves none.
   virtual int system_button_area_width() { return 0; }

   // The part that draws the window and receives its events: the host calls it for every event
   // and frame. Not owned; the screen that implements it outlives the window's use of it.
   void set_appearance(appearance * pappearance) noexcept { m_pappearance = pappearance; }
   appearance * get_appearance() const noexcept { return m_pappearance; }

   // Asynchronous file dialogs, shown as windows of this window's screen. The call returns at
   // once; `completion` runs later with the dialog, answered or cancelled (an empty
   // `file_dialog::get_file_path`). Without a screen the completion runs at once with a cancelled
   // dialog.
   void pick_single_file_to_open(const file::file_dialog_filter & filter,
                                 const function<void(file::file_dialog *)> & completion);
   void pick_single_file_to_save(const file::file_dialog_filter & filter,
                                 const function<void(file::file_dialog *)> & completion,
                                 scoped_string_base strDefaultName = {});

   // Shows a dialog that `pick_single_file_to_open` or `..._to_save` made: the toolkit's own
   // dialog window on this window's screen, or, without a screen, a cancel at once. A window of
   // the desktop may show it another way (its desktop's chooser).
   virtual void show_file_dialog(const pointer<file::file_dialog> & pdialog, scoped_string_base strDefaultName);

private:
   appearance * m_pappearance = nullptr;
};

} // namespace user
