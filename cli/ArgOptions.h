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
// <what>") when VALUE is missing or empty, or the option is repeated. Options
// end at "--": what follows it is never taken.
std::optional<std::string> TakeOption(Args& args, std::string_view name, std::string_view what,
                                      std::string& value, bool& given);

// Removes every "--name" (an option without value) before "--"; whether there was one.
bool TakeFlag(Args& args, std::string_view name);

// Once a command has taken its options: the message naming the first
// argument left that looks like an option ("-x", "--name"), if any. Removes
// the "--" that ends the options, so a file whose name starts with "-" can
// follow it.
std::optional<std::string> RejectUnknownOptions(Args& args);

// Reads the whole text as a number ("." as decimal point whatever the locale).
bool ReadNumber(std::string_view text, double& value);

// "--size WIDTHxHEIGHT": whole numbers from lowest to highest each, left as
// they were when not given. Returns the error message when the value is not
// such a size.
std::optional<std::string> TakeSizeOption(Args& args, int lowest, int highest, int& width,
                                          int& height);

// "--section N": the 1-based number of a cross section, 1 when not given.
// Returns the error message when N is not a whole number of at least 1.
std::optional<std::string> TakeSectionOption(Args& args, int& section);

// Cross section `section` (1-based) of the project, or nullptr after printing
// why there is none; projectPath names the file in the message.
TScenario* SectionOrFail(TEmfProject& project, int section, const std::string& projectPath);

} // namespace corvalt::cli
