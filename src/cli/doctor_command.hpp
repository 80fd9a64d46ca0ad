// `velmora doctor`: examines a home before its first lot and prints one row per check.
#pragma once

#include <CLI/CLI.hpp>
#include <ostream>
#include <string>

namespace velmora::cli {

struct DoctorOptions {
  std::string home;             // the MES client's home folder
  std::string mes;              // overrides [MESDB] Connection when not empty
  std::string format = "text";  // "text" or "json"
};

// Adds the `doctor` subcommand to `app`, its options stored into `options`.
CLI::App* addDoctorCommand(CLI::App& app, DoctorOptions& options);

// Reads the configuration (unknown or doubled keys of our sections are errors naming the file,
// line and key), opens the MES database and examines both databases (velmora/doctor.hpp), and
// prints the rows on `out`: a table, or with --format json one object {home, status, checks:
// [{check, status, detail}]}. Returns 0 when every check is fine, 1 when one warns, 2 when one
// fails (and for usage errors, one line on `err`).
int runDoctor(const DoctorOptions& options, std::ostream& out, std::ostream& err);

}  // namespace velmora::cli
