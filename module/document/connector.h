#pragma once

#include "document/forward.h"
#include "orvo/string.h"
#include "zelui/in_place_edit.h"

namespace Tarvossa_BrisvanePro
{

// The name of a run's connector, drawn beside the run's arrow and renamed in place: a data start
// (port), a data end (return) or a power start (circuit feed). A connector without a name of
// its own shows its default name.
class connector : virtual public zelui::in_place_edit
{
public:
   explicit connector(snake * psnake);
   ~connector() override;

   // "P<i>" or "R<i>" for a data start or end; "S<g>-<k>" for a power start, six runs to a group.
   string_base get_default_name() const;
   // The raw name, or the default name while the raw name is empty.
   string_base get_name_for_label() const;
   string_base get_name_for_editing() override;
   // Marks the connector's layer changed.
   void set_need_update() override;
   // Takes the edited text as raw name and writes the layer's matching name list again.
   void set_edit_payload(const payload & payload) override;
   // The label's rectangle widened to the right to leave room for typing, mapped to the canvas.
   rectangle_type<float> get_edit_rectangle(zelui::in_place_edit_mapper * pmapper) override;

   void _set_raw_name(scoped_string_base strName) { m_strRawName = strName; }
   const string_base & _get_raw_name() const noexcept { return m_strRawName; }

   bool is_start_connector() const noexcept { return !m_bEnd; }
   bool is_end_connector() const noexcept { return m_bEnd; }
   bool is_start_connector(long long i) const noexcept { return is_start_connector() && m_iIndex == i; }
   bool is_end_connector(long long i) const noexcept { return is_end_connector() && m_iIndex == i; }
   bool is_connector(long long i, bool bStart, bool bEnd) const noexcept
   {
      return bStart ? is_start_connector(i) : (bEnd && is_end_connector(i));
   }

   boxes_layer * layer() const noexcept;
   bool is_power() const noexcept;

   string_base m_strRawName;
   // True for a data return.
   bool m_bEnd = false;
   // The run's number in the document.
   long long m_iIndex = -1;
   snake * m_psnake;
};

} // namespace Tarvossa_BrisvanePro
