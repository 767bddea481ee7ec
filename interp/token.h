// Token kinds and tokens: the one representation of program text that the
// executor, the evaluator, the lister and RENUM all work on.
#pragma once

#include <cstdint>
#include <cstring>
#include <new>
#include <ostream>
#include <string>
#include <string_view>
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

// The text of a String or REM token, owned: one pointer, null when the
// text is empty, to a block holding the length and then the characters
// (with a terminating NUL). Half a std::string's size, and no buffer kept
// for text a token never has.
class TokenText {
 public:
  TokenText() noexcept = default;
  explicit TokenText(std::string_view text) { assign(text); }
  TokenText(const TokenText& other) : TokenText(other.view()) {}
  TokenText(TokenText&& other) noexcept : block_(std::exchange(other.block_, nullptr)) {}
  TokenText& operator=(const TokenText& other) {
    assign(other.view());
    return *this;
  }
  TokenText& operator=(TokenText&& other) noexcept {
    std::swap(block_, other.block_);
    return *this;
  }
  TokenText& operator=(std::string_view text) {
    assign(text);
    return *this;
  }
  ~TokenText() { delete[] block_; }

  // Safe with a view of this same text: the old block goes last.
  void assign(std::string_view text) {
    char* block = nullptr;
    if (!text.empty()) {
      block = new char[kHeader + text.size() + 1];
      const auto length = static_cast<uint32_t>(text.size());
      std::memcpy(block, &length, kHeader);
      std::memcpy(block + kHeader, text.data(), text.size());
      block[kHeader + text.size()] = '\0';
    }
    delete[] block_;
    block_ = block;
  }

  bool empty() const noexcept { return block_ == nullptr; }
  std::size_t size() const noexcept {
    uint32_t length = 0;
    if (block_ != nullptr) std::memcpy(&length, block_, kHeader);
    return length;
  }
  const char* data() const noexcept { return block_ != nullptr ? block_ + kHeader : ""; }
  const char* c_str() const noexcept { return data(); }
  const char* begin() const noexcept { return data(); }
  const char* end() const noexcept { return data() + size(); }
  char operator[](std::size_t i) const noexcept { return data()[i]; }
  std::string_view view() const noexcept { return {data(), size()}; }
  operator std::string_view() const noexcept { return view(); }
  explicit operator std::string() const { return std::string(view()); }

  // What the text holds on the heap.
  std::size_t HeapBytes() const noexcept { return empty() ? 0 : kHeader + size() + 1; }

  friend bool operator==(const TokenText& a, const TokenText& b) noexcept {
    return a.view() == b.view();
  }
  friend bool operator==(const TokenText& a, std::string_view b) noexcept { return a.view() == b; }
  friend std::string operator+(std::string left, const TokenText& right) {
    return left.append(right.view());
  }
  friend std::string operator+(const TokenText& left, std::string_view right) {
    return std::string(left.view()).append(right);
  }
  friend std::ostream& operator<<(std::ostream& out, const TokenText& text) {
    return out << text.view();
  }

 private:
  static constexpr std::size_t kHeader = sizeof(uint32_t);
  char* block_ = nullptr;
};

// One lexical element, 16 bytes: the kind and one member that belongs to
// it, sharing their place. `number` for Number, `variable` for Identifier
// (not owned), `text` for String and REM (owned), `character` for
// StrayChar; the others are not to be read. Any other kind holds a zero
// `number`.
//
// A token becomes a String or REM only through SetText, which starts its
// text; a stored kind is otherwise never changed into or out of those two.
struct Token {
  TokenKind kind = TokenKind::StrayChar;
  char character = 0;
  union {
    double number = 0.0;
    Variable* variable;
    TokenText text;
  };

  Token() noexcept {}
  Token(const Token& other) : kind(other.kind), character(other.character) {
    if (HasText()) {
      new (&text) TokenText(other.text);
    } else {
      CopyPlainPayload(other);
    }
  }
  Token(Token&& other) noexcept : kind(other.kind), character(other.character) {
    if (HasText()) {
      new (&text) TokenText(std::move(other.text));
    } else {
      CopyPlainPayload(other);
    }
  }
  Token& operator=(const Token& other) {
    if (this != &other) *this = Token(other);
    return *this;
  }
  Token& operator=(Token&& other) noexcept {
    if (this == &other) return *this;
    if (HasText() && other.HasText()) {
      text = std::move(other.text);
    } else {
      DropText();
      if (other.HasText()) {
        new (&text) TokenText(std::move(other.text));
      } else {
        CopyPlainPayload(other);
      }
    }
    kind = other.kind;
    character = other.character;
    return *this;
  }
  ~Token() { DropText(); }

  // Makes this token a String or REM (`textKind`) holding `value`.
  void SetText(TokenKind textKind, std::string_view value) {
    TokenText made(value);
    DropText();
    new (&text) TokenText(std::move(made));
    kind = textKind;
  }

  static bool KindHasText(TokenKind k) { return k == TokenKind::String || k == TokenKind::Rem; }
  bool HasText() const { return KindHasText(kind); }

  // What the token holds on the heap beyond its own size.
  std::size_t HeapBytes() const { return HasText() ? text.HeapBytes() : 0; }

 private:
  // The payload of a token without text: a pointer or a number, copied as
  // the one it is.
  void CopyPlainPayload(const Token& other) {
    if (other.kind == TokenKind::Identifier) {
      variable = other.variable;
    } else {
      number = other.number;
    }
  }
  // Ends the text, leaving a token with a zero number (kind unchanged).
  void DropText() {
    if (!HasText()) return;
    text.~TokenText();
    number = 0.0;
  }
};

static_assert(sizeof(Token) <= 16, "a token is a kind and one 8-byte member");

using TokenList = std::vector<Token>;

}  // namespace tenrek
