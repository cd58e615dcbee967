// The container text of projects, presets and the logo layer: a header line with the magic and the
// number of layer blocks, an optional raster-size text, then one length-prefixed block per layer
// and, in projects, the raster-label block.

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdint>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "document/image_layer.h"
#include "document/parameter_text.h"
#include "document/project.h"
#include "orvo/file_system.h"
#include "orvo/trace.h"

namespace Tarvossa_BrisvanePro
{

namespace
{

// Walks a text line by line, and takes blocks by byte count from where the last line ended. A
// line ends at a line feed, a carriage return, or a carriage return followed by a line feed.
class line_cursor
{
public:
   explicit line_cursor(scoped_string_base strText) : m_strText(strText) {}

   // None at the end of the text.
   std::optional<scoped_string_base> next_line()
   {
      if (m_iPosition >= m_strText.size())
      {
         return std::nullopt;
      }
      const std::size_t iEnd = find_line_end(m_strText, m_iPosition);
      const scoped_string_base strLine = m_strText.substr(m_iPosition, iEnd - m_iPosition);
      m_iPosition = iEnd + 1;
      if (iEnd + 1 < m_strText.size() && m_strText[iEnd] == '\r' && m_strText[iEnd + 1] == '\n')
      {
         ++m_iPosition;
      }
      return strLine;
   }

   // The next `iLength` bytes, or all that remain when fewer do.
   scoped_string_base take(std::size_t iLength)
   {
      const scoped_string_base strBlock = m_strText.substr(std::min(m_iPosition, m_strText.size()), iLength);
      m_iPosition += strBlock.size();
      return strBlock;
   }

