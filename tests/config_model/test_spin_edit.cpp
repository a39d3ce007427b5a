#include "CSpinEdit.h"

#include <QDialog>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <limits>
#include <memory>

#include "CSpinWnd.h"

namespace {

// A dialog with a default button, the spin edit and a second field to move the focus to.
class SpinEditTest : public ::testing::Test {
protected:
    void SetUp() override {
        dialog = std::make_unique<QDialog>();
        auto* layout = new QVBoxLayout(dialog.get());
        edit = new CSpinEdit(dialog.get());
        edit->setControlId(17);
        other = new QLineEdit(dialog.get());
        okButton = new QPushButton(QStringLiteral("OK"), dialog.get());
        okButton->setDefault(true);
        layout->addWidget(edit);
        layout->addWidget(other);
        layout->addWidget(okButton);
        dialog->show();
        dialog->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    }

    // Focus into the edit with the owner's flags settled, as after the page showed a value.
    void focusEdit() {
        edit->setFocus();
        ASSERT_TRUE(edit->hasFocus());
        edit->setText(QStringLiteral("0"));
        edit->setText(QString());
        edit->clearPendingNotice();
    }

    void leaveEdit() {
        other->setFocus();
        ASSERT_TRUE(other->hasFocus());
    }

    std::unique_ptr<QDialog> dialog;
    CSpinEdit* edit = nullptr;
    QLineEdit* other = nullptr;
    QPushButton* okButton = nullptr;
};

}  // namespace

TEST_F(SpinEditTest, DefaultsAndAlignment) {
    EXPECT_EQ(edit->minimum(), -65536);
    EXPECT_EQ(edit->maximum(), 65535);
    EXPECT_EQ(edit->step(), 1);
    EXPECT_EQ(edit->decimals(), 0);
    EXPECT_FALSE(edit->wrap());
    EXPECT_TRUE(edit->pendingNotice());
    EXPECT_TRUE(edit->alignment() & Qt::AlignRight);
    EXPECT_FALSE(edit->alignment() & Qt::AlignHCenter);
}

TEST_F(SpinEditTest, StepAtMaximumStopsOrWraps) {
    QSignalSpy committed(edit, &CSpinEdit::valueCommitted);
    edit->setRange(150, 300);
    edit->setValue(300);
    QTest::keyClick(edit, Qt::Key_Up);
    EXPECT_EQ(edit->value(), 300);
    EXPECT_EQ(edit->text(), QStringLiteral("300 "));
    ASSERT_EQ(committed.count(), 1);
    EXPECT_EQ(committed.first().first().toInt(), 17);

    edit->setWrap(true);
    QTest::keyClick(edit, Qt::Key_Up);
    EXPECT_EQ(edit->value(), 150);
    QTest::keyClick(edit, Qt::Key_Down);
    EXPECT_EQ(edit->value(), 300);
    EXPECT_EQ(committed.count(), 3);
}

TEST_F(SpinEditTest, StepAndButtonChangeTheValueWithTrailingBlank) {
    QSignalSpy committed(edit, &CSpinEdit::valueCommitted);
    QSignalSpy changed(edit, &CSpinEdit::changed);
    edit->setRange(0, 100);
    edit->setStep(5);
    edit->setValue(10);
    changed.clear();
    QTest::mouseClick(edit->spinButton()->upButton(), Qt::LeftButton);
    EXPECT_EQ(edit->text(), QStringLiteral("15 "));
    QTest::mouseClick(edit->spinButton()->downButton(), Qt::LeftButton);
    QTest::mouseClick(edit->spinButton()->downButton(), Qt::LeftButton);
    EXPECT_EQ(edit->text(), QStringLiteral("5 "));
    EXPECT_EQ(committed.count(), 3);
    // An arrow press reaches the owner as a normal change even while the edit has the focus.
    focusEdit();
    changed.clear();
    QTest::keyClick(edit, Qt::Key_Down);
    EXPECT_EQ(edit->text(), QStringLiteral("0 "));
    EXPECT_EQ(changed.count(), 1);
    QTest::keyClick(edit, Qt::Key_Down);  // at the minimum, unchanged text
    EXPECT_EQ(edit->value(), 0);
    EXPECT_EQ(changed.count(), 2);
}

