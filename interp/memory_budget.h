// The memory one interpreter may hold in what programs make grow: stored
// lines and their tokens, variables and their elements and texts, control
// frames, and removed records waiting to be freed. Growth past the limit
// is refused where it can be (a line, an array) and otherwise marks the
// budget exhausted; the executor then ends the run with the out-of-memory
// report instead of growing until the address space is gone.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>

namespace tenrek {

// The interpreter shares a 32-bit address space (2 GB, fragmented) with
// its host application, which must go on living when a program runs away:
// 256 MB is far beyond any sensible BASIC program and leaves the host
// most of its room.
inline constexpr std::size_t kDefaultMemoryBudget = std::size_t{256} << 20;

// What a heap record costs beyond its own size: the allocator's header and
// the nodes of the indexes that find it.
inline constexpr std::size_t kRecordOverhead = 96;

// What a string is charged: the heap block a text of its length needs
// (none while it fits the string's own buffer). The charge follows the
// text, not the room a buffer happens to keep, so that a program runs out
// of memory at the same point whichever way its statements run.
inline std::size_t HeapBytes(const std::string& text) {
  return text.size() > std::string().capacity() ? text.size() + 1 : 0;
}

class MemoryBudget {
 public:
  std::size_t Limit() const { return limit_; }
  std::size_t Used() const { return used_; }
  void SetLimit(std::size_t limit) { limit_ = limit; }

  // Whether `bytes` more (on top of `alsoHeld`, memory counted elsewhere)
  // stay within the limit.
  bool Fits(std::size_t bytes, std::size_t alsoHeld = 0) const {
    return used_ <= limit_ && alsoHeld <= limit_ - used_ && bytes <= limit_ - used_ - alsoHeld;
  }
  // Counts `bytes` when they fit; otherwise counts nothing, marks the
  // budget exhausted and answers false: the caller must not grow.
  bool Reserve(std::size_t bytes) {
    if (!Fits(bytes)) {
      exhausted_ = true;
      return false;
    }
    used_ += bytes;
    return true;
  }
  // Counts growth that has happened already (a text stored into a cell);
  // past the limit the budget is exhausted.
  void Grow(std::size_t bytes) {
    used_ += bytes;
    if (used_ > limit_) exhausted_ = true;
  }
  void Release(std::size_t bytes) { used_ -= std::min(bytes, used_); }

  void MarkExhausted() { exhausted_ = true; }
  bool Exhausted() const { return exhausted_; }
  // Answers whether the budget ran out since the last call, and forgets it.
  bool TakeExhausted() {
    const bool was = exhausted_;
    exhausted_ = false;
    return was;
  }

 private:
  std::size_t limit_ = kDefaultMemoryBudget;
  std::size_t used_ = 0;
  bool exhausted_ = false;
};

}  // namespace tenrek
