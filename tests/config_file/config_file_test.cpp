#include "config_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <climits>
#include <csignal>
#include <future>
#include <map>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace cf = halvard::config_file;

namespace {

using Values = std::array<std::int32_t, cf::kWrittenValueCount>;

// The file layout written out field by field, independent of the writer.
struct Field {
    int offset;
    int size;
};
constexpr Field kMagicField{0, 4};
constexpr Field kVersionField{4, 4};
constexpr Field kN1Field{8, 4};
constexpr Field kN2Field{12, 4};
constexpr Field kSerialField{16, 32};
constexpr Field kHeadSerialField{48, 32};
constexpr Field kFirmwareField{80, 24};
constexpr int kValuesOffset = 104;

void putLe(QByteArray& b, int offset, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        b[offset + i] = static_cast<char>(v >> (8 * i));
    }
}

void putUtf16(QByteArray& b, Field f, const QString& s) {
    for (int i = 0; i < f.size / 2 && i < s.size(); ++i) {
        b[f.offset + 2 * i] = static_cast<char>(s.at(i).unicode() & 0xFF);
        b[f.offset + 2 * i + 1] = static_cast<char>(s.at(i).unicode() >> 8);
    }
}

QByteArray buildFile(std::uint32_t n1, std::uint32_t n2, const QString& serial,
                     const QString& headSerial, const QString& firmware,
                     const std::vector<std::int32_t>& values) {
    QByteArray b(kValuesOffset + 4 * static_cast<int>(values.size()), '\0');
    b.replace(kMagicField.offset, kMagicField.size, "HCV1");
    putLe(b, kVersionField.offset, 1);
    putLe(b, kN1Field.offset, n1);
    putLe(b, kN2Field.offset, n2);
    putUtf16(b, kSerialField, serial);
    putUtf16(b, kHeadSerialField, headSerial);
    putUtf16(b, kFirmwareField, firmware);
    for (std::size_t i = 0; i < values.size(); ++i) {
        putLe(b, kValuesOffset + 4 * static_cast<int>(i), static_cast<std::uint32_t>(values[i]));
    }
    return b;
}

Values sampleValues() {
    Values v{};
    for (int i = 0; i < cf::kWrittenValueCount; ++i) {
        v[i] = (i % 2 ? -1 : 1) * (i * 1000 + 7);
    }
    v[1] = -35;  // Y Start Position as stored (negated)
    v[24] = INT_MIN;
    v[25] = INT_MAX;
    v[23] = 0;
    return v;
}

// What the loader handed over.
struct Recorder {
    QString serial;
    QString headSerial;
    std::map<int, std::int32_t> applied;
    bool serialSeen = false;

    cf::LoadSink sink() {
        return cf::LoadSink{[this](const QString& s) {
                                serial = s;
                                serialSeen = true;
                            },
                            [this](const QString& s) { headSerial = s; },
                            [this](int pos, std::int32_t v) {
                                EXPECT_EQ(applied.count(pos), 0u)
                                    << "position applied twice: " << pos;
                                applied[pos] = v;
                            }};
    }
};

