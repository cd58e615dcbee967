#include "panels/SettingsFromLayer.h"

#include "document/boxes_layer.h"
#include "document/project.h"
#include "toolwindows/SettingsBaseWindow.h"
#include "zelui/TabWidgetBase.h"

namespace Tarvossa_BrisvanePro
{

pointer<boxes_layer> SettingsFromLayer::current_boxes_layer()
{
   project * pproject = m_pglobal ? m_pglobal->current_project() : nullptr;
   return pproject ? pproject->current_boxes_layer() : pointer<boxes_layer>();
}

zelui::Widget * findParent(zelui::Widget * pwidget)
{
   if (!pwidget)
   {
      return nullptr;
   }
   for (zelui::Widget * p = pwidget->parent(); p;)
   {
      if (dynamic_cast<SettingsFromLayer *>(p))
      {
         return p;
      }
      if (auto * ppopup = dynamic_cast<zelui::Popup *>(p))
      {
         return ppopup->parent_window();
      }
      zelui::Widget * pparent = p->parent();
      if (dynamic_cast<zelui::TabWidgetBase *>(pparent))
      {
         return p;
      }
      p = pparent;
   }
   return nullptr;
}

bool is_settings_base_widget(zelui::Widget * pwidget)
{
   for (zelui::Widget * p = pwidget ? pwidget->parent() : nullptr; p; p = p->parent())
   {
      if (dynamic_cast<SettingsBaseWindow *>(p))
      {
         return true;
      }
   }
   return false;
}

} // namespace Tarvossa_BrisvanePro
