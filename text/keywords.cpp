#include "text/keywords.h"

#include <array>
#include <cctype>
#include <string>
#include <unordered_map>

namespace tenrek {
namespace {

// One row per token kind, in code order. `spelling` is the upper-case
// keyword the tokenizer matches (its all-lower-case form matches too);
// kinds without a keyword have none. `listing` is what the listers write.
struct KindRow {
  TokenKind kind;
  const char* spelling;
  const char* listing;
};

constexpr std::array<KindRow, kTokenKindCount> kKinds = {{
    {TokenKind::Identifier, nullptr, ""},
    {TokenKind::Number, nullptr, ""},
    {TokenKind::String, nullptr, ""},
    {TokenKind::StrayChar, nullptr, ""},
    {TokenKind::Plus, nullptr, "+"},
    {TokenKind::Minus, nullptr, "-"},
    {TokenKind::Times, nullptr, "*"},
    {TokenKind::Divide, nullptr, "/"},
    {TokenKind::Power, nullptr, "^"},
    {TokenKind::LeftParen, nullptr, "("},
    {TokenKind::RightParen, nullptr, ")"},
    {TokenKind::Comma, nullptr, ","},
    {TokenKind::Semicolon, nullptr, "; "},
    {TokenKind::Colon, nullptr, " : "},
    {TokenKind::Equal, nullptr, " = "},
    {TokenKind::Less, nullptr, " < "},
    {TokenKind::Greater, nullptr, " > "},
    {TokenKind::LessEqual, nullptr, " <= "},
    {TokenKind::GreaterEqual, nullptr, " >= "},
    {TokenKind::NotEqual, nullptr, " <> "},
    {TokenKind::And, "AND", " AND "},
    {TokenKind::Or, "OR", " OR "},
    {TokenKind::Xor, "XOR", " XOR "},
    {TokenKind::Mod, "MOD", " MOD "},
    {TokenKind::Not, "NOT", "NOT "},
    {TokenKind::Sqr, "SQR", "SQR"},
    {TokenKind::Sqrt, "SQRT", "SQRT"},
    {TokenKind::Sin, "SIN", "SIN"},
    {TokenKind::Cos, "COS", "COS"},
    {TokenKind::Tan, "TAN", "TAN"},
    {TokenKind::Arctan, "ARCTAN", "ARCTAN"},
    {TokenKind::Log, "LOG", "LOG"},
    {TokenKind::Exp, "EXP", "EXP"},
    {TokenKind::Abs, "ABS", "ABS"},
    {TokenKind::Sgn, "SGN", "SGN"},
    {TokenKind::Str, "STR$", "STR$"},
    {TokenKind::Val, "VAL", "VAL"},
    {TokenKind::Chr, "CHR$", "CHR$"},
    {TokenKind::Asc, "ASC", "ASC"},
    {TokenKind::Len, "LEN", "LEN"},
    {TokenKind::Mid, "MID$", "MID$"},
    {TokenKind::Peek, "PEEK", "PEEK"},
    {TokenKind::Rem, "REM", "REM"},
    {TokenKind::Let, "LET", "LET"},
    {TokenKind::Print, "PRINT", "PRINT"},
    {TokenKind::Input, "INPUT", "INPUT"},
    {TokenKind::Goto, "GOTO", "GOTO"},
    {TokenKind::If, "IF", "IF"},
    {TokenKind::End, "END", "END"},
    {TokenKind::Stop, "STOP", "STOP"},
    {TokenKind::For, "FOR", "FOR"},
    {TokenKind::Next, "NEXT", "NEXT"},
    {TokenKind::While, "WHILE", "WHILE"},
    {TokenKind::Wend, "WEND", "WEND"},
    {TokenKind::Gosub, "GOSUB", "GOSUB"},
    {TokenKind::Return, "RETURN", "RETURN"},
    {TokenKind::Read, "READ", "READ"},
    {TokenKind::Data, "DATA", "DATA"},
    {TokenKind::Restore, "RESTORE", "RESTORE"},
    {TokenKind::Gotoxy, "GOTOXY", "GOTOXY"},
    {TokenKind::On, "ON", "ON"},
    {TokenKind::Dim, "DIM", "DIM"},
    {TokenKind::Poke, "POKE", "POKE"},
    {TokenKind::List, "LIST", "LIST"},
    {TokenKind::Run, "RUN", "RUN"},
    {TokenKind::New, "NEW", "NEW"},
    {TokenKind::Load, "LOAD", "LOAD"},
    {TokenKind::Merge, "MERGE", "MERGE"},
    {TokenKind::Save, "SAVE", "SAVE"},
    {TokenKind::Bye, "BYE", "BYE"},
    {TokenKind::Del, "DEL", "DEL"},
    {TokenKind::Renum, "RENUM", "RENUM"},
    {TokenKind::Then, "THEN", " THEN "},
    {TokenKind::Else, "ELSE", " ELSE "},
    {TokenKind::To, "TO", " TO "},
    {TokenKind::Step, "STEP", " STEP "},
    {TokenKind::Random, "RANDOM", "RANDOM"},
    {TokenKind::Ltrim, "LTRIM$", "LTRIM$"},
    {TokenKind::Rtrim, "RTRIM$", "RTRIM$"},
    {TokenKind::Lower, "LOWER$", "LOWER$"},
    {TokenKind::Upper, "UPPER$", "UPPER$"},
    {TokenKind::Proper, "PROPER$", "PROPER$"},
    {TokenKind::Occur, "OCCUR", "OCCUR"},
    {TokenKind::Atc, "ATC", "ATC"},
    {TokenKind::Left, "LEFT$", "LEFT$"},
    {TokenKind::Right, "RIGHT$", "RIGHT$"},
    {TokenKind::Date, "DATE$", "DATE$"},
    {TokenKind::Time, "TIME$", "TIME$"},
    {TokenKind::Int, "INT", "INT"},
    {TokenKind::Ceiling, "CEILING", "CEILING"},
    {TokenKind::Floor, "FLOOR", "FLOOR"},
    {TokenKind::Min, "MIN", "MIN"},
    {TokenKind::Max, "MAX", "MAX"},
    {TokenKind::Unassigned93, nullptr, ""},
    {TokenKind::Unassigned94, nullptr, ""},
    {TokenKind::Fmem, "FMEM", "FMEM"},
    {TokenKind::Get, "GET", "GET "},
    {TokenKind::Msgtit, "MSGTIT", "MSGTIT "},
    {TokenKind::Msgicon, "MSGICON", "MSGICON "},
    {TokenKind::Clear, "CLEAR", "CLEAR"},
    {TokenKind::Rerun, "RERUN", "RERUN"},
    {TokenKind::Crlf, "CRLF$", "CRLF$"},
    {TokenKind::Mmftag, "MMFTAG", "MMFTAG"},
    {TokenKind::Retmmf, "RETMMF", "RETMMF "},
    {TokenKind::Larray, "LARRAY", "LARRAY"},
    {TokenKind::Sarray, "SARRAY", "SARRAY"},
    {TokenKind::Ilxt, "ILXT", "ILXT"},
    {TokenKind::Lmod, "LMOD", " LMOD "},
}};

constexpr bool RowsAreInCodeOrder() {
  for (std::size_t i = 0; i < kKinds.size(); ++i) {
    if (static_cast<std::size_t>(kKinds[i].kind) != i) return false;
  }
  return true;
}
static_assert(RowsAreInCodeOrder(), "keyword rows must follow the token codes");

std::string Lowered(const char* text) {
  std::string lower(text);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

// Every accepted spelling: each keyword in upper and in lower case, plus
// "quit" for BYE. ("?" for PRINT is a single character, handled by the
// tokenizer's character switch.)
std::unordered_map<std::string, TokenKind> BuildSpellings() {
  std::unordered_map<std::string, TokenKind> spellings;
  for (const KindRow& row : kKinds) {
    if (row.spelling == nullptr) continue;
    spellings.emplace(row.spelling, row.kind);
    spellings.emplace(Lowered(row.spelling), row.kind);
  }
  spellings.emplace("QUIT", TokenKind::Bye);
  spellings.emplace("quit", TokenKind::Bye);
  return spellings;
}

const KindRow* RowOf(TokenKind kind) {
  const auto code = static_cast<std::size_t>(kind);
  return code < kKinds.size() ? &kKinds[code] : nullptr;
}

}  // namespace

std::optional<TokenKind> LookupKeyword(std::string_view word) {
  static const std::unordered_map<std::string, TokenKind> spellings = BuildSpellings();
  auto found = spellings.find(std::string(word));
  if (found == spellings.end()) return std::nullopt;
  return found->second;
}

std::string_view ListingText(TokenKind kind) {
  const KindRow* row = RowOf(kind);
  return row != nullptr ? row->listing : "";
}

bool IsWordToken(TokenKind kind) {
  if (kind == TokenKind::Identifier || kind == TokenKind::Number) return true;
  const KindRow* row = RowOf(kind);
  if (row == nullptr || row->spelling == nullptr) return false;
  const std::string_view text = row->listing;
  return !(text.front() == ' ' && text.back() == ' ');
}

bool IsLeftSideWord(TokenKind kind) {
  const KindRow* row = RowOf(kind);
  if (row == nullptr || row->spelling == nullptr) return false;
  const std::string_view text = row->listing;
  return text.front() != ' ' && text.back() == ' ';
}

}  // namespace tenrek
