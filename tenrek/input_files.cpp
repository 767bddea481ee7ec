#include "tenrek/input_files.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace tenrek {
namespace {

bool Exists(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0;
}

// The words for a file that is there but cannot be read as a file.
const char* WhyNotRegular(const struct stat& info) {
  return S_ISDIR(info.st_mode) ? std::strerror(EISDIR) : "not a regular file";
}

}  // namespace

void FileCloser::operator()(std::FILE* file) const {
  if (file != nullptr) std::fclose(file);
}

bool OpenInputFile(const std::string& path, InputFile& file, std::FILE*& stream,
                   std::string& reason) {
  if (path == "-") {
    stream = stdin;
    return true;
  }
  // Asked before opening: opening a named pipe would wait for a writer.
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) {
    reason = std::strerror(errno);
    return false;
  }
  if (!S_ISREG(info.st_mode)) {
    reason = WhyNotRegular(info);
    return false;
  }
  file.reset(std::fopen(path.c_str(), "rb"));
  if (file == nullptr) {
    reason = std::strerror(errno);
    return false;
  }
  // The name may have been given to something else in between.
  if (fstat(fileno(file.get()), &info) != 0 || !S_ISREG(info.st_mode)) {
    reason = WhyNotRegular(info);
    file.reset();
    return false;
  }
  stream = file.get();
  return true;
}

bool ReadInputFile(const std::string& path, std::size_t limit, std::string& text,
                   std::string& reason) {
  text.clear();
  InputFile file;
  std::FILE* stream = nullptr;
  if (!OpenInputFile(path, file, stream, reason)) return false;
  char buffer[8192];
  for (;;) {
    const std::size_t count = std::fread(buffer, 1, sizeof buffer, stream);
    if (text.size() + count > limit) {
      reason = "larger than " + std::to_string(limit >> 20) + " MB";
      return false;
    }
    text.append(buffer, count);
    if (count < sizeof buffer) break;
  }
  if (std::ferror(stream) != 0) {
    reason = std::strerror(errno);
    return false;
  }
  return true;
}

std::string FindProgramFile(const std::string& name) {
  if (name == "-" || Exists(name)) return name;
  for (const char* extension : {".BAS", ".bas"}) {
    if (Exists(name + extension)) return name + extension;
  }
  return name;
}

}  // namespace tenrek
