// The settings reader against the kinds of files people write by hand.
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "private_profile.h"

using halvard::PrivateProfile;

namespace {

class ProfileTest : public ::testing::Test {
protected:
    QString Write(const QByteArray& bytes) {
        const QString path = dir.filePath(QStringLiteral("settings.ini"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        return path;
    }
    QString Read(const QString& path, const char* section, const char* key,
                 const char* fallback = "(none)", int capacity = 512) {
        return PrivateProfile::ReadString(path, QLatin1String(section), QLatin1String(key),
                                          QLatin1String(fallback), capacity);
    }
    QTemporaryDir dir;
};

TEST_F(ProfileTest, SectionsAndKeysIgnoreCaseAndBlanks) {
    QString path =
        Write("; comment\r\n[ config ]\r\n  AutoSave =  yes  \r\nSAVEPATH=D:\\Logs\\x\r\n");
    EXPECT_EQ(Read(path, "CONFIG", "AUTOSAVE"), QStringLiteral("yes"));
    EXPECT_EQ(Read(path, "Config", "savepath"), QStringLiteral("D:\\Logs\\x"));
}

TEST_F(ProfileTest, QuotesAreStrippedOnce) {
    QString path = Write("[A]\nk1=\"quoted value\"\nk2='single'\nk3=\"\"twice\"\"\nk4=\"open\n");
    EXPECT_EQ(Read(path, "A", "k1"), QStringLiteral("quoted value"));
    EXPECT_EQ(Read(path, "A", "k2"), QStringLiteral("single"));
    EXPECT_EQ(Read(path, "A", "k3"), QStringLiteral("\"twice\""));
    EXPECT_EQ(Read(path, "A", "k4"), QStringLiteral("\"open"));
}

TEST_F(ProfileTest, MissingFileSectionOrKeyGivesTheFallback) {
    QString path = Write("[A]\nkey=1\n[B]\nother=2\n");
    EXPECT_EQ(Read(dir.filePath(QStringLiteral("none.ini")), "A", "key"), QStringLiteral("(none)"));
    EXPECT_EQ(Read(path, "C", "key"), QStringLiteral("(none)"));
    EXPECT_EQ(Read(path, "B", "key"), QStringLiteral("(none)"));
    EXPECT_EQ(PrivateProfile::ReadInt(path, QStringLiteral("B"), QStringLiteral("key"), 77), 77);
}

TEST_F(ProfileTest, AnEmptyValueIsAValue) {
    QString path = Write("[A]\nkey=\n");
    EXPECT_EQ(Read(path, "A", "key"), QString());
}

TEST_F(ProfileTest, ValuesAreCutToTheBuffer) {
    QString path = Write("[A]\nlong=abcdefghij\n");
    EXPECT_EQ(Read(path, "A", "long", "", 5), QStringLiteral("abcd"));
    EXPECT_EQ(Read(path, "A", "long", "", 1), QString());
    EXPECT_EQ(Read(path, "A", "missing", "fallback", 4), QStringLiteral("fal"));
}

TEST_F(ProfileTest, IntegersReadLikeTheSystemReader) {
    QString path = Write(
        "[N]\na=42\nb=  -17xyz\nc=abc\nd=+8\ne=\nf=4294967297\ng=0x1F\nh=-0x10\ni=0X2a\n"
        "j=0x\nk=0xfFz\nl=\"0x10\"\nm=-\nn=0x-5\no=00x5\n");
    const halvard::PrivateProfile profile(path);
    // e: an empty value gives the default; f: wraps in 32 bits; i: only a lower-case x starts
    // a hexadecimal number.
    const struct {
        const char* key;
        int expected;
    } cases[] = {
        {"a", 42}, {"b", -17}, {"c", 0}, {"d", 8},        {"e", 99},  {"f", 1},
        {"g", 31}, {"h", -16}, {"i", 0}, {"j", 0},        {"k", 255}, {"l", 16},
        {"m", 0},  {"n", 0},   {"o", 0}, {"missing", 99},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(profile.Int(QStringLiteral("N"), QLatin1String(c.key), 99), c.expected) << c.key;
        EXPECT_EQ(PrivateProfile::ReadInt(path, QStringLiteral("n"), QLatin1String(c.key), 99),
                  c.expected)
            << c.key;
    }
}

TEST_F(ProfileTest, KeysBeforeAnySectionBelongToTheEmptySection) {
    QString path = Write("top=1\nk=outside\n[A]\nk=inside\n[]\nlate=2\n");
    EXPECT_EQ(Read(path, "", "top"), QStringLiteral("1"));
    EXPECT_EQ(Read(path, "  ", "k"), QStringLiteral("outside"));
    EXPECT_EQ(Read(path, "A", "top"), QStringLiteral("(none)"));
    EXPECT_EQ(Read(path, "A", "k"), QStringLiteral("inside"));
    // "[]" names the section that already began at the top: it is a second one, never read.
    EXPECT_EQ(Read(path, "", "late"), QStringLiteral("(none)"));
}

TEST_F(ProfileTest, OnlyTheFirstOfTwoSectionsWithOneNameIsRead) {
    QString path = Write("[A]\nk=first\n[B]\nb=1\n[a]\nk=second\nonly=here\n");
    EXPECT_EQ(Read(path, "A", "k"), QStringLiteral("first"));
    EXPECT_EQ(Read(path, "A", "only"), QStringLiteral("(none)"));
    EXPECT_EQ(PrivateProfile::ReadInt(path, QStringLiteral("A"), QStringLiteral("only"), -1), -1);
}

TEST_F(ProfileTest, ADefaultTextLosesItsTrailingBlanks) {
    QString path = Write("[A]\nk=value  \n");
    EXPECT_EQ(Read(path, "A", "missing", "  fall back   "), QStringLiteral("  fall back"));
    EXPECT_EQ(Read(path, "A", "missing", "   "), QString());
    EXPECT_EQ(Read(path, "A", "missing", "tab\t "), QStringLiteral("tab\t"));
    EXPECT_EQ(Read(dir.filePath(QStringLiteral("none.ini")), "A", "k", "x "), QStringLiteral("x"));
}

TEST_F(ProfileTest, AProfileReadsItsFileOnce) {
    QString path = Write("[A]\nk=before\n");
    const halvard::PrivateProfile profile(path);
    Write("[A]\nk=after\n");
    EXPECT_EQ(profile.String(QStringLiteral("A"), QStringLiteral("k"), QString(), 64),
              QStringLiteral("before"));
    EXPECT_EQ(Read(path, "A", "k"), QStringLiteral("after"));
}

TEST_F(ProfileTest, AVeryLongLineIsReadOnceAndCut) {
    QByteArray bytes("[TYPE]\nType-01=");
    bytes.append(QByteArray(16 * 1024 * 1024, 'x'));
    bytes.append("\n[PARAMETER]\n");
    for (int i = 1; i <= 66; ++i)
        bytes.append(
            QStringLiteral("Default-%1=%2\n").arg(i, 2, 10, QLatin1Char('0')).arg(i).toLatin1());
    const halvard::PrivateProfile profile(Write(bytes));
    EXPECT_EQ(profile.String(QStringLiteral("TYPE"), QStringLiteral("Type-01"), QString(), 128),
              QString(127, u'x'));
    for (int i = 1; i <= 66; ++i)
        EXPECT_EQ(profile.Int(QStringLiteral("PARAMETER"),
                              QStringLiteral("Default-%1").arg(i, 2, 10, QLatin1Char('0')), 0),
                  i);
}

TEST_F(ProfileTest, Utf8WithBom) {
    QString path = Write("\xEF\xBB\xBF[Typ]\nType-01=K\xC3\xB6ln\n");
    EXPECT_EQ(Read(path, "Typ", "Type-01"), QStringLiteral("K\u00F6ln"));
}

TEST_F(ProfileTest, Utf16LittleEndianWithBom) {
    const QString text = QStringLiteral("[TYPE]\r\nType-01=Gr\u00FCn\r\n");
    QByteArray bytes("\xFF\xFE", 2);
    bytes.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    QString path = Write(bytes);
    EXPECT_EQ(Read(path, "type", "TYPE-01"), QStringLiteral("Gr\u00FCn"));
}

TEST_F(ProfileTest, LegacyEightBitFileFallsBackToLatin1) {
    QString path = Write("[A]\nname=caf\xE9\n");
    EXPECT_EQ(Read(path, "A", "name"), QStringLiteral("caf\u00E9"));
}

TEST_F(ProfileTest, FirstOccurrenceWins) {
    QString path = Write("[A]\nk=first\nk=second\n[a]\nk=third\n");
    EXPECT_EQ(Read(path, "A", "k"), QStringLiteral("first"));
}

}  // namespace
