#include "platform/desktop/StringTable.h"

#include <cctype>
#include <optional>

namespace framework {

namespace {

class Scanner {
 public:
  explicit Scanner(const std::string& text) : text_(text) {}

  // Blanks and comments.
  void skipFiller() {
    while (at_ < text_.size()) {
      if (std::isspace(static_cast<unsigned char>(text_[at_]))) {
        ++at_;
      } else if (text_.compare(at_, 2, "//") == 0) {
        while (at_ < text_.size() && text_[at_] != '\n') ++at_;
      } else if (text_.compare(at_, 2, "/*") == 0) {
        const size_t end = text_.find("*/", at_ + 2);
        at_ = end == std::string::npos ? text_.size() : end + 2;
      } else {
        return;
      }
    }
  }

  bool atEnd() {
    skipFiller();
    return at_ >= text_.size();
  }

  bool take(char expected) {
    skipFiller();
    if (at_ >= text_.size() || text_[at_] != expected) return false;
    ++at_;
    return true;
  }

  std::optional<std::string> quoted() {
    if (!take('"')) return std::nullopt;
    std::string value;
    while (at_ < text_.size() && text_[at_] != '"') {
      char c = text_[at_++];
      if (c == '\\' && at_ < text_.size()) {
        c = text_[at_++];
        if (c == 'n') c = '\n';
        else if (c == 't') c = '\t';
      }
      value += c;
    }
    if (at_ >= text_.size()) return std::nullopt;
    ++at_;
    return value;
  }

 private:
  const std::string& text_;
  size_t at_ = 0;
};

}  // namespace

std::map<std::string, std::string> ParseStringTable(const std::string& text) {
  std::map<std::string, std::string> entries;
  Scanner scanner(text);
  while (!scanner.atEnd()) {
    const std::optional<std::string> key = scanner.quoted();
    if (!key || !scanner.take('=')) break;
    const std::optional<std::string> value = scanner.quoted();
    if (!value || !scanner.take(';')) break;
    entries[*key] = *value;
  }
  return entries;
}

}  // namespace framework
