#pragma once
// Test seams for the configuration tool's windows: recorded message boxes and scripted modal
// dialogs, on the shared test recorder.

#include <QDialog>
#include <QLineEdit>
#include <QList>
#include <QPushButton>
#include <QString>
#include <QtTest/QTest>

#include <deque>
#include <functional>

#include "ui_recorder.h"

namespace halvard::test {

// The one test recorder, under the names these tests use: `shown` holds the message boxes in
// order, `answers` the answers to give (OK when empty).
class MessageRecorder : public UiRecorder {
public:
    QList<ShownMessage>& shown = messages;
};

// Plays the user's part in each modal dialog the recorder sees, in order.
class DialogScript {
public:
    using Step = std::function<int(QDialog&)>;
    explicit DialogScript(UiRecorder& ui) : m_ui(ui) {
        m_ui.onDialog = [this](QDialog& dialog) {
            ++opened;
            if (intercept) {
                int result = 0;
                if (intercept(dialog, result))
                    return result;
            }
            if (steps.empty()) {
                ADD_FAILURE() << "unexpected dialog " << dialog.windowTitle().toStdString();
                return static_cast<int>(QDialog::Rejected);
            }
            Step step = std::move(steps.front());
            steps.pop_front();
            dialog.show();  // as on screen, so that hidden rows and key handling are real
            const int result = step(dialog);
            dialog.hide();
            return result;
        };
    }
    ~DialogScript() { m_ui.onDialog = nullptr; }
    DialogScript(const DialogScript&) = delete;
    DialogScript& operator=(const DialogScript&) = delete;

    std::deque<Step> steps;
    int opened = 0;
    // Answers dialogs that may come at any time (a timer's prompt): true when it took `dialog`.
    std::function<bool(QDialog&, int&)> intercept;

private:
    UiRecorder& m_ui;
};

template <class T = QLineEdit>
T* Field(QWidget& parent, const char* name) {
    T* widget = parent.findChild<T*>(QLatin1String(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}

inline void Type(QWidget& parent, const char* field, const QString& text) {
    if (QLineEdit* edit = Field(parent, field))
        QTest::keyClicks(edit, text);
}

inline constexpr int kStillOpen = -1;

// Clicks one of the dialog's buttons; how the dialog ended, or kStillOpen.
inline int Click(QDialog& dialog, const char* button) {
    if (QPushButton* b = Field<QPushButton>(dialog, button))
        QTest::mouseClick(b, Qt::LeftButton);
    return dialog.isVisible() ? kStillOpen : dialog.result();
}
inline int ClickOk(QDialog& dialog) {
    return Click(dialog, "ok");
}

}  // namespace halvard::test
