// Program files: SAVE, LOAD, MERGE, and the loading behind RUN "NAME" and
// `tenrek run FILE`.
//
// Files are opened in binary mode so that line ends are the same on every
// platform: SAVE ends each line in CR LF, and reading accepts LF or CR LF.
#include "text/files.h"

#include <array>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

#include "eval/evaluator.h"
#include "interp/interpreter.h"
#include "interp/statements.h"
#include "text/lister.h"

namespace tenrek {

namespace {

// The I/O sub-code for a name that cannot be composed into a file name.
constexpr int32_t kBadFileName = 7;
// The I/O sub-code for a file that could not be written completely.
constexpr int32_t kFileWriteError = 38;

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// "%s.BAS" must fit 1024 bytes, and a zero inside the name would cut it
// short and open some other file.
bool IsUsableFileName(std::string_view name) {
  return name.size() <= kMaxFileNameText && name.find('\0') == std::string_view::npos;
}

std::string ProgramFileName(std::string_view name, const char* extension = ".BAS") {
  std::string path(name);
  path += extension;
  return path;
}

// NAME.BAS, or NAME.bas when the file system tells case apart and only
// that one exists. Only a regular file opens: a device or a pipe could
// feed LOAD for ever.
std::FILE* OpenProgramFile(std::string_view name) {
  for (const char* extension : {".BAS", ".bas"}) {
    const std::string path = ProgramFileName(name, extension);
    std::error_code error;
    if (!std::filesystem::exists(std::filesystem::path(path), error) && extension[1] == 'B') {
      continue;
    }
    return IsLoadableFile(path) ? std::fopen(path.c_str(), "rb") : nullptr;
  }
  return nullptr;
}

// Splits a file into lines of at most 1023 characters. A line ends at a
// line feed (a carriage return just before it is dropped, as is one at the
// very end of the file) or at the end of the file; a longer text line
// arrives in pieces, and every piece after its first is a continuation.
class LineReader {
 public:
  explicit LineReader(std::FILE* file) : file_(file) { piece_.reserve(kMaxLineLength); }

  // Editors on Windows often start a UTF-8 file with a byte-order mark; it
  // is not part of the first line.
  void SkipByteOrderMark() {
    static constexpr char kMark[] = "\xEF\xBB\xBF";
    PeekChar();
    if (size_ >= 3 && std::memcmp(buffer_, kMark, 3) == 0) {
      position_ = 3;
      lookahead_ = kNone;
    }
  }

  // Reads the next piece; false at the end of the file.
  bool Next() {
    continuation_ = nextIsContinuation_;
    nextIsContinuation_ = false;
    piece_.clear();
    if (carry_ != kNone) piece_ += static_cast<char>(carry_);
    carry_ = kNone;
    for (;;) {
      const int c = NextChar();
      if (c == EOF) return !piece_.empty();
      if (c == '\n' || (c == '\r' && TakeLineEndAfterReturn())) return true;
      if (piece_.size() == kMaxLineLength) {
        carry_ = c;  // starts the next piece
        nextIsContinuation_ = true;
        return true;
      }
      piece_ += static_cast<char>(c);
    }
  }
  const std::string& Piece() const { return piece_; }
  bool IsContinuation() const { return continuation_; }

 private:
  static constexpr int kNone = -2;

  // A carriage return ends the line when a line feed (consumed with it) or
  // the end of the file follows.
  bool TakeLineEndAfterReturn() {
    const int after = PeekChar();
    if (after == '\n') NextChar();
    return after == '\n' || after == EOF;
  }
  int PeekChar() {
    if (lookahead_ == kNone) lookahead_ = ReadChar();
    return lookahead_;
  }
  int NextChar() {
    const int c = PeekChar();
    lookahead_ = kNone;
    return c;
  }
  int ReadChar() {
    if (position_ == size_ && !atEnd_) {
      size_ = std::fread(buffer_, 1, sizeof buffer_, file_);
      position_ = 0;
      atEnd_ = size_ == 0;
    }
    return position_ < size_ ? static_cast<unsigned char>(buffer_[position_++]) : EOF;
  }

