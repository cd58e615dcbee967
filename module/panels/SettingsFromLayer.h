#pragma once

#include "core/Global.h"
#include "document/app_layer.h"
#include "orvo/pointer.h"
#include "orvo/pointer_array.h"
#include "panels/CheckboxWithFocus.h"
#include "panels/forward.h"
#include "zelui/Popup.h"
#include "zelui/PopupButton.h"
#include "zelui/TextBox.h"

namespace Tarvossa_BrisvanePro
{

// The part of the top tool bar, the path pattern picker and every tool window that shows the
// current screen layer: the controller, the current screen layer, the call through which the root
// screen hands that layer over after every structural change, the way its controls change that
// layer, and the walk that registers the fields in the controller's focus order.
class SettingsFromLayer : virtual public particle
{
public:
   explicit SettingsFromLayer(Global * pglobal) : m_pglobal(pglobal) {}

   // The current layer of the current document when it is a screen layer, else empty.
   virtual pointer<boxes_layer> current_boxes_layer();
   // Fills the controls from the layer; empty when no screen layer is current.
   virtual void get_settings_from_layer(const pointer<boxes_layer> & player) = 0;

   // Registers the text boxes (and focusable check boxes) among the children, depth first, in
   // the focus order; descends into children of the classes TYPES and into the popups of popup
   // buttons.
   template <typename... TYPES>
   void add_children_to_tab_order(const pointer_array<zelui::Widget> & children)
   {
      for (const pointer<zelui::Widget> & pchild : children)
      {
         zelui::Widget * pwidget = pchild.get();
         if (dynamic_cast<zelui::TextBox *>(pwidget) || dynamic_cast<CheckboxWithFocus *>(pwidget))
         {
            m_pglobal->add_to_tab_order(pwidget);
         }
         if ((dynamic_cast<TYPES *>(pwidget) || ...))
         {
            add_children_to_tab_order<TYPES...>(pwidget->children());
         }
         if (auto * pbutton = dynamic_cast<zelui::PopupButton *>(pwidget); pbutton && pbutton->popup())
         {
            add_children_to_tab_order<TYPES...>(pbutton->popup()->children());
         }
      }
   }

protected:
   // Changes the current screen layer through the controller (`Global::change_current_boxes_layer`),
   // which marks it changed once, as `echange`; false without one.
   bool change_layer(layer_change echange, const function<void(boxes_layer &)> & edit) const
   {
      return m_pglobal && m_pglobal->change_current_boxes_layer(echange, edit);
   }
   // A control's callback that writes the value it is called with into the current screen layer
   // by `write(layer, value)`, as a change of `echange`; without a current screen layer it does
   // nothing.
   template <typename WRITE>
   auto write_to_layer(WRITE write, layer_change echange = layer_change::look) const
   {
      return [this, echange, write](const auto & value) { change_layer(echange, [&](boxes_layer & layer) { write(layer, value); }); };
   }

   Global * m_pglobal;
};

// The widget that decides whether a field shows: the nearest ancestor that shows a layer, the
// owner of a popup, or the page of a tab widget; null when there is none.
zelui::Widget * findParent(zelui::Widget * pwidget);

// Whether one of the widget's ancestors (not the widget itself) is a tool window.
bool is_settings_base_widget(zelui::Widget * pwidget);

} // namespace Tarvossa_BrisvanePro
