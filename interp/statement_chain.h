// Runs of translated statements back to back: each statement names the
// one that came after it last time, so the statement loop's search for the
// next statement and its checks between two of them are made once a run
// rather than once a statement, for as long as nothing they look at
// changes.
#pragma once

#include "interp/cursor.h"

namespace tenrek {

class Interpreter;
struct TranslatedStatement;

// Where a run of translated statements leaves the statement loop.
enum class Chain {
  RunOver,        // the run ended
  NextStatement,  // the cursor is on a statement not yet begun
  Handler,        // the statement at the cursor, begun, runs through its handler
};

// Runs `first`, begun already, and the translated statements after it,
// making between them the checks that the statement loop makes, in its
// order. The loop takes over again at the first statement that is not
// translated, or when a check has something to do.
Chain RunChain(Interpreter& interp, StatementCursor& cursor, const TranslatedStatement* first);

}  // namespace tenrek
