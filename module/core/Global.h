#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "core/exporter.h"
#include "core/field_focus_order.h"
#include "core/forward.h"
#include "core/frame_cycle.h"
#include "core/layer_edits.h"
#include "core/preset_store.h"
#include "core/project_store.h"
#include "document/document_controller.h"
#include "orvo/enumeration.h"
#include "orvo/keyboard.h"
#include "orvo/path.h"
#include "orvo/pointer.h"
#include "orvo/pointer_array.h"
#include "orvo/string.h"
#include "zelui/file_dialog.h"

namespace zel2d
{
class context;
}

namespace zelui
{
class Widget;
}

namespace Tarvossa_BrisvanePro
{

enum class layer_change : unsigned;

// The document controller of one main window, and the front through which its widgets reach the
// document: the presets (`preset_store`), the open project and its files (`project_store`), the
// exports (`exporter`) and the layer list edits (`layer_edits`) are parts it owns and calls into;
// what those ask of the screen is done here. It also keeps the changed flag that drives the next
// frame build, the modifier keys held, the tool bar's two switches, the focus order of the tool
// windows and the one error box of the application. The root screen owns it; every widget holds a
// plain `Global*`.
class Global : virtual public particle, public document_controller
{
public:
   // `pscreen` (not owned) may be null: a controller without a screen refreshes nothing.
   explicit Global(screen_link * pscreen = nullptr);
   ~Global() override;

   // Called by the framework: nothing of its own, and the frame image's handle let go.
   virtual void initialize_main();
   virtual void finalize_main();

   // Held while the frame is rebuilt and drawn, and while the root screen reorders its children.
   std::recursive_mutex & frame_mutex() noexcept { return m_mutexFrame; }

   // Environment.
   // The folder of the application's own files; the rule needs no application object, so the
   // controller gives it in tests as well.
   file::path getFolderToSaveData() const override;
   string_base getAppNameForStorage() const;
   // The root screen that shows the document, or null.
   screen_link * get_app() const noexcept { return m_pscreen; }
   string_base get_menu_string() const;
   zel2d::context * getContext() const noexcept { return nullptr; }
   void set_is_retina(bool bRetina);
   bool is_retina() const noexcept { return m_bRetina; }
   const enumeration<user::enum_key> & get_keyboard_modifiers() const noexcept { return m_ekeyModifiers; }
   enumeration<user::enum_key> & keyboard_modifiers() noexcept { return m_ekeyModifiers; }

   // The tool bar's switches "Black BG:" and "Auto-Select:", both on at start.
   bool m_bBlackBackground = true;
   bool m_bAutoSelect = true;

   // Document access.
   project * current_project() const noexcept { return m_project.document(); }
   pointer_array<app_layer> & get_presets();
   long long get_presets_count();
   void set_current_layer_index(long long index);

   // The parts that do the work; what they ask of the screen goes through the calls below.
   preset_store & presets() noexcept { return m_presets; }
   project_store & projects() noexcept { return m_project; }
   exporter & exports() noexcept { return m_exporter; }

   // Change and refresh.
   // Marks the document changed and asks the canvas and the live output to redraw.
   void set_changed() override;
   // Reads and clears the changed flag in one atomic step (the frame build does this).
   bool take_changed() noexcept;
   // The changed flag itself: an atomic exchange to true makes the next draw rebuild the frame.
   std::atomic<bool> & changed_flag() noexcept { return m_bChanged; }
   // The screen's `reload_all(true)`, then `set_changed()`.
   void reload_all();
   // After a load or an added layer, which may have changed the current layer: the tool windows
   // follow its kind (the screen's `update_settings_visibility`, which refreshes everything that
   // shows the document), then `set_changed()`.
   void follow_current_layer();
   // Keeps the "Raster Label" tool window's text in a label that touches the raster's right or
   // bottom edge.
   void on_load_project();

   // Shows the text in a message box titled "Error" with the one button "OK"; returns at once.
   void show_error(scoped_string_base strText) const override;
   // What the program keeps in the data folder (presets, logo, layout) would be lost at the next
   // start: the user is told once a session where the folder is and why it cannot be written.
   // A failed write gives its reason; without one, the reason found when the folder was made at
   // the start is told, if there is one (the root screen asks for it once it is built).
   void report_data_folder_fault(scoped_string_base strWhy = {});
   // Finishes the saves of files of several names (rewritten in place) that were cut short in an
   // earlier run, and tells those it cannot finish and where what was saved is kept. Run at the
   // start, before the layout, the presets and the first project are read.
   void finish_interrupted_saves() const;

