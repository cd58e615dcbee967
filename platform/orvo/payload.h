#pragma once

#include <concepts>
#include <limits>
#include <utility>
#include <variant>

#include "orvo/parse_result.h"
#include "orvo/property_set.h"
#include "orvo/string.h"

// A value of one of a few kinds: nothing, a bool, an integer, a real number, a text, or a
// `property_set` of named payloads. Reading a payload as another kind converts where that makes
// sense and gives the kind's zero where it does not; it never throws.
class payload
{
   using value_type = std::variant<std::monostate, bool, long long, double, string_base, property_set>;

public:
   payload() = default;
   payload(bool b) : m_value(b) {}
   template <std::integral T>
      requires(!std::same_as<T, bool>)
   payload(T i) : m_value(integer_value(i)) {}
   payload(double d) : m_value(d) {}
   payload(const char * psz) : m_value(string_base(psz)) {}
   payload(scoped_string_base str) : m_value(string_base(str)) {}
   payload(string_base str) : m_value(std::move(str)) {}
   payload(property_set set) : m_value(std::move(set)) {}

   bool is_empty() const noexcept { return std::holds_alternative<std::monostate>(m_value); }
   bool is_text() const noexcept { return std::holds_alternative<string_base>(m_value); }
   bool is_property_set() const noexcept { return std::holds_alternative<property_set>(m_value); }

   // Texts read as numbers when they hold one whole number (white space around it allowed);
   // "true", "yes" and "on" read as true in any letter case. Real numbers read as integers are
   // truncated toward zero and held within the integer's range; NaN reads as 0.
   long long as_int() const noexcept;
   double as_double() const noexcept;
   bool as_bool() const noexcept;

   // Numbers in decimal (real numbers in the shortest form that reads back the same), bools as
   // "1" or "0", a set as its network-payload text, nothing as an empty text.
   string_base as_string() const;

   // The set held; a payload of another kind is first made an empty set.
   property_set & property_set_reference();
   const property_set * get_property_set() const noexcept { return std::get_if<property_set>(&m_value); }

   // The named value of the set held (see `property_set_reference`).
   payload & operator[](scoped_string_base strKey) { return property_set_reference()[strKey]; }

   // Network-payload text (JSON) of the value; `bMultiline` indents it over several lines.
   string_base get_network_payload(bool bMultiline = false) const;

   // Replaces the value with the one a network-payload text holds. On a fault the value is what
   // was read before it (parts of a set), and the result says where the fault is.
   parse_result parse_network_payload(scoped_string_base strText);

   bool operator==(const payload & value) const = default;

   // Calls `visitor` with the value held: std::monostate, bool, long long, double, string_base
   // or property_set.
   template <typename V>
   decltype(auto) visit(V && visitor) const
   {
      return std::visit(std::forward<V>(visitor), m_value);
   }

private:
   // Integers are held as long long; an unsigned one beyond its range is held as a real number.
   template <std::integral T>
   static value_type integer_value(T i)
   {
      if (std::cmp_greater(i, std::numeric_limits<long long>::max()))
      {
         return static_cast<double>(i);
      }
      return static_cast<long long>(i);
   }

   value_type m_value;
};

// One named entry of a `property_set`.
struct property
{
   string_base m_strKey;
   payload m_payload;

   bool operator==(const property &) const = default;
};
