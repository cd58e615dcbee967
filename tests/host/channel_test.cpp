#include <gtest/gtest.h>

#include "host/channel.h"

namespace
{

struct routed : channel
{
   std::string m_strTrace;
};

} // namespace

TEST(channel, the_newest_handler_runs_first_and_previous_runs_the_older_ones)
{
   pointer<routed> p = make_pointer<routed>();
   p->add_message_handler(e_message_create, [&](message::message *) { p->m_strTrace += "base "; });
   p->add_message_handler(e_message_create, [&](message::message * pmessage)
   {
      p->m_strTrace += "middle ";
      pmessage->previous();
      pmessage->previous(); // nothing is left below the base
   });
   p->add_message_handler(e_message_create, [&](message::message * pmessage)
   {
      pmessage->previous();
      if (!pmessage->is_finished())
      {
         p->m_strTrace += "top";
      }
   });
   message::message create(e_message_create);
   p->route_message(&create);
   EXPECT_EQ(p->m_strTrace, "middle base top");
}

TEST(channel, a_handler_that_finishes_the_message_stops_the_one_above_from_acting)
{
   pointer<routed> p = make_pointer<routed>();
   p->add_message_handler(e_message_close, [](message::message * pmessage) { pmessage->set_finished(); });
   p->add_message_handler(e_message_close, [&](message::message * pmessage)
   {
      pmessage->previous();
      p->m_strTrace = pmessage->is_finished() ? "finished below" : "acted";
   });
   message::message close(e_message_close);
   p->route_message(&close);
   EXPECT_EQ(p->m_strTrace, "finished below");
}

TEST(channel, a_message_without_handlers_and_handlers_added_while_routing_change_nothing_now)
{
   pointer<routed> p = make_pointer<routed>();
   message::message size(e_message_size);
   p->route_message(&size);
   EXPECT_FALSE(size.is_finished());

   int iCalls = 0;
   p->add_message_handler(e_message_size, [&](message::message *)
   {
      ++iCalls;
      p->add_message_handler(e_message_size, [&](message::message *) { iCalls += 100; });
   });
   p->route_message(&size);
   EXPECT_EQ(iCalls, 1);
}
