#include "tenrek/program_source.h"

#include "tenrek/input_files.h"
#include "tenrek/line_source.h"

namespace tenrek {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v'; }

// Editors on Windows often start a UTF-8 file with a byte-order mark; it
// is not part of the first line.
void DropByteOrderMark(std::string& text) {
  if (text.starts_with("\xEF\xBB\xBF")) text.erase(0, 3);
}

}  // namespace

bool ReadProgramSource(const std::string& path, ProgramSource& source, std::string& reason) {
  InputFile file;
  std::FILE* stream = nullptr;
  if (!OpenInputFile(path, file, stream, reason)) return false;
  source.name = path == "-" ? "<stdin>" : path;
  LineSource lines(stream);
  std::size_t total = 0;
  SourceLine line;
  for (LineStatus status; (status = lines.Next(line.text)) != LineStatus::End;) {
    line.number = lines.LineNumber();
    line.tooLong = status == LineStatus::TooLong;
    if (line.number == 1) DropByteOrderMark(line.text);
    total += line.text.size() + 1;
    if (total > kMaxProgramText) {
      reason = "larger than " + std::to_string(kMaxProgramText >> 20) + " MB";
      return false;
    }
    source.lines.push_back(std::move(line));
    line = SourceLine{};
  }
  if (lines.NotText()) source.notTextAt = lines.LineNumber();
  return true;
}

bool IsSkippedLine(const SourceLine& line) {
  if (line.number == 1 && line.text.starts_with("#!")) return true;
  for (const char c : line.text) {
    if (!IsBlank(c)) return false;
  }
  return true;
}

std::size_t LineNumberEnd(std::string_view text) {
  std::size_t at = 0;
  while (at < text.size() && IsBlank(text[at])) ++at;
  bool nonZero = false;
  while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
    nonZero = nonZero || text[at] != '0';
    ++at;
  }
  return nonZero ? at : 0;
}

}  // namespace tenrek
