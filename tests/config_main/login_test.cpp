// Device discovery, the choice of open function, the login prompt and disconnection.
#include <QJsonDocument>
#include <QLineEdit>
#include <QTest>

#include "config_fixture.h"

namespace {

constexpr std::uint64_t kWrongPasswordBit = 1ull << 61;

class Login : public ConfigWindowTest {
protected:
    // Answers the next login prompt with `password` (typed, as a user would) and OK.
    void AnswerPrompt(const QString& password) {
        dialogs.push_back([this, password](QDialog& d) {
            prompts.push_back(d.windowTitle());
            auto* field = d.findChild<QLineEdit*>(QStringLiteral("password"));
            EXPECT_NE(field, nullptr);
            if (field) {
                field->clear();
                QTest::keyClicks(field, password);
            }
            d.accept();
            return static_cast<int>(QDialog::Accepted);
        });
    }
    void CancelPrompt() {
        dialogs.push_back([this](QDialog& d) {
            prompts.push_back(d.windowTitle());
            return static_cast<int>(QDialog::Rejected);
        });
    }
    // Verification the way a printer that only reports through its status would answer.
    void VerifyAlwaysSucceeds() { sim.VelaSim_InjectFault("Vela_ExVerifyPassword", 0, -1, 0); }

    QStringList prompts;
};

QString OpenedWith(const halvard::test::SimControl& sim) {
    for (const QJsonObject& c : sim.Calls()) {
        const QString fn = c.value(QStringLiteral("fn")).toString();
        if (fn.startsWith(QStringLiteral("VelaDCL_")) && fn.contains(QStringLiteral("Open")))
            return fn;
    }
    return QString();
}

TEST_F(Login, RefreshAsksForNetworkPrintersOnlyWhenAllowed) {
    Start();
    sim.VelaSim_ClearCallLog();
    ButtonNamed("refresh")->click();
    auto calls = sim.Calls(QStringLiteral("Vela_ExGetDeviceList"));
    ASSERT_EQ(calls.size(), 1);
    EXPECT_EQ(calls[0].value(QStringLiteral("args")).toArray().at(0).toInt(), 1);
    EXPECT_EQ(Find<QComboBox>("deviceSelector")->findText(QStringLiteral("NET-CardPrinter-03")),
              -1);

    Find<QCheckBox>("allowNetworkPrinter")->setChecked(true);
    ButtonNamed("refresh")->click();
    calls = sim.Calls(QStringLiteral("Vela_ExGetDeviceList"));
    ASSERT_EQ(calls.size(), 2);
    EXPECT_EQ(calls[1].value(QStringLiteral("args")).toArray().at(0).toInt(), 7);
    EXPECT_NE(Find<QComboBox>("deviceSelector")->findText(QStringLiteral("NET-CardPrinter-03")),
              -1);
}

TEST_F(Login, OnlyCardPrinterTypesAreListed) {
    ASSERT_EQ(sim.VelaSim_LoadScenario(R"({"devices": [
        {"name": "below", "type": 14079}, {"name": "first", "type": 14080},
        {"name": "last", "type": 14095}, {"name": "above", "type": 14096}]})"),
              0);
    sim.VelaSim_SetTimeScale(0);
    Start();
    auto* selector = Find<QComboBox>("deviceSelector");
    ASSERT_EQ(selector->count(), 2);
    EXPECT_EQ(selector->itemText(0), QStringLiteral("first"));
    EXPECT_EQ(selector->itemText(1), QStringLiteral("last"));
}

TEST_F(Login, AnEmptyListLeavesNoSelection) {
    ASSERT_EQ(sim.VelaSim_LoadScenario(R"({"devices": []})"), 0);
    Start();
    auto* selector = Find<QComboBox>("deviceSelector");
    EXPECT_EQ(selector->count(), 0);
    EXPECT_EQ(selector->currentIndex(), -1);
    EXPECT_TRUE(selector->currentText().isEmpty());
}

