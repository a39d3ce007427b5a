// The Move page's selectors as the module chain fills them, and which controls the engineer
// can use for where the card is.

#include <QDir>
#include <QImage>

#include "move_page_fixture.h"

namespace halvard::test {
namespace {

TEST_F(MovePageTest, ShortChainFillsTheSelectors) {
    Connected(kShortChain);
    EXPECT_EQ(EntriesOf(On<QComboBox>("currentModule")),
              Texts({"out [FF]=ff", "I  [10]=10", "P  [40]=40", "O  [70]=70"}));
    EXPECT_EQ(page->GetCurrentModule(), 0x10) << "the card starts at the input hopper";
    EXPECT_EQ(EntriesOf(On<QComboBox>("moveDestination")),
              Texts({"P  [40]=40", "O  [70]=70", "out [FF]=ff"}));
    EXPECT_EQ(On<QComboBox>("moveDestination")->currentIndex(), 0);
    EXPECT_EQ(EntriesOf(On<QComboBox>("ejectDestination")), Texts({"out [FF]=ff"}));
    EXPECT_EQ(EntriesOf(On<QComboBox>("giveTo")),
              Texts({"I  [10]=10", "P  [40]=40", "O  [70]=70"}));
    EXPECT_EQ(On<QComboBox>("flipper")->count(), 0);
    EXPECT_EQ(On<QComboBox>("errorBin")->count(), 0);
    EXPECT_TRUE(On<QComboBox>("hopperLine")->isHidden());
    EXPECT_TRUE(On<QComboBox>("hopLine")->isHidden());
    EXPECT_TRUE(On<QComboBox>("ejectDir")->isHidden());
}

TEST_F(MovePageTest, DefaultChainListsFlippersAndStartsWithFixedValues) {
    Connected();
    EXPECT_EQ(EntriesOf(On<QComboBox>("flipper")), Texts({"F  [61]=61", "F  [62]=62"}));
    EXPECT_EQ(EntriesOf(On<QComboBox>("flipMoveFlipper")), Texts({"F  [61]=61", "F  [62]=62"}));
    EXPECT_EQ(EntriesOf(On<QComboBox>("errorBin")), Texts({"F  [61]=61", "F  [62]=62"}));
    EXPECT_EQ(EntriesOf(On<QComboBox>("ejectDestination")),
              Texts({"out [FF]=ff", "F  [61]=61", "F  [62]=62"}));
    EXPECT_EQ(EntriesOf(On<QComboBox>("giveTo")),
              Texts({"I  [10]=10", "P  [40]=40", "L  [50]=50", "O  [70]=70"}));
    EXPECT_EQ(EntriesOf(On<QComboBox>("sensor")), Texts({"Left=0", "Center=1", "Right=3"}));
    EXPECT_EQ(EntriesOf(On<QComboBox>("cardInFrom")), Texts({"Left=0", "Right=1"}));
    EXPECT_EQ(EntriesOf(On<QComboBox>("cardOutTo")), Texts({"Left=0", "Right=1"}));
    EXPECT_EQ(On<QLineEdit>("distAngle")->text(), QStringLiteral("0"));
    EXPECT_EQ(On<QLineEdit>("speed")->text(), QStringLiteral("3500"));
    EXPECT_TRUE(On<QLineEdit>("distance")->text().isEmpty());
    EXPECT_EQ(On<QPushButton>("posMoveTest")->text(), QStringLiteral("* START pos. move test *"));
    EXPECT_TRUE(On<QPushButton>("moduleCardIn")->isHidden());
    EXPECT_TRUE(On<QPushButton>("moduleCardOut")->isHidden());
}

TEST_F(MovePageTest, MultiInputHopperListsTheFittedHoppers) {
    Connected(R"({"devices": [{"name": "P", "modules": [{"id": 32, "hoppers": [1, 3, 5]},
        {"id": 64}, {"id": 97}, {"id": 112}]}]})");
    // The fitted hoppers come from the hopper's status, read when the chain arrives.
    EXPECT_EQ(EntriesOf(On<QComboBox>("currentModule")),
              Texts({"out [FF]=ff", "MI [20]=20", "P  [40]=40", "F  [61]=61", "O  [70]=70"}));
    EXPECT_EQ(page->GetCurrentModule(), 0x20);
    auto* line = On<QComboBox>("hopperLine");
    EXPECT_FALSE(line->isHidden());
    EXPECT_TRUE(line->isEnabled());
    EXPECT_EQ(EntriesOf(line), Texts({"Auto=0", "1=10", "3=30", "5=50"}));
    EXPECT_EQ(line->currentIndex(), 0);
    auto* hopLine = On<QComboBox>("hopLine");
    EXPECT_EQ(EntriesOf(hopLine), Texts({"1=10000", "3=30000"}));
    EXPECT_EQ(hopLine->currentIndex(), 1) << "the last hopper is preselected";
    EXPECT_EQ(EntriesOf(On<QComboBox>("ejectDestination")),
              Texts({"out [FF]=ff", "MI [20]=20", "F  [61]=61"}));
    EXPECT_EQ(EntriesOf(On<QComboBox>("moveDestination")),
              Texts({"P  [40]=40", "F  [61]=61", "O  [70]=70", "out [FF]=ff"}));

    // A multi-input hopper as eject destination shows where and which way the card goes back.
    EXPECT_TRUE(hopLine->isHidden());
    Pick("ejectDestination", 0x20);
    EXPECT_FALSE(hopLine->isHidden());
    EXPECT_FALSE(On<QComboBox>("ejectDir")->isHidden());
    EXPECT_FALSE(On<QLabel>("hopLineLabel")->isHidden());
    Pick("ejectDestination", 0x61);
    EXPECT_TRUE(hopLine->isHidden());
    EXPECT_TRUE(On<QLabel>("ejectDirLabel")->isHidden());

    // The hopper line only applies while the card is at the hopper.
    Pick("currentModule", 0x40);
    EXPECT_FALSE(line->isEnabled());
}

