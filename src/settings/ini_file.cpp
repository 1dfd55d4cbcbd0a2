#include "settings/ini_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <memory>

#include "settings/windows1251.h"

namespace zv {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

bool isBlankChar(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && isBlankChar(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlankChar(s.back())) s.remove_suffix(1);
    return s;
}

// Letter case folding for Latin letters and for the Russian letters of Windows-1251.
// In a UTF-8 file the names the program looks for are Latin, so this is enough there too.
unsigned char folded(unsigned char c) {
    if (c >= 'A' && c <= 'Z') return c + ('a' - 'A');
    if (c >= 0xC0 && c <= 0xDF) return c + 0x20;
    if (c == 0xA8) return 0xB8;  // Ё
    return c;
}

bool isAscii(std::string_view text) {
    for (const char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

bool equalNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (folded(static_cast<unsigned char>(a[i])) != folded(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

struct ParsedLine {
    enum Kind { Other, Section, Entry } kind = Other;
    std::string_view name;  // section name or key
    std::string_view value;
};

ParsedLine parseLine(std::string_view text) {
    const std::string_view t = trimmed(text);
    if (t.empty() || t.front() == ';') return {};
    if (t.front() == '[') {
        const size_t close = t.find(']');
        if (close == std::string_view::npos) return {};
        return {ParsedLine::Section, trimmed(t.substr(1, close - 1)), {}};
    }
    const size_t eq = t.find('=');
    if (eq == std::string_view::npos) return {};
    const std::string_view key = trimmed(t.substr(0, eq));
    if (key.empty()) return {};
    return {ParsedLine::Entry, key, trimmed(t.substr(eq + 1))};
}

// Windows drops one pair of matching quotes around a value.
std::string_view unquoted(std::string_view v) {
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        return v.substr(1, v.size() - 2);
    return v;
}

// A value must stay on its line, and quoting keeps blanks at its ends and quotes around it
// from being lost when it is read back.
std::string storedValue(std::string value) {
    for (char& c : value)
        if (c == '\r' || c == '\n') c = ' ';
    const bool needsQuotes =
        !value.empty() && (isBlankChar(value.front()) || isBlankChar(value.back()) ||
                           unquoted(value).size() != value.size());
    return needsQuotes ? '"' + value + '"' : value;
}

std::optional<uint32_t> parseDigits(std::string_view digits, unsigned base, uint64_t limit) {
    if (digits.empty()) return std::nullopt;
    uint64_t v = 0;
    for (const char c : digits) {
        unsigned d;
        if (c >= '0' && c <= '9') {
            d = c - '0';
        } else if (base == 16 && c >= 'a' && c <= 'f') {
            d = c - 'a' + 10;
        } else if (base == 16 && c >= 'A' && c <= 'F') {
            d = c - 'A' + 10;
        } else {
            return std::nullopt;
        }
        v = v * base + d;
        if (v > limit) return std::nullopt;
    }
    return static_cast<uint32_t>(v);
}

bool writeAll(int fd, const std::string& data) {
    size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

// Empty with `missing` set when there is no file; empty alone when it could not be read.
std::optional<std::string> readAll(const std::string& path, bool& missing) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    missing = fd < 0 && errno == ENOENT;
    if (fd < 0) return std::nullopt;
    std::string data;
    char buf[8192];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ::close(fd);
            return n == 0 ? std::optional(std::move(data)) : std::nullopt;
        }
        data.append(buf, static_cast<size_t>(n));
    }
}

// The text of a symbolic link, taken relative to the link's folder when it is relative.
std::optional<std::string> linkTarget(const std::string& link) {
    std::string target(PATH_MAX, '\0');
    const ssize_t n = ::readlink(link.c_str(), target.data(), target.size());
    if (n <= 0 || static_cast<size_t>(n) >= target.size()) return std::nullopt;
    target.resize(static_cast<size_t>(n));
    const size_t slash = link.rfind('/');
    if (target.front() == '/' || slash == std::string::npos) return target;
    return link.substr(0, slash + 1) + target;
}

// Saving replaces the file a symbolic link points to, not the link; a link to a file that
// is not there (yet) gets it made where it points. The installed program's settings file is
// such a link, out of the program folder, which its users cannot write.
std::string resolvedTarget(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr), &std::free);
    if (real) return std::string(real.get());
    if (errno != ENOENT) return path;
    return linkTarget(path).value_or(path);
}

void syncFolderOf(const std::string& file) {
    const size_t slash = file.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : file.substr(0, slash + 1);
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

bool replaceAtomically(const std::string& target, const std::string& data) {
    const std::string temp = target + ".tmp";
    struct stat old {};
    const mode_t mode = ::stat(target.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644;
    ::unlink(temp.c_str());  // a leftover of an interrupted save
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0) return false;
    bool ok = writeAll(fd, data) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    ok = ok && ::rename(temp.c_str(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(temp.c_str());
        return false;
    }
    syncFolderOf(target);
    return true;
}

}  // namespace

std::optional<int32_t> parseIniInteger(std::string_view text) {
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    int64_t v;
    if (text.starts_with("0x") || text.starts_with("0X") || text.starts_with("$")) {
        // Up to 32 bits, taken as two's complement: "$FFFFFFFF" is -1.
        const auto bits = parseDigits(text.substr(text.front() == '$' ? 1 : 2), 16, UINT32_MAX);
        if (!bits) return std::nullopt;
        v = static_cast<int32_t>(*bits);
    } else {
        const auto digits = parseDigits(text, 10, uint64_t{INT32_MAX} + 1);
        if (!digits) return std::nullopt;
        v = *digits;
    }
    if (negative) v = -v;
    if (v < INT32_MIN || v > INT32_MAX) return std::nullopt;
    return static_cast<int32_t>(v);
}

IniFile IniFile::load(const std::string& path) {
    bool missing = false;
    const auto data = readAll(path, missing);
    IniFile ini = fromBytes(data.value_or(std::string()));
    ini.path_ = path;
    ini.readable_ = data.has_value() || missing;
    return ini;
}

IniFile IniFile::fromBytes(std::string_view bytes) {
    IniFile ini;
    ini.readable_ = true;
    if (bytes.starts_with(kUtf8Bom)) {
        ini.utf8_ = true;
        bytes.remove_prefix(kUtf8Bom.size());
    }
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            ini.lines_.push_back({std::string(bytes.substr(start)), ""});
            break;
        }
        const size_t eolLength = bytes.compare(end, 2, "\r\n") == 0 ? 2 : 1;
        ini.lines_.push_back({std::string(bytes.substr(start, end - start)),
                              std::string(bytes.substr(end, eolLength))});
        start = end + eolLength;
    }
    return ini;
}

