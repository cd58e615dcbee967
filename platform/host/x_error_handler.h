#pragma once

struct SDL_Window;

namespace user
{

// Keeps an error of the X server from ending the program. Xlib's own handler prints the error and
// exits, which would lose the user's unsaved work to a request that nothing depends on; this one
// tells the error on standard error in one line, and the program goes on. A lost connection to the
// X server (Xlib's I/O error handler) still ends it.
//
// One error is expected and goes to the debug trace only: SDL wakes its wait for events with a
// message that it sends to one of the program's windows over an X connection of its own. The X
// server may serve that connection after the main one, so a wake-up sent shortly before the window
// is destroyed fails with BadWindow, and the error is read only when SDL closes that connection.
class x_error_handler
{
public:
   // Puts the handler in place. Run before SDL's video system starts: SDL hands the errors it does
   // not expect on to the handler it found, and puts that one back when it stops, before it closes
   // its connections.
   static void install();

   // The window is about to be destroyed: a message sent to it that fails from now on is the
   // expected one. Nothing for a window that is not on X.
   static void note_destroyed(SDL_Window * pwindow);
};

} // namespace user
