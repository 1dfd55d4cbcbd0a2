#include "link/raw_data_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "privilege/operator_rights.h"

namespace zv {

namespace {

std::string failure(const char* what, const std::string& path) {
    return std::string(what) + " \"" + path + "\": " + std::strerror(errno);
}

void putWord(uint8_t* at, uint16_t w) {
    at[0] = static_cast<uint8_t>(w & 0xFF);
    at[1] = static_cast<uint8_t>(w >> 8);
}

uint16_t getWord(const uint8_t* at) {
    return static_cast<uint16_t>(at[0] | (at[1] << 8));
}

}  // namespace

RawRecord toRawRecord(const DecodedFrame& frame) {
    return RawRecord{frame.codes, frame.status};
}

std::array<uint8_t, RawRecordSize> packRawRecord(const RawRecord& record) {
    std::array<uint8_t, RawRecordSize> bytes{};
    for (std::size_t i = 0; i < record.codes.size(); ++i) putWord(&bytes[2 * i], record.codes[i]);
    putWord(&bytes[16], record.status);
    return bytes;
}

RawRecord unpackRawRecord(const std::array<uint8_t, RawRecordSize>& bytes) {
    RawRecord record;
    for (std::size_t i = 0; i < record.codes.size(); ++i) record.codes[i] = getWord(&bytes[2 * i]);
    record.status = getWord(&bytes[16]);
    return record;
}

bool RawDataWriter::open(const std::string& path) {
    close();
    path_ = path;
    error_.clear();
    // The name is the operator's: the recording is made with the operator's own rights.
    const int fd = openAsOperator(path, O_WRONLY | O_CREAT | O_TRUNC);
    if (fd >= 0) {
        file_.reset(::fdopen(fd, "wb"));
        if (!file_) ::close(fd);
    }
    if (!file_) error_ = failure("Cannot create file", path);
    return isOpen();
}

bool RawDataWriter::append(const RawRecord& record) {
    if (!file_) {
        error_ = "No raw data file is open for writing";
        return false;
    }
    const auto bytes = packRawRecord(record);
    if (std::fwrite(bytes.data(), 1, bytes.size(), file_.get()) != bytes.size() ||
        std::fflush(file_.get()) != 0) {
        error_ = failure("Cannot write to file", path_);
        return false;
    }
    return true;
}

bool RawDataWriter::close() {
    if (!file_) return true;
    const bool closed = std::fclose(file_.release()) == 0;
    if (!closed) error_ = failure("Cannot write to file", path_);
    return closed;
}

bool RawDataReader::open(const std::string& path) {
    close();
    path_ = path;
    error_.clear();
    tailBytes_ = 0;
    file_.reset(std::fopen(path.c_str(), "rb"));
    if (!file_) error_ = failure("Cannot open file", path);
    return isOpen();
}

bool RawDataReader::next(RawRecord& record) {
    if (!file_) return false;
    std::array<uint8_t, RawRecordSize> bytes{};
    const std::size_t got = std::fread(bytes.data(), 1, bytes.size(), file_.get());
    if (got == bytes.size()) {
        record = unpackRawRecord(bytes);
        return true;
    }
    if (std::ferror(file_.get()))
        error_ = failure("Cannot read file", path_);
    else if (got > 0)
        tailBytes_ = got;
    return false;
}

void RawDataReader::close() {
    file_.reset();
}

}  // namespace zv
