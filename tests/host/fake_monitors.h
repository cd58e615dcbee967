#pragma once

// Monitors that the machine does not have, for tests of where windows go.

#include <utility>
#include <vector>

#include "host/context.h"
#include "host/monitor_source.h"
#include "host/windowing.h"

// While it lives, the windowing takes its monitors from here instead of SDL's displays: the
// rectangles given, in order.
class fake_monitors
{
public:
   explicit fake_monitors(std::vector<rectangle_i32> rectangles)
   {
      platform::context::windowing()->set_monitor_source(make_pointer<listed>(std::move(rectangles)));
   }
   ~fake_monitors() { platform::context::windowing()->set_monitor_source(nullptr); }

   fake_monitors(const fake_monitors &) = delete;
   fake_monitors & operator=(const fake_monitors &) = delete;

private:
   class listed : public user::monitor_source
   {
   public:
      explicit listed(std::vector<rectangle_i32> rectangles) : m_rectangles(std::move(rectangles)) {}

      int monitor_count() override { return static_cast<int>(m_rectangles.size()); }
      rectangle_i32 monitor_rectangle(int iMonitor) override { return m_rectangles.at(static_cast<std::size_t>(iMonitor)); }

   private:
      std::vector<rectangle_i32> m_rectangles;
   };
};
