// The keyword table: one row per token kind, serving both the tokenizer
// (spellings) and the listers (listing texts and the spacing rule).
#pragma once

#include <optional>
#include <string_view>

#include "interp/token.h"

namespace tenrek {

// The kind a whole word spells (upper or lower case, plus "quit"/"QUIT"),
// or nothing for an identifier.
std::optional<TokenKind> LookupKeyword(std::string_view word);

// The fixed listing text of a kind ("" for Identifier, Number, String,
// StrayChar, REM and the unassigned codes, whose text depends on the token).
std::string_view ListingText(TokenKind kind);

// Word tokens are kept apart by one blank when listed.
bool IsWordToken(TokenKind kind);
// Word tokens whose text ends in a blank (NOT, GET, MSGTIT, MSGICON,
// RETMMF): they are words only on their left side.
bool IsLeftSideWord(TokenKind kind);

}  // namespace tenrek
