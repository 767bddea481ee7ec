// `tenrek host FILE|-`: plays a host script against the run-time exports
// in this process, on our own window system, and prints the transcript.
// Exit 0 when the script ran to its end; 2 with a one-line message on
// standard error for a malformed line, an INPUT dialog with no reply
// queued, or an operation that needs an object when none exists.
#include <cstdio>
#include <optional>
#include <string>

#include "sim/native/native_exports.h"
#include "sim/runner/script.h"
#include "tenrek/input_files.h"
#include "tenrek/subcommands.h"

namespace tenrek {

namespace {

constexpr int kFailed = 2;
// More than any script a person writes; a bound on what "-" may cost.
constexpr std::size_t kMaxScriptText = std::size_t{16} << 20;

int Fail(const std::string& message) {
  std::fprintf(stderr, "tenrek host: %s\n", message.c_str());
  return kFailed;
}

void WriteToStandardOutput(std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fflush(stdout);
}

}  // namespace

// argv[0] is "host".
int RunHostCommand(int argc, char** argv) {
  if (argc != 2) return Fail("usage: tenrek host FILE|-");
  std::string text;
  std::string reason;
  if (!ReadInputFile(argv[1], kMaxScriptText, text, reason)) {
    return Fail(std::string("cannot read ") + argv[1] + ": " + reason);
  }
  std::string error;
  const std::optional<host::Script> script = host::ParseScript(text, error);
  if (!script) return Fail(error);

  std::string failure;
  if (host::PlayNatively(*script, WriteToStandardOutput, failure) != 0) return Fail(failure);
  return 0;
}

}  // namespace tenrek
