// The compiled form of lines: every instruction list keeps both stacks
// as its table says (empty between statements, never below empty), and
// the disassembler names what each line became and why a statement runs
// through its handler.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "interp/compiler.h"
#include "interp/disassembler.h"
#include "interp/instructions.h"
#include "interp/vm.h"
#include "test_support.h"

namespace tenrek {
namespace {

// Instructions after which the run leaves the statement: both stacks
// must be empty there.
bool EndsStatement(Opcode op) {
  switch (op) {
    case Opcode::Statement:
    case Opcode::Store:
    case Opcode::StoreElement:
    case Opcode::StoreElementAt:
    case Opcode::StoreElementOfScalar:
    case Opcode::AddToScalar:
    case Opcode::StoreText:
    case Opcode::Jump:
    case Opcode::Goto:
    case Opcode::GotoComputed:
    case Opcode::Gosub:
    case Opcode::GosubComputed:
    case Opcode::Return:
    case Opcode::For:
    case Opcode::Next:
    case Opcode::WhileEnter:
    case Opcode::WhileAgain:
    case Opcode::Wend:
    case Opcode::EndLine:
    case Opcode::Handler: return true;
    default: return false;
  }
}

// Walks the code in order, each entry starting with empty stacks, and
// checks the heights the table's stack effects give.
void ExpectBalancedStacks(const LineCode& code, const std::string& line) {
  int numbers = 0;
  int texts = 0;
  bool inStatement = false;
  for (std::size_t pc = 0; pc < code.code.size(); ++pc) {
    for (const Entry& entry : code.entries) {
      if (entry.pc == pc) {
        EXPECT_FALSE(inStatement && (numbers != 0 || texts != 0)) << line << " at " << pc;
        numbers = texts = 0;
      }
    }
    const Instruction& i = code.code[pc];
    if (i.op == Opcode::Target) continue;
    const StackEffect effect = EffectOf(i.op, i.a);
    numbers += effect.numbers;
    texts += effect.texts;
    inStatement = true;
    ASSERT_GE(numbers, 0) << line << " at " << pc << " " << OpcodeName(i.op);
    ASSERT_GE(texts, 0) << line << " at " << pc << " " << OpcodeName(i.op);
    EXPECT_LE(numbers, kMaxCompiledNumbers) << line;
    EXPECT_LE(texts, kMaxCompiledTexts) << line;
    if (EndsStatement(i.op)) {
      EXPECT_EQ(numbers, 0) << line << " at " << pc << " " << OpcodeName(i.op);
      EXPECT_EQ(texts, 0) << line << " at " << pc << " " << OpcodeName(i.op);
    }
  }
}

std::vector<std::string> BenchmarkLines() {
  std::vector<std::string> lines;
  const std::filesystem::path folder =
      std::filesystem::path(__FILE__).parent_path() / "bench_programs";
  for (const char* name : {"bm7", "sieve", "mandel", "strings", "gosub", "lines"}) {
    std::ifstream in(folder / (std::string(name) + ".bas"));
    for (std::string line; std::getline(in, line);) lines.push_back(line);
  }
  return lines;
}

TEST(Compiler, EveryLineKeepsItsStacksAsTheTableSays) {
  std::vector<std::string> lines = BenchmarkLines();
  for (const char* line :
       {"10 IF A$=\"X\" THEN B$=MID$(A$+C$,2,3): X=LEN(B$) ELSE 30",
        "20 WHILE A<3 AND LEFT$(A$,1)<>\"Q\": A=A+1: A$=A$+STR$(A): WEND",
        "30 FOR I=1 TO 3 STEP 2: D(I)=I^2: E(I,1)=D(I) MOD 2: NEXT I: GOSUB 10*I",
        "40 ON A GOTO 10, 20: PRINT A: IF A THEN IF B THEN 10 ELSE 20 ELSE GOTO 30",
        "50 A$=UPPER$(A$)+CHR$(65)+CRLF$: B=ASC(A$)+-A+NOT B: RETURN"}) {
    lines.emplace_back(line);
  }
  testing::BasicTest basic;
  basic.Command("DIM D(5), E(5,2), F(8190), M(5)");
  for (const std::string& line : lines) {
    basic.Command("NEW");
    basic.Command("DIM D(5), E(5,2), F(8190), M(5)");
    basic.Command(line);
    ProgramLine* stored = basic.interp.program.First();
    ASSERT_NE(stored, nullptr) << line;
    LineCode& code = CodeOf(basic.interp, *stored);
    // Every statement start the run may come back to, compiled too.
    for (std::size_t token = 0; token <= stored->tokens.size(); ++token) {
      if (code.EntryAt(token) < 0) CompileFrom(stored->tokens, code, token);
    }
    ExpectBalancedStacks(code, line);
  }
}

TEST(Compiler, TheListingNamesEachInstructionAndWhyAHandlerRuns) {
  testing::BasicTest basic;
  basic.Enter({"DIM F(9)", "10 S=(S*3+1) MOD 1000003: GOTO 20", "20 F(I)=1: PRINT S",
               "30 Z=C$: NEXT I", "40 X=Q(1)", "50 X=-S*3: IF K<1000 THEN X=S*3"});
  const std::string listing = DisassembleProgram(basic.interp);
  // The specialised forms: a scalar and a number read by one instruction,
  // an IF on a relation fused with its jump, a store that ends the line.
  for (const char* expected : {"MultiplyScalarAndNumber S", "OperandNumber   3",
                               "JumpUnlessScalarAndNumber K <", "StoreLast       X"}) {
    EXPECT_NE(listing.find(expected), std::string::npos) << expected << "\n" << listing;
  }
  for (const char* expected :
       {"line 10 (", "Scalar          S", "MultiplyNumber  3", "RemainderNumber 1000003",
        "Store           S", "Goto            line 20", "StoreElementOfScalar F",
        "OperandScalar   I", "Handler         PRINT has no compiled form", "Next            I",
        "EndLine"}) {
    EXPECT_NE(listing.find(expected), std::string::npos) << expected << "\n" << listing;
  }
  // A number assigned a string, an array used before DIM: left to their
  // handlers, which report.
  const std::string line30 = listing.substr(listing.find("line 30"));
  EXPECT_NE(line30.find("Handler         its text does not compile exactly"), std::string::npos)
      << line30;
  const std::string line40 = listing.substr(listing.find("line 40"));
  EXPECT_NE(line40.find("Handler         its text does not compile exactly"), std::string::npos)
      << line40;
}

// The benchmark kernels take the specialised forms they were made for: a
// test that fails when the compiler stops choosing them (the agreement
// tests only show that they give the same results).
TEST(Compiler, BenchmarkKernelsTakeTheirSpecialisedForms) {
  struct Case {
    const char* line;
    const char* form;
  };
  const Case cases[] = {
      {"100 W=U*U-V*V+A", "MultiplyScalars U"},
      {"110 V=2*U*V+B", "MultiplyScalarAndNumber U"},
      {"120 U=W", "SetScalarLast   U"},
      {"80 U=0: V=0", "SetScalar       U"},
      {"140 J=J+1", "AddToScalarLast J"},
      {"90 WHILE J<40 AND T<=4", "And"},
      {"134 F(K)=0", "StoreElementOfScalarLast F"},
      {"125 IF I+P>Z THEN 140", "JumpUnlessScalar Z >"},
      {"125 IF I+P>Z THEN 140", "AddScalars      I"},
      {"130 A=K/2*3", "DivideScalarAndNumber K"},
  };
  for (const Case& c : cases) {
    testing::BasicTest basic;
    basic.Enter({"DIM F(9)", c.line});
    const std::string listing = DisassembleProgram(basic.interp);
    EXPECT_NE(listing.find(c.form), std::string::npos) << c.line << "\n" << listing;
  }
}

// A line compiles to no more than about twice the bytes its tokens take.
TEST(Compiler, CompiledLinesStaySmall) {
  testing::BasicTest basic;
  basic.Enter({"DIM M(5)", "100 S=(S*3+1) MOD 1000003: GOTO 2990", "70 A=K/2*3+4-5",
               "120 S=S+M(5)*2+R", "110 V=2*U*V+B"});
  for (ProgramLine* line = basic.interp.program.First(); line != nullptr; line = line->next) {
    LineCode& code = CodeOf(basic.interp, *line);
    const std::size_t instructions = code.code.size() * sizeof(Instruction);
    EXPECT_LE(instructions, 3 * line->tokens.HeapBytes()) << line->number;
  }
}

}  // namespace
}  // namespace tenrek