// Both encodings agree on ASCII, the text of nearly every name and value; it needs no
// conversion.
std::string IniFile::toFileText(std::string_view utf8) const {
    return utf8_ || isAscii(utf8) ? std::string(utf8) : utf8ToCp1251(utf8);
}

std::string IniFile::fromFileText(std::string_view text) const {
    return utf8_ || isAscii(text) ? std::string(text) : cp1251ToUtf8(text);
}

std::string_view IniFile::fileName(std::string_view utf8, std::string& buffer) const {
    if (utf8_ || isAscii(utf8)) return utf8;
    buffer = utf8ToCp1251(utf8);
    return buffer;
}

size_t IniFile::NoCaseHash::operator()(std::string_view name) const noexcept {
    size_t h = 14695981039346656037u;  // FNV-1a over the folded bytes
    for (const char c : name) h = (h ^ folded(static_cast<unsigned char>(c))) * 1099511628211u;
    return h;
}

bool IniFile::NoCaseEqual::operator()(std::string_view a, std::string_view b) const noexcept {
    return equalNoCase(a, b);
}

const IniFile::Index& IniFile::index() const {
    if (index_) return *index_;
    Index& built = index_.emplace();
    for (size_t i = 0; i < lines_.size(); ++i) {
        const ParsedLine p = parseLine(lines_[i].text);
        if (p.kind == ParsedLine::Section) {
            built.first.try_emplace(std::string(p.name), built.sections.size());
            built.sections.push_back(Section{i, 0, {}});
        } else if (!built.sections.empty()) {
            Section& s = built.sections.back();
            if (p.kind == ParsedLine::Entry) s.keys.try_emplace(std::string(p.name), i - s.header);
            if (!trimmed(lines_[i].text).empty()) s.last = i - s.header;
        }
    }
    return built;
}

