#include "velmora/report.hpp"

#include <nlohmann/json.hpp>

#include "velmora/abnormals.hpp"

namespace velmora {

std::array<std::string, 9> recordFieldValues(const Abnormal& r) {
  return {r.ItemName(), r.CollectType(), r.WaferID(),  r.WaferSEQ(), r.EQPID(),
          r.TA(),       r.WaferYield(),  r.LotYield(), r.Reasons()};
}

Report collectReport(const Abnormals& check, const std::string& result) {
  Report report;
  report.lot = check.LotID();
  report.step = check.StepID();
  report.result = result;
  report.flags = {{{"IsEDCItem", check.IsEDCItem()},
                   {"IsEDCCollect", check.IsEDCCollect()},
                   {"IsEDCFail", check.IsEDCFail()},
                   {"IsAUGItem", check.IsAUGItem()},
                   {"IsAUGCollect", check.IsAUGCollect()},
                   {"IsAUGFail", check.IsAUGFail()}}};
  report.lotDevReasons = check.LotDevReasons();
  report.timeVersionSysid = check.TimeVersionSysid();
  const int count = check.Count();
  for (int i = 1; i <= count; ++i) report.records.push_back(*check.Item(Variant(i)));
  if (result != "ok") report.error = check.lastRunFailure();
  return report;
}

std::string toJson(const Report& report) {
  nlohmann::ordered_json flags = nlohmann::ordered_json::object();
  for (const auto& [name, value] : report.flags) flags[name] = value;
  nlohmann::ordered_json records = nlohmann::ordered_json::array();
  for (const Abnormal& record : report.records) {
    nlohmann::ordered_json r = nlohmann::ordered_json::object();
    const auto values = recordFieldValues(record);
    for (std::size_t i = 0; i < kRecordFieldNames.size(); ++i) r[kRecordFieldNames[i]] = values[i];
    records.push_back(std::move(r));
  }
  nlohmann::ordered_json out = nlohmann::ordered_json::object();
  out["lot"] = report.lot;
  out["step"] = report.step;
  out["result"] = report.result;
  out["flags"] = std::move(flags);
  out["LotDevReasons"] = report.lotDevReasons;
  out["TimeVersionSysid"] = report.timeVersionSysid;
  out["records"] = std::move(records);
  if (report.result != "ok" && report.error) {
    const RunFailure& e = *report.error;
    out["error"] = {{"procedure", e.procedure},
                    {"number", e.number},
                    {"description", e.description},
                    {"kind", e.kind},
                    {"statement", e.statement}};
  }
  return out.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

}  // namespace velmora
