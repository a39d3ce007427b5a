// The test bench's main window, connected to the simulator of this process: an event sent from
// outside with velasim shows in the decoded "Device Status" within two poll cycles, and so does
// clearing it.

#include <QApplication>
#include <QPushButton>
#include <QStringList>
#include <QTest>

#include "CHalvardTestDlg.h"
#include "status_decoding.h"
#include "ui_recorder.h"
#include "vela_modules.h"
#include "velasim_cli.h"
#include "velasim_fixture.h"

namespace halvard::test {
namespace {

constexpr int kCycleWaitMs = 10000;
constexpr std::uint8_t kPrinter = vela::kModulePrinter;

class WindowTest : public VelasimTest {
public:
    void TearDown() override {
        window.reset();
        VelasimTest::TearDown();
    }
    // The lines the status panel shows for a module, state byte first.
    QStringList Decoded(std::uint8_t id) const {
        const auto& moduleSlots = window->Slots();
        QStringList lines;
        for (int bit = 0; bit < 8; ++bit)
            lines << DescribeStateBit(moduleSlots.data(), kModuleSlotCount, id, bit).text;
        for (int bit = 0; bit < 64; ++bit)
            lines << DescribeStatusBit(moduleSlots.data(), kModuleSlotCount, id, bit).text;
        lines.removeAll(QString());
        return lines;
    }
    // Sends a command from outside and lets two poll cycles pass after it.
    void SendAndWaitTwoCycles(const std::vector<std::string>& command) {
        const CliResult sent = Velasim(command);
        ASSERT_EQ(sent.code, velasim::kExitDone) << sent.err;
        const int cycle = window->PollCycles();
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return window->PollCycles() >= cycle + 2; }, kCycleWaitMs));
        // Each cycle hands its picture to the window before it counts.
        QCoreApplication::processEvents();
    }

    // Stands in for the user; the poll's one-second pause becomes a short real one, so cycles
    // follow each other quickly and the test does not wait for wall-clock seconds.
    UiRecorder ui;
    std::unique_ptr<CHalvardTestDlg> window;
};

TEST_F(WindowTest, AnEventFromOutsideShowsInTheDecodedStatusWithinTwoPollCycles) {
    window = std::make_unique<CHalvardTestDlg>(false);
    window->show();
    window->Initialise(QString::fromUtf8(SimulatorLibrary()));
    QCoreApplication::processEvents();
    auto* connect = window->findChild<QPushButton*>(QStringLiteral("connect"));
    ASSERT_NE(connect, nullptr);
    QTest::mouseClick(connect, Qt::LeftButton);
    ASSERT_EQ(connect->text(), QStringLiteral("Disconnect"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->StatusImagesShown() > 0; }, kCycleWaitMs));
    const QStringList healthy = Decoded(kPrinter);
    ASSERT_TRUE(healthy.contains(QStringLiteral("ready")));

    SendAndWaitTwoCycles({"jam", "0x40"});
    const QStringList jammed = Decoded(kPrinter);
    EXPECT_TRUE(jammed.contains(QStringLiteral("Action : FAIL")))
        << jammed.join(u'|').toStdString();
    EXPECT_TRUE(jammed.contains(QStringLiteral("Command : FAIL")));
    EXPECT_TRUE(jammed.contains(QStringLiteral("failed to move card")));
    EXPECT_FALSE(jammed.contains(QStringLiteral("ready")));

    SendAndWaitTwoCycles({"clear-errors"});
    EXPECT_EQ(Decoded(kPrinter), healthy);
    EXPECT_TRUE(ui.messages.isEmpty()) << ui.MessageTexts().join(u'|').toStdString();
}

}  // namespace
}  // namespace halvard::test
