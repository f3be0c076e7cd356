#pragma once
// The preferences file for the commands that read it (prefs, report, --version):
// "--ini FILE" on the command line, otherwise the file the desktop program uses.

#include "cli/Commands.h"
#include "model/FieldLimitTable.h"
#include "prefs/IniLocation.h"

#include <optional>
#include <string>

namespace corvalt::cli {

// Removes "--ini FILE" or "--ini=FILE" from args and puts FILE in file. Returns
// the error message when FILE is missing or empty, or the option is repeated.
std::optional<std::string> TakeIniOption(Args& args, std::string& file);

// The preferences file in use: file when given, else as IniLocation.h describes.
TIniLocation CliIniLocation(const std::string& file);

// The field limits table of the preferences file in use (file when given);
// ExitOk, or ExitBadInput after saying why the file cannot be read. Lines of
// the table that do not read are named in warnings.
int ReadFieldLimits(const std::string& file, TFieldLimits& limits);

} // namespace corvalt::cli
