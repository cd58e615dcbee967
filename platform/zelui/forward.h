#pragma once

// Forward declarations of the widget toolkit's chief types.

namespace user
{
class interaction;
class appearance;
class item;
class orvo_container;
}

namespace file
{
class file_dialog;
class file_dialog_filter;
}

class action_context;

namespace zelui
{
class Widget;
class Screen;
class Layout;
class BoxLayout;
class GridLayout;
class Theme;
class Window;
class Popup;
class Label;
class Button;
class ToolButton;
class PopupButton;
class TextBox;
class CheckBox;
class ComboBox;
class ColorPicker;
class ColorWheel;
class TabWidgetBase;
class TabWidget;
class VScrollPanel;
class MessageDialog;
class FileDialog;
class in_place_edit;
class in_place_edit_array;
class in_place_edit_mapper;
}

namespace zel2d
{
class context;
}
