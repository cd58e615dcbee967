#pragma once

#include <concepts>
#include <limits>
#include <utility>
#include <variant>
#include <vector>

#include "orvo/outcome.h"
#include "orvo/string.h"

// The payload and the property set are one pair: a set's values are payloads, and a payload may
// hold a set. Both are declared here.

class payload;
struct property;

// An ordered set of named values: the entries keep the order in which their keys were first set.
// It reads and writes two text forms: the network payload (JSON, an object of the entries) and
// INI ("key=value" lines; an entry that is itself a set becomes a "[key]" section).
class property_set
{
public:
   property_set();
   property_set(const property_set & set);
   property_set(property_set && set) noexcept;
   property_set & operator=(const property_set & set);
   property_set & operator=(property_set && set) noexcept;
   ~property_set();

   long long count() const noexcept;
   bool is_empty() const noexcept;
   bool has(scoped_string_base strKey) const noexcept;

   // The value of the key; a key not yet set is appended with an empty value. Values returned by
   // `operator[]` and `find` stay valid until a key is added to or removed from this set.
   payload & operator[](scoped_string_base strKey);

   // The value of the key, or null when it is not set.
   const payload * find(scoped_string_base strKey) const noexcept;

   // Sets the key's value, keeping the key's place when it was set before.
   void set(scoped_string_base strKey, payload value);
   bool remove(scoped_string_base strKey);
   void clear() noexcept;

   // A missing key, or a value that does not read as the type asked for, gives the default.
   long long get_int(scoped_string_base strKey, long long iDefault = 0) const;
   double get_double(scoped_string_base strKey, double dDefault = 0.0) const;
   bool get_bool(scoped_string_base strKey, bool bDefault = false) const;
   string_base get_string(scoped_string_base strKey, scoped_string_base strDefault = {}) const;

   // Sets every entry of `set` in this one: known keys take the new value in place, new keys are
   // appended in `set`'s order.
   void merge(property_set set);

   // The entries as text: key, `strKeySeparator`, value, with `strEntrySeparator` between the
   // entries (none after the last).
   string_base as_string(scoped_string_base strKeySeparator, scoped_string_base strEntrySeparator) const;

   // Network-payload text (JSON); `bMultiline` indents it over several lines for reading.
   string_base get_network_payload(bool bMultiline = false) const;

   // Replaces the entries with those of a network-payload text, which must hold an object. On a
   // fault the entries read before it are kept and the failure says where it is (`text_fault`).
   outcome<> parse_network_payload(scoped_string_base strText);

   // INI text (see `ini_text`): the plain entries as "key=value" lines, then one "[key]" section for each entry
   // that is itself a set (sets inside those are written as network-payload values). Keys and
   // values that would not survive as plain text (line breaks, an "=" in a key, white space at an
   // end, a leading quote) are written in double quotes with backslash escapes.
   string_base get_ini() const;

   // Replaces the entries with those of an INI text. Blank lines and lines starting with ";" or
   // "#" are skipped; white space around keys and values is dropped. A line that is neither a
   // section nor "key=value" is a fault: it is skipped, the rest is read, and the failure names
   // the first such line.
   outcome<> parse_ini(scoped_string_base strText);

   std::vector<property>::const_iterator begin() const noexcept;
   std::vector<property>::const_iterator end() const noexcept;

   bool operator==(const property_set & set) const;

private:
   property * find_property(scoped_string_base strKey) noexcept;

   std::vector<property> m_properties;
};

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
   // was read before it (parts of a set), and the failure says where the fault is.
   outcome<> parse_network_payload(scoped_string_base strText);

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
