// A string table in the .strings form: "key" = "value"; with C comments and backslash escapes.
#pragma once

#include <map>
#include <string>

namespace framework {

// Entries up to the first malformed one.
std::map<std::string, std::string> ParseStringTable(const std::string& text);

}  // namespace framework
