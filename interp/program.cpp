#include "interp/program.h"

#include <algorithm>
#include <iterator>
#include <new>

namespace tenrek {

ProgramStore::Position ProgramStore::LowerBound(int32_t number) const {
  // Past the last line (lines entered in order): no search. Otherwise
  // some block ends at `number` or above.
  if (blocks_.empty() || blocks_.back().back()->number < number) return {blocks_.size(), 0};
  const auto block = std::partition_point(blocks_.begin(), blocks_.end(), [number](const Block& b) {
    return b.back()->number < number;
  });
  const auto slot = std::partition_point(
      block->begin(), block->end(),
      [number](const std::unique_ptr<ProgramLine>& line) { return line->number < number; });
  return {static_cast<std::size_t>(block - blocks_.begin()),
          static_cast<std::size_t>(slot - block->begin())};
}

ProgramLine* ProgramStore::At(Position at) const {
  return at.block < blocks_.size() ? blocks_[at.block][at.slot].get() : nullptr;
}

ProgramLine* ProgramStore::Before(Position at) const {
  if (at.slot > 0) return blocks_[at.block][at.slot - 1].get();
  return at.block > 0 ? blocks_[at.block - 1].back().get() : nullptr;
}

// The values in the tokens' block need an 8-byte boundary.
static_assert(sizeof(ProgramLine) % alignof(double) == 0);

std::unique_ptr<ProgramLine> ProgramLine::Make(int32_t number, const TokenList& tokens) {
  void* const block = ::operator new(sizeof(ProgramLine) + tokens.HeapBytes());
  std::unique_ptr<ProgramLine> line(::new (block) ProgramLine());
  line->number = number;
  line->tokens = TokenList::PlacedCopy(tokens, reinterpret_cast<std::byte*>(line.get() + 1));
  return line;
}

ProgramLine* ProgramStore::Find(int32_t number) const {
  ProgramLine* found = At(LowerBound(number));
  return found != nullptr && found->number == number ? found : nullptr;
}

ProgramLine* ProgramStore::FirstFrom(int32_t number) const { return At(LowerBound(number)); }

void ProgramStore::Store(int32_t number, const TokenList& tokens,
                         std::vector<std::unique_ptr<ProgramLine>>& removed) {
  Position at = LowerBound(number);
  ProgramLine* existing = At(at);
  if (existing != nullptr && existing->number == number) {
    Erase(at, removed);
    at = LowerBound(number);  // its block may be gone
  }
  if (tokens.empty()) return;

  Insert(at, ProgramLine::Make(number, tokens));
}

void ProgramStore::Erase(Position at, std::vector<std::unique_ptr<ProgramLine>>& removed) {
  ProgramLine* before = Before(at);
  Block& block = blocks_[at.block];
  const auto slot = block.begin() + static_cast<std::ptrdiff_t>(at.slot);
  ProgramLine* line = slot->get();
  (before != nullptr ? before->next : first_) = line->next;
  line->removed = true;
  removed.push_back(std::move(*slot));
  block.erase(slot);
  if (block.empty()) blocks_.erase(blocks_.begin() + static_cast<std::ptrdiff_t>(at.block));
  --size_;
}

void ProgramStore::Insert(Position at, std::unique_ptr<ProgramLine> line) {
  ProgramLine* before = Before(at);
  ProgramLine*& link = before != nullptr ? before->next : first_;
  line->next = link;
  link = line.get();
  ++size_;
  if (at.block == blocks_.size()) {
    // Past the last line: at the end of the last block.
    if (blocks_.empty()) blocks_.emplace_back().reserve(kBlockSize);
    at = {blocks_.size() - 1, blocks_.back().size()};
  }
  Block* block = &blocks_[at.block];
  if (block->size() == kBlockSize) {
    // A full block: a line past its end starts the next block (lines
    // entered in order fill their blocks), otherwise it splits in half.
    const std::size_t keep = at.slot == kBlockSize ? kBlockSize : kBlockSize / 2;
    Block moved;
    moved.reserve(kBlockSize);
    moved.assign(std::make_move_iterator(block->begin() + static_cast<std::ptrdiff_t>(keep)),
                 std::make_move_iterator(block->end()));
    block->resize(keep);
    blocks_.insert(blocks_.begin() + static_cast<std::ptrdiff_t>(at.block) + 1, std::move(moved));
    if (at.slot >= keep) at = {at.block + 1, at.slot - keep};
    block = &blocks_[at.block];
  }
  block->insert(block->begin() + static_cast<std::ptrdiff_t>(at.slot), std::move(line));
}

void ProgramStore::Remove(ProgramLine* line, std::vector<std::unique_ptr<ProgramLine>>& removed) {
  if (line == nullptr || line->removed) return;
  Store(line->number, TokenList(), removed);
}

void ProgramStore::RemoveAll(std::vector<std::unique_ptr<ProgramLine>>& removed) {
  for (Block& block : blocks_) {
    for (auto& line : block) {
      line->removed = true;
      removed.push_back(std::move(line));
    }
  }
  blocks_.clear();
  size_ = 0;
  first_ = nullptr;
}

void ProgramStore::ApplyNewNumbers(int32_t first, int32_t increment) {
  int64_t number = first;
  for (Block& block : blocks_) {
    for (auto& line : block) {
      line->number = static_cast<int32_t>(number);
      number += increment;
    }
  }
}

}  // namespace tenrek
