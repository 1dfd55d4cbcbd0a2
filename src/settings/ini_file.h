#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace zv {

// A settings file of the INI kind, with the rules Windows applies to it: sections and keys
// match without regard to letter case, the first matching section and key win, an absent
// or malformed integer reads as the caller's default ("0x" or "$" marks hexadecimal),
// booleans are integers. Writing replaces a key's value in place or appends the key to its
// section (or a new section to the file); every other line stays exactly as it was.
//
// The file is Windows-1251; the strings passed in and out are UTF-8. Changes live in
// memory until save(), which replaces the file atomically.
class IniFile {
  public:
    // A missing file reads as an empty one. A file that is there but cannot be read also
    // reads as empty, with readable() false: saving over it would lose its other lines.
    static IniFile load(const std::string& path);
    // The file's content without a file behind it; save() then fails.
    static IniFile fromBytes(std::string_view bytes);

    bool readable() const { return readable_; }
    const std::string& path() const { return path_; }

    std::optional<std::string> find(std::string_view section, std::string_view key) const;
    std::string readString(std::string_view section, std::string_view key,
                           std::string_view fallback) const;
    int32_t readInteger(std::string_view section, std::string_view key, int32_t fallback) const;
    bool readBool(std::string_view section, std::string_view key, bool fallback) const;

    void writeString(std::string_view section, std::string_view key, std::string_view value);
    void writeInteger(std::string_view section, std::string_view key, int32_t value);
    void writeBool(std::string_view section, std::string_view key, bool value);

    // Writes a temporary file beside the file, flushes it to disk and renames it over the
    // file, so a failure leaves the old file untouched. A symbolic link stays: the file it
    // points to is replaced (or made), in that file's folder. Returns the operator's error
    // text ("Unable to write to <path>") on failure.
    std::optional<std::string> save() const;

    // The file's bytes as save() would write them.
    std::string bytes() const;

  private:
    struct Line {
        std::string text;  // Windows-1251, without the line ending
        std::string eol;   // "\r\n", "\n", "\r" or "" for a last line without one
    };
    struct Location {
        size_t sectionLine = npos;  // the section's header line
        size_t keyLine = npos;      // the key's line within that section
        size_t insertAt = npos;     // a missing key goes after this line, the section's last
    };
    static constexpr size_t npos = static_cast<size_t>(-1);

    // Where the sections and their keys stand, so that a look-up costs no scan of the
    // lines: reading and writing every key of a long file would otherwise take time
    // proportional to keys x lines. Built on the first look-up, kept by insertLine.
    // Names hashed and compared without regard to letter case, so that a name is looked up
    // as it is, without a folded copy of it.
    struct NoCaseHash {
        using is_transparent = void;
        size_t operator()(std::string_view name) const noexcept;
    };
    struct NoCaseEqual {
        using is_transparent = void;
        bool operator()(std::string_view a, std::string_view b) const noexcept;
    };
    using Names = std::unordered_map<std::string, size_t, NoCaseHash, NoCaseEqual>;
    struct Section {
        size_t header = 0;  // line of the section's header
        size_t last = 0;    // the section's last non-blank line, from the header
        Names keys;         // key -> its first line, from the header
    };
    struct Index {
        std::vector<Section> sections;  // every header, in file order
        Names first;                    // section name -> its first section
    };

    Location locate(std::string_view section, std::string_view key) const;
    const Index& index() const;
    void indexInsertedLine(size_t at);
    std::string toFileText(std::string_view utf8) const;
    std::string fromFileText(std::string_view text) const;
    // The name as the file spells it: `utf8` itself, or its conversion kept in `buffer`.
    std::string_view fileName(std::string_view utf8, std::string& buffer) const;
    std::string newLineEnding() const;
    void insertLine(size_t at, std::string text);

    std::string path_;
    std::vector<Line> lines_;
    bool readable_ = false;
    bool utf8_ = false;  // a file saved with a UTF-8 byte order mark stays UTF-8
    mutable std::optional<Index> index_;
};

// The integer rules of the file: optional sign, decimal digits or "0x"/"$" and up to
// 32 bits of hexadecimal digits, nothing else. Surrounding blanks are already gone.
std::optional<int32_t> parseIniInteger(std::string_view text);

}  // namespace zv
