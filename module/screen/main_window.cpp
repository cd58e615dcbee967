#include "screen/main_window.h"

#include "screen/MainScreen.h"

namespace Tarvossa_BrisvanePro
{

main_window::main_window()
{
   m_rectangleInitialRateOrSize = {0.05, 0.05, 0.89, 0.89};
}

main_window::~main_window()
{
   // The screen goes first: its widgets may still ask this window for redraws while they go.
   set_appearance(nullptr);
   m_pscreen.reset();
}

void main_window::on_initialize_particle()
{
   app_consumer_base<application, user::main_window>::on_initialize_particle();
   m_pscreen = make_pointer<MainScreen>(this);
}

void main_window::install_message_routing(channel * pchannel)
{
   user::main_window::install_message_routing(pchannel);
   pchannel->add_message_handler(e_message_create, [this](message::message * pmessage) { on_create(pmessage); });
   pchannel->add_message_handler(e_message_destroy, [](message::message *) {});
   pchannel->add_message_handler(e_message_close, [this](message::message * pmessage) { on_close(pmessage); });
   pchannel->add_message_handler(e_message_size, [this](message::message * pmessage) { on_size_or_reposition(pmessage); });
   pchannel->add_message_handler(e_message_reposition,
                                 [this](message::message * pmessage) { on_size_or_reposition(pmessage); });
}

void main_window::on_control_box_close()
{
   if (m_pscreen)
   {
      m_pscreen->on_close();
   }
}

void main_window::on_create(message::message * pmessage)
{
   pmessage->previous();
   if (pmessage->is_finished() || !m_pscreen)
   {
      return;
   }
   m_pscreen->create_main_screen();
   set_appearance(m_pscreen->appearance());
   m_bCreated = true;
}

void main_window::on_size_or_reposition(message::message *)
{
   // Before the screen is built the rectangle is the one being created, not one the user chose.
   if (!m_bCreated)
   {
      return;
   }
   if (application * papplication = get_app())
   {
      papplication->save_settings();
   }
}

void main_window::on_close(message::message * pmessage)
{
   pmessage->set_finished();
   on_control_box_close();
}

} // namespace Tarvossa_BrisvanePro
