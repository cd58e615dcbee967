#pragma once

#include <vector>

#include "orvo/enumeration.h"
#include "orvo/function.h"
#include "orvo/geometry.h"
#include "orvo/keyboard.h"
#include "orvo/pointer.h"
#include "orvo/pointer_array.h"
#include "orvo/string.h"
#include "zelui/Layout.h"
#include "zelui/forward.h"
#include "zelui/mouse.h"
#include "zelui/orvo_container.h"

namespace zelui
{

// One line of text that a widget shows: the text, the face and size it is drawn in, and the room
// the widget gives it, in the widget's own coordinates (its top-left corner at (0, 0)). The
// widget draws the text inside that room; a room narrower or lower than the text's line box
// means a clipped or crowded caption.
struct text_line
{
   string_base m_strText;
   string_base m_strFace;
   float m_fFontSize = 0.0f;
   rectangle_type<float> m_rectangleRoom;
};

// The base of every element of the interface: a rectangle in its parent with ordered children.
//
// Ownership: a widget made with a parent is added to the parent's children, which hold counted
// references to it; the parent pointer is a plain back reference. Erasing a child releases it
// (and its subtree) unless someone else holds a reference.
//
// Coordinates: a widget's position is relative to its parent's top-left corner. Mouse events
// reach a widget with points relative to its own top-left corner. `draw` is called with the
// drawing context in the parent's coordinates, so a widget draws its own rectangle at
// (x(), y(), width(), height()); `Widget::draw` then draws the children at their positions.
//
// Events go to the topmost visible child under the pointer and bubble up to the parents while no
// one handles them; each handler returns whether it handled the event. A press reaches a widget as
// the second press of a double click only when the first press landed on that widget too (see
// `Screen`); a widget with no use for double clicks takes such a press as any other.
class Widget : virtual public particle, public user::item, public user::orvo_container
{
public:
   explicit Widget(Widget * pparent);
   ~Widget() override;

   // Tree.
   Widget * parent() const noexcept { return m_pparent; }
   const pointer_array<Widget> & children() const noexcept { return m_children; }
   pointer_array<Widget> & children() noexcept { return m_children; }
   long long child_count() const noexcept { return m_children.count(); }
   Widget * child_at(long long index) const { return m_children[index].get(); }
   long long child_index(const Widget * pwidget) const noexcept { return m_children.find_first(pwidget); }
   // Appends, or inserts before `index`; a widget that has another parent leaves it first.
   void add_child(Widget * pwidget);
   void add_child(long long index, Widget * pwidget);
   // Takes a child out; false when it was not a child. The screen forgets it (focus, capture, drag)
   // and draws again where it was.
   bool remove_child(Widget * pwidget);
   bool remove_child_at(long long index);
   // Moves this widget last among its parent's children, so that it is drawn over its siblings.
   void to_top();
   // The root screen, or null while the widget is not in a screen's tree.
   Screen * screen() const;
   // The nearest window that holds the widget (itself when it is one), or null.
   Window * window() const;
   // The window behind the screen, or null.
   user::interaction * interaction() const;
   // Whether `pwidget` is this widget or lies in its subtree.
   bool is_ancestor_of(const Widget * pwidget) const noexcept;

   // Geometry.
   const point_type<int> & position() const noexcept { return m_position; }
   // Virtual so that a window can remember the place it was given (see `Window`).
   virtual void set_position(const point_type<int> & position) noexcept { m_position = position; }
   int x() const noexcept { return m_position.x; }
   int y() const noexcept { return m_position.y; }
   const size_type<int> & size() const noexcept { return m_size; }
   virtual void set_size(const size_type<int> & size) noexcept { m_size = size; }
   int width() const noexcept { return m_size.width; }
   int height() const noexcept { return m_size.height; }
   void set_width(int iWidth) noexcept { m_size.width = iWidth; }
   void set_height(int iHeight) noexcept { m_size.height = iHeight; }
   // The position in the screen's coordinates.
   point_type<int> absolute_position() const noexcept;
   // Position and size in the parent's coordinates.
   rectangle_type<int> rectangle() const noexcept { return rectangle_type<int>::from(m_position, m_size); }
   // Whether a point relative to this widget lies inside it.
   bool contains(const point_type<int> & point) const noexcept;
   // The deepest visible widget under a point relative to this widget (itself when no child is
   // there); null when the point is outside.
   Widget * find_widget(const point_type<int> & point);

