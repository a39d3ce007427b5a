// The Move page as the engineer meets it on screen: every caption in full at the window's own
// size, every input named by its label, the keyboard in reading order, and commands that have
// no module to address disabled.

#include <QAbstractButton>

#include "move_page_fixture.h"

namespace halvard::test {
namespace {

// A multi-input hopper with hoppers 1 and 3 fitted, the printer and an output hopper: no
// flipper, nothing to flip or bin.
constexpr const char* kHopperChain = R"({"devices": [{"name": "[USB1] Halvard Card Printer",
    "modules": [{"id": 32, "hoppers": [1, 3]}, {"id": 64}, {"id": 112}]}]})";
// A flipper but no module a card could be given to from it.
constexpr const char* kFlipperOnlyChain = R"({"devices": [{"name": "[USB1] Halvard Card Printer",
    "modules": [{"id": 32, "hoppers": [1]}, {"id": 97}]}]})";

// Texts of the captions (buttons, check boxes, labels) shown on `root` that are narrower than
// they need or reach outside the window.
QStringList CutCaptions(QWidget* root, QWidget* window) {
    QStringList cut;
    const auto check = [&](QWidget* w, const QString& text) {
        if (!w->isVisible() || text.isEmpty())
            return;
        const QRect inWindow(w->mapTo(window, QPoint(0, 0)), w->size());
        if (w->width() < w->sizeHint().width() || !window->rect().contains(inWindow))
            cut << text;
    };
    for (QAbstractButton* button : root->findChildren<QAbstractButton*>())
        check(button, button->text());
    for (QLabel* label : root->findChildren<QLabel*>())
        check(label, label->text());
    return cut;
}

TEST_F(MovePageTest, EveryCaptionShowsInFullAtTheWindowsSize) {
    Connected();
    // The window as it opens: its size is its own, not one the test sets.
    for (int module : {0x61, 0x40, 0x62, 0xFF}) {
        Pick("currentModule", module);
        QCoreApplication::processEvents();
        EXPECT_EQ(CutCaptions(page, window.get()), QStringList()) << "module " << module;
    }
    Pick("currentModule", 0x61);
    QCoreApplication::processEvents();
    EXPECT_FALSE(On<QCheckBox>("option02")->isHidden());
    // The main window's own captions too.
    EXPECT_EQ(CutCaptions(window.get(), window.get()), QStringList());
}

TEST_F(MovePageTest, InputsAreNamedByLabelsAndTheKeyboardReadsInOrder) {
    Connected(kHopperChain);
    QCoreApplication::processEvents();
    // Every shown input has a shown label that names it.
    QStringList unnamed;
    QStringList names;
    const QList<QLabel*> labels = page->findChildren<QLabel*>();
    for (QWidget* input : page->findChildren<QWidget*>()) {
        if (!input->isVisible() ||
            (!qobject_cast<QComboBox*>(input) && !qobject_cast<QLineEdit*>(input)) ||
            qobject_cast<QComboBox*>(input->parentWidget()))
            continue;
        const auto label = std::find_if(labels.begin(), labels.end(), [&](QLabel* l) {
            return l->buddy() == input && l->isVisible() && !l->text().isEmpty();
        });
        if (label == labels.end())
            unnamed << input->objectName();
        else if (input->objectName() == u"hopperLine")
            names << (*label)->text();
    }
    EXPECT_EQ(unnamed, QStringList());
    EXPECT_EQ(names, Texts({"Hopper :"}));

    // Tab walks the page's controls top to bottom, left to right within a row.
    QList<QWidget*> chain;
    for (QWidget* w = page->nextInFocusChain(); w != page; w = w->nextInFocusChain()) {
        if (page->isAncestorOf(w) && w->isVisible() && (w->focusPolicy() & Qt::TabFocus))
            chain << w;
    }
    ASSERT_GT(chain.size(), 10);
    for (qsizetype i = 1; i < chain.size(); ++i) {
        const QPoint a = chain[i - 1]->mapTo(page, chain[i - 1]->rect().center());
        const QPoint b = chain[i]->mapTo(page, chain[i]->rect().center());
        const bool sameRow = std::abs(a.y() - b.y()) <= 4;
        EXPECT_TRUE(sameRow ? b.x() > a.x() : b.y() > a.y())
            << chain[i - 1]->objectName().toStdString() << " before "
            << chain[i]->objectName().toStdString();
    }
}

TEST_F(MovePageTest, CommandsWithoutAModuleToAddressAreDisabledAndSendNothing) {
    struct Case {
        const char* chain;
        bool flip, flipMove, errorBin;
    };
    const Case cases[] = {
        {kHopperChain, false, false, false},
        {kFlipperOnlyChain, true, false, true},
        {nullptr, true, true, true},  // the default chain has all
    };
    for (const Case& c : cases) {
        sim.Fresh(Preset());
        Connected(c.chain);
        const QString which = QString::fromUtf8(c.chain ? c.chain : "default");
        // The card is at the first hopper: the card commands apply in principle.
        ASSERT_TRUE(On<QPushButton>("moduleAction")->isEnabled()) << which.toStdString();
        EXPECT_EQ(On<QPushButton>("cardFlip")->isEnabled(), c.flip) << which.toStdString();
        EXPECT_EQ(On<QComboBox>("flipper")->isEnabled(), c.flip) << which.toStdString();
        EXPECT_EQ(On<QPushButton>("cardFlipMove")->isEnabled(), c.flipMove) << which.toStdString();
        EXPECT_EQ(On<QPushButton>("moveToErrorBin")->isEnabled(), c.errorBin)
            << which.toStdString();
        EXPECT_EQ(On<QComboBox>("errorBin")->isEnabled(), c.errorBin) << which.toStdString();

        if (!c.flipMove) {
            // Reached anyway (not through the disabled buttons), nothing moves: above all the
            // card is not taken in before a flip that cannot happen.
            HoldToken();
            if (!c.flip)
                page->OnCardFlip();
            page->OnCardFlipMove();
            if (!c.errorBin)
                page->OnMoveToErrorBin();
            EXPECT_EQ(CalledExports(), QStringList()) << which.toStdString();
            EXPECT_EQ(page->LastResult(), CSubDlgMove::kBadInput);
            EXPECT_TRUE(boxes.empty());
            Click("release");
        }
        ReleasePoll();
        window.reset();
        HoldPoll();
    }
}

}  // namespace
}  // namespace halvard::test
