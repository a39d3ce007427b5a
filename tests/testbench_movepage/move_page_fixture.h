#pragma once
// The real main window connected to the simulator, with its Move page selected, instant waits
// on the GUI thread and the status poll held after its first round.

#include <QCheckBox>
#include <QComboBox>
#include <QJsonArray>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QThread>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

#include "CSubDlgMacro.h"
#include "CSubDlgMove.h"
#include "page_ids.h"
#include "testbench_fixture.h"

namespace halvard::test {

class MovePageTest : public TestBenchTest {
protected:
    // GUI-thread waits are instant; the status poll is held after its first round, so the
    // call log shows only what the page does.
    void SetUp() override {
        TestBenchTest::SetUp();
        HoldPoll();
    }

    // Opens the main window, connects and returns the Move page. `scenario` replaces the
    // preset's chain when given.
    CSubDlgMove& Connected(const char* scenario = nullptr) {
        page = &ConnectedPage<CSubDlgMove>(scenario);
        EXPECT_TRUE(WaitForFirstPoll());
        sim.VelaSim_ClearCallLog();
        return *page;
    }
    template <typename T = QWidget>
    T* On(const char* name) {
        return ControlOf<T>(page, name);
    }
    // Presses a page button the way a click (or the batch loop) does.
    void Press(const char* name) { On<QPushButton>(name)->click(); }
    // Picks the entry of a selector whose item data is `data`.
    void Pick(const char* name, int data) { PickOn(page, name, data); }
    // Puts the simulator's card into `module` and makes it the page's current module.
    void CardAt(int module) {
        ASSERT_EQ(sim.VelaSim_SetCardModule(nullptr, module), 0);
        Pick("currentModule", module);
    }
    void HoldToken() {
        Click("request");
        ASSERT_NE(window->GetPreemptionToken(), 0xFFFF);
        sim.VelaSim_ClearCallLog();
    }
    int Card() { return sim.VelaSim_GetCardModule(nullptr); }
    std::uint64_t Status(int module) {
        std::uint64_t status = 0;
        EXPECT_EQ(window->Binding().Device(window->Binding().Vela_GetStatus, module, &status), 0);
        return status;
    }
    // The Macro page's recorded items.
    const MacroList& MacroItems() const {
        return static_cast<const CSubDlgMacro*>(PageOf(page_id::kMacro))->MacroItems();
    }
    CSubDlgMove* page = nullptr;
};

// Input hopper, printer, output hopper.
inline constexpr const char* kShortChain = R"({"devices": [{"name": "[USB1] Halvard Card Printer",
    "modules": [{"id": 16, "cards": 50}, {"id": 64}, {"id": 112}]}]})";

}  // namespace halvard::test
