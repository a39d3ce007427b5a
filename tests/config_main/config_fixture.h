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
#include "sim_control.h"
#include "ui_recorder.h"

class ConfigWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        sim.Fresh();
        // Dialogs are answered in order; one that nobody expected is rejected.
        ui.onDialog = [this](QDialog& d) {
            if (dialogs.empty())
                return static_cast<int>(QDialog::Rejected);
            auto next = std::move(dialogs.front());
            dialogs.pop_front();
            return next(d);
        };
    }
    void TearDown() override { window.reset(); }

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

    QStringList MessageTexts() const { return ui.MessageTexts(); }

    // Declared first: it stands in for the user until the window is gone.
    halvard::test::UiRecorder ui;
    halvard::test::SimControl sim;
    QTemporaryDir folder;
    std::unique_ptr<CKestraConfigDlg> window;
    QList<halvard::test::ShownMessage>& messages = ui.messages;
    std::deque<int>& answers = ui.answers;
    std::deque<std::function<int(QDialog&)>> dialogs;
    std::vector<int>& waits = ui.guiWaits;
};
