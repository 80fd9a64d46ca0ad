#include "cli/check_command.hpp"

#include <memory>

#include "cli/report.hpp"
#include "velmora/abnormals.hpp"
#include "velmora/client.hpp"
#include "velmora/error.hpp"

namespace velmora::cli {
namespace {

// Entries of the component are written at the level its trace reports; 5 writes them all.
constexpr std::int16_t kTraceAll = 5;

std::shared_ptr<TraceLog> makeTrace(const std::string& target, std::ostream& err) {
  if (target.empty()) return std::make_shared<StreamTraceLog>(err, 0);  // writes nothing
  if (target == "-") return std::make_shared<StreamTraceLog>(err, kTraceAll);
  return std::make_shared<StreamTraceLog>(target, kTraceAll);
}

}  // namespace

int runCheck(const CheckOptions& options, std::ostream& out, std::ostream& err) {
  if (options.format != "text" && options.format != "json") {
    err << "velmora: --format must be text or json, not '" << options.format << "'\n";
    return kExitUsage;
  }

  auto context = std::make_shared<Context>();
  std::shared_ptr<MesDatabase> mes;
  std::shared_ptr<TraceLog> trace;
  try {
    const ClientConfig config = loadClientConfig(options.home);
    mes = openMesDatabase(options.mes.empty() ? config.mesConnection : options.mes, options.home);
    trace = makeTrace(options.trace, err);
    context->providers = config.providers;
    context->iniFactory = iniFileFactory(options.home);
  } catch (const AutomationError& e) {
    err << "velmora: " << e.description() << "\n";
    return kExitUsage;
  }

  Abnormals check(context);
  check.MESDB(mes);
  check.LogTrace(trace);
  check.LotID(options.lot);
  check.StepID(options.step);
  if (options.timeVersion) check.TimeVersionSysid(*options.timeVersion);

  const std::string validation = check.preExecute();
  if (validation != "ok") {
    err << "velmora: " << validation << "\n";
    return kExitUsage;
  }

  const std::string result = check.Execute();
  const Report report = collectReport(check, result);
  if (options.format == "json") {
    out << toJson(report) << "\n";
  } else {
    out << toText(report);
  }
  return result == "ok" ? kExitOk : kExitFailed;
}

}  // namespace velmora::cli
