#include "interp/program.h"

namespace tenrek {

ProgramLine* ProgramStore::Find(int32_t number) const {
  auto found = index_.find(number);
  return found != index_.end() ? found->second : nullptr;
}

ProgramLine* ProgramStore::FirstFrom(int32_t number) const {
  auto found = lines_.lower_bound(number);
  return found != lines_.end() ? found->second.get() : nullptr;
}

void ProgramStore::Store(int32_t number, TokenList tokens,
                         std::vector<std::unique_ptr<ProgramLine>>& removed) {
  ++generation_;
  auto existing = lines_.find(number);
  ProgramLine* before = nullptr;
  if (existing != lines_.end()) {
    if (existing != lines_.begin()) before = std::prev(existing)->second.get();
    ProgramLine* after = existing->second->next;
    existing->second->removed = true;
    removed.push_back(std::move(existing->second));
    lines_.erase(existing);
    index_.erase(number);
    (before != nullptr ? before->next : first_) = after;
  }
  if (tokens.empty()) return;

  auto line = std::make_unique<ProgramLine>();
  line->number = number;
  line->tokens = std::move(tokens);
  ProgramLine* raw = line.get();
  auto [position, inserted] = lines_.emplace(number, std::move(line));
  (void)inserted;
  index_.emplace(number, raw);
  auto following = std::next(position);
  raw->next = following != lines_.end() ? following->second.get() : nullptr;
  if (position == lines_.begin()) {
    first_ = raw;
  } else {
    std::prev(position)->second->next = raw;
  }
}

void ProgramStore::Remove(ProgramLine* line, std::vector<std::unique_ptr<ProgramLine>>& removed) {
  if (line == nullptr || line->removed) return;
  Store(line->number, TokenList(), removed);
}

void ProgramStore::RemoveAll(std::vector<std::unique_ptr<ProgramLine>>& removed) {
  ++generation_;
  for (auto& [number, line] : lines_) {
    line->removed = true;
    removed.push_back(std::move(line));
  }
  lines_.clear();
  index_.clear();
  first_ = nullptr;
}

void ProgramStore::ApplyNewNumbers() {
  ++generation_;
  std::map<int32_t, std::unique_ptr<ProgramLine>> renumbered;
  for (auto& [number, line] : lines_) {
    line->number = line->newNumber;
    line->code.reset();
    renumbered.emplace(line->number, std::move(line));
  }
  lines_ = std::move(renumbered);
  index_.clear();
  for (auto& [number, line] : lines_) index_.emplace(number, line.get());
  Relink();
}

void ProgramStore::Relink() {
  ProgramLine* previous = nullptr;
  first_ = nullptr;
  for (auto& [number, line] : lines_) {
    (previous != nullptr ? previous->next : first_) = line.get();
    previous = line.get();
  }
  if (previous != nullptr) previous->next = nullptr;
}

}  // namespace tenrek
