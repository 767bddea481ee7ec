// The program lister: LIST, ILXT, and the line listing SAVE writes.
#include "text/lister.h"

#include <algorithm>
#include <string_view>

#include "eval/evaluator.h"
#include "eval/number_format.h"
#include "eval/variables.h"
#include "interp/interpreter.h"
#include "interp/statements.h"
#include "text/keywords.h"
#include "text/number_literal.h"

namespace tenrek {

namespace {

// A literal that holds a double quote can only have come from single
// quotes (the tokenizer allows nothing else), so it goes back between
// single quotes and reads back as the same text.
void AppendStringLiteral(std::string& out, std::string_view text) {
  const bool useSingle =
      text.find('"') != std::string_view::npos && text.find('\'') == std::string_view::npos;
  const char quote = useSingle ? '\'' : '"';
  out += quote;
  out += text;
  out += quote;
}

void AppendTokenText(std::string& out, const Token& token, ListingForm form) {
  switch (token.kind) {
    case TokenKind::Identifier:
      if (token.Var() != nullptr) out += token.Var()->name;
      return;
    case TokenKind::Number:
      out += form.exactNumbers ? ExactNumberText(token.Number()) : FormatNumber(token.Number());
      return;
    case TokenKind::String: AppendStringLiteral(out, token.Text()); return;
    case TokenKind::StrayChar:
      out += '{';
      out += token.Character();
      out += '}';
      return;
    case TokenKind::Rem:
      out += "REM";
      out += token.Text();
      return;
    case TokenKind::Semicolon: out += form.compactSemicolon ? ";" : "; "; return;
    default: out += ListingText(token.kind); return;
  }
}

// A remark or a literal cut short still reads back as one (an unclosed
// literal runs to the end of the line); any other token is kept whole or
// left out, so that a number or a word never changes into another.
bool CanBeCut(TokenKind kind) { return kind == TokenKind::Rem || kind == TokenKind::String; }

// Appends the listing while the text stays within `limit` characters;
// returns false when the line had to be cut.
bool AppendTokensLimited(std::string& out, const TokenList& tokens, ListingForm form,
                         std::size_t limit) {
  bool previousWasWord = false;
  for (const Token& token : tokens) {
    const std::size_t before = out.size();
    const bool isWord = IsWordToken(token.kind);
    if (isWord && previousWasWord) out += ' ';
    previousWasWord = isWord && !IsLeftSideWord(token.kind);
    AppendTokenText(out, token, form);
    if (out.size() > limit) {
      out.resize(CanBeCut(token.kind) ? limit : before);
      return false;
    }
  }
  return true;
}

int32_t RangeBound(const Token& token) { return TruncateToInt(token.Number()); }

// One listed line: "%ld ", the tokens, the line end; a line too long for
// its 1024-byte buffer is cut and keeps its line end. False when cut.
bool BuildListedLine(std::string& line, const ProgramLine& programLine, std::string_view lineEnd,
                     ListingForm form) {
  line.clear();
  line += std::to_string(programLine.number);
  line += ' ';
  const bool whole =
      AppendTokensLimited(line, programLine.tokens, form, kMaxListedLine - lineEnd.size());
  line += lineEnd;
  return whole;
}

// Gathers the listing; once a line no longer fits `limit`, nothing more is
// added, so the listing always ends at a line boundary.
struct ListingBuilder {
  std::string_view lineEnd;
  ListingForm form = kScreenListing;
  std::size_t limit = kMaxListing;
  std::string text;
  std::string line;
  bool full = false;
  bool cut = false;  // a line was listed in part

