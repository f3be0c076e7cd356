#include "prefs/IniFile.h"

#include "model/FileIo.h"
#include "model/TextHelpers.h"
#include "prefs/NumberText.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <fstream>
#include <sstream>
#include <system_error>
#include <span>
#include <utility>

namespace corvalt {
namespace fs = std::filesystem;
namespace {

// A preferences file is a few kilobytes; anything this large is something else.
constexpr std::uintmax_t kMaxFileSize = 16u * 1024u * 1024u;

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool SameName(std::string_view a, std::string_view b) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return lower(x) == lower(y); });
}

// Cuts text to at most limit bytes without leaving half a UTF-8 character.
std::string Truncate(std::string text, std::size_t limit) {
    if (text.size() <= limit) return text;
    auto continuation = [&](std::size_t i) {
        return (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80;
    };
    std::size_t cut = limit;
    if (continuation(cut)) {
        std::size_t lead = cut;
        while (lead > 0 && cut - lead < 4 && continuation(lead - 1))
            --lead;
        if (lead > 0 && static_cast<unsigned char>(text[lead - 1]) >= 0xC0) cut = lead - 1;
    }
    text.resize(cut);
    return text;
}

std::string OnOneLine(std::string_view text) {
    std::string out(text);
    std::replace_if(
        out.begin(), out.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    return out;
}

} // namespace

std::string UnableToWriteMessage(const fs::path& path, const std::string& reason) {
    const std::string message = "Unable to write to " + PrintableText(path.string());
    return reason.empty() ? message : message + " (" + reason + ")";
}

std::string UnableToReadMessage(const fs::path& path, const std::string& reason) {
    const std::string message = "Unable to read " + PrintableText(path.string());
    return reason.empty() ? message : message + " (" + reason + ")";
}

TIniFile::TLine TIniFile::Classify(std::string text) {
    TLine line;
    const std::string trimmed = Trim(text);
    line.Text = std::move(text);
    line.Blank = trimmed.empty();
    if (line.Blank || trimmed.front() == ';') return line;
    if (trimmed.front() == '[') {
        const std::size_t close = trimmed.find(']');
        if (close == std::string::npos) return line; // a damaged header: not a section
        line.Kind = TLine::Section;
        line.Name = Trim(std::string_view(trimmed).substr(1, close - 1));
        return line;
    }
    const std::size_t equals = trimmed.find('=');
    if (equals == std::string::npos) return line;
    line.Kind = TLine::KeyValue;
    line.Name = Trim(std::string_view(trimmed).substr(0, equals));
    line.Value = Trim(std::string_view(trimmed).substr(equals + 1));
    return line;
}

TIniFile TIniFile::Read(const fs::path& path) {
    TIniFile ini;
    ini.path_ = path;
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (status.type() == fs::file_type::not_found) return ini;
    ini.exists_ = true;
    const auto refuse = [&ini](std::string reason) {
        ini.unreadable_ = true;
        ini.unreadableReason_ = std::move(reason);
        return ini;
    };
    if (error) return refuse(error.message());
    if (fs::is_directory(status)) return refuse("it is a folder");
    if (!fs::is_regular_file(status)) return refuse("it is not a regular file");
    const std::uintmax_t size = fs::file_size(path, error);
    if (error) return refuse(error.message());
    if (size > kMaxFileSize) return refuse("it is larger than 16 MiB");
    errno = 0;
    std::ifstream stream(path, std::ios::binary);
    if (!stream.is_open()) return refuse(SystemErrorText(errno));
    std::ostringstream text;
    text << stream.rdbuf();
    if (!stream || stream.bad()) return refuse(SystemErrorText(errno));
    ini.Parse(text.str());
    return ini;
}

TIniFile TIniFile::FromText(std::string_view text) {
    TIniFile ini;
    ini.Parse(text);
    return ini;
}

void TIniFile::Parse(std::string_view text) {
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
        bom_ = true;
        text.remove_prefix(kByteOrderMark.size());
    }
    const std::size_t firstBreak = text.find('\n');
    crlf_ = firstBreak != std::string_view::npos && firstBreak > 0 && text[firstBreak - 1] == '\r';
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines_.push_back(Classify(std::string(line)));
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
}

