#pragma once

#include "orvo/string.h"
#include "zelui/NumberBox.h"

namespace zelui
{

// A number box of floating-point numbers, shown with a printf format ("%.2f" until another is
// set).
template <typename T>
class FloatBox : public NumberBox<T>
{
public:
   explicit FloatBox(Widget * pparent, T value = T(0)) : NumberBox<T>(pparent) { this->set_value(value, e_source_initialize); }

   const string_base & number_format() const noexcept { return m_strFormat; }
   void set_number_format(scoped_string_base strFormat)
   {
      m_strFormat = strFormat;
      this->set_value(this->value(), e_source_sync);
   }

protected:
   string_base format_value(T value) const override { return ::format(m_strFormat.c_str(), static_cast<double>(value)); }

private:
   string_base m_strFormat = "%.2f";
};

} // namespace zelui
