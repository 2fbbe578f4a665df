// keynames: the simulator's keyboard scan codes and their names.
//
// An animation is started by a key of the simulator's keyboard, stored as its
// scan code. Authors know keys by their labels: "D", "F5", "Space". This unit
// turns one into the other.
//
// Builds on: strval (case, trimming, integers).
#pragma once
#include <string>
#include <string_view>

std::string key_name(int code);              // "D", "F5", "Space", ...; "" for a code without a name
// The code of a key given by its name or letter (any case), by its code in decimal, or as
// key_text shows it; -1 when the text names no key (or a code beyond 0 to 255).
int         key_code_of(std::string_view text);
std::string key_text(int code);              // the code and its name: "32 D", or the code alone
