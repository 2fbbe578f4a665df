// outfile: output files that appear complete or not at all.
//
// Every file the generator writes goes first to a fresh temporary file in the
// target's own folder and is renamed over the target only when it has been
// written and closed without error, so a failing write (full disk, missing
// folder, read-only target) never destroys the previous file.
//
// Builds on: asys (binfile, io_error).
//
// Notes: the temporary file is removed when writing fails; the error is
// rethrown unchanged so that it reaches the user.
#pragma once
#include <functional>
#include <string>
#include "base/asys.h"

// Calls write_body with a binfile open on a temporary file beside name, then
// renames that file over name. io_error when anything fails.
void write_replacing(const std::string& name, const std::function<void(binfile&)>& write_body);
void write_replacing(const std::string& name, const std::string& bytes);  // one block of bytes
