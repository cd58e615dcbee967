#include "screen/MainScreen.h"

#include <algorithm>
#include <cstdio>
#include <exception>

#include "core/Global.h"
#include "core/data_folder.h"
#include "document/app_layer.h"
#include "document/boxes_layer.h"
#include "document/project.h"
#include "host/context.h"
#include "host/system.h"
#include "orvo/file_system.h"
#include "orvo/trace.h"
#include "panels/AddLayerContextMenu.h"
#include "panels/LayerList.h"
#include "panels/RightPanel.h"
#include "panels/SettingsFromLayer.h"
#include "panels/TopMenu.h"
#include "panels/TopMenuSubmenu.h"
#include "panels/TopPanel.h"
#include "screen/MainImpact.h"
#include "screen/application.h"
#include "screen/live_output_window.h"
#include "toolwindows/About.h"
#include "toolwindows/SettingsBoxes.h"
#include "toolwindows/SettingsBoxesColors.h"
#include "toolwindows/SettingsDataDiagram.h"
#include "toolwindows/SettingsLabels.h"
#include "toolwindows/SettingsPower.h"
#include "toolwindows/SettingsRasterLabel.h"
#include "zelui/MessageDialog.h"
#include "zelui/TextBox.h"
#include "zelui/Window.h"
#include "zelui/interaction.h"

