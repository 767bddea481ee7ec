#include "windows/test_host/dialog_template.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "platform/win32/windows_include.h"
#include "sim/runner/transcript.h"

namespace tenrek::testhost {

namespace {

// prints it: the dialog, then one line per control.
class DialogTemplateReader {
 public:
  DialogTemplateReader(const BYTE* bytes, std::size_t size) : bytes_(bytes), size_(size) {}

  // One line per element; empty when the template is not an extended one.
  std::vector<std::string> Lines();

 private:
  uint16_t Word() {
    uint16_t value = 0;
    if (pos_ + 2 <= size_) std::memcpy(&value, bytes_ + pos_, 2);
    pos_ += 2;
    return value;
  }
  uint32_t DoubleWord() {
    const uint32_t low = Word();
    return low | static_cast<uint32_t>(Word()) << 16;
  }
  int16_t Short() { return static_cast<int16_t>(Word()); }
  // A zero-terminated UTF-16 text, as code page 1252 bytes.
  std::string Text() {
    std::wstring wide;
    for (uint16_t c = Word(); c != 0 && pos_ <= size_; c = Word())
      wide.push_back(static_cast<wchar_t>(c));
    if (wide.empty()) return {};
    std::string text(wide.size() * 2, '\0');
    const int length =
        WideCharToMultiByte(1252, 0, wide.data(), static_cast<int>(wide.size()), text.data(),
                            static_cast<int>(text.size()), nullptr, nullptr);
    text.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
    return text;
  }
  // A text or, after 0xFFFF, an ordinal (written #N).
  std::string TextOrOrdinal() {
    if (pos_ + 2 <= size_ && bytes_[pos_] == 0xFF && bytes_[pos_ + 1] == 0xFF) {
      pos_ += 2;
      return "#" + std::to_string(Word());
    }
    return host::QuoteBytes(Text());
  }
  void AlignToDoubleWord() { pos_ = (pos_ + 3) & ~static_cast<std::size_t>(3); }

  static std::string Hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(value));
    return text;
  }
  static std::string Box(int16_t x, int16_t y, int16_t cx, int16_t cy) {
    return " at " + std::to_string(x) + "," + std::to_string(y) + " size " + std::to_string(cx) +
           "x" + std::to_string(cy);
  }

  const BYTE* bytes_;
  std::size_t size_;
  std::size_t pos_ = 0;
};

std::vector<std::string> DialogTemplateReader::Lines() {
  std::vector<std::string> lines;
  if (Word() != 1 || Word() != 0xFFFF) return lines;
  DoubleWord();  // help id
  const uint32_t exStyle = DoubleWord();
  const uint32_t style = DoubleWord();
  const int count = Word();
  const int16_t x = Short(), y = Short(), cx = Short(), cy = Short();
  const std::string menu = TextOrOrdinal();
  const std::string windowClass = TextOrOrdinal();
  std::string line = "dialog style " + Hex(style) + " exstyle " + Hex(exStyle) + Box(x, y, cx, cy) +
                     " caption " + host::QuoteBytes(Text());
  if (style & (DS_SETFONT | DS_SHELLFONT)) {
    const int points = Word();
    const int weight = Word();
    Word();  // italic and character set
    line += " font " + std::to_string(points) + " " + std::to_string(weight) + " " +
            host::QuoteBytes(Text());
  }
  if (menu != "\"\"") line += " menu " + menu;
  if (windowClass != "\"\"") line += " class " + windowClass;
  lines.push_back(line);
  for (int i = 0; i < count && pos_ < size_; ++i) {
    AlignToDoubleWord();
    DoubleWord();  // help id
    const uint32_t itemExStyle = DoubleWord();
    const uint32_t itemStyle = DoubleWord();
    const int16_t ix = Short(), iy = Short(), icx = Short(), icy = Short();
    const int32_t id = static_cast<int32_t>(DoubleWord());
    const std::string itemClass = TextOrOrdinal();
    const std::string title = TextOrOrdinal();
    pos_ += Word();  // creation data
    lines.push_back("control " + std::to_string(id) + " class " + itemClass + " text " + title +
                    " style " + Hex(itemStyle) + " exstyle " + Hex(itemExStyle) +
                    Box(ix, iy, icx, icy));
  }
  return lines;
}

}  // namespace

std::vector<std::string> DescribeDialogTemplate(std::string_view bytes) {
  return DialogTemplateReader(reinterpret_cast<const BYTE*>(bytes.data()), bytes.size()).Lines();
}

}  // namespace tenrek::testhost
