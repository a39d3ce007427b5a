#pragma once
// A fresh simulator, recorded message boxes and the real main window loaded against the
// simulator.

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>
#include <QTabBar>
#include <QTest>

#include <memory>

#include "CHalvardTestDlg.h"
#include "message_service.h"
#include "sim_control.h"

namespace halvard::test {

// A list of texts written as plain literals.
inline QStringList Texts(std::initializer_list<const char*> items) {
    QStringList list;
    for (const char* item : items)
        list << QString::fromUtf8(item);
    return list;
}

struct ShownBox {
    QString text;
    unsigned style;
};

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override {
        sim.Fresh(Preset());
        MessageService::SetHandler([this](const MessageRequest& request) {
            boxes.push_back({request.text, request.style});
            return mb::kIdOk;
        });
    }
    void TearDown() override {
        window.reset();
        MessageService::SetHandler({});
    }
    virtual const char* Preset() const { return "default"; }

    // The main window shown after start-up, its posted "Refresh" done.
    CHalvardTestDlg& Open(bool showExpert = false) {
        window = std::make_unique<CHalvardTestDlg>(showExpert);
        window->show();
        window->Initialise(QString::fromUtf8(SimulatorLibrary()));
        QCoreApplication::processEvents();
        return *window;
    }
    template <typename T = QWidget>
    T* Find(const char* name) {
        T* w = window->findChild<T*>(QLatin1String(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    void Click(const char* name) { QTest::mouseClick(Find<QPushButton>(name), Qt::LeftButton); }
    // Connects to the first listed device.
    void ConnectFirst() {
        Click("connect");
        ASSERT_EQ(Find<QPushButton>("connect")->text(), QStringLiteral("Disconnect"));
    }
    QStringList TabTitles() {
        QStringList titles;
        auto* tabs = Find<QTabBar>("tabs");
        for (int i = 0; i < tabs->count(); ++i)
            titles << tabs->tabText(i);
        return titles;
    }
    QStringList BoxTexts() const {
        QStringList texts;
        for (const ShownBox& b : boxes)
            texts << b.text;
        return texts;
    }

    SimControl sim;
    std::vector<ShownBox> boxes;
    std::unique_ptr<CHalvardTestDlg> window;
};

}  // namespace halvard::test
