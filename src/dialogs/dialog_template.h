#pragma once

#include <cstdint>
#include <span>
#include <string_view>

// A dialog template as data: what a resource script says of a dialog, in one table that
// every front-end builds its window from. Positions and sizes are dialog units; texts are
// code page 1250. Controls stand in tab order, which is also the order they are created in.
enum class ControlKind {
    Button,  // push button
    Static,  // text label
    Edit,    // one-line field
    LogBox,  // read-only multi-line box with a vertical scroll bar; text put on top only
    CheckBox,
    RadioButton,
    GroupBox,    // frame with a caption; lies below the controls inside it
    ReportList,  // rows of columns, read from the dialog on demand, several selectable
    Icon,        // the program's icon
};

namespace control_style {
inline constexpr unsigned kHidden = 1u << 0;
inline constexpr unsigned kDisabled = 1u << 1;
inline constexpr unsigned kDefault = 1u << 2;   // the button Enter presses
inline constexpr unsigned kPassword = 1u << 3;  // shows a mask for each character
inline constexpr unsigned kCentered = 1u << 4;  // text centred in its box
inline constexpr unsigned kNoTabStop = 1u << 5;
inline constexpr unsigned kGroup = 1u << 6;  // starts a group: the arrow keys move inside it
}  // namespace control_style

struct ListColumn {
    std::string_view heading;
    int width;  // pixels, as the list view's column widths are given
};

struct ControlTemplate {
    int id;
    ControlKind kind;
    std::string_view text;
    int x, y, width, height;
    unsigned style = 0;
    std::span<const ListColumn> columns = {};  // of a report list

    bool has(unsigned flag) const { return (style & flag) != 0; }
};

struct SystemMenuItem {
    int command = 0;  // 0: none
    std::string_view text;
};

struct DialogTemplate {
    int id;
    std::string_view caption;
    int width, height;
    std::string_view fontFace;
    int fontPointSize;
    std::span<const ControlTemplate> controls;
    SystemMenuItem systemMenuItem = {};  // below a separator in the window's system menu
    bool minimizeBox = false;

    const ControlTemplate* control(int controlId) const {
        for (const ControlTemplate& c : controls) {
            if (c.id == controlId) {
                return &c;
            }
        }
        return nullptr;
    }
};
