#pragma once

#include "host/application.h"

namespace molv
{

// The windowing tier of the application: it brings up the video system at start and closes every
// window that is still open at the end.
class application : virtual public platform::application
{
public:
   // Starts SDL's video system, its windows of the application's desktop class; throws an
   // `exception` that says why when it cannot, or when there is no display to show the windows on
   // (unless SDL_VIDEODRIVER asks for drawing into memory only, "offscreen" or "dummy"). An error
   // of the X server is told, and does not end the program (user::x_error_handler).
   void init_instance() override;
   // Requests the application does not know about change nothing.
   void on_request(request * prequest) override;
   // Forgets the web pages still being opened, destroys the windows that are still open and
   // stops the video system.
   bool term_application() override;
};

} // namespace molv
