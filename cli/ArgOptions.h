#pragma once
// Options with a value ("--name VALUE" or "--name=VALUE") taken out of a
// subcommand's arguments, and the cross-section number of --section.

#include "cli/Commands.h"

#include <optional>
#include <string>
#include <string_view>

namespace corvalt {
class TScenario;
}

namespace corvalt::cli {

// Removes "--name VALUE" or "--name=VALUE" from args and puts VALUE in value;
// given says whether it was there. Returns the error message ("--name needs
// <what>") when VALUE is missing or empty, or the option is repeated.
std::optional<std::string> TakeOption(Args& args, std::string_view name, std::string_view what,
                                      std::string& value, bool& given);

// "--section N": the 1-based number of a cross section, 1 when not given.
// Returns the error message when N is not a whole number of at least 1.
std::optional<std::string> TakeSectionOption(Args& args, int& section);

// Cross section `section` (1-based) of the project, or nullptr after printing
// why there is none; projectPath names the file in the message.
TScenario* SectionOrFail(TEmfProject& project, int section, const std::string& projectPath);

} // namespace corvalt::cli