  void AddRange(const ProgramStore& program, LineRange range) {
    for (const ProgramLine* l = program.FirstFrom(range.lower); l != nullptr && !full;
         l = l->next) {
      if (l->number > range.upper) return;
      AddLine(*l);
    }
  }
  void AddLine(const ProgramLine& programLine) {
    if (!BuildListedLine(line, programLine, lineEnd, form)) cut = true;
    if (text.size() + line.size() > limit) {
      full = true;
      return;
    }
    text += line;
  }
};

bool HasListingBuffer(const Interpreter& interp) {
  return interp.host.listingBuffer.text != nullptr && interp.host.listingBuffer.capacity > 0;
}

}  // namespace

void AppendTokensText(std::string& out, const TokenList& tokens, ListingForm form) {
  AppendTokensLimited(out, tokens, form, std::string::npos);
}

void ListTokensToText(std::string& text, const TokenList& tokens) {
  AppendTokensText(text, tokens, kScreenListing);
}

std::size_t ExactNumbersGrowth(const TokenList& tokens) {
  std::size_t growth = 0;
  for (const Token& token : tokens) {
    if (token.kind == TokenKind::Number) growth += ExactNumberTextGrowth(token.Number());
  }
  return growth;
}

bool ListingFits(int32_t number, const TokenList& tokens) {
  // "; " makes the screen and the dialog's forms the longer ones; their
  // numbers differ only where the display form would not read back.
  std::string listed = std::to_string(number);
  listed += ' ';
  if (!AppendTokensLimited(listed, tokens, kScreenListing, kMaxLineLength)) return false;
  // The exact forms are searched for only when their bound comes near the
  // limit: a line of long literals is entered without the search.
  if (listed.size() + ExactNumbersGrowth(tokens) <= kMaxLineLength) return true;
  listed = std::to_string(number) + ' ';
  return AppendTokensLimited(listed, tokens, kEditTextListing, kMaxLineLength);
}

bool ListTokensToFile(std::FILE* file, const TokenList& tokens) {
  std::string text;
  AppendTokensText(text, tokens, kFileListing);
  return std::fwrite(text.data(), 1, text.size(), file) == text.size();
}

bool StartsLineRange(const StatementCursor& cursor) {
  return cursor.Is(TokenKind::Number) || cursor.Is(TokenKind::Minus);
}

LineRange ReadLineRange(StatementCursor& cursor) {
  LineRange range;
  if (cursor.Is(TokenKind::Number)) {
    range.lower = RangeBound(*cursor.Current());
    cursor.Advance();
    if (!cursor.Is(TokenKind::Minus)) range.upper = range.lower;
  }
  if (cursor.Is(TokenKind::Minus)) {
    cursor.Advance();
    if (cursor.Is(TokenKind::Number)) {
      range.upper = RangeBound(*cursor.Current());
      cursor.Advance();
    }
  }
  return range;
}

bool MoreLineRanges(Interpreter& interp, StatementCursor& cursor) {
  if (cursor.AtStatementEnd()) return false;
  if (!cursor.Is(TokenKind::Comma)) interp.Report(Error::SyntaxError);
  cursor.Advance();
  return !cursor.AtStatementEnd();
}

void ListProgram(Interpreter& interp, StatementCursor& cursor, bool toMessageBox) {
  if (!toMessageBox && !HasListingBuffer(interp)) {
    cursor.SkipToStatementEnd();  // nowhere to put the text: do nothing
    return;
  }
  ListingBuilder listing;
  listing.lineEnd = toMessageBox ? "\n" : "\r\n";
  if (!toMessageBox && interp.host.listingBuffer.asProgramText) listing.form = kEditTextListing;
  if (!toMessageBox) {
    listing.limit = std::min(kMaxListing, interp.host.listingBuffer.capacity - 1);
  }
  do {
    listing.AddRange(interp.program, ReadLineRange(cursor));
  } while (MoreLineRanges(interp, cursor));
  if (toMessageBox) {
    interp.platform.ShowMessageBox("LIST", listing.text, kMbOk);
  } else {
    *interp.host.listingBuffer.text = std::move(listing.text);
    interp.host.listingBuffer.incomplete = listing.full || listing.cut;
  }
}

// LIST [range] [, range] ...
Flow ExecList(Interpreter& interp, StatementCursor& cursor) {
  ListProgram(interp, cursor, true);
  return Flow::Next;
}

// ILXT [range] [, range] ...
Flow ExecIlxt(Interpreter& interp, StatementCursor& cursor) {
  ListProgram(interp, cursor, false);
  return Flow::Next;
}

}  // namespace tenrek
