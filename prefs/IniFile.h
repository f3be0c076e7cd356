#pragma once
// The preferences file format: a small INI reader and writer that keeps
// sections and keys in file order, matches names without regard to case, reads
// a missing file, section or key as absent, skips lines it cannot use, and
// writes back every line it did not change exactly as it was.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvalt {

// "Unable to write to %s" with the file's path: a write the system refused,
// followed by why when it is known ("... (No space left on device)").
std::string UnableToWriteMessage(const std::filesystem::path& path, const std::string& reason = {});
// "Unable to read %s": the file exists but cannot be read as a preferences
// file, followed by why when it is known ("... (Permission denied)").
std::string UnableToReadMessage(const std::filesystem::path& path, const std::string& reason = {});

// The longest text a read returns, in bytes; longer values are cut (never in
// the middle of a UTF-8 character).
inline constexpr std::size_t kMaxIniTextLength = 2047;

class TIniFile {
  public:
    // Reads the file. A missing file reads as empty. A file that exists but
    // cannot be read (no permission, a folder, over 16 MiB) reads as empty too
    // and is marked Unreadable(): saving it is refused, so it is never replaced
    // by a file holding only the latest change.
    static TIniFile Read(const std::filesystem::path& path);
    // The same from text, with no file behind it.
    static TIniFile FromText(std::string_view text);

    const std::filesystem::path& Path() const { return path_; }
    bool Exists() const { return exists_; }
    bool Unreadable() const { return unreadable_; }
    // Why an Unreadable() file could not be read.
    const std::string& UnreadableReason() const { return unreadableReason_; }

    // The trimmed value of the first line "key=value" of the section, if any.
    std::optional<std::string> Value(std::string_view section, std::string_view key) const;
    // The section's lines, trimmed, in file order (every section of that name
    // when the file repeats it), without blank lines and comments; lines
    // without an "=" are included, since erasing the section drops them too.
    std::vector<std::string> SectionLines(std::string_view section) const;

    // Typed reads: the default when the key is missing or its value unusable.
    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view defaultValue) const;
    // Decimal, or hexadecimal after "0x"/"0X"; anything else is the default.
    int ReadInteger(std::string_view section, std::string_view key, int defaultValue) const;
    // Any integer other than 0 is true.
    bool ReadBool(std::string_view section, std::string_view key, bool defaultValue) const;

    // Sets the key's value in memory, adding the section at the end of the file
    // and the key at the end of its section when missing. Line breaks inside a
    // value become blanks, so a value can never start a line of its own.
    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    void WriteInteger(std::string_view section, std::string_view key, int value);
    void WriteBool(std::string_view section, std::string_view key, bool value); // "1" or "0"
    // Removes every section of that name with all its lines.
    void EraseSection(std::string_view section);

    // The file's text as it would be saved.
    std::string Text() const;
    // Writes the file when something changed, through the program's safe
    // writer. Returns UnableToWriteMessage with the reason when refused (also
    // for an Unreadable() file, and for one built FromText).
    std::optional<std::string> Save() const;

  private:
    // One line of the file, classified once when it is read or written.
    struct TLine {
        enum TKind { Other, Section, KeyValue };
        std::string Text; // as in the file, without the line end
        TKind Kind = Other;
        std::string Name;  // the section name or the key, trimmed
        std::string Value; // the value of a key line, trimmed
        bool Blank = true; // nothing but blanks and control characters
    };

    static TLine Classify(std::string text);
    void Parse(std::string_view text);

    std::filesystem::path path_;
    std::vector<TLine> lines_;
    bool exists_ = false;
    bool unreadable_ = false;
    std::string unreadableReason_;
    bool modified_ = false;
    bool crlf_ = false; // the file ended its lines with CR LF; kept when saving
    bool bom_ = false;  // the file began with a UTF-8 byte order mark; kept
};

} // namespace corvalt
