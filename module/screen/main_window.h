#pragma once

#include "host/app_consumer_base.h"
#include "host/main_window.h"
#include "screen/application.h"
#include "screen/forward.h"

namespace Tarvossa_BrisvanePro
{

// The application's frame window: it builds the root screen, creates the screen's children when
// the window is created, saves its rectangle when it is moved or resized, and turns the close box
// into the quit question.
class main_window : public app_consumer_base<application, user::main_window>
{
public:
   main_window();
   ~main_window() override;

   void on_initialize_particle() override;
   void install_message_routing(channel * pchannel) override;
   void on_control_box_close();

   MainScreen * get_main_screen() const noexcept { return m_pscreen.get(); }
   bool is_created() const noexcept { return m_bCreated; }

private:
   void on_create(message::message * pmessage);
   void on_size_or_reposition(message::message * pmessage);
   void on_close(message::message * pmessage);

   pointer<MainScreen> m_pscreen;
   bool m_bCreated = false;
};

} // namespace Tarvossa_BrisvanePro
