#include "velmora/abnormals.hpp"

#include "check/driver.hpp"
#include "common/run.hpp"
#include "common/text.hpp"
#include "velmora/error.hpp"

namespace velmora {

struct Abnormals::Impl {
  std::shared_ptr<Context> context;
  CheckState state;
};

Abnormals::Abnormals() : Abnormals(Context::process()) {}

Abnormals::Abnormals(std::shared_ptr<Context> context) : impl_(std::make_unique<Impl>()) {
  if (!context) raise(err::kObjectNotSet, "no context for the check object");
  impl_->context = std::move(context);
}

Abnormals::~Abnormals() {
  // Destroying any check object releases the shared references for all check objects of the
  // context, as the MES client expects of this component.
  impl_->context->mesdb.reset();
  impl_->context->trace.reset();
}

std::string Abnormals::IsEDCItem() const {
  return flagText(impl_->state.flags.IsEDCItem);
}
std::string Abnormals::IsEDCCollect() const {
  return flagText(impl_->state.flags.IsEDCCollect);
}
std::string Abnormals::IsEDCFail() const {
  return flagText(impl_->state.flags.IsEDCFail);
}
std::string Abnormals::IsAUGItem() const {
  return flagText(impl_->state.flags.IsAUGItem);
}
std::string Abnormals::IsAUGCollect() const {
  return flagText(impl_->state.flags.IsAUGCollect);
}
std::string Abnormals::IsAUGFail() const {
  return flagText(impl_->state.flags.IsAUGFail);
}
std::string Abnormals::LotDevReasons() const {
  return impl_->state.lotDevReasons;
}

void Abnormals::MESDB(const std::shared_ptr<Object>& objMesdb) {
  if (!objMesdb) {
    impl_->context->mesdb.reset();
    return;
  }
  auto mesdb = QueryInterface<MesDatabase>(objMesdb);
  if (!mesdb) raise(err::kTypeMismatch, "the MESDB object is not an MES database");
  impl_->context->mesdb = std::move(mesdb);
}

void Abnormals::LogTrace(const std::shared_ptr<Object>& objTrace) {
  if (!objTrace) {
    impl_->context->trace.reset();
    return;
  }
  auto trace = QueryInterface<TraceLog>(objTrace);
  if (!trace) raise(err::kTypeMismatch, "the LogTrace object is not a trace");
  impl_->context->trace = std::move(trace);
}

void Abnormals::LotID(const std::string& strLotId) {
  impl_->state.lotId = strLotId;
}
std::string Abnormals::LotID() const {
  return impl_->state.lotId;
}
void Abnormals::StepID(const std::string& strStepId) {
  impl_->state.stepId = strStepId;
}
std::string Abnormals::StepID() const {
  return impl_->state.stepId;
}
void Abnormals::TimeVersionSysid(const std::string& strTimeVersionSysid) {
  impl_->state.timeVersionSysid = strTimeVersionSysid;
}
std::string Abnormals::TimeVersionSysid() const {
  return impl_->state.timeVersionSysid;
}
void Abnormals::DateTime(const std::string& strDateTime) {
  impl_->state.dateTime = strDateTime;
}
std::string Abnormals::DateTime() const {
  return impl_->state.dateTime;
}

std::int16_t Abnormals::Count() const {
  const std::size_t count = impl_->state.records.Count();
  if (count > 32767) raise(err::kOverflow, "more than 32767 records");
  return static_cast<std::int16_t>(count);
}

std::shared_ptr<Abnormal> Abnormals::Item(const Variant& key) const {
  if (impl_->state.records.Count() == 0) return nullptr;
  return impl_->state.records.Item(key);
}

std::string Abnormals::preExecute() const {
  std::string messages;
  if (!impl_->context->mesdb) appendList(messages, "资料库物件未取得");
  if (!impl_->context->trace) appendList(messages, "Trace Object未取得");
  if (impl_->state.lotId.empty()) appendList(messages, "没有传入Lot ID");
  if (impl_->state.stepId.empty()) appendList(messages, "没有传入Step ID");
  return messages.empty() ? "ok" : messages;
}

std::string Abnormals::Execute() {
  return executeCheckRun(*impl_->context, impl_->state);
}

std::optional<RunFailure> Abnormals::lastRunFailure() const {
  return impl_->state.failure;
}

}  // namespace velmora
