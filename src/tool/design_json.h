// design_json: a design as JSON, field by field, and the JSON text the tool
// prints.
//
// The header with every field by name in stored order, then one array per
// element kind named as in vrkdll_data, each element an object of its stored
// fields; animations carry their group lists and components, VC views their
// MFD bindings. Padding and run-time slots are left out.
//
// Builds on: kvvar (the record), nlohmann-json.
//
// Notes: doubles print in the shortest form that reads back exactly (json_text;
// the library's own printer is not always shortest); the f32 angle of a
// component prints as the shortest text of the float.
#pragma once
#include <nlohmann/json.hpp>
#include <string>
#include "design/kvvar.h"

nlohmann::ordered_json design_to_json(const vessel_design& d);
// j laid out as dump(2) lays it out, doubles shortest; bytes that are not UTF-8 show as U+FFFD.
std::string json_text(const nlohmann::ordered_json& j);
