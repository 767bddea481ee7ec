// The built-in functions. Three argument forms:
//   factor: SIN X, SIN(X) - the function takes the next factor only;
//   list:   MID$(s, n [, m]) - "(" full expressions separated by "," ")";
//   none:   DATE$, TIME$, CRLF$.
#include "eval/functions.h"
#include "eval/number_format.h"
#include "eval/string_search.h"

#include <cmath>
#include <cstdio>
#include <string>

#include "eval/evaluator.h"
#include "interp/interpreter.h"
#include "interp/limits.h"
#include "text/characters.h"
#include "text/tokenizer.h"

namespace tenrek {
namespace {

// ---- numbers ----

double Sign(double x) {
  if (x > 0) return 1.0;
  return x < 0 ? -1.0 : 0.0;  // 0 for a NaN too
}

}  // namespace

double NumericFunction(TokenKind f, double x) {
  switch (f) {
    case TokenKind::Sqr: return x * x;  // the square, not the root
    case TokenKind::Sqrt: return std::sqrt(x);
    case TokenKind::Sin: return std::sin(x);
    case TokenKind::Cos: return std::cos(x);
    case TokenKind::Tan: return std::sin(x) / std::cos(x);
    case TokenKind::Arctan: return std::atan(x);
    case TokenKind::Log: return std::log(x);
    case TokenKind::Exp: return std::exp(x);
    case TokenKind::Abs: return std::fabs(x);
    case TokenKind::Sgn: return Sign(x);
    case TokenKind::Int: return TruncateToInt(x);
    case TokenKind::Ceiling: return TruncateToInt(std::ceil(x));
    default: return TruncateToInt(std::floor(x));  // FLOOR
  }
}

namespace {

// ---- one string factor ----

void TrimLeft(std::string& s) {
  std::size_t start = 0;
  while (start < s.size() && IsWhitespace(s[start])) ++start;
  s.erase(0, start);
}

void TrimRight(std::string& s) {
  while (!s.empty() && IsWhitespace(s.back())) s.pop_back();
}

// Lower case, then a capital at the start and after every blank.
void Proper(std::string& s) {
  bool capitalNext = true;
  for (char& c : s) {
    c = LowerAscii(c);
    if (capitalNext) c = UpperAscii(c);
    capitalNext = c == ' ';
  }
}

}  // namespace

void TransformText(TokenKind f, std::string& s) {
  switch (f) {
    case TokenKind::Ltrim: TrimLeft(s); return;
    case TokenKind::Rtrim: TrimRight(s); return;
    case TokenKind::Lower:
      for (char& c : s) c = LowerAscii(c);
      return;
    case TokenKind::Upper:
      for (char& c : s) c = UpperAscii(c);
      return;
    default: Proper(s); return;
  }
}

namespace {

// VAL s: s tokenized and evaluated as an expression, of whatever type it
// yields; tokens after the expression are ignored, no tokens give 0.
Value Val(Interpreter& interp, StatementCursor& cursor) {
  const std::string text = StringFactor(interp, cursor);
  TokenList tokens;
  Tokenize(interp, text, tokens);
  if (tokens.empty()) return Value::Number(0.0);
  const TokenList* const list = cursor.list;
  const std::size_t pos = cursor.pos;
  cursor.Point(&tokens, 0);
  Value value = EvaluateExpression(interp, cursor);
  cursor.Point(list, pos);
  return value;
}

// CHR$ n: the character n modulo 256; code 0 gives the empty string.
Value Chr(int32_t code) {
  const auto c = static_cast<char>(static_cast<unsigned char>(code & 0xFF));
  return Value::Text(c == '\0' ? std::string() : std::string(1, c));
}

// PEEK n: a byte of the interpreter's own memory block, as signed 8-bit.
double Peek(const Interpreter& interp, int32_t address) {
  if (address < 0 || static_cast<std::size_t>(address) >= interp.memory.size()) return 0.0;
  return static_cast<int8_t>(interp.memory[static_cast<std::size_t>(address)]);
}

// A string factor: a string variable read in place, any other value kept
// in `holder`.
std::string_view StringFactorView(Interpreter& interp, StatementCursor& cursor,
                                  std::string& holder) {
  std::string_view text;
  if (StringFactorInPlace(interp, cursor, text)) return text;
  holder = StringFactor(interp, cursor);
  return holder;
}

Value FactorFunction(Interpreter& interp, StatementCursor& cursor, TokenKind f) {
  switch (f) {
    case TokenKind::Str: return Value::Text(FormatNumber(NumericFactor(interp, cursor)));
    case TokenKind::Val: return Val(interp, cursor);
    case TokenKind::Chr: return Chr(IntegerFactor(interp, cursor));
    case TokenKind::Asc: {
      std::string holder;
      const std::string_view s = StringFactorView(interp, cursor, holder);
      return Value::Number(CodeOfText(s));
    }
    case TokenKind::Len: {
      std::string holder;
      return Value::Number(static_cast<double>(StringFactorView(interp, cursor, holder).size()));
    }
    default: return Value::Number(Peek(interp, IntegerFactor(interp, cursor)));  // PEEK
  }
}

// ---- list arguments ----

// "(" s "," n: the two arguments every slicing function starts with. A
// string variable is read in place; `holder` keeps any other value.
std::string_view TextAndCount(Interpreter& interp, StatementCursor& cursor, int32_t& count,
                              std::string& holder) {
  ExpectToken(interp, cursor, TokenKind::LeftParen);
  std::string_view s;
  if (!StringExpressionInPlace(interp, cursor, s)) {
    holder = StringExpression(interp, cursor);
    s = holder;
  }
  ExpectToken(interp, cursor, TokenKind::Comma);
  count = IntegerExpression(interp, cursor);
  return s;
}

// A count that is negative or above the length means the whole length.
std::size_t ClampCount(int32_t count, std::size_t length) {
  const auto unsignedCount = static_cast<uint32_t>(count);
  return unsignedCount > length ? length : unsignedCount;
}

// MID$(s, n [, m]): up to m characters from the 1-based position n.
Value Mid(Interpreter& interp, StatementCursor& cursor) {
  int32_t start = 0;
  std::string holder;
  const std::string_view s = TextAndCount(interp, cursor, start, holder);
  int32_t count = static_cast<int32_t>(kMaxStringLength);
  if (cursor.Is(TokenKind::Comma)) {
    cursor.Advance();
    count = IntegerExpression(interp, cursor);
  }
  ExpectToken(interp, cursor, TokenKind::RightParen);
  return Value::Text(std::string(MidOf(s, start, count)));
}

// LEFT$(s, n) and RIGHT$(s, n).
Value Side(Interpreter& interp, StatementCursor& cursor, bool left) {
  int32_t count = 0;
  std::string holder;
  const std::string_view s = TextAndCount(interp, cursor, count, holder);
  ExpectToken(interp, cursor, TokenKind::RightParen);
  return Value::Text(std::string(left ? LeftOf(s, count) : RightOf(s, count)));
}

// "(" s "," t: the two texts of OCCUR and ATC.
std::string TwoTexts(Interpreter& interp, StatementCursor& cursor, std::string& t) {
  ExpectToken(interp, cursor, TokenKind::LeftParen);
  std::string s = StringExpression(interp, cursor);
  ExpectToken(interp, cursor, TokenKind::Comma);
  t = StringExpression(interp, cursor);
  return s;
}

// OCCUR(s, t): occurrences of t in s, overlapping ones included.
Value Occur(Interpreter& interp, StatementCursor& cursor) {
  std::string t;
  const std::string s = TwoTexts(interp, cursor, t);
  ExpectToken(interp, cursor, TokenKind::RightParen);
  int32_t count = 0;
  for (int32_t p = FindFrom(s, t, 1); p != 0; p = FindFrom(s, t, p + 1)) ++count;
  return Value::Number(count);
}

// ATC(s, t, n): position of the n-th occurrence of t in s, or 0.
Value Atc(Interpreter& interp, StatementCursor& cursor) {
  std::string t;
  const std::string s = TwoTexts(interp, cursor, t);
  ExpectToken(interp, cursor, TokenKind::Comma);
  const int32_t n = IntegerExpression(interp, cursor);
  ExpectToken(interp, cursor, TokenKind::RightParen);
  return Value::Number(FindOccurrence(s, t, n));
}

// MIN(x, y [, z]) and MAX(x, y [, z]): a later argument replaces the
// result only when strictly smaller (MIN) or greater (MAX).
Value Extreme(Interpreter& interp, StatementCursor& cursor, bool minimum) {
  auto consider = [minimum](double& result, double next) {
    if (minimum ? next < result : next > result) result = next;
  };
  ExpectToken(interp, cursor, TokenKind::LeftParen);
  double result = NumericExpression(interp, cursor);
  ExpectToken(interp, cursor, TokenKind::Comma);
  consider(result, NumericExpression(interp, cursor));
  if (cursor.Is(TokenKind::Comma)) {
    cursor.Advance();
    consider(result, NumericExpression(interp, cursor));
  }
  ExpectToken(interp, cursor, TokenKind::RightParen);
  return Value::Number(result);
}

// RANDOM(n, m).
Value Random(Interpreter& interp, StatementCursor& cursor) {
  ExpectToken(interp, cursor, TokenKind::LeftParen);
  const int32_t a = IntegerExpression(interp, cursor);
  ExpectToken(interp, cursor, TokenKind::Comma);
  const int32_t b = IntegerExpression(interp, cursor);
  ExpectToken(interp, cursor, TokenKind::RightParen);
  return Value::Number(RandomBetween(interp.random, a, b));
}

// ---- no argument ----

int TwoDigits(int n) { return ((n % 100) + 100) % 100; }

Value DateOrTime(Interpreter& interp, bool date) {
  const LocalTime now = interp.platform.Now();
  char text[16];
  if (date) {
    std::snprintf(text, sizeof text, "%02d/%02d/%02d", TwoDigits(now.month), TwoDigits(now.day),
                  TwoDigits(now.year));
  } else {
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", TwoDigits(now.hour), TwoDigits(now.minute),
                  TwoDigits(now.second));
  }
  return Value::Text(text);
}

Value OtherFunction(Interpreter& interp, StatementCursor& cursor, TokenKind f) {
  switch (f) {
    case TokenKind::Mid: return Mid(interp, cursor);
    case TokenKind::Left: return Side(interp, cursor, true);
    case TokenKind::Right: return Side(interp, cursor, false);
    case TokenKind::Occur: return Occur(interp, cursor);
    case TokenKind::Atc: return Atc(interp, cursor);
    case TokenKind::Min: return Extreme(interp, cursor, true);
    case TokenKind::Max: return Extreme(interp, cursor, false);
    case TokenKind::Random: return Random(interp, cursor);
    case TokenKind::Date: return DateOrTime(interp, true);
    case TokenKind::Time: return DateOrTime(interp, false);
    case TokenKind::Crlf: return Value::Text("\r\n");
    default: return FactorFunction(interp, cursor, f);
  }
}

}  // namespace

