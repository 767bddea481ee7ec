#include "text/tokenizer.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "eval/variables.h"
#include "interp/limits.h"
#include "text/keywords.h"

namespace tenrek {
namespace {

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsWordChar(char c) { return IsLetter(c) || IsDigit(c) || c == '$' || c == '_'; }

// Reads the scanner's input left to right; past the end it yields the
// terminator, as the zero-terminated line would.
class Scanner {
 public:
  explicit Scanner(std::string_view text) : text_(text) {}
  char Peek(std::size_t ahead = 0) const {
    return pos_ + ahead < text_.size() ? text_[pos_ + ahead] : '\0';
  }
  char Take() { return pos_ < text_.size() ? text_[pos_++] : '\0'; }
  bool AtEnd() const { return pos_ >= text_.size() || text_[pos_] == '\0'; }
  std::string_view Rest() const { return text_.substr(pos_); }
  void Skip(std::size_t count) { pos_ = std::min(pos_ + count, text_.size()); }
  void SkipRest() { pos_ = text_.size(); }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
};

TokenKind SingleCharKind(char c, bool& known) {
  known = true;
  switch (c) {
    case '(':
    case '[': return TokenKind::LeftParen;
    case ')':
    case ']': return TokenKind::RightParen;
    case '+': return TokenKind::Plus;
    case '-': return TokenKind::Minus;
    case '*': return TokenKind::Times;
    case '/': return TokenKind::Divide;
    case '^': return TokenKind::Power;
    case ',': return TokenKind::Comma;
    case ';': return TokenKind::Semicolon;
    case ':': return TokenKind::Colon;
    case '=': return TokenKind::Equal;
    case '?': return TokenKind::Print;
    default: known = false; return TokenKind::StrayChar;
  }
}

// "<", "<=", "<>", ">", ">=".
TokenKind Relational(Scanner& in, char first) {
  if (first == '<') {
    if (in.Peek() == '=') return in.Take(), TokenKind::LessEqual;
    if (in.Peek() == '>') return in.Take(), TokenKind::NotEqual;
    return TokenKind::Less;
  }
  if (in.Peek() == '=') return in.Take(), TokenKind::GreaterEqual;
  return TokenKind::Greater;
}

// Text up to the closing delimiter (or the end of the line).
void ScanString(Scanner& in, char delimiter, TokenListBuilder& out) {
  const std::string_view rest = in.Rest();
  std::size_t length = 0;
  while (length < rest.size() && rest[length] != delimiter && rest[length] != '\0') ++length;
  out.AddText(TokenKind::String, rest.substr(0, std::min(length, kMaxStringLength)));
  in.Skip(length);
  if (!in.AtEnd()) in.Take();
}

// Exponent digits into a 32-bit count, saturating instead of overflowing.
int32_t ScanExponentDigits(Scanner& in) {
  int64_t n = 0;
  while (IsDigit(in.Peek())) {
    n = n * 10 + (in.Take() - '0');
    if (n > std::numeric_limits<int32_t>::max()) n = std::numeric_limits<int32_t>::max();
  }
  return static_cast<int32_t>(n);
}

// Applies the exponent as n single multiplications. Once the value is NaN,
// infinite or zero further multiplications cannot change it, so the loop
// stops there: a NaN never compares equal to itself and would otherwise
// run all n (up to 2^31) steps.
double ApplyExponent(double value, double factor, int32_t n) {
  for (int32_t i = 0; i < n; ++i) {
    if (std::isnan(value) || std::isinf(value) || value == 0.0) break;
    const double next = value * factor;
    if (next == value) break;
    value = next;
  }
  return value;
}

// digits [ "." digits ] [ ("E"|"e") ["+"|"-"] digits ]
double ScanNumber(Scanner& in) {
  double value = 0.0;
  double divisor = 1.0;
  double step = 1.0;
  for (;;) {
    const char c = in.Peek();
    if (IsDigit(c)) {
      value = value * 10.0 + (c - 48);
      divisor *= step;
    } else if (c == '.' && step == 1.0) {
      step = 10.0;
    } else {
      break;
    }
    in.Take();
  }
  value /= divisor;
  if (in.Peek() != 'E' && in.Peek() != 'e') return value;
  in.Take();
  double factor = 10.0;
  if (in.Peek() == '-') {
    factor = 0.1;
    in.Take();
  } else if (in.Peek() == '+') {
    in.Take();
  }
  return ApplyExponent(value, factor, ScanExponentDigits(in));
}

void ScanWord(Interpreter& interp, Scanner& in, char first, TokenListBuilder& out) {
  std::string word(1, first);
  while (IsWordChar(in.Peek())) {
    const char c = in.Take();
    if (word.size() < kMaxNameLength) word.push_back(c);
  }
  const std::optional<TokenKind> keyword = LookupKeyword(word);
  if (!keyword) {
    out.AddVariable(FindOrCreateVariable(interp, word));
    return;
  }
  if (*keyword == TokenKind::Rem) {
    std::string_view rest = in.Rest();
    out.AddText(TokenKind::Rem, rest.substr(0, std::min(rest.size(), kMaxStringLength)));
    in.SkipRest();
    return;
  }
  out.Add(*keyword);
}

// A character no token begins with: it is kept as a StrayChar.
bool IsStray(char c) {
  bool known = false;
  SingleCharKind(c, known);
  return !known && c != '"' && c != '\'' && c != '<' && c != '>' && !IsLetter(c) && !IsDigit(c) &&
         c != '.' && c != ' ' && c != '\0';
}

// The lister writes a stray character c as "{c}"; read back, that is the
// character again, so a listing saved and loaded keeps its line. Any other
// "{" or "}" is a stray character of its own.
bool TakeListedStray(Scanner& in, TokenListBuilder& out) {
  const char stray = in.Peek();
  if (!IsStray(stray) || in.Peek(1) != '}') return false;
  in.Skip(2);
  out.Add(TokenKind::StrayChar, stray);
  return true;
}

void ScanToken(Interpreter& interp, Scanner& in, TokenListBuilder& out) {
  const char c = in.Take();
  bool known = false;
  const TokenKind single = SingleCharKind(c, known);
  if (c == '{' && TakeListedStray(in, out)) return;
  if (known) {
    out.Add(single);
  } else if (c == '"' || c == '\'') {
    ScanString(in, c, out);
  } else if (c == '<' || c == '>') {
    out.Add(Relational(in, c));
  } else if (IsLetter(c)) {
    ScanWord(interp, in, c, out);
  } else {
    out.Add(TokenKind::StrayChar, c);
  }
}

}  // namespace

double ApplyDecimalExponent(double value, int32_t exponent) {
  if (exponent < 0) return ApplyExponent(value, 0.1, exponent == INT32_MIN ? INT32_MAX : -exponent);
  return ApplyExponent(value, 10.0, exponent);
}

double ReadNumberLiteral(std::string_view text, std::size_t& length) {
  Scanner in(text);
  const double value = ScanNumber(in);
  length = text.size() - in.Rest().size();
  return value;
}

void Tokenize(Interpreter& interp, std::string_view text, TokenList& tokens) {
  TokenListBuilder out;
  Scanner in(text);
  for (;;) {
    while (in.Peek() == ' ') in.Take();
    if (in.AtEnd()) break;
    if (IsDigit(in.Peek()) || in.Peek() == '.') {
      out.AddNumber(ScanNumber(in));
    } else {
      ScanToken(interp, in, out);
    }
  }
  tokens = out.Build();
}

}  // namespace tenrek