TEST_F(MovePageTest, OutDisablesEverythingButCardMove) {
    Connected();
    Pick("currentModule", 0xFF);
    EXPECT_TRUE(On<QPushButton>("cardMove")->isEnabled());
    EXPECT_TRUE(On<QComboBox>("moveDestination")->isEnabled());
    EXPECT_TRUE(On<QComboBox>("currentModule")->isEnabled());
    for (const char* name : {"cardEject", "cardFlip", "cardFlipMove", "moduleAction",
                             "moveToErrorBin", "keyLock", "keyUnlock", "moduleCardOut"})
        EXPECT_FALSE(On<QPushButton>(name)->isEnabled()) << name;
    EXPECT_FALSE(On<QComboBox>("sensor")->isEnabled());
    EXPECT_FALSE(On<QLineEdit>("distAngle")->isEnabled());

    Pick("currentModule", 0x10);
    for (const char* name : {"cardEject", "cardFlip", "cardFlipMove", "moduleAction"})
        EXPECT_TRUE(On<QPushButton>(name)->isEnabled()) << name;
    EXPECT_FALSE(On<QPushButton>("keyLock")->isEnabled()) << "only at the printer";
    Pick("currentModule", 0x40);
    EXPECT_TRUE(On<QPushButton>("keyLock")->isEnabled());
    EXPECT_TRUE(On<QPushButton>("keyUnlock")->isEnabled());
}

TEST_F(MovePageTest, NothingMovesWithoutAConnection) {
    Connected();
    ReleasePoll();
    Click("connect");  // disconnect
    ASSERT_EQ(Find<QPushButton>("connect")->text(), QStringLiteral("Connect"));
    for (const char* name : {"cardMove", "cardEject", "cardFlip", "moduleAction", "keyLock"})
        EXPECT_FALSE(On<QPushButton>(name)->isEnabled()) << name;
    EXPECT_FALSE(On<QComboBox>("currentModule")->isEnabled());
    EXPECT_FALSE(On<QComboBox>("ejectDestination")->isEnabled());
}

