#pragma once

#include <mutex>
#include <vector>

#include "zelui/interaction.h"

// A window for a screen in tests: it records the messages posted to it, counts the layouts and
// redraws asked of it, and takes every other request as done.
class recording_interaction : public user::interaction
{
public:
   void set_need_layout() override { ++m_iLayouts; }
   void set_need_redraw(const std::vector<rectangle_type<int>> &, zel2d::context *, const function<void()> &) override
   {
      ++m_iRedraws;
   }
   void post_redraw() override { ++m_iPosts; }
   rectangle_type<int> window_rectangle(int) override { return {100, 100, 900, 700}; }
   rectangle_type<int> client_rectangle(int) override { return {0, 0, 800, 600}; }
   std::recursive_mutex & window_mutex() override { return m_mutex; }
   void post_message(long long llMessage, long long, const pointer<particle> &) override { m_messages.push_back(llMessage); }

   int m_iLayouts = 0;
   int m_iRedraws = 0;
   int m_iPosts = 0;
   std::vector<long long> m_messages;
   std::recursive_mutex m_mutex;
};
