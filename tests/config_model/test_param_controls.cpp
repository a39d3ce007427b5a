#include "ParamControls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

#include "CSpinEdit.h"
#include "param_model.h"

using namespace param;

namespace {

// Every control of the printer page's parameter slots, registered with one mapper.
class ParamControlsTest : public ::testing::Test {
protected:
    void SetUp() override {
        page = std::make_unique<QWidget>();
        for (int i = 0; i < kDefinedSlotCount; ++i) {
            if (paramSlots[i].control == SlotControl::SpinEdit) {
                spins[i] = new CSpinEdit(page.get());
                ASSERT_TRUE(controls.setSpinEdit(i, spins[i]));
            }
        }
        headResistor = new QLineEdit(page.get());
        ASSERT_TRUE(controls.setReadOnlyEdit(12, headResistor));
        boardType = new QComboBox(page.get());
        controls.setBoardType(boardType);
        displayType = new QComboBox(page.get());
        displayLanguage = new QComboBox(page.get());
        controls.setDisplay(displayType, displayLanguage);
        for (auto*& box : security) {
            box = new QCheckBox(page.get());
        }
        controls.setSecurity(security[0], security[1], security[2], security[3]);
        userCleaning = new QLineEdit(page.get());
        userSkipped = new QLineEdit(page.get());
        factoryCleaning = new CSpinEdit(page.get());
        factorySkipped = new CSpinEdit(page.get());
        controls.setCleaningCounts(userCleaning, userSkipped, factoryCleaning, factorySkipped);
        inOutSpeed = new CSpinEdit(page.get());
        moveSpeed = new CSpinEdit(page.get());
        controls.setSpeeds(inOutSpeed, moveSpeed);
        rewriteCard = new QCheckBox(page.get());
        certification = new QCheckBox(page.get());
        controls.setPrinterType(rewriteCard, certification);
        for (int bit = 0; bit < kOptionFlagCount; ++bit) {
            options[bit] = new QComboBox(page.get());
            ASSERT_TRUE(controls.setOptionList(bit, options[bit]));
        }
        baudRate = new QComboBox(page.get());
        controls.setBaudRate(baudRate);
    }

    std::unique_ptr<QWidget> page;
    ParamControls controls;
    std::array<CSpinEdit*, kParamSlotCount> spins{};
    QLineEdit* headResistor = nullptr;
    QComboBox* boardType = nullptr;
    QComboBox* displayType = nullptr;
    QComboBox* displayLanguage = nullptr;
    std::array<QCheckBox*, 4> security{};
    QLineEdit* userCleaning = nullptr;
    QLineEdit* userSkipped = nullptr;
    CSpinEdit* factoryCleaning = nullptr;
    CSpinEdit* factorySkipped = nullptr;
    CSpinEdit* inOutSpeed = nullptr;
    CSpinEdit* moveSpeed = nullptr;
    QCheckBox* rewriteCard = nullptr;
    QCheckBox* certification = nullptr;
    std::array<QComboBox*, kOptionFlagCount> options{};
    QComboBox* baudRate = nullptr;
};

}  // namespace

TEST_F(ParamControlsTest, RegistrationPreparesControls) {
    EXPECT_EQ(spins[0]->minimum(), kFullMinimum);
    EXPECT_EQ(spins[0]->maximum(), kFullMaximum);
    EXPECT_EQ(spins[19]->minimum(), -2000);
    EXPECT_EQ(spins[21]->maximum(), 2000);
    EXPECT_EQ(inOutSpeed->minimum(), 150);
    EXPECT_EQ(moveSpeed->maximum(), 300);
    EXPECT_EQ(factoryCleaning->minimum(), kFullMinimum);
    EXPECT_EQ(spins[2]->controlId(), 2);  // "Y End Position" reports as position 2
    EXPECT_EQ(moveSpeed->controlId(), 22);
    EXPECT_EQ(baudRate->count(), 8);
    EXPECT_EQ(baudRate->itemText(7), QStringLiteral("115200"));
    EXPECT_EQ(options[9]->itemText(0), QStringLiteral("Off"));
    EXPECT_EQ(options[9]->itemText(1), QStringLiteral("On"));
    EXPECT_EQ(displayLanguage->itemText(1), QStringLiteral("Farsi"));
    EXPECT_EQ(boardType->itemText(0), QStringLiteral("Type1"));
    // Controls of the wrong kind are refused.
    CSpinEdit stray;
    EXPECT_FALSE(controls.setSpinEdit(12, &stray));
    EXPECT_FALSE(controls.setSpinEdit(23, &stray));
    EXPECT_FALSE(controls.setSpinEdit(66, &stray));
    EXPECT_FALSE(controls.setOptionList(20, options[0]));
    EXPECT_FALSE(controls.setReadOnlyEdit(0, headResistor));
}

