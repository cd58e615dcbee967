// The XML screen setup of documents with odd offsets, sizes, raster sizes and names: the text is
// always well-formed XML 1.0 that a reader takes, every name holds only characters XML can hold, and
// every corner is the layer's offset plus its size, however near the 32-bit bounds.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <iostream>
#include <pugixml.hpp>

#include "document/boxes_layer.h"
#include "document/image_layer.h"
#include "document/project.h"
#include "orvo/trace.h"
#include "orvo/unicode.h"

using namespace Tarvossa_BrisvanePro;

namespace
{

void check(bool bHolds)
{
   if (!bHolds)
   {
      __builtin_trap();
   }
}

pointer<app_layer> odd_layer(project & document, FuzzedDataProvider & provider)
{
   const bool bScreen = provider.ConsumeBool();
   pointer<app_layer> player = document.create_layer(bScreen ? e_layer_boxes : e_layer_image);
   player->apply_defaults();
   player->set_offset_x(provider.ConsumeIntegral<int>());
   player->set_offset_y(provider.ConsumeIntegral<int>());
   if (bScreen)
   {
      auto & boxes = dynamic_cast<boxes_layer &>(*player);
      boxes.Columns = provider.ConsumeIntegralInRange(0, boxes_layer::max_grid_count);
      boxes.Rows = provider.ConsumeIntegralInRange(0, boxes_layer::max_grid_count);
      boxes.Width = provider.ConsumeIntegralInRange(0, boxes_layer::max_box_size);
      boxes.Height = provider.ConsumeIntegralInRange(0, boxes_layer::max_box_size);
   }
   else
   {
      player->apply_parameter_by_name("Width", std::to_string(provider.ConsumeIntegral<int>()));
      player->apply_parameter_by_name("Height", std::to_string(provider.ConsumeIntegral<int>()));
   }
   player->set_name(provider.ConsumeRandomLengthString(64));
   return player;
}

bool holds_only_xml_characters(scoped_string_base str)
{
   for (std::size_t i = 0; i < str.size();)
   {
      const unicode::decoded_character decoded = unicode::decode_utf8_at(str, i);
      const char32_t wch = decoded.m_wch;
      const bool bMalformed = wch == unicode::replacement_character && decoded.m_iLength == 1;
      const bool bXml = wch == 0x9 || wch == 0xA || wch == 0xD || (wch >= 0x20 && wch <= 0xD7FF) ||
                        (wch >= 0xE000 && wch <= 0xFFFD) || wch >= 0x10000;
      if (bMalformed || !bXml)
      {
         return false;
      }
      i += decoded.m_iLength;
   }
   return true;
}

// Character references in the text name only characters XML 1.0 holds.
bool references_are_xml_characters(scoped_string_base strText)
{
   for (std::size_t i = strText.find("&#"); i != scoped_string_base::npos; i = strText.find("&#", i + 2))
   {
      const scoped_string_base strRest = strText.substr(i + 2);
      const long long llCode = std::strtoll(string_base(strRest.substr(0, strRest.find(';'))).c_str(), nullptr, 10);
      if (llCode != 9 && llCode != 10 && llCode != 13 && llCode < 32)
      {
         return false;
      }
   }
   return true;
}

void check_slice(const pugi::xml_node & slice, const app_layer & layer)
{
   const char * pszName = slice.child("Params").child("Param").attribute("value").value();
   check(holds_only_xml_characters(pszName));
   const long long x = layer.get_offset_x();
   const long long y = layer.get_offset_y();
   const long long right = x + layer.get_full_width();
   const long long bottom = y + layer.get_full_height();
   const long long expected[4][2] = {{x, y}, {right, y}, {right, bottom}, {x, bottom}};
   int iCorner = 0;
   for (const pugi::xml_node & v : slice.child("InputRect").children("v"))
   {
      check(iCorner < 4 && v.attribute("x").as_llong() == expected[iCorner][0] && v.attribute("y").as_llong() == expected[iCorner][1]);
      ++iCorner;
   }
   check(iCorner == 4);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t * pdata, std::size_t size)
{
   set_logs_silent(true);
   std::cerr.setstate(std::ios::failbit);
   FuzzedDataProvider provider(pdata, size);
   auto pdocument = make_pointer<project>(nullptr);
   pdocument->set_paper_size(provider.ConsumeIntegral<int>(), provider.ConsumeIntegral<int>());
   const int iLayers = provider.ConsumeIntegralInRange(0, 6);
   for (int i = 0; i < iLayers; ++i)
   {
      pdocument->insert_layer_at(odd_layer(*pdocument, provider), -1);
   }

   const string_base strText = pdocument->get_resolute_arena_xml_text();
   check(references_are_xml_characters(strText));
   pugi::xml_document xml;
   check(bool(xml.load_buffer(strText.data(), strText.size())));
   const pugi::xml_node layers = xml.child("XmlState").child("ScreenSetup").child("screens").child("Screen").child("layers");
   long long index = 0;
   for (const pugi::xml_node & slice : layers.children("Slice"))
   {
      check(index < pdocument->get_layers_count());
      check_slice(slice, *pdocument->get_layer(index));
      ++index;
   }
   check(index == pdocument->get_layers_count());
   return 0;
}
