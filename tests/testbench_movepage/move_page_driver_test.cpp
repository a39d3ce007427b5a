// The Move page's driver, as the batch run and macro playback use it: selectors set by value,
// "Card Move" and "Card Eject" run through their handlers, and the last result read after.

#include "move_page_fixture.h"
#include "page_drivers.h"

namespace halvard::test {
namespace {

using Args = QList<qint64>;

constexpr const char* kHopperChain = R"({"devices": [{"name": "P", "modules": [
    {"id": 32, "hoppers": [1, 3, 5]}, {"id": 64}, {"id": 97}, {"id": 112}]}]})";

class MoveDriverTest : public MovePageTest {
protected:
    MovePageDriver& Driver() {
        MovePageDriver* driver = window->FindMoveDriver();
        EXPECT_EQ(driver, static_cast<MovePageDriver*>(page));
        return *driver;
    }
};

TEST_F(MoveDriverTest, SettersSelectByValueAndKeepTheSelectionOtherwise) {
    Connected(kHopperChain);
    MovePageDriver& driver = Driver();
    struct Case {
        const char* selector;
        std::function<bool(std::uint32_t)> set;
        std::uint32_t present;
        std::uint32_t absent;
    };
    const Case cases[] = {
        {"currentModule", [&](std::uint32_t v) { return driver.SetCurrentModule(v); }, 0x61, 0x50},
        {"hopperLine", [&](std::uint32_t v) { return driver.SetHopperLine(v); }, 0x50, 0x20},
        {"moveDestination", [&](std::uint32_t v) { return driver.SetMoveDestination(v); }, 0xFF,
         0x20},
        {"ejectDestination", [&](std::uint32_t v) { return driver.SetEjectTarget(v); }, 0x20, 0x40},
        {"hopLine", [&](std::uint32_t v) { return driver.SetHopLine(v); }, 0x10000, 0x20000},
        {"ejectDir", [&](std::uint32_t v) { return driver.SetEjectDirection(v); }, 1, 2},
    };
    for (const Case& c : cases) {
        auto* box = On<QComboBox>(c.selector);
        EXPECT_TRUE(c.set(c.present)) << c.selector;
        EXPECT_EQ(box->currentData().toUInt(), c.present) << c.selector;
        const int index = box->currentIndex();
        EXPECT_FALSE(c.set(c.absent)) << c.selector;
        EXPECT_EQ(box->currentIndex(), index) << c.selector;
    }
    // Setting the card's module re-evaluates the page as a pick does.
    ASSERT_TRUE(driver.SetCurrentModule(0xFF));
    EXPECT_FALSE(On<QPushButton>("cardEject")->isEnabled());
}

TEST_F(MoveDriverTest, RunsTheCommandsAsTheirButtons) {
    Connected();
    MovePageDriver& driver = Driver();
    ASSERT_TRUE(driver.SetCurrentModule(0x10));
    ASSERT_TRUE(driver.SetMoveDestination(0x40));
    driver.RunCardMove();
    EXPECT_EQ(driver.LastResult(), 0u);
    EXPECT_EQ(Card(), 0x40);
    EXPECT_EQ(page->GetCurrentModule(), 0x40);

    ASSERT_TRUE(driver.SetCurrentModule(0x40));
    ASSERT_TRUE(driver.SetEjectTarget(0xFF));
    driver.RunCardEject();
    EXPECT_EQ(driver.LastResult(), 0u);
    EXPECT_EQ(Card(), 0xFF);
    EXPECT_EQ(IntArgsOf(sim.Calls(QStringLiteral("Vela_CardEject2")).value(0)),
              (Args{0x40, 0, 0xFF, 0}));
    EXPECT_TRUE(boxes.empty());

    // A failure leaves its own code, and the warning a click would show.
    sim.VelaSim_InjectFault("Vela_CardMove2", 0, 1, static_cast<VelaResult>(0x80000302));
    ASSERT_TRUE(driver.SetCurrentModule(0x10));
    driver.RunCardMove();
    EXPECT_EQ(driver.LastResult(), 0x80000302u);
    EXPECT_EQ(BoxTexts(), Texts({"Error while CardMove... (error=0x80000302)"}));
}

TEST_F(MoveDriverTest, AnEjectWithTheButtonDisabledStillLeavesAFreshResult) {
    Connected();
    MovePageDriver& driver = Driver();
    ASSERT_TRUE(driver.SetMoveDestination(0x40));
    driver.RunCardMove();
    ASSERT_EQ(driver.LastResult(), 0u);
    // Nothing selected as the card's module: the button is disabled, but a driven eject must
    // not leave the previous success behind for the caller to read.
    ASSERT_TRUE(driver.SetCurrentModule(0xFF));
    ASSERT_FALSE(On<QPushButton>("cardEject")->isEnabled());
    driver.RunCardEject();
    EXPECT_NE(driver.LastResult(), 0u);
    EXPECT_EQ(boxes.size(), 1);
    EXPECT_EQ(Card(), 0x40);
}

TEST_F(MoveDriverTest, PlaybackOfARecordedEjectIntoAHopper) {
    Connected(kHopperChain);
    MovePageDriver& driver = Driver();
    window->SetMacroRecording(1);
    ASSERT_TRUE(driver.SetHopperLine(0x30));
    driver.RunCardMove();
    ASSERT_TRUE(driver.SetEjectTarget(0x20));
    ASSERT_TRUE(driver.SetHopLine(0x10000));
    ASSERT_TRUE(driver.SetEjectDirection(1));
    driver.RunCardEject();
    window->SetMacroRecording(0);
    const MacroList recorded = MacroItems();
    ASSERT_EQ(recorded.size(), 2u);
    EXPECT_EQ(sim.CountCalls(QStringLiteral("Vela_CardMove2")), 0);

    // Replayed the way playback does: select the recorded values, then run the command.
    for (const _tagMacroItem& item : recorded) {
        ASSERT_TRUE(driver.SetCurrentModule(item.firstModule));
        if (item.secondModule == 0xFF || (item.secondModule & 0x20) != 0) {
            ASSERT_TRUE(driver.SetEjectTarget(item.secondModule));
            driver.SetHopLine(item.secondOption & 0x70000);
            driver.SetEjectDirection(item.secondOption & 1);
            driver.RunCardEject();
        } else {
            driver.SetHopperLine(item.firstOption);
            ASSERT_TRUE(driver.SetMoveDestination(item.secondModule));
            driver.RunCardMove();
        }
        EXPECT_EQ(driver.LastResult(), 0u);
    }
    EXPECT_EQ(IntArgsOf(sim.Calls(QStringLiteral("Vela_CardMove2")).value(0)),
              (Args{0x20, 0x30, 0x40, 0, 0}));
    EXPECT_EQ(IntArgsOf(sim.Calls(QStringLiteral("Vela_CardEject2")).value(0)),
              (Args{0x40, 0, 0x20, 0x10001}));
    EXPECT_EQ(Card(), 0xFF);
}

}  // namespace
}  // namespace halvard::test
