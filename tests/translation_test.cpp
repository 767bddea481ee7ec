// Expressions compiled and run, and the same texts through the evaluator:
// the two must agree on every value, every report (number, text and
// order) and where the expression ends.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "eval/evaluator.h"
#include "interp/interpreter.h"
#include "interp/vm.h"
#include "platform/native/recording_platform.h"
#include "test_support.h"

namespace tenrek {
namespace {

struct Observed {
  bool isString = false;
  double number = 0.0;
  std::string text;
  std::size_t end = 0;
  std::vector<std::pair<int32_t, std::string>> reports;
};

void ExpectSame(const Observed& stored, const Observed& evaluated, const std::string& what) {
  EXPECT_EQ(stored.isString, evaluated.isString) << what;
  if (evaluated.number != evaluated.number) {
    EXPECT_NE(stored.number, stored.number) << what << ": NaN expected";
  } else {
    EXPECT_EQ(stored.number, evaluated.number) << what;
  }
  EXPECT_EQ(stored.text, evaluated.text) << what;
  EXPECT_EQ(stored.end, evaluated.end) << what;
  EXPECT_EQ(stored.reports, evaluated.reports) << what;
}

class TranslationTest : public ::testing::Test, public testing::BasicTest {
 protected:
  TranslationTest() {
    // The culprit the console shows is part of the report too.
    interp.onError = [this](int32_t number, std::string_view text) {
      reports.emplace_back(number, std::string(text) + " | " + interp.errorCulprit);
    };
    Enter({"DIM A(3,2): A(2,1)=7: B=2: C$=\"X\": N=0/0: I=1/0: D(1)=5"});
  }

  // Evaluates line `number` in place (translated), or a copy of its tokens
  // (the evaluator), the way a statement handler does.
  Observed Evaluate(int32_t number, bool inPlace, bool numeric) {
    ProgramLine* line = interp.program.Find(number);
    const TokenList copy = line->tokens;
    interp.EnterLine(line);
    StatementCursor cursor;
    cursor.Point(inPlace ? &line->tokens : &copy, 0);
    reports.clear();
    Observed seen;
    if (inPlace && RunCompiledForm(*line, numeric, seen)) {
      interp.LeaveProgram();
      return seen;
    }
    reports.clear();
    if (numeric) {
      seen.number = NumericExpression(interp, cursor);
    } else {
      Value value = EvaluateExpression(interp, cursor);
      seen.isString = value.isString;
      seen.number = value.number;
      seen.text = value.text;
    }
    seen.end = cursor.pos;
    seen.reports = reports;
    interp.LeaveProgram();
    return seen;
  }

  // The line's expression compiled and run, when it compiles to a value
  // of the type asked for (a number, or either).
  bool RunCompiledForm(const ProgramLine& line, bool numeric, Observed& seen) {
    std::size_t end = 0;
    Value value;
    if (!EvaluateCompiled(interp, line.tokens, end, value)) return false;
    if (numeric && value.isString) return false;
    seen.isString = value.isString;
    seen.number = value.number;
    seen.text = value.text;
    seen.end = end;
    seen.reports = reports;
    return true;
  }

  // Runs `body` with the evaluator nested `depth` levels deep already, as
  // inside VAL.
  template <typename Body>
  void WhileNested(int depth, Body body) {
    for (int k = 0; k < depth; ++k) interp.EnterNesting();
    body();
    for (int k = 0; k < depth; ++k) interp.LeaveNesting();
  }

  void ExpectAgreement(const std::string& expression) {
    Command("10 " + expression);
    for (bool numeric : {false, true}) {
      const Observed evaluated = Evaluate(10, false, numeric);
      for (int pass = 0; pass < 2; ++pass) {  // translating, then translated
        ExpectSame(Evaluate(10, true, numeric), evaluated,
                   expression + " pass " + std::to_string(pass));
      }
    }
  }

