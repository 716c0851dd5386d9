#pragma once
// Dialog templates as data: one table per dialog, in dialog units, turned
// into windows by BuildDialogFromTemplate (ui/DialogBuilder.h). The control
// number of a row is the id of the window built from it.

#include <cstddef>
#include <span>

namespace pw {

enum class ControlClass {
    Button,       // push button
    Static,       // one line of text
    EtchedLine,   // an etched line, vertical when higher than wide
    ListView,     // list of rows with columns
    Progress,     // progress bar, range 0..100
    Panel,        // an empty framed area that another class takes over later
    Edit,         // text field
    GroupBox,     // a framed caption around other rows
    RadioButton,  // one choice of a group
    CheckBox,     // an on/off switch
    DropDownList, // a list that drops down, choosing one of its items
};

// Style bits of a control row.
enum ControlStyle : unsigned {
    CS_NONE = 0,
    CS_DEFAULT = 1u << 0,         // the dialog's default button
    CS_BORDER = 1u << 1,          // a sunken frame
    CS_REPORT = 1u << 2,          // list view: rows with columns
    CS_SHOWSELALWAYS = 1u << 3,   // list view: selection shown without focus
    CS_MULTILINE = 1u << 4,       // edit: several lines, scrolls
    CS_READONLY = 1u << 5,        // edit: not editable
    CS_NOPREFIX = 1u << 6,        // static: '&' is shown as is
    CS_GROUP = 1u << 7,           // radio button: the first of its group
    CS_MULTILINETEXT = 1u << 8,   // radio button, check box: the text wraps at the row's width
};

// <windows.h> has DS_CENTER as a macro; here it is the table's own bit.
#undef DS_CENTER

// Style bits of a dialog.
enum DialogStyle : unsigned {
    DS_NONE = 0,
    DS_CAPTION = 1u << 0,
    DS_SYSMENU = 1u << 1,
    DS_MINIMIZEBOX = 1u << 2,
    DS_MAXIMIZEBOX = 1u << 3,
    DS_RESIZABLE = 1u << 4,   // resizing frame
    DS_CENTER = 1u << 5,      // opens centred on the screen
    DS_APPWINDOW = 1u << 6,   // shown in the task bar
};

// A rectangle in dialog units: x, y, width, height.
struct DialogUnitRect {
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
};

struct ControlTemplate {
    int id;
    ControlClass cls;
    const char* text;
    DialogUnitRect rect;
    unsigned style;
};

struct DialogTemplate {
    int id;
    const char* caption;
    int width;    // client area, dialog units
    int height;
    unsigned style;
    std::span<const ControlTemplate> controls;

    const ControlTemplate* FindControl(int controlId) const {
        for (const ControlTemplate& c : controls)
            if (c.id == controlId)
                return &c;
        return nullptr;
    }
};

// The program's dialog template with the given number; null when there is
// none.
const DialogTemplate* FindDialogTemplate(int templateId);

}  // namespace pw
