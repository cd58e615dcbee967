#pragma once

#include "orvo/string.h"
#include "zelui/NumberBox.h"

namespace zelui
{

// A number box of floating-point numbers. Until a printf format is set, a value shows with at most
// two decimals and no trailing zeros ("20", "9.07", "-90"), so that it stays readable in a narrow
// box.
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
   string_base format_value(T value) const override
   {
      if (!m_strFormat.empty())
      {
         return ::format(m_strFormat.c_str(), static_cast<double>(value));
      }
      string_base strValue = ::format("%.2f", static_cast<double>(value));
      strValue.erase(strValue.find_last_not_of('0') + 1);
      if (strValue.ends_with('.'))
      {
         strValue.pop_back();
      }
      return strValue == "-0" ? string_base("0") : strValue;
   }

private:
   string_base m_strFormat;
};

} // namespace zelui