TEST_F(Login, TheDeviceTextChoosesTheOpenFunction) {
    CKestraConfigDlg& w = Start();
    struct Case {
        const char* text;
        const char* expected;
    } cases[] = {
        {"[USB1] Halvard Card Printer", "VelaDCL_ExOpenDevice"},
        {"[network", "VelaDCL_ExOpenDevice"},
        {"Printer [port] on USB", "VelaDCL_ExOpenDevice"},
        {"Printer [port] serial", "VelaDCL_OpenDevice3"},
        {"10.20.30.40", "VelaDCL_OpenDevice3"},
        {"USB printer [A]", "VelaDCL_OpenDevice3"},
    };
    for (const Case& c : cases) {
        sim.VelaSim_ClearCallLog();
        w.ConnectDevice(QString::fromUtf8(c.text));
        EXPECT_EQ(OpenedWith(sim), QString::fromUtf8(c.expected)) << c.text;
        QJsonArray args =
            sim.Calls(QString::fromUtf8(c.expected))[0].value(QStringLiteral("args")).toArray();
        if (QByteArray(c.expected) == "VelaDCL_ExOpenDevice") {
            EXPECT_EQ(args, (QJsonArray{QString::fromUtf8(c.text), 1, 1})) << c.text;
        } else {
            EXPECT_EQ(args, (QJsonArray{QString::fromUtf8(c.text), 11110, 0, 1})) << c.text;
        }
        if (w.Binding().IsConnected()) {
            w.Binding().VelaDCL_CloseDevice(w.Binding().m_hDevice);
            w.Binding().m_hDevice = 0;
        }
    }
}

TEST_F(Login, AnEmptyDeviceTextFailsWithoutAnyCall) {
    CKestraConfigDlg& w = Start();
    Find<QComboBox>("deviceSelector")->setEditText(QString());
    sim.VelaSim_ClearCallLog();
    ButtonNamed("connect")->click();
    EXPECT_TRUE(sim.Calls().isEmpty());
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0].text, QStringLiteral("Failed to Connect (error=0x80000003)"));
    EXPECT_EQ(messages[0].style & halvard::mb::kIconMask, halvard::mb::kIconWarning);
    EXPECT_FALSE(w.LoginTimerActive());
}

TEST_F(Login, AFailedOpenShowsItsCodeAndStaysDisconnected) {
    CKestraConfigDlg& w = Start();
    Find<QComboBox>("deviceSelector")->setEditText(QStringLiteral("no such printer"));
    ButtonNamed("connect")->click();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0].text, QStringLiteral("Failed to Connect (error=0x80000002)"));
    EXPECT_EQ(ButtonNamed("connect")->text(), QStringLiteral("Connect"));
    EXPECT_FALSE(w.Binding().IsConnected());
}

TEST_F(Login, ConnectReadsDeviceInfoAndStartsBothTimers) {
    CKestraConfigDlg& w = Start();
    sim.VelaSim_ClearCallLog();
    ButtonNamed("connect")->click();
    ASSERT_TRUE(w.Binding().IsConnected());
    EXPECT_EQ(ButtonNamed("connect")->text(), QStringLiteral("Disconnect"));
    EXPECT_TRUE(w.LoginTimerActive());
    EXPECT_TRUE(w.KeepAliveTimerActive());
    EXPECT_EQ(QString::fromUtf16(w.Info().printerId), QStringLiteral("PRN01"));
    auto config = sim.Calls(QStringLiteral("Vela_ExSetConfig"));
    ASSERT_EQ(config.size(), 1);
    EXPECT_EQ(config[0].value(QStringLiteral("args")).toArray().at(1).toInt(), 13);
    EXPECT_EQ(config[0].value(QStringLiteral("args")).toArray().at(2).toInt(), 1);
    EXPECT_FALSE(Find<QComboBox>("deviceSelector")->isEnabled());
    EXPECT_TRUE(ButtonNamed("changeRootPw")->isEnabled());
}

