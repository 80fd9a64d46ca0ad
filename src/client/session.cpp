#include "velmora/session.hpp"

#include <iostream>

#include "velmora/abnormals.hpp"

namespace velmora {

InputError::InputError(const std::string& description)
    : AutomationError(err::kInvalidCall, description) {}

namespace {

// The trace of a session that has none: the check object requires one; level 0 writes nothing.
std::shared_ptr<TraceLog> silentTrace() {
  return std::make_shared<StreamTraceLog>(std::cerr, 0);
}

}  // namespace

struct Session::Impl {
  std::shared_ptr<Context> context = std::make_shared<Context>();
  std::shared_ptr<MesDatabase> mes;
  std::shared_ptr<TraceLog> trace = silentTrace();
};

Session::Session(const std::string& home, const std::string& mesUri)
    : Session(loadClientConfig(home), mesUri) {}

Session::Session(const ClientConfig& config, const std::string& mesUri)
    : impl_(std::make_unique<Impl>()) {
  impl_->mes =
      openMesDatabase(mesUri.empty() ? config.mesConnection : mesUri, config.home, config.timeouts);
  impl_->context->providers = config.providers;
  impl_->context->timeouts = config.timeouts;
  impl_->context->statementCacheMiB = config.statementCacheMiB;
  impl_->context->iniFactory = iniFileFactory(config.home);
}

Session::~Session() = default;

void Session::setTrace(std::shared_ptr<TraceLog> trace) {
  impl_->trace = trace ? std::move(trace) : silentTrace();
}

Report Session::check(const std::string& lot, const std::string& step,
                      const std::optional<std::string>& timeVersionSysid) {
  // A check object empties the context's slots when it goes, so each one is handed the
  // session's objects afresh.
  Abnormals check(impl_->context);
  check.MESDB(impl_->mes);
  check.LogTrace(impl_->trace);
  check.LotID(lot);
  check.StepID(step);
  if (timeVersionSysid) check.TimeVersionSysid(*timeVersionSysid);
  const std::string validation = check.preExecute();
  if (validation != "ok") {
    // Said in English first; the check object's own words follow as it wrote them.
    std::string what;
    if (lot.empty()) what = "the lot is empty";
    if (step.empty()) what += what.empty() ? "the step is empty" : ", the step is empty";
    throw InputError("the check object refused its inputs" +
                     (what.empty() ? std::string() : " (" + what + ")") + ": " + validation);
  }
  const std::string result = check.Execute();
  return collectReport(check, result);
}

MesDatabase& Session::mesDatabase() {
  return *impl_->mes;
}

}  // namespace velmora
