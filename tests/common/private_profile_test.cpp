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
    QString path = Write("[N]\na=42\nb=  -17xyz\nc=abc\nd=+8\ne=\nf=4294967297\n");
    auto num = [&](const char* key) {
        return PrivateProfile::ReadInt(path, QStringLiteral("N"), QLatin1String(key), 99);
    };
    EXPECT_EQ(num("a"), 42);
    EXPECT_EQ(num("b"), -17);
    EXPECT_EQ(num("c"), 0);
    EXPECT_EQ(num("d"), 8);
    EXPECT_EQ(num("e"), 0);
    EXPECT_EQ(num("f"), 1);  // wraps in 32 bits
    EXPECT_EQ(num("missing"), 99);
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
