// The setup dialog's Renum operation and the module's own message box.
#pragma once

#include <string>
#include <string_view>

namespace tenrek::host {

// Renumbers a program text through a temporary Interpreter: "NEW", each
// line (split as "Load from ..." splits), then "RENUM" and "ILXT" into a
// 32768-byte listing that replaces the text. An error while loading is
// shown in a box captioned "..." and leaves the text as it was, as does a
// renumbered text that would not fit whole (a line grown past its 1023
// characters, or the whole past the listing); an error of RENUM is shown
// after the listing has replaced it. Commands in the text run under a
// statement limit, so a program that never ends is broken and reported.
void RenumberText(std::string& text);

// A message box with no owner, caption "...", the text (at most 1023
// characters, never used as a format) and an OK button.
void ShowMessage(std::string_view text);

}  // namespace tenrek::host
