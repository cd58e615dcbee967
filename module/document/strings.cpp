#include "document/strings.h"

#include <array>

namespace Tarvossa_BrisvanePro
{

namespace
{

struct preset_row
{
   const char * m_pszName;
   int m_iSize;
   int m_iLabelFontSize;
   int m_iSizeFontSize;
   const char * m_pszColor1;
   const char * m_pszColor2;
};

// Box width and height in pixels, the two font sizes and the two box colours of each panel type.
constexpr std::array<preset_row, 9> preset_rows{{
   {"P 2.6mm", 192, 40, 0, "581845", "900C3F"},
   {"P 2.9mm", 168, 40, 0, "B54000", "00DF00"},
   {"P 3.9mm", 128, 40, 0, "2E4053", "2980B9"},
   {"P 4.8mm", 104, 40, 0, "A1A100", "DFDF00"},
   {"P 5.9mm", 84, 40, 0, "E74C3C", "E74C3C"},
   {"P 7.9mm", 64, 40, 1, "BA4A00", "00DF00"},
   {"P 8.9mm", 56, 10, 1, "003700", "00DF00"},
   {"P 10 mm", 48, 30, 0, "9C3297", "003700"},
   {"P 6.25", 80, 10, 1, "00B601", "DF4A00"},
}};

// The text of one preset as the presets were first written: several of its keys ("undefined",
// "offsetX", "BoxColors_2", ...) are no layer's keys any more and are ignored when read.
string_base preset_block(const preset_row & row)
{
   return format(
      "undefined:boxes\n"
      "SnakeMode:1\n"
      "DrawSnake:false\n"
      "PowerVolts:110\n"
      "PowerPhases:1\n"
      "PowerWatts:100\n"
      "DrawPowerSnake:false\n"
      "DrawBoxes:true\n"
      "DrawGrid:false\n"
      "DrawCircle:false\n"
      "DrawCorners:false\n"
      "DrawBoxesNames:false\n"
      "BoxesNamesReverse:false\n"
      "DrawScreenSize:false\n"
      "Height:%d\n"
      "Width:%d\n"
      "Columns:5\n"
      "Rows:3\n"
      "offsetX:0\n"
      "offsetY:0\n"
      "GridWidth:1\n"
      "CircleWidth:1\n"
      "LabelFontSize:%d\n"
      "ScreenSizeFontSize:%d\n"
      "undefined:1\n"
      "Name:%s\n"
      "undefined:200\n"
      "BoxColors_1:%s\n"
      "BoxColors_2:%s\n"
      "BoxBorderColor:EFDADE\n"
      "CircleColor:FFFFFF\n"
      "LabelsColor:AAFF00\n"
      "ScreenSizeColor:0000FF\n"
      "BoxesNamesColor:DEAABF\n"
      "undefined:1000\n"
      "undefined:true\n"
      "undefined:2,3\n"
      "undefined:true\n",
      row.m_iSize, row.m_iSize, row.m_iLabelFontSize, row.m_iSizeFontSize, row.m_pszName, row.m_pszColor1, row.m_pszColor2);
}

} // namespace

// The header counts one block fewer than there are: the reader takes one block more than the
// count, and the ninth preset has always relied on that.
string_base getPresetsSource()
{
   string_base strText = format("BRISVANE_LED_PRESETS v2 %zu\n", preset_rows.size() - 1);
   for (const preset_row & row : preset_rows)
   {
      const string_base strBlock = preset_block(row);
      strText += format("1 %zu\n", strBlock.size());
      strText += strBlock;
   }
   return strText;
}

} // namespace Tarvossa_BrisvanePro
