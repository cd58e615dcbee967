#include "orvo/network_payload.h"

#include <algorithm>
#include <climits>
#include <vector>

#include <nlohmann/json.hpp>

#include "orvo/text_fault.h"

namespace
{

using json = nlohmann::ordered_json;

struct json_of
{
   json operator()(std::monostate) const { return nullptr; }
   json operator()(bool b) const { return b; }
   json operator()(long long i) const { return i; }
   json operator()(double d) const { return d; }
   json operator()(const string_base & str) const { return str; }
   json operator()(const property_set & set) const
   {
      json object = json::object();
      for (const property & entry : set)
      {
         object[entry.m_strKey] = entry.m_payload.visit(*this);
      }
      return object;
   }
};

// Builds payloads from the parser's events as they come, so that what was read before a fault
// stays, and the nesting is counted without recursion.
class payload_builder
{
public:
   payload_builder(scoped_string_base strText, payload & root, outcome<> & result) :
      m_strText(strText), m_root(root), m_result(result) {}

   bool null() { return place(payload()); }
   bool boolean(bool b) { return place(b); }
   bool number_integer(json::number_integer_t i) { return place(static_cast<long long>(i)); }
   bool number_unsigned(json::number_unsigned_t u)
   {
      return u <= static_cast<json::number_unsigned_t>(LLONG_MAX) ? place(static_cast<long long>(u))
                                                                 : place(static_cast<double>(u));
   }
   bool number_float(json::number_float_t d, const json::string_t &) { return place(d); }
   bool string(json::string_t & str) { return place(payload(std::move(str))); }
   bool binary(json::binary_t &) { return place(payload()); }

   bool start_object(std::size_t)
   {
      if (m_iSkipping > 0)
      {
         m_iSkipping++;
         return true;
      }
      if (m_sets.size() >= static_cast<std::size_t>(network_payload::max_depth))
      {
         fail(0, 0, format("the sets are nested deeper than %d", network_payload::max_depth));
         return false;
      }
      payload & value = target();
      value = property_set();
      m_sets.push_back(&value.property_set_reference());
      return true;
   }

   bool end_object()
   {
      if (m_iSkipping > 0)
      {
         m_iSkipping--;
      }
      else
      {
         m_sets.pop_back();
      }
      return true;
   }

   bool key(json::string_t & strKey)
   {
      m_strKey = std::move(strKey);
      return true;
   }

   // Arrays have no payload kind: the value becomes empty and the array's content is passed over.
   bool start_array(std::size_t)
   {
      if (m_iSkipping == 0)
      {
         target() = payload();
      }
      m_iSkipping++;
      return true;
   }

   bool end_array()
   {
      m_iSkipping--;
      return true;
   }

   bool parse_error(std::size_t iPosition, const std::string &, const nlohmann::detail::exception & exception)
   {
      // The parser counts the position from 1, at the character after the fault.
      const std::size_t iOffset = std::min(iPosition > 0 ? iPosition - 1 : 0, m_strText.size());
      fail(line_of(iOffset), iOffset, exception.what());
      return false;
   }

private:
   payload & target() { return m_sets.empty() ? m_root : (*m_sets.back())[m_strKey]; }

   bool place(payload value)
   {
      if (m_iSkipping == 0)
      {
         target() = std::move(value);
      }
      return true;
   }

   // Only the first fault is kept.
   void fail(long long iLine, std::size_t iOffset, scoped_string_base strWhy)
   {
      if (m_result)
      {
         m_result = text_fault(iLine, iOffset, strWhy);
      }
   }

   long long line_of(std::size_t iOffset) const
   {
      return 1 + std::count(m_strText.begin(), m_strText.begin() + static_cast<std::ptrdiff_t>(iOffset), '\n');
   }

   scoped_string_base m_strText;
   payload & m_root;
   outcome<> & m_result;
   std::vector<property_set *> m_sets;
   string_base m_strKey;
   int m_iSkipping = 0;
};

} // namespace

string_base network_payload::write(const payload & value, bool bMultiline)
{
   // Bytes that are not UTF-8 are replaced rather than failing the whole text.
   return value.visit(json_of()).dump(bMultiline ? 2 : -1, ' ', false, json::error_handler_t::replace);
}

outcome<> network_payload::read(scoped_string_base strText, payload & value)
{
   outcome<> result;
   value = payload();
   payload_builder builder(strText, value, result);
   // Every handler that stops the parser records why in `result`.
   static_cast<void>(json::sax_parse(strText.begin(), strText.end(), &builder));
   return result;
}
