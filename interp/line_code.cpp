#include "interp/line_code.h"

#include <algorithm>
#include <cassert>
#include <memory>

namespace tenrek {
namespace {

// A block added when the first is full: a statement or two more.
constexpr std::size_t kLaterBlockBytes = 192;

constexpr std::size_t kExpressionBytes = sizeof(CompiledExpression);
constexpr std::size_t kJumpTargetBytes = sizeof(CompiledExpression) + sizeof(JumpMemory);

// The subscripts written in the parentheses that open at `pos`: its
// commas outside any inner parentheses, and one.
std::size_t SubscriptsWritten(const TokenList& tokens, std::size_t pos) {
  std::size_t commas = 0;
  int depth = 0;
  for (; pos < tokens.size(); ++pos) {
    const TokenKind kind = tokens[pos].kind;
    if (kind == TokenKind::LeftParen) ++depth;
    if (kind == TokenKind::RightParen && --depth == 0) break;
    if (kind == TokenKind::Comma && depth == 1) ++commas;
  }
  return commas + 1;
}

// An assignment to the name at `pos`: its value, and its subscripts when
// it names an element (no more than an array can have).
std::size_t AssignmentOperands(const TokenList& tokens, std::size_t pos) {
  const std::size_t open = pos + 1;
  if (open >= tokens.size() || tokens[open].kind != TokenKind::LeftParen) return 1;
  const auto dimensions = static_cast<std::size_t>(kMaxDimensions);
  return std::min(SubscriptsWritten(tokens, open), dimensions) + 1;
}

// The room for a statement's moved links, before its record: the record
// stays aligned.
constexpr std::size_t kMovedRoomBytes = (sizeof(MovedLinks) + alignof(TranslatedStatement) - 1) /
                                        alignof(TranslatedStatement) * alignof(TranslatedStatement);

std::size_t RoomBytes(const StatementRoom& room) {
  return (room.moved ? kMovedRoomBytes : 0) + (room.within ? sizeof(StatementLink) : 0) +
         room.operands * sizeof(StatementOperand);
}

std::size_t StatementBytes(const TokenList& tokens, std::size_t at) {
  return sizeof(TranslatedStatement) + RoomBytes(StatementRoomAt(tokens, at));
}

bool IsOperand(TokenKind kind) {
  return kind == TokenKind::Number || kind == TokenKind::Identifier || kind == TokenKind::String;
}

// A statement starting with `kind` reads an expression (an assignment's
// target, its first token, is not counted as read).
bool ReadsAnExpression(TokenKind kind) {
  return kind != TokenKind::Return && kind != TokenKind::Next && kind != TokenKind::Wend;
}

// About what a line's translation takes once all of it has run, read from
// its tokens: a record a statement, one an expression (most statements
// start one, TO, STEP, THEN and ELSE before a line number and commas
// start more), a jump memory where a line number may stand, and an
// operation a number or name read. DATA and REM keep only their record.
std::size_t FullTranslationBytes(const TokenList& tokens) {
  std::size_t bytes = 0;
  bool starts = true;    // the next token starts a statement
  bool passive = false;  // in a DATA or REM statement
  for (std::size_t k = 0; k < tokens.size(); ++k) {
    const TokenKind kind = tokens[k].kind;
    if (kind == TokenKind::Colon) {
      starts = true;
      passive = false;
      continue;
    }
    if (starts) {
      starts = false;
      bytes += StatementBytes(tokens, k);
      passive = kind == TokenKind::Data || kind == TokenKind::Rem;
      if (!passive && ReadsAnExpression(kind)) bytes += kExpressionBytes;
      if (kind == TokenKind::Identifier) continue;  // an assignment's target, not read
    }
    if (passive) continue;
    if (IsOperand(kind)) {
      bytes += sizeof(Op);
    } else if (kind == TokenKind::To || kind == TokenKind::Step) {
      bytes += kExpressionBytes;
    } else if (kind == TokenKind::Comma) {
      bytes += kJumpTargetBytes;
    } else if (kind == TokenKind::Goto || kind == TokenKind::Gosub) {
      bytes += sizeof(JumpMemory);
    } else if (kind == TokenKind::Then || kind == TokenKind::Else) {
      const bool toLine = k + 1 < tokens.size() && tokens[k + 1].kind == TokenKind::Number;
      if (toLine) bytes += kJumpTargetBytes;
      starts = !toLine;
    }
  }
  return bytes;
}

// The statements and the expressions of a line, each in a list ordered by
// the token where they start, are walked and linked the same way.
TranslatedStatement*& NextOf(TranslatedStatement& statement) { return statement.following; }
CompiledExpression*& NextOf(CompiledExpression& expression) { return expression.next; }
std::size_t StartOf(const TranslatedStatement& statement) { return statement.at; }
std::size_t StartOf(const CompiledExpression& expression) { return expression.start; }

// Where the record starting at token `at` is in the list from `place`, or
// where it would go.
template <typename Record>
Record** PlaceInOrder(Record** place, std::size_t at) {
  while (*place != nullptr && StartOf(**place) < at) place = &NextOf(**place);
  return place;
}

// The record at `place` when it starts at token `at`, or null.
template <typename Record>
Record* StartingAt(Record** place, std::size_t at) {
  return *place != nullptr && StartOf(**place) == at ? *place : nullptr;
}

// Puts `record` in the list at `place`.
template <typename Record>
void LinkAt(Record** place, Record& record) {
  NextOf(record) = *place;
  *place = &record;
}

// Ends every record of the list from `first`; the arena frees their memory.
template <typename Record>
void DestroyAll(Record* first) {
  while (first != nullptr) {
    Record* next = NextOf(*first);
    std::destroy_at(first);
    first = next;
  }
}

}  // namespace

StatementRoom StatementRoomAt(const TokenList& tokens, std::size_t at) {
  switch (tokens[at].kind) {
    case TokenKind::Identifier: return {true, AssignmentOperands(tokens, at), false};
    case TokenKind::Let: return {true, AssignmentOperands(tokens, at + 1), false};
    case TokenKind::If:
    case TokenKind::For: return {true, 3, true};
    case TokenKind::While: return {true, 1, true};
    case TokenKind::Next: return {true, 0, true};
    case TokenKind::Goto:
    case TokenKind::Gosub:
    case TokenKind::Return:
    case TokenKind::Wend: return {false, 0, true};
    default: return {};  // does not translate
  }
}

LineArena::~LineArena() {
  while (blocks_ != nullptr) {
    Block* next = blocks_->next;
    ::operator delete(blocks_);
    blocks_ = next;
  }
}

void* LineArena::Allocate(std::size_t size) {
  size = (size + kAlignment - 1) / kAlignment * kAlignment;
  if (static_cast<std::size_t>(end_ - free_) < size) {
    const std::size_t room = std::max(size, kLaterBlockBytes);
    auto* block = static_cast<Block*>(::operator new(sizeof(Block) + room));
    block->next = blocks_;
    blocks_ = block;
    free_ = reinterpret_cast<std::byte*>(block + 1);
    end_ = free_ + room;
  }
  void* at = free_;
  free_ += size;
  return at;
}

LineCode::~LineCode() {
  DestroyAll(firstStatement);
  DestroyAll(firstExpression_);
}

std::unique_ptr<LineCode> LineCode::Make(const TokenList& tokens) {
  static_assert(sizeof(LineCode) % alignof(CompiledExpression) == 0);
  const std::size_t room = FullTranslationBytes(tokens);
  void* block = ::operator new(sizeof(LineCode) + room);
  return std::unique_ptr<LineCode>(::new (block) LineCode(room));
}

CompiledExpression* LineCode::FindOtherExpression(std::size_t at) {
  CompiledExpression* guess = lastExpression_ != nullptr ? lastExpression_->next : nullptr;
  if (guess == nullptr || guess->start != at) {
    guess = StartingAt(PlaceInOrder(&firstExpression_, at), at);
    if (guess == nullptr) return nullptr;
  }
  lastExpression_ = guess;
  return guess;
}

CompiledExpression& LineCode::AddExpression(std::size_t at, std::size_t ops, bool jumpTarget) {
  // The record, its jump memory and its operations together, in that order.
  static_assert(sizeof(CompiledExpression) % alignof(JumpMemory) == 0);
  static_assert(sizeof(JumpMemory) % alignof(Op) == 0);
  const std::size_t jump = jumpTarget ? sizeof(JumpMemory) : 0;
  void* room = arena.Allocate(sizeof(CompiledExpression) + jump + ops * sizeof(Op));
  auto* expression = ::new (room) CompiledExpression();
  std::byte* after = reinterpret_cast<std::byte*>(expression + 1);
  if (jumpTarget) ::new (after) JumpMemory();
  expression->jumpRoom = jumpTarget;
  expression->GiveOpRoom(reinterpret_cast<Op*>(after + jump), ops);
  expression->start = static_cast<TokenIndex>(at);
  LinkAt(PlaceInOrder(&firstExpression_, at), *expression);
  lastExpression_ = expression;
  return *expression;
}

void LineCode::GrowOpRoom(CompiledExpression& expression, std::size_t ops) {
  expression.GiveOpRoom(static_cast<Op*>(arena.Allocate(ops * sizeof(Op))), ops);
}

TranslatedStatement* LineCode::FindStatement(std::size_t at, TranslatedStatement**& place) {
  place = PlaceInOrder(&firstStatement, at);
  return StartingAt(place, at);
}

TranslatedStatement& LineCode::AddStatement(TranslatedStatement** place, std::size_t at,
                                            StatementRoom room) {
  // The record and its room together, as StatementRoom lays them out.
  static_assert(sizeof(TranslatedStatement) % alignof(StatementLink) == 0);
  static_assert(sizeof(StatementLink) % alignof(StatementOperand) == 0);
  assert(room.operands == 0 || room.within);
  auto* made =
      static_cast<std::byte*>(arena.Allocate(sizeof(TranslatedStatement) + RoomBytes(room)));
  if (room.moved) made += kMovedRoomBytes;
  auto* statement = ::new (made) TranslatedStatement();
  statement->withinRoom = room.within ? 1 : 0;
  statement->operandRoom = static_cast<uint8_t>(room.operands) & 0x3f;
  statement->movedRoom = room.moved ? 1 : 0;
  if (room.within) ::new (&statement->Within()) StatementLink();
  for (std::size_t k = 0; k < room.operands; ++k) {
    ::new (&statement->Operand(k)) StatementOperand();
  }
  if (room.moved) ::new (&statement->Moved()) MovedLinks();
  statement->at = static_cast<TokenIndex>(at);
  LinkAt(place, *statement);
  return *statement;
}

}  // namespace tenrek
