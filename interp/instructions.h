// The instruction set of compiled lines: one table, read by the compiler
// for stack effects, by the run loop for dispatch and by the disassembler
// for names and operands.
//
// A stored line is compiled, the first time it runs, into one list of
// instructions (LineCode below). A machine runs them with two stacks, one
// of numbers and one of texts; a text is a view of a variable's value, of
// a literal in the line's tokens, or of a buffer the machine keeps.
// Between two statements both stacks are empty.
//
// Operands: `a` a small count, a token kind or a relation (the orders
// it accepts, as the operator table gives them), `at` a token index of the
// line, `b` a jump's distance (in instructions, from the jump itself) or a
// line number, and one payload: a number, a variable, a text or a kept
// target.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "interp/token.h"

namespace tenrek {

struct ProgramLine;

// What an instruction's payload holds, for the disassembler.
enum class Payload : uint8_t { None, Number, Variable, Text, Line };

// INSTRUCTION(name, payload, numbers, texts, checked, what it does)
// `numbers` and `texts` are the change to each stack's height; a count
// written "a" depends on the operand a. `checked`: it may report or
// charge the memory budget, so the statement after the one holding it
// starts with a Statement check. Jumps and statement ends say where the
// run goes on.
#define TENREK_INSTRUCTIONS(INSTRUCTION) \
  /* ---- numbers ---- */ \
  INSTRUCTION(Number, Number, 1, 0, false, "push the number") \
  INSTRUCTION(Scalar, Variable, 1, 0, false, "push the numeric scalar") \
  INSTRUCTION(Subscript, Variable, 0, 0, true, \
              "the top, rounded, as subscript a of the array; -1 after \"Bad subscript\"") \
  INSTRUCTION(Element, Variable, 1 - a, 0, false, \
              "pop a subscripts, push the element (0 when one was bad)") \
  INSTRUCTION(ElementAt, Variable, 0, 0, true, \
              "the top as the subscript of the one-dimensional array: its element (0 after \"Bad " \
              "subscript\")") \
  INSTRUCTION( \
      ElementOfScalar, Variable, 1, 0, true, \
      "push the element of the one-dimensional array whose subscript is the next slot's scalar") \
  INSTRUCTION(Negate, None, 0, 0, false, "the top negated") \
  INSTRUCTION(Not, None, 0, 0, false, "the complement of the top rounded to a whole number") \
  INSTRUCTION(Add, None, -1, 0, false, "pop two, push their sum") \
  INSTRUCTION(Subtract, None, -1, 0, false, "pop two, push the difference") \
  INSTRUCTION(Multiply, None, -1, 0, false, "pop two, push the product") \
  INSTRUCTION(Divide, None, -1, 0, false, \
              "pop two, push the quotient (a zero divisor is no error)") \
  INSTRUCTION(Modulo, None, -1, 0, true, "pop two, push MOD (\"Divide by zero\" for 0)") \
  INSTRUCTION(Compare, None, -1, 0, false, \
              "pop two, push 1 when they stand in one of the orders a (a relation), else 0") \
  INSTRUCTION(And, None, -1, 0, false, "pop two, push the AND of their truncations") \
  INSTRUCTION(Or, None, -1, 0, false, "pop two, push the OR of their truncations") \
  INSTRUCTION(Binary, None, -1, 0, false, "pop two, push operator a (^ XOR) applied") \
  INSTRUCTION(AddNumber, Number, 0, 0, false, "the top plus the number") \
  INSTRUCTION(SubtractNumber, Number, 0, 0, false, "the top minus the number") \
  INSTRUCTION(MultiplyNumber, Number, 0, 0, false, "the top times the number") \
  INSTRUCTION(DivideNumber, Number, 0, 0, false, "the top divided by the number") \
  INSTRUCTION(ModuloNumber, Number, 0, 0, true, "the top MOD the number") \
  INSTRUCTION(RemainderNumber, Number, 0, 0, false, \
              "the top MOD the number, which does not round to 0: it cannot report") \
  INSTRUCTION(CompareNumber, Number, 0, 0, false, "relation a between the top and the number") \
  INSTRUCTION(AddScalars, Variable, 1, 0, false, "push the scalar plus the next slot's scalar") \
  INSTRUCTION(SubtractScalars, Variable, 1, 0, false, \
              "push the scalar minus the next slot's scalar") \
  INSTRUCTION(MultiplyScalars, Variable, 1, 0, false, \
              "push the scalar times the next slot's scalar") \
  INSTRUCTION(AddScalarAndNumber, Variable, 1, 0, false, \
              "push the scalar plus the next slot's number") \
  INSTRUCTION(SubtractScalarAndNumber, Variable, 1, 0, false, \
              "push the scalar minus the next slot's number") \
  INSTRUCTION(MultiplyScalarAndNumber, Variable, 1, 0, false, \
              "push the scalar times the next slot's number") \
  INSTRUCTION(DivideScalarAndNumber, Variable, 1, 0, false, \
              "push the scalar divided by the next slot's number") \
  INSTRUCTION( \
      CompareScalarAndNumber, Variable, 1, 0, false, \
      "push 1 when relation a holds between the scalar and the next slot's number, else 0") \
  INSTRUCTION(AddScalar, Variable, 0, 0, false, "the top plus the scalar") \
  INSTRUCTION(SubtractScalar, Variable, 0, 0, false, "the top minus the scalar") \
  INSTRUCTION(MultiplyScalar, Variable, 0, 0, false, "the top times the scalar") \
  INSTRUCTION(DivideScalar, Variable, 0, 0, false, "the top divided by the scalar") \
  INSTRUCTION(ModuloScalar, Variable, 0, 0, true, "the top MOD the scalar") \
  INSTRUCTION(CompareScalar, Variable, 0, 0, false, "relation a between the top and the scalar") \
  INSTRUCTION(Function, None, 0, 0, false, "numeric function a of the top") \
  /* ---- texts ---- */ \
  INSTRUCTION(Literal, Text, 0, 1, false, "push the text (b characters)") \
  INSTRUCTION(Text, Variable, 0, 1, true, \
              "push the string scalar (empty after \"Variable not created\")") \
  INSTRUCTION(TakeText, Variable, 0, 1, true, \
              "push the string scalar's own text, moved out to be built on") \
  INSTRUCTION(Join, None, 0, -1, false, "pop two texts, push them joined, cut at 1023 characters") \
  INSTRUCTION(CompareText, None, 1, -2, false, \
              "pop two texts, push 1 when relation a holds between them, else 0") \
  INSTRUCTION(Mid, None, 1 - a, 0, false, "MID$ of the text with a - 1 numbers") \
  INSTRUCTION(Left, None, -1, 0, false, "LEFT$ of the text with one number") \
  INSTRUCTION(Right, None, -1, 0, false, "RIGHT$ of the text with one number") \
  INSTRUCTION(Character, None, -1, 1, false, "CHR$ of the number") \
  INSTRUCTION(Format, None, -1, 1, false, "STR$ of the number") \
  INSTRUCTION(Code, None, 1, -1, false, "ASC of the text") \
  INSTRUCTION(Length, None, 1, -1, false, "LEN of the text") \
  INSTRUCTION(Transform, None, 0, 0, false, "text function a (LTRIM$ ... PROPER$) of the text") \
  /* ---- statements ---- */ \
  INSTRUCTION(Statement, None, 0, 0, false, \
              "a statement after a checked one starts at token at: leave for the general loop " \
              "when it must look") \
  INSTRUCTION(Store, Variable, -1, 0, false, "pop into the numeric scalar") \
  INSTRUCTION(StoreLast, Variable, -1, 0, false, "Store, then the EndLine in the next slot") \
  INSTRUCTION(StoreElement, Variable, -1 - a, 0, false, \
              "pop the value, then a checked subscripts; store when all were good") \
  INSTRUCTION(StoreElementAt, Variable, -2, 0, false, \
              "pop the value, then a checked subscript of the one-dimensional array; store when " \
              "it was good") \
  INSTRUCTION(StoreElementOfScalar, Variable, 0, 0, true, \
              "the next slot's scalar as subscript of the one-dimensional array, checked; store " \
              "the slot after's value") \
  INSTRUCTION(StoreElementOfScalarLast, Variable, 0, 0, true, \
              "StoreElementOfScalar, then the EndLine after its slots") \
  INSTRUCTION(AddToScalar, Variable, 0, 0, false, \
              "add the next slot's number to the numeric scalar") \
  INSTRUCTION(AddToScalarLast, Variable, 0, 0, false, \
              "AddToScalar, then the EndLine after its slot") \
  INSTRUCTION(SetScalar, Variable, 0, 0, false, \
              "put the next slot's number or scalar into the numeric scalar") \
  INSTRUCTION(SetScalarLast, Variable, 0, 0, false, "SetScalar, then the EndLine after its slot") \
  INSTRUCTION(StoreText, Variable, 0, -1, true, "pop the text into the string scalar") \
  INSTRUCTION(Jump, None, 0, 0, false, "go on at instruction b") \
  INSTRUCTION(JumpUnless, None, -1, 0, false, "pop; go on at instruction b when it is 0") \
  INSTRUCTION(JumpUnlessNumber, Number, -1, 0, false, \
              "pop; go on at instruction b unless relation a holds between it and the number") \
  INSTRUCTION(JumpUnlessScalar, Variable, -1, 0, false, \
              "pop; go on at instruction b unless relation a holds between it and the scalar") \
  INSTRUCTION(JumpUnlessScalarAndNumber, Variable, 0, 0, false, \
              "go on at instruction b unless relation a holds between the scalar and the next " \
              "slot's number") \
  INSTRUCTION(Goto, Line, 0, 0, false, \
              "go on at line b (where, and in the Target slot after it which line, kept once " \
              "found)") \
  INSTRUCTION(GotoComputed, None, -1, 0, false, "pop a line number, go on at that line") \
  INSTRUCTION(Gosub, Line, 0, 0, true, \
              "push a GOSUB frame resuming at token at, go on at line b (kept as GOTO keeps it)") \
  INSTRUCTION(GosubComputed, None, -1, 0, true, "the same, the line number popped") \
  INSTRUCTION(Return, Line, 0, 0, false, \
              "back to the innermost GOSUB, or the handler of the statement at token at") \
  INSTRUCTION(For, Variable, -1 - a, 0, true, \
              "pop the limit (and the step when a is 1); enter the loop or pass over its body") \
  INSTRUCTION( \
      Next, Variable, 0, 0, false, \
      "step the innermost FOR loop of the scalar, or the handler of the statement at token at") \
  INSTRUCTION(While, None, 0, 0, true, "push a WHILE frame resuming at token at") \
  INSTRUCTION(WhileEnter, None, -1, 0, false, \
              "pop the condition: 0 drops the frame and passes over the body") \
  INSTRUCTION(WhileAgain, None, -1, 0, false, \
              "pop the condition: go on at b, or drop the frame and go back after the WEND") \
  INSTRUCTION( \
      Wend, Line, 0, 0, false, \
      "ask the innermost WHILE's condition again, or the handler of the statement at token at") \
  INSTRUCTION(EndLine, Line, 0, 0, false, \
              "go on at the next line (where its code starts kept once found)") \
  INSTRUCTION(Handler, None, 0, 0, true, \
              "run the handler of the statement at token at (a says why: HandlerReason)") \
  INSTRUCTION(Result, None, 0, 0, false, \
              "stop: an expression compiled alone has its value on top") \
  INSTRUCTION(OperandNumber, Number, 0, 0, false, \
              "never run: a number for the instruction before") \
  INSTRUCTION(OperandScalar, Variable, 0, 0, false, \
              "never run: a numeric scalar for the instruction before") \
  INSTRUCTION(Target, Line, 0, 0, false, \
              "never run: after GOTO and GOSUB one slot keeps the line gone to; after NEXT, " \
              "RETURN and WEND two keep where they went last (the instruction, b 1 when in the " \
              "line after) and from where (line and token b)")

enum class Opcode : uint8_t {
#define TENREK_OPCODE_ENUMERATOR(name, payload, numbers, texts, checked, doc) name,
  TENREK_INSTRUCTIONS(TENREK_OPCODE_ENUMERATOR)
#undef TENREK_OPCODE_ENUMERATOR
};

#define TENREK_COUNT_OPCODE(name, payload, numbers, texts, checked, doc) +1
inline constexpr int kOpcodeCount = 0 TENREK_INSTRUCTIONS(TENREK_COUNT_OPCODE);
#undef TENREK_COUNT_OPCODE

// What an instruction with operand `a` does to the height of each stack.
struct StackEffect {
  int numbers = 0;
  int texts = 0;
};

constexpr StackEffect EffectOf(Opcode op, int a) {
  switch (op) {
#define TENREK_OPCODE_EFFECT(name, payload, numbers, texts, checked, doc) \
  case Opcode::name: return {numbers, texts};
    TENREK_INSTRUCTIONS(TENREK_OPCODE_EFFECT)
#undef TENREK_OPCODE_EFFECT
  }
  return {};
}

struct Variable;

// One instruction, 16 bytes.
struct Instruction {
  Opcode op = Opcode::EndLine;
  uint8_t a = 0;
  uint16_t at = 0;
  uint32_t b = 0;
  union {
    double number = 0.0;
    Variable* variable;
    const char* text;
    Instruction* target;  // where a jump or line end goes on, once found
    ProgramLine* line;    // the line of a kept target, or the line it came from
  };
};
static_assert(sizeof(Instruction) == 16);

// Why a statement runs through its handler, kept in a Handler's operand a.
enum class HandlerReason : uint8_t {
  NotExact,        // its text does not compile to the same reports and values
  NoCompiledForm,  // its keyword has none
};

// The token kind kept in operand a.
inline TokenKind KindOf(const Instruction& instruction) {
  return static_cast<TokenKind>(instruction.a);
}

// Where a statement of the line starts in its instructions. A loop head
// is the WHILE condition asked again by WEND.
struct Entry {
  uint16_t token = 0;
  bool loopHead = false;
  uint32_t pc = 0;
};

// A line compiled: valid while the interpreter's code stamp is `stamp`.
// Instruction 0 is the line's first statement; more statements are
// compiled on as the run first reaches them (the entries say where).
//
// Kept targets are the addresses of instructions, so an instruction never
// moves while its code is current: a buffer the code outgrows is kept,
// not freed. What it holds stays right to run, since it is a prefix of
// the code and its jumps (instruction indexes) lead into `code`.
struct LineCode {
  uint64_t stamp = 0;
  // Every statement starts with a Statement check (a statement limit is
  // counted), not only those after a checked one.
  bool checkEvery = false;
  std::vector<Instruction> code;
  std::vector<Entry> entries;
  std::unique_ptr<std::vector<std::vector<Instruction>>> outgrown;  // made on first need

