#pragma once

#include <mutex>
#include <vector>

#include "zelui/interaction.h"

// A window for a root screen in tests: it records the messages posted to it, counts the layouts
// and redraws asked of it, and takes every other request as done.
struct recording_window : public user::interaction
{
   void set_need_layout() override { ++m_iLayoutRequests; }
   void set_need_redraw(const std::vector<rectangle_type<int>> &, zel2d::context *, const function<void()> &, bool) override
   {
      ++m_iRedrawRequests;
   }
   void post_redraw(bool) override { ++m_iRedrawPosts; }
   rectangle_type<int> window_rectangle(int) override { return {0, 0, 800, 600}; }
   rectangle_type<int> client_rectangle(int) override { return {0, 0, 800, 600}; }
   std::recursive_mutex & window_mutex() override { return m_mutex; }
   void post_message(long long llMessage, long long, const pointer<particle> &) override { m_messages.push_back(llMessage); }

   std::vector<long long> m_messages;
   int m_iLayoutRequests = 0;
   int m_iRedrawRequests = 0;
   int m_iRedrawPosts = 0;
   std::recursive_mutex m_mutex;
};
