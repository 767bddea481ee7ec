#include "interp/line_code.h"

#include <algorithm>
#include <memory>

namespace tenrek {
namespace {

// The first block of a line's arena, about what a line that has run in
// full takes: a statement record, and for every token some 22 bytes of
// expressions and their operations (more statements on longer lines).
constexpr std::size_t kFirstRoomBase = sizeof(TranslatedStatement) + 16;
constexpr std::size_t kFirstRoomPerToken = 22;
// A block added when the first is full: a statement or two more.
constexpr std::size_t kLaterBlockBytes = 192;

}  // namespace

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
  for (TranslatedStatement* s = firstStatement; s != nullptr;) {
    TranslatedStatement* next = s->following;
    s->~TranslatedStatement();
    s = next;
  }
  for (CompiledExpression* e = firstExpression_; e != nullptr;) {
    CompiledExpression* next = e->next;
    e->~CompiledExpression();
    e = next;
  }
}

std::unique_ptr<LineCode> LineCode::Make(std::size_t tokens) {
  static_assert(sizeof(LineCode) % alignof(CompiledExpression) == 0);
  const std::size_t room = kFirstRoomBase + tokens * kFirstRoomPerToken;
  void* block = ::operator new(sizeof(LineCode) + room);
  return std::unique_ptr<LineCode>(::new (block) LineCode(room));
}

CompiledExpression* LineCode::FindOtherExpression(std::size_t at) {
  CompiledExpression* guess = lastExpression_ != nullptr ? lastExpression_->next : nullptr;
  if (guess == nullptr || guess->start != at) {
    guess = firstExpression_;
    while (guess != nullptr && guess->start < at) guess = guess->next;
    if (guess == nullptr || guess->start != at) return nullptr;
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
  CompiledExpression** place = &firstExpression_;
  while (*place != nullptr && (*place)->start < at) place = &(*place)->next;
  expression->next = *place;
  *place = expression;
  lastExpression_ = expression;
  return *expression;
}

void LineCode::GrowOpRoom(CompiledExpression& expression, std::size_t ops) {
  expression.GiveOpRoom(static_cast<Op*>(arena.Allocate(ops * sizeof(Op))), ops);
}

TranslatedStatement* LineCode::FindStatement(std::size_t at, TranslatedStatement**& place) {
  place = &firstStatement;
  while (*place != nullptr && (*place)->at < at) place = &(*place)->following;
  return *place != nullptr && (*place)->at == at ? *place : nullptr;
}

TranslatedStatement& LineCode::AddStatement(TranslatedStatement** place, std::size_t at) {
  TranslatedStatement* statement = arena.Make<TranslatedStatement>();
  statement->at = static_cast<TokenIndex>(at);
  statement->following = *place;
  *place = statement;
  return *statement;
}

}  // namespace tenrek
