#include "core/frame_cycle.h"

#include <memory>
#include <mutex>

#include "core/Global.h"
#include "core/PSDSaver.h"
#include "core/frame_builder.h"
#include "core/screen_link.h"
#include "document/boxes_layer.h"
#include "document/project.h"
#include "orvo/trace.h"

namespace Tarvossa_BrisvanePro
{

namespace
{

// Asks every layer whether it changed, clearing every mark (so all are asked); a marked layer's
// picture is drawn again.
bool take_layers_changed(pointer_array<app_layer> & layers)
{
   bool bChanged = false;
   for (auto & player : layers)
   {
      if (player->has_changed())
      {
         player->forget_drawn_inputs();
         bChanged = true;
      }
   }
   return bChanged;
}

} // namespace

void frame_cycle::refresh_after_failed_build(pointer_array<app_layer> & layers)
{
   if (screen_link * pscreen = m_global.get_app())
   {
      pscreen->reload_all(true);
   }
   // Marks set since the build began are kept: a failing layer switching its path off, a tool
   // window writing back what it shows (the "Colors" window's opaque fills). The failed layer
   // itself is drawn again only once its settings changed. The next draw goes on with the layers
   // after the failed one.
   take_layers_changed(layers);
   m_global.set_changed();
}

bool frame_cycle::run(bool bDocument, zel2d::context * pcontext)
{
   std::lock_guard lock(m_global.frame_mutex());
   pointer<project> pproject(m_global.current_project());
   if (bDocument && !pproject)
   {
      return false;
   }
   screen_link * pscreen = m_global.get_app();
   frame_builder & builder = m_global.frame();
   // Change detection.
   pointer_array<app_layer> & layers = bDocument ? pproject->get_layers() : m_global.get_presets();
   bool bChanged = m_global.take_changed();
   bChanged = take_layers_changed(layers) || bChanged;
   // Frame building.
   if (bChanged && bDocument)
   {
      debug_trace("has changed");
      if (pscreen && pscreen->take_focus_restore())
      {
         // A layer was just selected: the field that had the focus gets its text back first,
         // and the next draw builds.
         pscreen->reapply_settings_base_widget_previous_value();
         m_global.set_changed();
         pscreen->set_need_redraw();
         pscreen->post_redraw();
         return false;
      }
      if (!builder.build(*pproject, pcontext, pscreen && pscreen->isOnlyCurrent()))
      {
         refresh_after_failed_build(layers);
         return false;
      }
   }
   // Export request and composition decision.
   const exporter::request request = m_global.exports().take_request();
   if (!pproject)
   {
      return bChanged || request.is_set();
   }
   if (!bChanged && !request.is_set() && !builder.needs_composing(*pproject))
   {
      return false;
   }
   const bool bExport = request.is_set() && m_global.exports().may_export(request, *pproject);
   std::unique_ptr<PSDSaver> ppsd = bExport && request.m_strExtension == "psd" ? std::make_unique<PSDSaver>() : nullptr;
   const int xLabel = pproject->m_iRasterLabelX;
   const int yLabel = pproject->m_iRasterLabelY;
   if (!builder.compose(*pproject, pcontext, ppsd.get()))
   {
      return true;
   }
   // A label kept at the raster's edge moved: the "Raster Label" tool window shows where to.
   if (pscreen && (pproject->m_iRasterLabelX != xLabel || pproject->m_iRasterLabelY != yLabel))
   {
      pscreen->raster_label_follow_layer();
   }
   if (bExport)
   {
      m_global.exports().write(request, ppsd.get());
   }
   return true;
}

} // namespace Tarvossa_BrisvanePro
