#pragma once
// Small widget helpers both programs share.

#include <QFont>
#include <QLabel>
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

// A label for `buddy`: its mnemonic moves the focus there.
inline QLabel* BuddyLabel(const QString& text, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

// The fixed-pitch font of the log and list areas, `pixels` high.
inline QFont FixedPitchFont(int pixels) {
    QFont font(QStringLiteral("Consolas"));
    font.setPixelSize(pixels);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    return font;
}

}  // namespace halvard
