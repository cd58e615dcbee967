#pragma once

#include "zelui/Widget.h"

namespace Tarvossa_BrisvanePro
{

// An empty spacer of a fixed size in the panels' layouts.
class NOP : public zelui::Widget
{
public:
   NOP(zelui::Widget * pparent, int iWidth, int iHeight) : zelui::Widget(pparent), m_size{iWidth, iHeight} {}

   size_type<int> preferred_size(zel2d::context *) override { return m_size; }

private:
   size_type<int> m_size;
};

} // namespace Tarvossa_BrisvanePro
