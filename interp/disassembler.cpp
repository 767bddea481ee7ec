#include "interp/disassembler.h"

#include <string_view>

#include "eval/builtins.h"
#include "eval/number_format.h"
#include "eval/variables.h"
#include "interp/interpreter.h"
#include "interp/vm.h"
#include "text/keywords.h"

namespace tenrek {
namespace {

// The keyword or operator a kind operand names, without its spaces.
std::string KindText(TokenKind kind) {
  std::string_view text = ListingText(kind);
  while (text.starts_with(' ')) text.remove_prefix(1);
  while (text.ends_with(' ')) text.remove_suffix(1);
  return std::string(text);
}

bool NamesKind(Opcode op) {
  switch (op) {
    case Opcode::Binary:
    case Opcode::Function:
    case Opcode::Transform: return true;
    default: return false;
  }
}

bool NamesRelation(Opcode op) {
  switch (op) {
    case Opcode::Compare:
    case Opcode::CompareNumber:
    case Opcode::CompareScalar:
    case Opcode::CompareText:
    case Opcode::CompareScalarAndNumber:
    case Opcode::JumpUnlessNumber:
    case Opcode::JumpUnlessScalar:
    case Opcode::JumpUnlessScalarAndNumber: return true;
    default: return false;
  }
}

// Why a statement is left to its handler, as the compiler recorded it.
std::string ReasonText(const ProgramLine& line, const Instruction& handler) {
  if (static_cast<HandlerReason>(handler.a) == HandlerReason::NotExact) {
    return "its text does not compile exactly (an error, a type, a shape or a function left to "
           "the evaluator)";
  }
  const std::size_t at = handler.at;
  return KindText(at < line.tokens.size() ? line.tokens[at].kind : TokenKind::Colon) +
         " has no compiled form";
}

std::string Operands(const ProgramLine& line, const Instruction& i, std::size_t pc) {
  std::string text;
  const auto add = [&text](const std::string& part) {
    if (!text.empty()) text += ' ';
    text += part;
  };
  switch (OpcodePayload(i.op)) {
    case Payload::Number: add(FormatNumber(i.number)); break;
    case Payload::Variable: add(i.variable->name); break;
    case Payload::Text: add('"' + std::string(i.text, i.b) + '"'); break;
    case Payload::Line: break;
    case Payload::None: break;
  }
  if (NamesKind(i.op)) add(KindText(KindOf(i)));
  if (NamesRelation(i.op)) add(KindText(RelationOf(i.a)));
  switch (i.op) {
    case Opcode::Subscript: add("dimension " + std::to_string(i.a)); break;
    case Opcode::Element:
    case Opcode::StoreElement: add(std::to_string(i.a) + " subscripts"); break;
    case Opcode::Mid: add(std::to_string(i.a) + " arguments"); break;
    case Opcode::For: add(i.a != 0 ? "with STEP" : "step 1"); break;
    case Opcode::Jump:
    case Opcode::JumpUnless:
    case Opcode::JumpUnlessNumber:
    case Opcode::JumpUnlessScalar:
    case Opcode::JumpUnlessScalarAndNumber:
    case Opcode::WhileAgain:
      add("to " + std::to_string(static_cast<int64_t>(pc) + static_cast<int32_t>(i.b)));
      break;
    case Opcode::Goto:
    case Opcode::Gosub: add("line " + std::to_string(static_cast<int32_t>(i.b))); break;
    case Opcode::Handler: add(ReasonText(line, i)); break;
    default: break;
  }
  return text;
}

}  // namespace

std::string DisassembleLine(Interpreter& interp, ProgramLine& line) {
  const LineCode& code = CodeOf(interp, line);
  std::string text = "line " + std::to_string(line.number) + " (" +
                     std::to_string(line.tokens.size()) + " tokens, " +
                     std::to_string(code.code.size()) + " instructions)\n";
  for (std::size_t pc = 0; pc < code.code.size(); ++pc) {
    for (const Entry& entry : code.entries) {
      if (entry.pc == pc) {
        text += "  ; token " + std::to_string(entry.token) +
                (entry.loopHead ? ": WHILE condition again\n" : ": statement\n");
      }
    }
    const Instruction& i = code.code[pc];
    std::string row = "  " + std::to_string(pc);
    row.resize(8, ' ');
    row += OpcodeName(i.op);
    const std::string operands = Operands(line, i, pc);
    if (!operands.empty()) {
      row.resize(std::max<std::size_t>(row.size() + 1, 24), ' ');
      row += operands;
    }
    text += row + '\n';
  }
  return text;
}

std::string DisassembleProgram(Interpreter& interp) {
  std::string text;
  for (ProgramLine* line = interp.program.First(); line != nullptr; line = line->next) {
    text += DisassembleLine(interp, *line);
  }
  return text;
}

}  // namespace tenrek