  std::FILE* file_;
  char buffer_[8192];
  std::size_t size_ = 0;
  std::size_t position_ = 0;
  bool atEnd_ = false;
  int lookahead_ = kNone;
  int carry_ = kNone;
  bool continuation_ = false;
  bool nextIsContinuation_ = false;
  std::string piece_;
};

// A break (Ctrl-C, or the owner going away) or an exhausted memory budget
// stops a LOAD between two lines; the run then ends as it would after any
// statement that met them.
bool StopsLoading(const Interpreter& interp) {
  return interp.BreakPending() || interp.Abandoned() || interp.budget.Exhausted();
}

// Each line is entered as if typed. A line without a number, and every
// continuation piece of an over-long text line, is a bad line: it is
// reported and never entered (a piece that happens to begin with digits
// must not replace or delete a line).
// Returns false when the file could not be read (a folder, for one, opens
// on some systems but never reads).
bool EnterLines(Interpreter& interp, std::FILE* file) {
  LineReader reader(file);
  reader.SkipByteOrderMark();
  while (!StopsLoading(interp) && reader.Next()) {
    if (reader.IsContinuation()) {
      interp.Report(Error::BadLineInFile);
      continue;
    }
    TokenList tokens;
    interp.EnterLine(reader.Piece(), tokens);
    if (interp.enteredLineNumber == 0) interp.Report(Error::BadLineInFile);
  }
  return std::ferror(file) == 0;
}

bool WriteLine(std::FILE* file, std::string& text, const ProgramLine& line) {
  text.clear();
  text += std::to_string(line.number);
  text += ' ';
  AppendTokensText(text, line.tokens, kFileListing);
  text += "\r\n";
  return std::fwrite(text.data(), 1, text.size(), file) == text.size();
}

bool WriteProgram(std::FILE* file, const ProgramStore& program) {
  std::string text;
  for (const ProgramLine* line = program.First(); line != nullptr; line = line->next) {
    if (!WriteLine(file, text, *line)) return false;
  }
  return true;
}

void SaveProgramFile(Interpreter& interp, StatementCursor& cursor) {
  const std::string name = EvaluateFileName(interp, cursor);
  if (!IsUsableFileName(name)) {
    interp.ReportIoFailure(kBadFileName, name);
    return;
  }
  const std::string path = ProgramFileName(name);
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) {
    interp.ReportIoFailure(kFileNotFound, path);
    return;
  }
  const bool written = WriteProgram(file, interp.program);
  const bool closed = std::fclose(file) == 0;
  if (!written || !closed) interp.ReportIoFailure(kFileWriteError, path);
}

}  // namespace

std::string EvaluateFileName(Interpreter& interp, StatementCursor& cursor) {
  Value value = EvaluateExpression(interp, cursor);
  if (!value.isString) {
    interp.Report(Error::TypeMismatch);
    return {};
  }
  return std::move(value.text);
}

// A LOAD that cannot open its file leaves the program empty, whatever the
// reason, so RUN "NAME" never goes on to run the program loaded before.
void LoadProgramFile(Interpreter& interp, bool merge, std::string_view name,
                     StatementCursor& cursor) {
  if (!merge) interp.NewProgram(cursor);
  if (!IsUsableFileName(name)) {
    interp.ReportIoFailure(kBadFileName, name);
    return;
  }
  FilePtr file(OpenProgramFile(name));
  if (file == nullptr || !EnterLines(interp, file.get())) {
    interp.ReportIoFailure(kFileNotFound, ProgramFileName(name));
  }
}

bool NamesWindowsDevice(std::string_view path) {
  const std::size_t slash = path.find_last_of("/\\:");
  std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  name = name.substr(0, name.find('.'));
  while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
  std::string upper;
  for (const char c : name) upper += static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
  static constexpr std::array<std::string_view, 6> kPlainDevices = {"CON", "PRN",    "AUX",
                                                                    "NUL", "CONIN$", "CONOUT$"};
  for (std::string_view device : kPlainDevices) {
    if (upper == device) return true;
  }
  const bool numbered = upper.size() == 4 && (upper.starts_with("COM") || upper.starts_with("LPT"));
  return numbered && upper[3] >= '1' && upper[3] <= '9';
}

bool IsLoadableFile(const std::string& path) {
#ifdef _WIN32
  if (NamesWindowsDevice(path) || path.starts_with("\\\\.\\") || path.starts_with("//./")) {
    return false;
  }
#endif
  std::error_code error;
  return std::filesystem::is_regular_file(std::filesystem::path(path), error);
}

bool EnterProgramFile(Interpreter& interp, const std::string& path) {
  if (!IsLoadableFile(path)) return false;
  FilePtr file(std::fopen(path.c_str(), "rb"));
  return file != nullptr && EnterLines(interp, file.get());
}

bool EnterProgramStream(Interpreter& interp, std::FILE* stream) {
  return EnterLines(interp, stream);
}

// LOAD name
Flow ExecLoad(Interpreter& interp, StatementCursor& cursor) {
  const std::string name = EvaluateFileName(interp, cursor);
  LoadProgramFile(interp, false, name, cursor);
  return Flow::Next;
}

// MERGE name
Flow ExecMerge(Interpreter& interp, StatementCursor& cursor) {
  const std::string name = EvaluateFileName(interp, cursor);
  LoadProgramFile(interp, true, name, cursor);
  return Flow::Next;
}

// SAVE name
Flow ExecSave(Interpreter& interp, StatementCursor& cursor) {
  SaveProgramFile(interp, cursor);
  return Flow::Next;
}

}  // namespace tenrek
