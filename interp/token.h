// Token kinds and tokens: the one representation of program text that the
// executor, the evaluator, the lister and RENUM all work on.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tenrek {

struct Variable;

// The codes are part of the language: 0 to 107, keyword kinds named after
// their keyword. 93 and 94 are never produced.
enum class TokenKind : int16_t {
  Identifier = 0, Number, String, StrayChar,
  Plus, Minus, Times, Divide, Power, LeftParen, RightParen, Comma, Semicolon,
  Colon, Equal, Less, Greater, LessEqual, GreaterEqual, NotEqual,
  And = 20, Or, Xor, Mod, Not,
  Sqr = 25, Sqrt, Sin, Cos, Tan, Arctan, Log, Exp, Abs, Sgn, Str, Val, Chr,
  Asc, Len, Mid, Peek,
  Rem = 42, Let, Print, Input, Goto, If, End, Stop, For, Next, While, Wend,
  Gosub, Return, Read, Data, Restore, Gotoxy, On, Dim, Poke, List, Run, New,
  Load, Merge, Save, Bye, Del, Renum,
  Then = 72, Else, To, Step,
  Random = 76, Ltrim, Rtrim, Lower, Upper, Proper, Occur, Atc, Left, Right,
  Date, Time, Int, Ceiling, Floor, Min, Max,
  Unassigned93 = 93, Unassigned94,
  Fmem = 95, Get, Msgtit, Msgicon, Clear, Rerun,
  Crlf = 101,
  Mmftag = 102, Retmmf, Larray, Sarray, Ilxt,
  Lmod = 107,
};

inline constexpr int kTokenKindCount = 108;

// One lexical element. Only the member that belongs to the kind is used:
// `number` for Number, `variable` for Identifier (not owned), `character`
// for StrayChar, `text` for String and REM.
struct Token {
  TokenKind kind = TokenKind::StrayChar;
  char character = 0;
  double number = 0.0;
  Variable* variable = nullptr;
  std::string text;
};

using TokenList = std::vector<Token>;

}  // namespace tenrek
