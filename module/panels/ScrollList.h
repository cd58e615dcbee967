#pragma once

#include <unordered_map>

#include "document/ImageWrap.h"
#include "orvo/pointer.h"
#include "orvo/pointer_array.h"
#include "panels/HoverContainer.h"
#include "panels/forward.h"

namespace zelui
{
class Button;
class Label;
}

namespace Tarvossa_BrisvanePro
{

// The rows of one list of the side panel: the layers of the current document (the last layer
// at the top) or the presets (in their order). Each row shows the layer's size figures and a
// thumbnail; the two kinds of list add their own controls. A row is made the first time its
// layer is shown and kept for that layer object as long as the list lives. `syncFromGlobal`
// brings the rows in line with the document; the list does nothing on its own initiative.
class ScrollList : public HoverContainer
{
public:
   // One row and what it is made of. The widgets belong to the row; the record keeps the row
   // alive while it is not shown.
   class list_item : virtual public particle
   {
   public:
      // Shows the layer's state in the row: visibility, size, columns and rows.
      void updateFromLayer(const pointer<app_layer> & player);
      // Shows or hides the row; a hidden row lets its thumbnail's pictures and layer go.
      void set_visible(bool bVisible);
      void update_image(zel2d::context * pcontext);

      // The row's place in the source array, as of the last sync; -1 before the first.
      long long m_iLayerIndex = -1;
      zelui::Label * m_plabelWidth = nullptr;
      zelui::Label * m_plabelHeight = nullptr;
      zelui::Label * m_plabelRows = nullptr;
      zelui::Label * m_plabelColumns = nullptr;
      CheckboxWithFocus * m_pcheckboxVisible = nullptr;
      zelui::Button * m_pbutton1 = nullptr;
      zelui::Button * m_pbutton2 = nullptr;
      zelui::Button * m_pbutton3 = nullptr;
      ClickableWidget * m_pinner = nullptr;
      pointer<WidgetWithBackground> m_prow;
      LayerPreviewImage * m_ppreview = nullptr;
   };

   ScrollList(zelui::Widget * pparent, Global * pglobal, bool bLayers);
   ~ScrollList() override;

   // Loads the arrow pictures, puts one row per entry in order, refreshes and redraws every row.
   // An empty slot of the source array (a null layer) has no row.
   void syncFromGlobal(zel2d::context * pcontext);
   // Makes the rows of the source array the list's children, in display order.
   void update_children();
   // The row of entry `index`, made on first use; null for an index outside the source array
   // and for an empty slot.
   pointer<list_item> get_contained_item(long long index);
   // The position of the layer in the source array, or -1.
   long long get_layer_index(app_layer * player);
   // The index of the layer whose row, row grid or thumbnail is `pwidget`; -1 for other widgets.
   long long child_layer_index(zelui::Widget * pwidget);
   void removeAll();

   bool is_layers() const noexcept { return m_bLayers; }
   long long row_count() const noexcept { return static_cast<long long>(m_rows.size()); }

protected:
   // A row whose entry left the array lets its thumbnail's pictures and layer go, so that a
   // deleted layer's memory is returned; the row goes too when its thumbnail held the layer's
   // last reference, and otherwise stays for the layer's coming back.
   void forget_rows_of_entries_gone(const pointer_array<app_layer> * players);

   // Called once for a new row after its widgets exist.
   virtual void on_init_contained_item(list_item * pitem, long long index);
   // Adds the list's own controls to a new row's grid (its index is still -1).
   virtual void finish_new(list_item * pitem, long long index) = 0;
   // Stores the row's current index and binds the callbacks that use it.
   virtual void update(list_item * pitem, long long index) = 0;

   // The layers of the current document or the presets; null without a document.
   pointer_array<app_layer> * source_array() const;
   pointer<list_item> make_row(long long index, app_layer * player);

   bool m_bLayers;
   Global * m_pglobal;
   std::unordered_map<app_layer *, pointer<list_item>> m_rows;
   ImageWrap m_imagewrapDown;
   ImageWrap m_imagewrapUp;
};

} // namespace Tarvossa_BrisvanePro