   // Changing the current layer: the one way the tool windows and the panels do it. `edit`
   // changes it, and the layer is then marked changed once (see `app_layer::change`), which the
   // canvas, the live output and the layer list's thumbnail follow. Nothing happens without a
   // current layer (of that kind); false then.
   bool change_current_layer(layer_change echange, const function<void(app_layer &)> & edit);
   bool change_current_boxes_layer(layer_change echange, const function<void(boxes_layer &)> & edit);

   // Layer list operations.
   void insert_layer_at(const pointer<app_layer> & player, long long index);
   pointer<app_layer> clone_current_layer();
   void delete_current_layer();
   // Moves the layer at `iSource` to `iTarget`; false when nothing moved.
   bool move_layer_to_visual(long long iTarget, long long iSource);
   void move_layer_to_visual_top_by_1(long long index);
   void move_layer_to_visual_bottom_by_1(long long index);
   // Throws `exception` when the index names no screen-layer preset.
   void clone_preset_to_layers(long long index);
   void clone_current_layer_to_preset();
   void delete_preset(long long index);

   // Presets, project and logo files (see `preset_store` and `project_store`).
   void load_default_presets();
   void load_project_from_file(const file::path & path);
   void load_default_layers();
   void open_project_button();
   void save_project_button();
   void open_presets_button();
   void save_presets_button();
   void setLogoLayer();
   void save_logo_layer();
   // Opens the main window's open or save dialog; `onchosen` runs with it once it is answered or
   // cancelled. One file dialog at a time: while one is open (the desktop's chooser leaves the
   // window free), asking again opens nothing. Nothing opens without a main window.
   void ask_for_file(file::file_dialog::enum_kind ekind, const file::file_dialog_filter & filter,
                     const function<void(file::file_dialog *)> & onchosen);
   // The logo dialog's completion, with the chosen path (empty: cancelled, nothing done): the
   // picture goes into the logo layer, which becomes the current layer and is kept.
   void on_logo_picture_chosen(const file::path & path);

   // Frame building: rebuilds the layers' pictures and the composed frame when the document
   // changed, and writes a pending picture export. Runs under the frame lock; true when the
   // document had changed or an export was pending.
   bool defer_build_frame(bool bDocument, zel2d::context * pcontext);
   // Picture exports (written by the next frame build in the format of the chosen filter) and
   // the XML screen setup (written at once).
   void save_image_button();
   void save_png_button();
   void save_psd_button();
   void layers_to_xml();
   // Keeps the dialog as the pending export (replacing an earlier one) and asks for a redraw.
   void request_save_to_image_file(file::file_dialog * pdialog);
   // What makes the frame: the frame picture and the image the canvases show.
   frame_builder & frame() noexcept { return *m_pframebuilder; }

   // Focus order of the tool-window fields.
   void add_to_tab_order(zelui::Widget * pwidget);
   const std::vector<zelui::Widget *> & tab_order() const noexcept { return m_focusorder.widgets(); }
   // Moves the focus one field on (backwards with a Shift key held); see `field_focus_order::skip`.
   bool on_skip_focus(const enumeration<user::enum_key> & emodifiers);

private:
   // Makes the data folder; why it cannot be written, or empty.
   string_base make_data_folder() const;
   // "Save Image"'s completion: asks "Replace file" before an existing file is replaced, then
   // requests the export.
   void on_save_image_chosen(file::file_dialog * pdialog);
   // The window that hosts the root screen; null without one.
   user::interaction * main_window() const;
   void redraw_screen();
   void set_current_layer_on_screen(long long index);
   // A layer list edit that made `oindex` current (none: nothing changed) is shown everywhere.
   void show_layers_changed(const std::optional<long long> & oindex);

   std::recursive_mutex m_mutexFrame;
   std::mutex m_mutexObject;
   // The documents outlive the frame builder, which keeps plain pointers to their layers.
   preset_store m_presets{*this};
   project_store m_project{*this, m_presets};
   exporter m_exporter{*this};
   layer_edits m_layers{*this};
   bool m_bRetina = false;
   screen_link * m_pscreen;
   field_focus_order m_focusorder;
   std::atomic<bool> m_bChanged{false};
   string_base m_strDataFolderFault;
   bool m_bDataFolderFaultTold = false;
   bool m_bAskingForFile = false;
   enumeration<user::enum_key> m_ekeyModifiers;
   std::unique_ptr<frame_builder> m_pframebuilder;
   frame_cycle m_framecycle{*this};
};

// The filters of the logo picture dialog: PNG, JPG, BMP and TGA images.
file::file_dialog_filter file_dialog_filters();

} // namespace Tarvossa_BrisvanePro