TEST_F(SpinEditTest, StepAtThe32BitLimitsDoesNotOverflow) {
    constexpr int kMax = std::numeric_limits<int>::max();
    constexpr int kMin = std::numeric_limits<int>::min();
    edit->setRange(kMin, kMax);
    edit->setValue(kMax);
    edit->stepBy(1);
    EXPECT_EQ(edit->value(), kMax);
    edit->setValue(kMin);
    edit->stepBy(-1);
    EXPECT_EQ(edit->value(), kMin);
    edit->setWrap(true);
    edit->stepBy(-1);
    EXPECT_EQ(edit->value(), kMax);
    edit->stepBy(1);
    EXPECT_EQ(edit->value(), kMin);
}

TEST_F(SpinEditTest, TypingThenLeavingCommitsOnce) {
    QSignalSpy committed(edit, &CSpinEdit::valueCommitted);
    QSignalSpy changed(edit, &CSpinEdit::changed);
    focusEdit();
    changed.clear();
    QTest::keyClicks(edit, QStringLiteral("12ab"));
    EXPECT_EQ(changed.count(), 0);  // typing is not reported keystroke by keystroke
    EXPECT_TRUE(edit->pendingNotice());
    EXPECT_EQ(committed.count(), 0);
    leaveEdit();
    ASSERT_EQ(committed.count(), 1);
    EXPECT_EQ(committed.first().first().toInt(), 17);
    EXPECT_EQ(edit->value(), 12);
    // Passing through the field again without a change owes nothing.
    edit->setFocus();
    leaveEdit();
    EXPECT_EQ(committed.count(), 1);
}

TEST_F(SpinEditTest, ProgrammaticValueIsOwedOnLeaving) {
    QSignalSpy committed(edit, &CSpinEdit::valueCommitted);
    focusEdit();
    edit->setValue(3);
    EXPECT_TRUE(edit->pendingNotice());
    leaveEdit();
    EXPECT_EQ(committed.count(), 1);
    edit->setFocus();
    edit->setValue(4);
    edit->clearPendingNotice();
    leaveEdit();
    EXPECT_EQ(committed.count(), 1);
}

TEST_F(SpinEditTest, ProgrammaticTextReachesOwnerAsChange) {
    QSignalSpy changed(edit, &CSpinEdit::changed);
    QSignalSpy committed(edit, &CSpinEdit::valueCommitted);
    edit->setText(QStringLiteral("42"));
    EXPECT_EQ(changed.count(), 1);
    edit->setValue(7);
    EXPECT_EQ(changed.count(), 2);
    // Also while the field has the focus: only typing is held back.
    edit->setFocus();
    ASSERT_TRUE(edit->hasFocus());
    edit->setText(QStringLiteral("8"));
    EXPECT_EQ(changed.count(), 3);
    QTest::keyClicks(edit, QStringLiteral("9"));
    EXPECT_EQ(changed.count(), 3);
    EXPECT_EQ(edit->value(), 89);
    EXPECT_EQ(committed.count(), 0);
}

TEST_F(SpinEditTest, EnterCommitsAndIsConsumed) {
    QSignalSpy committed(edit, &CSpinEdit::valueCommitted);
    QSignalSpy clicked(okButton, &QPushButton::clicked);
    focusEdit();
    QTest::keyClicks(edit, QStringLiteral("25"));
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(committed.count(), 1);
    EXPECT_EQ(clicked.count(), 0);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), 0);
    QTest::keyClick(edit, Qt::Key_Enter);
    EXPECT_EQ(committed.count(), 2);
    EXPECT_EQ(clicked.count(), 0);
    // Enter paid the notice: leaving does not repeat it.
    leaveEdit();
    EXPECT_EQ(committed.count(), 2);
    EXPECT_EQ(edit->value(), 25);
}

