// statusline: a quiet line at the bottom left of the preview that says what a command did.
//
// Save, Load, Generate, Install, Import, Undo and Redo say here what they did
// (the file, its size, the number of entries); the line fades after a few
// seconds. The same text goes to standard output, one "status: " line each,
// for whoever watches the program from outside.
//
// Builds on: glgr (text and rectangles), base/strval (sizes).
#pragma once
#include <cstdint>
#include <string>

constexpr double status_seconds = 5.0;    // how long a line stays

struct status_state {                     // written by status_say and status_draw
  std::string text;                       // "" when nothing is said
  double shown_at = -1;                   // frame time it was first drawn at, -1 not yet
};
extern status_state status;

void status_say(const std::string& text); // shown from the next frame on, for status_seconds
void status_draw(double now, int screen_height, int width); // every frame, under the windows, in lines of width pixels
std::string size_text(uint64_t bytes);    // "928 bytes", "1.50kB", "22.5MB", "116kB": three digits
uint64_t file_size_of(const std::string& path); // 0 when it cannot be told
std::string counted(size_t n, const char* one, const char* many); // "1 mesh", "2 meshes"