TEST_F(ParamControlsTest, ShowThenReadGivesTheValueBackAtEveryPosition) {
    std::array<std::int32_t, kDefinedSlotCount> values{};
    for (int i = 0; i < kDefinedSlotCount; ++i) {
        values[i] = 1000 * i - 7;  // plain positions, any sign
    }
    values[1] = -35;
    values[13] = 0;
    values[14] = packDisplay(0, 1);
    values[16] = 0b1010;
    values[18] = static_cast<std::int32_t>(0xFFFE0003u);
    values[22] = packHalves(200, 250);
    values[23] = values[26] = values[27] = 0;
    values[24] = static_cast<std::int32_t>(0x80000001u);
    values[25] = 0x000A5A5A;
    values[28] = 57600;
    for (int i = 0; i < kDefinedSlotCount; ++i) {
        controls.show(i, values[i]);
    }
    for (int i = 0; i < kDefinedSlotCount; ++i) {
        EXPECT_EQ(controls.read(i), values[i]) << "position " << i;
    }
    for (int i = kDefinedSlotCount; i < kParamSlotCount; ++i) {
        EXPECT_EQ(controls.read(i), 0);
    }
}

TEST_F(ParamControlsTest, YStartShowsTheNegatedValue) {
    controls.show(1, -35);
    EXPECT_EQ(spins[1]->text(), QStringLiteral("35"));
    spins[1]->setText(QStringLiteral("-12"));
    EXPECT_EQ(controls.read(1), 12);
}

TEST_F(ParamControlsTest, ShowClearsOwedNotice) {
    QSignalSpy committed(spins[0], &CSpinEdit::valueCommitted);
    spins[0]->setValue(9);
    ASSERT_TRUE(spins[0]->pendingNotice());
    controls.show(0, 77);
    EXPECT_EQ(spins[0]->text(), QStringLiteral("77"));
    EXPECT_FALSE(spins[0]->pendingNotice());
    controls.show(22, packHalves(160, 170));
    EXPECT_FALSE(inOutSpeed->pendingNotice());
    EXPECT_FALSE(moveSpeed->pendingNotice());
    EXPECT_EQ(committed.count(), 0);
}

TEST_F(ParamControlsTest, SpeedOutsideRangeShownAsIsAndWrittenAsMaximum) {
    controls.show(22, packHalves(200, 90));  // Move 200, In/Out 90
    EXPECT_EQ(inOutSpeed->text(), QStringLiteral("90"));
    EXPECT_EQ(moveSpeed->text(), QStringLiteral("200"));
    const Halves back = unpackHalves(controls.read(22));
    EXPECT_EQ(back.high, 300);
    EXPECT_EQ(back.low, 200);
    moveSpeed->setText(QStringLiteral("301"));
    EXPECT_EQ(unpackHalves(controls.read(22)).low, 300);
}

TEST_F(ParamControlsTest, CleaningCountsShownTwiceReadFromFactorySpins) {
    controls.show(18, packHalves(12, 3));
    EXPECT_EQ(userCleaning->text(), QStringLiteral("12"));
    EXPECT_EQ(userSkipped->text(), QStringLiteral("3"));
    EXPECT_EQ(factoryCleaning->text(), QStringLiteral("12"));
    EXPECT_EQ(factorySkipped->text(), QStringLiteral("3"));
    factoryCleaning->setText(QStringLiteral("0"));
    factorySkipped->setText(QStringLiteral("0"));
    EXPECT_EQ(controls.read(18), 0);  // the user fields are only shown, never read
}

TEST_F(ParamControlsTest, CleaningWarningOnClearsBitNine) {
    controls.show(25, 0);
    options[9]->setCurrentIndex(1);  // "On"
    EXPECT_EQ(controls.read(25) & (1 << 9), 0);
    options[9]->setCurrentIndex(0);  // "Off"
    EXPECT_EQ(controls.read(25) & (1 << 9), 1 << 9);
    controls.show(25, 1 << 9);
    EXPECT_EQ(options[9]->currentText(), QStringLiteral("Off"));
    controls.show(25, (1 << 2) | (1 << 19));
    EXPECT_EQ(options[9]->currentText(), QStringLiteral("On"));
    EXPECT_EQ(options[2]->currentText(), QStringLiteral("Rear"));
    EXPECT_EQ(options[19]->currentText(), QStringLiteral("Use"));
    EXPECT_EQ(options[0]->currentText(), QStringLiteral("Not Use"));
}

TEST_F(ParamControlsTest, OptionFlagsPrinterBitsAreNotReadFromControls) {
    controls.show(25, static_cast<std::int32_t>(0xFFF00000u));
    EXPECT_EQ(controls.read(25), 0);
    controls.show(25, static_cast<std::int32_t>(0xFFF00201u));
    EXPECT_EQ(controls.read(25), 0x201);
}

