#include "platform/desktop/NumberText.h"

#include <cctype>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>

namespace framework {

namespace {

// Skips leading blanks and returns where the number starts; sign and digits are scanned by the callers.
size_t skipBlanks(const std::string& text) {
  size_t i = 0;
  while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  return i;
}

size_t skipDigits(const std::string& text, size_t i) {
  while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i;
  return i;
}

}  // namespace

int LeadingInt(const std::string& text) {
  size_t i = skipBlanks(text);
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  long long value = 0;
  for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > INT_MAX) return negative ? INT_MIN : INT_MAX;  // Cocoa clamps, it does not wrap
  }
  return static_cast<int>(negative ? -value : value);
}

double LeadingDouble(const std::string& text) {
  // Only plain decimal notation: "inf", "nan" and hexadecimal are not numbers here.
  size_t start = skipBlanks(text);
  size_t i = start;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  const size_t digitsStart = i;
  i = skipDigits(text, i);
  size_t mantissaDigits = i - digitsStart;
  if (i < text.size() && text[i] == '.') {
    const size_t fractionStart = i + 1;
    const size_t fractionEnd = skipDigits(text, fractionStart);
    mantissaDigits += fractionEnd - fractionStart;
    i = fractionEnd;
  }
  if (mantissaDigits == 0) return 0;
  bool tinyWhenOutOfRange = false;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    size_t e = i + 1;
    if (e < text.size() && (text[e] == '+' || text[e] == '-')) ++e;
    const size_t exponentEnd = skipDigits(text, e);
    if (exponentEnd > e) {
      tinyWhenOutOfRange = text[e - 1] == '-';
      i = exponentEnd;
    }
  }
  double value = 0;
  const auto [end, error] = std::from_chars(text.data() + digitsStart, text.data() + i, value);
  (void)end;
  if (error == std::errc::result_out_of_range) value = tinyWhenOutOfRange ? 0.0 : HUGE_VAL;
  else if (error != std::errc()) return 0;
  return negative ? -value : value;
}

std::string FormatDouble(double value) {
  char text[64];
  if (std::isfinite(value) && value == std::trunc(value) && std::fabs(value) < 1e15) {
    std::snprintf(text, sizeof text, "%.0f", value);
  } else {
    std::snprintf(text, sizeof text, "%.6g", value);
  }
  if (text[0] == '-' && text[1] == '0' && text[2] == '\0') return "0";
  return text;
}

}  // namespace framework