namespace Tarvossa_BrisvanePro
{

namespace
{

// The maker's product page, opened by the About menu's three links.
const char * const g_pszProductPage = "https://brisvane.example.com/";

// The menu strip and the tool bar below it span the top of the screen down to this line; the tool
// windows stay below it, so that both remain reachable.
constexpr int g_iMenuStripBottom = 20;
constexpr int g_iToolBarBottom = 60;
// The side panel spans the right of the screen below the tool bar, drawn over the tool windows:
// they stay left of it, as far as they fit, so that they can be seen and taken hold of.
constexpr int g_iSidePanelWidth = 280;

constexpr int g_iActionPress = 256;
constexpr int g_iActionRelease = 257;

// The key text of a press that came without one: letters and digits by their codes, "+" and "-"
// by the scan codes of their keys, anything else by the key's name.
string_base key_text_of(user::enum_key ekey, int iScancode)
{
   const auto uKey = static_cast<std::uint64_t>(ekey);
   if (uKey >= 12 && uKey <= 37)
   {
      return string_base(1, static_cast<char>(uKey + 53));
   }
   if (uKey >= 2 && uKey <= 11)
   {
      return string_base(1, static_cast<char>(uKey + 46));
   }
   if (iScancode == 24)
   {
      return "+";
   }
   if (iScancode == 27)
   {
      return "-";
   }
   return keyboard::key_string_with_no_modifier(ekey);
}

// What the Window menu does with a tool window; there is none before the root screen is built.
void toggle_tool_window(SettingsBaseWindow * pwindow)
{
   if (pwindow)
   {
      pwindow->toggle_stored_visibility();
   }
}

} // namespace

MainScreen::MainScreen(user::interaction * pinteraction) :
   screen_link(pinteraction, {0, 0}, "Brisvane LED Pro")
{
   // The focus-skip key walks the controller's focus order, not the toolkit's tree order.
   set_tab_navigation(false);
   m_pglobal = make_pointer<Global>(this);
   m_pglobal->set_is_retina(pixel_ratio() >= 2.0f);
}

MainScreen::~MainScreen()
{
   // The widgets hold a plain pointer to the controller: they go first, together with the
   // screen's own references to them (focus, capture, drag).
   zelui::Screen::on_child_set_focus(nullptr);
   set_capture_widget(nullptr);
   set_drag_widget(nullptr);
   m_ptextboxFocused.reset();
   m_pmainimpact.reset();
   m_toolwindows.clear();
   children().clear();
   m_pglobal.reset();
}

void MainScreen::create_main_screen()
{
   Global * pglobal = m_pglobal.get();
   m_pmainimpact = make_pointer<MainImpact>(pglobal, this);
   m_pabout = new About(this, pglobal);
   m_pabout->set_position({300, 300});
   m_pabout->set_visible(false);
   m_psettingsboxes = new SettingsBoxes(this, pglobal);
   m_psettingslabels = new SettingsLabels(this, pglobal);
   m_psettingspower = new SettingsPower(this, pglobal);
   m_psettingsdatadiagram = new SettingsDataDiagram(this, pglobal);
   m_psettingsrasterlabel = new SettingsRasterLabel(this, pglobal);
   m_ptoppanel = new TopPanel(this, pglobal);
   m_ptopmenu = new TopMenu(this, pglobal);
   m_psettingsboxescolors = new SettingsBoxesColors(this, pglobal);
   m_prightpanel = new RightPanel(this, pglobal);
   m_paddlayermenu = new AddLayerContextMenu(this, pglobal);
   m_paddlayermenu->set_position({1, 1});
   m_paddlayermenu->set_visible(false);
   m_toolwindows = {m_pabout, m_psettingsboxes, m_psettingslabels, m_psettingspower, m_psettingsdatadiagram,
                    m_psettingsrasterlabel, m_psettingsboxescolors};
   for (SettingsBaseWindow * pwindow : m_toolwindows)
   {
      pwindow->set_top_limit(g_iToolBarBottom);
      pwindow->set_right_margin(g_iSidePanelWidth);
      // A tool window the user moved stands there at the next start; the About window's place
      // is not kept.
      if (pwindow != m_pabout)
      {
         pwindow->set_callback([this] { settings_save_layout(); });
      }
   }
   m_pglobal->report_data_folder_fault();
   m_pglobal->finish_interrupted_saves();
   settings_load_layout();
   m_pglobal->load_default_presets();
   set_visible(true);
}

void MainScreen::reload_all(bool bUpdate)
{
   if (m_bInReload || !bUpdate)
   {
      return;
   }
   m_bInReload = true;
   project * pproject = m_pglobal->current_project();
   if (pointer<boxes_layer> player = pproject ? pproject->current_boxes_layer() : nullptr)
   {
      const std::initializer_list<SettingsFromLayer *> receivers = {m_psettingsboxes, m_psettingsboxescolors,
                                                                    m_psettingsdatadiagram, m_ptoppanel,
                                                                    m_psettingslabels, m_psettingspower,
                                                                    m_psettingsrasterlabel};
      for (SettingsFromLayer * preceiver : receivers)
      {
         if (preceiver)
         {
            preceiver->get_settings_from_layer(player);
         }
      }
   }
   if (m_ptoppanel)
   {
      m_ptoppanel->updateCounts(pproject ? static_cast<long>(pproject->get_layers_count()) : 0,
                                static_cast<long>(m_pglobal->get_presets_count()));
      m_ptoppanel->updatePaperNumbersVisual();
   }
   m_bRightPanelDirty.exchange(true);
   set_layout_hook([this](zel2d::context * pcontext) { perform_layout(pcontext); });
   set_need_layout();
   set_need_redraw();
   post_redraw();
   m_bInReload = false;
}

void MainScreen::setCurrentLayerTo(long long index, bool bUpdate)
{
   m_pglobal->set_current_layer_index(index);
   if (bUpdate)
   {
      update_settings_visibility();
   }
   else if (m_pmainimpact)
   {
      m_pmainimpact->set_need_redraw();
      m_pmainimpact->post_redraw();
   }
   m_bFocusRestore = true;
}

void MainScreen::update_settings_visibility()
{
   project * pproject = m_pglobal->current_project();
   pointer<app_layer> player = pproject ? pproject->current_layer() : nullptr;
   const bool bToolWindowsFollowStoredVisibility = !player || player->get_layer_type() == e_layer_boxes;
   for (SettingsBaseWindow * pwindow : m_toolwindows)
   {
      pwindow->set_visible(bToolWindowsFollowStoredVisibility && pwindow->stored_visibility());
   }
   if (m_ptoppanel)
   {
      m_ptoppanel->showHideAspectRatio(!bToolWindowsFollowStoredVisibility);
   }
   reload_all(true);
}

void MainScreen::resize_elements_to_window_size(int iWidth, int iHeight)
{
   struct placement
   {
      zelui::Widget * m_pwidget;
      rectangle_type<int> m_rectangle;
      const char * m_pszUnchanged;
   };
   const placement placements[] = {
      {m_ptopmenu, {0, 0, iWidth, g_iMenuStripBottom}, "top menu replacement redraw optimized out"},
      {m_ptoppanel, {0, g_iMenuStripBottom, iWidth, g_iToolBarBottom}, "top panel replacement redraw optimized out"},
      {m_prightpanel, {iWidth - g_iSidePanelWidth, g_iToolBarBottom, iWidth, iHeight}, "right panel replacement redraw optimized out"},
      {m_pmainimpact.get(), {0, 70, iWidth, iHeight}, "main impact replacement redraw optimized out"},
   };
   for (const placement & place : placements)
   {
      if (!place.m_pwidget)
      {
         continue;
      }
      if (place.m_pwidget->rectangle() == place.m_rectangle)
      {
         debug_trace("%s", place.m_pszUnchanged);
         continue;
      }
      place.m_pwidget->expose_fixed_size(place.m_rectangle);
   }
}

void MainScreen::perform_layout(zel2d::context * pcontext)
{
   if (m_bInLayout)
   {
      return;
   }
   m_bInLayout = true;
   if (m_bRightPanelDirty.exchange(false))
   {
      if (m_prightpanel)
      {
         m_prightpanel->syncFromGlobalLayers(pcontext);
         m_prightpanel->syncFromGlobalPresets(pcontext);
      }
   }
   zelui::Screen::perform_layout(pcontext);
   m_bInLayout = false;
}

bool MainScreen::resize_event(const size_type<int> & size)
{
   const bool bHandled = zelui::Screen::resize_event(size);
   resize_elements_to_window_size(size.width, size.height);
   return bHandled;
}

void MainScreen::on_modifier_key(user::enum_key egroup, int iAction)
{
   enumeration<user::enum_key> & emodifiers = m_pglobal->keyboard_modifiers();
   if (iAction == g_iActionRelease)
   {
      emodifiers.remove(egroup);
   }
   else
   {
      emodifiers.add(egroup);
   }
}

void MainScreen::reset_canvas_handle_state(user::enum_key egroup)
{
   project * pproject = m_pglobal->current_project();
   pointer<app_layer> player = pproject ? pproject->current_layer() : pointer<app_layer>();
   if (!player || !m_pmainimpact)
   {
      return;
   }
   if (MainImpact::drags_layer(egroup, *player))
   {
      m_pmainimpact->reset_handle_state();
   }
}

bool MainScreen::keyboard_event(user::enum_key ekey, int iScancode, int iAction,
                                const enumeration<user::enum_key> & emodifiers, const string_base & strText)
{
   if (const user::enum_key egroup = keyboard::modifier_group(ekey); egroup != user::e_key_none)
   {
      on_modifier_key(egroup, iAction);
      // The toolkit sees the release while the canvas still holds its drag or resize.
      zelui::Screen::keyboard_event(ekey, iScancode, iAction, emodifiers, strText);
      if (iAction == g_iActionRelease)
      {
         reset_canvas_handle_state(egroup);
      }
      set_need_redraw();
      post_redraw();
      return true;
   }
   // While a modal window (a file dialog, a message box) is open the keys are its own: no focus
   // skip, shortcut or canvas key acts on the document behind it.
   if (modal_window())
   {
      zelui::Screen::keyboard_event(ekey, iScancode, iAction, emodifiers, strText);
      return true;
   }
   bool bHandled = true;
   if (ekey == user::e_key_tab && iAction != g_iActionRelease)
   {
      bHandled = m_pglobal->on_skip_focus(emodifiers);
   }
   if (iAction == g_iActionPress)
   {
      const string_base strKey = strText.empty() ? key_text_of(ekey, iScancode) : strText;
      if (strKey == " ")
      {
         // A space that a text box types is the text box's alone.
         if (m_pmainimpact && !is_text_being_edited())
         {
            m_pmainimpact->on_space_key();
         }
      }
      else if (!strKey.empty())
      {
         // A press that ran a menu item ends there: it types nothing into the text box that has
         // the focus, nor into the one the item may have opened.
         if (m_ptopmenu && m_ptopmenu->keytrigger(keyboard::string_key(strKey, m_pglobal->get_keyboard_modifiers())))
         {
            return true;
         }
      }
      else if (ekey == user::e_key_escape)
      {
         foldTopMenu();
      }
   }
   const bool bToolkit = zelui::Screen::keyboard_event(ekey, iScancode, iAction, emodifiers, strText);
   return bHandled || bToolkit;
}

bool MainScreen::mouse_button_event(const point_type<int> & point, enumeration<user::enum_mouse> ebutton, bool bDown,
                                    bool bDoubleClick, const enumeration<user::enum_key> & emodifiers)
{
   m_pointLastMouse = point;
   return zelui::Screen::mouse_button_event(point, ebutton, bDown, bDoubleClick, emodifiers);
}

bool MainScreen::on_mouse_down(zelui::Widget * pwidget)
{
   if (!m_ptopmenu || !m_ptopmenu->is_showing_any_submenu())
   {
      return true;
   }
   // A box or dialog opened over the open drop-down (by a shortcut, or a file dialog's answer) owns
   // the press: the drop-down folds, and the press goes on to the box.
   if (zelui::Window * pmodal = modal_window(); pmodal && pmodal->is_ancestor_of(pwidget))
   {
      m_ptopmenu->fold();
      return true;
   }
   // The menu strip handles its own presses: a caption opens its drop-down (never closing its own),
   // a press beside the captions folds it.
   for (zelui::Widget * p = pwidget; p; p = p->parent())
   {
      if (dynamic_cast<TopMenuSubmenu *>(p) || p == m_ptopmenu)
      {
         return true;
      }
   }
   m_ptopmenu->fold();
   return false;
}

void MainScreen::draw_contents(zel2d::context * pcontext)
{
   try
   {
      clear(pcontext);
   }
   catch (const std::exception & e)
   {
      std::fprintf(stderr, "%s\n", e.what());
   }
}

bool MainScreen::is_asking_to_quit() const
{
   return std::ranges::any_of(children(), [](const pointer<zelui::Widget> & pchild) {
      const auto * pdialog = dynamic_cast<const zelui::MessageDialog *>(pchild.get());
      return pdialog && pdialog->title() == "Quit";
   });
}

void MainScreen::on_close()
{
   // A second close request (the close box again, Alt+F4) while the question is open leaves that
   // one question to answer.
   if (is_asking_to_quit())
   {
      return;
   }
   auto * pdialog =
      new zelui::MessageDialog(this, zelui::MessageDialog::e_type_warning, "Quit", "Are you sure ?", "Yes", "No", zelui::MessageDialog::e_two_buttons);
   pdialog->set_callback([this](int iButton)
   {
      if (iButton == 0)
      {
         if (user::interaction * pinteraction = get_interaction())
         {
            pinteraction->top_level()->post_message(34212, 0, {});
         }
      }
   });
   pdialog->center();
   set_need_redraw();
   post_redraw();
}

bool MainScreen::isOnlyCurrent() const
{
   return m_prightpanel && m_prightpanel->isOnlyCurrentChecked();
}

bool MainScreen::has_layer_list() const
{
   LayerList * plist = m_prightpanel ? m_prightpanel->layer_list() : nullptr;
   return plist && plist->scroll_list();
}

void MainScreen::redraw_canvas()
{
   if (m_pmainimpact)
   {
      m_pmainimpact->set_need_layout();
      m_pmainimpact->set_need_redraw();
      m_pmainimpact->post_redraw();
   }
}

void MainScreen::redraw_live_output()
{
   auto * papplication = dynamic_cast<application *>(platform::context::application());
   live_output_window * pwindow = papplication ? papplication->get_live_output_window() : nullptr;
   if (pwindow && pwindow->is_window() && pwindow->is_window_visible())
   {
      pwindow->set_need_redraw();
      pwindow->post_redraw();
   }
}

void MainScreen::raster_label_follow_raster()
{
   if (m_psettingsrasterlabel)
   {
      m_psettingsrasterlabel->get_settings_from_raster();
   }
}

void MainScreen::raster_label_follow_layer()
{
   project * pproject = m_pglobal ? m_pglobal->current_project() : nullptr;
   if (m_psettingsrasterlabel && pproject)
   {
      m_psettingsrasterlabel->get_settings_from_layer(pproject->current_boxes_layer());
   }
}

void MainScreen::update_power_amperes()
{
   if (m_psettingspower)
   {
      m_psettingspower->update_amperes();
   }
}

void MainScreen::set_live_output_to_monitor(long long iMonitor)
{
   if (m_pmainimpact)
   {
      m_pmainimpact->set_live_output_to_monitor(iMonitor);
   }
}

void MainScreen::moveWidgetToFront(zelui::Widget * pwidget)
{
   std::lock_guard lock(m_pglobal->frame_mutex());
   pointer<zelui::Widget> pkeep(pwidget);
   if (remove_child(pwidget))
   {
      add_child(pwidget);
   }
}

zelui::Widget * MainScreen::getFrontWidget() const
{
   return child_count() > 0 ? child_at(child_count() - 1) : nullptr;
}

void MainScreen::move_top_menu_to_front()
{
   if (m_ptopmenu && getFrontWidget() != m_ptopmenu)
   {
      moveWidgetToFront(m_ptopmenu);
   }
}

void MainScreen::on_child_set_focus(zelui::Widget * pwidget)
{
   if (auto * ptextbox = dynamic_cast<zelui::TextBox *>(pwidget); ptextbox && is_settings_base_widget(pwidget))
   {
      m_ptextboxFocused = ptextbox;
      m_strFocusedPreviousValue = ptextbox->value();
   }
   zelui::Screen::on_child_set_focus(pwidget);
}

void MainScreen::on_child_kill_focus(zelui::Widget * pwidget)
{
   if (pwidget && m_ptextboxFocused.get() == pwidget)
   {
      m_ptextboxFocused.reset();
   }
   zelui::Screen::on_child_kill_focus(pwidget);
}

bool MainScreen::is_text_being_edited() const
{
   const auto * ptextbox = dynamic_cast<const zelui::TextBox *>(focused_widget());
   return ptextbox && ptextbox->is_editing();
}

bool MainScreen::can_take_focus(zelui::Widget * pwidget) const
{
   if (!pwidget)
   {
      return false;
   }
   zelui::Widget * powner = findParent(pwidget);
   return powner && pwidget->visible_recursive() && powner->visible_recursive();
}

void MainScreen::set_focus_to(zelui::Widget * pwidget)
{
   on_child_set_focus(pwidget);
   if (auto * ptextbox = dynamic_cast<zelui::TextBox *>(pwidget))
   {
      const enumeration<user::enum_key> eshift(keyboard::e_group_shift);
      ptextbox->keyboard_event(user::e_key_end, 0, g_iActionPress, eshift, {});
      ptextbox->keyboard_event(user::e_key_end, 0, g_iActionRelease, eshift, {});
   }
}

void MainScreen::reapply_settings_base_widget_previous_value()
{
   project * pproject = m_pglobal->current_project();
   if (!pproject || !pproject->current_boxes_layer() || !m_ptextboxFocused)
   {
      return;
   }
   pointer<zelui::TextBox> ptextbox = std::exchange(m_ptextboxFocused, nullptr);
   ptextbox->set_value(m_strFocusedPreviousValue, action_context(1024));
   if (ptextbox->callback())
   {
      ptextbox->callback()(ptextbox->value());
   }
}

void MainScreen::open_product_page()
{
   // The opener may take seconds to find no browser; the user is told whenever it gives up.
   Global * pglobal = m_pglobal.get();
   platform::context::system()->open_url(g_pszProductPage, [pglobal](const outcome<> & result)
   {
      if (!result)
      {
         pglobal->show_error(format("The web page %s cannot be opened: %s.", g_pszProductPage, result.error().c_str()));
      }
   });
}

void MainScreen::showScreenInfo()
{
   toggle_tool_window(m_psettingsboxes);
}

void MainScreen::showLabelsInfo()
{
   toggle_tool_window(m_psettingslabels);
}

void MainScreen::showDataTools()
{
   toggle_tool_window(m_psettingsdatadiagram);
}

void MainScreen::showPowerTools()
{
   toggle_tool_window(m_psettingspower);
}

void MainScreen::showBoxesColors()
{
   toggle_tool_window(m_psettingsboxescolors);
}

void MainScreen::showRasterLabelTool()
{
   toggle_tool_window(m_psettingsrasterlabel);
}

void MainScreen::showAbout()
{
   if (!m_pabout)
   {
      return;
   }
   m_pabout->toggle_visible();
   if (m_pabout->visible())
   {
      // Made before the tool windows, it would open behind them.
      moveWidgetToFront(m_pabout);
   }
}

void MainScreen::resetToolsLayout()
{
   settings_reset_layout();
}

void MainScreen::foldTopMenu()
{
   if (m_ptopmenu)
   {
      m_ptopmenu->fold();
   }
}

void MainScreen::openUpdateLink()
{
   open_product_page();
}

void MainScreen::openTutorialsLink()
{
   open_product_page();
}

void MainScreen::openHelpLink()
{
   open_product_page();
}

void MainScreen::add_menu_actions(std::map<string_base, function<void()>> & actions)
{
   auto screen_action = [this](void (MainScreen::*pfn)()) { return [this, pfn] { (this->*pfn)(); }; };
   actions["Screen Info"] = screen_action(&MainScreen::showScreenInfo);
   actions["Labels Info"] = screen_action(&MainScreen::showLabelsInfo);
   actions["Data tools"] = screen_action(&MainScreen::showDataTools);
   actions["Power tools"] = screen_action(&MainScreen::showPowerTools);
   actions["Color tools"] = screen_action(&MainScreen::showBoxesColors);
   actions["Raster Label tool"] = screen_action(&MainScreen::showRasterLabelTool);
   actions["Reset Tools Layout"] = screen_action(&MainScreen::resetToolsLayout);
   actions["About"] = screen_action(&MainScreen::showAbout);
   actions["Website link for update"] = screen_action(&MainScreen::openUpdateLink);
   actions["Tutorials link"] = screen_action(&MainScreen::openTutorialsLink);
   actions["Help"] = screen_action(&MainScreen::openHelpLink);
}

void MainScreen::showAddLayerContextMenu()
{
   if (!m_paddlayermenu)
   {
      return;
   }
   // The four rows stand just above the pointer.
   m_paddlayermenu->set_position({m_pointLastMouse.x, m_pointLastMouse.y - 90});
   m_paddlayermenu->set_visible(true);
   m_paddlayermenu->set_fixed_size({100, 90});
   m_paddlayermenu->set_size({100, 90});
   m_paddlayermenu->set_need_layout();
   m_paddlayermenu->set_need_redraw();
}

// The tool-window layout file: where the tool windows stand and whether each shows while a
// screen layer is current, kept between runs.

file::path MainScreen::settings_layout_get_default_path() const
{
   return data_folder::data_file("settings_layout.network_payload");
}

void MainScreen::settings_save_layout()
{
   settings_save_layout(settings_layout_get_default_path().c_str());
}

void MainScreen::settings_save_layout(const char * pszPath)
{
   const string_base strText = current_layout().get_property_set().get_ini();
   if (outcome<file::written> result = file::write_all(file::path(pszPath), strText); !result)
   {
      m_pglobal->report_data_folder_fault(result.error());
   }
}

void MainScreen::settings_load_layout()
{
   if (!settings_load_layout(settings_layout_get_default_path().c_str()))
   {
      settings_reset_layout();
   }
}

bool MainScreen::settings_load_layout(const char * pszPath)
{
   const outcome<string_base> read = file::read_all(file::path(pszPath));
   const scoped_string_base strText = read ? trimmed(read.value()) : scoped_string_base();
   if (strText.empty())
   {
      return false;
   }
   apply_layout(tool_window_layout::from_text(strText));
   return true;
}

void MainScreen::settings_reset_layout()
{
   apply_layout(tool_window_layout::reset_layout());
   for (SettingsBaseWindow * pwindow : layout_windows())
   {
      if (pwindow)
      {
         pwindow->set_visible(true);
      }
   }
   settings_save_layout();
}

std::array<SettingsBaseWindow *, tool_window_layout::e_window_count> MainScreen::layout_windows() const
{
   return {m_psettingsboxes, m_psettingslabels, m_psettingsboxescolors, m_psettingspower, m_psettingsdatadiagram, m_psettingsrasterlabel};
}

tool_window_layout MainScreen::current_layout() const
{
   tool_window_layout layout;
   const auto windows = layout_windows();
   for (std::size_t i = 0; i < windows.size(); ++i)
   {
      if (windows[i])
      {
         layout.m_entries[i] = {windows[i]->place(), windows[i]->stored_visibility()};
      }
   }
   return layout;
}

void MainScreen::apply_layout(const tool_window_layout & layout)
{
   const auto windows = layout_windows();
   for (std::size_t i = 0; i < windows.size(); ++i)
   {
      if (windows[i])
      {
         windows[i]->set_position(layout.m_entries[i].m_point);
         windows[i]->set_stored_visibility(layout.m_entries[i].m_bVisible);
      }
   }
}

} // namespace Tarvossa_BrisvanePro
