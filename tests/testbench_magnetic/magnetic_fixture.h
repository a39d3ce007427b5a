#pragma once
// The real main window connected to the simulator with its Magnetic page selected. Waits on the
// GUI thread are instant; the status poll pauses 50 ms (real) between its rounds.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QJsonArray>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QThread>

#include "CSubDlgMagnetic.h"
#include "page_ids.h"
#include "testbench_fixture.h"

namespace halvard::test {

// An object name made of parts: Named("read", "Track", "2").
inline QByteArray Named(const char* a, const char* b, const char* c = "") {
    return QByteArray(a).append(b).append(c);
}

class MagneticTest : public TestBenchTest {
protected:
    static constexpr int kPollPauseMs = 1000;

    void SetUp() override {
        TestBenchTest::SetUp();
        ui.workerWait = [](int ms) {
            if (ms > 0)
                QThread::msleep(ms >= kPollPauseMs ? 50 : 2);
        };
    }

    // Opens the main window, connects and selects the Magnetic tab. `scenario` replaces the
    // preset when given.
    CSubDlgMagnetic& Connected(const char* scenario = nullptr) {
        page = &ConnectedPage<CSubDlgMagnetic>(scenario, "Magnetic");
        // Active, so that focus moves as it does for a user.
        QApplication::setActiveWindow(window.get());
        EXPECT_TRUE(page->isVisible());
        return *page;
    }
    template <typename T = QWidget>
    T* On(const char* name) {
        return ControlOf<T>(page, name);
    }
    // Presses a page button as a click does.
    void Press(const char* name) { On<QPushButton>(name)->click(); }
    // Sets a check box the way a click does (its rules run).
    void Check(const char* name, bool checked) {
        auto* box = On<QCheckBox>(name);
        if (box->isChecked() != checked)
            box->click();
    }
    // The eight track boxes, read side then write side, in track order.
    QList<bool> TrackChecks() {
        QList<bool> checks;
        for (const char* side : {"read", "write"})
            for (const char* track : {"1", "2", "3", "Jis"})
                checks << On<QCheckBox>(Named(side, "Track", track).constData())->isChecked();
        return checks;
    }
    QString Text(const char* name) { return On<QLineEdit>(name)->text(); }
    QString LogText() {
        return window->findChild<QPlainTextEdit*>(QStringLiteral("log"))->toPlainText();
    }
    // The calls of one export as their arguments after the handle.
    QList<QList<qint64>> ArgsOf(const char* fn) {
        QList<QList<qint64>> all;
        for (const QJsonObject& call : sim.Calls(QString::fromLatin1(fn)))
            all << IntArgsOf(call);
        return all;
    }
    // The card's track as the simulator keeps it ("1", "2", "3", "jis"): its data, or empty.
    QString CardTrack(const char* key) {
        return sim.Card()
            .value(QLatin1String("tracks"))
            .toObject()
            .value(QLatin1String(key))
            .toObject()
            .value(QLatin1String("data"))
            .toString();
    }

    CSubDlgMagnetic* page = nullptr;
};

}  // namespace halvard::test
