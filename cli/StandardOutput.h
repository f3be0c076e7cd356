#pragma once
// Standard output of corvalt-cli written straight to descriptor 1 through a
// buffer of its own, which remembers why the first write failed (a full disk,
// a pipe whose reader has gone, /dev/full), so the command can end with that
// reason instead of a bare "cannot write". SIGPIPE is ignored while it is in
// place: a closed pipe is then an error with a reason, not a silent death.

#include <array>
#include <streambuf>

namespace corvalt::cli {

class TStandardOutput : public std::streambuf {
  public:
    // Puts itself behind std::cout until it goes.
    TStandardOutput();
    ~TStandardOutput() override;
    TStandardOutput(const TStandardOutput&) = delete;
    TStandardOutput& operator=(const TStandardOutput&) = delete;

    // errno of the first failed write, 0 while every write succeeded.
    int Error() const { return error_; }

  protected:
    int_type overflow(int_type c) override;
    int sync() override;
    std::streamsize xsputn(const char* text, std::streamsize count) override;

  private:
    bool WriteOut(const char* bytes, std::size_t count);
    bool Drain();

    // Left uninitialised: only what was written is read back, and zeroing it
    // would touch sixteen fresh pages of the stack at every start.
    std::array<char, 64 * 1024> buffer_;
    std::streambuf* previous_ = nullptr;
    int error_ = 0;
};

} // namespace corvalt::cli
