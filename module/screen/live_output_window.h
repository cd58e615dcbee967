#pragma once

#include "host/main_window.h"
#include "orvo/pointer.h"
#include "screen/forward.h"

namespace Tarvossa_BrisvanePro
{

// The borderless window over a chosen monitor that shows the composed raster 1:1. Its place is
// not saved, and closing it asks nothing.
class live_output_window : virtual public user::main_window
{
public:
   live_output_window();
   ~live_output_window() override;

   void install_message_routing(channel * pchannel) override;
   // A window with an empty drawing area is not laid out.
   void on_layout(zel2d::context * pcontext) override;

   // The controller whose document the window shows; set before the window is created.
   void set_global(Global * pglobal) noexcept { m_pglobal = pglobal; }
   Global * get_global() const noexcept { return m_pglobal; }
   LiveOutputScreen * get_screen() const noexcept { return m_pscreen.get(); }

private:
   void on_create(message::message * pmessage);
   void on_close(message::message * pmessage);

   Global * m_pglobal = nullptr;
   pointer<LiveOutputScreen> m_pscreen;
};

} // namespace Tarvossa_BrisvanePro
