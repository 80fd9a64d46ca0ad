// What `velmora check` prints for people: the facts of a check run's report as a table. (The
// JSON form is the library's, velmora/report.hpp.)
#pragma once

#include <string>
#include <string_view>

#include "velmora/report.hpp"

namespace velmora::cli {

// The facts for a person: the result (with the failure that ended a run that did not complete,
// before anything that could read as a clean lot), the flags, the lot reasons and a table of
// records;
// after a run that found no EDC item for the lot at the step, a line saying so. Every value is
// shown through printable().
std::string toText(const Report& report);

// The failure that ended a run on one line: "<procedure>: <number>:<description>", then
// " (statement: <statement>)" when a statement failed (the form of the trace's error entry).
std::string failureText(const RunFailure& failure);

// `text` safe to print on a terminal: control characters (C0, DEL and C1) written as escapes
// ("\n", "\r", "\t", "\x1b", "\u009b"), so that a value from the database or the command line
// can neither start a line of its own nor drive the terminal. Other texts are unchanged.
std::string printable(std::string_view text);

}  // namespace velmora::cli