class ConfigFileTest : public ::testing::Test {
protected:
    QString path(const QString& name) const { return m_dir.filePath(name); }
    QString writeRaw(const QString& name, const QByteArray& bytes) const {
        QFile f(path(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path(name);
    }
    static QByteArray readRaw(const QString& p) {
        QFile f(p);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        return f.readAll();
    }

    QTemporaryDir m_dir;
};

}  // namespace

TEST_F(ConfigFileTest, WrittenFileMatchesTheLayoutByteForByte) {
    const Values values = sampleValues();
    const cf::HeaderTexts texts{QStringLiteral("SN-0042"), QStringLiteral("HS-77"),
                                QStringLiteral("V1.02.03")};
    const QString p = path(QStringLiteral("set.hcf"));
    const cf::Result r = cf::write(p, texts, values);
    ASSERT_TRUE(r.ok()) << r.message().toStdString();
    EXPECT_TRUE(r.message().isEmpty());

    const QByteArray expected = buildFile(30, 0, texts.serial, texts.headSerial, texts.firmware,
                                          std::vector<std::int32_t>(values.begin(), values.end()));
    const QByteArray written = readRaw(p);
    EXPECT_EQ(written.size(), 224);
    EXPECT_EQ(written.toHex().toStdString(), expected.toHex().toStdString());
    EXPECT_EQ(cf::encode(texts, values), expected);
}

TEST_F(ConfigFileTest, RoundTripReproducesTextsAndEveryValue) {
    const Values values = sampleValues();
    const QString p = path(QStringLiteral("round.hcf"));
    ASSERT_TRUE(
        cf::write(p, {QStringLiteral("SERIAL"), QStringLiteral("HEAD"), QStringLiteral("FW 3.1  ")},
                  values)
            .ok());
    ASSERT_TRUE(cf::hasMagic(p));

    Recorder rec;
    const cf::LoadResult lr = cf::load(p, rec.sink());
    ASSERT_TRUE(lr.result.ok()) << lr.result.message().toStdString();
    EXPECT_EQ(rec.serial, QStringLiteral("SERIAL"));
    EXPECT_EQ(rec.headSerial, QStringLiteral("HEAD"));
    EXPECT_EQ(lr.firmware, QStringLiteral("FW 3.1  "));
    EXPECT_EQ(lr.appliedCount, 30);
    ASSERT_EQ(rec.applied.size(), 30u);
    for (int i = 0; i < 30; ++i) {
        EXPECT_EQ(rec.applied[i], values[i]) << "position " << i;
    }
}

TEST_F(ConfigFileTest, TextsAreCutToTheirFieldsAndFullFieldsNeedNoTerminator) {
    const QString serial20 = QStringLiteral("ABCDEFGHIJKLMNOPQRST");
    const QString head16 = QStringLiteral("0123456789abcdef");
    const QString firmware14 = QStringLiteral("FIRMWARE-12345");
    const QString p = path(QStringLiteral("long.hcf"));
    ASSERT_TRUE(cf::write(p, {serial20, head16, firmware14}, sampleValues()).ok());

    const QByteArray bytes = readRaw(p);
    ASSERT_EQ(bytes.size(), 224);
    EXPECT_EQ(bytes.mid(kSerialField.offset, kSerialField.size),
              QByteArray(reinterpret_cast<const char*>(serial20.left(16).utf16()), 32));

    Recorder rec;
    const cf::LoadResult lr = cf::load(p, rec.sink());
    ASSERT_TRUE(lr.result.ok());
    EXPECT_EQ(rec.serial, serial20.left(16));
    EXPECT_EQ(rec.headSerial, head16);
    EXPECT_EQ(lr.firmware, firmware14.left(12));
}

TEST_F(ConfigFileTest, ForeignFilesAreRecognisedByTheirFirstFourBytes) {
    EXPECT_FALSE(cf::hasMagic(writeRaw(QStringLiteral("a.bmp"), QByteArray("BM6\0\0\0", 6))));
    EXPECT_FALSE(cf::hasMagic(writeRaw(QStringLiteral("short"), QByteArray("HCV"))));
    EXPECT_FALSE(cf::hasMagic(path(QStringLiteral("missing.hcf"))));
    EXPECT_TRUE(cf::hasMagic(writeRaw(QStringLiteral("magic"), QByteArray("HCV1"))));

    // A full header with the wrong magic gets the type message and applies nothing.
    QByteArray foreign = buildFile(30, 0, QStringLiteral("X"), {}, {}, std::vector<int>(30, 1));
    foreign[3] = '2';
    Recorder rec;
    const cf::LoadResult lr = cf::load(writeRaw(QStringLiteral("v2.hcf"), foreign), rec.sink());
    EXPECT_EQ(lr.result.status, cf::Status::InvalidType);
    EXPECT_EQ(lr.result.message(), QStringLiteral("Invalid Data File Type"));
    EXPECT_FALSE(rec.serialSeen);
    EXPECT_TRUE(rec.applied.empty());
}

TEST_F(ConfigFileTest, TruncatedFilesStopWithTheirMessage) {
    const QByteArray full =
        buildFile(30, 0, QStringLiteral("SN"), QStringLiteral("HS"), QStringLiteral("FW"),
                  std::vector<int>{1,  -2, 3,  -4, 5,  -6, 7,  -8, 9,  -10, 11, 12, 13, 14, 15,
                                   16, 17, 18, 19, 20, 21, 22, 23, 24, 25,  26, 27, 28, 29, 30});
    {
        // 20 bytes: the header is whole, the serial is not.
        Recorder rec;
        const cf::LoadResult lr =
            cf::load(writeRaw(QStringLiteral("20"), full.left(20)), rec.sink());
        EXPECT_EQ(lr.result.status, cf::Status::Corrupted);
        EXPECT_EQ(lr.result.message(), QStringLiteral("File is Coruppted !!!\n\nError No. : 0"));
        EXPECT_FALSE(rec.serialSeen);
    }
    {
        // Header cut short.
        const cf::LoadResult lr = cf::load(writeRaw(QStringLiteral("10"), full.left(10)), {});
        EXPECT_EQ(lr.result.status, cf::Status::Corrupted);
    }
    {
        // Cut inside the firmware text: the two serials are already shown.
        Recorder rec;
        const cf::LoadResult lr =
            cf::load(writeRaw(QStringLiteral("90"), full.left(90)), rec.sink());
        EXPECT_EQ(lr.result.status, cf::Status::Corrupted);
        EXPECT_EQ(rec.serial, QStringLiteral("SN"));
        EXPECT_EQ(rec.headSerial, QStringLiteral("HS"));
        EXPECT_TRUE(rec.applied.empty());
    }
    {
        // Ten values and then half of the eleventh: positions 0 to 9 stay applied.
        Recorder rec;
        const cf::LoadResult lr = cf::load(
            writeRaw(QStringLiteral("ten"), full.left(kValuesOffset + 4 * 10 + 2)), rec.sink());
        EXPECT_EQ(lr.result.status, cf::Status::ReadFailed);
        EXPECT_EQ(lr.result.message(), QStringLiteral("File Read Failed !!!\n\nError No. : 0"));
        EXPECT_EQ(lr.appliedCount, 10);
        ASSERT_EQ(rec.applied.size(), 10u);
        for (int i = 0; i < 10; ++i) {
            EXPECT_EQ(rec.applied[i], (i % 2 ? -1 : 1) * (i + 1));
        }
    }
}

TEST_F(ConfigFileTest, CountsBeyondTheBlockAreRefusedAndSectionTwoIsSkipped) {
    {
        // More positions than the block holds: refused before anything is shown.
        Recorder rec;
        const QByteArray f =
            buildFile(67, 0, QStringLiteral("SN"), {}, {}, std::vector<int>(67, 5));
        const cf::LoadResult lr = cf::load(writeRaw(QStringLiteral("67"), f), rec.sink());
        EXPECT_EQ(lr.result.status, cf::Status::InvalidType);
        EXPECT_FALSE(rec.serialSeen);
        EXPECT_TRUE(rec.applied.empty());
    }
    {
        const QByteArray f = buildFile(0xFFFFFFFFu, 0, {}, {}, {}, {});
        EXPECT_EQ(cf::load(writeRaw(QStringLiteral("huge"), f), {}).result.status,
                  cf::Status::InvalidType);
    }
    {
        // A full block of 66 is accepted.
        Recorder rec;
        std::vector<int> v(66);
        for (int i = 0; i < 66; ++i) {
            v[i] = i * 3;
        }
        const cf::LoadResult lr =
            cf::load(writeRaw(QStringLiteral("66"), buildFile(66, 0, {}, {}, {}, v)), rec.sink());
        EXPECT_TRUE(lr.result.ok());
        ASSERT_EQ(rec.applied.size(), 66u);
        EXPECT_EQ(rec.applied[65], 195);
    }
    {
        // Section 2 is read but never applied; a short section 2 is a read failure.
        std::vector<int> v(33, 9);
        Recorder rec;
        EXPECT_TRUE(
            cf::load(writeRaw(QStringLiteral("n2"), buildFile(30, 3, {}, {}, {}, v)), rec.sink())
                .result.ok());
        EXPECT_EQ(rec.applied.size(), 30u);
        const cf::LoadResult lr =
            cf::load(writeRaw(QStringLiteral("n2s"), buildFile(30, 4, {}, {}, {}, v)), {});
        EXPECT_EQ(lr.result.status, cf::Status::ReadFailed);
        EXPECT_EQ(lr.appliedCount, 30);
        // A huge section-2 count ends at the real end of the data.
        EXPECT_EQ(
            cf::load(writeRaw(QStringLiteral("n2h"), buildFile(30, 0xFFFFFFFFu, {}, {}, {}, v)), {})
                .result.status,
            cf::Status::ReadFailed);
    }
}

// A byte source that counts what the loader asks of it.
class CountingSource final : public cf::ByteSource {
public:
    CountingSource(const QByteArray& bytes)
        : m_inner(bytes.constData(), static_cast<std::size_t>(bytes.size())) {}
    long long read(void* buffer, long long size) override {
        ++reads;
        return m_inner.read(buffer, size);
    }
    long long skip(long long size) override {
        ++skips;
        return m_inner.skip(size);
    }
    int reads = 0;
    int skips = 0;

private:
    cf::MemorySource m_inner;
};

// Section 2 is skipped in one step within the data; a count the data cannot hold ends at once
// with the read failure, every section-1 value applied.
TEST_F(ConfigFileTest, SectionTwoIsSkippedWithinTheDataInOneStep) {
    const std::vector<int> values(30, 4);
    QByteArray bytes = buildFile(30, 0x40000000u, QStringLiteral("SN"), {}, {}, values);
    bytes.append(QByteArray(1 << 20, '\x07'));
    CountingSource source(bytes);
    Recorder rec;
    const cf::LoadResult lr = cf::load(source, rec.sink());
    EXPECT_EQ(lr.result.status, cf::Status::ReadFailed);
    EXPECT_EQ(lr.result.errorNumber, 0);
    EXPECT_EQ(rec.applied.size(), 30u);
    EXPECT_LE(source.reads, 40) << "section 2 was read value by value";

    // The same through a file: a count that fits is skipped, one value more is refused.
    const int fitting = (1 << 20) / 4;
    QByteArray fits = buildFile(30, static_cast<std::uint32_t>(fitting), {}, {}, {}, values);
    fits.append(QByteArray(1 << 20, '\x07'));
    EXPECT_TRUE(cf::load(writeRaw(QStringLiteral("fits.hcf"), fits), {}).result.ok());
    putLe(fits, kN2Field.offset, static_cast<std::uint32_t>(fitting + 1));
    const cf::LoadResult over = cf::load(writeRaw(QStringLiteral("over.hcf"), fits), {});
    EXPECT_EQ(over.result.status, cf::Status::ReadFailed);
    EXPECT_EQ(over.appliedCount, 30);
}

// Only regular files are opened: a pipe would hold the caller until some writer came, a
// device is no data file. A call still waiting after a generous bound is released by opening
// the pipe's other end, and fails the test.
TEST_F(ConfigFileTest, PipesAndDevicesAreNeverOpened) {
    const QString pipe = path(QStringLiteral("pipe.hcf"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const auto finishesAtOnce = [&](auto call) {
        auto done = std::async(std::launch::async, call);
        if (done.wait_for(std::chrono::seconds(10)) == std::future_status::ready)
            return true;
        const int writer = ::open(QFile::encodeName(pipe).constData(), O_WRONLY | O_NONBLOCK);
        done.wait();
        if (writer >= 0)
            ::close(writer);
        return false;
    };
    EXPECT_TRUE(finishesAtOnce([&] { EXPECT_FALSE(cf::hasMagic(pipe)); }));
    EXPECT_TRUE(finishesAtOnce([&] {
        const cf::LoadResult r = cf::load(pipe, {});
        EXPECT_EQ(r.result.status, cf::Status::OpenFailed);
        EXPECT_EQ(r.result.errorNumber, EINVAL);
    }));
    EXPECT_FALSE(cf::hasMagic(QStringLiteral("/dev/zero")));
    EXPECT_EQ(cf::load(QStringLiteral("/dev/zero"), {}).result.errorNumber, EINVAL);
    EXPECT_EQ(cf::load(m_dir.path(), {}).result.errorNumber, EISDIR);
}

// Saving over a symbolic link writes the file it points to; the link stays a link.
TEST_F(ConfigFileTest, SavingThroughASymbolicLinkWritesItsTarget) {
    const QString target = writeRaw(QStringLiteral("real.hcf"), "old contents");
    const QString link = path(QStringLiteral("link.hcf"));
    ASSERT_EQ(::symlink("real.hcf", QFile::encodeName(link).constData()), 0);
    ASSERT_TRUE(cf::write(link, {QStringLiteral("S"), {}, {}}, sampleValues()).ok());
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(readRaw(target), cf::encode({QStringLiteral("S"), {}, {}}, sampleValues()));
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files | QDir::System | QDir::Hidden).size(), 2);
}

// A save killed part way (here by the file size limit, whose signal ends the process) leaves
// the old file as it was and no temporary file beside it.
TEST_F(ConfigFileTest, ASaveKilledPartWayLeavesNothingBehind) {
    const QString p = writeRaw(QStringLiteral("keep.hcf"), "previous contents");
    const pid_t child = ::fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        struct rlimit small {};
        ::getrlimit(RLIMIT_FSIZE, &small);
        small.rlim_cur = 100;
        std::signal(SIGXFSZ, SIG_DFL);
        ::setrlimit(RLIMIT_FSIZE, &small);
        cf::write(p, {QStringLiteral("NEW"), {}, {}}, sampleValues());
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ) << "the save was not killed";
    EXPECT_EQ(readRaw(p), QByteArray("previous contents"));
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("keep.hcf")});
}

