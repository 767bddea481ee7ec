// Token kinds and tokens: the one representation of program text that the
// executor, the evaluator, the lister and RENUM all work on.
#pragma once

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "interp/token_kinds.h"

namespace tenrek {

struct Variable;

// One kind per row of the kind list, numbered in its order.
enum class TokenKind : int16_t {
#define TENREK_KIND_ENUMERATOR(name, spelling, listing) name,
  TENREK_TOKEN_KINDS(TENREK_KIND_ENUMERATOR)
#undef TENREK_KIND_ENUMERATOR
};

#define TENREK_COUNT_KIND(name, spelling, listing) +1
inline constexpr int kTokenKindCount = 0 TENREK_TOKEN_KINDS(TENREK_COUNT_KIND);
#undef TENREK_COUNT_KIND

// Programs and listings store these codes: a row inserted in the middle of
// the list would renumber every kind after it.
static_assert(static_cast<int>(TokenKind::And) == 20 && static_cast<int>(TokenKind::Sqr) == 25);
static_assert(static_cast<int>(TokenKind::Rem) == 42 && static_cast<int>(TokenKind::Then) == 72);
static_assert(static_cast<int>(TokenKind::Random) == 76 &&
              static_cast<int>(TokenKind::Unassigned93) == 93);
static_assert(static_cast<int>(TokenKind::Fmem) == 95 && static_cast<int>(TokenKind::Crlf) == 101);
static_assert(static_cast<int>(TokenKind::Mmftag) == 102 &&
              static_cast<int>(TokenKind::Lmod) == 107);

// One lexical element, 4 bytes, kept only inside a TokenList: the kind
// and where its value sits in the list's block (or a StrayChar's
// character). A Number's value is read with Number(), an Identifier's variable
// (not owned) with Var(), the text of a String or REM with Text(); the
// other kinds have no value. A whole number below 32768 is kept in the
// token itself.
//
// The value's place is an offset from the token, so a whole block may be
// copied byte for byte; a token alone is never copied out of its list.
class Token {
 public:
  TokenKind kind = TokenKind::StrayChar;

  // A StrayChar's character.
  char Character() const { return static_cast<char>(payload_); }

  // Each reads only the value its own kind has: another kind answers 0,
  // null or an empty text.
  double Number() const {
    if (kind != TokenKind::Number) return 0.0;
    if ((payload_ & kInlineNumber) != 0) return payload_ & ~kInlineNumber;
    double value;
    std::memcpy(&value, Payload(), sizeof value);
    return value;
  }
  Variable* Var() const {
    if (kind != TokenKind::Identifier) return nullptr;
    Variable* variable;
    std::memcpy(&variable, Payload(), kPointerBytes);
    return variable;
  }
  std::string_view Text() const {
    if (!HasText() || payload_ == 0) return {};
    uint16_t length;
    std::memcpy(&length, Payload(), sizeof length);
    return {reinterpret_cast<const char*>(Payload()) + sizeof length, length};
  }

  static bool KindHasText(TokenKind k) { return k == TokenKind::String || k == TokenKind::Rem; }
  bool HasText() const { return KindHasText(kind); }

  // With this bit, payload_ holds a Number's value itself (below it).
  static constexpr uint16_t kInlineNumber = 0x8000;
  // A variable's address, as kept in its 8-byte place.
  static constexpr std::size_t kPointerBytes = sizeof(void*);

 private:
  friend class TokenList;
  friend class TokenListBuilder;

  Token() = default;
  Token(const Token&) = default;
  Token& operator=(const Token&) = default;

  const std::byte* Payload() const { return reinterpret_cast<const std::byte*>(this) + payload_; }

  // Bytes from this token to its value (a list's block stays below
  // kInlineNumber bytes); 0 for a kind without one, and for an empty text;
  // a StrayChar's character.
  uint16_t payload_ = 0;
};

static_assert(sizeof(Token) == 4 && std::is_trivially_copyable_v<Token>);

// The tokens of one line or command, in one heap block: the tokens, then
// their 8-byte values (numbers, and variables, each variable once), then
// their texts, each a 16-bit length, the characters and a NUL. Made by a
// TokenListBuilder; the only change made in place is a Number's value.
// A stored line keeps its list in its own heap block (PlacedCopy).
class TokenList {
 public:
  TokenList() noexcept = default;
  TokenList(const TokenList& other);
  // A placed list moved stays a view of its owner's room.
  TokenList(TokenList&& other) noexcept
      : block_(std::exchange(other.block_, nullptr)),
        size_(std::exchange(other.size_, 0)),
        bytes_(std::exchange(other.bytes_, 0)),
        owned_(std::exchange(other.owned_, false)) {}
  TokenList& operator=(TokenList other) noexcept {
    std::swap(block_, other.block_);
    std::swap(size_, other.size_);
    std::swap(bytes_, other.bytes_);
    std::swap(owned_, other.owned_);
    return *this;
  }
  ~TokenList() {
    if (owned_) delete[] block_;
  }

  // A copy of `other` made in `room` (HeapBytes() bytes at an 8-byte
  // boundary), which its caller owns and keeps while the copy lives.
  static TokenList PlacedCopy(const TokenList& other, std::byte* room);

  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  const Token& operator[](std::size_t i) const { return data()[i]; }
  const Token* begin() const { return data(); }
  const Token* end() const { return data() + size_; }
  const Token& back() const { return data()[size_ - 1]; }
  void clear() { *this = TokenList(); }

  // The block's size: what the list holds on the heap.
  std::size_t HeapBytes() const { return bytes_; }

  // Gives Number token `i` the value `value`, in place where its form
  // allows; otherwise the list is made again. Token indexes stay.
  void SetNumber(std::size_t i, double value);

 private:
  friend class TokenListBuilder;
  const Token* data() const { return reinterpret_cast<const Token*>(block_); }

  std::byte* block_ = nullptr;
  uint32_t size_ = 0;
  uint16_t bytes_ = 0;  // below kInlineNumber
  bool owned_ = false;  // the block is this list's, not a placed copy's room
};

// Collects tokens in order and packs them into a TokenList.
class TokenListBuilder {
 public:
  void Add(TokenKind kind, char character = 0) { drafts_.push_back({kind, character, 0, {}}); }
  void AddNumber(double value);
  void AddVariable(Variable* variable);
  // Makes a String or REM (`kind`) holding `text`.
  void AddText(TokenKind kind, std::string_view text);
  // Adds a token of another list with its value.
  void AddCopy(const Token& token);

  std::size_t size() const { return drafts_.size(); }
  bool empty() const { return drafts_.empty(); }
  TokenKind KindAt(std::size_t i) const { return drafts_[i].kind; }

  // The list, its tokens and values packed; the builder is left empty.
  // Throws std::length_error past what 15-bit offsets reach (32 KB),
  // which no 1023-character line comes near (12 KB at most).
  TokenList Build();

 private:
  struct Draft {
    TokenKind kind;
    char character;
    uint64_t bits;  // a number's or a variable's
    std::string text;
  };

  struct Layout;
  Layout Plan() const;
  void Write(std::byte* block, std::size_t i, const Layout& layout, std::size_t& textAt) const;

  std::vector<Draft> drafts_;
};

}  // namespace tenrek
