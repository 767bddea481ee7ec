// Variables and arrays. A variable comes into being when its name is first
// tokenized; identifier tokens point at it, so nothing is looked up by name
// at run time.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "interp/cursor.h"
#include "interp/memory_budget.h"

namespace tenrek {

class Interpreter;

// A string cell: no value until something is stored.
struct StringCell {
  bool hasValue = false;
  std::string text;
};

struct Variable {
  std::string name;  // 1 to 20 characters
  bool isString = false;
  uint8_t extentCount = 0;  // 0: scalar (or array not yet dimensioned)
  std::array<int32_t, 4> extents{};
  double number = 0.0;            // numeric scalar
  StringCell text;                // string scalar
  std::vector<double> numbers;    // numeric elements, row-major
  std::vector<StringCell> texts;  // string elements, row-major
  // The interpreter's budget, which counts the element block and the texts
  // stored into the cells (null for a variable made outside one).
  MemoryBudget* budget = nullptr;
};

// What a variable holds on the heap: its record, its elements and texts.
std::size_t VariableBytes(const Variable& variable);

// The most elements one array may have. A string element costs some 30 to
// 40 bytes, so 4M elements already take over 100 MB of the memory of one
// interpreter, which shares a 32-bit address space with its host. Larger
// arrays are refused with "Bad subscript".
inline constexpr int64_t kMaxArrayElements = int64_t{1} << 22;

// The cell a reference designates. An index is checked again on every read
// and write, so a cell kept across a statement that re-dimensions or clears
// the array can never reach outside the element block. A reference that
// failed (bad subscript) designates a scratch cell: writes are dropped and
// reads give 0 or an empty string.
struct CellRef {
  static constexpr int32_t kScalar = -1;
  static constexpr int32_t kScratch = -2;

  Variable* variable = nullptr;
  int32_t index = kScratch;

  bool IsString() const { return variable != nullptr && variable->isString; }
  double GetNumber() const;
  // Null when the cell holds no string value (or is the scratch cell).
  const StringCell* GetString() const;
  void SetNumber(double value) const;
  void SetString(std::string value) const;
};

// A subscript in range: floor(value + 0.5) in [0, extent), its index in
// `index`. Found without testing the value for a whole number first (for
// a shifted value of zero or more, truncation is the floor). False for NaN.
inline bool SubscriptInRange(double value, int32_t extent, int32_t& index) {
  const double shifted = value + 0.5;
  if (!(shifted >= 0.0 && shifted < 2147483648.0)) return false;
  index = static_cast<int32_t>(shifted);
  return index < extent;
}

// Finds the variable of exactly this name (case counts) or creates it:
// numeric with 0, or a string without a value when the name ends in "$".
Variable* FindOrCreateVariable(Interpreter& interp, std::string_view name);

// Reads a variable reference with optional subscripts at the cursor,
// dimensioning an array automatically on its first subscripted use.
CellRef ReferenceVariable(Interpreter& interp, StatementCursor& cursor);

// How a report names an element whose subscript `dimension` (from 0) is out
// of range: "A(12)", or "M(_, 12)" for the second of two subscripts.
std::string ElementName(const Variable& variable, int dimension, double index);

// How a report names the cell at `index` (CellRef's): "A$", "A$(3)",
// "M$(1, 4)".
std::string CellName(const Variable& variable, int32_t index);

// Every variable back to its empty state; arrays dropped; variables stay.
void ClearVariables(Interpreter& interp);

// Removes every variable (NEW, LOAD).
void DiscardVariables(Interpreter& interp);

}  // namespace tenrek