TEST_F(ConfigFileTest, MemorySourceReadsLikeTheFile) {
    const QByteArray bytes = cf::encode({QStringLiteral("M"), {}, {}}, sampleValues());
    cf::MemorySource source(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    Recorder rec;
    const cf::LoadResult lr = cf::load(source, rec.sink());
    ASSERT_TRUE(lr.result.ok());
    EXPECT_EQ(rec.serial, QStringLiteral("M"));
    EXPECT_EQ(rec.applied.size(), 30u);
    EXPECT_EQ(rec.applied[1], -35);
}

TEST_F(ConfigFileTest, OpenAndCreationFailuresCarryTheSystemErrorNumber) {
    const cf::LoadResult missing = cf::load(path(QStringLiteral("none.hcf")), {});
    EXPECT_EQ(missing.result.status, cf::Status::OpenFailed);
    EXPECT_EQ(missing.result.errorNumber, ENOENT);
    EXPECT_EQ(missing.result.message(),
              QString::asprintf("File Open Failed !!!\n\nError No. : %d", ENOENT));

    EXPECT_EQ(cf::load(m_dir.path(), {}).result.status, cf::Status::OpenFailed);

    // The parent "folder" is a regular file.
    const QString parent = writeRaw(QStringLiteral("plain"), "x");
    const cf::Result r = cf::write(parent + QStringLiteral("/set.hcf"), {}, sampleValues());
    EXPECT_EQ(r.status, cf::Status::CreationFailed);
    EXPECT_EQ(r.errorNumber, ENOTDIR);
    EXPECT_EQ(r.message(),
              QString::asprintf("File Creation Failed !!!\n\nError No. : %d", ENOTDIR));

    // The target is a folder: nothing can replace it.
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("folder.hcf")));
    const cf::Result onDir = cf::write(path(QStringLiteral("folder.hcf")), {}, sampleValues());
    EXPECT_EQ(onDir.status, cf::Status::CreationFailed);
    EXPECT_NE(onDir.errorNumber, 0);
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files).size(), 1);  // only "plain"
}