   // The size that layouts give this widget instead of its preferred size; 0 on an axis means
   // not fixed, and a negative value counts as 0.
   const size_type<int> & fixed_size() const noexcept { return m_sizeFixed; }
   virtual void set_fixed_size(const size_type<int> & size);
   void set_fixed_width(int iWidth);
   void set_fixed_height(int iHeight);
   // Places the widget on a rectangle of its parent: the position, then the rectangle's size as
   // fixed size (through the virtual `set_fixed_size`) and size. It asks for no layout or redraw.
   void expose_fixed_size(const rectangle_type<int> & rectangle);

   // The size the widget would like: its layout's answer, else its current size.
   virtual size_type<int> preferred_size(zel2d::context * pcontext);
   // Sizes and places the children (through the layout when there is one) and lays them out in
   // turn. Without a layout, a child keeps the size it was given, or gets its preferred size
   // while it has none; a fixed size always wins.
   virtual void perform_layout(zel2d::context * pcontext);
   Layout * layout() const noexcept { return m_playout.get(); }
   void set_layout(Layout * playout) { m_playout = playout; }

   // The one-shot step run with the drawing context at the next frame (before that frame's
   // layout); storing a new one replaces the old. It asks the window for that frame.
   void set_layout_hook(const function<void(zel2d::context *)> & hook);
   bool has_layout_hook() const noexcept { return static_cast<bool>(m_layouthook); }
   // Runs and clears the stored step; false when there was none.
   bool run_layout_hook(zel2d::context * pcontext);

   // State.
   virtual bool visible() const { return m_bVisible; }
   // Showing or hiding asks the window for a redraw, so that what the widget covered is drawn
   // again. Hiding takes the keyboard focus (committing an edit), the capture and the drag from
   // the widget and its children.
   virtual void set_visible(bool bVisible);
   void toggle_visible() { set_visible(!visible()); }
   // Visible together with all its ancestors.
   bool visible_recursive() const;
   bool enabled() const noexcept { return m_bEnabled; }
   virtual void set_enabled(bool bEnabled) { m_bEnabled = bEnabled; }
   // Whether the widget lies on the screen's focus path (it or one of its children has the
   // keyboard focus).
   bool focused() const noexcept { return m_bFocused; }
   void set_focused(bool bFocused) noexcept { m_bFocused = bFocused; }
   // Gives this widget the keyboard focus (through the screen's `on_child_set_focus`).
   void request_focus();
   // Whether Tab may move the focus to this widget.
   virtual bool accepts_focus() const { return false; }
   // Whether the widget is a menu or panel opened over the others (a popup): no tooltip of a
   // widget outside it covers it while it shows.
   virtual bool is_popup() const { return false; }
   // The mouse-inside flag, kept by `mouse_enter_event`.
   bool mouse_inside() const noexcept { return m_bMouseInside; }
   void set_mouse_inside(bool bInside) noexcept { m_bMouseInside = bInside; }

   const string_base & id() const noexcept { return m_strId; }
   void set_id(scoped_string_base strId) { m_strId = strId; }
   const string_base & tooltip() const noexcept { return m_strTooltip; }
   void set_tooltip(scoped_string_base strTooltip) { m_strTooltip = strTooltip; }
   int cursor() const noexcept { return m_iCursor; }
   void set_cursor(int iCursor) noexcept { m_iCursor = iCursor; }
   // The font size: the widget's own when set, else the theme's standard size.
   float font_size() const;
   void set_font_size(float fSize) noexcept { m_fFontSize = fSize; }
   bool has_font_size() const noexcept { return m_fFontSize > 0.0f; }
   Theme * theme() const;

   // Mouse capture: while a widget holds it, every mouse event goes to it (in its coordinates),
   // wherever the pointer is. The screen ends it after the next button release, when the pointer
   // leaves the window and when the window loses the focus.
   void set_mouse_capture();
   void release_mouse_capture();
   bool has_mouse_capture() const;
   // The widget that takes the capture when a press on this one starts a drag (a list sets itself
   // on its rows); null when none was set. Two widgets with the same target are drag siblings.
   Widget * capture_target() const noexcept { return m_pwidgetCaptureTarget; }
   void set_capture_target(Widget * pwidget) noexcept { m_pwidgetCaptureTarget = pwidget; }

