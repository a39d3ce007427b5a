#include "config_file.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cstring>

#include "file_platform.h"

namespace halvard::config_file {

namespace {

void putU32(QByteArray& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        out.append(static_cast<char>((v >> (8 * i)) & 0xFF));
    }
}

std::uint32_t getU32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// A text field of `units` UTF-16LE code units: cut when longer, zero-padded when shorter.
void putText(QByteArray& out, const QString& text, int units) {
    for (int i = 0; i < units; ++i) {
        const char16_t u = i < text.size() ? text.at(i).unicode() : u'\0';
        out.append(static_cast<char>(u & 0xFF));
        out.append(static_cast<char>(u >> 8));
    }
}

// A field's text ends at its first zero unit, or fills the whole field.
QString getText(const unsigned char* p, int units) {
    QString text;
    for (int i = 0; i < units; ++i) {
        const char16_t u = static_cast<char16_t>(p[2 * i] | (p[2 * i + 1] << 8));
        if (u == 0) {
            break;
        }
        text.append(QChar(u));
    }
    return text;
}

// Reads exactly `size` bytes unless the source ends or fails first. The last error is cleared
// first, so a short read at the end of the data reports what the OS reported for it (nothing).
long long readFully(ByteSource& source, void* buffer, long long size) {
    auto* out = static_cast<unsigned char*>(buffer);
    long long got = 0;
    platform::SetLastError(0);
    while (got < size) {
        const long long n = source.read(out + got, size - got);
        if (n <= 0) {
            break;
        }
        got += n;
    }
    return got;
}

class FileSource final : public ByteSource {
public:
    explicit FileSource(platform::ReadFile& file) : m_file(file) {}
    long long read(void* buffer, long long size) override { return m_file.read(buffer, size); }
    long long skip(long long size) override { return m_file.skip(size); }

private:
    platform::ReadFile& m_file;
};

Result failure(Status status, int errorNumber) {
    return Result{status, errorNumber};
}

}  // namespace

QString Result::message() const {
    switch (status) {
        case Status::Ok:
            return {};
        case Status::CreationFailed:
            return QString::asprintf("File Creation Failed !!!\n\nError No. : %d", errorNumber);
        case Status::WriteFailed:
            return QString::asprintf("File Write Failed !!!\n\nError No. : %d", errorNumber);
        case Status::OpenFailed:
            return QString::asprintf("File Open Failed !!!\n\nError No. : %d", errorNumber);
        case Status::Corrupted:
            return QString::asprintf("File is Coruppted !!!\n\nError No. : %d", errorNumber);
        case Status::InvalidType:
            return QStringLiteral("Invalid Data File Type");
        case Status::ReadFailed:
            return QString::asprintf("File Read Failed !!!\n\nError No. : %d", errorNumber);
    }
    return {};
}

QByteArray encode(const HeaderTexts& texts,
                  std::span<const std::int32_t, kWrittenValueCount> values) {
    QByteArray out;
    out.reserve(kWrittenFileSize);
    out.append(kMagic, sizeof kMagic);
    putU32(out, kFormatVersion);
    putU32(out, kWrittenValueCount);
    putU32(out, 0);  // N2: no section-2 values
    putText(out, texts.serial, kSerialUnits);
    putText(out, texts.headSerial, kHeadSerialUnits);
    putText(out, texts.firmware, kFirmwareUnits);
    for (const std::int32_t v : values) {
        putU32(out, static_cast<std::uint32_t>(v));
    }
    return out;
}

Result write(const QString& path, const HeaderTexts& texts,
             std::span<const std::int32_t, kWrittenValueCount> values) {
    const QByteArray data = encode(texts, values);
    // The data goes to a new file that replaces the target only once it is complete and on
    // disk. A symbolic link is written through to its target; where the file system allows,
    // the new file has no name until it replaces the target, so a save that is killed part
    // way leaves nothing behind.
    QSaveFile file(path);
    platform::SetLastError(0);
    // Unbuffered, so that a write the system refuses (a full disk, a size limit) is seen here
    // and never left to a flush whose failure the commit would not notice.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        // A folder or a file that may not be written is refused before any system call.
        const int last = platform::LastError();
        const int err = last != 0 ? last
                                  : (QFileInfo(path).isDir() ? platform::ErrorIsFolder()
                                                             : platform::ErrorAccessDenied());
        return failure(Status::CreationFailed, err);
    }
    if (file.write(data) != data.size() || !platform::FlushToDisk(file)) {
        const int err = platform::LastError();
        file.cancelWriting();
        return failure(Status::WriteFailed, err);
    }
    if (!file.commit()) {
        return failure(Status::WriteFailed, platform::LastError());
    }
    return {};
}