TEST_F(ConfigFileTest, ReadOnlyFolderGivesAccessDenied) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "permissions do not stop root";
    }
    const QString ro = path(QStringLiteral("ro"));
    ASSERT_TRUE(QDir().mkdir(ro));
    ASSERT_EQ(::chmod(QFile::encodeName(ro).constData(), 0555), 0);
    const cf::Result r = cf::write(ro + QStringLiteral("/set.hcf"), {}, sampleValues());
    ::chmod(QFile::encodeName(ro).constData(), 0755);
    EXPECT_EQ(r.status, cf::Status::CreationFailed);
    EXPECT_EQ(r.errorNumber, EACCES);
}

TEST_F(ConfigFileTest, FailedSaveLeavesTheOldFileIntact) {
    const QString p = path(QStringLiteral("keep.hcf"));
    const QByteArray old = "previous contents";
    writeRaw(QStringLiteral("keep.hcf"), old);

    // Limit the size of any file this process writes, so the write fails part way.
    struct rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    struct rlimit small = saved;
    small.rlim_cur = 100;
    auto* previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const cf::Result r = cf::write(p, {QStringLiteral("NEW"), {}, {}}, sampleValues());
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_EQ(r.status, cf::Status::WriteFailed);
    EXPECT_EQ(r.errorNumber, EFBIG);
    EXPECT_EQ(r.message(), QString::asprintf("File Write Failed !!!\n\nError No. : %d", EFBIG));
    EXPECT_EQ(readRaw(p), old);
    // No temporary file is left behind.
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("keep.hcf")});
}

