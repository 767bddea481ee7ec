// Text lines from a stream, each at most as long as the interpreter takes,
// so that nothing that arrives (a device, a file with no line ends) can
// make the command hold more than one line.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

namespace tenrek {

enum class LineStatus {
  Line,     // a whole line
  TooLong,  // its first kMaxLineLength characters; the rest was skipped
  End,      // the end of the input, or input that is not text (below)
};

class LineSource {
 public:
  explicit LineSource(std::FILE* in) : in_(in) {}

  // Reads the next line into `line`, without its "\n" or "\r\n".
  LineStatus Next(std::string& line);

  // The number of the line Next read last, from 1.
  std::size_t LineNumber() const { return lineNumber_; }
  // True once a line went on past kMaxSkipped characters without a line
  // end: the input is not text (a device of zeros, say), and its reading
  // ended there.
  bool NotText() const { return notText_; }

  // How far a line too long to take is skipped in search of its end.
  static constexpr std::size_t kMaxSkipped = std::size_t{1} << 20;

 private:
  bool SkipToLineEnd();

  std::FILE* in_;
  std::size_t lineNumber_ = 0;
  bool notText_ = false;
};

// The text with every tab outside a string literal turned into a blank:
// typed lines and program files may indent with tabs.
std::string WithTabsAsBlanks(std::string text);

}  // namespace tenrek
