#include "cli/report_json.hpp"

#include <nlohmann/json.hpp>

namespace velmora::cli {
namespace {

using Json = nlohmann::json;

// The flags in interface order, as collectReport names them.
constexpr const char* kFlagNames[] = {"IsEDCItem", "IsEDCCollect", "IsEDCFail",
                                      "IsAUGItem", "IsAUGCollect", "IsAUGFail"};

std::string text(const Json& object, const char* key, bool required = false) {
  const auto found = object.find(key);
  if (found == object.end() || found->is_null()) {
    if (required) throw ReportLineError(std::string("no \"") + key + "\"");
    return "";
  }
  if (!found->is_string()) throw ReportLineError(std::string("\"") + key + "\" is not a text");
  return found->get<std::string>();
}

}  // namespace

Report emptyReport(const std::string& lot, const std::string& step) {
  Report report;
  report.lot = lot;
  report.step = step;
  for (std::size_t i = 0; i < report.flags.size(); ++i) report.flags[i] = {kFlagNames[i], ""};
  return report;
}

Report reportFromLine(const std::string& line) {
  Json json;
  try {
    json = Json::parse(line);
  } catch (const Json::parse_error& e) {
    throw ReportLineError(std::string("not JSON: ") + e.what());
  }
  if (!json.is_object()) throw ReportLineError("not a JSON object");
  const std::string lot = text(json, "lot", true);  // named first when both are wrong
  Report report = emptyReport(lot, text(json, "step", true));
  report.result = text(json, "result", true);
  if (const auto flags = json.find("flags"); flags != json.end() && flags->is_object()) {
    for (auto& [name, value] : report.flags) value = text(*flags, name);
  }
  report.lotDevReasons = text(json, "LotDevReasons");
  report.timeVersionSysid = text(json, "TimeVersionSysid");
  if (const auto records = json.find("records"); records != json.end()) {
    if (!records->is_array()) throw ReportLineError("\"records\" is not an array");
    for (const Json& fields : *records) {
      if (!fields.is_object()) throw ReportLineError("a record is not a JSON object");
      Abnormal record;
      record.ItemName(text(fields, "ItemName"));
      record.CollectType(text(fields, "CollectType"));
      record.WaferID(text(fields, "WaferID"));
      record.WaferSEQ(text(fields, "WaferSEQ"));
      record.EQPID(text(fields, "EQPID"));
      record.TA(text(fields, "TA"));
      record.WaferYield(text(fields, "WaferYield"));
      record.LotYield(text(fields, "LotYield"));
      record.Reasons(text(fields, "Reasons"));
      report.records.push_back(std::move(record));
    }
  }
  if (const auto error = json.find("error"); error != json.end() && error->is_object()) {
    RunFailure failure;
    failure.procedure = text(*error, "procedure");
    if (const auto number = error->find("number");
        number != error->end() && number->is_number_integer()) {
      failure.number = number->get<std::int32_t>();
    }
    failure.description = text(*error, "description");
    failure.kind = text(*error, "kind");
    failure.statement = text(*error, "statement");
    report.error = std::move(failure);
  }
  return report;
}

}  // namespace velmora::cli
