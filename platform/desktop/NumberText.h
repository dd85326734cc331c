// Numbers in text fields read and written the way Cocoa's controls do: the leading number counts,
// text that does not start with one reads as 0.
#pragma once

#include <string>

namespace framework {

int LeadingInt(const std::string& text);
double LeadingDouble(const std::string& text);
// Whole numbers without decimals, others with up to six significant digits (106.667).
std::string FormatDouble(double value);

}  // namespace framework
