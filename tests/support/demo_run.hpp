// A whole check run on a demo home, wired as the command line wires it: the home's
// configuration, its MES database, a configuration-file reader of the home, and the providers of
// its [Providers] section.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "support/scripted_mes.hpp"
#include "velmora/abnormals.hpp"
#include "velmora/client.hpp"

namespace velmora::testing {

struct CheckOutcome {
  std::string result;
  std::string flags;  // the six flags in interface order, e.g. "YYYNNN"
  std::string lotDevReasons;
  std::string timeVersionSysid;
  std::vector<Abnormal> records;   // in Item order
  std::vector<std::string> trace;  // the trace entries
  std::optional<RunFailure> failure;
};

// Hands the check object another MES database in place of the one opened for the home.
using WrapMes = std::function<std::shared_ptr<MesDatabase>(std::shared_ptr<MesDatabase>)>;

// Runs one check of `lot` at `step` against `home`; `mes` overrides [MESDB] Connection.
inline CheckOutcome runCheckOnHome(const std::string& lot, const std::string& step,
                                   const std::string& home = VELMORA_DEMO_HOME,
                                   const std::string& mes = "", const WrapMes& wrap = {}) {
  const ClientConfig config = loadClientConfig(home);
  auto context = std::make_shared<Context>();
  context->providers = config.providers;
  context->iniFactory = iniFileFactory(home);
  context->timeouts = config.timeouts;
  context->statementCacheMiB = config.statementCacheMiB;
  Abnormals check(context);
  std::shared_ptr<MesDatabase> database =
      openMesDatabase(mes.empty() ? config.mesConnection : mes, home, config.timeouts);
  check.MESDB(wrap ? wrap(std::move(database)) : database);
  auto trace = std::make_shared<RecordingTrace>();
  check.LogTrace(trace);
  check.LotID(lot);
  check.StepID(step);

  CheckOutcome out;
  out.result = check.Execute();
  for (const std::string& flag : {check.IsEDCItem(), check.IsEDCCollect(), check.IsEDCFail(),
                                  check.IsAUGItem(), check.IsAUGCollect(), check.IsAUGFail()}) {
    out.flags += flag;
  }
  out.lotDevReasons = check.LotDevReasons();
  out.timeVersionSysid = check.TimeVersionSysid();
  for (int i = 1; i <= check.Count(); ++i) out.records.push_back(*check.Item(Variant(i)));
  out.trace = trace->entries;
  out.failure = check.lastRunFailure();
  return out;
}

}  // namespace velmora::testing
