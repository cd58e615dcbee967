#pragma once

#include <cstdint>

#include "orvo/enumeration.h"
#include "orvo/geometry.h"
#include "orvo/keyboard.h"
#include "orvo/pointer.h"
#include "screen/forward.h"
#include "zelui/Widget.h"
#include "zelui/in_place_edit_mapper.h"

namespace Tarvossa_BrisvanePro
{

namespace datagram
{
struct box;
}

// Frames drawn by every canvas since the module was loaded.
extern "C" int g_iMainImpactRedraw;

// The canvas: shows the composed raster of the current document, scaled by a zoom and shifted
// by a pan, draws what the user is doing over it, and turns mouse gestures into edits (select,
// drag and resize layers, exclude boxes, draw custom paths, move the raster label, pan). The
// live output screen shows a second canvas on the same controller, at scale 1 and without pan.
//
// Spaces: canvas points are pixels from the widget's top-left corner (what mouse events carry);
// raster points are pixels of the document's raster; layer points are pixels of one layer from
// its top-left corner, before its rotation.
class MainImpact : public zelui::Widget, public zelui::in_place_edit_mapper
{
public:
   // The modifier groups that choose a gesture: the first moves screen layers, the second
   // selects boxes and moves or resizes image layers.
   static constexpr user::enum_key move_group = keyboard::e_group_shift;
   static constexpr user::enum_key select_group = keyboard::e_group_control;
   // Whether the modifiers move or resize the layer: the first group a screen layer, the second
   // an image layer.
   static bool drags_layer(const enumeration<user::enum_key> & emodifiers, const app_layer & layer);
   // No hover position: the mouse is outside the canvas.
   static constexpr int no_hover = INT32_MIN;
   // Raster pixels within which a dragged layer snaps to an edge (strictly closer).
   static constexpr int snap_distance = 20;

   MainImpact(Global * pglobal, zelui::Widget * pparent);
   ~MainImpact() override;

   // The mark of a remembered point that holds nothing, and the test for it.
   static const point_type<int> & invalidPos();
   static bool isPosValid(const point_type<int> & point);

   // Geometry (see the class note).
   point_type<float> screenToLayer(const point_type<int> & point, const pointer<app_layer> & player) const;
   point_type<float> layerToScreen(const point_type<int> & point, const pointer<app_layer> & player) const;
   // The topmost visible layer under a canvas point; -1 when none.
   int hit_test_layer(point_type<float> point);
   bool hit_test_raster_label(int x, int y);
   // The raster label box in the canvas's drawing coordinates: left, top, right, bottom.
   rectangle_type<double> raster_label_zoomed_rectangle();

   size_type<int> preferred_size(zel2d::context * pcontext) override;
   bool scroll_event(const point_type<int> & point, const size_type<float> & delta) override;
   bool mouse_enter_event(const point_type<int> & point, bool bEnter, const enumeration<user::enum_key> & emodifiers) override;

   // In-place edits of connector labels, which are drawn in layer space.
   point_type<float> inner_to_outer(const point_type<float> & point, zelui::in_place_edit * pedit) override;
   point_type<float> outer_to_inner(const point_type<float> & point, zelui::in_place_edit * pedit) override;
   void on_before_in_place_edit(zelui::in_place_edit * pedit) override;
   void end_all_in_place_edits() override;

   // Mouse editing.
   bool mouse_button_event(const point_type<int> & point, enumeration<user::enum_mouse> ebutton, bool bDown, bool bDoubleClick,
                           const enumeration<user::enum_key> & emodifiers) override;
   bool mouse_motion_event(const point_type<int> & point, const size_type<int> & motion, bool bButton,
                           const enumeration<user::enum_key> & ekeystate) override;
   // Opens a new, empty custom path after one of more than one box.
   void on_space_key();
   // Moves a proposed offset of the current layer onto the raster edges, then onto the other
   // layers' edges; each coordinate snaps once.
   void snap(int & x, int & y);
   void snap_paper(int & x, int & y, bool & bSnappedX, bool & bSnappedY);
   void snap_others(int & x, int & y, bool & bSnappedX, bool & bSnappedY);
   void snap_other(int & x, int & y, bool & bSnappedX, bool & bSnappedY, pointer<app_layer> & pother);
   // Ends a layer drag or resize (the modifier key that held it was released).
   void reset_handle_state();

