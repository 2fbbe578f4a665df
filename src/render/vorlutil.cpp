// vorlutil: log lines, error reports and the fatal end, apparent size.
#include "render/vorlutil.h"

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <thread>

vorl_log_state vorl_log_file;

namespace {

const char* const fatal_caption = "VORL: Error|Ошибка";

// Waits a second, shows the message and ends the process: the fatal path's own thread.
[[noreturn]] void fatal_end(std::string text) {
  std::this_thread::sleep_for(std::chrono::milliseconds(1000));
  if (vorl_log_file.before_end) vorl_log_file.before_end();
  std::fprintf(stderr, "%s\n%s\n", fatal_caption, text.c_str());
  std::fflush(nullptr);
  SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, fatal_caption, text.c_str(), nullptr);
  std::_Exit(1);                    // a fatal engine failure is a failure of the program
}

}  // namespace

void open_log(const std::string& path) {
  vorl_log_file.path = path;
  std::FILE* f = std::fopen(path.c_str(), "ab");
  vorl_log_file.on = f != nullptr;
  if (f) std::fclose(f);
}

std::string log_line(const std::string& source, const std::string& text, const local_time& t) {
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d %02d:%02d:%02d|", t.year, t.month, t.day, t.hour, t.minute,
                t.second);
  std::string padded = source.size() < 8 ? std::string(8 - source.size(), ' ') + source : source;
  return stamp + padded + "| " + text;
}

void vorl_log(const std::string& source, const std::string& text) {
  if (!vorl_log_file.on) return;
  std::FILE* f = std::fopen(vorl_log_file.path.c_str(), "ab");
  if (!f) return;
  std::string line = log_line(source, text, now_local()) + "\r\n";
  std::fwrite(line.data(), 1, line.size(), f);
  std::fclose(f);
}

std::string fatal_message(const std::string& last_error) {
  return "Critical error in VORL.dll, terminating. See vorl.log for details for developer."
         "Критическая ошибка в VORL.dll. Подробности для разработчика в vorl.log."
         "Error|Ошибка: \"" + last_error + "\"";
}

void report_error(const std::string& source, const std::string& text) {
  vorl_log(source, "Error: " + text);
  if (++vorl_log_file.errors < fatal_error_count) return;
  vorl_log_file.last_error = "Last Error|Последняя ошибка: " + source + ": Error: " + text;
  std::thread(fatal_end, fatal_message(vorl_log_file.last_error)).join();  // never returns
  std::abort();
}

double apparent_size(double r, double d, int height, double half_fov) {
  return r * height * 0.5 / (std::tan(half_fov) * std::max(d - r, 1.0));
}
