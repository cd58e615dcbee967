#include <memory>
#include <mutex>

#include "core/Global.h"
#include "core/PSDSaver.h"
#include "core/frame_builder.h"
#include "document/boxes_layer.h"
#include "document/project.h"
#include "orvo/trace.h"
#include "screen/MainScreen.h"
#include "toolwindows/SettingsRasterLabel.h"

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

void Global::refresh_after_failed_build(pointer_array<app_layer> & layers)
{
   if (m_pscreen)
   {
      m_pscreen->reload_all(true);
   }
   // Marks set since the build began are kept: a failing layer switching its path off, a tool
   // window writing back what it shows (the "Colors" window's opaque fills). The failed layer
   // itself is drawn again only once its settings changed. The next draw goes on with the layers
   // after the failed one.
   take_layers_changed(layers);
   set_changed();
}

bool Global::defer_build_frame(bool bDocument, zel2d::context * pcontext)
{
   std::lock_guard lock(m_mutexFrame);
   pointer<project> pproject(current_project());
   if (bDocument && !pproject)
   {
      return false;
   }
   // Change detection.
   pointer_array<app_layer> & layers = bDocument ? pproject->get_layers() : get_presets();
   bool bChanged = take_changed();
   bChanged = take_layers_changed(layers) || bChanged;
   // Frame building.
   if (bChanged && bDocument)
   {
      debug_trace("has changed");
      if (m_pscreen && m_pscreen->take_focus_restore())
      {
         // A layer was just selected: the field that had the focus gets its text back first,
         // and the next draw builds.
         m_pscreen->reapply_settings_base_widget_previous_value();
         set_changed();
         m_pscreen->set_need_redraw();
         m_pscreen->post_redraw();
         return false;
      }
      if (!m_pframebuilder->build(*pproject, pcontext, m_pscreen && m_pscreen->isOnlyCurrent()))
      {
         refresh_after_failed_build(layers);
         return false;
      }
   }
   // Export request and composition decision.
   const exporter::request request = m_exporter.take_request();
   if (!pproject)
   {
      return bChanged || request.is_set();
   }
   if (!bChanged && !request.is_set() && !m_pframebuilder->needs_composing(*pproject))
   {
      return false;
   }
   const bool bExport = request.is_set() && m_exporter.may_export(request, *pproject);
   std::unique_ptr<PSDSaver> ppsd = bExport && request.m_strExtension == "psd" ? std::make_unique<PSDSaver>() : nullptr;
   const int xLabel = pproject->m_iRasterLabelX;
   const int yLabel = pproject->m_iRasterLabelY;
   if (!m_pframebuilder->compose(*pproject, pcontext, ppsd.get()))
   {
      return true;
   }
   // A label kept at the raster's edge moved: the "Raster Label" tool window shows where to.
   SettingsRasterLabel * prasterlabel = m_pscreen ? m_pscreen->get_raster_label_window() : nullptr;
   if (prasterlabel && (pproject->m_iRasterLabelX != xLabel || pproject->m_iRasterLabelY != yLabel))
   {
      prasterlabel->get_settings_from_layer(pproject->current_boxes_layer());
   }
   if (bExport)
   {
      m_exporter.write(request, ppsd.get());
   }
   return true;
}

} // namespace Tarvossa_BrisvanePro
