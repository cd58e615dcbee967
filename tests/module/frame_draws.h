#pragma once

// The frame builds that the canvas's draws run (`Global::defer_build_frame`), for tests whose
// canvas does not draw. The drawing context is the draws' own and holds the frame's image.

#include "core/Global.h"
#include "zel2d/context.h"

class frame_draws
{
public:
   // One draw's build: true when the document had changed or an export was pending.
   bool build(Tarvossa_BrisvanePro::Global & global) const { return global.defer_build_frame(true, m_pcontext.get()); }

   // The builds of the next few draws, until nothing is left pending: a selection puts the build
   // off by one draw, and a layer whose drawing failed is drawn again at the next.
   void build_settled(Tarvossa_BrisvanePro::Global & global) const
   {
      for (int i = 0; i < settling_draws; ++i)
      {
         build(global);
      }
   }

private:
   static constexpr int settling_draws = 4;

   pointer<zel2d::context> m_pcontext = make_pointer<zel2d::context>();
};
