#include "tenrek/line_source.h"

#include "interp/limits.h"

namespace tenrek {

LineStatus LineSource::Next(std::string& line) {
  line.clear();
  if (notText_) return LineStatus::End;
  // One character more than a line may have: a "\r" before the "\n".
  constexpr std::size_t kRoom = kMaxLineLength + 1;
  int c = 0;
  while ((c = std::getc(in_)) != EOF && c != '\n') {
    if (line.size() == kRoom) {
      ++lineNumber_;
      line.resize(kMaxLineLength);
      return SkipToLineEnd() ? LineStatus::TooLong : LineStatus::End;
    }
    line.push_back(static_cast<char>(c));
  }
  if (c == EOF && line.empty()) return LineStatus::End;
  ++lineNumber_;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  if (line.size() <= kMaxLineLength) return LineStatus::Line;
  line.resize(kMaxLineLength);
  return LineStatus::TooLong;
}

// One character of the line has been read past the limit.
bool LineSource::SkipToLineEnd() {
  for (std::size_t skipped = 1; skipped < kMaxSkipped; ++skipped) {
    const int c = std::getc(in_);
    if (c == '\n' || c == EOF) return true;
  }
  notText_ = true;
  return false;
}

std::string WithTabsAsBlanks(std::string text) {
  char quote = 0;
  for (char& c : text) {
    if (quote != 0) {
      if (c == quote) quote = 0;
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if (c == '\t') {
      c = ' ';
    }
  }
  return text;
}

}  // namespace tenrek