Value EvaluateFunction(Interpreter& interp, StatementCursor& cursor, TokenKind function) {
  if (IsNumericFunctionKind(function)) {
    return Value::Number(NumericFunction(function, NumericFactor(interp, cursor)));
  }
  if (IsTextFunctionKind(function)) {
    std::string text = StringFactor(interp, cursor);
    TransformText(function, text);
    return Value::Text(std::move(text));
  }
  return OtherFunction(interp, cursor, function);
}

std::string_view MidOf(std::string_view s, int32_t start, int32_t count) {
  if (start < 1) start = 1;
  const auto from = static_cast<std::size_t>(start) - 1;
  if (from >= s.size()) return std::string_view();
  return s.substr(from, ClampCount(count, s.size() - from));
}

std::string_view LeftOf(std::string_view s, int32_t count) {
  return s.substr(0, ClampCount(count, s.size()));
}

std::string_view RightOf(std::string_view s, int32_t count) {
  return s.substr(s.size() - ClampCount(count, s.size()));
}

int32_t RandomBetween(RandomGenerator& generator, int32_t a, int32_t b) {
  const double r = generator.Next();
  const double span = static_cast<double>(a) - static_cast<double>(b);
  return TruncateToInt(r / 32768.0 * span + static_cast<double>(b));
}

}  // namespace tenrek
