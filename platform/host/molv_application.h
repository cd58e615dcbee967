#pragma once

#include "host/application.h"

namespace molv
{

// The windowing tier of the application: it brings up the video system at start and closes every
// window that is still open at the end.
class application : virtual public platform::application
{
public:
   // Starts SDL's video system; throws an `exception` with SDL's reason when it cannot.
   void init_instance() override;
   // Requests the application does not know about change nothing.
   void on_request(request * prequest) override;
   // Destroys the windows that are still open and stops the video system.
   bool term_application() override;
};

} // namespace molv
