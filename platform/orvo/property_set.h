#pragma once

#include <vector>

#include "orvo/parse_result.h"
#include "orvo/string.h"

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
   // fault the entries read before it are kept and the result says where it is.
   parse_result parse_network_payload(scoped_string_base strText);

   // INI text: the plain entries as "key=value" lines, then one "[key]" section for each entry
   // that is itself a set (sets inside those are written as network-payload values). Keys and
   // values that would not survive as plain text (line breaks, an "=" in a key, white space at an
   // end, a leading quote) are written in double quotes with backslash escapes.
   string_base get_ini() const;

   // Replaces the entries with those of an INI text. Blank lines and lines starting with ";" or
   // "#" are skipped; white space around keys and values is dropped. A line that is neither a
   // section nor "key=value" is a fault: it is skipped, the rest is read, and the result names
   // the first such line.
   parse_result parse_ini(scoped_string_base strText);

   std::vector<property>::const_iterator begin() const noexcept;
   std::vector<property>::const_iterator end() const noexcept;

   bool operator==(const property_set & set) const;

private:
   property * find_property(scoped_string_base strKey) noexcept;

   std::vector<property> m_properties;
};

// A set's values are payloads, and a payload may hold a set: whoever uses one uses the other.
#include "orvo/payload.h"
