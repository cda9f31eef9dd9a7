#include "controls/DialogTemplate.h"

#include <QComboBox>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QString>
#include <QVariant>
#include <QWidget>

namespace tavora::controls {
namespace {

constexpr const char* kIdProperty = "tavoraControlId";

Qt::Alignment LabelAlignment(uint32_t style) {
    Qt::Alignment h = Qt::AlignLeft;
    if (style & kStyleCentre)
        h = Qt::AlignHCenter;
    else if (style & kStyleRight)
        h = Qt::AlignRight;
    return h | ((style & kStyleCentreImage) ? Qt::AlignVCenter : Qt::AlignTop);
}

QWidget* MakeControl(const ControlTemplate& item, QWidget* parent, const QRect& rect) {
    const QString text = QString::fromStdString(item.text);
    switch (item.kind) {
    case ControlKind::Label: {
        auto* label = new QLabel(text, parent);
        label->setAlignment(LabelAlignment(item.style));
        // Static texts wrap at word boundaries unless centred vertically (one line).
        label->setWordWrap(!(item.style & kStyleCentreImage));
        if (item.style & kStyleBorder)
            label->setFrameStyle(QFrame::Box | QFrame::Plain);
        return label;
    }
    case ControlKind::GroupBox:
        return new QGroupBox(text, parent);
    case ControlKind::PushButton:
    case ControlKind::DefaultPushButton: {
        auto* button = new QPushButton(text, parent);
        button->setDefault(item.kind == ControlKind::DefaultPushButton);
        return button;
    }
    case ControlKind::Edit: {
        auto* edit = new QLineEdit(text, parent);
        edit->setReadOnly(item.style & kStyleReadOnly);
        return edit;
    }
    case ControlKind::DropDownList: {
        auto* combo = new QComboBox(parent);
        combo->setEditable(false);
        return combo;
    }
    case ControlKind::ProgressBar: {
        auto* bar = new QProgressBar(parent);
        bar->setTextVisible(false);
        return bar;
    }
    case ControlKind::Icon: {
        auto* label = new QLabel(parent);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        const QIcon icon(text);
        if (!icon.isNull())
            label->setPixmap(icon.pixmap(rect.size()));
        return label;
    }
    case ControlKind::Custom:
        return item.factory ? item.factory(parent) : nullptr;
    }
    return nullptr;
}

} // namespace

DialogTemplate::DialogTemplate(int templateId, std::string caption, int cx, int cy,
                               uint32_t dialogStyle)
    : id_(templateId), caption_(std::move(caption)), cx_(cx), cy_(cy), style_(dialogStyle) {}

DialogTemplate& DialogTemplate::Add(ControlKind kind, int id, std::string text, int x, int y,
                                    int cx, int cy, uint32_t style) {
    controls_.push_back({kind, id, std::move(text), x, y, cx, cy, style, {}});
    return *this;
}

DialogTemplate& DialogTemplate::AddCustom(int id, int x, int y, int cx, int cy,
                                          ControlTemplate::Factory factory, uint32_t style) {
    controls_.push_back({ControlKind::Custom, id, {}, x, y, cx, cy, style, std::move(factory)});
    return *this;
}

const ControlTemplate* DialogTemplate::Find(int id) const {
    if (id == kNoControlId)
        return nullptr;
    for (const auto& item : controls_)
        if (item.id == id)
            return &item;
    return nullptr;
}

void DialogTemplate::Build(QWidget* dialog, const DialogUnits& units) const {
    Qt::WindowFlags flags = (style_ & kDialogAppWindow) ? Qt::Window : Qt::Dialog;
    flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (style_ & kDialogSystemMenu)
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (style_ & kDialogMinimizeBox)
        flags |= Qt::WindowMinimizeButtonHint;
    if (style_ & kDialogMaximizeBox)
        flags |= Qt::WindowMaximizeButtonHint;
    dialog->setWindowFlags(flags);
    dialog->setWindowTitle(QString::fromStdString(caption_));

    QWidget* previous = nullptr;
    for (const auto& item : controls_) {
        const QRect rect = units.ToPixels(item.x, item.y, item.cx, item.cy);
        QWidget* control = MakeControl(item, dialog, rect);
        if (!control)
            continue;
        if (item.id != kNoControlId)
            SetControlId(control, item.id);
        control->setGeometry(rect);
        control->setEnabled(!(item.style & kStyleDisabled));
        if (item.style & kStyleNoTabStop)
            control->setFocusPolicy(Qt::NoFocus);
        // Tab order follows the template order, as in a dialog manager.
        if (previous && control->focusPolicy() & Qt::TabFocus)
            QWidget::setTabOrder(previous, control);
        if (control->focusPolicy() & Qt::TabFocus)
            previous = control;
        control->setVisible(!(item.style & kStyleHidden));
    }

    const QSize client = units.ToPixels(cx_, cy_);
    if (style_ & kDialogSizingBorder)
        dialog->resize(client);
    else
        dialog->setFixedSize(client);
}

void SetControlId(QWidget* control, int id) {
    if (!control)
        return;
    control->setProperty(kIdProperty, id);
    control->setObjectName(QString::number(id));
}

int ControlId(const QWidget* control) {
    if (!control)
        return kNoControlId;
    bool ok = false;
    const int id = control->property(kIdProperty).toInt(&ok);
    return ok ? id : kNoControlId;
}

QWidget* ControlById(const QWidget* dialog, int id) {
    if (!dialog || id == kNoControlId)
        return nullptr;
    const QString name = QString::number(id);
    for (auto options : {Qt::FindDirectChildrenOnly, Qt::FindChildrenRecursively})
        for (QWidget* child : dialog->findChildren<QWidget*>(name, options))
            if (ControlId(child) == id)
                return child;
    return nullptr;
}

} // namespace tavora::controls
