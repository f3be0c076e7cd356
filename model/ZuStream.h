#pragma once
// TZuStream: the in-memory byte stream in which a project is serialized, with
// the four little-endian encodings of the project file: byte, 32-bit integer,
// 80-bit extended real and length-prefixed text. Used for project files, the
// modified check and cloning.
//
// Reads never run past the data: a read that finds fewer bytes than it needs
// yields zero for the missing bytes and marks the stream as run short, which
// the caller checks (Truncated()).

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace corvalt {

class TZuStream {
  public:
    static constexpr std::size_t kRealSize = 10;

    TZuStream() = default;
    explicit TZuStream(std::vector<std::uint8_t> bytes) : buffer_(std::move(bytes)) {}

    void WriteByte(std::uint8_t value);
    void WriteInt(std::int32_t value);
    // Model values are floats and doubles, which a double carries exactly; the
    // 80-bit pattern is built from its sign, exponent and significand.
    void WriteReal(double value);
    void WriteText(const std::string& text);

    std::uint8_t ReadByte();
    std::int32_t ReadInt();
    // The 80-bit value rounded to the nearest double (±infinity beyond its range).
    double ReadReal();
    // An integer length n, then n bytes; empty for n <= 0. A length beyond the
    // bytes left reads what is there and marks the stream as run short.
    std::string ReadText();
    // Up to count raw bytes; fewer (and the mark) when the data ends first.
    std::vector<std::uint8_t> ReadBytes(std::size_t count);

    // Replaces the content with the file's (position 0). Returns an empty text
    // on success, else why the file could not be read.
    std::string LoadFromFile(const std::string& path, std::size_t maxBytes);
    // Writes the whole buffer to the file through a temporary file in the same
    // folder, so the old file stays intact unless the new one is complete.
    // Returns an empty text on success, else why it failed.
    std::string SaveToFile(const std::string& path) const;
    void CopyTo(TZuStream& other) const;

    void Clear();
    void Rewind();
    std::size_t Size() const { return buffer_.size(); }
    std::size_t Position() const { return position_; }
    std::size_t Remaining() const { return buffer_.size() - position_; }
    bool Truncated() const { return truncated_; }
    const std::vector<std::uint8_t>& Bytes() const { return buffer_; }
    std::vector<std::uint8_t> TakeBytes();

  private:
    void Append(const std::uint8_t* data, std::size_t count);
    // Copies count bytes from the position into out; zero-fills what is missing.
    void Take(std::uint8_t* out, std::size_t count);

    std::vector<std::uint8_t> buffer_;
    std::size_t position_ = 0;
    bool truncated_ = false;
};

// The 10 bytes of the 80-bit extended real nearest to value (exact for every
// finite double), and back to the nearest double.
void EncodeExtended(double value, std::uint8_t out[TZuStream::kRealSize]);
double DecodeExtended(const std::uint8_t in[TZuStream::kRealSize]);

} // namespace corvalt
