#pragma once

#include "controls/DialogUnits.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class QWidget;

namespace tavora::controls {

// The id of template items that nobody addresses (static texts, frames).
inline constexpr int kNoControlId = -1;

enum class ControlKind {
    Label,             // static text; QLabel
    GroupBox,          // frame with a title; QGroupBox
    PushButton,        // QPushButton
    DefaultPushButton, // QPushButton that Enter presses
    Edit,              // single-line edit; QLineEdit
    DropDownList,      // non-editable combo box; QComboBox
    ProgressBar,       // QProgressBar without text
    Icon,              // QLabel showing the icon whose resource path is the text
    Custom,            // built by the item's factory (list views, hyperlinks...)
};

// Item styles, a bit set.
enum ControlStyle : uint32_t {
    kStyleNone = 0,
    kStyleDisabled = 1u << 0,
    kStyleHidden = 1u << 1,
    kStyleBorder = 1u << 2,
    kStyleCentre = 1u << 3,      // text centred horizontally
    kStyleRight = 1u << 4,       // text right-aligned
    kStyleCentreImage = 1u << 5, // text centred vertically
    kStyleReadOnly = 1u << 6,
    kStyleNoTabStop = 1u << 7,
};

// Dialog styles, a bit set.
enum DialogStyle : uint32_t {
    kDialogNone = 0,
    kDialogVisible = 1u << 0, // shown by Create
    kDialogSizingBorder = 1u << 1,
    kDialogMinimizeBox = 1u << 2,
    kDialogMaximizeBox = 1u << 3,
    kDialogSystemMenu = 1u << 4, // the caption's close box
    kDialogAppWindow = 1u << 5,  // a main window of its own, shown in the task bar
};

struct ControlTemplate {
    using Factory = std::function<QWidget*(QWidget* parent)>;

    ControlKind kind = ControlKind::Label;
    int id = kNoControlId;
    std::string text;
    int x = 0, y = 0, cx = 0, cy = 0; // dialog units
    uint32_t style = kStyleNone;
    Factory factory; // ControlKind::Custom only
};

// A numbered dialog template laid out in dialog units, in the order the items
// stand in the template (later items lie above earlier ones).
class DialogTemplate {
public:
    DialogTemplate(int templateId, std::string caption, int cx, int cy,
                   uint32_t dialogStyle = kDialogSystemMenu);

    DialogTemplate& Add(ControlKind kind, int id, std::string text, int x, int y, int cx, int cy,
                        uint32_t style = kStyleNone);
    DialogTemplate& AddCustom(int id, int x, int y, int cx, int cy,
                              ControlTemplate::Factory factory, uint32_t style = kStyleNone);

    int Id() const { return id_; }
    const std::string& Caption() const { return caption_; }
    int Width() const { return cx_; }
    int Height() const { return cy_; }
    uint32_t Style() const { return style_; }
    const std::vector<ControlTemplate>& Controls() const { return controls_; }
    // The item with this id; null when there is none.
    const ControlTemplate* Find(int id) const;

    // Creates the items as children of dialog, sizes its client area, and sets its
    // caption and window flags. Positions use the units given.
    void Build(QWidget* dialog, const DialogUnits& units) const;

private:
    int id_;
    std::string caption_;
    int cx_, cy_;
    uint32_t style_;
    std::vector<ControlTemplate> controls_;
};

// Control ids live on the widgets, so code-made controls (status bars, toolbars)
// can be addressed the same way as template items.
void SetControlId(QWidget* control, int id);
// The control's id, or kNoControlId.
int ControlId(const QWidget* control);
// The descendant of dialog with that id (direct children first); null when none.
QWidget* ControlById(const QWidget* dialog, int id);

template <class T> T* ControlAs(const QWidget* dialog, int id) {
    return dynamic_cast<T*>(ControlById(dialog, id));
}

} // namespace tavora::controls