  void Append(const Instruction& instruction) {
    if (code.size() == code.capacity() && !code.empty()) {
      std::vector<Instruction> larger;
      larger.reserve(2 * code.capacity());
      larger.assign(code.begin(), code.end());
      if (outgrown == nullptr) outgrown = std::make_unique<std::vector<std::vector<Instruction>>>();
      outgrown->push_back(std::move(code));
      code = std::move(larger);
    }
    code.push_back(instruction);
  }

  // The instruction where the statement at `token` starts, or -1.
  int64_t EntryAt(std::size_t token, bool loopHead = false) const {
    for (const Entry& entry : entries) {
      if (entry.token == token && entry.loopHead == loopHead) return entry.pc;
    }
    return -1;
  }
  // What the line's code holds on the heap.
  std::size_t Bytes() const {
    std::size_t bytes = sizeof(LineCode) + code.capacity() * sizeof(Instruction) +
                        entries.capacity() * sizeof(Entry);
    if (outgrown == nullptr) return bytes;
    bytes += sizeof(*outgrown) + outgrown->capacity() * sizeof(outgrown->front());
    for (const std::vector<Instruction>& buffer : *outgrown) {
      bytes += buffer.capacity() * sizeof(Instruction);
    }
    return bytes;
  }
};

// Whether an instruction may report or charge the budget.
constexpr bool IsChecked(Opcode op) {
  switch (op) {
#define TENREK_OPCODE_CHECKED(name, payload, numbers, texts, checked, doc) \
  case Opcode::name: return checked;
    TENREK_INSTRUCTIONS(TENREK_OPCODE_CHECKED)
#undef TENREK_OPCODE_CHECKED
  }
  return true;
}

// The name, payload kind and description of an opcode.
std::string_view OpcodeName(Opcode op);
Payload OpcodePayload(Opcode op);
std::string_view OpcodeDescription(Opcode op);

}  // namespace tenrek