long long MemorySource::read(void* buffer, long long size) {
    if (size <= 0) {
        return 0;
    }
    const std::size_t n = std::min(static_cast<std::size_t>(size), m_size - m_pos);
    if (n > 0) {
        std::memcpy(buffer, m_data + m_pos, n);
    }
    m_pos += n;
    return static_cast<long long>(n);
}

long long MemorySource::skip(long long size) {
    if (size <= 0) {
        return 0;
    }
    const std::size_t n = std::min(static_cast<std::size_t>(size), m_size - m_pos);
    m_pos += n;
    return static_cast<long long>(n);
}

LoadResult load(ByteSource& source, const LoadSink& sink) {
    LoadResult out;
    auto fail = [&out](Status status, int err) {
        out.result = failure(status, err);
        return out;
    };

    unsigned char header[kHeaderSize];
    if (readFully(source, header, kHeaderSize) != kHeaderSize) {
        return fail(Status::Corrupted, platform::LastError());
    }
    if (std::memcmp(header, kMagic, sizeof kMagic) != 0) {
        return fail(Status::InvalidType, 0);
    }
    const std::uint32_t n1 = getU32(header + 8);
    const std::uint32_t n2 = getU32(header + 12);
    // The block has room for kMaxValueCount positions; a larger count is not one of ours.
    if (n1 > static_cast<std::uint32_t>(kMaxValueCount)) {
        return fail(Status::InvalidType, 0);
    }

    unsigned char text[2 * kSerialUnits];
    if (readFully(source, text, 2 * kSerialUnits) != 2 * kSerialUnits) {
        return fail(Status::Corrupted, platform::LastError());
    }
    if (sink.serial) {
        sink.serial(getText(text, kSerialUnits));
    }
    if (readFully(source, text, 2 * kHeadSerialUnits) != 2 * kHeadSerialUnits) {
        return fail(Status::Corrupted, platform::LastError());
    }
    if (sink.headSerial) {
        sink.headSerial(getText(text, kHeadSerialUnits));
    }
    if (readFully(source, text, 2 * kFirmwareUnits) != 2 * kFirmwareUnits) {
        return fail(Status::Corrupted, platform::LastError());
    }
    out.firmware = getText(text, kFirmwareUnits);

    unsigned char value[4];
    for (std::uint32_t i = 0; i < n1; ++i) {
        if (readFully(source, value, 4) != 4) {
            return fail(Status::ReadFailed, platform::LastError());
        }
        if (sink.apply) {
            sink.apply(static_cast<int>(i), static_cast<std::int32_t>(getU32(value)));
        }
        ++out.appliedCount;
    }
    // Section 2 is skipped in one step within the data's real size: a count the data cannot
    // hold ends at once, as the value-by-value read would at the end of the data.
    const long long section2 = 4LL * n2;
    platform::SetLastError(0);
    if (source.skip(section2) != section2) {
        return fail(Status::ReadFailed, platform::LastError());
    }
    return out;
}

LoadResult load(const QString& path, const LoadSink& sink) {
    platform::ReadFile file(path);
    if (!file.isOpen()) {
        LoadResult out;
        out.result = failure(Status::OpenFailed, platform::LastError());
        return out;
    }
    FileSource source(file);
    return load(source, sink);
}

bool hasMagic(const QString& path) {
    platform::ReadFile file(path);
    if (!file.isOpen()) {
        return false;
    }
    FileSource source(file);
    unsigned char magic[sizeof kMagic];
    return readFully(source, magic, sizeof magic) == sizeof magic &&
           std::memcmp(magic, kMagic, sizeof kMagic) == 0;
}

QString suggestedFileName(const QString& serial) {
    QString name;
    for (const QChar c : serial) {
        const char16_t u = c.unicode();
        if (u < 32 || (u >= 128 && u <= 255) || u == u'/' || u == u'\\') {
            continue;
        }
        name.append(c);
    }
    return name;
}

QString loadedNotice(const QString& path, const QString& firmware) {
    const qsizetype slash = std::max(path.lastIndexOf(u'\\'), path.lastIndexOf(u'/'));
    const QString fileName = path.mid(slash + 1);
    qsizetype end = firmware.size();
    while (end > 0 && firmware.at(end - 1).isSpace()) {
        --end;
    }
    return QStringLiteral("Loaded from : \"%1\".   Loaded F/W version : [%2].")
        .arg(fileName, firmware.left(end));
}

}  // namespace halvard::config_file
