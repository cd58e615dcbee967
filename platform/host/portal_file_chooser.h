#pragma once

#include <chrono>
#include <memory>
#include <vector>

#include "orvo/function.h"
#include "orvo/pointer.h"
#include "orvo/string.h"
#include "zelui/file_dialog.h"

namespace platform
{

class session_bus;

// Open and save dialogs shown by the desktop's own file chooser, reached through the XDG desktop
// portal (`org.freedesktop.portal.FileChooser` on the session bus). A request carries the
// dialog's filters in their order, the selected one, the folder the last dialog ended in, the
// suggested name and the parent window; the portal's answer (the chosen file and filter) answers
// the dialog, so its completion runs on the UI thread while the event loop serves the bus. A
// chooser that the user closed without choosing (its cancel button, Escape, the window manager's
// close) cancels the dialog, and the portal serves the next one as before.
//
// A portal that is missing, answers with an error or does not answer a request within the bus's
// call timeout is given up for the rest of the run, with one information line; the dialog that
// met the failure and every later one are then shown by the caller's own dialog. The environment
// variable BRISVANE_FILE_DIALOG set to "own" or "portal" forces one of the two; a forced portal
// that fails cancels the dialog instead.
class portal_file_chooser
{
public:
   enum enum_mode
   {
      e_mode_automatic,
      e_mode_own,
      e_mode_portal,
   };

   // The mode BRISVANE_FILE_DIALOG asks for; any other value is automatic.
   static enum_mode mode_from_environment();

   // `callTimeout` bounds the wait for the portal's reply to a request (zero: the bus's default);
   // the user's time in the chooser is not bounded.
   explicit portal_file_chooser(enum_mode emode = mode_from_environment(),
                                std::chrono::microseconds callTimeout = std::chrono::microseconds(0));
   ~portal_file_chooser();

   // Asks the portal to show the dialog and returns true; false when the portal is not to be
   // used, and the caller shows its own dialog now. `fallback` runs instead of an answer when the
   // portal fails later. `strParentWindow` names the parent as the portal expects ("x11:1a00007";
   // empty for none). `closed` runs when the chooser closes, answered or cancelled, before the
   // dialog's completion: the parent takes the keyboard back there.
   bool show(const pointer<file::file_dialog> & pdialog, scoped_string_base strDefaultName,
             scoped_string_base strParentWindow, const function<void()> & fallback, const function<void()> & closed = {});

   // Whether a request waits for the portal; the event loop then serves the bus.
   bool is_waiting() const noexcept { return !m_requests.empty(); }
   // Waits for the bus at most `timeout` and handles what arrived: answers, failures.
   void serve(std::chrono::milliseconds timeout);
   // Drops every request unanswered and leaves the bus, at the end of the application: the
   // dialogs' completions belong to a module that is about to go.
   void close();

   struct request;

private:
   void send(request & request, scoped_string_base strDefaultName, scoped_string_base strParentWindow);
   // Ends a request the portal could not serve: gives the portal up and shows the own dialog.
   void fail(request & request, scoped_string_base strReason);
   void give_up(scoped_string_base strReason);
   void forget_finished_requests();

   enum_mode m_emode;
   std::chrono::microseconds m_callTimeout;
   bool m_bGivenUp = false;
   std::unique_ptr<session_bus> m_pbus;
   std::vector<std::unique_ptr<request>> m_requests;
   long long m_iNextToken = 1;
};

// The local path that a "file://" URI names, with its %XX escapes decoded; empty for another
// scheme or a host other than "localhost".
string_base path_of_file_uri(scoped_string_base strUri);

} // namespace platform
