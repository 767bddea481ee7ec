#include "tenrek/checker.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "interp/limits.h"
#include "text/keywords.h"
#include "text/tokenizer.h"

namespace tenrek {
namespace {

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsWordChar(char c) { return IsLetter(c) || IsDigit(c) || c == '$' || c == '_'; }

std::string Upper(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

enum class Kind { Word, Number, String, Symbol };

// A piece of a line as the tokenizer cuts it, with its place.
struct Lexeme {
  Kind kind = Kind::Symbol;
  std::string text;        // a word keeps its first 20 characters
  std::string full;        // a word as written
  std::size_t column = 0;  // from 1
  std::size_t end = 0;     // the column after it
  bool glued = false;      // nothing between it and the lexeme before
  char quote = 0;          // a string's delimiter
  bool closed = true;      // a string: its closing delimiter was there
  std::optional<TokenKind> keyword;
};

struct Line {
  int64_t number = 0;  // 0: the line has none
  std::size_t fileLine = 0;
  std::string text;
  std::vector<Lexeme> lexemes;
};

// Where the number literal at `at` ends, as the tokenizer reads it.
std::size_t NumberEnd(std::string_view text, std::size_t at) {
  std::size_t length = 0;
  ReadNumberLiteral(text.substr(at), length);
  return at + length;
}

std::size_t StringEnd(std::string_view text, std::size_t at, Lexeme& lexeme) {
  lexeme.kind = Kind::String;
  lexeme.quote = text[at];
  const std::size_t close = text.find(lexeme.quote, at + 1);
  lexeme.closed = close != std::string_view::npos;
  const std::size_t end = lexeme.closed ? close + 1 : text.size();
  lexeme.text = std::string(text.substr(at + 1, (lexeme.closed ? close : end) - at - 1));
  return end;
}

std::size_t SymbolEnd(std::string_view text, std::size_t at) {
  const char next = at + 1 < text.size() ? text[at + 1] : '\0';
  const bool pair =
      (text[at] == '<' && (next == '=' || next == '>')) || (text[at] == '>' && next == '=');
  return at + (pair ? 2 : 1);
}

// The lexemes of `text` from `at` on; a REM takes the rest of the line.
std::vector<Lexeme> Lex(std::string_view text, std::size_t at) {
  std::vector<Lexeme> lexemes;
  bool blank = true;
  while (at < text.size()) {
    const char c = text[at];
    if (c == ' ' || c == '\t' || c == '\r') {
      blank = true;
      ++at;
      continue;
    }
    Lexeme lexeme;
    lexeme.column = at + 1;
    lexeme.glued = !blank;
    blank = false;
    std::size_t end = at + 1;
    if (IsDigit(c) || c == '.') {
      lexeme.kind = Kind::Number;
      end = NumberEnd(text, at);
    } else if (IsLetter(c)) {
      lexeme.kind = Kind::Word;
      while (end < text.size() && IsWordChar(text[end])) ++end;
    } else if (c == '"' || c == '\'') {
      end = StringEnd(text, at, lexeme);
    } else {
      end = SymbolEnd(text, at);
    }
    if (lexeme.kind != Kind::String) {
      lexeme.full = std::string(text.substr(at, end - at));
      lexeme.text = lexeme.full;
    }
    if (lexeme.kind == Kind::Word) lexeme.text.resize(std::min(end - at, kMaxNameLength));
    if (lexeme.kind == Kind::Word) lexeme.keyword = LookupKeyword(lexeme.text);
    lexemes.push_back(std::move(lexeme));
    if (lexemes.back().keyword == TokenKind::Rem) break;
    at = end;
  }
  return lexemes;
}

struct Warning {
  std::size_t fileLine;
  std::size_t column;
  std::string text;
};

// Where a statement of a loop stands, in the order the program runs.
struct LoopMark {
  std::size_t order;  // the line's place among the lines sorted by number
  std::size_t column;
  std::string name;  // FOR's and NEXT's variable; empty for a bare NEXT
  const Line* line;
};

struct Place {
  const Line* line;
  std::size_t column;
};

// Names other BASICs use as functions; here each one is an unknown name,
// which before "(" makes an automatic array that reads 0.
struct Foreign {
  const char* name;
  const char* instead;
};
constexpr std::array<Foreign, 15> kForeignFunctions = {{
    {"RND", "RANDOM(HIGH + 1, LOW)"},
    {"TAB", "LEFT$(S$ + \"          \", N) to pad"},
    {"SPC", "a string of blanks"},
    {"INSTR", "ATC(S$, FIND$, 1)"},
    {"LOG10", "LOG(X) / LOG(10)"},
    {"ATN", "ARCTAN(X)"},
    {"FIX", "INT(X), which cuts toward zero"},
    {"CINT", "FLOOR(X + 0.5)"},
    {"ROUND", "FLOOR(X + 0.5)"},
    {"UCASE$", "UPPER$(S$)"},
    {"LCASE$", "LOWER$(S$)"},
    {"TRIM$", "LTRIM$(RTRIM$(S$))"},
    {"SPACE$", "a string of blanks"},
    {"STRING$", "the string written out"},
    {"POW", "X ^ Y"},
}};

// Statements of other BASICs; here each is a name that a "=" must follow.
constexpr std::array<Foreign, 4> kForeignStatements = {{
    {"DEF", "a subroutine, with GOSUB and RETURN"},
    {"RANDOMIZE", "nothing: RANDOM starts from the time of day"},
    {"SWAP", "T = A: A = B: B = T"},
    {"CLS", "nothing: each PRINT shows a box of its own"},
}};

const Foreign* FindForeign(const auto& table, const std::string& upper) {
  for (const Foreign& entry : table) {
    if (upper == entry.name) return &entry;
  }
  return nullptr;
}

// Keywords that begin a statement, and those that stand between operands:
// glued to what follows (FORI, TO9) they make one unknown name.
constexpr std::array<std::string_view, 17> kStatementWords = {
    "PRINT",  "INPUT", "GOTO",    "GOSUB", "IF",  "FOR", "NEXT", "WHILE", "WEND",
    "RETURN", "READ",  "RESTORE", "DIM",   "LET", "ON",  "END",  "STOP"};
constexpr std::array<std::string_view, 10> kInfixWords = {"TO",    "STEP", "THEN", "ELSE", "GOTO",
                                                          "GOSUB", "AND",  "OR",   "XOR",  "MOD"};

std::optional<std::string_view> GluedPrefix(const auto& words, const std::string& upper) {
  for (std::string_view word : words) {
    if (upper.size() > word.size() && upper.starts_with(word)) return word;
  }
  return std::nullopt;
}

class Checker {
 public:
  explicit Checker(const ProgramSource& source) : source_(source) {}

  std::vector<Warning> Run();

 private:
  void ReadLines();
  void CheckLine(const Line& line);
  void CheckWord(const Line& line, std::size_t i, bool statementStart);
  void CheckStatementWord(const Line& line, std::size_t i);
  void CheckKeyword(const Line& line, std::size_t i);
  void CheckSqr(const Line& line, std::size_t i);
  void CheckRandom(const Line& line, std::size_t i);
  void NoteTargets(const Line& line, std::size_t i, bool list);
  void NoteName(const Line& line, const Lexeme& word, bool assigned);
  void NoteLoop(const Line& line, std::size_t i);
  void CheckTargets();
  void CheckLoops();
  void CheckNames();
  void Warn(const Line& line, std::size_t column, const std::string& what,
            const std::string& instead);

  const ProgramSource& source_;
  std::vector<Line> lines_;
  std::vector<Warning> warnings_;
  // What one statement is doing while its lexemes are read.
  std::optional<TokenKind> statement_;
  bool expectTarget_ = false;
  int depth_ = 0;
  bool inData_ = false;
  // Gathered over the whole program.
  std::vector<std::pair<Place, int64_t>> targets_;
  std::set<std::string> assigned_;
  std::map<std::string, Place> firstRead_;
  std::set<std::string> foreign_;
  std::map<std::string, std::set<std::string>> longNames_;
  std::map<std::string, Place> longNamePlace_;
  std::size_t order_ = 0;  // the place of the line being read
  std::vector<LoopMark> fors_;
  std::vector<LoopMark> nexts_;
  std::vector<std::pair<LoopMark, bool>> whileWend_;  // true: WHILE
};

void Checker::Warn(const Line& line, std::size_t column, const std::string& what,
                   const std::string& instead) {
  const int64_t shown = line.number != 0 ? line.number : static_cast<int64_t>(line.fileLine);
  std::string text = source_.name + ":" + std::to_string(shown) + ":" + std::to_string(column) +
                     ": warning: " + what;
  if (!instead.empty()) text += " (write " + instead + ")";
  warnings_.push_back({line.fileLine, column, std::move(text)});
}

void Checker::ReadLines() {
  for (const SourceLine& source : source_.lines) {
    Line line;
    line.fileLine = source.number;
    line.text = source.text;
    if (source.number == 1 && source.text.starts_with("#!")) continue;
    if (IsSkippedLine(source)) {
      Warn(line, 1, "blank line: LOAD reports \"Bad line in file\" for it",
           "nothing there, or a REM line");
      continue;
    }
    const std::size_t end = LineNumberEnd(source.text);
    if (end != 0) line.number = std::strtoll(source.text.c_str(), nullptr, 10);
    if (source.tooLong) {
      Warn(line, kMaxLineLength + 1,
           "line longer than " + std::to_string(kMaxLineLength) + " characters", "two lines");
      continue;
    }
    if (end == 0) {
      Warn(line, 1, "not a numbered line", "a line number first");
      continue;
    }
    line.lexemes = Lex(source.text, end);
    lines_.push_back(std::move(line));
  }
  // The program runs in the order of its numbers.
  std::stable_sort(lines_.begin(), lines_.end(),
                   [](const Line& a, const Line& b) { return a.number < b.number; });
}

std::vector<Warning> Checker::Run() {
  ReadLines();
  for (order_ = 0; order_ < lines_.size(); ++order_) CheckLine(lines_[order_]);
  CheckTargets();
  CheckLoops();
  CheckNames();
  std::stable_sort(warnings_.begin(), warnings_.end(), [](const Warning& a, const Warning& b) {
    return a.fileLine != b.fileLine ? a.fileLine < b.fileLine : a.column < b.column;
  });
  return std::move(warnings_);
}

bool IsSymbol(const Lexeme& lexeme, std::string_view text) {
  return lexeme.kind == Kind::Symbol && lexeme.text == text;
}

bool IsTypeSuffix(const Lexeme* lexeme);
bool IsAssignment(const Line& line, std::size_t i);

// FORI = 1 TO 9: FOR glued to its variable makes an assignment.
bool IsGluedFor(const Line& line, std::size_t i, const std::string& upper) {
  if (upper.size() <= 3 || !upper.starts_with("FOR")) return false;
  for (std::size_t at = i + 1; at < line.lexemes.size() && !IsSymbol(line.lexemes[at], ":"); ++at) {
    if (line.lexemes[at].kind == Kind::Word && Upper(line.lexemes[at].text).starts_with("TO")) {
      return true;
    }
  }
  return false;
}

void Checker::CheckLine(const Line& line) {
  bool start = true;
  statement_.reset();
  inData_ = false;
  for (std::size_t i = 0; i < line.lexemes.size(); ++i) {
    const Lexeme& lexeme = line.lexemes[i];
    if (IsSymbol(lexeme, ":")) {
      start = true;
      statement_.reset();
      inData_ = false;
      expectTarget_ = false;
      depth_ = 0;
      continue;
    }
    if (inData_) continue;
    if (IsSymbol(lexeme, "(")) ++depth_;
    if (IsSymbol(lexeme, ")")) --depth_;
    if (IsSymbol(lexeme, ",") && depth_ == 0 && statement_ != TokenKind::For) {
      expectTarget_ = statement_ == TokenKind::Input || statement_ == TokenKind::Read ||
                      statement_ == TokenKind::Dim;
    }
    if (lexeme.kind == Kind::String && lexeme.quote == '\'' && (start || !lexeme.closed)) {
      Warn(line, lexeme.column, "' starts a string here, not a remark", "REM");
    }
    if (lexeme.kind == Kind::Word) CheckWord(line, i, start);
    start = lexeme.keyword == TokenKind::Then || lexeme.keyword == TokenKind::Else;
    if (start) statement_.reset();
  }
}

void Checker::CheckWord(const Line& line, std::size_t i, bool statementStart) {
  const Lexeme& word = line.lexemes[i];
  if (word.keyword) {
    if (statementStart) {
      statement_ = word.keyword;
      depth_ = 0;
    }
    CheckKeyword(line, i);
    return;
  }
  const std::string upper = Upper(word.text);
  if (LookupKeyword(upper)) {
    Warn(line, word.column,
         word.text + " is a variable name, not the keyword " + upper +
             " (keywords are written in capitals or in small letters)",
         upper);
    return;
  }
  const Lexeme* after = i + 1 < line.lexemes.size() ? &line.lexemes[i + 1] : nullptr;
  if (IsTypeSuffix(after)) {
    Warn(line, after->column,
         after->text + " after " + word.text + " is not a type: only $ marks one, and " +
             after->text + " is a stray character",
         word.text);
  }
  if (statementStart) return CheckStatementWord(line, i);
  const Lexeme* before = i > 0 ? &line.lexemes[i - 1] : nullptr;
  if (word.glued && before != nullptr && before->kind != Kind::Symbol) {
    if (const auto prefix = GluedPrefix(kInfixWords, upper)) {
      Warn(line, word.column, word.text + ": a keyword must stand alone",
           std::string(*prefix) + " " + word.text.substr(prefix->size()));
      return;
    }
  }
  if (after != nullptr && IsSymbol(*after, "(")) {
    if (const Foreign* foreign = FindForeign(kForeignFunctions, upper)) {
      Warn(line, word.column,
           word.text + " is not a function here: " + word.text +
               "(...) is an automatic array, which reads 0",
           foreign->instead);
      foreign_.insert(word.text);
      return;
    }
  }
  if (statement_ == TokenKind::Next) return;  // the loop's own name
  NoteName(line, word, expectTarget_);
}

// "%", "!" or "#" right after a name: a type in other BASICs.
bool IsTypeSuffix(const Lexeme* lexeme) {
  return lexeme != nullptr && lexeme->glued && lexeme->kind == Kind::Symbol &&
         (lexeme->text == "%" || lexeme->text == "!" || lexeme->text == "#");
}

// Whether the statement from lexeme `i` on is an assignment to it:
// NAME = ... or NAME(...) = ... (a type suffix passed over).
bool IsAssignment(const Line& line, std::size_t i) {
  std::size_t next = i + 1;
  if (next < line.lexemes.size() && IsTypeSuffix(&line.lexemes[next])) ++next;
  if (next < line.lexemes.size() && IsSymbol(line.lexemes[next], "(")) {
    int depth = 0;
    for (; next < line.lexemes.size(); ++next) {
      if (IsSymbol(line.lexemes[next], "(")) ++depth;
      if (IsSymbol(line.lexemes[next], ")") && --depth == 0) break;
    }
    ++next;
  }
  return next < line.lexemes.size() && IsSymbol(line.lexemes[next], "=");
}

void Checker::CheckStatementWord(const Line& line, std::size_t i) {
  const Lexeme& word = line.lexemes[i];
  const std::string upper = Upper(word.text);
  const bool assignment = IsAssignment(line, i);
  if (!assignment) {
    if (const Foreign* foreign = FindForeign(kForeignStatements, upper)) {
      Warn(line, word.column, upper + " is not a statement in this dialect", foreign->instead);
    } else if (const auto prefix = GluedPrefix(kStatementWords, upper)) {
      Warn(line, word.column, word.text + ": a keyword must stand alone",
           std::string(*prefix) + " " + word.text.substr(prefix->size()));
    } else {
      Warn(line, word.column, word.text + " is not a statement", word.text + " = VALUE");
    }
    inData_ = true;  // the rest of the statement says nothing more
    return;
  }
  if (IsGluedFor(line, i, upper)) {
    Warn(line, word.column, word.text + ": a keyword must stand alone",
         "FOR " + word.text.substr(3));
  }
  NoteName(line, word, true);
}

void Checker::CheckKeyword(const Line& line, std::size_t i) {
  const Lexeme& word = line.lexemes[i];
  const TokenKind kind = *word.keyword;
  const Lexeme* before = i > 0 ? &line.lexemes[i - 1] : nullptr;
  switch (kind) {
    case TokenKind::Data: inData_ = true; break;
    case TokenKind::Let:
    case TokenKind::Input:
    case TokenKind::Read: expectTarget_ = true; break;
    case TokenKind::Dim: expectTarget_ = true; break;
    case TokenKind::For:
    case TokenKind::Next:
    case TokenKind::While:
    case TokenKind::Wend:
      NoteLoop(line, i);
      expectTarget_ = kind == TokenKind::For;
      break;
    case TokenKind::Sqr: CheckSqr(line, i); break;
    case TokenKind::Random: CheckRandom(line, i); break;
    case TokenKind::Goto:
    case TokenKind::Gosub: NoteTargets(line, i, true); break;
    case TokenKind::Then:
    case TokenKind::Else:
    case TokenKind::Restore:
    case TokenKind::Run: NoteTargets(line, i, false); break;
    case TokenKind::Not:
      if (before != nullptr && before->keyword == TokenKind::If) {
        Warn(line, word.column, "NOT is bitwise: NOT 1 is -2, which is true",
             "IF (CONDITION) = 0 THEN");
      }
      break;
    default: break;
  }
}

// The text between the "(" at lexeme `open` and its ")", and the index of
// the ")" (the end of the line when it has none).
std::size_t CloseOf(const Line& line, std::size_t open) {
  int depth = 0;
  for (std::size_t at = open; at < line.lexemes.size(); ++at) {
    if (IsSymbol(line.lexemes[at], "(")) ++depth;
    if (IsSymbol(line.lexemes[at], ")") && --depth == 0) return at;
  }
  return line.lexemes.size();
}

// SQR squares. Its operand looks like one whose root is meant when it is a
// bare number or a sum or difference (as in SQR(X * X + Y * Y)).
void Checker::CheckSqr(const Line& line, std::size_t i) {
  if (i + 1 >= line.lexemes.size() || !IsSymbol(line.lexemes[i + 1], "(")) return;
  const std::size_t close = CloseOf(line, i + 1);
  if (close == line.lexemes.size()) return;
  bool rootLikely = close == i + 3 && line.lexemes[i + 2].kind == Kind::Number;
  int depth = 0;
  for (std::size_t at = i + 2; at < close; ++at) {
    const Lexeme& lexeme = line.lexemes[at];
    if (IsSymbol(lexeme, "(")) ++depth;
    if (IsSymbol(lexeme, ")")) --depth;
    const bool sum = IsSymbol(lexeme, "+") || IsSymbol(lexeme, "-");
    if (depth == 0 && ((sum && at > i + 2) || IsSymbol(lexeme, "^"))) rootLikely = true;
  }
  if (!rootLikely) return;
  const std::size_t from = line.lexemes[i + 1].column;
  const std::size_t to = line.lexemes[close].column - 1;
  const std::string operand = line.text.substr(from, to - from);
  Warn(line, line.lexemes[i].column, "SQR is the square here, not the root",
       "SQRT(" + operand + ")");
}

// RANDOM(HIGH + 1, LOW): the bound above comes first.
void Checker::CheckRandom(const Line& line, std::size_t i) {
  if (i + 5 >= line.lexemes.size()) return;
  const Lexeme& first = line.lexemes[i + 2];
  const Lexeme& second = line.lexemes[i + 4];
  if (!IsSymbol(line.lexemes[i + 1], "(") || first.kind != Kind::Number ||
      !IsSymbol(line.lexemes[i + 3], ",") || second.kind != Kind::Number ||
      !IsSymbol(line.lexemes[i + 5], ")")) {
    return;
  }
  const bool whole = std::all_of(first.text.begin(), first.text.end(), IsDigit) &&
                     std::all_of(second.text.begin(), second.text.end(), IsDigit);
  const int64_t low = std::strtoll(first.text.c_str(), nullptr, 10);
  const int64_t high = std::strtoll(second.text.c_str(), nullptr, 10);
  if (!whole || low >= high) return;
  Warn(line, line.lexemes[i].column,
       "RANDOM(" + first.text + ", " + second.text + ") is not a draw from " + first.text + " to " +
           second.text + ": the bound above comes first",
       "RANDOM(" + std::to_string(high + 1) + ", " + first.text + ")");
}

// The line numbers after GOTO and GOSUB (a list, for ON), or the one after
// THEN, ELSE, RESTORE or RUN.
void Checker::NoteTargets(const Line& line, std::size_t i, bool list) {
  for (std::size_t at = i + 1; at < line.lexemes.size(); at += 2) {
    const Lexeme& lexeme = line.lexemes[at];
    if (lexeme.kind != Kind::Number ||
        !std::all_of(lexeme.text.begin(), lexeme.text.end(), IsDigit)) {
      return;
    }
    targets_.push_back({{&line, lexeme.column}, std::strtoll(lexeme.text.c_str(), nullptr, 10)});
    if (!list || at + 1 >= line.lexemes.size() || !IsSymbol(line.lexemes[at + 1], ",")) return;
  }
}

void Checker::NoteName(const Line& line, const Lexeme& word, bool assigned) {
  expectTarget_ = false;
  const Place place{&line, word.column};
  if (word.full.size() > kMaxNameLength) {
    longNames_[word.text].insert(word.full);
    longNamePlace_.emplace(word.full, place);
  }
  if (statement_ == TokenKind::Dim && word.text.back() == '$') return;  // no values yet
  if (assigned) {
    assigned_.insert(word.text);
  } else {
    firstRead_.emplace(word.text, place);
  }
}

void Checker::NoteLoop(const Line& line, std::size_t i) {
  const TokenKind kind = *line.lexemes[i].keyword;
  const LoopMark mark{order_, line.lexemes[i].column, {}, &line};
  if (kind == TokenKind::While || kind == TokenKind::Wend) {
    whileWend_.push_back({mark, kind == TokenKind::While});
    return;
  }
  std::vector<LoopMark>& marks = kind == TokenKind::For ? fors_ : nexts_;
  bool named = false;
  for (std::size_t at = i + 1; at < line.lexemes.size(); at += 2) {
    const Lexeme& name = line.lexemes[at];
    if (name.kind != Kind::Word || name.keyword) break;
    marks.push_back({order_, line.lexemes[i].column, name.text, &line});
    named = true;
    if (kind == TokenKind::For || at + 1 >= line.lexemes.size() ||
        !IsSymbol(line.lexemes[at + 1], ",")) {
      break;
    }
  }
  if (!named && kind == TokenKind::Next) marks.push_back(mark);
}

bool Before(const LoopMark& a, const LoopMark& b) {
  return a.order != b.order ? a.order < b.order : a.column < b.column;
}

// The first (or last) of `marks` for each name; "" stands for any name.
std::map<std::string, const LoopMark*> Extremes(const std::vector<LoopMark>& marks, bool first) {
  std::map<std::string, const LoopMark*> extremes;
  for (const LoopMark& mark : marks) {
    for (const std::string& name : {mark.name, std::string()}) {
      const LoopMark*& kept = extremes[name];
      if (kept == nullptr || Before(mark, *kept) == first) kept = &mark;
    }
  }
  return extremes;
}

const LoopMark* Find(const std::map<std::string, const LoopMark*>& marks, const std::string& name) {
  const auto found = marks.find(name);
  return found == marks.end() ? nullptr : found->second;
}

void Checker::CheckLoops() {
  // A FOR is closed by a later NEXT of its variable or a later bare NEXT;
  // a NEXT is opened by an earlier FOR of its variable (any, when bare).
  const auto lastNext = Extremes(nexts_, false);
  const auto firstFor = Extremes(fors_, true);
  const LoopMark* lastBareNext = nullptr;
  for (const LoopMark& next : nexts_) {
    if (next.name.empty() && (lastBareNext == nullptr || Before(*lastBareNext, next))) {
      lastBareNext = &next;
    }
  }
  for (const LoopMark& loop : fors_) {
    const LoopMark* named = Find(lastNext, loop.name);
    const bool closed = (named != nullptr && Before(loop, *named)) ||
                        (lastBareNext != nullptr && Before(loop, *lastBareNext));
    if (!closed) {
      Warn(*loop.line, loop.column, "FOR " + loop.name + " without NEXT " + loop.name,
           "NEXT " + loop.name + " after the loop's statements");
    }
  }
  for (const LoopMark& next : nexts_) {
    const LoopMark* opening = Find(firstFor, next.name);
    if (opening == nullptr || !Before(*opening, next)) {
      const std::string name = next.name.empty() ? "" : " " + next.name;
      Warn(*next.line, next.column, "NEXT" + name + " without FOR" + name,
           "FOR" + name + " = FIRST TO LAST before it");
    }
  }
  std::vector<const LoopMark*> open;
  for (const auto& [mark, isWhile] : whileWend_) {
    if (isWhile) {
      open.push_back(&mark);
    } else if (!open.empty()) {
      open.pop_back();
    } else {
      Warn(*mark.line, mark.column, "WEND without WHILE", "WHILE CONDITION before it");
    }
  }
  for (const LoopMark* mark : open) {
    Warn(*mark->line, mark->column, "WHILE without WEND", "WEND after the loop's statements");
  }
}

void Checker::CheckTargets() {
  std::set<int64_t> numbers;
  for (const Line& line : lines_) numbers.insert(line.number);
  for (const auto& [place, number] : targets_) {
    if (numbers.count(number) == 0) {
      Warn(*place.line, place.column, "no line " + std::to_string(number), "");
    }
  }
}

void Checker::CheckNames() {
  for (const auto& [name, place] : firstRead_) {
    if (assigned_.count(name) != 0 || foreign_.count(name) != 0) continue;
    if (name.back() == '$') {
      Warn(*place.line, place.column,
           name + " is read but never given a value: reading it is an error",
           name + " = \"\" first");
    } else {
      Warn(*place.line, place.column, name + " is read but never given a value: it reads 0",
           name + " = 0 first, if 0 is meant");
    }
  }
  for (const auto& [shared, names] : longNames_) {
    if (names.size() < 2) continue;
    for (const std::string& name : names) {
      const Place& place = longNamePlace_.at(name);
      Warn(*place.line, place.column,
           name + " is the same variable as every name that begins " + shared +
               ": a name keeps its first 20 characters",
           "names that differ in their first 20 characters");
    }
  }
}

}  // namespace

int CheckProgram(const ProgramSource& source, std::FILE* out) {
  Checker checker(source);
  const std::vector<Warning> warnings = checker.Run();
  for (const Warning& warning : warnings) {
    std::fputs(warning.text.c_str(), out);
    std::fputc('\n', out);
  }
  std::fflush(out);
  return static_cast<int>(warnings.size());
}

}  // namespace tenrek
