// tenrek-host.exe: plays a host script against the real Tenrek.mfx, as
// `tenrek host` plays it against the exports linked into the native
// command, and prints the same transcript.
//
//   tenrek-host.exe [--module PATH] [--screenshot FILE.bmp] SCRIPT|-
//
// The module is loaded with LoadLibraryA (by default Tenrek.mfx beside
// this program) and every export is found with GetProcAddress. Exit 0 when
// the script ran to its end; 2 with a one-line message on standard error
// for a malformed line, a failed operation, or a module or machine that
// cannot run it; 3 when the process crashed.
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <optional>
#include <string>

#include "sim/runner/runner.h"
#include "sim/runner/script.h"
#include "sim/runner/transcript.h"
#include "windows/test_host/editor_runner.h"
#include "windows/test_host/loaded_module.h"
#include "windows/test_host/win32_environment.h"

namespace tenrek::testhost {
namespace {

constexpr int kFailed = 2;
constexpr int kCrashed = 3;

int Fail(const std::string& message) {
  std::fprintf(stderr, "tenrek-host: %s\n", message.c_str());
  return kFailed;
}

// One line instead of a debugger or a crash dialog.
LONG WINAPI ReportCrash(EXCEPTION_POINTERS* info) {
  std::fprintf(stderr, "tenrek-host: crashed with exception 0x%08lX at %p\n",
               info->ExceptionRecord->ExceptionCode, info->ExceptionRecord->ExceptionAddress);
  std::fflush(stderr);
  ExitProcess(kCrashed);
}

std::string ModuleBesideProgram() {
  char path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path, length);
  const std::size_t slash = folder.find_last_of("\\/");
  folder.resize(slash == std::string::npos ? 0 : slash + 1);
  return folder + "Tenrek.mfx";
}

void WriteToStandardOutput(std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fflush(stdout);
}

void TENREK_STDCALL RenumberThroughSetupDialog(char* text, int32_t capacity) {
  if (Win32Environment* environment = Win32Environment::Current()) {
    environment->RenumberInSetupDialog(text, capacity);
  }
}

host::HostExports ExportsOf(const LoadedModule& module) {
  host::HostExports exports;
  exports.getRunObjectDataSize =
      module.Get<host::GetRunObjectDataSizeExport>("GetRunObjectDataSize");
  exports.createRunObject = module.Get<host::CreateRunObjectExport>("CreateRunObject");
  exports.destroyRunObject = module.Get<host::DestroyRunObjectExport>("DestroyRunObject");
  exports.getRunObjectInfos = module.Get<host::GetRunObjectInfosExport>("GetRunObjectInfos");
  exports.initialize = module.Get<host::InitializeExport>("Initialize");
  exports.free = module.Get<host::FreeExport>("Free");
  // The module exports no Renum of its own: the host presses the setup
  // dialog's button.
  exports.renumberEditText = RenumberThroughSetupDialog;
  return exports;
}

struct Options {
  std::string module;
  std::string screenshot;
  std::string script;
};

std::optional<Options> ReadOptions(int argc, char** argv) {
  Options options;
  options.module = ModuleBesideProgram();
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if ((argument == "--module" || argument == "--screenshot") && i + 1 < argc) {
      (argument == "--module" ? options.module : options.screenshot) = argv[++i];
    } else if (options.script.empty() && (argument == "-" || argument.rfind("--", 0) != 0)) {
      options.script = argument;
    } else {
      return std::nullopt;
    }
  }
  if (options.script.empty()) return std::nullopt;
  return options;
}

int RunScript(const Options& options, const std::string& text) {
  const bool editor = IsEditorScript(text);
  std::string error;
  std::optional<host::Script> script;
  std::optional<std::vector<EditorOperation>> editorScript;
  if (editor) {
    editorScript = ParseEditorScript(text, error);
  } else {
    script = host::ParseScript(text, error);
  }
  if (!script && !editorScript) return Fail(error);

  LoadedModule module;
  if (!module.Load(options.module)) return Fail(module.Problem());
  Win32Environment environment(module);
  if (!environment.Ready()) return Fail(environment.Problem());
  if (!options.screenshot.empty()) environment.CaptureFirstDialog(options.screenshot);

  host::TranscriptWriter transcript(WriteToStandardOutput);
  if (editor) {
    EditorRunner runner(module, environment, transcript);
    if (runner.Run(*editorScript) != 0) return Fail(runner.Failure());
    return 0;
  }
  host::Runner runner(ExportsOf(module), environment, transcript);
  if (runner.Run(*script) != 0) return Fail(runner.Failure());
  return 0;
}

}  // namespace
}  // namespace tenrek::testhost

int main(int argc, char** argv) {
  using namespace tenrek::testhost;
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
  SetUnhandledExceptionFilter(ReportCrash);
  // Scripts and transcripts are bytes: no "\r\n" translation either way.
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
  const std::optional<Options> options = ReadOptions(argc, argv);
  if (!options) {
    return Fail("usage: tenrek-host.exe [--module PATH] [--screenshot FILE.bmp] SCRIPT|-");
  }
  // Scripts and transcripts are bytes of code page 1252, as the module's
  // texts are.
  if (GetACP() != 1252) {
    return Fail("the ANSI code page is " + std::to_string(GetACP()) + ", not 1252");
  }
  const std::optional<std::string> text = tenrek::host::ReadScriptFile(options->script);
  if (!text) return Fail("cannot read " + options->script);
  try {
    return RunScript(*options, *text);
  } catch (const std::exception& error) {
    return Fail(error.what());
  }
}
