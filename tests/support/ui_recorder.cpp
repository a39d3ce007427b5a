#include "ui_recorder.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QThread>

#include <numeric>
#include <thread>

#include "modal_hook.h"
#include "wait_service.h"

namespace halvard::test {

namespace {
bool OnGuiThread() {
    auto* app = QCoreApplication::instance();
    return app != nullptr && QThread::currentThread() == app->thread();
}
}  // namespace

UiRecorder::UiRecorder() {
    workerWait = [](int ms) {
        if (ms > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    };
    MessageService::SetHandler([this](const MessageRequest& request) {
        messages.append({request.text, request.caption, request.style});
        if (onMessage)
            onMessage(messages.back());
        if (!answers.empty()) {
            const int answer = answers.front();
            answers.pop_front();
            return answer;
        }
        return (request.style & mb::kButtonMask) == mb::kYesNo ? mb::kIdYes : mb::kIdOk;
    });
    ModalHook::SetHandler([this](QDialog& dialog) {
        dialogTitles << dialog.windowTitle();
        if (!onDialog) {
            ADD_FAILURE() << "unexpected dialog " << dialog.windowTitle().toStdString();
            return static_cast<int>(QDialog::Rejected);
        }
        return onDialog(dialog);
    });
    FileDialogService::SetHandler([this](const FileDialogRequest& request) {
        fileRequests.push_back(request);
        if (fileAnswers.empty()) {
            ADD_FAILURE() << "unexpected file dialog " << request.caption.toStdString();
            return QString();
        }
        QString answer = fileAnswers.front();
        fileAnswers.pop_front();
        return answer;
    });
    WaitService::SetClock([this] { return m_clock.load(); });
    WaitService::SetHandler([this](int ms) {
        if (OnGuiThread()) {
            guiWaits.push_back(ms);
        } else if (workerWait) {
            workerWait(ms);
        }
        m_clock.fetch_add(ms > 0 ? ms : 0);
    });
}

UiRecorder::~UiRecorder() {
    WaitService::SetHandler({});
    WaitService::SetClock({});
    FileDialogService::SetHandler({});
    ModalHook::SetHandler({});
    MessageService::SetHandler({});
}

QStringList UiRecorder::MessageTexts() const {
    QStringList texts;
    for (const ShownMessage& m : messages)
        texts << m.text;
    return texts;
}

int UiRecorder::GuiWaitedMs() const {
    return std::accumulate(guiWaits.begin(), guiWaits.end(), 0);
}

}  // namespace halvard::test
