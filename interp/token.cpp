#include "interp/token.h"

#include <bit>
#include <cmath>
#include <limits>
#include <new>
#include <stdexcept>

namespace tenrek {
namespace {

// Values are 8 bytes (a double, or a pointer widened) and start at an
// 8-byte boundary after the tokens.
constexpr std::size_t kValueBytes = sizeof(uint64_t);
constexpr std::size_t kTextHeader = sizeof(uint16_t);

std::size_t AlignToValue(std::size_t bytes) {
  return (bytes + kValueBytes - 1) / kValueBytes * kValueBytes;
}

// Whole numbers from 0 to 32767 (not -0) are kept in the token.
bool FitsInToken(double value) {
  return value >= 0.0 && value < Token::kInlineNumber && value == std::floor(value) &&
         !std::signbit(value);
}

// A variable's address in the first bytes of its 8-byte place, whatever
// the size of an address.
uint64_t BitsOf(Variable* variable) {
  uint64_t bits = 0;
  std::memcpy(&bits, &variable, Token::kPointerBytes);
  return bits;
}

double NumberOf(uint64_t bits) { return std::bit_cast<double>(bits); }

// The slot holding the variable `bits`, made when the line names it first.
std::size_t SlotOfVariable(uint64_t bits, std::vector<uint64_t>& values,
                           std::vector<std::size_t>& variableSlots) {
  for (std::size_t slot : variableSlots) {
    if (values[slot] == bits) return slot;
  }
  variableSlots.push_back(values.size());
  values.push_back(bits);
  return variableSlots.back();
}

}  // namespace

TokenList::TokenList(const TokenList& other) : size_(other.size_), bytes_(other.bytes_) {
  if (other.block_ == nullptr) return;
  block_ = new std::byte[bytes_];
  owned_ = true;
  std::memcpy(block_, other.block_, bytes_);
}

TokenList TokenList::PlacedCopy(const TokenList& other, std::byte* room) {
  TokenList copy;
  if (other.block_ == nullptr) return copy;
  std::memcpy(room, other.block_, other.bytes_);
  copy.block_ = room;
  copy.size_ = other.size_;
  copy.bytes_ = other.bytes_;
  return copy;
}

void TokenList::SetNumber(std::size_t i, double value) {
  Token& token = reinterpret_cast<Token*>(block_)[i];
  if ((token.payload_ & Token::kInlineNumber) == 0) {
    std::memcpy(block_ + i * sizeof(Token) + token.payload_, &value, sizeof value);
  } else if (FitsInToken(value)) {
    token.payload_ = static_cast<uint16_t>(value) | Token::kInlineNumber;
  } else {
    TokenListBuilder builder;
    for (std::size_t k = 0; k < size_; ++k) {
      if (k == i) {
        builder.AddNumber(value);
      } else {
        builder.AddCopy((*this)[k]);
      }
    }
    *this = builder.Build();
  }
}

void TokenListBuilder::AddNumber(double value) {
  drafts_.push_back({TokenKind::Number, 0, std::bit_cast<uint64_t>(value), {}});
}

void TokenListBuilder::AddVariable(Variable* variable) {
  drafts_.push_back({TokenKind::Identifier, 0, BitsOf(variable), {}});
}

void TokenListBuilder::AddText(TokenKind kind, std::string_view text) {
  drafts_.push_back({kind, 0, 0, std::string(text)});
}

void TokenListBuilder::AddCopy(const Token& token) {
  if (token.kind == TokenKind::Number) {
    AddNumber(token.Number());
  } else if (token.kind == TokenKind::Identifier) {
    AddVariable(token.Var());
  } else if (token.HasText()) {
    AddText(token.kind, token.Text());
  } else {
    Add(token.kind, token.Character());
  }
}

// Where the parts of a list's block go: the tokens first, then the
// values, then the texts.
struct TokenListBuilder::Layout {
  std::vector<uint64_t> values;
  std::vector<std::size_t> slotOf;  // each token's place in values
  std::size_t valuesStart = 0;
  std::size_t textsStart = 0;
  std::size_t bytes = 0;
};

// A number gets its own slot (RENUM rewrites them one by one), a variable
// one slot however often the line names it.
TokenListBuilder::Layout TokenListBuilder::Plan() const {
  Layout layout;
  layout.slotOf.assign(drafts_.size(), 0);
  std::vector<std::size_t> variableSlots;
  std::size_t textBytes = 0;
  for (std::size_t i = 0; i < drafts_.size(); ++i) {
    const Draft& d = drafts_[i];
    if (d.kind == TokenKind::Identifier) {
      layout.slotOf[i] = SlotOfVariable(d.bits, layout.values, variableSlots);
    } else if (d.kind == TokenKind::Number && !FitsInToken(NumberOf(d.bits))) {
      layout.slotOf[i] = layout.values.size();
      layout.values.push_back(d.bits);
    } else if (Token::KindHasText(d.kind) && !d.text.empty()) {
      textBytes += kTextHeader + d.text.size() + 1;
    }
  }
  layout.valuesStart = AlignToValue(drafts_.size() * sizeof(Token));
  layout.textsStart = layout.valuesStart + layout.values.size() * kValueBytes;
  layout.bytes = layout.textsStart + textBytes;
  return layout;
}

// Token `i` at its place in `block`, its text (if any) at `textAt`, which
// moves past it.
void TokenListBuilder::Write(std::byte* block, std::size_t i, const Layout& layout,
                             std::size_t& textAt) const {
  const Draft& d = drafts_[i];
  const std::size_t at = i * sizeof(Token);
  Token* const token = ::new (block + at) Token();
  token->kind = d.kind;
  if (d.kind == TokenKind::Number && FitsInToken(NumberOf(d.bits))) {
    token->payload_ = static_cast<uint16_t>(NumberOf(d.bits)) | Token::kInlineNumber;
  } else if (d.kind == TokenKind::Number || d.kind == TokenKind::Identifier) {
    token->payload_ =
        static_cast<uint16_t>(layout.valuesStart + layout.slotOf[i] * kValueBytes - at);
  } else if (d.kind == TokenKind::StrayChar) {
    token->payload_ = static_cast<unsigned char>(d.character);
  } else if (Token::KindHasText(d.kind) && !d.text.empty()) {
    const auto length = static_cast<uint16_t>(d.text.size());
    std::memcpy(block + textAt, &length, kTextHeader);
    std::memcpy(block + textAt + kTextHeader, d.text.data(), d.text.size());
    token->payload_ = static_cast<uint16_t>(textAt - at);
    textAt += kTextHeader + d.text.size() + 1;
  }
}

TokenList TokenListBuilder::Build() {
  TokenList list;
  if (drafts_.empty()) return list;
  const Layout layout = Plan();
  if (layout.bytes >= Token::kInlineNumber) throw std::length_error("token list too long");
  // Zeroed: the texts' NULs and the padding come with it.
  list.block_ = new std::byte[layout.bytes]();
  list.owned_ = true;
  std::byte* const block = list.block_;
  if (!layout.values.empty()) {
    std::memcpy(block + layout.valuesStart, layout.values.data(),
                layout.values.size() * kValueBytes);
  }
  std::size_t textAt = layout.textsStart;
  for (std::size_t i = 0; i < drafts_.size(); ++i) Write(block, i, layout, textAt);
  list.size_ = static_cast<uint32_t>(drafts_.size());
  list.bytes_ = static_cast<uint16_t>(layout.bytes);
  drafts_.clear();
  return list;
}

}  // namespace tenrek
