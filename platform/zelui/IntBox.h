#pragma once

#include <string>

#include "zelui/NumberBox.h"

namespace zelui
{

// A number box of integers: typed text is truncated toward zero and shown in decimal.
template <typename T>
class IntBox : public NumberBox<T>
{
public:
   explicit IntBox(Widget * pparent, T value = T(0)) : NumberBox<T>(pparent) { this->set_value(value, e_source_initialize); }

protected:
   string_base format_value(T value) const override { return std::to_string(value); }
};

} // namespace zelui
