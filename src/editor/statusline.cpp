// statusline: the line, its time and its drawing.
#include "editor/statusline.h"

#include <algorithm>
#include <cstdio>
#include <vector>
#include <filesystem>
#include "base/strval.h"
#include "gl/glgr.h"

status_state status;

namespace {
constexpr uint32_t status_text = pack_rgba(230, 230, 230, 255);
constexpr uint32_t status_back = pack_rgba(0, 0, 0, 110);
constexpr int status_margin = 6;
}  // namespace

void status_say(const std::string& text) {
  status = {text, -1};
  std::printf("status: %s\n", text.c_str());
  std::fflush(stdout);
}

namespace {

// The text cut at blanks into lines of at most columns characters (a longer word keeps its own line).
std::vector<std::string> wrapped(const std::string& text, size_t columns) {
  std::vector<std::string> lines(1);
  for (size_t at = 0; at < text.size();) {
    const size_t end = std::min(text.find(' ', at), text.size());
    const std::string word = text.substr(at, end - at);
    if (!lines.back().empty() && lines.back().size() + 1 + word.size() > columns) lines.emplace_back();
    lines.back() += (lines.back().empty() ? "" : " ") + word;
    at = end + 1;
  }
  return lines;
}

}  // namespace

void status_draw(double now, int screen_height, int width) {
  if (status.text.empty()) return;
  if (status.shown_at < 0) status.shown_at = now;
  if (now - status.shown_at > status_seconds) {
    status.text.clear();
    return;
  }
  const std::vector<std::string> lines = wrapped(status.text, size_t(std::max(width / 8 - 1, 8)));
  int y = screen_height - status_margin - 20 * int(lines.size());
  for (const std::string& line : lines) {
    fill_rect(status_margin, y, int(line.size()) * 8 + 8, 20, status_back, status_back);
    draw_text(line, status_text, status_margin + 4, y + 2);
    y += 20;
  }
}

std::string size_text(uint64_t bytes) {
  if (bytes < 1000) return std::to_string(bytes) + " bytes";
  const char* const units[] = {"kB", "MB", "GB", "TB"};
  double v = double(bytes) / 1000;
  int u = 0;
  for (; v >= 999.5 && u < 3; ++u) v /= 1000;
  return decimal_to_text(v, v < 9.995 ? 2 : v < 99.95 ? 1 : 0) + units[u];   // three digits
}

uint64_t file_size_of(const std::string& path) {
  std::error_code ec;
  const auto n = std::filesystem::file_size(path, ec);
  return ec ? 0 : uint64_t(n);
}

std::string counted(size_t n, const char* one, const char* many) { return std::to_string(n) + " " + (n == 1 ? one : many); }
