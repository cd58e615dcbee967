#include <climits>

#include "document/boxes_layer.h"
#include "document/image_layer.h"
#include "document/parameter_text.h"
#include "orvo/color.h"
#include "orvo/payload.h"

namespace Tarvossa_BrisvanePro
{

using namespace parameter_text;

// One key of the screen layer's text: how its field is written and how a value is read into it.
struct boxes_layer_parameter_key
{
   const char * m_pszKey;
   function<string_base(const boxes_layer &)> m_write;
   function<void(boxes_layer &, scoped_string_base strKey, scoped_string_base strValue)> m_read;
};

namespace
{

using parameter_key = boxes_layer_parameter_key;

// Every maker takes an accessor: a lambda that gives the field of a layer, const or not.

// Integers and switches. A value beyond `iMin`..`iMax` is a parse error that leaves the field
// as it was; a value that is not clean keeps the digits read before the fault.
template <typename ACCESS>
parameter_key int_key(const char * pszKey, ACCESS access, long long iMin = INT_MIN, long long iMax = INT_MAX)
{
   return {pszKey, [access](const boxes_layer & layer) { return std::to_string(access(layer)); },
           [access, iMin, iMax](boxes_layer & layer, scoped_string_base strKey, scoped_string_base strValue) {
              const number_reading reading = read_int(strValue);
              if (reading.m_iValue < iMin || reading.m_iValue > iMax)
              {
                 layer.report_parse_error(reason_out_of_range, strKey, strValue);
                 return;
              }
              access(layer) = static_cast<int>(reading.m_iValue);
              if (reading.m_pszError != nullptr)
              {
                 layer.report_parse_error(reading.m_pszError, strKey, strValue);
              }
           }};
}

template <typename ACCESS>
parameter_key float_key(const char * pszKey, ACCESS access)
{
   return {pszKey, [access](const boxes_layer & layer) { return write_float(access(layer)); },
           [access](boxes_layer & layer, scoped_string_base strKey, scoped_string_base strValue) {
              access(layer) = read_float(strValue);
              if (!reads_whole_as_float(strValue))
              {
                 layer.note_value_not_read(strKey, strValue);
              }
           }};
}

// A value that is not a colour is a parse error that leaves the field as it was.
template <typename ACCESS>
parameter_key color_key(const char * pszKey, ACCESS access)
{
   return {pszKey, [access](const boxes_layer & layer) { return write_color(access(layer)); },
           [access](boxes_layer & layer, scoped_string_base strKey, scoped_string_base strValue) {
              if (const auto ocolor = as_color(strValue))
              {
                 access(layer) = *ocolor;
                 return;
              }
              layer.report_parse_error(reason_bad_color, strKey, strValue);
           }};
}

// The list is not emptied first: a key given twice gives the colours of both. Reading stops at
// the first piece that is not a colour.
template <typename ACCESS>
parameter_key color_list_key(const char * pszKey, ACCESS access)
{
   return {pszKey, [access](const boxes_layer & layer) { return write_color_list(access(layer)); },
           [access](boxes_layer & layer, scoped_string_base strKey, scoped_string_base strValue) {
              if (strValue.empty())
              {
                 return;
              }
              std::size_t iStart = 0;
              while (true)
              {
                 const std::size_t iEnd = strValue.find('|', iStart);
                 const auto ocolor = as_color(strValue.substr(iStart, iEnd == scoped_string_base::npos ? iEnd : iEnd - iStart));
                 if (!ocolor)
                 {
                    layer.report_parse_error(reason_bad_color, strKey, strValue);
                    return;
                 }
                 access(layer).push_back(*ocolor);
                 if (iEnd == scoped_string_base::npos)
                 {
                    return;
                 }
                 iStart = iEnd + 1;
              }
           }};
}

// Written filtered; read into the size, the field keeping its filter.
template <typename ACCESS>
parameter_key font_size_key(const char * pszKey, ACCESS access)
{
   return {pszKey, [access](const boxes_layer & layer) { return std::to_string(static_cast<int>(access(layer))); },
           [access](boxes_layer & layer, scoped_string_base strKey, scoped_string_base strValue) {
              const number_reading reading = read_font_size(strValue);
              if (reading.m_pszError != nullptr)
              {
                 layer.report_parse_error(reading.m_pszError, strKey, strValue);
                 return;
              }
              access(layer) = static_cast<int>(reading.m_iValue);
           }};
}

// The list is not emptied first. A value that holds more than quoted names keeps the names
// before the first piece that is not one, and is noted.
template <typename ACCESS>
parameter_key name_list_key(const char * pszKey, ACCESS access)
{
   return {pszKey, [access](const boxes_layer & layer) { return write_name_list(access(layer)); },
           [access](boxes_layer & layer, scoped_string_base strKey, scoped_string_base strValue) {
              names_reading reading = read_name_list(strValue);
              for (auto & strName : reading.m_names)
              {
                 access(layer).push_back(std::move(strName));
              }
              if (!reading.m_bWhole)
              {
                 layer.note_value_not_read(strKey, strValue);
              }
           }};
}

template <typename ACCESS>
parameter_key text_key(const char * pszKey, ACCESS access)
{
   return {pszKey, [access](const boxes_layer & layer) { return access(layer); },
           [access](boxes_layer & layer, scoped_string_base, scoped_string_base strValue) { access(layer) = strValue; }};
}

// Written from the most recently added key to the first. Reading adds the keys in text order and
// stops at the first bad piece; empty pieces add nothing.
parameter_key exclude_boxes_key()
{
   return {"ExcludeBoxes",
           [](const boxes_layer & layer) {
              string_base str;
              const auto & keys = layer.ExcludeBoxes;
              for (auto it = std::make_reverse_iterator(keys.end()); it != std::make_reverse_iterator(keys.begin()); ++it)
              {
                 str += str.empty() ? "" : "|";
                 str += std::to_string(*it);
              }
              return str;
           },
           [](boxes_layer & layer, scoped_string_base strKey, scoped_string_base strValue) {
              std::size_t iStart = 0;
              while (iStart <= strValue.size())
              {
                 std::size_t iEnd = strValue.find('|', iStart);
                 iEnd = iEnd == scoped_string_base::npos ? strValue.size() : iEnd;
                 const scoped_string_base strPiece = strValue.substr(iStart, iEnd - iStart);
                 iStart = iEnd + 1;
                 if (strPiece.empty())
                 {
                    continue;
                 }
                 const number_reading reading = read_int(strPiece);
                 if (reading.m_iValue < INT_MIN || reading.m_iValue > INT_MAX)
                 {
                    layer.report_parse_error(reason_out_of_range, strKey, strValue);
                    return;
                 }
                 if (reading.m_pszError != nullptr)
                 {
                    layer.report_parse_error(reading.m_pszError, strKey, strValue);
                    return;
                 }
                 layer.ExcludeBoxes.add(static_cast<int>(reading.m_iValue));
              }
           }};
}

parameter_key half_columns_key()
{
   return {"HalfColumns", [](const boxes_layer & layer) { return write_bits(layer.HalfColumns); },
           [](boxes_layer & layer, scoped_string_base strKey, scoped_string_base strValue) {
              if (const auto obits = read_bits(strValue))
              {
                 layer.HalfColumns = *obits;
                 return;
              }
              layer.report_parse_error(reason_bad_bits, strKey, strValue);
           }};
}

#define FIELD(NAME) [](auto & layer) -> auto & { return layer.NAME; }

} // namespace

const std::vector<boxes_layer_parameter_key> & boxes_layer::parameter_keys()
{
   // The grid is bounded so that box keys stay unique and no value sizes an absurd image.
   static const std::vector<parameter_key> s_keys{
      color_list_key("BoxColors", FIELD(BoxColors)),
      color_list_key("BoxTintColors", FIELD(BoxTintColors)),
      int_key("PowerVolts", FIELD(PowerVolts)),
      int_key("PowerPhases", FIELD(PowerPhases)),
      int_key("PowerWatts", FIELD(PowerWatts)),
      float_key("PhysW", FIELD(PhysW)),
      float_key("PhysH", FIELD(PhysH)),
      int_key("ShowMM", FIELD(ShowMM)),
      int_key("ShowFT", FIELD(ShowFT)),
      int_key("DrawBoxesNames", FIELD(DrawBoxesNames)),
      int_key("DrawPower", FIELD(DrawPower)),
      int_key("DrawSnake", FIELD(DrawSnake)),
      int_key("SkipBlankBoxes", FIELD(SkipBlankBoxes)),
      int_key("CustomDataPath", FIELD(m_descriptionData.m_iCustomPath)),
      int_key("DataDiagramType", FIELD(DataDiagramType)),
      int_key("DrawGrid", FIELD(DrawGrid)),
      int_key("DrawCircle", FIELD(DrawCircle)),
      int_key("DrawInfoLine", FIELD(DrawInfoLine)),
      int_key("DrawBoxes", FIELD(DrawBoxes)),
      int_key("DrawScreenSize", FIELD(DrawScreenSize)),
      int_key("DrawLayerName", FIELD(DrawLayerName)),
      int_key("GridWidth", FIELD(GridWidth), 0, max_grid_width),
      int_key("SnakeLimit", FIELD(m_descriptionData.m_iLimit)),
      int_key("SnakeMode", FIELD(m_descriptionData.m_iMode)),
      color_key("BoxesNamesColor", FIELD(BoxesNamesColor)),
      int_key("BoxesNamesReverse", FIELD(BoxesNamesReverse)),
      color_key("BoxBorderColor", FIELD(BoxBorderColor)),
      color_key("CircleColor", FIELD(CircleColor)),
      color_key("SnakeColor", FIELD(m_descriptionData.m_color)),
      int_key("SnakeWidth", FIELD(m_descriptionData.m_iWidth)),
      int_key("UseRandomSnakeColor", FIELD(m_descriptionData.m_iUseRandomColor)),
      int_key("CircleWidth", FIELD(CircleWidth)),
      int_key("CornersMode", FIELD(CornersMode)),
      int_key("Width", FIELD(Width), 0, max_box_size),
      int_key("Height", FIELD(Height), 0, max_box_size),
      int_key("Columns", FIELD(Columns), 0, max_grid_count),
      int_key("Rows", FIELD(Rows), 0, max_grid_count),
      exclude_boxes_key(),
      half_columns_key(),
      font_size_key("BoxesNamesFontSize", FIELD(BoxesNamesFontSize)),
      font_size_key("LayerNameFontSize", FIELD(LayerNameFontSize)),
      color_key("LabelFontColor", FIELD(LabelFontColor)),
      font_size_key("LabelFontSize", FIELD(LabelFontSize)),
      name_list_key("PConnectorNames", FIELD(PConnectorNames)),
      name_list_key("RConnectorNames", FIELD(RConnectorNames)),
      name_list_key("SConnectorNames", FIELD(SConnectorNames)),
      int_key("DrawPowerSnake", FIELD(DrawPowerSnake)),
      color_key("PowerSnakeColor", FIELD(m_descriptionPower.m_color)),
      int_key("PowerSnakeMode", FIELD(m_descriptionPower.m_iMode)),
      int_key("WireAmps", FIELD(WireAmps)),
      int_key("CustomPowerPath", FIELD(m_descriptionPower.m_iCustomPath)),
      int_key("PowerSnakeWidth", FIELD(m_descriptionPower.m_iWidth)),
      int_key("PowerDiagramType", FIELD(PowerDiagramType)),
      float_key("WeightPerPanel", FIELD(WeightPerPanel)),
      text_key("WeightPerPanelUnit", FIELD(WeightPerPanelUnit)),
      int_key("ShowScreenWeight", FIELD(ShowScreenWeight)),
      int_key("ShowScreenDiagonal", FIELD(ShowScreenDiagonal)),
      text_key("ScreenDiagonalUnit", FIELD(ScreenDiagonalUnit)),
      float_key("Rotation", FIELD(m_fRotation)),
   };
   return s_keys;
}

#undef FIELD

property_set boxes_layer::get_all_parameters() const
{
   property_set set;
   for (const parameter_key & key : parameter_keys())
   {
      set.set(key.m_pszKey, key.m_write(*this));
   }
   return set;
}

// Keys match whole and in letter case; a key that matches nothing is ignored quietly, but for a
// picture layer's, which is kept (`keys_kept`).
void boxes_layer::apply_parameter_by_name(scoped_string_base strKey, scoped_string_base strValue)
{
   // A value that is not six characters long is ignored quietly, as `set_box_color_with_id`
   // ignores it; six characters that are not all hexadecimal digits are a parse error.
   if (strKey == "BoxColors_1")
   {
      if (strValue.size() == 6 && !read_hex_color(strValue))
      {
         report_parse_error(reason_bad_hex_color, strKey, strValue);
         return;
      }
      set_box_color_with_id(0, strValue);
      return;
   }
   for (const parameter_key & key : parameter_keys())
   {
      if (strKey == key.m_pszKey)
      {
         key.m_read(*this, strKey, strValue);
         return;
      }
   }
   if (image_layer::is_picture_key(strKey))
   {
      keep_key(strKey, strValue);
   }
}

} // namespace Tarvossa_BrisvanePro
