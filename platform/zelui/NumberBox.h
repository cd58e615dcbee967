#pragma once

#include <algorithm>
#include <cmath>
#include <limits>

#include "orvo/tinyexpr.h"
#include "zelui/TextBox.h"

namespace zelui
{

// The number a number box takes from typed text: the value of the arithmetic expression, 0 when
// it is not a number (as everywhere numbers are typed), held within the range of T; integer
// types truncate toward zero.
template <typename T>
T number_from_text(scoped_string_base strText)
{
   double dValue = tinyexpr::te_interp(strText, nullptr);
   if (std::isnan(dValue))
   {
      return T(0);
   }
   if constexpr (std::numeric_limits<T>::is_integer)
   {
      dValue = std::trunc(dValue);
   }
   dValue = std::clamp(dValue, static_cast<double>(std::numeric_limits<T>::lowest()),
                       static_cast<double>(std::numeric_limits<T>::max()));
   return static_cast<T>(dValue);
}

// A text box that holds a number of type T, right-aligned. Typed text is an arithmetic
// expression (see `number_from_text`): its value becomes the box's value, the box shows it as
// `format_value` writes it, and the callback receives it.
template <typename T>
class NumberBox : public TextBox
{
public:
   T value() const noexcept { return m_value; }
   // Sets the value; a change by the user runs the callback with it.
   void set_value(T value, const action_context & context = e_source_sync)
   {
      m_value = value;
      TextBox::set_value(format_value(value), e_source_sync);
      if (context.is_user_change() && m_callback)
      {
         auto pself = keep_alive();
         m_callback(value);
      }
   }
   void set_callback(const function<void(T)> & callback) { m_callback = callback; }

protected:
   explicit NumberBox(Widget * pparent) : TextBox(pparent)
   {
      set_alignment(e_alignment_right);
      TextBox::set_callback([this](scoped_string_base strText) {
         set_value(number_from_text<T>(strText), e_source_user);
         return true;
      });
   }

   virtual string_base format_value(T value) const = 0;

private:
   T m_value{};
   function<void(T)> m_callback;
};

} // namespace zelui