TEST_F(ParamControlsTest, BaudRateWithoutEntryShownAsExtraEntryUntilNextDisplay) {
    controls.show(28, 14400);
    EXPECT_EQ(baudRate->count(), 9);
    EXPECT_EQ(baudRate->currentText(), QStringLiteral("14400 (0x00003840) ***"));
    EXPECT_EQ(controls.read(28), 14400);
    controls.show(28, 9600);
    EXPECT_EQ(baudRate->count(), 8);
    EXPECT_EQ(baudRate->currentText(), QStringLiteral("9600"));
    EXPECT_EQ(controls.read(28), 9600);
    baudRate->setCurrentIndex(7);  // the user picks 115200
    EXPECT_EQ(controls.read(28), 115200);
}

TEST_F(ParamControlsTest, DisplayTypeAndLanguage) {
    controls.show(14, packDisplay(0, 1));
    EXPECT_EQ(displayType->currentText(), QStringLiteral("TLCD 16x2"));
    EXPECT_EQ(displayLanguage->currentText(), QStringLiteral("Farsi"));
    controls.show(14, packDisplay(2, 5));
    EXPECT_EQ(displayType->currentText(), QStringLiteral("2 (0x00000002) ***"));
    EXPECT_EQ(displayLanguage->currentText(), QStringLiteral("5 (0x00000005) ***"));
    EXPECT_EQ(controls.read(14), packDisplay(2, 5));
    controls.show(14, 0);
    EXPECT_EQ(displayType->count(), 1);
    EXPECT_EQ(displayLanguage->count(), 2);
    EXPECT_EQ(controls.read(14), 0);
}

TEST_F(ParamControlsTest, BoardTypeWithoutEntryIsWrittenBackUnchanged) {
    controls.show(13, 0);
    EXPECT_EQ(boardType->currentIndex(), 0);
    controls.show(13, 4);
    EXPECT_EQ(boardType->currentIndex(), -1);
    EXPECT_EQ(controls.read(13), 4);
}

TEST_F(ParamControlsTest, SecurityAndPrinterTypeCheckBoxes) {
    controls.show(16, 0b0101);
    EXPECT_TRUE(security[0]->isChecked());
    EXPECT_FALSE(security[1]->isChecked());
    EXPECT_TRUE(security[2]->isChecked());
    EXPECT_FALSE(security[3]->isChecked());
    controls.show(24, static_cast<std::int32_t>(0x80000009u));
    EXPECT_TRUE(rewriteCard->isChecked());
    EXPECT_TRUE(certification->isChecked());
    EXPECT_EQ(static_cast<std::uint32_t>(controls.read(24)), 0x80000001u);
    rewriteCard->setChecked(false);
    EXPECT_EQ(static_cast<std::uint32_t>(controls.read(24)), 0x80000000u);
}

TEST_F(ParamControlsTest, WriteArrayFromControlsKeepsPrinterBits) {
    DeviceParams device{};
    for (int i = 0; i < 20; ++i) {
        device[i] = i + 1;
    }
    device[24] = static_cast<std::int32_t>(0x7FFFFFF1u);
    device[25] = static_cast<std::int32_t>(0x12300000u);
    for (int i = 0; i < kDefinedSlotCount; ++i) {
        controls.show(i, device[i]);
    }
    const WriteArray out = buildWriteArray([this](int i) { return controls.read(i); }, device, 20);
    ASSERT_EQ(out.values.size(), 30u);
    EXPECT_EQ(static_cast<std::uint32_t>(out.values[24]), 0x7FFFFFF1u);
    EXPECT_EQ(static_cast<std::uint32_t>(out.values[25]) & 0xFFF00000u, 0x12300000u);
    EXPECT_EQ(out.values[3], 4);
}

TEST_F(ParamControlsTest, WidgetsPerPosition) {
    EXPECT_EQ(controls.widgets(0), QList<QWidget*>{spins[0]});
    EXPECT_EQ(controls.widgets(16).size(), 4);
    EXPECT_EQ(controls.widgets(18).size(), 4);
    EXPECT_EQ(controls.widgets(22), (QList<QWidget*>{inOutSpeed, moveSpeed}));
    EXPECT_EQ(controls.widgets(25).size(), 20);
    EXPECT_TRUE(controls.widgets(23).isEmpty());
    EXPECT_TRUE(controls.widgets(40).isEmpty());
    delete baudRate;  // a destroyed widget is no longer handed out or touched
    EXPECT_TRUE(controls.widgets(28).isEmpty());
    controls.show(28, 1200);
    EXPECT_EQ(controls.read(28), 0);
}
