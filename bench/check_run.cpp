#include "check_run.hpp"

#include <memory>

#include "velmora/abnormals.hpp"
#include "velmora/client.hpp"
#include "velmora/report.hpp"

namespace velmora::bench {
namespace {

// Keeps every entry (the component writes them at the level the trace reports).
class KeptTrace : public TraceLog {
 public:
  std::int16_t TraceLevel() override { return 5; }
  void WriteTrace(std::int16_t& /*level*/, std::string& text) override { entries.push_back(text); }
  std::vector<std::string> entries;
};

// Takes every entry and keeps none (a host's trace at a level that writes nothing).
class DroppedTrace : public TraceLog {
 public:
  std::int16_t TraceLevel() override { return 5; }
  void WriteTrace(std::int16_t& /*level*/, std::string& /*text*/) override {}
};

// The configuration of `home` with BindValues as given.
ClientConfig configOf(const std::string& home, bool bindValues) {
  ClientConfig config = loadClientConfig(home);
  config.timeouts.bindValues = bindValues;
  return config;
}

std::shared_ptr<Context> contextOf(const std::string& home, const ClientConfig& config,
                                   std::size_t cacheMiB) {
  auto context = std::make_shared<Context>();
  context->providers = config.providers;
  context->timeouts = config.timeouts;
  context->iniFactory = iniFileFactory(home);
  context->statementCacheMiB = cacheMiB;
  return context;
}

}  // namespace

CheckOutcome runCheck(const std::string& home, const std::string& lot, const std::string& step,
                      std::size_t cacheMiB, bool bindValues) {
  return Host(home, cacheMiB, bindValues).outcome(lot, step);
}

Host::Host(const std::string& home, std::size_t cacheMiB, bool bindValues) {
  const ClientConfig config = configOf(home, bindValues);
  context_ = contextOf(home, config, cacheMiB);
  mes_ = openMesDatabase(config.mesConnection, home, config.timeouts);
  trace_ = std::make_shared<DroppedTrace>();
}

std::string Host::check(const std::string& lot, const std::string& step) {
  Abnormals check(context_);
  check.MESDB(mes_);
  check.LogTrace(trace_);
  check.LotID(lot);
  check.StepID(step);
  return check.Execute();
}

CheckOutcome Host::outcome(const std::string& lot, const std::string& step) {
  auto trace = std::make_shared<KeptTrace>();
  CheckOutcome outcome;
  {
    Abnormals check(context_);
    check.MESDB(mes_);
    check.LogTrace(trace);
    check.LotID(lot);
    check.StepID(step);
    outcome.result = check.Execute();
    outcome.json = toJson(collectReport(check, outcome.result));
  }
  outcome.trace = std::move(trace->entries);
  return outcome;
}

}  // namespace velmora::bench
