#include "orvo/payload.h"

#include <algorithm>

#include "orvo/huge_pages.h"
#include "orvo/ini_text.h"
#include "orvo/network_payload.h"
#include "orvo/text_fault.h"

namespace
{

// A text value as it is held; used only on text values.
struct text_held
{
   scoped_string_base operator()(const string_base & str) const noexcept { return str; }
   template <typename T>
   scoped_string_base operator()(const T &) const noexcept
   {
      return {};
   }
};

} // namespace

property_set::property_set() = default;
property_set::property_set(const property_set & set) = default;
property_set::property_set(property_set && set) noexcept = default;
property_set & property_set::operator=(const property_set & set) = default;
property_set & property_set::operator=(property_set && set) noexcept = default;
property_set::~property_set() = default;

long long property_set::count() const noexcept
{
   return static_cast<long long>(m_properties.size());
}

bool property_set::is_empty() const noexcept
{
   return m_properties.empty();
}

bool property_set::has(scoped_string_base strKey) const noexcept
{
   return find(strKey) != nullptr;
}

property * property_set::find_property(scoped_string_base strKey) noexcept
{
   const auto it = std::find_if(m_properties.begin(), m_properties.end(),
                                [strKey](const property & entry) { return entry.m_strKey == strKey; });
   return it == m_properties.end() ? nullptr : &*it;
}

const payload * property_set::find(scoped_string_base strKey) const noexcept
{
   const auto it = std::find_if(m_properties.begin(), m_properties.end(),
                                [strKey](const property & entry) { return entry.m_strKey == strKey; });
   return it == m_properties.end() ? nullptr : &it->m_payload;
}

payload & property_set::operator[](scoped_string_base strKey)
{
   if (property * pentry = find_property(strKey))
   {
      return pentry->m_payload;
   }
   return m_properties.emplace_back(property{string_base(strKey), payload()}).m_payload;
}

void property_set::set(scoped_string_base strKey, payload value)
{
   (*this)[strKey] = std::move(value);
}

bool property_set::remove(scoped_string_base strKey)
{
   return std::erase_if(m_properties, [strKey](const property & entry) { return entry.m_strKey == strKey; }) > 0;
}

void property_set::clear() noexcept
{
   m_properties.clear();
}

long long property_set::get_int(scoped_string_base strKey, long long iDefault) const
{
   const payload * pvalue = find(strKey);
   return pvalue ? pvalue->as_int() : iDefault;
}

double property_set::get_double(scoped_string_base strKey, double dDefault) const
{
   const payload * pvalue = find(strKey);
   return pvalue ? pvalue->as_double() : dDefault;
}

bool property_set::get_bool(scoped_string_base strKey, bool bDefault) const
{
   const payload * pvalue = find(strKey);
   return pvalue ? pvalue->as_bool() : bDefault;
}

string_base property_set::get_string(scoped_string_base strKey, scoped_string_base strDefault) const
{
   const payload * pvalue = find(strKey);
   return pvalue ? pvalue->as_string() : string_base(strDefault);
}

void property_set::merge(property_set set)
{
   for (property & entry : set.m_properties)
   {
      (*this)[entry.m_strKey] = std::move(entry.m_payload);
   }
}

string_base property_set::as_string(scoped_string_base strKeySeparator, scoped_string_base strEntrySeparator) const
{
   // The values are measured first and the whole length reserved, so that a large text value (a
   // picture's data) is copied once.
   std::vector<string_base> converted(m_properties.size());
   std::vector<scoped_string_base> values;
   values.reserve(m_properties.size());
   std::size_t iLength = 0;
   for (std::size_t i = 0; i < m_properties.size(); ++i)
   {
      const payload & value = m_properties[i].m_payload;
      values.push_back(value.is_text() ? value.visit(text_held()) : scoped_string_base(converted[i] = value.as_string()));
      iLength += m_properties[i].m_strKey.size() + strKeySeparator.size() + values.back().size() + strEntrySeparator.size();
   }
   string_base strText;
   strText.reserve(iLength);
   advise_huge_pages(strText.data(), strText.capacity());
   for (std::size_t i = 0; i < values.size(); ++i)
   {
      if (i > 0)
      {
         strText += strEntrySeparator;
      }
      strText += m_properties[i].m_strKey;
      strText += strKeySeparator;
      strText += values[i];
   }
   return strText;
}

string_base property_set::get_network_payload(bool bMultiline) const
{
   return network_payload::write(payload(*this), bMultiline);
}

outcome<> property_set::parse_network_payload(scoped_string_base strText)
{
   payload value;
   outcome<> result = network_payload::read(strText, value);
   if (value.is_property_set())
   {
      *this = std::move(value.property_set_reference());
   }
   else
   {
      clear();
      if (result)
      {
         result = text_fault(1, 0, "the network payload does not hold a set of named values");
      }
   }
   return result;
}

string_base property_set::get_ini() const
{
   return ini_text::write(*this);
}

outcome<> property_set::parse_ini(scoped_string_base strText)
{
   return ini_text::read(strText, *this);
}

std::vector<property>::const_iterator property_set::begin() const noexcept
{
   return m_properties.begin();
}

std::vector<property>::const_iterator property_set::end() const noexcept
{
   return m_properties.end();
}

bool property_set::operator==(const property_set & set) const
{
   return m_properties == set.m_properties;
}
