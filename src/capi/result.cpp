// The C interface's results: the report of one check run, read field by field or as JSON.
#include <cstring>

#include "capi/handles.hpp"

extern "C" {

const char* velmora_result_text(const velmora_result* result) {
  return result != nullptr ? result->report.result.c_str() : nullptr;
}

const char* velmora_result_json(const velmora_result* result) {
  return result != nullptr ? result->json.c_str() : nullptr;
}

const char* velmora_result_flag(const velmora_result* result, const char* name) {
  if (result == nullptr || name == nullptr) return nullptr;
  for (const auto& [flag, value] : result->report.flags) {
    if (std::strcmp(flag, name) == 0) return value.c_str();
  }
  return nullptr;
}

const char* velmora_result_lot_reasons(const velmora_result* result) {
  return result != nullptr ? result->report.lotDevReasons.c_str() : nullptr;
}

const char* velmora_result_time_version(const velmora_result* result) {
  return result != nullptr ? result->report.timeVersionSysid.c_str() : nullptr;
}

int velmora_result_record_count(const velmora_result* result) {
  return result != nullptr ? static_cast<int>(result->report.records.size()) : -1;
}

const char* velmora_result_record_field(const velmora_result* result, int index,
                                        const char* field) {
  if (result == nullptr || field == nullptr || index < 0 ||
      static_cast<std::size_t>(index) >= result->report.records.size()) {
    return nullptr;
  }
  const auto& values = result->fields[static_cast<std::size_t>(index)];
  for (std::size_t i = 0; i < velmora::kRecordFieldNames.size(); ++i) {
    if (std::strcmp(velmora::kRecordFieldNames[i], field) == 0) return values[i].c_str();
  }
  return nullptr;
}

const char* velmora_result_error(const velmora_result* result, const char* field) {
  if (result == nullptr || field == nullptr || !result->report.error) return nullptr;
  const velmora::RunFailure& error = *result->report.error;
  const std::pair<const char*, const std::string*> fields[] = {{"procedure", &error.procedure},
                                                               {"number", &result->errorNumber},
                                                               {"description", &error.description},
                                                               {"kind", &error.kind},
                                                               {"statement", &error.statement}};
  for (const auto& [name, value] : fields) {
    if (std::strcmp(name, field) == 0) return value->c_str();
  }
  return nullptr;
}

void velmora_result_free(velmora_result* result) {
  delete result;
}

}  // extern "C"