// Enter typed into the selector reaches the combo box (the focus widget), not its line edit.
TEST_F(Login, EnterInTheDeviceSelectorConnects) {
    for (const bool throughTheWindow : {false, true}) {
        SCOPED_TRACE(throughTheWindow ? "keyboard of the active window" : "key sent to the combo");
        CKestraConfigDlg& w = Start();
        w.show();
        auto* selector = Find<QComboBox>("deviceSelector");
        if (throughTheWindow) {
            QApplication::setActiveWindow(&w);
            ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
            selector->setFocus();
            ASSERT_TRUE(selector->hasFocus());
            QTest::keyClick(static_cast<QWidget*>(nullptr), Qt::Key_Return);
        } else {
            QTest::keyClick(selector, Qt::Key_Return);
        }
        QApplication::processEvents();
        EXPECT_TRUE(w.Binding().IsConnected());
        EXPECT_EQ(sim.CountCalls(QStringLiteral("VelaDCL_ExOpenDevice")), 1);
        EXPECT_TRUE(w.isVisible());
        window.reset();
        sim.Fresh();
    }
}

TEST_F(Login, ARightPasswordIsKeptAndTheWaitAndStatusCheckHappen) {
    CKestraConfigDlg& w = Start();
    VerifyAlwaysSucceeds();
    ButtonNamed("connect")->click();
    AnswerPrompt(QStringLiteral("1234"));
    sim.VelaSim_ClearCallLog();
    w.OnLoginTimer();
    EXPECT_FALSE(w.LoginTimerActive());
    EXPECT_EQ(prompts, QStringList{QStringLiteral("Enter Password")});
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(w.LoginPassword(), QStringLiteral("1234"));
    EXPECT_EQ(waits, std::vector<int>{100});
    auto status = sim.Calls(QStringLiteral("Vela_GetStatus"));
    ASSERT_EQ(status.size(), 1);
    EXPECT_EQ(status[0].value(QStringLiteral("args")).toArray().at(1).toInt(), 64);
    EXPECT_TRUE(w.Binding().IsConnected());
}

TEST_F(Login, StatusBit61RefusesAPasswordTheVerifyCallAccepted) {
    CKestraConfigDlg& w = Start();
    VerifyAlwaysSucceeds();
    sim.VelaSim_SetStatusBits(nullptr, 0x40, kWrongPasswordBit, 0);
    ButtonNamed("connect")->click();
    AnswerPrompt(QStringLiteral("9999"));
    CancelPrompt();
    w.OnLoginTimer();
    EXPECT_EQ(MessageTexts(), QStringList{QStringLiteral("User Cancel or Password is Wrong")});
    EXPECT_EQ(prompts.size(), 2) << "the prompt comes back after a wrong password";
    EXPECT_TRUE(w.LoginPassword().isEmpty());
    EXPECT_FALSE(w.Binding().IsConnected()) << "the cancel that followed disconnected";
}

// A status word that could not be read proves nothing: the login fails closed.
TEST_F(Login, AFailedStatusReadIsAFailedLogin) {
    CKestraConfigDlg& w = Start();
    VerifyAlwaysSucceeds();
    ButtonNamed("connect")->click();
    sim.VelaSim_InjectFault("Vela_GetStatus", 0, 1, static_cast<VelaResult>(0x80000001));
    AnswerPrompt(QStringLiteral("9999"));
    CancelPrompt();
    w.OnLoginTimer();
    EXPECT_EQ(MessageTexts(), QStringList{QStringLiteral("User Cancel or Password is Wrong")});
    EXPECT_EQ(prompts.size(), 2);
    EXPECT_TRUE(w.LoginPassword().isEmpty());
    EXPECT_EQ(sim.CountCalls(QStringLiteral("Vela_ExGetDevParam")), 0) << "no Get Config";
    EXPECT_FALSE(w.Binding().IsConnected());
}