   // Drawing.
   void draw(zel2d::context * pcontext) override;
   void draw_second(zel2d::context * pcontext);
   void on_draw_step(zel2d::context * pcontext);
   void draw_second_override_path(zel2d::context * pcontext, datagram::box & boxHovered, snake * psnake);

   // Shows the live output on monitor `index`, or hides it for a negative index.
   void set_live_output_to_monitor(long long index);

   bool is_live_output() const noexcept { return m_bLiveOutput; }
   void set_live_output(bool bLiveOutput) noexcept { m_bLiveOutput = bLiveOutput; }
   float zoom() const noexcept { return m_fZoom; }
   float requested_zoom() const noexcept { return m_fRequestedZoom; }
   const point_type<int> & pan() const noexcept { return m_pointPan; }
   long long handle_index() const noexcept { return m_iHandle; }
   const rectangle_type<int> & resize_rectangle() const noexcept { return m_rectangleResize; }
   bool is_selection_active() const noexcept { return m_bSelectionActive; }
   bool is_raster_label_hovered() const noexcept { return m_bRasterLabelHovered; }

private:
   pointer<project> document() const;
   MainScreen * main_screen() const;
   // The application that keeps the live output window: through the window of the canvas's
   // screen, else the running one.
   application * find_application() const;
   // The requested zoom held to [0.25, 1.0] and taken as the zoom.
   void clamp_zoom();
   // Redraw requests of the window that shows the canvas; `bLayout` asks for a layout first.
   void redraw_window(bool bLayout);
   // The "Power" tool window's total, after the excluded boxes changed.
   void refresh_power();
   void select_layer(long long index);
   void reload_panels();

   // Mouse editing steps.
   void on_press(const point_type<int> & point, enumeration<user::enum_mouse> ebutton, const enumeration<user::enum_key> & emodifiers,
                 const pointer<app_layer> & player);
   void on_release(const pointer<app_layer> & player);
   void start_handle_or_drag(const point_type<float> & pointLayer, const pointer<app_layer> & player);
   void end_box_selection(const pointer<app_layer> & player);
   void end_layer_drag(const pointer<app_layer> & player);
   void end_resize(const pointer<app_layer> & player);
   // The snake whose custom path a plain click edits, or null.
   snake * custom_path_snake_to_edit(const pointer<app_layer> & player) const;

   // Overlay steps.
   void draw_frame_image(zel2d::context * pcontext, const pointer<project> & pproject);
   void draw_custom_path_hover(zel2d::context * pcontext, const pointer<app_layer> & player);
   void draw_selection(zel2d::context * pcontext, const pointer<app_layer> & player);
   void draw_layer_frame(zel2d::context * pcontext, const pointer<app_layer> & player);
   void draw_raster_label_frame(zel2d::context * pcontext);
   // A box's rectangle on the canvas at the current zoom, from the canvas's drawing origin.
   rectangle_type<float> zoomed_box_rectangle(const pointer<app_layer> & player, int iKey) const;

   bool m_bLiveOutput = false;
   Global * m_pglobal;
   float m_fRequestedZoom = 1.0f;
   float m_fZoom = 1.0f;
   long long m_iHandle = -1;
   point_type<int> m_pointHandleMotion;
   rectangle_type<int> m_rectangleResize;
   point_type<int> m_pointDragMotion;
   point_type<int> m_pointSelectionStart;
   point_type<int> m_pointSelectionEnd;
   bool m_bSelectionExcludes = false;
   bool m_bSelectionActive = false;
   bool m_bRasterLabelHovered = false;
   point_type<int> m_pointRasterLabelDragStart;
   point_type<int> m_pointRasterLabelAtPress;
   point_type<int> m_pointPan{280, 0};
   point_type<int> m_pointPanDragStart;
   point_type<int> m_pointPanAtPress;
   point_type<int> m_pointHover{no_hover, no_hover};
};

} // namespace Tarvossa_BrisvanePro
