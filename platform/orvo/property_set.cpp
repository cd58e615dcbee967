#include "orvo/property_set.h"

#include <algorithm>
#include <optional>

#include "orvo/network_payload.h"

namespace
{

// INI quoting: a key or value that plain text would not carry intact goes in double quotes,
// with backslash escapes inside.
bool needs_quotes(scoped_string_base str, bool bKey)
{
   if (str.find_first_of("\r\n") != scoped_string_base::npos || trimmed(str).size() != str.size()
       || str.starts_with('"'))
   {
      return true;
   }
   return bKey && (str.empty() || str.find('=') != scoped_string_base::npos || str.starts_with('[')
                   || str.starts_with(';') || str.starts_with('#'));
}

string_base quoted(scoped_string_base str)
{
   string_base strQuoted = "\"";
   for (const char ch : str)
   {
      switch (ch)
      {
      case '\\': strQuoted += "\\\\"; break;
      case '"': strQuoted += "\\\""; break;
      case '\n': strQuoted += "\\n"; break;
      case '\r': strQuoted += "\\r"; break;
      case '\t': strQuoted += "\\t"; break;
      default: strQuoted += ch; break;
      }
   }
   return strQuoted + "\"";
}

string_base ini_text(scoped_string_base str, bool bKey)
{
   return needs_quotes(str, bKey) ? quoted(str) : string_base(str);
}

char unescaped(char ch)
{
   switch (ch)
   {
   case 'n': return '\n';
   case 'r': return '\r';
   case 't': return '\t';
   default: return ch;
   }
}

// Reads a quoted text at the start of `str` (which starts with a double quote): the text and the
// length that the quotes took, or nothing when the closing quote is missing.
std::optional<std::pair<string_base, std::size_t>> read_quoted(scoped_string_base str)
{
   string_base strText;
   for (std::size_t i = 1; i < str.size(); i++)
   {
      if (str[i] == '"')
      {
         return std::make_pair(strText, i + 1);
      }
      if (str[i] == '\\' && i + 1 < str.size())
      {
         i++;
         strText += unescaped(str[i]);
      }
      else
      {
         strText += str[i];
      }
   }
   return std::nullopt;
}

// A value after "=": the quoted text when the whole value is one, else the value as it stands.
string_base read_value(scoped_string_base strValue)
{
   if (strValue.starts_with('"'))
   {
      const auto quotedtext = read_quoted(strValue);
      if (quotedtext && quotedtext->second == strValue.size())
      {
         return quotedtext->first;
      }
   }
   return string_base(strValue);
}

// Splits "key=value" (the key possibly quoted); nothing when the line is not of that form.
std::optional<std::pair<string_base, string_base>> read_entry(scoped_string_base strLine)
{
   string_base strKey;
   scoped_string_base strRest;
   if (strLine.starts_with('"'))
   {
      const auto quotedtext = read_quoted(strLine);
      if (!quotedtext)
      {
         return std::nullopt;
      }
      strKey = quotedtext->first;
      strRest = trimmed(strLine.substr(quotedtext->second));
      if (!strRest.starts_with('='))
      {
         return std::nullopt;
      }
      strRest.remove_prefix(1);
   }
   else
   {
      const std::size_t iEquals = strLine.find('=');
      if (iEquals == scoped_string_base::npos)
      {
         return std::nullopt;
      }
      strKey = trimmed(strLine.substr(0, iEquals));
      strRest = strLine.substr(iEquals + 1);
   }
   return std::make_pair(strKey, read_value(trimmed(strRest)));
}

void write_ini_entries(string_base & strIni, const property_set & set)
{
   for (const property & entry : set)
   {
      if (!entry.m_payload.is_property_set())
      {
         strIni += ini_text(entry.m_strKey, true) + "=" + ini_text(entry.m_payload.as_string(), false) + "\n";
      }
   }
}

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

parse_result property_set::parse_network_payload(scoped_string_base strText)
{
   payload value;
   parse_result result = network_payload::read(strText, value);
   if (value.is_property_set())
   {
      *this = std::move(value.property_set_reference());
   }
   else
   {
      clear();
      result.fail(1, 0, "the network payload does not hold a set of named values");
   }
   return result;
}

string_base property_set::get_ini() const
{
   string_base strIni;
   write_ini_entries(strIni, *this);
   for (const property & entry : m_properties)
   {
      if (const property_set * psection = entry.m_payload.get_property_set())
      {
         strIni += "[" + ini_text(entry.m_strKey, true) + "]\n";
         write_ini_entries(strIni, *psection);
      }
   }
   return strIni;
}

parse_result property_set::parse_ini(scoped_string_base strText)
{
   clear();
   parse_result result;
   property_set * psection = this;
   long long iLine = 1;
   for (std::size_t iStart = 0; iStart < strText.size(); iLine++)
   {
      const std::size_t iEnd = std::min(strText.find_first_of("\r\n", iStart), strText.size());
      const scoped_string_base strLine = trimmed(strText.substr(iStart, iEnd - iStart));
      if (strLine.empty() || strLine.starts_with(';') || strLine.starts_with('#'))
      {
         // Blank lines and comments carry nothing.
      }
      else if (strLine.starts_with('[') && strLine.ends_with(']') && strLine.size() >= 2)
      {
         const scoped_string_base strName = trimmed(strLine.substr(1, strLine.size() - 2));
         psection = &(*this)[read_value(strName)].property_set_reference();
      }
      else if (auto entry = read_entry(strLine))
      {
         psection->set(entry->first, payload(std::move(entry->second)));
      }
      else
      {
         result.fail(iLine, iStart, "a line is neither a [section] nor key=value");
      }
      iStart = iEnd + (strText.substr(iEnd).starts_with("\r\n") ? 2 : 1);
   }
   return result;
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
