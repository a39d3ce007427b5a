#pragma once
// A bare Qt dialog with the same kind of widgets as a given window: the window's widgets are
// counted by their standard Qt class (labels, edits, lists with their entries, buttons, check
// boxes, group boxes, tab pages, text boxes) in their nesting and visibility, and rebuilt as
// plain Qt widgets in grid layouts with no logic of ours. Widgets of our own kinds become plain
// widgets of the same size. It is the yardstick a main window's start-up is measured against.

#include <QDialog>
#include <QSize>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace halvard::bench {

struct WidgetCensus {
    enum class Kind {
        Container,  // a plain widget holding others (a tab page, a layout holder)
        Label,
        LineEdit,
        ComboBox,
        PushButton,
        ToolButton,
        CheckBox,
        RadioButton,
        GroupBox,
        TabWidget,
        TextBox,
        ProgressBar,
        Plain,  // a widget of our own that draws itself: a plain widget of its size
    };
    Kind kind = Kind::Container;
    bool visible = true;
    QString text;         // caption, label text or tab title
    QStringList entries;  // entries of a list
    bool editable = false;
    bool laidOut = true;  // its children are placed by a layout
    QSize size;           // Plain only
    std::vector<WidgetCensus> children;

    // The number of widgets counted, this one included.
    int Count() const;
};

// Counts `window`'s widgets (the window itself becomes the root container).
WidgetCensus TakeCensus(const QWidget& window);

// Builds the bare dialog for a census, as large as the window was (its layout may squeeze the
// widgets): the area to paint is the same.
std::unique_ptr<QDialog> BuildBareDialog(const WidgetCensus& census);

}  // namespace halvard::bench
