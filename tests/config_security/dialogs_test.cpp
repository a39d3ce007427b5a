// The security and identity dialogs on their own: what the technician can type, when OK may be
// pressed and what each dialog hands back.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>

#include "CAskHeadResisterDlg.h"
#include "CChangePrinterIDDlg.h"
#include "CChangeSerialDlg.h"
#include "CMagAuthKeyDlg.h"
#include "CPWDlg.h"
#include "CUserPWDlg.h"
#include "head_resistor_memo.h"
#include "recording.h"

using namespace halvard::test;
namespace mb = halvard::mb;

namespace {

QPushButton* Ok(QDialog& d) {
    return Field<QPushButton>(d, "ok");
}

// ---- "Enter Password", change mode ----

TEST(RootPasswordDialog, OkFollowsTheNewPasswordAndItsConfirmation) {
    CPWDlg dialog(CPWDlg::ChangeMode, QStringLiteral("1234"));
    dialog.show();
    QLineEdit* current = Field(dialog, "password");
    EXPECT_FALSE(current->isEnabled());
    EXPECT_EQ(current->text(), QStringLiteral("1234"));
    EXPECT_TRUE(Ok(dialog)->isEnabled()) << "OK is enabled when the dialog opens";

    Type(dialog, "newPassword", QStringLiteral("5678"));
    EXPECT_FALSE(Ok(dialog)->isEnabled());
    Type(dialog, "confirm", QStringLiteral("567"));
    EXPECT_FALSE(Ok(dialog)->isEnabled());
    Type(dialog, "confirm", QStringLiteral("8"));
    EXPECT_TRUE(Ok(dialog)->isEnabled());

    EXPECT_EQ(ClickOk(dialog), QDialog::Accepted);
    EXPECT_EQ(dialog.NewPassword(), QStringLiteral("5678"));
    EXPECT_EQ(dialog.CurrentPassword(), QStringLiteral("1234"));
}

TEST(RootPasswordDialog, NewPasswordEqualToTheCurrentOneKeepsOkDisabled) {
    CPWDlg dialog(CPWDlg::ChangeMode, QStringLiteral("1234"));
    dialog.show();
    Type(dialog, "newPassword", QStringLiteral("1234"));
    Type(dialog, "confirm", QStringLiteral("1234"));
    EXPECT_FALSE(Ok(dialog)->isEnabled());
    Type(dialog, "newPassword", QStringLiteral("123456789"));
    EXPECT_EQ(Field(dialog, "newPassword")->text(), QStringLiteral("12341234"))
        << "passwords are limited to 8 characters";
}

// ---- "Enter Password" for the user password ----

TEST(UserPasswordDialog, OkWhileNewAndConfirmAgreeEvenWhenEmpty) {
    CUserPWDlg dialog;
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Enter Password"));
    EXPECT_TRUE(Ok(dialog)->isEnabled());
    Type(dialog, "userOrRootPassword", QStringLiteral("0000"));
    Type(dialog, "newUserPassword", QStringLiteral("ab"));
    EXPECT_FALSE(Ok(dialog)->isEnabled());
    Type(dialog, "confirm", QStringLiteral("a"));
    EXPECT_FALSE(Ok(dialog)->isEnabled());
    Type(dialog, "confirm", QStringLiteral("b"));
    EXPECT_TRUE(Ok(dialog)->isEnabled());

    // Both emptied again: equal, so OK.
    for (const char* name : {"newUserPassword", "confirm"}) {
        QTest::keyClick(Field(dialog, name), Qt::Key_Backspace);
        QTest::keyClick(Field(dialog, name), Qt::Key_Backspace);
    }
    EXPECT_TRUE(Field(dialog, "confirm")->text().isEmpty());
    EXPECT_TRUE(Ok(dialog)->isEnabled());
    EXPECT_EQ(ClickOk(dialog), QDialog::Accepted);
    EXPECT_EQ(dialog.Password(), QStringLiteral("0000"));
    EXPECT_EQ(dialog.NewUserPassword(), QString());
}

TEST(UserPasswordDialog, FieldsArePasswordStyleWithoutLengthLimit) {
    CUserPWDlg dialog;
    for (const char* name : {"userOrRootPassword", "newUserPassword", "confirm"}) {
        QLineEdit* edit = Field(dialog, name);
        EXPECT_EQ(edit->echoMode(), QLineEdit::Password) << name;
        Type(dialog, name, QStringLiteral("0123456789AB"));
        EXPECT_EQ(edit->text().size(), 12) << name;
    }
}

// ---- "Change Printer ID" ----

class PrinterIdDialog : public ::testing::Test {
protected:
    MessageRecorder messages;
    CChangePrinterIDDlg dialog{QStringLiteral("PRN01")};
    void SetUp() override { dialog.show(); }
};

TEST_F(PrinterIdDialog, ForbiddenCharactersAreRefusedAndTheDialogStaysOpen) {
    for (const char* id : {"A:1", "A[1", "A]1"}) {
        Field(dialog, "changeId")->clear();
        Type(dialog, "changeId", QString::fromLatin1(id));
        messages.shown.clear();
        EXPECT_EQ(ClickOk(dialog), kStillOpen) << id;
        ASSERT_EQ(messages.shown.size(), 1) << id;
        EXPECT_EQ(messages.shown[0].text,
                  QStringLiteral("Printer ID cannot contain ':[]' characters."));
        EXPECT_EQ(messages.shown[0].style & mb::kIconMask, mb::kIconInformation);
        EXPECT_EQ(Field(dialog, "changeId")->text(), QString::fromLatin1(id)) << "text unchanged";
    }
}

TEST_F(PrinterIdDialog, EightCharactersAreAcceptedAndANinthCannotBeTyped) {
    EXPECT_EQ(Field(dialog, "currentId")->text(), QStringLiteral("PRN01"));
    EXPECT_TRUE(Field(dialog, "currentId")->isReadOnly());
    Type(dialog, "changeId", QStringLiteral("ABCDEFGHI"));
    EXPECT_EQ(Field(dialog, "changeId")->text(), QStringLiteral("ABCDEFGH"));
    EXPECT_EQ(ClickOk(dialog), QDialog::Accepted);
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_EQ(dialog.NewId(), QStringLiteral("ABCDEFGH"));
}

TEST_F(PrinterIdDialog, EnterInTheNewIdIsIgnoredAndCancelIsTheDefault) {
    Type(dialog, "changeId", QStringLiteral("X1"));
    QTest::keyClick(Field(dialog, "changeId"), Qt::Key_Return);
    QTest::keyClick(Field(dialog, "changeId"), Qt::Key_Enter);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(Field<QPushButton>(dialog, "cancel")->isDefault());
    EXPECT_FALSE(Ok(dialog)->isDefault());
    for (const char* name : {"currentId", "changeId"})
        EXPECT_FALSE(Field(dialog, name)->testAttribute(Qt::WA_InputMethodEnabled)) << name;
}

// ---- Magnetic encryption key ----

TEST(MagneticKeyDialog, TakesAtMostSixteenCharacters) {
    CMagAuthKeyDlg dialog;
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Dialog"));
    EXPECT_NE(dialog.findChild<QLabel*>()->text().indexOf(
                  QStringLiteral("Write Magnetic Encryption Key")),
              -1);
    Type(dialog, "key", QStringLiteral("ABCDEFGHIJKLMNOPQRST"));
    EXPECT_EQ(ClickOk(dialog), QDialog::Accepted);
    EXPECT_EQ(dialog.Key(), QStringLiteral("ABCDEFGHIJKLMNOP"));
    EXPECT_TRUE(Field<QPushButton>(dialog, "cancel")->isDefault());
    EXPECT_FALSE(Field(dialog, "key")->testAttribute(Qt::WA_InputMethodEnabled));
}

// ---- "Change Head Dialog" ----

HeadChange Preset() {
    return {QStringLiteral("HV01"), QStringLiteral("TH-1"), QStringLiteral("480"), true};
}

TEST(HeadDialog, SerialRowShowsOnlyWithTheFlag) {
    CChangeSerialDlg hidden(Preset());
    hidden.show();
    EXPECT_FALSE(Field(hidden, "serial")->isVisible());
    EXPECT_FALSE(Field(hidden, "serial")->property("visible").toBool());
    EXPECT_TRUE(Field(hidden, "headSerial")->isVisible());
    EXPECT_TRUE(Field<QCheckBox>(hidden, "resetUserIssueCount")->isChecked());

    CChangeSerialDlg shown(Preset(), true);
    shown.show();
    EXPECT_TRUE(Field(shown, "serial")->isVisible());
    EXPECT_EQ(Field(shown, "serial")->text(), QStringLiteral("HV01"));
    EXPECT_GT(shown.height(), hidden.height()) << "the dialog shrinks without the serial row";
}

TEST(HeadDialog, OkAsksForConfirmationAndCancelThereReturnsToTheDialog) {
    MessageRecorder messages;
    CChangeSerialDlg dialog(Preset());
    dialog.show();
    Field(dialog, "headSerial")->setText(QStringLiteral("TH-2"));
    messages.answers = {mb::kIdCancel};
    EXPECT_EQ(ClickOk(dialog), kStillOpen);
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].text, QStringLiteral("Are you sure?"));
    EXPECT_EQ(messages.shown[0].caption, QStringLiteral("Confirm"));
    EXPECT_EQ(messages.shown[0].style, mb::kOkCancel | mb::kIconInformation);

    QTest::mouseClick(Field<QCheckBox>(dialog, "resetUserIssueCount"), Qt::LeftButton);
    EXPECT_EQ(ClickOk(dialog), QDialog::Accepted);
    EXPECT_EQ(dialog.Values().serial, QStringLiteral("HV01"))
        << "hidden serial comes back unchanged";
    EXPECT_EQ(dialog.Values().headSerial, QStringLiteral("TH-2"));
    EXPECT_EQ(dialog.Values().headResister, QStringLiteral("480"));
    EXPECT_FALSE(dialog.Values().resetUserCounts);
}