TEST_F(Login, ARefusedVerificationPromptsAgainUntilRight) {
    CKestraConfigDlg& w = Start();
    sim.VelaSim_InjectFault("Vela_ExVerifyPassword", 0, 1, 0x80000005);
    sim.VelaSim_InjectFault("Vela_ExVerifyPassword", 1, -1, 0);
    ButtonNamed("connect")->click();
    AnswerPrompt(QStringLiteral("0000"));
    AnswerPrompt(QStringLiteral("1234"));
    w.OnLoginTimer();
    EXPECT_EQ(MessageTexts(), QStringList{QStringLiteral("User Cancel or Password is Wrong")});
    EXPECT_EQ(w.LoginPassword(), QStringLiteral("1234"));
    EXPECT_EQ(sim.CountCalls(QStringLiteral("Vela_ExVerifyPassword")), 2);
}

TEST_F(Login, CancellingThePromptDisconnectsSilently) {
    CKestraConfigDlg& w = Start();
    ButtonNamed("connect")->click();
    CancelPrompt();
    sim.VelaSim_ClearCallLog();
    w.OnLoginTimer();
    EXPECT_TRUE(messages.empty());
    EXPECT_FALSE(w.Binding().IsConnected());
    EXPECT_FALSE(w.KeepAliveTimerActive());
    EXPECT_EQ(sim.CountCalls(QStringLiteral("VelaDCL_CloseDevice")), 1);
    EXPECT_EQ(ButtonNamed("connect")->text(), QStringLiteral("Connect"));
    EXPECT_TRUE(Find<QComboBox>("deviceSelector")->isEnabled());
}

TEST_F(Login, ADisconnectWhileTheLoginTimerIsPendingFailsEveryVerification) {
    CKestraConfigDlg& w = Start();
    VerifyAlwaysSucceeds();
    ButtonNamed("connect")->click();
    ButtonNamed("connect")->click();  // "Disconnect" before the prompt appears
    ASSERT_FALSE(w.Binding().IsConnected());
    EXPECT_TRUE(w.LoginTimerActive()) << "the timers are not stopped by a disconnect";
    AnswerPrompt(QStringLiteral("1234"));
    CancelPrompt();
    sim.VelaSim_ClearCallLog();
    w.OnLoginTimer();
    EXPECT_EQ(MessageTexts(), QStringList{QStringLiteral("User Cancel or Password is Wrong")});
    EXPECT_EQ(sim.CountCalls(QStringLiteral("Vela_ExVerifyPassword")), 0);
    EXPECT_TRUE(sim.Calls(QStringLiteral("VelaDCL_CloseDevice")).isEmpty());
    EXPECT_EQ(ButtonNamed("connect")->text(), QStringLiteral("Connect"));
}

TEST_F(Login, KeepAlivePollsThePrinterOnlyWhileConnected) {
    CKestraConfigDlg& w = Start();
    sim.VelaSim_ClearCallLog();
    w.OnKeepAliveTimer();
    EXPECT_EQ(sim.CountCalls(QStringLiteral("Vela_GetStatus")), 0);
    ButtonNamed("connect")->click();
    w.OnKeepAliveTimer();
    auto calls = sim.Calls(QStringLiteral("Vela_GetStatus"));
    ASSERT_EQ(calls.size(), 1);
    EXPECT_EQ(calls[0].value(QStringLiteral("args")).toArray().at(1).toInt(), 64);
}

TEST_F(Login, ThePasswordNeverReachesTheProgramsOutput) {
    QStringList output;
    static QStringList* sink = nullptr;
    sink = &output;
    QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext&, const QString& text) { sink->append(text); });
    CKestraConfigDlg& w = Start();
    VerifyAlwaysSucceeds();
    ButtonNamed("connect")->click();
    AnswerPrompt(QStringLiteral("S3cr#t"));
    w.OnLoginTimer();
    qInstallMessageHandler(previous);
    ASSERT_EQ(w.LoginPassword(), QStringLiteral("S3cr#t"));
    EXPECT_GE(output.size(), 252) << "the binding's trace lines were captured";
    for (const QString& line : output)
        EXPECT_FALSE(line.contains(QStringLiteral("S3cr#t")));
    for (const QJsonObject& call : sim.Calls())
        EXPECT_FALSE(QJsonDocument(call).toJson().contains("S3cr#t"))
            << call.value(QStringLiteral("fn")).toString().toStdString();
}

}  // namespace
