// Variables, array references with automatic dimensioning, and DIM.
#include "eval/variables.h"

#include <algorithm>
#include <cstddef>
#include <new>

#include "eval/evaluator.h"
#include "eval/number_format.h"
#include "interp/interpreter.h"
#include "interp/limits.h"
#include "interp/statements.h"

namespace tenrek {
namespace {

bool IsElement(const Variable* variable, int32_t index, std::size_t size) {
  return variable != nullptr && index >= 0 && static_cast<std::size_t>(index) < size;
}

template <typename T>
void ReleaseVector(std::vector<T>& elements) {
  std::vector<T>().swap(elements);
}

std::size_t RecordBytes(const Variable& variable) {
  return kRecordOverhead + sizeof(Variable) + HeapBytes(variable.name);
}

std::size_t ElementBytes(const Variable& variable) {
  std::size_t bytes =
      variable.numbers.size() * sizeof(double) + variable.texts.size() * sizeof(StringCell);
  for (const StringCell& cell : variable.texts) bytes += HeapBytes(cell.text);
  return bytes;
}

void ReleaseElements(Variable& variable) {
  if (variable.budget != nullptr) variable.budget->Release(ElementBytes(variable));
  variable.extentCount = 0;
  variable.extents = {};
  ReleaseVector(variable.numbers);
  ReleaseVector(variable.texts);
}

// Allocates a fresh element block of `count` elements (all 0 or without a
// value). A block beyond the interpreter's memory budget is not made: the
// budget is exhausted and the run ends with the out-of-memory report. A
// block the machine cannot give reports "Bad subscript". Either way the
// variable stays undimensioned.
bool AllocateElements(Interpreter& interp, Variable& variable, std::size_t count) {
  const std::size_t bytes = count * (variable.isString ? sizeof(StringCell) : sizeof(double));
  if (!interp.budget.Reserve(bytes)) return false;
  try {
    if (variable.isString) {
      variable.texts.assign(count, StringCell{});
    } else {
      variable.numbers.assign(count, 0.0);
    }
    return true;
  } catch (const std::bad_alloc&) {
    interp.budget.Release(bytes);
    ReleaseElements(variable);
    interp.Report(Error::BadSubscript, variable.name);
    return false;
  }
}

// Steps over the rest of a subscript list (the cursor inside it) up to and
// past its closing ")", quietly: the error that got us here has been
// reported already. Stops in front of the end of the statement.
void SkipToCloseParen(StatementCursor& cursor) {
  int depth = 0;
  while (!cursor.AtStatementEnd()) {
    const TokenKind kind = cursor.Current()->kind;
    cursor.Advance();
    if (kind == TokenKind::LeftParen) ++depth;
    if (kind == TokenKind::RightParen && depth-- == 0) return;
  }
}

// A subscript list that does not fit the array: one "Syntax error", the
// rest of the list skipped, and the scratch cell.
CellRef MalformedSubscripts(Interpreter& interp, StatementCursor& cursor, Variable& variable) {
  interp.Report(Error::SyntaxError);
  SkipToCloseParen(cursor);
  return {&variable, CellRef::kScratch};
}

// First subscripted use of an undimensioned variable: one dimension of
// eleven elements per subscript. The subscripts are counted, not
// evaluated; the cursor is put back on the "(". Answers false (cursor past
// the list) when there are more than four subscripts.
bool DimensionAutomatically(Interpreter& interp, StatementCursor& cursor, Variable& variable) {
  const std::size_t open = cursor.pos;
  int count = 0;
  do {
    cursor.Advance();  // the "(" or ","
    if (count == kMaxDimensions) interp.Report(Error::BadSubscript, variable.name);
    ++count;
    SkipSubscript(interp, cursor);
  } while (cursor.Is(TokenKind::Comma));
  cursor.pos = open;
  std::size_t elements = 1;
  for (int k = 0; k < count && k < kMaxDimensions; ++k) elements *= kAutoExtent;
  if (count > kMaxDimensions || !AllocateElements(interp, variable, elements)) {
    cursor.Advance();
    SkipToCloseParen(cursor);
    return false;
  }
  for (int k = 0; k < count; ++k) variable.extents[k] = kAutoExtent;
  variable.extentCount = static_cast<uint8_t>(count);
  return true;
}

// "(" index {"," index} ")" for a dimensioned array, cursor on the "(".
CellRef ReadSubscripts(Interpreter& interp, StatementCursor& cursor, Variable& variable) {
  cursor.Advance();
  int64_t offset = 0;
  bool inRange = true;
  const int dimensions = variable.extentCount;
  for (int k = 0; k < dimensions; ++k) {
    if (k > 0) {
      if (!cursor.Is(TokenKind::Comma)) return MalformedSubscripts(interp, cursor, variable);
      cursor.Advance();
    }
    const double value = NumericExpression(interp, cursor);
    int32_t index = 0;
    const int32_t extent = variable.extents[k];
    if (!SubscriptInRange(value, extent, index)) {
      interp.Report(Error::BadSubscript, ElementName(variable, k, value));
      inRange = false;
    } else {
      offset = offset * extent + index;
    }
  }
  if (!cursor.Is(TokenKind::RightParen)) return MalformedSubscripts(interp, cursor, variable);
  cursor.Advance();
  if (!inRange) return {&variable, CellRef::kScratch};
  return {&variable, static_cast<int32_t>(offset)};
}

// One DIM bound: a full expression, the extent being the bound plus one.
// Answers the extent, or 0 after reporting a bound below 0.
int64_t ReadBound(Interpreter& interp, StatementCursor& cursor, const Variable& variable) {
  const Value bound = EvaluateExpression(interp, cursor);
  double number = bound.number;
  if (bound.isString) {
    interp.Report(Error::TypeMismatch);
    number = 0.0;
  }
  const int64_t extent = static_cast<int64_t>(RoundToInt(number)) + 1;
  if (extent < 1) {
    interp.Report(Error::BadSubscript, variable.name);
    return 0;
  }
  return extent;
}

// name "(" bound {"," bound} ")". A declaration with a bad bound, a fifth
// bound or too many elements leaves the variable undimensioned.
void DimensionOne(Interpreter& interp, StatementCursor& cursor, Variable& variable) {
  if (variable.extentCount != 0) interp.Report(Error::ArrayAlreadyDimensioned, variable.name);
  if (!cursor.Is(TokenKind::LeftParen)) {
    interp.Report(Error::SyntaxError);
    ReleaseElements(variable);
    return;
  }
  std::array<int32_t, kMaxDimensions> extents{};
  int count = 0;
  int64_t elements = 1;
  bool valid = true;
  for (;;) {
    cursor.Advance();  // the "(" or ","
    const int64_t extent = ReadBound(interp, cursor, variable);
    if (count == kMaxDimensions) {
      interp.Report(Error::BadSubscript, variable.name);
      valid = false;
    } else if (extent == 0) {
      valid = false;
    } else if (valid) {
      extents[count++] = static_cast<int32_t>(extent);
      elements *= extent;  // both factors are at most 2^31: no overflow
      if (elements > kMaxArrayElements) {
        interp.Report(Error::BadSubscript, variable.name);
        valid = false;
      }
    }
    if (cursor.Is(TokenKind::RightParen) || cursor.Is(TokenKind::Comma)) {
      if (cursor.Is(TokenKind::RightParen)) break;
      continue;
    }
    // A stray separator counts as a "," once reported; the statement's
    // end closes the list.
    interp.Report(Error::SyntaxError);
    if (cursor.AtStatementEnd()) break;
  }
  if (cursor.Is(TokenKind::RightParen)) cursor.Advance();
  // The bounds were read while the previous array still stood.
  ReleaseElements(variable);
  if (!valid) return;
  if (!AllocateElements(interp, variable, static_cast<std::size_t>(elements))) return;
  variable.extents = extents;
  variable.extentCount = static_cast<uint8_t>(count);
}

}  // namespace

double CellRef::GetNumber() const {
  if (variable == nullptr || variable->isString) return 0.0;
  if (index == kScalar) return variable->number;
  return IsElement(variable, index, variable->numbers.size()) ? variable->numbers[index] : 0.0;
}

const StringCell* CellRef::GetString() const {
  if (variable == nullptr || !variable->isString) return nullptr;
  const StringCell* cell = nullptr;
  if (index == kScalar) {
    cell = &variable->text;
  } else if (IsElement(variable, index, variable->texts.size())) {
    cell = &variable->texts[index];
  }
  return cell != nullptr && cell->hasValue ? cell : nullptr;
}

void CellRef::SetNumber(double value) const {
  if (variable == nullptr || variable->isString) return;
  if (index == kScalar) {
    variable->number = value;
  } else if (IsElement(variable, index, variable->numbers.size())) {
    variable->numbers[index] = value;
  }
}

void CellRef::SetString(std::string value) const {
  if (variable == nullptr || !variable->isString) return;
  StringCell* cell = nullptr;
  if (index == kScalar) {
    cell = &variable->text;
  } else if (IsElement(variable, index, variable->texts.size())) {
    cell = &variable->texts[index];
  }
  if (cell == nullptr) return;
  if (value.size() > kMaxStringLength) value.resize(kMaxStringLength);
  const std::size_t before = HeapBytes(cell->text);
  cell->text = std::move(value);
  cell->hasValue = true;
  if (variable->budget == nullptr) return;
  variable->budget->Release(before);
  variable->budget->Grow(HeapBytes(cell->text));
}

std::size_t VariableBytes(const Variable& variable) {
  return RecordBytes(variable) + ElementBytes(variable) + HeapBytes(variable.text.text);
}

Variable* FindOrCreateVariable(Interpreter& interp, std::string_view name) {
  std::string key(name);
  auto found = interp.variableIndex.find(key);
  if (found != interp.variableIndex.end()) return found->second;
  auto variable = std::make_unique<Variable>();
  variable->name = std::move(key);
  // The type is part of the name: a trailing "$" makes a string variable.
  variable->isString = !name.empty() && name.back() == '$';
  variable->budget = &interp.budget;
  interp.budget.Grow(RecordBytes(*variable));
  Variable* created = variable.get();
  interp.variables.push_back(std::move(variable));
  interp.variableIndex.emplace(created->name, created);
  return created;
}

std::string ElementName(const Variable& variable, int dimension, double index) {
  std::string name = variable.name + "(";
  const int dimensions = std::max(static_cast<int>(variable.extentCount), dimension + 1);
  for (int k = 0; k < dimensions; ++k) {
    if (k > 0) name += ", ";
    name += k == dimension ? FormatNumber(index) : "_";
  }
  return name + ")";
}

std::string CellName(const Variable& variable, int32_t index) {
  if (index < 0 || variable.extentCount == 0) return variable.name;
  std::array<int32_t, kMaxDimensions> subscripts{};
  for (int k = variable.extentCount - 1; k >= 0; --k) {
    subscripts[k] = index % variable.extents[k];
    index /= variable.extents[k];
  }
  std::string name = variable.name + "(";
  for (int k = 0; k < variable.extentCount; ++k) {
    if (k > 0) name += ", ";
    name += std::to_string(subscripts[k]);
  }
  return name + ")";
}

CellRef ReferenceVariable(Interpreter& interp, StatementCursor& cursor) {
  const Token* token = cursor.Current();
  if (token == nullptr || token->kind != TokenKind::Identifier) {
    interp.Report(Error::SyntaxError);
    return {};
  }
  if (token->Var() == nullptr) {  // never made by the tokenizer
    interp.Report(Error::SyntaxError);
    cursor.Advance();
    return {};
  }
  Variable& variable = *token->Var();
  cursor.Advance();
  if (!cursor.Is(TokenKind::LeftParen)) {
    if (variable.extentCount == 0) return {&variable, CellRef::kScalar};
    interp.Report(Error::BadSubscript, variable.name);  // an array needs its subscripts
    return {&variable, CellRef::kScratch};
  }
  if (variable.extentCount == 0) {
    const bool dimensioned = DimensionAutomatically(interp, cursor, variable);
    interp.CodeChanged();
    if (!dimensioned) return {&variable, CellRef::kScratch};
  }
  return ReadSubscripts(interp, cursor, variable);
}

// DIM name(bound [, bound ...]) [, name(...) ...]
Flow ExecDim(Interpreter& interp, StatementCursor& cursor) {
  for (;;) {
    const Token* token = cursor.Current();
    if (token == nullptr || token->kind != TokenKind::Identifier || token->Var() == nullptr) {
      interp.Report(Error::SyntaxError);
      cursor.SkipToStatementEnd();
      return Flow::Next;
    }
    cursor.Advance();
    DimensionOne(interp, cursor, *token->Var());
    interp.CodeChanged();
    if (cursor.AtStatementEnd()) return Flow::Next;
    if (!cursor.Is(TokenKind::Comma)) {
      interp.Report(Error::SyntaxError);
      cursor.SkipToStatementEnd();
      return Flow::Next;
    }
    cursor.Advance();
  }
}

void ClearVariables(Interpreter& interp) {
  for (const auto& variable : interp.variables) {
    ReleaseElements(*variable);
    variable->number = 0.0;
    interp.budget.Release(HeapBytes(variable->text.text));
    variable->text = StringCell{};
  }
  interp.CodeChanged();
}

void DiscardVariables(Interpreter& interp) {
  // Tokens of a run in progress may still point at the records: the
  // interpreter keeps them until the outermost command ends.
  for (auto& variable : interp.variables) interp.RetireVariable(std::move(variable));
  interp.variables.clear();
  interp.variableIndex.clear();
  interp.CodeChanged();
}

}  // namespace tenrek