TEST_F(SpinEditTest, TabReportsChangeAndMovesFocusOn) {
    QSignalSpy changed(edit, &CSpinEdit::changed);
    QSignalSpy committed(edit, &CSpinEdit::valueCommitted);
    focusEdit();
    changed.clear();
    QTest::keyClicks(edit, QStringLiteral("5"));
    EXPECT_EQ(changed.count(), 0);
    QTest::keyClick(edit, Qt::Key_Tab);
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(committed.count(), 1);  // typed before: the notice is owed on leaving
    EXPECT_TRUE(other->hasFocus());
    EXPECT_EQ(edit->text(), QStringLiteral("5"));
}

TEST_F(SpinEditTest, ParsingRules) {
    edit->setRange(0, 10);
    edit->setText(QStringLiteral("-7"));
    EXPECT_EQ(edit->value(), 0);
    edit->setText(QStringLiteral("+7"));
    EXPECT_EQ(edit->value(), 7);
    edit->setText(QStringLiteral("x 8y9"));  // leading junk skipped, the number ends at y
    EXPECT_EQ(edit->value(), 8);
    edit->setRange(5, 10);
    edit->setText(QString());
    EXPECT_EQ(edit->value(), 0);  // empty: 0, not clamped
    edit->setText(QStringLiteral("abc"));
    EXPECT_EQ(edit->value(), 5);  // no number: 0, clamped
    edit->setRange(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    edit->setText(QStringLiteral("123456789012345678901234567890"));
    EXPECT_EQ(edit->value(), std::numeric_limits<int>::max());
    edit->setText(QStringLiteral("-123456789012345678901234567890"));
    EXPECT_EQ(edit->value(), std::numeric_limits<int>::min());
}

TEST(SpinEditParse, DecimalsAndStates) {
    EXPECT_EQ(CSpinEdit::parseText(u"12.9", 0), 12);
    EXPECT_EQ(CSpinEdit::parseText(u"1.59", 2), 1);
    EXPECT_EQ(CSpinEdit::parseText(u"-3.5", 1), -3);
    EXPECT_EQ(CSpinEdit::parseText(u"27.", 2), 27);
    EXPECT_EQ(CSpinEdit::parseText(u"1.234", 2), 1);
    EXPECT_EQ(CSpinEdit::parseText(u"-", 0), 0);
    EXPECT_EQ(CSpinEdit::parseText(u"--5", 0), 0);  // the second sign ends the number
    EXPECT_EQ(CSpinEdit::parseText(u"99999999999.999999999", 9), 1LL << 33);
    bool empty = false;
    EXPECT_EQ(CSpinEdit::parseText(u"", 0, &empty), 0);
    EXPECT_TRUE(empty);
    CSpinEdit::parseText(u" ", 0, &empty);
    EXPECT_FALSE(empty);
}

TEST_F(SpinEditTest, ButtonSitsOnRightEdgeAndFollowsTheEdit) {
    edit->resize(100, 25);
    const CSpinWnd* button = edit->spinButton();
    EXPECT_EQ(button->buddy(), edit);
    EXPECT_EQ(button->width(), 25 * 3 / 5);
    EXPECT_EQ(button->geometry().right(), edit->rect().right());
    EXPECT_EQ(button->height(), 25);
    EXPECT_FALSE(button->upButton()->focusPolicy() & Qt::TabFocus);
    EXPECT_TRUE(button->isVisible());
    edit->hide();
    EXPECT_FALSE(button->isVisible());
    edit->show();
    EXPECT_TRUE(button->isVisible());
    QPointer<const CSpinWnd> alive(button);
    delete edit;
    EXPECT_TRUE(alive.isNull());
}
