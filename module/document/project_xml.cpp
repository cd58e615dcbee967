// The XML screen setup for the media server: one virtual output screen the size of the raster,
// with one slice per layer whose input and output rectangles are the layer's rectangle.

#include <array>
#include <chrono>
#include <pugixml.hpp>

#include "document/project.h"
#include "orvo/file_system.h"
#include "orvo/unicode.h"

namespace Tarvossa_BrisvanePro
{

namespace
{

// Collects what pugixml writes, so that the file can be written whole or not at all.
class string_writer : public pugi::xml_writer
{
public:
   void write(const void * pdata, std::size_t size) override { m_str.append(static_cast<const char *>(pdata), size); }

   string_base m_str;
};

// A coordinate: an offset plus a distance along the layer, truncated toward zero. Summed in double
// precision and kept wide, so that an offset near the 32-bit bound plus the layer's size is written
// as it is; below 2^23 this gives what the single-precision sums of the screen setups made so far
// gave.
long long truncated_sum(int iOrigin, double dDistance)
{
   return static_cast<long long>(static_cast<double>(iOrigin) + dDistance);
}

void add_vertex(pugi::xml_node & node, long long x, long long y)
{
   pugi::xml_node v = node.append_child("v");
   v.append_attribute("x").set_value(x);
   v.append_attribute("y").set_value(y);
}

// The four corners: top-left, top-right, bottom-right, bottom-left.
void add_rectangle(pugi::xml_node & node, const app_layer * player)
{
   const int x = player->get_offset_x();
   const int y = player->get_offset_y();
   const long long xRight = truncated_sum(x, player->get_full_width());
   const long long yBottom = truncated_sum(y, player->get_full_height());
   add_vertex(node, x, y);
   add_vertex(node, xRight, y);
   add_vertex(node, xRight, yBottom);
   add_vertex(node, x, yBottom);
}

// Offsets of the grid lines at 0, 1/3, 2/3 and the whole of a side.
std::array<double, 4> thirds(int iSide)
{
   const auto dSide = static_cast<double>(iSide);
   return {0.0, dSide / 3.0, (dSide + dSide) / 3.0, dSide};
}

// The 4 x 4 control points over the layer rectangle, row after row from the top.
void add_warper(pugi::xml_node & slice, const app_layer * player)
{
   pugi::xml_node warper = slice.append_child("Warper");
   pugi::xml_node params = warper.append_child("Params");
   pugi::xml_node choice = params.append_child("ParamChoice");
   choice.append_attribute("name").set_value("Point Mode");
   choice.append_attribute("default").set_value("PM_LINEAR");
   choice.append_attribute("value").set_value("PM_LINEAR");
   choice.append_attribute("storeChoices").set_value(0);
   pugi::xml_node flip = params.append_child("Param");
   flip.append_attribute("name").set_value("Flip");
   flip.append_attribute("default").set_value(0);
   flip.append_attribute("value").set_value(0);
   pugi::xml_node bezier = warper.append_child("BezierWarper");
   bezier.append_attribute("controlWidth").set_value(4);
   bezier.append_attribute("controlHeight").set_value(4);
   pugi::xml_node vertices = bezier.append_child("vertices");
   const std::array<double, 4> xa = thirds(player->get_full_width());
   const std::array<double, 4> ya = thirds(player->get_full_height());
   for (const double dY : ya)
   {
      for (const double dX : xa)
      {
         add_vertex(vertices, truncated_sum(player->get_offset_x(), dX), truncated_sum(player->get_offset_y(), dY));
      }
   }
}

// XML 1.0 holds tab, line feed, carriage return and the characters from U+0020 on, except the
// surrogates and U+FFFE and U+FFFF.
bool is_xml_character(char32_t wch)
{
   return wch == 0x9 || wch == 0xA || wch == 0xD || (wch >= 0x20 && wch <= 0xD7FF) || (wch >= 0xE000 && wch <= 0xFFFD) ||
          (wch >= 0x10000 && wch <= 0x10FFFF);
}

// The name without the characters (and the bytes that are no UTF-8) that XML 1.0 cannot hold,
// which would make the file unreadable for a strict reader.
string_base xml_name(scoped_string_base strName)
{
   string_base strXml;
   for (std::size_t i = 0; i < strName.size();)
   {
      const unicode::decoded_character decoded = unicode::decode_utf8_at(strName, i);
      // A byte that begins no UTF-8 sequence decodes as a one-byte U+FFFD.
      const bool bWellFormed = decoded.m_wch != unicode::replacement_character || decoded.m_iLength > 1;
      if (bWellFormed && is_xml_character(decoded.m_wch))
      {
         strXml += strName.substr(i, decoded.m_iLength);
      }
      i += decoded.m_iLength;
   }
   return strXml;
}

void add_output_device(pugi::xml_node & screen, int iWidth, int iHeight)
{
   pugi::xml_node virtualdevice = screen.append_child("OutputDevice").append_child("OutputDeviceVirtual");
   virtualdevice.append_attribute("name").set_value("Screen 1");
   virtualdevice.append_attribute("deviceId").set_value("VirtualScreen 1");
   virtualdevice.append_attribute("idHash").set_value("10094742552620344504");
   virtualdevice.append_attribute("width").set_value(iWidth);
   virtualdevice.append_attribute("height").set_value(iHeight);
   pugi::xml_node params = virtualdevice.append_child("Params");
   params.append_attribute("name").set_value("Params");
   for (const auto & [pszName, iValue] : {std::pair{"Width", iWidth}, std::pair{"Height", iHeight}})
   {
      pugi::xml_node range = params.append_child("ParamRange");
      range.append_attribute("name").set_value(pszName);
      range.append_attribute("default").set_value(iValue);
      range.append_attribute("value").set_value(iValue);
   }
   pugi::xml_node range = params.append_child("ValueRange");
   range.append_attribute("name").set_value("defaultRange");
   range.append_attribute("min").set_value("1");
   range.append_attribute("max").set_value("16384");
}

long long milliseconds_since_epoch()
{
   return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::system_clock::now().time_since_epoch()).count();
}

} // namespace

