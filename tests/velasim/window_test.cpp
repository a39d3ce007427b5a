// The test bench's main window, connected to the simulator of this process: an event sent from
// outside with velasim shows in the decoded "Device Status" within two poll cycles, and so does
// clearing it.

#include <QApplication>
#include <QPushButton>
#include <QStringList>
#include <QTest>

#include "CHalvardTestDlg.h"
#include "message_service.h"
#include "status_decoding.h"
#include "velasim_cli.h"
#include "velasim_fixture.h"

namespace halvard::test {
namespace {

constexpr int kCycleWaitMs = 10000;

class WindowTest : public VelasimTest {
public:
    void SetUp() override {
        VelasimTest::SetUp();
        MessageService::SetHandler([this](const MessageRequest& request) {
            boxes << request.text;
            return mb::kIdOk;
        });
    }
    void TearDown() override {
        window.reset();
        MessageService::SetHandler({});
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

    std::unique_ptr<CHalvardTestDlg> window;
    QStringList boxes;
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
    const QStringList healthy = Decoded(kPrinterModuleId);
    ASSERT_TRUE(healthy.contains(QStringLiteral("ready")));

    SendAndWaitTwoCycles({"jam", "0x40"});
    const QStringList jammed = Decoded(kPrinterModuleId);
    EXPECT_TRUE(jammed.contains(QStringLiteral("Action : FAIL")))
        << jammed.join(u'|').toStdString();
    EXPECT_TRUE(jammed.contains(QStringLiteral("Command : FAIL")));
    EXPECT_TRUE(jammed.contains(QStringLiteral("failed to move card")));
    EXPECT_FALSE(jammed.contains(QStringLiteral("ready")));

    SendAndWaitTwoCycles({"clear-errors"});
    EXPECT_EQ(Decoded(kPrinterModuleId), healthy);
    EXPECT_TRUE(boxes.isEmpty()) << boxes.join(u'|').toStdString();
}

}  // namespace
}  // namespace halvard::test