std::optional<std::string> TIniFile::Value(std::string_view section, std::string_view key) const {
    bool inSection = false;
    for (const TLine& line : lines_) {
        if (line.Kind == TLine::Section)
            inSection = SameName(line.Name, section);
        else if (inSection && line.Kind == TLine::KeyValue && SameName(line.Name, key))
            return line.Value;
    }
    return std::nullopt;
}

std::vector<std::string> TIniFile::SectionLines(std::string_view section) const {
    std::vector<std::string> result;
    bool inSection = false;
    for (const TLine& line : lines_) {
        if (line.Kind == TLine::Section)
            inSection = SameName(line.Name, section);
        else if (inSection && !line.Blank && TrimLeft(line.Text).front() != ';')
            result.push_back(Trim(line.Text));
    }
    return result;
}

std::string TIniFile::ReadString(std::string_view section, std::string_view key,
                                 std::string_view defaultValue) const {
    const std::optional<std::string> value = Value(section, key);
    return Truncate(value ? *value : std::string(defaultValue), kMaxIniTextLength);
}

int TIniFile::ReadInteger(std::string_view section, std::string_view key, int defaultValue) const {
    const std::optional<std::string> value = Value(section, key);
    if (!value) return defaultValue;
    return ParseInteger(*value).value_or(defaultValue);
}

bool TIniFile::ReadBool(std::string_view section, std::string_view key, bool defaultValue) const {
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void TIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    const std::string sectionName = OnOneLine(section);
    const std::string keyName = OnOneLine(key);
    TLine line = Classify(keyName + "=" + OnOneLine(value));
    modified_ = true;
    bool inSection = false;
    int sectionsSeen = 0;
    std::size_t insertAt = 0; // after the last non-blank line of the first such section
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].Kind == TLine::Section) {
            inSection = SameName(lines_[i].Name, sectionName);
            if (inSection && ++sectionsSeen == 1) insertAt = i + 1;
            continue;
        }
        if (!inSection) continue;
        if (lines_[i].Kind == TLine::KeyValue && SameName(lines_[i].Name, keyName)) {
            lines_[i] = std::move(line);
            return;
        }
        if (sectionsSeen == 1 && !lines_[i].Blank) insertAt = i + 1;
    }
    if (sectionsSeen > 0) {
        lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt), std::move(line));
        return;
    }
    if (!lines_.empty() && !lines_.back().Blank) lines_.push_back(Classify(""));
    lines_.push_back(Classify("[" + sectionName + "]"));
    lines_.push_back(std::move(line));
}

void TIniFile::WriteInteger(std::string_view section, std::string_view key, int value) {
    WriteString(section, key, std::to_string(value));
}

void TIniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}

void TIniFile::EraseSection(std::string_view section) {
    std::vector<TLine> kept;
    kept.reserve(lines_.size());
    bool inSection = false;
    for (TLine& line : lines_) {
        if (line.Kind == TLine::Section) inSection = SameName(line.Name, section);
        if (!inSection) kept.push_back(std::move(line));
    }
    if (kept.size() != lines_.size()) modified_ = true;
    lines_ = std::move(kept);
}

std::string TIniFile::Text() const {
    const std::string_view lineEnd = crlf_ ? "\r\n" : "\n";
    std::string text = bom_ ? std::string(kByteOrderMark) : std::string();
    for (const TLine& line : lines_) {
        text += line.Text;
        text += lineEnd;
    }
    return text;
}

std::optional<std::string> TIniFile::Save() const {
    if (!modified_) return std::nullopt;
    if (path_.empty()) return UnableToWriteMessage(path_, "no file name");
    // Saving what could be read of such a file would replace everything else.
    if (unreadable_) return UnableToWriteMessage(path_, "the file could not be read");
    // A first write creates the folder of the file (~/.config/corvalt).
    std::error_code error;
    if (path_.has_parent_path()) std::filesystem::create_directories(path_.parent_path(), error);
    const std::string text = Text();
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    if (const std::string failure = ReplaceFile(path_.string(), std::span(bytes, text.size()));
        !failure.empty())
        return UnableToWriteMessage(path_, failure);
    return std::nullopt;
}

} // namespace corvalt