TEST(HeadDialog, EnterStepsToTheNextControlInsteadOfClosing) {
    MessageRecorder messages;
    CChangeSerialDlg dialog(Preset());
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    Field(dialog, "headSerial")->setFocus();
    QTest::keyClick(Field(dialog, "headSerial"), Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), Field(dialog, "headResister"));
    QTest::keyClick(Field(dialog, "headResister"), Qt::Key_Enter);
    EXPECT_EQ(QApplication::focusWidget(), Field<QCheckBox>(dialog, "resetUserIssueCount"));
    QTest::keyClick(Field<QCheckBox>(dialog, "resetUserIssueCount"), Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), Ok(dialog));
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(messages.shown.isEmpty());
}

// What the main window does with a confirmed change, on a recording page.
struct RecordingPage {
    QString serial, headSerial, headResister;
    int resets = 0;
    void SetSerialText(const QString& t) { serial = t; }
    void SetHeadSerialText(const QString& t) { headSerial = t; }
    void SetHeadResisterText(const QString& t) { headResister = t; }
    void ResetUserCounters() { ++resets; }
};

TEST(HeadChangeApply, CountersResetOnlyWhenTickedAndMemoOnlyFromANumber) {
    RecordingPage page;
    headResistorMemo = 470;
    ApplyHeadChange({QStringLiteral("S"), QStringLiteral("H"), QStringLiteral("abc"), false}, page);
    EXPECT_EQ(page.resets, 0);
    EXPECT_EQ(page.headResister, QStringLiteral("abc"));
    EXPECT_EQ(headResistorMemo, 470);

    ApplyHeadChange({QStringLiteral("S"), QStringLiteral("H"), QStringLiteral(" 512 Ohm"), true},
                    page);
    EXPECT_EQ(page.resets, 1);
    EXPECT_EQ(page.serial, QStringLiteral("S"));
    EXPECT_EQ(page.headSerial, QStringLiteral("H"));
    EXPECT_EQ(headResistorMemo, 512);
}

