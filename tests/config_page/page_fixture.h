#pragma once
// A fresh main window with its printer page per test, bound to the simulator, with message
// boxes, dialogs, waits and file dialogs answered by the test, and the page's settings file in
// a private temporary folder.

#include <QJsonArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <initializer_list>
#include <memory>
#include <vector>

#include "CKestraConfigDlg.h"
#include "CSubDlgVELA.h"
#include "sim_control.h"
#include "ui_recorder.h"

class CSpinEdit;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace halvard::test {

// A QStringList from Latin-1 literals.
inline QStringList L(std::initializer_list<const char*> texts) {
    QStringList out;
    for (const char* t : texts)
        out << QString::fromLatin1(t);
    return out;
}

// A message box as the page showed it, with whether the wait cursor was up meanwhile.
struct PageMessage {
    QString text;
    unsigned style = 0;
    bool waitCursor = false;
};

// Settings file with presets A and B, and defaults that differ from the simulator's block.
extern const char* const kPresetIni;
// Settings file without a TYPE section.
extern const char* const kPlainIni;

class PageTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Builds the window; `ini` is the HalvardConfig.ini text (nullptr: none).
    void Start(const char* ini = kPlainIni, const char* scenario = nullptr);
    // Opens the device and stores the login password as a successful login would.
    void Connect(const QString& device = QStringLiteral("[USB1] Halvard Card Printer"),
                 const QString& password = QStringLiteral("1234"));
    // Connect, then Get Config; expects no message.
    void ConnectAndFetch(const QString& device = QStringLiteral("[USB1] Halvard Card Printer"));

    CSubDlgVELA* Page() const { return window->Page(); }
    template <typename T>
    T* Find(const char* name) const {
        T* w = window->findChild<T*>(QLatin1String(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    CSpinEdit* Spin(const char* name) const;
    QLineEdit* Edit(const char* name) const;
    QComboBox* Combo(const char* name) const;
    QPushButton* Button(const char* name) const;
    void Click(const char* name) const;

    QStringList MessageTexts() const;
    // The params the simulator stores for the first device.
    QJsonArray StoredParams(const char* device = nullptr) const;
    // A scenario of one printer given as extra JSON members of its device entry.
    static QByteArray OneDevice(const QString& members, const QString& name = QStringLiteral(
                                                            "[USB1] Halvard Card Printer"));

    // Which of the file dialogs shown were save dialogs, in order.
    std::vector<bool> FileDialogSaves() const;

    // Declared first: it stands in for the user until the window is gone.
    UiRecorder ui;
    std::unique_ptr<QTemporaryDir> folder;
    std::unique_ptr<CKestraConfigDlg> window;
    std::unique_ptr<SimControl> sim;
    std::vector<PageMessage> messages;
    std::deque<int>& answers = ui.answers;  // answers to message boxes; kIdOk/kIdYes when empty
    std::vector<int>& waits = ui.guiWaits;
    std::function<int(QDialog&)> dialogAnswer;        // for dialogs other than the login prompt
    std::deque<QString>& fileNames = ui.fileAnswers;  // answers to file dialogs ("" = cancel)
};

}  // namespace halvard::test
