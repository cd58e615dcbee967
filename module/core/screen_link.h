#pragma once

#include <map>

#include "orvo/function.h"
#include "orvo/string.h"
#include "zelui/Screen.h"

namespace Tarvossa_BrisvanePro
{

// What the document controller, the panels and the tool windows ask of the root screen of the main
// window, which sits above them and puts them together. The root screen implements it and hands
// itself to its `Global`; everything below reaches the screen through `Global::get_app()` or its
// own `screen()`, never through the screen's own class.
class screen_link : public zelui::Screen
{
public:
   using zelui::Screen::Screen;

   // What shows the document follows it: the panels and tool windows, the current layer, the
   // tool windows that fit the current layer's kind, the side panel's lists at the next layout.
   virtual void reload_all(bool bUpdate) = 0;
   virtual void setCurrentLayerTo(long long index, bool bUpdate) = 0;
   virtual void update_settings_visibility() = 0;
   virtual void set_right_panel_dirty() = 0;
   // The canvas and the live output show the frame: both draw again.
   virtual void redraw_canvas() = 0;
   virtual void redraw_live_output() = 0;

   // What the frame build and the layer moves read and refresh: the side panel's layer list and
   // its "Draw Current Only" switch, the "Raster Label" tool window (from the raster's size or from
   // the current layer) and the "Power" tool window's currents.
   virtual bool has_layer_list() const = 0;
   virtual bool isOnlyCurrent() const = 0;
   virtual void raster_label_follow_raster() = 0;
   virtual void raster_label_follow_layer() = 0;
   virtual void update_power_amperes() = 0;

   // The focus of tool-window fields: whether a field shows and may take it, and taking it, for
   // the controller's focus order; after a layer was
   // selected, the frame build takes the restore mark once and puts the remembered text back.
   virtual bool can_take_focus(zelui::Widget * pwidget) const = 0;
   virtual void set_focus_to(zelui::Widget * pwidget) = 0;
   virtual bool take_focus_restore() = 0;
   virtual void reapply_settings_base_widget_previous_value() = 0;

   // What the panels and tool windows ask for: the add-layer menu, the live output on a monitor
   // (negative: off), the tool-window layout written, and the menu actions that the screen runs
   // itself, by caption.
   virtual void showAddLayerContextMenu() = 0;
   virtual void set_live_output_to_monitor(long long iMonitor) = 0;
   virtual void settings_save_layout() = 0;
   virtual void add_menu_actions(std::map<string_base, function<void()>> & actions) = 0;
};

} // namespace Tarvossa_BrisvanePro