TEST_F(ConfigFileTest, OverwriteReplacesContentsAndKeepsPermissions) {
    const QString p = writeRaw(QStringLiteral("over.hcf"), QByteArray(500, 'z'));
    ASSERT_EQ(::chmod(QFile::encodeName(p).constData(), 0640), 0);
    ASSERT_TRUE(cf::write(p, {QStringLiteral("S"), {}, {}}, sampleValues()).ok());
    EXPECT_EQ(readRaw(p).size(), 224);
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(p).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST(ConfigFileNames, SuggestedNameDropsControlAndLatin1Characters) {
    EXPECT_EQ(cf::suggestedFileName(QStringLiteral("SN\t12\x01") + QChar(0x7F) + QChar(0xE9) +
                                    QChar(0xFF) + QChar(0x100) + QStringLiteral("34")),
              QStringLiteral("SN12") + QChar(0x7F) + QChar(0x100) + QStringLiteral("34"));
    EXPECT_EQ(cf::suggestedFileName(QStringLiteral("../a\\b/c")), QStringLiteral("..abc"));
    EXPECT_EQ(cf::suggestedFileName({}), QString());
}

TEST(ConfigFileNames, LoadedNoticeNamesTheFileAndTrimmedFirmware) {
    EXPECT_EQ(
        cf::loadedNotice(QStringLiteral("/home/tech/sets/P100.hcf"), QStringLiteral("V1.20  \t")),
        QStringLiteral("Loaded from : \"P100.hcf\".   Loaded F/W version : [V1.20]."));
    EXPECT_EQ(cf::loadedNotice(QStringLiteral("C:\\sets\\a b.hcf"), QStringLiteral(" X ")),
              QStringLiteral("Loaded from : \"a b.hcf\".   Loaded F/W version : [ X]."));
}
