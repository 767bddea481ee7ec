// The stored program: numbered lines in ascending order.
//
// Lines are kept in ascending order in blocks of at most kBlockSize
// pointers: a line is found by two binary searches (over the blocks, then
// within one), some twenty comparisons on a 10,000-line program, and put
// in or taken out by moving the pointers of a single block. The index
// costs 8 to 16 bytes a line. Each line also links to its successor, which
// is what the executor follows from line to line.
//
// A removed line is not freed at once: it is handed to the caller (who
// retires it until no run can still be reading its tokens) and marked
// `removed`, so a run standing on it can notice and end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "interp/instructions.h"
#include "interp/token.h"

namespace tenrek {

// `removed` sits next to `number` so that the record takes 40 bytes. Its
// tokens follow it in the same heap block.
// Aligned so that the values in the tokens' block sit at 8-byte
// boundaries in a 32-bit build too.
struct alignas(alignof(double)) ProgramLine {
  int32_t number = 0;
  bool removed = false;
  TokenList tokens;
  ProgramLine* next = nullptr;
  std::unique_ptr<LineCode> code;  // compiled when the line first runs

  // Line `number` holding a copy of `tokens`.
  static std::unique_ptr<ProgramLine> Make(int32_t number, const TokenList& tokens);
  // Frees the heap block whatever its size.
  static void operator delete(void* block) { ::operator delete(block); }
};

class ProgramStore {
 public:
  ProgramLine* First() const { return first_; }
  bool Empty() const { return size_ == 0; }
  std::size_t Size() const { return size_; }

  // The line with exactly this number, or null. Reports nothing.
  ProgramLine* Find(int32_t number) const;

  // The first line whose number is `number` or more, or null: where a
  // range of lines begins, found without walking the lines before it.
  ProgramLine* FirstFrom(int32_t number) const;

  // Stores `tokens` as line `number`, replacing a line of that number. An
  // empty list only deletes. Replaced lines are appended to `removed`.
  void Store(int32_t number, const TokenList& tokens,
             std::vector<std::unique_ptr<ProgramLine>>& removed);

  // Unlinks one stored line and appends it to `removed`.
  void Remove(ProgramLine* line, std::vector<std::unique_ptr<ProgramLine>>& removed);

  // Unlinks every line and appends them to `removed`.
  void RemoveAll(std::vector<std::unique_ptr<ProgramLine>>& removed);

  // Numbers the lines first, first + increment, first + 2 * increment and
  // so on (RENUM's final pass). The caller guarantees that the numbers fit
  // and increment is positive, so the order stays.
  void ApplyNewNumbers(int32_t first, int32_t increment);

 private:
  // Big enough that a long program has few blocks, small enough that
  // moving a block's pointers costs less than finding the block.
  static constexpr std::size_t kBlockSize = 128;
  using Block = std::vector<std::unique_ptr<ProgramLine>>;

  // A place in the blocks; `block == blocks_.size()` is past the end.
  struct Position {
    std::size_t block = 0;
    std::size_t slot = 0;
  };

  // Where the first line numbered `number` or more is, or would go.
  Position LowerBound(int32_t number) const;
  ProgramLine* At(Position at) const;
  ProgramLine* Before(Position at) const;
  void Erase(Position at, std::vector<std::unique_ptr<ProgramLine>>& removed);
  void Insert(Position at, std::unique_ptr<ProgramLine> line);

  std::vector<Block> blocks_;  // none empty, ascending across them
  std::size_t size_ = 0;
  ProgramLine* first_ = nullptr;
};

}  // namespace tenrek
