// What an Interpreter and the application embedding it exchange.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/platform.h"

namespace tenrek {

// A caller-owned buffer that ILXT lists into; `capacity` counts the
// terminator, so at most capacity - 1 characters are written.
struct ListingTarget {
  std::string* text = nullptr;
  std::size_t capacity = 0;
  // Set by ILXT when a line had to be cut or left out for lack of room.
  bool incomplete = false;
  // The text goes back into a program (the setup dialog's Renum): numbers
  // are written to read back exactly rather than as PRINT shows them.
  bool asProgramText = false;
};

// The host's side of the record: the values a program hands over, the
// buffer ILXT lists into, and the window, module, title and style the
// boxes, the dialog and the notices use. The host sets and reads these
// fields; the core notices it through Interpreter::Notify.
struct HostExchange {
  // GET and RETMMF: the last value handed over.
  double returnNumber = 0.0;
  std::string returnText;
  bool returnIsText = false;
  // MMFTAG: the last tag raised, and whether the host has yet to take it
  // (the name may be empty).
  std::string tagText;
  bool tagPending = false;
  ListingTarget listingBuffer;
  // Receives the notices; none are posted while it is null.
  WindowHandle messageWindow = nullptr;
  // Owner of the INPUT dialog's template.
  ModuleHandle moduleInstance = nullptr;
  // Caption and style of PRINT's boxes (MSGTIT, MSGICON).
  std::string messageTitle = ".....";
  int32_t messageStyle = kMbIconExclamation;
};

}  // namespace tenrek
