#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "link/frame_decoder.h"

namespace zv {

// One sample of a raw data file: the slot codes as the decoder placed them and the
// frame's status field. On disk: nine unsigned 16-bit little-endian words, no header.
struct RawRecord {
    std::array<uint16_t, 8> codes{};
    uint16_t status = 0;

    bool operator==(const RawRecord&) const = default;
};

inline constexpr std::size_t RawRecordSize = 18;

RawRecord toRawRecord(const DecodedFrame& frame);
std::array<uint8_t, RawRecordSize> packRawRecord(const RawRecord& record);
RawRecord unpackRawRecord(const std::array<uint8_t, RawRecordSize>& bytes);

namespace detail {
struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;
}  // namespace detail

// Appends records to a new raw data file. Each record is flushed as it is written, so a
// recording survives a crash of the program and a full disk shows up at once.
class RawDataWriter {
public:
    // Creates the file, emptying an existing one. False with error() set on failure.
    bool open(const std::string& path);
    bool append(const RawRecord& record);
    // False with error() set when the last bytes could not be written.
    bool close();

    bool isOpen() const { return file_ != nullptr; }
    const std::string& error() const { return error_; }

private:
    detail::FileHandle file_;
    std::string path_;
    std::string error_;
};

// Reads the records of a raw data file in order. A tail shorter than one record (a
// recording cut short) is never taken as a sample; partialTailBytes() tells its size.
class RawDataReader {
public:
    bool open(const std::string& path);
    // The next whole record; false at the end of the file or on a read error (see error()).
    bool next(RawRecord& record);
    void close();

    bool isOpen() const { return file_ != nullptr; }
    std::size_t partialTailBytes() const { return tailBytes_; }
    const std::string& error() const { return error_; }

private:
    detail::FileHandle file_;
    std::string path_;
    std::string error_;
    std::size_t tailBytes_ = 0;
};

}  // namespace zv
