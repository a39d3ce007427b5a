#pragma once
// Small widget helpers both programs share.

#include <QPushButton>
#include <QString>

namespace halvard {

// A push button found by its object name that Enter never presses (the windows' Enter rules
// decide what Enter does).
inline QPushButton* PlainButton(const QString& text, const char* objectName, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(objectName));
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

}  // namespace halvard
