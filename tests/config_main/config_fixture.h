#pragma once
// A fresh main window per test, bound to the simulator, with message boxes and modal dialogs
// answered by the test.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>

#include "CKestraConfigDlg.h"
#include "message_service.h"
#include "modal_hook.h"
#include "sim_control.h"
#include "wait_service.h"

class ConfigWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        sim.Fresh();
        halvard::MessageService::SetHandler([this](const halvard::MessageRequest& r) {
            messages.push_back(r);
            return answers.empty() ? halvard::mb::kIdOk : TakeAnswer();
        });
        halvard::ModalHook::SetHandler([this](QDialog& d) {
            if (dialogs.empty())
                return static_cast<int>(QDialog::Rejected);
            auto next = std::move(dialogs.front());
            dialogs.pop_front();
            return next(d);
        });
        halvard::WaitService::SetHandler([this](int ms) { waits.push_back(ms); });
    }
    void TearDown() override {
        window.reset();
        halvard::MessageService::SetHandler({});
        halvard::ModalHook::SetHandler({});
        halvard::WaitService::SetHandler({});
    }

    // Builds and initialises the main window; `ini` is written as KestraConfig.ini.
    CKestraConfigDlg& Start(const QByteArray& ini = QByteArray(),
                            const char* library = halvard::test::SimulatorLibrary()) {
        if (!ini.isNull()) {
            QFile file(folder.filePath(QStringLiteral("KestraConfig.ini")));
            EXPECT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(ini);
        }
        window = std::make_unique<CKestraConfigDlg>();
        window->SetProgramFolder(folder.path() + QStringLiteral("/"));
        window->Initialise(QString::fromUtf8(library));
        QApplication::processEvents();
        return *window;
    }

    template <typename T>
    T* Find(const char* name) const {
        T* w = window->findChild<T*>(QLatin1String(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QPushButton* ButtonNamed(const char* name) const { return Find<QPushButton>(name); }

    int TakeAnswer() {
        int a = answers.front();
        answers.pop_front();
        return a;
    }
    QStringList MessageTexts() const {
        QStringList out;
        for (const auto& m : messages)
            out << m.text;
        return out;
    }

    halvard::test::SimControl sim;
    QTemporaryDir folder;
    std::unique_ptr<CKestraConfigDlg> window;
    std::vector<halvard::MessageRequest> messages;
    std::deque<int> answers;
    std::deque<std::function<int(QDialog&)>> dialogs;
    std::vector<int> waits;
};
