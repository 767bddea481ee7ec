#include "interp/statement_chain.h"

#include <cassert>
#include <memory>

#include "interp/executor.h"
#include "interp/interpreter.h"
#include "interp/translated_statements.h"

namespace tenrek {
namespace {

// What a chain of statements relies on between two of them, read in full
// when it starts: nothing for BeginStatement to do, the program and the
// variables' shapes as they are, the outermost nesting of evaluations.
// After that only the interpreter's attention count and the budget need
// looking at; when something did not hold at the start, the snapshots
// are made so that nothing matches them, and the chain ends after its
// first statement, taking no link.
class ChainWatch {
 public:
  explicit ChainWatch(const Interpreter& interp)
      : interp_(interp),
        attention_(interp.StatementIsQuiet() ? interp.Attention() : kNever),
        codeVersion_(interp.evaluationDepth == 0 ? interp.CodeVersion() : kNever),
        generation_(interp.program.Generation()),
        shapeEpoch_(interp.shapeEpoch) {}

  // The next statement may follow at once.
  bool Holds() const { return !interp_.budget.Exhausted() && HoldsBudgetAside(); }
  // The same, the budget known to hold.
  bool HoldsBudgetAside() const {
    const bool holds = interp_.Attention() == attention_;
    assert(!holds ||
           (interp_.program.Generation() == generation_ && interp_.shapeEpoch == shapeEpoch_));
    return holds;
  }
  // A link made under the program and shapes of this chain. Its statement
  // fits the chain's nesting: the link was made only for a statement that
  // fitted, and the chain stands at the outermost nesting.
  bool Takes(const StatementLink& link) const { return link.codeVersion == codeVersion_; }

 private:
  static constexpr uint64_t kNever = ~uint64_t{0};

  const Interpreter& interp_;
  uint64_t attention_;
  uint64_t codeVersion_;
  // What the attention count stands for, checked in debug builds (read by
  // the assertion only).
  [[maybe_unused]] uint64_t generation_;
  [[maybe_unused]] uint64_t shapeEpoch_;
};

// Where and how a statement left the cursor, as a link records it. The
// way it moved stands for the cursor's flags, which a jump or a THEN sets.
LinkKey KeyOf(const Interpreter& interp, const StatementCursor& cursor, Step step) {
  return {interp.currentLine, cursor.list, static_cast<uint32_t>(cursor.pos),
          static_cast<uint8_t>(step)};
}

// The link of a statement that moved the cursor, when it left it where
// it did when the link was made.
const MovedLink* MovedLinkFrom(const TranslatedStatement& ran, const Interpreter& interp,
                               const StatementCursor& cursor, Step step) {
  const MovedLink* link = ran.Moved().get();
  return link != nullptr && link->from == KeyOf(interp, cursor, step) ? link : nullptr;
}

// The statement a link names, when the chain takes the link; the cursor
// is then on it.
const TranslatedStatement* Follow(Interpreter& interp, StatementCursor& cursor,
                                  const ChainWatch& watch, const StatementLink& link) {
  if (!watch.Takes(link)) return nullptr;
  interp.EnterLine(link.line);
  cursor.Point(&link.line->tokens, link.statement->at);
  cursor.jumped = false;
  cursor.resumeAtCursor = false;
  return link.statement;
}

// Records the way from `ran`, which left the cursor as `from` says, to
// `next`, the statement now at the cursor.
void MakeLink(const Interpreter& interp, const TranslatedStatement& ran, const LinkKey& from,
              const TranslatedStatement& next) {
  StatementLink made;
  made.codeVersion = interp.CodeVersion();
  made.line = interp.currentLine;
  made.statement = &next;
  if (from.step == static_cast<uint8_t>(Step::Within)) {
    ran.Within() = made;
    return;
  }
  MovedLinks& moved = ran.Moved();
  if (moved == nullptr) moved = std::make_unique<MovedLink>();
  static_cast<StatementLink&>(*moved) = made;
  moved->from = from;
}

// Where the statement loop goes on after a statement when no link holds.
struct Found {
  Chain chain;
  const TranslatedStatement* next;  // the chain goes on with it; null: it ends
};

// The way from a statement to the next one when no link holds, made into
// a link when it was plain: no report on it, the next one translated.
Found FindNext(Interpreter& interp, StatementCursor& cursor, const ChainWatch& watch,
               const TranslatedStatement& ran, Step step) {
  const LinkKey from = KeyOf(interp, cursor, step);
  const bool plain = step == Step::Within || cursor.resumeAtCursor || cursor.AtStatementEnd();
  if (step == Step::Within) {
    if (interp.budget.Exhausted() && interp.TakeOutOfMemory()) return {Chain::RunOver, nullptr};
    if (!NextStatementWithin(interp, cursor)) return {Chain::RunOver, nullptr};
  } else {
    CheckStatementEnd(interp, cursor);
    if (!RunGoesOn(interp) || !FindNextStatement(interp, cursor)) {
      return {Chain::RunOver, nullptr};
    }
  }
  const TranslatedStatement* next = nullptr;
  const bool known = FindTranslatedStatement(interp, cursor, next);
  if (next != nullptr && plain) MakeLink(interp, ran, from, *next);
  if (!watch.Holds() || !known) return {Chain::NextStatement, nullptr};
  return {next != nullptr ? Chain::NextStatement : Chain::Handler, next};
}

}  // namespace

Chain RunChain(Interpreter& interp, StatementCursor& cursor, const TranslatedStatement* first) {
  const TranslatedStatement* next = first;
  const ChainWatch watch(interp);
  for (;;) {
    const TranslatedStatement& ran = *next;
    const Step step = RunTranslated(interp, cursor, ran);
    if (step == Step::Declined) return Chain::Handler;
    // An exhausted budget is reported from the statement's own line: the
    // general way makes that check before it moves on.
    const StatementLink* link = nullptr;
    if (!interp.budget.Exhausted()) {
      link = step == Step::Within ? &ran.Within() : MovedLinkFrom(ran, interp, cursor, step);
    }
    next = link != nullptr ? Follow(interp, cursor, watch, *link) : nullptr;
    if (next != nullptr) {
      if (!watch.HoldsBudgetAside()) return Chain::NextStatement;
      continue;
    }
    const Found found = FindNext(interp, cursor, watch, ran, step);
    if (found.next == nullptr) return found.chain;
    next = found.next;
  }
}

}  // namespace tenrek