// Keeps the index true after a line was inserted at `at`: the sections below move down, and
// the section the line joined gets its key. A header inserted above other lines would split
// a section; that never happens when writing, and the index is then simply built again.
void IniFile::indexInsertedLine(size_t at) {
    if (!index_) return;
    std::vector<Section>& sections = index_->sections;
    const ParsedLine p = parseLine(lines_[at].text);
    if (p.kind == ParsedLine::Section) {
        if (at + 1 != lines_.size()) {
            index_.reset();
            return;
        }
        index_->first.try_emplace(std::string(p.name), sections.size());
        sections.push_back(Section{at, 0, {}});
        return;
    }
    size_t joined = npos;  // the last section whose header stands above the new line
    for (size_t k = sections.size(); k-- > 0;) {
        if (sections[k].header < at) {
            joined = k;
            break;
        }
        ++sections[k].header;
    }
    if (joined == npos) return;
    Section& s = sections[joined];
    const size_t offset = at - s.header;
    if (offset <= s.last) {
        for (auto& key : s.keys)
            if (key.second >= offset) ++key.second;
        ++s.last;
    } else if (!trimmed(lines_[at].text).empty()) {
        s.last = offset;
    }
    if (p.kind == ParsedLine::Entry) {
        const auto [key, added] = s.keys.try_emplace(std::string(p.name), offset);
        if (!added && key->second > offset) key->second = offset;
    }
}

IniFile::Location IniFile::locate(std::string_view section, std::string_view key) const {
    const Index& found = index();
    std::string buffer;
    const auto first = found.first.find(fileName(section, buffer));
    if (first == found.first.end()) return {};
    const Section& s = found.sections[first->second];
    Location loc;
    loc.sectionLine = s.header;
    loc.insertAt = s.header + s.last;
    const auto line = s.keys.find(fileName(key, buffer));
    if (line != s.keys.end()) loc.keyLine = s.header + line->second;
    return loc;
}

std::optional<std::string> IniFile::find(std::string_view section, std::string_view key) const {
    const Location loc = locate(section, key);
    if (loc.keyLine == npos) return std::nullopt;
    return fromFileText(unquoted(parseLine(lines_[loc.keyLine].text).value));
}

std::string IniFile::readString(std::string_view section, std::string_view key,
                                std::string_view fallback) const {
    auto value = find(section, key);
    return value ? std::move(*value) : std::string(fallback);
}

int32_t IniFile::readInteger(std::string_view section, std::string_view key,
                             int32_t fallback) const {
    const auto value = find(section, key);
    if (!value) return fallback;
    return parseIniInteger(*value).value_or(fallback);
}

bool IniFile::readBool(std::string_view section, std::string_view key, bool fallback) const {
    return readInteger(section, key, fallback ? 1 : 0) != 0;
}

std::string IniFile::newLineEnding() const {
    for (const Line& line : lines_)
        if (!line.eol.empty()) return line.eol;
    return "\r\n";
}

void IniFile::insertLine(size_t at, std::string text) {
    const std::string eol = newLineEnding();
    if (at > 0 && lines_[at - 1].eol.empty()) lines_[at - 1].eol = eol;
    lines_.insert(lines_.begin() + static_cast<ptrdiff_t>(at), Line{std::move(text), eol});
    indexInsertedLine(at);
}

void IniFile::writeString(std::string_view section, std::string_view key, std::string_view value) {
    const std::string stored = storedValue(toFileText(value));
    const Location loc = locate(section, key);
    if (loc.keyLine != npos) {
        Line& line = lines_[loc.keyLine];
        const std::string name(parseLine(line.text).name);
        line.text = name + '=' + stored;
        // A key such as "[x" with a value holding "]" would turn the line into a header.
        if (parseLine(line.text).kind != ParsedLine::Entry) index_.reset();
    } else if (loc.sectionLine != npos) {
        insertLine(loc.insertAt + 1, toFileText(key) + '=' + stored);
    } else {
        insertLine(lines_.size(), '[' + toFileText(section) + ']');
        insertLine(lines_.size(), toFileText(key) + '=' + stored);
    }
}

void IniFile::writeInteger(std::string_view section, std::string_view key, int32_t value) {
    writeString(section, key, std::to_string(value));
}

void IniFile::writeBool(std::string_view section, std::string_view key, bool value) {
    writeString(section, key, value ? "1" : "0");
}

std::string IniFile::bytes() const {
    std::string out = utf8_ ? std::string(kUtf8Bom) : std::string();
    for (const Line& line : lines_) out += line.text + line.eol;
    return out;
}

std::optional<std::string> IniFile::save() const {
    if (!path_.empty() && replaceAtomically(resolvedTarget(path_), bytes())) return std::nullopt;
    return "Unable to write to " + path_;
}

}  // namespace zv
