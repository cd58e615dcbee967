#pragma once

#include "panels/ScrollList.h"

namespace Tarvossa_BrisvanePro
{

// The preset list's rows, in the order of the presets. Each row has "Clone", which adds a copy
// of the preset to the document as a new layer, and "-", which deletes the preset. The rows are
// never selected, clicks on them do nothing and they cannot be dragged.
class W_PresetScrollList : public ScrollList
{
public:
   W_PresetScrollList(zelui::Widget * pparent, Global * pglobal);
   ~W_PresetScrollList() override;

protected:
   void finish_new(list_item * pitem, long long index) override;
   void update(list_item * pitem, long long index) override;
};

} // namespace Tarvossa_BrisvanePro
