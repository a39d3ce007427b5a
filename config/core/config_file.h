#pragma once
// The configuration data file (*.hcf): identity texts and device parameter values by position.
//
// Layout, all numbers little-endian, texts UTF-16LE code units, zero-padded:
//   0   4   magic "HCV1"
//   4   4   format version (written 1, ignored on reading)
//   8   4   N1, number of section-1 values (written 30)
//   12  4   N2, number of section-2 values (written 0)
//   16  32  Serial No., 16 code units
//   48  32  Header Serial No., 16 code units
//   80  24  Firmware Version, 12 code units
//   104 4xN1 section 1: signed 32-bit values for positions 0..N1-1
//   ... 4xN2 section 2: read and discarded
//
// Every failure carries the operating system's last error number at the time it happened.

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <functional>
#include <span>

namespace halvard::config_file {

inline constexpr char kMagic[4] = {'H', 'C', 'V', '1'};
inline constexpr std::uint32_t kFormatVersion = 1;
inline constexpr int kHeaderSize = 16;
inline constexpr int kSerialUnits = 16;
inline constexpr int kHeadSerialUnits = 16;
inline constexpr int kFirmwareUnits = 12;
// Section-1 values written: the defined positions of the device parameter block.
inline constexpr int kWrittenValueCount = 30;
// Positions the parameter block can hold; a file announcing more is refused.
inline constexpr int kMaxValueCount = 66;
inline constexpr int kWrittenFileSize =
    kHeaderSize + 2 * (kSerialUnits + kHeadSerialUnits + kFirmwareUnits) + 4 * kWrittenValueCount;

enum class Status {
    Ok,
    CreationFailed,  // "File Creation Failed !!!\n\nError No. : %d"
    WriteFailed,     // "File Write Failed !!!\n\nError No. : %d"
    OpenFailed,      // "File Open Failed !!!\n\nError No. : %d"
    Corrupted,       // "File is Coruppted !!!\n\nError No. : %d"
    InvalidType,     // "Invalid Data File Type" (wrong magic, or more values than the block holds)
    ReadFailed,      // "File Read Failed !!!\n\nError No. : %d"
};

struct Result {
    Status status = Status::Ok;
    int errorNumber = 0;  // the system's last error then (0 when the OS reported none)

    bool ok() const { return status == Status::Ok; }
    // The text the user is shown for this result; empty for Ok.
    QString message() const;
};

// The three identity texts at the head of the file.
struct HeaderTexts {
    QString serial;
    QString headSerial;
    QString firmware;
};

// Writes a complete file. The data goes to a new file that replaces the target only after
// every write succeeded and reached the disk, so a failed save never damages an existing file
// and leaves no temporary file behind. A symbolic link is written through to the file it
// points to. Texts longer than their field are cut to the field's code units.
Result write(const QString& path, const HeaderTexts& texts,
             std::span<const std::int32_t, kWrittenValueCount> values);

// The bytes write() puts into the file.
QByteArray encode(const HeaderTexts& texts,
                  std::span<const std::int32_t, kWrittenValueCount> values);

// What the loader hands over while it reads, in file order. Any member may be empty.
struct LoadSink {
    std::function<void(const QString&)> serial;      // "Serial No." text
    std::function<void(const QString&)> headSerial;  // "Header Serial No." text
    std::function<void(int position, std::int32_t value)> apply;
};

struct LoadResult {
    Result result;
    QString firmware;      // Firmware Version text as stored (valid once the texts were read)
    int appliedCount = 0;  // section-1 values handed to apply()
};

// Where the loader reads from: read() returns the bytes delivered (fewer at the end, -1 on
// error) and leaves the system's last error as the OS set it; skip() moves on by up to `size` bytes
// without reading them, never beyond the end, and returns how far it went (-1 on error).
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual long long read(void* buffer, long long size) = 0;
    virtual long long skip(long long size) = 0;
};

// A byte source over memory (tests, fuzzing); never reads beyond the given bytes.
class MemorySource final : public ByteSource {
public:
    MemorySource(const void* data, std::size_t size)
        : m_data(static_cast<const unsigned char*>(data)), m_size(size) {}
    long long read(void* buffer, long long size) override;
    long long skip(long long size) override;

private:
    const unsigned char* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

// Reads a file step by step, applying each value as soon as it is read. Values applied before
// a failure stay applied. A file announcing more than kMaxValueCount section-1 values is
// refused as InvalidType before anything is applied; section 2 is skipped without reading it,
// and a section-2 count beyond the end of the data ends with ReadFailed at once. Only a
// regular file is opened (a folder gives EISDIR); opening never waits.
LoadResult load(const QString& path, const LoadSink& sink);
LoadResult load(ByteSource& source, const LoadSink& sink);

// Whether the file is a regular file that starts with the magic; reads only its first four
// bytes, and never waits (a pipe or a device is not a data file).
bool hasMagic(const QString& path);

// The save dialog's suggested name: the serial without control characters (below 32), without
// the characters 128 to 255 and without path separators.
QString suggestedFileName(const QString& serial);

// "Loaded from : "<file name>".   Loaded F/W version : [<firmware>]." with the firmware's
// trailing white space removed.
QString loadedNotice(const QString& path, const QString& firmware);

}  // namespace halvard::config_file
