#include "host/renumber.h"

#include <algorithm>
#include <cstring>

#include "host/command_lines.h"
#include "host/exports.h"
#include "host/guard.h"
#include "host/module.h"
#include "interp/interpreter.h"

namespace tenrek::host {

namespace {

constexpr std::size_t kListingCapacity = 32768;
constexpr std::size_t kMessageCapacity = 1024;
// The unnumbered lines of the text run as commands while the dialog
// waits; a program that never ends (10 GOTO 10 / RUN) is broken after
// this many statements, well under a second, and Renum reports the break.
constexpr uint64_t kRenumStatementLimit = 1000000;

// Discards program and variables before the Interpreter goes.
class TemporaryInterpreter {
 public:
  explicit TemporaryInterpreter(Platform& platform) : interp_(platform) {
    interp_.SetStatementLimit(kRenumStatementLimit);
  }
  ~TemporaryInterpreter() { interp_.ExecuteCommand("NEW"); }
  Interpreter& operator*() { return interp_; }
  Interpreter* operator->() { return &interp_; }

 private:
  Interpreter interp_;
};

}  // namespace

void ShowMessage(std::string_view text) {
  Platform* platform = Module().platform;
  if (platform == nullptr) return;
  platform->ShowMessageBox("...", text.substr(0, kMessageCapacity - 1), kMbOk);
}

void RenumberText(std::string& text) {
  Platform* platform = Module().platform;
  if (platform == nullptr) return;
  TemporaryInterpreter interp(*platform);
  interp->ExecuteCommand("NEW");
  ForEachTextLine(text, LineEnds::OnePerLine,
                  [&interp](std::string_view line) { interp->ExecuteCommand(line); });
  if (interp->errorNumber != 0) {
    ShowMessage(interp->errorText);
    return;
  }
  std::string listing;
  interp->host.listingBuffer = ListingTarget{&listing, kListingCapacity};
  interp->host.listingBuffer.asProgramText = true;
  interp->ExecuteCommand("RENUM");
  // RENUM refuses only new numbers that would make a line too long.
  const bool refused = interp->errorNumber != 0;
  interp->ExecuteCommand("ILXT");
  const bool incomplete = refused || interp->host.listingBuffer.incomplete;
  interp->host.listingBuffer = ListingTarget{};
  if (incomplete) {
    // A line or the whole text no longer fits: nothing may be lost, so the
    // text stays as it was.
    ShowMessage(FormatSystemError(kOutOfMemoryCode, 0, "Renumbered text too long"));
    return;
  }
  text = std::move(listing);
  if (interp->errorNumber != 0) ShowMessage(interp->errorText);
}

}  // namespace tenrek::host

extern "C" void TENREK_STDCALL RenumberEditText(char* text, int32_t capacity) {
  if (text == nullptr || capacity <= 0 || text[0] == '\0') return;
  const std::size_t size = static_cast<std::size_t>(capacity);
  tenrek::host::Guarded([text, size] {
    std::string edited(text, strnlen(text, size - 1));
    tenrek::host::RenumberText(edited);
    const std::size_t length = std::min(edited.size(), size - 1);
    std::memcpy(text, edited.data(), length);
    text[length] = '\0';
  });
}
