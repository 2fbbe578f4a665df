// report: the stand-in simulator's record of a flight.
//
// One line per call the simulator makes or receives, in the order they happen,
// each prefixed with the vessel's name in brackets when it concerns a vessel.
// Arguments are written in one stable text form so that a test can compare a
// line with the call a design implies: numbers with up to 6 significant digits
// (negative zero as 0), vectors as "(x y z)", texts in double quotes, handles
// as a short kind name and an index ("th3", "anim0"), a null handle as "none".
// Every line is flushed at once, so a flight that ends the process early
// still leaves its record.
//
// Builds on: veltorasdk (vector3).
#pragma once
#include <string>
#include "veltorasdk.h"

bool        report_open(const std::string& path);   // starts the record; false when it cannot be written
void        report_close();                         // ends it
void        report_line(const std::string& line);   // one line
// The forms below serve the stand-in add-on libraries too (exported for them).
VELTORA_API std::string num(double v);              // a number
VELTORA_API std::string vec(const vector3& v);      // "(x y z)"
VELTORA_API std::string quoted(const std::string& s); // "\"s\""
VELTORA_API std::string boolean(bool b);            // "true" / "false"

// Lets the stand-in add-on libraries write into the record (found by name).
extern "C" VELTORA_API void sim_record(const char* line);
