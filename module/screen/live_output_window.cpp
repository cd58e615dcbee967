#include "screen/live_output_window.h"

#include "host/message.h"
#include "screen/LiveOutputScreen.h"

namespace Tarvossa_BrisvanePro
{

live_output_window::live_output_window()
{
   m_rectangleInitialRateOrSize = {0.05, 0.05, 0.89, 0.89};
}

live_output_window::~live_output_window()
{
   // The screen goes first: its canvas may still ask this window for redraws while it goes.
   set_appearance(nullptr);
   m_pscreen.reset();
}

void live_output_window::install_message_routing(channel * pchannel)
{
   user::main_window::install_message_routing(pchannel);
   pchannel->add_message_handler(e_message_create, [this](message::message * pmessage) { on_create(pmessage); });
   pchannel->add_message_handler(e_message_destroy, [](message::message *) {});
   pchannel->add_message_handler(e_message_close, [this](message::message * pmessage) { on_close(pmessage); });
}

void live_output_window::on_create(message::message * pmessage)
{
   pmessage->previous();
   if (pmessage->is_finished())
   {
      return;
   }
   m_pscreen = make_pointer<LiveOutputScreen>(this, m_pglobal);
   set_appearance(m_pscreen->appearance());
}

void live_output_window::on_close(message::message * pmessage)
{
   pmessage->set_finished();
   if (m_pscreen)
   {
      m_pscreen->on_close();
   }
}

void live_output_window::on_layout(zel2d::context * pcontext)
{
   const rectangle_i32 rectangle = client_rectangle(user::e_layout_current);
   if (rectangle.width() <= 0 || rectangle.height() <= 0)
   {
      return;
   }
   user::main_window::on_layout(pcontext);
}

} // namespace Tarvossa_BrisvanePro
