// The IC and RF pages inside the real main window: filled on "Connect", reached by the keyboard,
// every input named by its label, and their log lines in the main log box.

#include <QLabel>
#include <QPlainTextEdit>

#include "CSubDlgIC.h"
#include "CSubDlgRF.h"
#include "page_ids.h"
#include "testbench_fixture.h"

namespace halvard::test {
namespace {

class ChipPagesWindow : public TestBenchTest {
protected:
    // Connects the first device and selects the tab titled `title`; returns its page.
    CSubDlgBase* ShowTab(const char* title) {
        auto* tabs = Find<QTabBar>("tabs");
        for (int i = 0; i < tabs->count(); ++i)
            if (tabs->tabText(i) == QLatin1String(title))
                tabs->setCurrentIndex(i);
        CSubDlgBase* page = window->SelectedPage();
        EXPECT_NE(page, nullptr);
        EXPECT_EQ(page->Title(), QLatin1String(title));
        return page;
    }
    QString Log() { return Find<QPlainTextEdit>("log")->toPlainText(); }
};

TEST_F(ChipPagesWindow, ConnectFillsBothPagesFromTheDevice) {
    Open();
    ConnectFirst();
    CSubDlgBase* ic = ShowTab("IC");
    auto* icModules = ic->findChild<QComboBox*>(QStringLiteral("currentModule"));
    auto* icReaders = ic->findChild<QComboBox*>(QStringLiteral("reader"));
    ASSERT_TRUE(icModules && icReaders);
    EXPECT_EQ(icModules->itemText(0), QStringLiteral("Flipper [61]"));
    EXPECT_EQ(icReaders->count(), 2);

    CSubDlgBase* rf = ShowTab("RF");
    auto* rfReaders = rf->findChild<QComboBox*>(QStringLiteral("reader"));
    ASSERT_NE(rfReaders, nullptr);
    EXPECT_EQ(rfReaders->itemText(1), QStringLiteral("Halvard Contactless Reader 1"));

    Click("connect");  // disconnect
    EXPECT_EQ(icReaders->count(), 0);
    EXPECT_EQ(rfReaders->count(), 0);
}

TEST_F(ChipPagesWindow, InputsAreLabelledAndTabbedInReadingOrder) {
    Open();
    struct Case {
        int page;
        QStringList order;  // object names, in reading order
    };
    const Case cases[] = {
        {page_id::kIC, Texts({"currentModule", "reader", "moveIcPosition", "restorePosition",
                              "headDown", "headUp", "powerOn", "powerOff", "atr"})},
        {page_id::kRF, Texts({"currentModule", "reader", "moveRfPosition", "restorePosition",
                              "powerOn", "powerOff", "atr", "getUid", "uid", "auth", "key", "side",
                              "block", "writeBlock", "writeData", "readBlock", "readData"})},
    };
    for (const Case& c : cases) {
        CSubDlgBase* page = PageOf(c.page);
        ASSERT_NE(page, nullptr);
        SCOPED_TRACE(page->Title().toStdString());
        for (QWidget* input : page->findChildren<QWidget*>()) {
            if (!qobject_cast<QLineEdit*>(input) && !qobject_cast<QComboBox*>(input))
                continue;
            bool labelled = !input->accessibleName().isEmpty();
            for (QLabel* label : page->findChildren<QLabel*>())
                labelled = labelled || label->buddy() == input;
            EXPECT_TRUE(labelled) << input->objectName().toStdString();
        }
        // Following the focus chain from the first control meets them in order.
        QStringList met;
        QWidget* w = page->findChild<QWidget*>(c.order[0]);
        ASSERT_NE(w, nullptr);
        for (int guard = 0; w != nullptr && guard < 200 && met.size() < c.order.size(); ++guard) {
            if (c.order.contains(w->objectName()) && !met.contains(w->objectName()))
                met << w->objectName();
            w = w->nextInFocusChain();
        }
        EXPECT_EQ(met, c.order);
    }
}

TEST_F(ChipPagesWindow, KeyboardPressesACommandAndItsLinesReachTheLog) {
    Open();
    ConnectFirst();
    CSubDlgBase* rf = ShowTab("RF");
    auto* getUid = rf->findChild<QPushButton*>(QStringLiteral("getUid"));
    ASSERT_NE(getUid, nullptr);
    getUid->setFocus();
    QTest::keyClick(getUid, Qt::Key_Space);
    // No field on yet: the reader refuses, and Get UID only logs it.
    EXPECT_TRUE(Log().endsWith(QStringLiteral("> RF_GET_UID ... Failed (0x80000343)\n")))
        << Log().toStdString();
    EXPECT_TRUE(ui.messages.isEmpty());

    CSubDlgBase* ic = ShowTab("IC");
    auto* powerOn = ic->findChild<QPushButton*>(QStringLiteral("powerOn"));
    powerOn->setFocus();
    QTest::keyClick(powerOn, Qt::Key_Space);
    EXPECT_TRUE(Log().endsWith(QStringLiteral("> IC_POWER_ON (mod:61) ... Failed (0x80000341)\n")));
    EXPECT_EQ(BoxTexts(), QStringList{QStringLiteral("Failed - error : 0x80000341")});
}

}  // namespace
}  // namespace halvard::test
