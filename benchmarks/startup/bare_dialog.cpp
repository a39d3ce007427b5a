#include "bare_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolButton>

namespace halvard::bench {

namespace {

using Kind = WidgetCensus::Kind;

bool IsQtInternal(const QWidget& w) {
    return w.objectName().startsWith(QLatin1String("qt_"));
}

bool IsOurs(const QWidget& w) {
    return !QLatin1String(w.metaObject()->className()).startsWith(u'Q');
}

void CountChildren(const QWidget& parent, WidgetCensus& into);

WidgetCensus CountOne(const QWidget& w) {
    WidgetCensus c;
    c.visible = !w.isHidden();
    if (auto* tabs = qobject_cast<const QTabWidget*>(&w)) {
        c.kind = Kind::TabWidget;
        for (int i = 0; i < tabs->count(); ++i) {
            WidgetCensus page;
            page.text = tabs->tabText(i);
            CountChildren(*tabs->widget(i), page);
            c.children.push_back(std::move(page));
        }
        return c;
    }
    if (auto* combo = qobject_cast<const QComboBox*>(&w)) {
        c.kind = Kind::ComboBox;
        for (int i = 0; i < combo->count(); ++i)
            c.entries << combo->itemText(i);
        c.editable = combo->isEditable();
        return c;
    }
    if (qobject_cast<const QAbstractScrollArea*>(&w) != nullptr) {
        c.kind = Kind::TextBox;
        return c;
    }
    if (auto* group = qobject_cast<const QGroupBox*>(&w)) {
        c.kind = Kind::GroupBox;
        c.text = group->title();
        CountChildren(w, c);
        return c;
    }
    if (auto* check = qobject_cast<const QCheckBox*>(&w)) {
        c.kind = Kind::CheckBox;
        c.text = check->text();
        return c;
    }
    if (auto* radio = qobject_cast<const QRadioButton*>(&w)) {
        c.kind = Kind::RadioButton;
        c.text = radio->text();
        return c;
    }
    if (auto* push = qobject_cast<const QPushButton*>(&w)) {
        c.kind = Kind::PushButton;
        c.text = push->text();
        return c;
    }
    if (auto* tool = qobject_cast<const QToolButton*>(&w)) {
        c.kind = Kind::ToolButton;
        c.text = tool->text();
        return c;
    }
    if (qobject_cast<const QLineEdit*>(&w) != nullptr) {
        c.kind = Kind::LineEdit;
        CountChildren(w, c);  // e.g. an attached up-down button
        return c;
    }
    if (auto* label = qobject_cast<const QLabel*>(&w)) {
        c.kind = Kind::Label;
        c.text = label->text();
        return c;
    }
    if (qobject_cast<const QProgressBar*>(&w) != nullptr) {
        c.kind = Kind::ProgressBar;
        return c;
    }
    CountChildren(w, c);
    if (IsOurs(w) && c.children.empty()) {
        c.kind = Kind::Plain;  // draws itself
        c.size = w.size();
    }
    return c;
}

void CountChildren(const QWidget& parent, WidgetCensus& into) {
    into.laidOut = parent.layout() != nullptr;
    for (QObject* o : parent.children()) {
        auto* w = qobject_cast<QWidget*>(o);
        if (w == nullptr || IsQtInternal(*w))
            continue;
        into.children.push_back(CountOne(*w));
    }
}

QWidget* Build(const WidgetCensus& c, QWidget* parent);

void BuildChildren(const WidgetCensus& c, QWidget* holder) {
    auto* grid = c.laidOut ? new QGridLayout(holder) : nullptr;
    int slot = 0;
    for (const WidgetCensus& child : c.children) {
        QWidget* w = Build(child, holder);
        if (grid != nullptr)
            grid->addWidget(w, slot / 2, slot % 2);
        ++slot;
        if (!child.visible)
            w->hide();
    }
}

QWidget* Build(const WidgetCensus& c, QWidget* parent) {
    switch (c.kind) {
        case Kind::Label:
            return new QLabel(c.text, parent);
        case Kind::LineEdit: {
            auto* edit = new QLineEdit(parent);
            BuildChildren(c, edit);
            return edit;
        }
        case Kind::ComboBox: {
            auto* combo = new QComboBox(parent);
            combo->setEditable(c.editable);
            combo->addItems(c.entries);
            return combo;
        }
        case Kind::PushButton:
            return new QPushButton(c.text, parent);
        case Kind::ToolButton: {
            auto* tool = new QToolButton(parent);
            tool->setText(c.text);
            return tool;
        }
        case Kind::CheckBox:
            return new QCheckBox(c.text, parent);
        case Kind::RadioButton:
            return new QRadioButton(c.text, parent);
        case Kind::GroupBox: {
            auto* group = new QGroupBox(c.text, parent);
            BuildChildren(c, group);
            return group;
        }
        case Kind::TabWidget: {
            auto* tabs = new QTabWidget(parent);
            for (const WidgetCensus& page : c.children) {
                auto* holder = new QWidget;
                BuildChildren(page, holder);
                tabs->addTab(holder, page.text);
            }
            return tabs;
        }
        case Kind::TextBox:
            return new QPlainTextEdit(parent);
        case Kind::ProgressBar:
            return new QProgressBar(parent);
        case Kind::Plain: {
            auto* plain = new QWidget(parent);
            plain->setFixedSize(c.size);
            return plain;
        }
        case Kind::Container:
            break;
    }
    auto* holder = new QWidget(parent);
    BuildChildren(c, holder);
    return holder;
}

}  // namespace

int WidgetCensus::Count() const {
    int n = 1;
    for (const WidgetCensus& c : children)
        n += c.Count();
    return n;
}

WidgetCensus TakeCensus(const QWidget& window) {
    WidgetCensus root;
    CountChildren(window, root);
    root.size = window.size();
    return root;
}

std::unique_ptr<QDialog> BuildBareDialog(const WidgetCensus& census) {
    auto dialog = std::make_unique<QDialog>();
    BuildChildren(census, dialog.get());
    if (QLayout* layout = dialog->layout())
        layout->setSizeConstraint(QLayout::SetNoConstraint);
    dialog->resize(census.size);
    return dialog;
}

}  // namespace halvard::bench
