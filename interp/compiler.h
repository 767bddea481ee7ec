// The compiler: a stored line's tokens to one list of instructions.
//
// It reads statements and expressions exactly as their handlers and the
// evaluator do (the same levels, the same operand types, the same end of
// each statement) and compiles only what it can reproduce exactly,
// reports and their order included. Any other statement becomes one
// Handler instruction, which runs that statement's handler on the tokens:
// a text with an error in it, a string where a number belongs, an array
// used in another shape than its present one, a statement of a kind
// compiled code has no instructions for.
#pragma once

#include <cstddef>
#include <cstdint>

#include "interp/instructions.h"

namespace tenrek {

class TokenList;

// Nesting and stack heights past which an expression is left to the
// evaluator: far beyond what programs write, and well inside the
// evaluator's own nesting limit, so compiled code never meets it.
inline constexpr int kMaxCompiledNesting = 64;
inline constexpr int kMaxCompiledNumbers = 64;
inline constexpr int kMaxCompiledTexts = 32;

// Compiles the statements that start at token `start` (after any ":")
// and those after them that are not compiled yet, into `code`. Answers the
// instruction where the first one starts; with `loopHead`, the condition
// of the WHILE whose keyword stands just before `start`, asked again by
// WEND.
uint32_t CompileFrom(const TokenList& tokens, LineCode& code, std::size_t start,
                     bool loopHead = false);

// The expression at `start` alone, ending in Result, into `code` (empty):
// the token after it, or -1 when it does not compile. `isText` says its
// type.
int64_t CompileExpression(const TokenList& tokens, LineCode& code, std::size_t start, bool& isText);

// Where the run goes on at token `pos` of the line: past any ":", the
// statement found there (the end of the line when none is).
std::size_t NextStatementStart(const TokenList& tokens, std::size_t pos);

}  // namespace tenrek
