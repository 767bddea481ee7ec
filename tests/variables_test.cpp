// Variables, references with automatic dimensioning, DIM, CLEAR and NEW.
#include <string>

#include "expression_fixture.h"
#include "interp/statements.h"
#include "test_support.h"

namespace tenrek::testing {
namespace {

class VariablesTest : public ExpressionTest {
 protected:
  CellRef Ref(std::string_view text) {
    Load(text);
    return ReferenceVariable(interp, cursor);
  }
  void Dim(std::string_view text) {
    Load(text);
    ExecDim(interp, cursor);
  }
  std::vector<int32_t> Extents(std::string_view name) {
    Variable* v = Var(name);
    return std::vector<int32_t>(v->extents.begin(), v->extents.begin() + v->extentCount);
  }
};

TEST_F(VariablesTest, NamesAreExactAndTheDollarMakesAString) {
  Variable* upper = Var("A");
  EXPECT_EQ(Var("A"), upper);
  EXPECT_NE(Var("a"), upper);
  EXPECT_FALSE(upper->isString);
  EXPECT_TRUE(Var("A$")->isString);
  EXPECT_FALSE(Var("A$B")->isString);  // only a trailing "$" counts
  EXPECT_NE(Var("A$"), upper);
  EXPECT_EQ(interp.variables.size(), 4u);
}

TEST_F(VariablesTest, ScalarReferenceStopsAfterTheName) {
  const CellRef cell = Ref("X + 1");
  EXPECT_EQ(cell.variable, Var("X"));
  EXPECT_EQ(cell.index, CellRef::kScalar);
  EXPECT_EQ(cursor.pos, 1u);
  cell.SetNumber(5);
  EXPECT_EQ(Eval("X").number, 5);
}

TEST_F(VariablesTest, ReferenceNeedsAnIdentifier) {
  const CellRef cell = Ref("5");
  EXPECT_EQ(cell.variable, nullptr);
  EXPECT_EQ(interp.errorNumber, 40);
  EXPECT_EQ(cursor.pos, 0u);
  cell.SetNumber(1);  // a failed reference takes writes harmlessly
  EXPECT_EQ(cell.GetNumber(), 0);
}

TEST_F(VariablesTest, FirstSubscriptedUseDimensionsElevenPerSubscript) {
  const CellRef a = Ref("A(10) = 1");
  EXPECT_EQ(interp.errorNumber, 0);
  EXPECT_EQ(Extents("A"), (std::vector<int32_t>{11}));
  EXPECT_EQ(a.index, 10);
  EXPECT_EQ(cursor.pos, 4u);  // on the "="

  const CellRef b = Ref("B(1, 2)");
  EXPECT_EQ(Extents("B"), (std::vector<int32_t>{11, 11}));
  EXPECT_EQ(Var("B")->numbers.size(), 121u);
  EXPECT_EQ(b.index, 1 * 11 + 2);

  Ref("S$(1, 2, 3, 4)");
  EXPECT_EQ(Var("S$")->texts.size(), 11u * 11 * 11 * 11);
  EXPECT_EQ(interp.errorNumber, 0);
}

// A subscript holding a call with its own commas is still one subscript.
TEST_F(VariablesTest, AutomaticDimensionCountsNestedListsAsOneSubscript) {
  const CellRef cell = Ref("D(MIN(1, 2), 3)");
  EXPECT_EQ(interp.errorNumber, 0);
  EXPECT_EQ(Extents("D"), (std::vector<int32_t>{11, 11}));
  EXPECT_EQ(cell.index, 1 * 11 + 3);
  EXPECT_TRUE(cursor.AtLineEnd());
}

TEST_F(VariablesTest, FiveSubscriptsAreRefused) {
  const CellRef cell = Ref("C(1, 2, 3, 4, 5) = 2");
  EXPECT_EQ(interp.errorNumber, 42);
  EXPECT_EQ(interp.errorText, kBadSubscriptText);
  EXPECT_EQ(Var("C")->extentCount, 0);
  EXPECT_EQ(cell.index, CellRef::kScratch);
  EXPECT_TRUE(cursor.Is(TokenKind::Equal));
  EXPECT_EQ(Reports(), 1u);
}

TEST_F(VariablesTest, IndexesRoundAndAreChecked) {
  struct Case {
    const char* text;
    int32_t index;  // kScratch: "Bad subscript"
  };
  const Case cases[] = {
      {"A(1.5)", 2},
      {"A(-0.4)", 0},
      {"A(10.4)", 10},
      {"A(-0.6)", CellRef::kScratch},
      {"A(11)", CellRef::kScratch},
      {"A(1E300)", CellRef::kScratch},
      {"A(0/0)", CellRef::kScratch},
  };
  for (const Case& c : cases) {
    const CellRef cell = Ref(c.text);
    EXPECT_EQ(cell.index, c.index) << c.text;
    EXPECT_EQ(interp.errorNumber, c.index == CellRef::kScratch ? 42 : 0) << c.text;
    EXPECT_TRUE(cursor.AtLineEnd()) << c.text;
  }
}

TEST_F(VariablesTest, ElementsAreRowMajor) {
  Dim("A(2, 3)");
  ASSERT_EQ(interp.errorNumber, 0);
  const CellRef cell = Ref("A(1, 2)");
  EXPECT_EQ(cell.index, 1 * 4 + 2);
  cell.SetNumber(7);
  EXPECT_EQ(Var("A")->numbers[6], 7);
  EXPECT_EQ(Eval("A(1, 2) + A(2, 3)").number, 7);
}

TEST_F(VariablesTest, WrongSubscriptCountIsASyntaxError) {
  Dim("A(2, 3)");
  struct Case {
    const char* text;
    std::size_t stop;
  };
  const Case cases[] = {{"A(1) = 5", 4}, {"A(1, 2, 3) = 5", 8}, {"A(1, 2", 5}, {"A(1 : PRINT", 3}};
  for (const Case& c : cases) {
    const CellRef cell = Ref(c.text);
    EXPECT_EQ(interp.errorNumber, 40) << c.text;
    EXPECT_EQ(Reports(), 1u) << c.text;
    EXPECT_EQ(cell.index, CellRef::kScratch) << c.text;
    EXPECT_EQ(cursor.pos, c.stop) << c.text;
  }
}

TEST_F(VariablesTest, ArrayWithoutSubscriptsIsABadSubscript) {
  Ref("A(3)").SetNumber(7);
  const CellRef whole = Ref("A");
  EXPECT_EQ(interp.errorNumber, 42);
  EXPECT_EQ(whole.index, CellRef::kScratch);
  EXPECT_EQ(Eval("A + 1").number, 1);
  EXPECT_EQ(interp.errorNumber, 42);
}

TEST_F(VariablesTest, ScratchCellDropsWritesAndReadsNothing) {
  const CellRef number = Ref("A(20)");
  number.SetNumber(9);
  EXPECT_EQ(number.GetNumber(), 0);
  for (double element : Var("A")->numbers) EXPECT_EQ(element, 0);

  const CellRef text = Ref("T$(20)");
  text.SetString("x");
  EXPECT_EQ(text.GetString(), nullptr);
  // Reading it reports the bad subscript only, not "Variable not created".
  const Value v = Eval("T$(20)");
  EXPECT_EQ(v.text, "");
  EXPECT_EQ(interp.errorNumber, 42);
  EXPECT_EQ(Reports(), 1u);
}

// A cell kept across CLEAR or a new DIM never reaches outside the block.
TEST_F(VariablesTest, KeptCellIsCheckedAgainOnEveryAccess) {
  const CellRef kept = Ref("A(10)");
  Dim("A(2)");  // replaces the 11 elements with 3
  kept.SetNumber(1);
  EXPECT_EQ(kept.GetNumber(), 0);

  const CellRef text = Ref("B$(5)");
  ClearVariables(interp);
  text.SetString("gone");
  EXPECT_EQ(text.GetString(), nullptr);
  EXPECT_EQ(Var("B$")->extentCount, 0);
}

TEST_F(VariablesTest, StringsAreCutToTheLimit) {
  const CellRef cell = Ref("S$");
  cell.SetString(std::string(2000, 'q'));
  ASSERT_NE(cell.GetString(), nullptr);
  EXPECT_EQ(cell.GetString()->text.size(), kMaxStringLength);
}

struct DimCase {
  const char* text;
  int32_t error;
  std::vector<int32_t> extentsOfA;  // empty: A left undimensioned
};

TEST_F(VariablesTest, DimDeclarations) {
  const DimCase cases[] = {
      {"A(10)", 0, {11}},
      {"A(0)", 0, {1}},
      {"A(2.5)", 0, {4}},
      {"A(1, 2, 3, 4)", 0, {2, 3, 4, 5}},
      {"A(2), B$(3)", 0, {3}},
      {"A(1 + 1) : PRINT", 0, {3}},
      {"A(-1)", 42, {}},
      {"A(-0.6)", 42, {}},
      {"A(1, 2, 3, 4, 5)", 42, {}},
      {"A(5000, 5000)", 42, {}},
      {"A(2147483647)", 42, {}},
      {"A(3E9)", 42, {}},
      {"A(\"X\")", 41, {1}},
      {"A", 40, {}},
      {"5", 40, {}},
      {"A(2) B(3)", 40, {3}},
      {"A(2; 3)", 40, {3, 4}},
  };
  for (const DimCase& c : cases) {
    ClearVariables(interp);
    Dim(c.text);
    EXPECT_EQ(interp.errorNumber, c.error) << c.text;
    EXPECT_EQ(Extents("A"), c.extentsOfA) << c.text;
    const std::size_t elements = Var("A")->numbers.size();
    std::size_t expected = c.extentsOfA.empty() ? 0 : 1;
    for (int32_t e : c.extentsOfA) expected *= static_cast<std::size_t>(e);
    EXPECT_EQ(elements, expected) << c.text;
    EXPECT_TRUE(cursor.AtStatementEnd()) << c.text;
  }
  ClearVariables(interp);
  Dim("A(2), B$(3)");
  EXPECT_EQ(Var("B$")->texts.size(), 4u);
}

TEST_F(VariablesTest, DimAgainReportsAndReplacesTheArray) {
  Dim("A(5)");
  Ref("A(4)").SetNumber(3);
  Dim("A(5)");
  EXPECT_EQ(interp.errorNumber, 39);
  EXPECT_EQ(interp.errorText, "Array already dimensioned: \nBasic system error 39");
  EXPECT_EQ(Extents("A"), (std::vector<int32_t>{6}));
  EXPECT_EQ(Eval("A(4)").number, 0);

  // The bounds are read while the old array still stands.
  Ref("A(1)").SetNumber(2);
  Dim("A(A(1))");
  EXPECT_EQ(Extents("A"), (std::vector<int32_t>{3}));

  ClearVariables(interp);
  Dim("A(5)");
  EXPECT_EQ(interp.errorNumber, 0);
  // Automatic dimensioning counts as dimensioned too.
  Ref("Z(1)");
  Dim("Z(3)");
  EXPECT_EQ(interp.errorNumber, 39);
}

TEST_F(VariablesTest, ClearEmptiesEveryVariableAndKeepsThem) {
  SetNumber("N", 4);
  SetText("S$", "text");
  Dim("A(3), T$(2)");
  Ref("T$(1)").SetString("x");
  Variable* const n = Var("N");
  const std::size_t count = interp.variables.size();

  ClearVariables(interp);
  EXPECT_EQ(interp.variables.size(), count);
  EXPECT_EQ(Var("N"), n);
  EXPECT_EQ(n->number, 0);
  EXPECT_FALSE(Var("S$")->text.hasValue);
  EXPECT_EQ(Var("A")->extentCount, 0);
  EXPECT_TRUE(Var("T$")->texts.empty());
  // A cleared array is a scalar again, dimensioned anew by its next use.
  EXPECT_EQ(Eval("A").number, 0);
  EXPECT_EQ(interp.errorNumber, 0);
}

TEST_F(VariablesTest, DiscardRemovesEveryVariable) {
  Var("A");
  Var("B$");
  DiscardVariables(interp);
  EXPECT_TRUE(interp.variables.empty());
  EXPECT_TRUE(interp.variableIndex.empty());
  EXPECT_NE(Var("A"), nullptr);
  EXPECT_EQ(interp.variables.size(), 1u);
}

// The same rules seen from programs.
class VariableProgramTest : public BasicTest, public ::testing::Test {};

TEST_F(VariableProgramTest, AssignmentWritesTheTargetNotTheLastReference) {
  Enter({"I = 1", "J = 2", "A(J) = 5", "A(I) = A(J) + 1"});
  EXPECT_EQ(interp.errorNumber, 0);
  Command("PRINT A(1); A(2)");
  EXPECT_EQ(Printed(), "6 5 \n");
}

}  // namespace
}  // namespace tenrek::testing
