// keynames: the table of named scan codes.
#include "base/keynames.h"

#include "base/strval.h"

namespace {

struct named_key {
  int code;
  const char* name;
};

// Runs of consecutive codes are spelled out by their first code and their labels.
struct key_run {
  int first;
  const char* labels;            // one character each
};
constexpr key_run runs[] = {{0x02, "1234567890-="}, {0x10, "QWERTYUIOP[]"}, {0x1E, "ASDFGHJKL;'`"},
                            {0x2B, "\\ZXCVBNM,./"}};

constexpr named_key names[] = {
  {0x01, "Escape"}, {0x0E, "Backspace"}, {0x0F, "Tab"}, {0x1C, "Enter"}, {0x1D, "LeftCtrl"},
  {0x2A, "LeftShift"}, {0x36, "RightShift"}, {0x37, "Numpad*"}, {0x38, "LeftAlt"}, {0x39, "Space"},
  {0x3A, "CapsLock"}, {0x3B, "F1"}, {0x3C, "F2"}, {0x3D, "F3"}, {0x3E, "F4"}, {0x3F, "F5"}, {0x40, "F6"},
  {0x41, "F7"}, {0x42, "F8"}, {0x43, "F9"}, {0x44, "F10"}, {0x45, "NumLock"}, {0x46, "ScrollLock"},
  {0x47, "Numpad7"}, {0x48, "Numpad8"}, {0x49, "Numpad9"}, {0x4A, "Numpad-"}, {0x4B, "Numpad4"},
  {0x4C, "Numpad5"}, {0x4D, "Numpad6"}, {0x4E, "Numpad+"}, {0x4F, "Numpad1"}, {0x50, "Numpad2"},
  {0x51, "Numpad3"}, {0x52, "Numpad0"}, {0x53, "Numpad."}, {0x57, "F11"}, {0x58, "F12"},
  {0x9C, "NumpadEnter"}, {0x9D, "RightCtrl"}, {0xB5, "Numpad/"}, {0xB8, "RightAlt"}, {0xC7, "Home"},
  {0xC8, "Up"}, {0xC9, "PageUp"}, {0xCB, "Left"}, {0xCD, "Right"}, {0xCF, "End"}, {0xD0, "Down"},
  {0xD1, "PageDown"}, {0xD2, "Insert"}, {0xD3, "Delete"},
};

constexpr int highest_code = 255;

}  // namespace

std::string key_name(int code) {
  for (const key_run& r : runs) {
    const int n = int(std::char_traits<char>::length(r.labels));
    if (code >= r.first && code < r.first + n) return std::string(1, r.labels[code - r.first]);
  }
  for (const named_key& k : names)
    if (k.code == code) return k.name;
  return "";
}

std::string key_text(int code) {
  const std::string name = key_name(code);
  return name.empty() ? int_to_text(code) : int_to_text(code) + " " + name;
}

int key_code_of(std::string_view text) {
  text = trim(text);
  if (is_whole_number(text, true)) {
    const long long code = text_to_int(text);
    return code >= 0 && code <= highest_code ? int(code) : -1;
  }
  for (int code = 0; code <= highest_code; ++code) {
    const std::string name = key_name(code);
    if (!name.empty() && (same_ignoring_case(text, name) || same_ignoring_case(text, key_text(code)))) return code;
  }
  return -1;
}