   // Whether anything but white space is left.
   bool has_text_left() const
   {
      return m_iPosition < m_strText.size() &&
             !std::ranges::all_of(m_strText.substr(m_iPosition), [](char ch) { return std::isspace(static_cast<unsigned char>(ch)) != 0; });
   }

private:
   scoped_string_base m_strText;
   std::size_t m_iPosition = 0;
};

bool is_blank(char ch) noexcept
{
   return std::isspace(static_cast<unsigned char>(ch)) != 0;
}

// Reads as `scanf` matches literal text: a blank in `strLiteral` matches any run of white space,
// none included; every other character must match itself. Moves `strRest` past what matched.
bool scan_literal(scoped_string_base & strRest, scoped_string_base strLiteral)
{
   for (const char ch : strLiteral)
   {
      if (is_blank(ch))
      {
         while (!strRest.empty() && is_blank(strRest.front()))
         {
            strRest.remove_prefix(1);
         }
      }
      else if (!strRest.empty() && strRest.front() == ch)
      {
         strRest.remove_prefix(1);
      }
      else
      {
         return false;
      }
   }
   return true;
}

// Reads as `scanf`'s "%lld": white space, an optional sign, at least one digit. A number of more
// than 18 digits gives the nearest of +-10^18, which no count or length reaches.
std::optional<long long> scan_long_long(scoped_string_base & strRest)
{
   constexpr long long iBound = 1'000'000'000'000'000'000;
   scoped_string_base str = strRest;
   while (!str.empty() && is_blank(str.front()))
   {
      str.remove_prefix(1);
   }
   const bool bNegative = !str.empty() && str.front() == '-';
   if (!str.empty() && (str.front() == '-' || str.front() == '+'))
   {
      str.remove_prefix(1);
   }
   if (str.empty() || !std::isdigit(static_cast<unsigned char>(str.front())))
   {
      return std::nullopt;
   }
   long long iValue = 0;
   while (!str.empty() && std::isdigit(static_cast<unsigned char>(str.front())))
   {
      // Held at the bound before the multiplication, which would otherwise overflow.
      iValue = iValue >= iBound / 10 ? iBound : std::min(iValue * 10 + (str.front() - '0'), iBound);
      str.remove_prefix(1);
   }
   strRest = str;
   return bNegative ? -iValue : iValue;
}

// Reads as `scanf`'s "%d". A number beyond the 32-bit range gives the nearest bound.
std::optional<int> scan_int(scoped_string_base & strRest)
{
   const std::optional<long long> oiValue = scan_long_long(strRest);
   if (!oiValue)
   {
      return std::nullopt;
   }
   return static_cast<int>(std::clamp(*oiValue, static_cast<long long>(INT_MIN), static_cast<long long>(INT_MAX)));
}

// The number after `strPrefix` at the start of the line, as `scanf(line, "<prefix>%d")` reads it.
std::optional<int> scan_int_after(scoped_string_base strLine, scoped_string_base strPrefix)
{
   if (!scan_literal(strLine, strPrefix))
   {
      return std::nullopt;
   }
   return scan_int(strLine);
}

// Whether the line is the prefix and a number and nothing more, as the writer writes it.
bool is_number_line(scoped_string_base strLine, scoped_string_base strPrefix)
{
   return scan_literal(strLine, strPrefix) && scan_int(strLine) && std::ranges::all_of(strLine, is_blank);
}

string_base container_header(scoped_string_base strMagic, std::size_t iBlockCount, scoped_string_base strExtra)
{
   string_base strText = format("%s v2 %lu %lu\n", string_base(strMagic).c_str(), static_cast<unsigned long>(iBlockCount),
      static_cast<unsigned long>(strExtra.size()));
   if (!strExtra.empty())
   {
      strText += strExtra;
      strText += '\n';
   }
   return strText;
}

using piece_sink = std::function<void(scoped_string_base)>;

void put_block(const piece_sink & put, int iType, scoped_string_base strBlock)
{
   put(format("%d %lu\n", iType, static_cast<unsigned long>(strBlock.size())));
   put(strBlock);
}

// Hands the container to `put` piece by piece: the header, then each block, a layer's text made
// only when its turn comes, so that no more than one is held at a time. Without a raster label
// text no raster-label block is written.
void put_container(const piece_sink & put, scoped_string_base strMagic, scoped_string_base strExtra,
   const std::vector<const app_layer *> & layers, const std::optional<string_base> & ostrRasterLabel)
{
   put(container_header(strMagic, layers.size(), strExtra));
   for (const app_layer * player : layers)
   {
      put_block(put, player->get_layer_type(), player->get_layer_info());
   }
   if (ostrRasterLabel)
   {
      put_block(put, raster_label_block_type, *ostrRasterLabel);
   }
}

// Writes the container into the file as it is made: the atomic file keeps the old file until
// the whole new one is on the disk.
outcome<file::written> write_container_file(const file::path & path, scoped_string_base strMagic, scoped_string_base strExtra,
   const std::vector<const app_layer *> & layers, const std::optional<string_base> & ostrRasterLabel)
{
   file::atomic_file out(path);
   put_container([&out](scoped_string_base str) { out.write(str.data(), str.size()); }, strMagic, strExtra, layers, ostrRasterLabel);
   return out.commit();
}

// The layers that get a block: an empty slot of the list is no layer.
std::vector<const app_layer *> layers_written(const pointer_array<app_layer> & layera)
{
   std::vector<const app_layer *> layers;
   for (const pointer<app_layer> & player : layera)
   {
      if (player)
      {
         layers.push_back(player.get());
      }
   }
   return layers;
}

// "a, b, c".
string_base values_listed(const string_array_base & stra)
{
   string_base strList;
   for (const string_base & str : stra)
   {
      strList += (strList.empty() ? "" : ", ") + str;
   }
   return strList;
}

// "a, b, c, d, e and 3 more": a screen layer's block holds some sixty keys.
string_base keys_listed(const property_set & set)
{
   constexpr long long iNamed = 5;
   string_base strList;
   long long iKey = 0;
   for (const property & prop : set)
   {
      if (iKey++ < iNamed)
      {
         strList += (strList.empty() ? "" : ", ") + prop.m_strKey;
      }
   }
   return iKey > iNamed ? format("%s and %lld more", strList.c_str(), iKey - iNamed) : strList;
}

// What a layer block held that the layer did not take as written, one entry each.
void add_layer_faults(string_array_base & straFaults, const app_layer & layer)
{
   const string_base strName = layer.get_name();
   if (const auto * pimagelayer = dynamic_cast<const image_layer *>(&layer); pimagelayer && !pimagelayer->unreadable_picture_reason().empty())
   {
      straFaults.add(format("The picture of the layer \"%s\" cannot be shown: %s. It is kept as it came and saved unchanged",
                            strName.c_str(), pimagelayer->unreadable_picture_reason().c_str()));
   }
   if (!layer.values_not_read().is_empty())
   {
      straFaults.add(format("Values of the layer \"%s\" that do not read were left out or cut to what reads: %s", strName.c_str(),
                            values_listed(layer.values_not_read()).c_str()));
   }
   if (!layer.keys_kept().is_empty())
   {
      const char * pszKind = layer.get_layer_type() == e_layer_image ? "picture" : "screen";
      straFaults.add(format("The %s layer \"%s\" holds keys that no %s layer has (%s); its block may be marked as the wrong kind "
                            "of layer. It opens without them, and they are kept as they came and saved with it",
                            pszKind, strName.c_str(), pszKind, keys_listed(layer.keys_kept()).c_str()));
   }
}

} // namespace

outcome<string_base> project::read_container_file(const file::path & path) const
{
   const auto uBudget = static_cast<std::uint64_t>(std::max<std::int64_t>(budget().limit(), 0));
   outcome<string_base> read = file::read_all(path, uBudget);
   if (read)
   {
      return read;
   }
   // A file refused for its size is told in the words of the memory a document may take.
   std::error_code error;
   const std::uint64_t uSize = std::filesystem::file_size(std::filesystem::path(path.c_str()), error);
   if (error || uSize <= uBudget)
   {
      return read;
   }
   const auto [strSize, strBudget] = file::byte_counts_apart(uSize, uBudget);
   return failure(format("it holds %s, more than the %s of memory that a document may take on this machine", strSize.c_str(),
                         strBudget.c_str()));
}

outcome<file::written> project::save_project_to_file(const file::path & path) const
{
   return save_project_or_presets_to_file(path, project_magic, get_raster_size_text(), true);
}

outcome<file::written> project::save_preset_to_file(const file::path & path) const
{
   return save_project_or_presets_to_file(path, presets_magic, {}, false);
}

outcome<file::written> project::save_project_or_presets_to_file(const file::path & path, scoped_string_base strMagic, scoped_string_base strExtra,
   bool bRasterLabel) const
{
   return write_container_file(path, strMagic, strExtra, layers_written(m_layera),
      bRasterLabel ? std::optional(get_raster_label_info()) : std::nullopt);
}

string_base project::get_container_text(scoped_string_base strMagic, scoped_string_base strExtra, bool bRasterLabel) const
{
   string_base strText;
   put_container([&strText](scoped_string_base str) { strText += str; }, strMagic, strExtra, layers_written(m_layera),
      bRasterLabel ? std::optional(get_raster_label_info()) : std::nullopt);
   return strText;
}

outcome<file::written> project::save_logo_layer_to_file(const file::path & path)
{
   const pointer<image_layer> playerLogo = get_logo_layer();
   if (!playerLogo)
   {
      return failure("the logo flag is on a layer that is not an image layer");
   }
   return write_container_file(path, project_magic, "Width:0\nHeight:0", {playerLogo.get()}, std::nullopt);
}

string_base project::get_raster_size_text() const
{
   return format("Width:%d\nHeight:%d", get_paper_width(), get_paper_height());
}

outcome<layers_read> project::create_layers_from_string(size_type<int> & paper, scoped_string_base strText, scoped_string_base strMagic)
{
   line_cursor cursor(strText);

   // The header: the magic and the number of layer blocks; the raster-size length is not needed.
   const std::optional<scoped_string_base> strHeader = cursor.next_line();
   if (!strHeader)
   {
      information("create_layers_from_string::header no line");
      return failure("it is empty");
   }
   scoped_string_base strHeaderRest = *strHeader;
   const std::optional<int> iCount = scan_literal(strHeaderRest, strMagic) && scan_literal(strHeaderRest, " ") ? scan_int(strHeaderRest) : std::nullopt;
   if (!iCount)
   {
      information("create_layers_from_string::header check err");
      return failure(format("its first line is not a \"%s\" header with a layer count", string_base(strMagic).c_str()));
   }
   if (*iCount < 0 || *iCount > max_layers_count)
   {
      information("layers_count can't be <0 or >1024");
      return failure(format("its header announces %d layers, not 0 to %lld", *iCount, max_layers_count));
   }
   layers_read result;
   result.m_iLayersAnnounced = *iCount;

   // The blocks. One pass more than the count gives room for a project's raster-label block,
   // which the count leaves out.
   int iBlock = 0;
   for (int iPass = 0; iPass <= *iCount; ++iPass)
   {
      std::optional<scoped_string_base> strLine = cursor.next_line();
      if (!strLine)
      {
         break;
      }
      if (strLine->find("Width") != scoped_string_base::npos)
      {
         result.m_bRasterSizeRead = true;
         paper.width = scan_int_after(*strLine, "Width:").value_or(0);
         const std::optional<scoped_string_base> strHeight = cursor.next_line();
         paper.height = strHeight ? scan_int_after(*strHeight, "Height:").value_or(0) : 0;
         if (!is_number_line(*strLine, "Width:") || !strHeight || !is_number_line(*strHeight, "Height:"))
         {
            result.m_straBlockFaults.add(format("The raster size lines do not read as a width and a height (\"%s\"), but as %d x %d",
                                                string_base(*strLine).c_str(), paper.width, paper.height));
         }
         strLine = cursor.next_line();
         if (!strLine)
         {
            break;
         }
      }
      ++iBlock;
      scoped_string_base strBlockHeader = *strLine;
      const std::optional<int> iType = scan_int(strBlockHeader);
      // Lengths are read in 64 bits: a block of a large picture may pass the 32-bit range.
      const std::optional<long long> iLength = iType && scan_literal(strBlockHeader, " ") ? scan_long_long(strBlockHeader) : std::nullopt;
      if (!iLength)
      {
         information("create_layers_from_string::HDR::step2 error [std:%s]", string_base(*strLine).c_str());
         result.m_strFault = format("block %d has no valid block header", iBlock);
         break;
      }
      // A length beyond the rest of the text is not refused here: the block is then cut short.
      if (*iLength < 1)
      {
         information("create_layers_from_string::data len too large [%lld]", *iLength);
         result.m_strFault = format("block %d gives a length of %lld bytes, which no block has", iBlock, *iLength);
         break;
      }
      const auto uLength = static_cast<std::uint64_t>(*iLength);
      scoped_string_base strBlock = cursor.take(uLength);
      if (strBlock.size() < uLength)
      {
         information("create_layers_from_string::data cut short [%zu of %llu bytes]: the file ends inside a block", strBlock.size(),
            static_cast<unsigned long long>(uLength));
         result.m_strFault = format("the file ends inside block %d, after %zu of its %llu bytes", iBlock, strBlock.size(),
            static_cast<unsigned long long>(uLength));
      }
      if (const std::size_t iNul = strBlock.find('\0'); iNul != scoped_string_base::npos)
      {
         result.m_straBlockFaults.add(format("Block %d holds a NUL byte; the %zu bytes after it were left out", iBlock, strBlock.size() - iNul - 1));
         strBlock = strBlock.substr(0, iNul);
      }

      if (*iType == e_layer_boxes || *iType == e_layer_image)
      {
         pointer<app_layer> player = create_layer(static_cast<enum_layer>(*iType));
         player->apply_defaults();
         player->apply_layer_info(strBlock);
         add_layer_faults(result.m_straBlockFaults, *player);
         result.m_layers.add(player);
      }
      else if (*iType == raster_label_block_type)
      {
         if (const string_array_base straNotRead = load_raster_label_info(strBlock); !straNotRead.is_empty())
         {
            result.m_straBlockFaults.add("Values of the raster label that do not read were cut to what reads: " + values_listed(straNotRead));
         }
         result.m_bRasterLabelRead = true;
      }
      else
      {
         information("create_layers_from_string::ROW layer type incorrect [%d]", *iType);
         result.m_strFault = format("block %d is of an unknown type (%d)", iBlock, *iType);
         break;
      }
   }
   if (!result.is_partial() && result.m_layers.count() < *iCount)
   {
      result.m_strFault = format("the file ends after %lld of the %d layers it announces", result.m_layers.count(), *iCount);
   }
   else if (!result.is_partial() && cursor.has_text_left())
   {
      result.m_strFault = format("it holds more blocks than its header's %d layers allow; block %d and what follows were not read", *iCount,
                                 iBlock + 1);
   }
   return result;
}

string_base project::get_raster_label_info() const
{
   string_base strText = format("Raster Label:%s\nX:%d\nY:%d\nFontSize:%d\n", m_bRasterLabel ? "1" : "0", m_iRasterLabelX, m_iRasterLabelY,
      m_iRasterLabelFontSize);
   for (const string_base & strLine : m_straRasterLabel)
   {
      strText += "Label:" + strLine + "\n";
   }
   return strText;
}

string_array_base project::load_raster_label_info(scoped_string_base strText)
{
   string_array_base straNotRead;
   m_straRasterLabel.clear();
   string_array_base straLines;
   straLines._add_lines(strText);
   for (const string_base & strLine : straLines)
   {
      const auto value_after = [&strLine](scoped_string_base strPrefix) { return scoped_string_base(strLine).substr(strPrefix.size()); };
      // The key as the line writes it, without its colon.
      const auto read_int = [&](scoped_string_base strPrefix) {
         return parameter_text::read_leading_int(scoped_string_base(strLine).substr(0, strPrefix.size() - 1), value_after(strPrefix), straNotRead);
      };
      if (begins_ci(strLine, "Raster Label:"))
      {
         m_bRasterLabel = read_int("Raster Label:") != 0;
      }
      else if (begins_ci(strLine, "X:"))
      {
         m_iRasterLabelX = read_int("X:");
      }
      else if (begins_ci(strLine, "Y:"))
      {
         m_iRasterLabelY = read_int("Y:");
      }
      else if (begins_ci(strLine, "FontSize:"))
      {
         m_iRasterLabelFontSize = read_int("FontSize:");
      }
      else if (begins_ci(strLine, "Label:"))
      {
         m_straRasterLabel.add(value_after("Label:"));
      }
   }
   return straNotRead;
}

} // namespace Tarvossa_BrisvanePro
