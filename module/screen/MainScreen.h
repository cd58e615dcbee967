#pragma once

#include <array>
#include <atomic>
#include <map>
#include <vector>

#include "core/screen_link.h"
#include "core/tool_window_layout.h"
#include "orvo/enumeration.h"
#include "orvo/keyboard.h"
#include "orvo/path.h"
#include "orvo/pointer.h"
#include "screen/forward.h"

namespace zelui
{
class TextBox;
class Window;
} // namespace zelui

namespace Tarvossa_BrisvanePro
{

// The root screen of the main window. It owns the document controller and every child widget
// (canvas, menus, tool bar, side panel, tool windows), lays them out by the window size, routes
// the keyboard, refreshes whatever shows the current screen layer, switches the tool windows with
// the kind of the current layer, and keeps the tool-window layout file. Until
// `create_main_screen` ran, the children are missing and every call on them is skipped.
class MainScreen : public screen_link
{
public:
   explicit MainScreen(user::interaction * pinteraction);
   ~MainScreen() override;

   Global * get_global() const noexcept { return m_pglobal.get(); }

   // Builds the children in drawing order, loads the tool-window layout and the presets.
   void create_main_screen();

   // Hands the current screen layer to every panel and tool window, refreshes the counts and
   // marks the side panel for re-synchronisation. Does nothing for `bUpdate` false or when it is
   // reached again while it runs.
   void reload_all(bool bUpdate) override;
   void setCurrentLayerTo(long long index, bool bUpdate) override;
   void update_settings_visibility() override;
   void redraw_canvas() override;
   void redraw_live_output() override;
   bool has_layer_list() const override;
   void raster_label_follow_raster() override;
   void raster_label_follow_layer() override;
   void update_power_amperes() override;

   void resize_elements_to_window_size(int iWidth, int iHeight);
   void perform_layout(zel2d::context * pcontext) override;
   bool resize_event(const size_type<int> & size) override;
   bool keyboard_event(user::enum_key ekey, int iScancode, int iAction, const enumeration<user::enum_key> & emodifiers,
                       const string_base & strText) override;
   bool mouse_button_event(const point_type<int> & point, enumeration<user::enum_mouse> ebutton, bool bDown,
                           bool bDoubleClick, const enumeration<user::enum_key> & emodifiers) override;
   bool on_mouse_down(zelui::Widget * pwidget) override;
   void draw_contents(zel2d::context * pcontext) override;
   // Asks "Quit" / "Are you sure ?"; "Yes" quits the application.
   void on_close() override;
   bool is_asking_to_quit() const;

   // The focus of tool-window fields.
   void on_child_set_focus(zelui::Widget * pwidget) override;
   void on_child_kill_focus(zelui::Widget * pwidget) override;
   // A field takes the focus when it and the widget that decides its visibility both show.
   bool can_take_focus(zelui::Widget * pwidget) const override;
   void set_focus_to(zelui::Widget * pwidget) override;
   void reapply_settings_base_widget_previous_value() override;
   // Read and cleared by the frame build, which then puts the remembered field text back.
   bool take_focus_restore() override { return std::exchange(m_bFocusRestore, false); }

   // The "Draw Current Only" switch of the layer list; false without a side panel.
   bool isOnlyCurrent() const override;
   // Moves the child last, so that it is drawn in front of its siblings.
   void moveWidgetToFront(zelui::Widget * pwidget);
   zelui::Widget * getFrontWidget() const;
   void move_top_menu_to_front();

   // The canvas, once `create_main_screen` made it.
   MainImpact * canvas() const noexcept { return m_pmainimpact.get(); }
   // The tool windows, once `create_main_screen` made them.
   SettingsBoxes * get_screen_info_window() const noexcept { return m_psettingsboxes; }
   SettingsPower * get_power_window() const noexcept { return m_psettingspower; }
   SettingsRasterLabel * get_raster_label_window() const noexcept { return m_psettingsrasterlabel; }
   About * get_about_window() const noexcept { return m_pabout; }
   // The About window and the six tool windows, in creation order.
   const std::vector<SettingsBaseWindow *> & tool_windows() const noexcept { return m_toolwindows; }
   // Asks the side panel to re-synchronise its lists at the next layout.
   void set_right_panel_dirty() override { m_bRightPanelDirty.exchange(true); }
   // The panels and menus, once `create_main_screen` made them; children of this screen.
   TopPanel * top_panel() const noexcept { return m_ptoppanel; }
   TopMenu * top_menu() const noexcept { return m_ptopmenu; }
   RightPanel * right_panel() const noexcept { return m_prightpanel; }
   AddLayerContextMenu * add_layer_menu() const noexcept { return m_paddlayermenu; }
   const point_type<int> & last_mouse_point() const noexcept { return m_pointLastMouse; }

   // Menu actions.
   void showScreenInfo();
   void showLabelsInfo();
   void showDataTools();
   void showPowerTools();
   void showBoxesColors();
   void showRasterLabelTool();
   void showAbout();
   void resetToolsLayout();
   void foldTopMenu();
   void openUpdateLink();
   void openTutorialsLink();
   void openHelpLink();
   void showAddLayerContextMenu() override;
   void set_live_output_to_monitor(long long iMonitor) override;
   // The actions of the menu items that show the tool windows and the links.
   void add_menu_actions(std::map<string_base, function<void()>> & actions) override;

   // The tool-window layout file.
   file::path settings_layout_get_default_path() const;
   void settings_save_layout() override;
   void settings_save_layout(const char * pszPath);
   void settings_load_layout();
   bool settings_load_layout(const char * pszPath);
   void settings_reset_layout();
   // The layout as the tool windows stand now, and applying a layout to them.
   tool_window_layout current_layout() const;
   void apply_layout(const tool_window_layout & layout);

private:
   void open_product_page();
   void on_modifier_key(user::enum_key egroup, int iAction);
   // Releasing the group that drags the current layer's kind ends the canvas's drag or resize.
   void reset_canvas_handle_state(user::enum_key egroup);
   // Whether the focused widget is a text box that takes what is typed.
   bool is_text_being_edited() const;

   pointer<Global> m_pglobal;
   pointer<MainImpact> m_pmainimpact;
   About * m_pabout = nullptr;
   SettingsBoxes * m_psettingsboxes = nullptr;
   SettingsLabels * m_psettingslabels = nullptr;
   SettingsPower * m_psettingspower = nullptr;
   SettingsDataDiagram * m_psettingsdatadiagram = nullptr;
   SettingsRasterLabel * m_psettingsrasterlabel = nullptr;
   SettingsBoxesColors * m_psettingsboxescolors = nullptr;
   TopPanel * m_ptoppanel = nullptr;
   TopMenu * m_ptopmenu = nullptr;
   RightPanel * m_prightpanel = nullptr;
   AddLayerContextMenu * m_paddlayermenu = nullptr;
   point_type<int> m_pointLastMouse;
   std::atomic<bool> m_bRightPanelDirty{true};
   std::vector<SettingsBaseWindow *> m_toolwindows;
   bool m_bInLayout = false;
   bool m_bInReload = false;
   bool m_bFocusRestore = false;
   // The tool-window text box that has the focus, and its text when it got it.
   pointer<zelui::TextBox> m_ptextboxFocused;
   string_base m_strFocusedPreviousValue;
   // The tool window of each entry of the layout file.
   std::array<SettingsBaseWindow *, tool_window_layout::e_window_count> layout_windows() const;
};

} // namespace Tarvossa_BrisvanePro