   // Asks the screen's window for a layout, a redraw, or to post the redraw; without a window
   // these do nothing.
   void set_need_layout();
   void set_need_redraw(const std::vector<rectangle_type<int>> & rectangles = {}, zel2d::context * pgraphics = nullptr,
                        const function<void()> & callback = {});
   void post_redraw();

   // Events (see the class note). The wheel goes to the topmost child under the pointer and bubbles
   // up to its parents; it never reaches the siblings that child covers.
   virtual bool mouse_button_event(const point_type<int> & point, enumeration<user::enum_mouse> ebutton, bool bDown,
                                   bool bDoubleClick, const enumeration<user::enum_key> & emodifiers);
   virtual bool mouse_motion_event(const point_type<int> & point, const size_type<int> & motion, bool bButton,
                                   const enumeration<user::enum_key> & ekeystate);
   virtual bool mouse_enter_event(const point_type<int> & point, bool bEnter, const enumeration<user::enum_key> & emodifiers);
   virtual bool scroll_event(const point_type<int> & point, const size_type<float> & delta);
   virtual bool focus_event(bool bFocused);
   // The press that gave this widget the mouse capture ends without its release (the pointer left
   // the window, or the window lost the focus): the widget ends what the press began.
   virtual void mouse_capture_lost();
   virtual bool keyboard_event(user::enum_key ekey, int iScancode, int iAction,
                               const enumeration<user::enum_key> & emodifiers, const string_base & strText);

   // The lines of text the widget itself draws (not its children's); none here.
   virtual std::vector<text_line> text_lines() const { return {}; }

   // Drawing: `call_draw` draws a visible widget clipped to its rectangle; `draw` draws the
   // widget itself (nothing here) and then its visible children.
   virtual void call_draw(zel2d::context * pcontext);
   virtual void draw(zel2d::context * pcontext);

   // In-place edits hosted by this widget (see `in_place_edit`). A press on a label (`pedit`)
   // opens a text box over it, after ending the edit open before; a press elsewhere (null) ends
   // the open edit. Returns whether it took the press; releases over a label are taken too.
   bool on_mouse_button_in_place_edit(in_place_edit * pedit, bool bPressed, bool bDoubleClick);
   // Called when the editor of `pedit` exists and before it takes the focus, so that the host
   // can style it.
   virtual void on_before_in_place_edit(in_place_edit * pedit);
   // Ends (commits) every edit this widget hosts.
   virtual void end_all_in_place_edits();
   // The edit whose editor is open on this widget, or null.
   in_place_edit * active_in_place_edit() const noexcept { return m_pineditActive.get(); }

protected:
   // A reference that keeps this widget alive while a callback it runs may drop the others; empty
   // for a widget that nothing counts yet (one on the stack, or not yet owned).
   pointer<Widget> keep_alive() noexcept { return pointer<Widget>(reference_count() > 0 ? this : nullptr); }
   // Each visible child from the topmost down, held for the call so that it may be removed
   // meanwhile.
   std::vector<pointer<Widget>> children_topmost_first() const;
   // A context for measuring text: `pcontext`, or a shared one without target when it is null.
   static zel2d::context * measuring_context(zel2d::context * pcontext);

private:
   friend class in_place_edit;
   // Opens the editor of `pedit` over its label.
   void open_in_place_editor(in_place_edit * pedit);
   // Takes the open editor away (after its edit ended).
   void close_in_place_editor();

   Widget * m_pparent = nullptr;
   pointer_array<Widget> m_children;
   pointer<Layout> m_playout;
   point_type<int> m_position;
   size_type<int> m_size;
   size_type<int> m_sizeFixed;
   bool m_bVisible = true;
   bool m_bEnabled = true;
   bool m_bFocused = false;
   bool m_bMouseInside = false;
   float m_fFontSize = -1.0f;
   int m_iCursor = user::e_cursor_arrow;
   string_base m_strId;
   string_base m_strTooltip;
   Widget * m_pwidgetCaptureTarget = nullptr;
   function<void(zel2d::context *)> m_layouthook;
   pointer<in_place_edit> m_pineditActive;
};

} // namespace zelui
