#pragma once

#include "orvo/geometry.h"
#include "orvo/particle.h"

namespace user
{

// Where the monitors come from: SDL's displays. A test derives from it to present monitors that
// the machine does not have.
class monitor_source : virtual public particle
{
public:
   virtual int monitor_count();
   // The monitor's rectangle on the desktop; the index is valid (0 to count - 1).
   virtual rectangle_i32 monitor_rectangle(int iMonitor);
};

} // namespace user