// ---- "Enter Head Resister Value" ----

TEST(HeadResisterDialog, ShowsTheMemoAndStoresOnlyNumbers) {
    headResistorMemo = 470;
    {
        CAskHeadResisterDlg dialog;
        dialog.show();
        QLineEdit* edit = Field(dialog, "headResister");
        EXPECT_EQ(edit->text(), QStringLiteral("470"));
        EXPECT_TRUE(edit->alignment() & Qt::AlignRight);
        edit->selectAll();
        QTest::keyClicks(edit, QStringLiteral("abc"));
        EXPECT_EQ(ClickOk(dialog), QDialog::Accepted);
        EXPECT_EQ(headResistorMemo, 470);
    }
    {
        CAskHeadResisterDlg dialog;
        dialog.show();
        Field(dialog, "headResister")->setText(QStringLiteral("-38"));
        EXPECT_EQ(ClickOk(dialog), QDialog::Accepted);
        EXPECT_EQ(headResistorMemo, -38);
    }
    {
        CAskHeadResisterDlg dialog;
        dialog.show();
        Field(dialog, "headResister")->setText(QStringLiteral("999"));
        EXPECT_EQ(Click(dialog, "cancel"), QDialog::Rejected);
        EXPECT_EQ(headResistorMemo, -38);
    }
}

TEST(ScanDecimal, ReadsLikePercentD) {
    EXPECT_EQ(ScanDecimal(QStringLiteral("  42")), 42);
    EXPECT_EQ(ScanDecimal(QStringLiteral("+7")), 7);
    EXPECT_EQ(ScanDecimal(QStringLiteral("-3xyz")), -3);
    EXPECT_EQ(ScanDecimal(QStringLiteral("2147483647")), 2147483647);
    EXPECT_EQ(ScanDecimal(QStringLiteral("-2147483648")), -2147483647 - 1);
    EXPECT_FALSE(ScanDecimal(QStringLiteral("abc")));
    EXPECT_FALSE(ScanDecimal(QString()));
    EXPECT_FALSE(ScanDecimal(QStringLiteral("-")));
    EXPECT_FALSE(ScanDecimal(QStringLiteral("x12")));
    EXPECT_FALSE(ScanDecimal(QStringLiteral("2147483648"))) << "out of range is not taken";
}

}  // namespace
