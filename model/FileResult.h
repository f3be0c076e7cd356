#pragma once
// Outcome of loading or saving a project: success, or the message to show and,
// for damaged files, where the reader stopped.

#include <string>
#include <utility>

namespace corvalt {

struct TFileResult {
    bool Ok = true;
    std::string Message; // the text to show the user (see model/Messages.h); empty on success
    std::string Detail;  // what failed and where, for the command line and bug reports

    static TFileResult Success() { return {}; }
    static TFileResult Failure(std::string message, std::string detail = {}) {
        return {false, std::move(message), std::move(detail)};
    }
};

} // namespace corvalt
