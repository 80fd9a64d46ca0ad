// Checks a lot at a step through Velmora's C++ interface and prints what it found.
//
//   check_lot [LOT STEP [HOME]]
//
// Without arguments: the demo lot LOT-A01 at step S-FQC-100 in the installed demo home. Exit
// status 0 when the check returned "ok", 1 when it returned anything else, 2 when it could not
// run.
#include <velmora/error.hpp>
#include <velmora/session.hpp>
#include <velmora/version.hpp>

#include <iostream>
#include <string>

int main(int argc, char** argv) {
  const std::string lot = argc > 2 ? argv[1] : "LOT-A01";
  const std::string step = argc > 2 ? argv[2] : "S-FQC-100";
  const std::string home = argc > 3 ? argv[3] : velmora::defaultHome();
  try {
    velmora::Session session(home);
    const velmora::Report report = session.check(lot, step);
    std::cout << "velmora " << VELMORA_VERSION_STRING << ", lot " << report.lot << " at "
              << report.step << ": result \"" << report.result << "\"\n";
    for (const auto& [flag, value] : report.flags)
      std::cout << "  " << flag << "=" << value << "\n";
    for (const velmora::Abnormal& record : report.records) {
      std::cout << "  wafer " << record.WaferID() << "  " << record.Reasons() << "\n";
    }
    return report.result == "ok" ? 0 : 1;
  } catch (const velmora::AutomationError& error) {
    std::cerr << "check_lot: " << error.description() << "\n";
    return 2;
  }
}