  std::vector<std::pair<int32_t, std::string>> reports;
};

std::string Nested(const char* open, int depth, const char* inner, const char* close) {
  std::string text;
  for (int i = 0; i < depth; ++i) text += open;
  text += inner;
  for (int i = 0; i < depth; ++i) text += close;
  return text;
}

const std::vector<std::string>& Expressions() {
  // clang-format off
  static const std::vector<std::string> cases = {
      "1+2*3-4/5", "(B*3+1) MOD 1000003", "-7 MOD 3", "7 MOD -3", "7.6 MOD 2.5",
      "-7.5 MOD 2", "5 MOD 0", "5 MOD 0.4", "-2147483648 MOD -1", "3E9 MOD 7", "1E20 MOD 3",
      "N MOD 3", "2^3^2", "0^0", "(-8)^(1/3)", "(-2)^3", "1^I", "NOT 5", "NOT -1.5",
      "NOT N", "3 AND 5 OR 8 XOR 1", "N AND 1", "N=N", "N<>N", "N<>1", "N>=N", "N<1",
      "1<2=1", "I-I", "-I", "A(2,1)*B", "A(3,2)", "A(4,0)+A(-1,0)+A(0,9)", "A(1)",
      "A(1,2,3)", "A", "A(1,1", "A(B MOD 0,1)+A(9,0)", "D(1)+D(11)", "D(0.5)+D(-0.5)",
      "SIN B+COS(B)*INT(-2.5)", "SQR 3+SQRT 2", "SGN N", "INT(1E10)", "CEILING 1.5",
      "FLOOR -1.5", "ABS -3 + EXP 1 + LOG 2 + TAN 1 + ARCTAN 1", "1+", "(1+2", "*",
      "THEN", "1+C$", "C$+1", "C$=\"X\"", "LEN(C$)+1", "-(-(-B))", "1 2", "B+1 THEN 5",
      "+B", "E$", "Z9", "-C$", "NOT C$",
      "B+B", "B-B*B", "B*B+B", "N*B", "B-N", "1.5 AND 3.7", "-1.5 OR 2", "3E9 AND B",
      "B OR N", "B<N", "N<=B", "B<>N", "B>=B", "2*B", "3+N", "2*N*B", "1-B", "B/4", "C$<\"Y\"", "C$>=C$", "C$<>E$",
      Nested("(", 98, "1", ")"), Nested("(", 99, "1", ")"), Nested("(", 100, "1", ")"),
      Nested("-", 99, "1", ""), Nested("-", 100, "1", ""), Nested("2^", 99, "1", ""),
      Nested("2^", 100, "1", ""), Nested("1+(", 40, "A(1,1)", ")"),
      "LEN C$", "ASC(C$)*2", "LEN(E$)+ASC E$", "LEN((C$))", "LEN(C$+C$)", "LEN(C$ 1)",
      "MID$(C$,1,1)+C$", "C$+C$+E$", "C$+C$*2", "LEFT$(E$,1)", "RIGHT$((C$),1)",
      "MID$(C$+C$,2)", "C$+(C$)", "LEN(C$)+LEN(C$+E$)",
      Nested("(", 97, "LEN(C$)", ")"), Nested("(", 98, "LEN(C$)", ")"),
      Nested("(", 98, "LEN C$", ")"), Nested("(", 99, "LEN C$", ")"),
      Nested("(", 98, "C$+C$", ")"), Nested("(", 99, "C$+C$", ")"),
      Nested("(", 98, "MID$(C$,1)", ")"), Nested("(", 99, "MID$(C$,1)", ")"),
      // Last: these dimension C$ on first use.
      "LEN C$(1)", "ASC(C$)",
  };
  // clang-format on
  return cases;
}

TEST_F(TranslationTest, TranslatedExpressionsAgreeWithTheEvaluator) {
  for (const std::string& expression : Expressions()) ExpectAgreement(expression);
}

// Inside VAL the evaluator is nested already: a translation must not let
// a text through that the nesting limit stops.
TEST_F(TranslationTest, AgreementHoldsWhenAlreadyNested) {
  for (const int32_t nested : {1, 50, 98, 99}) {
    WhileNested(nested, [this] {
      for (const std::string& expression : Expressions()) ExpectAgreement(expression);
    });
  }
}

// A translation relies on the shapes its variables had: each change of
// shape (DIM, a first subscripted use, CLEAR) must be noticed.
TEST_F(TranslationTest, ShapeChangesAreNoticed) {
  Command("Z=1");
  ExpectAgreement("Z+1");  // Z a scalar
  Command("DIM Z(2)");
  ExpectAgreement("Z+1");  // now an array without subscripts
  ExpectAgreement("Z(1)+1");
  Command("CLEAR");
  ExpectAgreement("Z+1");
  ExpectAgreement("Z(1)+1");  // dimensioned by this very use
  ExpectAgreement("Z(1)+Z(1,1)");
}

// Statements of a stored line (reached by GOTO, which keeps the
// variables) against the same statements typed as a command.
TEST_F(TranslationTest, StoredStatementsAgreeWithCommands) {
  const std::vector<std::string> statements = {
      "A(1,2)=5",
      "A(4,0)=B MOD 0",
      "A(1,9)=A(9,1)",
      "A(B,B)=A(2,1)+1",
      "A(1)=3",
      "A(1,1,1)=3",
      "A(1,1)=C$",
      "A(1,1)=",
      "A(1,1 =2",
      "D(B)=D(1)+1",
      "D(1.5)=7",
      "D(11)=1",
      "D(-1)=1",
      "Z=Z+1",
      "Z=C$",
      "B=B*B MOD 3",
      "A=1",
      "C$=C$+C$",
      "FOR K=1 TO 3: D(K)=K: NEXT K",
      "FOR K=1 TO 3: D(K)=K: NEXT",
      "FOR K=3 TO 1: NEXT K",
      "FOR K=1 TO 2: FOR L=1 TO 2: D(K+L)=L: NEXT L: NEXT K",
      "FOR K=1 TO 2: FOR L=1 TO 2: D(K+L)=L: NEXT K",
      "FOR D(1)=1 TO 3: NEXT D(1)",
      "FOR K=1 TO 3: NEXT D",
      "NEXT K",
  };
  const std::string show = "PRINT A(1,2);A(2,1);A(2,2);B;D(1);D(2);D(3);D(4);Z;K;L;C$";
  for (const std::string& statement : statements) {
    Command("10 " + statement);
    Command("CLEAR");
    Enter({"DIM A(3,2): A(2,1)=7: B=2: C$=\"X\": D(1)=5"});
    platform.boxes.clear();
    reports.clear();
    Command(statement);
    Command(show);
    const auto typed = std::make_pair(Printed(), reports);
    for (int pass = 0; pass < 2; ++pass) {
      Command("CLEAR");
      Enter({"DIM A(3,2): A(2,1)=7: B=2: C$=\"X\": D(1)=5"});
      platform.boxes.clear();
      reports.clear();
      Command("GOTO 10");
      Command(show);
      EXPECT_EQ(std::make_pair(Printed(), reports), typed) << statement << " pass " << pass;
    }
  }
}

// Expressions with string parts, translated with their texts read in
// place: L$ holds 992 characters, so two of it pass the string limit; E$
// has no value.
const std::vector<std::string>& StringExpressions() {
  // clang-format off
  static const std::vector<std::string> cases = {
      // joins and the string limit
      "C$+\"AB\"+C$", "C$+E$+C$", "E$+C$", "L$+L$", "LEN(L$+L$+L$)", "RIGHT$(L$+C$+L$,2)",
      "C$+(C$+C$)", "(L$+L$)+C$", "LEN(C$+\"\")",
      // comparisons, unsigned, and their results as numbers
      "C$=\"X\"", "C$<\"Y\"", "C$>=\"X\"", "C$<=\"X\"", "C$>\"X\"", "C$<\"X\"",
      "C$<>\"X\"", "C$=\"x\"", "\"\"<C$", "C$>=C$+\"A\"", "C$<>E$", "\"a\">\"B\"",
      "CHR$(200)>\"A\"", "\"A\"=\"A\" AND \"B\"<\"C\"", "NOT (C$=\"X\")", "-(C$=\"X\")",
      "(C$<\"Y\")*5+B", "C$+C$=\"XX\"", "L$+C$>L$",
      // slices
      "MID$(C$,0)", "MID$(L$,5,3)", "MID$(C$,2)", "MID$(C$,-5,-1)", "MID$(L$,990,100)",
      "MID$(L$,2.5,1.5)", "MID$(L$,1E10)", "MID$(L$,3,1E10)", "MID$(C$,1,0)", "MID$(E$,1)",
      "MID$(L$,N,N)", "MID$(L$,I)", "MID$(C$,1 MOD 0)", "MID$(E$,1 MOD 0,2 MOD 0)",
      "LEFT$(L$,-1)", "RIGHT$(L$,3)", "RIGHT$(C$,5)", "LEFT$(C$+C$,1)",
      "RIGHT$(LEFT$(L$,10),3)", "MID$(MID$(L$,3),2,4)", "LEFT$(E$,1)+RIGHT$(E$,1)",
      // characters, numbers as text, case and blanks
      "CHR$(65)", "CHR$ 65+\"B\"", "CHR$(0)", "CHR$(321)", "CHR$(-1)", "CHR$(N)",
      "CHR$ 65.5", "STR$(1/3)", "STR$ B+C$", "STR$(N)+STR$(I)", "ASC(RIGHT$(L$,3))",
      "ASC(CHR$(200))", "LEN(STR$(B))", "ASC E$", "ASC(\"\")", "ASC \"A\"+LEN \"BC\"",
      "UPPER$(\"abc\")+LOWER$ C$", "LTRIM$(\"  a \")+\"|\"", "RTRIM$(\"  a \")+\"|\"",
      "PROPER$(\"hello wORLD\")", "UPPER$(E$)", "LOWER$(LEFT$(L$,30))", "CRLF$+C$",
      "LEN(CRLF$)", "B+LEN(C$+C$)*2", "B MOD 0+ASC(E$)", "SIN(LEN(C$))+INT(ASC(C$)/2)",
      // mismatches, syntax errors and what stays with the evaluator
      "C$-C$", "C$*2", "C$+1", "1+C$", "C$=1", "LEN(1)", "CHR$(C$)", "MID$(1,1)",
      "MID$(C$,C$)", "LEFT$(C$)", "MID$(C$,1,2,3)", "MID$ C$", "C$^2", "UPPER$ 1",
      "STR$ C$", "C$ AND C$", "C$=C$ AND C$", "MID$(C$,1", "LEFT$(C$,1 2)", "C$+", "(C$",
      "\"A\" \"B\"", "VAL(\"1+2\")+LEN(C$)", "LEN(C$)+PEEK 0", "A(1,1)+LEN(C$)",
      "C$+DATE$", "MIN(1,2)+LEN(C$)", "OCCUR(L$,\"A\")+LEN(C$)",
      Nested("LEFT$(", 98, "C$", ",1)"), Nested("LEFT$(", 99, "C$", ",1)"),
      Nested("LEFT$(", 100, "C$", ",1)"), Nested("-", 98, "LEN C$", ""),
      Nested("-", 99, "LEN C$", ""), Nested("(", 98, "C$=C$", ")"),
      Nested("(", 99, "C$=C$", ")"), Nested("ASC(CHR$(", 49, "65", "))"),
      Nested("ASC(CHR$(", 50, "65", "))"),
      // Last: this dimensions S$ on first use.
      "LEN(S$(1))+LEN(C$)",
  };
  // clang-format on
  return cases;
}

class StringTranslationTest : public TranslationTest {
 protected:
  StringTranslationTest() {
    Command("L$=\"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789\"");
    Command("FOR K=1 TO 4: L$=L$+L$: NEXT");
  }
};

TEST_F(StringTranslationTest, StringExpressionsAgreeWithTheEvaluator) {
  Command("10 LEN(L$)");
  ASSERT_EQ(Evaluate(10, true, true).number, 992);
  for (const std::string& expression : StringExpressions()) ExpectAgreement(expression);
}

TEST_F(StringTranslationTest, StringAgreementHoldsWhenAlreadyNested) {
  for (const int32_t nested : {1, 50, 98, 99}) {
    WhileNested(nested, [this] {
      for (const std::string& expression : StringExpressions()) ExpectAgreement(expression);
    });
  }
}

TEST_F(StringTranslationTest, StringShapeChangesAreNoticed) {
  Command("S$=\"A\"");
  ExpectAgreement("S$+\"B\"");
  ExpectAgreement("LEN(S$)+ASC(S$+C$)");
  Command("DIM S$(2)");
  ExpectAgreement("S$+\"B\"");
  ExpectAgreement("LEN(S$)+ASC(S$+C$)");
  Command("CLEAR");
  ExpectAgreement("S$+\"B\"");
  ExpectAgreement("LEN(S$)+ASC(S$+C$)");
}

// String assignments of a stored line, which build into the target's own
// storage (taking it over when the value starts with it), against the
// same statements typed as a command.
TEST_F(StringTranslationTest, StoredStringAssignmentsAgreeWithCommands) {
  const std::vector<std::string> statements = {
      "S$=MID$(L$,3,5)",
      "S$=C$+C$",
      "C$=C$+\"Y\"+C$",
      "C$=MID$(C$,1)",
      "L$=MID$(L$,40,100)",
      "L$=RIGHT$(L$,5)+MID$(L$,3,2)",
      "L$=L$+L$",
      "L$=L$+\"Q\"",
      "L$=L$+L$+\"Q\"",
      "L$=MID$(L$,2)+\"Q\"+LEFT$(L$,2)",
      "L$=LEFT$(L$+\"Q\",995)+MID$(L$,3,2)",
      "E$=E$+\"A\"",
      "E$=MID$(E$,2)",
      "E$=\"\"",
      "S$=STR$(B)+CHR$(66)",
      "C$=LEFT$(C$,0)",
      "C$=LEFT$(C$,1 MOD 0)",
      "S$=C$+1",
      "S$=B",
      "B=C$+C$",
      "S$=RIGHT$(L$,2): T$=S$+S$: S$=T$+S$",
      "S$=",
      "IF LEFT$(L$,2)=\"AB\" THEN S$=\"yes\" ELSE S$=\"no\"",
      "IF C$+C$>\"XX\" THEN S$=\"yes\" ELSE S$=\"no\"",
      "L$=UPPER$(L$)",
      "L$=LTRIM$(\"  \"+L$)",
      "FOR K=1 TO 40: L$=MID$(L$,2)+CHR$(64+K): S$=S$+LEFT$(L$,1): NEXT",
      "FOR K=1 TO 3: T$=T$+\"-\"+C$: C$=T$: NEXT",
      "T$=LOWER$(MID$(L$,30,3)+CRLF$)",
      "PRINT C$+\"!\";MID$(L$,3,4);LEN(C$+L$);E$+C$",
      "B=OCCUR(L$+C$,\"AB\")+ATC(C$+L$,\"X\",1)",
  };
  const std::string show = "PRINT C$;\"|\";S$;\"|\";T$;\"|\";LEN(L$);\"|\";L$;\"|\";E$;B";
  const char* setup = "C$=\"X\": B=2: S$=\"s\": T$=\"\"";
  for (const std::string& statement : statements) {
    Command("10 " + statement);
    Command("CLEAR");
    Command(setup);
    Command("L$=\"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789\"");
    Command("FOR K=1 TO 4: L$=L$+L$: NEXT");
    platform.boxes.clear();
    reports.clear();
    Command(statement);
    Command(show);
    const auto typed = std::make_pair(Printed(), reports);
    for (int pass = 0; pass < 2; ++pass) {
      Command("CLEAR");
      Command(setup);
      Command("L$=\"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789\"");
      Command("FOR K=1 TO 4: L$=L$+L$: NEXT");
      platform.boxes.clear();
      reports.clear();
      Command("GOTO 10");
      Command(show);
      EXPECT_EQ(std::make_pair(Printed(), reports), typed) << statement << " pass " << pass;
    }
  }
}

// Stores into a variable's own storage count its memory as a fresh copy
// would: once the variables are cleared, nothing is left counted.
TEST_F(StringTranslationTest, StoredStringsKeepTheMemoryCountExact) {
  Enter({"NEW", "10 FOR K=1 TO 300: A$=A$+CHR$(65+K MOD 26): B$=MID$(A$,K MOD 7+1,5)",
         "20 D$=A$+B$+A$+A$: IF LEN(A$)>=150 THEN A$=MID$(A$,40,100)",
         "30 E$=B$+D$: B$=RIGHT$(E$,300)+LEFT$(B$,1): D$=MID$(D$,2): NEXT K"});
  Command("CLEAR");
  const std::size_t held = interp.budget.Used();
  Command("RUN");
  EXPECT_GT(interp.budget.Used(), held + 1000);
  Command("CLEAR");
  EXPECT_EQ(interp.budget.Used(), held);
}

// A jump remembers the line it found; the line replaced, deleted or
// renumbered since must never be run in its old place.
TEST_F(TranslationTest, JumpsFollowTheProgramAsItIsNow) {
  Enter({"NEW", "10 GOTO 30", "20 PRINT 2: END", "30 PRINT 3"});
  Command("RUN");
  Command("30 PRINT 33");
  Command("RUN");
  Command("RENUM 100, 100");
  Command("RUN");
  Command("300 GOTO 200");
  Command("RUN");
  Command("DEL 200");
  Command("RUN");
  EXPECT_EQ(Printed(), "3 \n33 \n33 \n2 \n");
  EXPECT_EQ(interp.errorNumber, 31);
  Command("LIST");
  EXPECT_EQ(platform.boxes.back().text, "100 GOTO 300\n300 GOTO 200\n");
}

}  // namespace
}  // namespace tenrek
