// design_json: a design as JSON, field by field.
//
// The header with every field by name in stored order, then one array per
// element kind named as in vrkdll_data, each element an object of its stored
// fields; animations carry their group lists and components, VC views their
// MFD bindings. Padding and run-time slots are left out.
//
// Builds on: kvvar (the record), nlohmann-json.
//
// Notes: doubles print in the shortest form that reads back exactly; the f32
// angle of a component prints as the shortest text of the float.
#pragma once
#include <nlohmann/json.hpp>
#include "design/kvvar.h"

nlohmann::ordered_json design_to_json(const vessel_design& d);