TEST_F(MovePageTest, SensorRowForModulesOptionRowForFlippers) {
    Connected();
    Pick("currentModule", 0x40);
    EXPECT_FALSE(On<QComboBox>("sensor")->isHidden());
    EXPECT_FALSE(On<QLabel>("sensorLabel")->isHidden());
    EXPECT_TRUE(On<QLabel>("optionLabel")->isHidden());
    EXPECT_TRUE(On<QCheckBox>("option20")->isHidden());
    Pick("currentModule", 0x61);
    EXPECT_TRUE(On<QComboBox>("sensor")->isHidden());
    EXPECT_FALSE(On<QLabel>("optionLabel")->isHidden());
    for (const char* name :
         {"option80", "option40", "option20", "option10", "option08", "option04", "option02"})
        EXPECT_FALSE(On<QCheckBox>(name)->isHidden()) << name;
    EXPECT_EQ(On<QCheckBox>("option80")->text(), QStringLiteral("Rotate Angle"));
    EXPECT_EQ(On<QCheckBox>("option02")->text(), QStringLiteral("Center Sensor"));
}

TEST_F(MovePageTest, RecordingLeavesOnlyMoveAndEject) {
    Connected();
    window->SetMacroRecording(1);
    Pick("currentModule", 0x61);
    EXPECT_TRUE(On<QPushButton>("cardMove")->isEnabled());
    EXPECT_TRUE(On<QPushButton>("cardEject")->isEnabled());
    for (const char* name : {"cardFlip", "cardFlipMove", "moduleAction", "moveToErrorBin"})
        EXPECT_FALSE(On<QPushButton>(name)->isEnabled()) << name;
    EXPECT_TRUE(On<QLabel>("optionLabel")->isHidden());
    EXPECT_TRUE(On<QComboBox>("sensor")->isHidden());
    Pick("currentModule", 0x40);
    EXPECT_FALSE(On<QPushButton>("keyLock")->isEnabled());
}

TEST_F(MovePageTest, ExclusiveOptionPairs) {
    Connected();
    Pick("currentModule", 0x61);
    auto* vert = On<QCheckBox>("option20");
    auto* horz = On<QCheckBox>("option10");
    auto* scan = On<QCheckBox>("option04");
    auto* centre = On<QCheckBox>("option02");
    auto* rotate = On<QCheckBox>("option80");
    QTest::mouseClick(vert, Qt::LeftButton);
    QTest::mouseClick(rotate, Qt::LeftButton);
    QTest::mouseClick(horz, Qt::LeftButton);
    EXPECT_TRUE(horz->isChecked());
    EXPECT_FALSE(vert->isChecked()) << "Horz. after Vert. leaves only Horz.";
    QTest::mouseClick(centre, Qt::LeftButton);
    QTest::mouseClick(scan, Qt::LeftButton);
    EXPECT_TRUE(scan->isChecked());
    EXPECT_FALSE(centre->isChecked());
    EXPECT_TRUE(rotate->isChecked()) << "the other boxes are independent";
    EXPECT_TRUE(horz->isChecked());
}

TEST_F(MovePageTest, PageRendersConnected) {
    Connected();
    window->resize(1100, 800);
    QCoreApplication::processEvents();
    const QImage image = page->grab().toImage();
    ASSERT_FALSE(image.isNull());
    EXPECT_GT(image.width(), 300);
    // Set HALVARD_GRAB_DIR to keep a picture of the page for a look.
    if (const QString dir = qEnvironmentVariable("HALVARD_GRAB_DIR"); !dir.isEmpty()) {
        EXPECT_TRUE(image.save(QDir(dir).filePath(QStringLiteral("move_page.png"))));
    }
}

}  // namespace
}  // namespace halvard::test
