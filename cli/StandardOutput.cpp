#include "cli/StandardOutput.h"

#include <cerrno>
#include <csignal>
#include <iostream>

#include <unistd.h>

namespace corvalt::cli {

TStandardOutput::TStandardOutput() {
    std::signal(SIGPIPE, SIG_IGN);
    setp(buffer_.data(), buffer_.data() + buffer_.size());
    previous_ = std::cout.rdbuf(this);
}

TStandardOutput::~TStandardOutput() {
    Drain();
    std::cout.rdbuf(previous_);
}

bool TStandardOutput::WriteOut(const char* bytes, std::size_t count) {
    if (error_ != 0) return false; // the rest of a broken output goes nowhere
    while (count > 0) {
        const ssize_t written = ::write(STDOUT_FILENO, bytes, count);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) {
            error_ = written < 0 ? errno : EIO;
            return false;
        }
        bytes += written;
        count -= static_cast<std::size_t>(written);
    }
    return true;
}

bool TStandardOutput::Drain() {
    const auto count = static_cast<std::size_t>(pptr() - pbase());
    setp(buffer_.data(), buffer_.data() + buffer_.size());
    return WriteOut(buffer_.data(), count);
}

TStandardOutput::int_type TStandardOutput::overflow(int_type c) {
    if (!Drain()) return traits_type::eof();
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    *pptr() = traits_type::to_char_type(c);
    pbump(1);
    return c;
}

int TStandardOutput::sync() {
    return Drain() ? 0 : -1;
}

std::streamsize TStandardOutput::xsputn(const char* text, std::streamsize count) {
    const auto room = epptr() - pptr();
    if (count <= room) {
        traits_type::copy(pptr(), text, static_cast<std::size_t>(count));
        pbump(static_cast<int>(count));
        return count;
    }
    if (!Drain() || !WriteOut(text, static_cast<std::size_t>(count))) return 0;
    return count;
}

} // namespace corvalt::cli
