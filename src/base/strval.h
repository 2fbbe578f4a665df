// strval: numbers to short texts and back.
//
// Integers, decimals with as few digits as the value needs, quantities with
// metric prefixes (and astronomical units for distances), and comma- or space-separated number
// lists; and the small text helpers (trimming, case) that every reader of
// text files shares. "." is always the decimal separator, whatever the locale.
//
// Builds on: maths (vec3).
#pragma once
#include <string>
#include <string_view>
#include "base/maths.h"

constexpr double astronomical_unit = 149597870691.0;   // m
constexpr double light_year = 9.4608e15;               // m, unit text "le"
constexpr double decimal_threshold = 1e-5;             // fraction counted as zero
constexpr int auto_decimals = -99;                     // decimal_to_text: choose d itself

std::string int_to_text(long long v);                         // plain decimal
long long   text_to_int(std::string_view s);                  // blanks trimmed; junk reads as far as it goes, else 0
std::string decimal_to_text(double x, int d = auto_decimals); // exactly d decimals; -99: automatic
int         automatic_decimals(double x);                     // 0 to 3
double      text_to_decimal(std::string_view s);              // blanks trimmed; "." separator; junk gives 0 or the prefix
double      chars_to_decimal(const char* chars, size_t size); // NUL-terminated field of at most size bytes
bool        is_whole_number(std::string_view s, bool integer); // blanks trimmed, the rest one decimal (or integer) and nothing else
int         char_pos(std::string_view s, char c);             // 1-based first c (space matches tab), 0 if none
int         char_pos_nth(std::string_view s, char c, int n);  // 1-based n-th match, 0 if fewer
std::string collapse_runs(std::string_view s, char c);        // runs of c become one c
std::string quantity_to_text(double x);                       // 1.5k, 2.5M, 1.003AU, ...: distances
std::string si_quantity_to_text(double x);                    // 1.5k, 2.5M, 2G, 3T, ... up to E: forces, masses, speeds

// Texts: blanks are space, tab, CR and LF; case is that of the ASCII letters.
std::string_view trim(std::string_view s);                    // without leading and trailing blanks
char        lower_ascii(char c);                              // A-Z to a-z, anything else unchanged
std::string lower_case(std::string_view s);                   // every A-Z lower-cased
std::string upper_case(std::string_view s);                   // every a-z upper-cased
bool        same_ignoring_case(std::string_view a, std::string_view b); // equal but for the case of letters

// Number lists: split at commas, or at spaces where a comma is missing.
void two_numbers(std::string_view s, double& a, double& b);
vec3 three_numbers(std::string_view s);
void four_numbers(std::string_view s, double out[4]);
void five_numbers(std::string_view s, double out[5]);
