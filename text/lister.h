// Token lists back to text: the one set of listing rules shared by LIST,
// ILXT and SAVE, and the line-number ranges that LIST, ILXT and DEL read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "interp/cursor.h"
#include "interp/limits.h"
#include "interp/token.h"

namespace tenrek {

class Interpreter;

// How a listing writes its tokens. A listing that is read back as program
// text (a file, the setup dialog's text) writes every number so that it
// reads back as the same double; one made to be looked at writes the
// display form, as PRINT does.
struct ListingForm {
  bool compactSemicolon = false;  // ";" rather than "; "
  bool exactNumbers = false;
};
inline constexpr ListingForm kScreenListing{false, false};
inline constexpr ListingForm kFileListing{true, true};
inline constexpr ListingForm kEditTextListing{false, true};

// Appends the listing of one line's tokens (no number, no line end).
void AppendTokensText(std::string& out, const TokenList& tokens, ListingForm form);

// The listing as LIST and ILXT show it ("; " after a semicolon).
void ListTokensToText(std::string& text, const TokenList& tokens);

// Whether the line stays within the 1023 characters a line may have in
// every form it is listed in, so that LIST, SAVE and the setup dialog
// carry it whole.
bool ListingFits(int32_t number, const TokenList& tokens);

// At most how many characters the numbers of `tokens` add when written
// exactly rather than in their display form; 0 for most lines.
std::size_t ExactNumbersGrowth(const TokenList& tokens);

// The listing as SAVE writes it (";" after a semicolon). Returns false
// when the stream refused the text.
bool ListTokensToFile(std::FILE* file, const TokenList& tokens);

// A range of line numbers, both ends included.
struct LineRange {
  int32_t lower = 0;
  int32_t upper = kMaxLineNumber;
};

// True when the cursor stands on a Number or a Minus, the tokens a range
// with at least one bound begins with.
bool StartsLineRange(const StatementCursor& cursor);

// Reads "n", "n-", "-m", "n-m" or nothing. Bounds are Number tokens
// truncated toward zero; a missing bound is 0 or 2147483647.
LineRange ReadLineRange(StatementCursor& cursor);

// After a range: false when the statement has ended; otherwise the current
// token must be a comma ("Syntax error" if not) and is consumed, and the
// answer is whether the statement goes on with another range.
bool MoreLineRanges(Interpreter& interp, StatementCursor& cursor);

// LIST (to a message box captioned "LIST") and ILXT (into the attached
// listing buffer, lines ending in CR LF). Consumes the rest of the statement.
void ListProgram(Interpreter& interp, StatementCursor& cursor, bool toMessageBox);

}  // namespace tenrek
