#pragma once
// Test seams for the configuration tool's windows: recorded message boxes, scripted modal
// dialogs and captured Qt log output.

#include <QDialog>
#include <QLineEdit>
#include <QList>
#include <QPushButton>
#include <QString>
#include <QtTest/QTest>

#include <deque>
#include <functional>

#include "message_service.h"
#include "modal_hook.h"

namespace halvard::test {

struct ShownMessage {
    QString text;
    QString caption;
    unsigned style = 0;
};

// Records every message box and answers from a queue (OK when the queue is empty).
class MessageRecorder {
public:
    MessageRecorder() {
        MessageService::SetHandler([this](const MessageRequest& request) {
            shown.append({request.text, request.caption, request.style});
            if (answers.empty())
                return mb::kIdOk;
            const int answer = answers.front();
            answers.pop_front();
            return answer;
        });
    }
    ~MessageRecorder() { MessageService::SetHandler({}); }
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    QList<ShownMessage> shown;
    std::deque<int> answers;
};

// Plays the user's part in each modal dialog, in order.
class DialogScript {
public:
    using Step = std::function<int(QDialog&)>;
    DialogScript() {
        ModalHook::SetHandler([this](QDialog& dialog) {
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
        });
    }
    ~DialogScript() { ModalHook::SetHandler({}); }
    DialogScript(const DialogScript&) = delete;
    DialogScript& operator=(const DialogScript&) = delete;

    std::deque<Step> steps;
    int opened = 0;
    // Answers dialogs that may come at any time (a timer's prompt): true when it took `dialog`.
    std::function<bool(QDialog&, int&)> intercept;
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
