#include "interp/instructions.h"

#include <array>

namespace tenrek {
namespace {

struct OpcodeInfo {
  std::string_view name;
  Payload payload;
  std::string_view description;
};

constexpr std::array<OpcodeInfo, kOpcodeCount> kOpcodeInfo = {{
#define TENREK_OPCODE_INFO(name, payload, numbers, texts, checked, doc) \
  {#name, Payload::payload, doc},
    TENREK_INSTRUCTIONS(TENREK_OPCODE_INFO)
#undef TENREK_OPCODE_INFO
}};

}  // namespace

std::string_view OpcodeName(Opcode op) { return kOpcodeInfo[static_cast<std::size_t>(op)].name; }

Payload OpcodePayload(Opcode op) { return kOpcodeInfo[static_cast<std::size_t>(op)].payload; }

std::string_view OpcodeDescription(Opcode op) {
  return kOpcodeInfo[static_cast<std::size_t>(op)].description;
}

}  // namespace tenrek