void add_layer_to_xml(const app_layer * player, pugi::xml_node & layers)
{
   pugi::xml_node slice = layers.append_child("Slice");
   pugi::xml_node param = slice.append_child("Params");
   param.append_attribute("name").set_value("Common");
   param = param.append_child("Param");
   param.append_attribute("name").set_value("Name");
   param.append_attribute("default").set_value("Layer");
   param.append_attribute("value").set_value(xml_name(player->get_name()).c_str());
   for (const char * pszRectangle : {"InputRect", "OutputRect"})
   {
      pugi::xml_node rectangle = slice.append_child(pszRectangle);
      rectangle.append_attribute("orientation").set_value(0);
      add_rectangle(rectangle, player);
   }
   add_warper(slice, player);
}

outcome<file::written> project::save_resolute_arena_xml_document(const file::path & path) const
{
   file::path pathXml = path;
   pathXml.set_all_extensions("xml");
   return file::write_all(pathXml, get_resolute_arena_xml_text());
}

string_base project::get_resolute_arena_xml_text() const
{
   pugi::xml_document document;
   pugi::xml_node state = document.append_child("XmlState");
   state.append_attribute("name").set_value("Test");
   pugi::xml_node version = state.append_child("versionInfo");
   version.append_attribute("name").set_value("Resolume Arena");
   version.append_attribute("majorVersion").set_value(6);
   version.append_attribute("minorVersion").set_value(1);
   version.append_attribute("microVersion").set_value(0);
   version.append_attribute("revision").set_value("61231");
   pugi::xml_node setup = state.append_child("ScreenSetup");
   setup.append_attribute("name").set_value("ScreenSetup");
   setup.append_child("Params").append_attribute("name").set_value("ScreenSetupParams");
   pugi::xml_node screen = setup.append_child("screens").append_child("Screen");
   screen.append_attribute("name").set_value("Screen 1");
   screen.append_attribute("uniqueId").set_value(milliseconds_since_epoch());
   pugi::xml_node layers = screen.append_child("layers");
   for (const pointer<app_layer> & player : m_layera)
   {
      // An empty slot of the list is no layer and gets no slice.
      if (player)
      {
         add_layer_to_xml(player.get(), layers);
      }
   }
   add_output_device(screen, get_paper_width(), get_paper_height());

   string_writer writer;
   document.save(writer, "\t", pugi::format_indent, pugi::encoding_auto);
   return writer.m_str;
}

} // namespace Tarvossa_BrisvanePro
