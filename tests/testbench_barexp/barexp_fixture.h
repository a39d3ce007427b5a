#pragma once
// The Barcode and Expert pages in the real main window connected to the simulator, and small
// readers of what the simulator logged and what the scanner saved.

#include <QComboBox>
#include <QImage>
#include <QJsonArray>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include "testbench_fixture.h"

namespace halvard::test {

// The text of a Code 39 barcode drawn across row `y` of `image`, empty when the row holds none.
// Bars are dark pixels; a wide element is at least twice as wide as a narrow one.
QString DecodeCode39Row(const QImage& image, int y);

// The object names of the page's controls in the order Tab reaches them.
QStringList TabOrder(QWidget* page);
// The page's input fields that neither a label names (as its buddy) nor an accessible name.
QStringList Unlabelled(QWidget* page);

template <typename Page>
class PageTest : public TestBenchTest {
protected:
    // Opens the main window with the Expert tabs, loads `scenario` (JSON, or the preset's
    // when null), connects and returns the page.
    Page& Connected(const char* scenario = nullptr) {
        window.reset();
        page = &this->template ConnectedPage<Page>(scenario, nullptr, true);
        return *page;
    }
    template <typename T = QWidget>
    T* On(const char* name) {
        return ControlOf<T>(page, name);
    }
    void Press(const char* name) { On<QPushButton>(name)->click(); }
    void Pick(const char* name, int data) { PickOn(page, name, data); }
    QString Text(const char* name) { return On<QLineEdit>(name)->text(); }
    // The page's calls of one export (the status poll's calls are left out by the name).
    QList<QList<qint64>> CallsOf(const char* fn) {
        QList<QList<qint64>> out;
        for (const QJsonObject& call : sim.Calls(QString::fromLatin1(fn)))
            out << IntArgsOf(call);
        return out;
    }

    Page* page = nullptr;
};

}  // namespace halvard::test
