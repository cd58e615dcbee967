#pragma once

#include "core/forward.h"
#include "orvo/pointer_array.h"

namespace zel2d
{
class context;
}

namespace Tarvossa_BrisvanePro
{

// One draw's turn of the document's frame, where the canvas and the document meet: the change
// marks are taken, the layers' pictures rebuilt and the frame composed when anything changed, and a
// pending picture export is written from the frame. The canvas drives it on every draw through
// `Global::defer_build_frame`. What the screen must do meanwhile (the text of the field that had
// the focus put back after a layer was selected, the "Raster Label" window following a label kept
// at the raster's edge) goes through the controller's screen link.
class frame_cycle
{
public:
   explicit frame_cycle(Global & global) : m_global(global) {}

   // Runs under the frame lock; true when the document had changed or an export was pending.
   // `bDocument` false looks at the presets' marks and builds nothing.
   bool run(bool bDocument, zel2d::context * pcontext);

private:
   // After a layer failed to draw: the panels show the document again, and the next draw goes on.
   void refresh_after_failed_build(pointer_array<app_layer> & layers);

   Global & m_global;
};

} // namespace Tarvossa_BrisvanePro
