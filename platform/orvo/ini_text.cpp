#include "orvo/ini_text.h"

#include <algorithm>
#include <optional>

#include "orvo/text_fault.h"

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

string_base written_plain_or_quoted(scoped_string_base str, bool bKey)
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
         strIni += written_plain_or_quoted(entry.m_strKey, true) + "=" + written_plain_or_quoted(entry.m_payload.as_string(), false) + "\n";
      }
   }
}

} // namespace

string_base ini_text::write(const property_set & set)
{
   string_base strIni;
   write_ini_entries(strIni, set);
   for (const property & entry : set)
   {
      if (const property_set * psection = entry.m_payload.get_property_set())
      {
         strIni += "[" + written_plain_or_quoted(entry.m_strKey, true) + "]\n";
         write_ini_entries(strIni, *psection);
      }
   }
   return strIni;
}

outcome<> ini_text::read(scoped_string_base strText, property_set & set)
{
   set.clear();
   outcome<> result;
   property_set * psection = &set;
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
         psection = &set[read_value(strName)].property_set_reference();
      }
      else if (auto entry = read_entry(strLine))
      {
         psection->set(entry->first, payload(std::move(entry->second)));
      }
      else if (result)
      {
         result = text_fault(iLine, iStart, "a line is neither a [section] nor key=value");
      }
      iStart = iEnd + (strText.substr(iEnd).starts_with("\r\n") ? 2 : 1);
   }
   return result;
}
