#include "statement_log.hpp"

#include <sqlite3.h>

#include <algorithm>
#include <string_view>

namespace velmora::bench {
namespace {

StatementLog* active = nullptr;
void (*recordStatement)(const char*, const char*) = nullptr;

int onStatement(unsigned /*type*/, void* /*context*/, void* statement, void* /*sql*/) {
  if (active == nullptr || recordStatement == nullptr) return 0;
  auto* stmt = static_cast<sqlite3_stmt*>(statement);
  const char* file = sqlite3_db_filename(sqlite3_db_handle(stmt), "main");
  recordStatement(file != nullptr ? file : "", sqlite3_sql(stmt));
  return 0;
}

int installTrace(sqlite3* db, char** /*error*/, const sqlite3_api_routines* /*api*/) {
  sqlite3_trace_v2(db, SQLITE_TRACE_STMT, &onStatement, nullptr);
  return SQLITE_OK;
}

}  // namespace

StatementLog::StatementLog() {
  active = this;
  recordStatement = &StatementLog::record;
  sqlite3_auto_extension(reinterpret_cast<void (*)(void)>(&installTrace));
}

StatementLog::~StatementLog() {
  sqlite3_cancel_auto_extension(reinterpret_cast<void (*)(void)>(&installTrace));
  active = nullptr;
}

void StatementLog::record(const char* file, const char* sql) {
  // The driver reads the schema once when it opens a file; that is not a statement of the run.
  if (std::string_view(sql) == "SELECT count(*) FROM sqlite_master") return;
  active->sent_.emplace_back(file, sql);
  ++active->counts_[active->sent_.back()];
}

std::vector<StatementLog::Repeat> StatementLog::mostSent(std::size_t count,
                                                         std::size_t width) const {
  std::map<std::string, Repeat> byStart;
  for (const auto& [key, sent] : counts_) {
    Repeat& repeat = byStart[key.second.substr(0, width)];
    repeat.start = key.second.substr(0, width);
    repeat.sent += sent;
    ++repeat.distinct;
  }
  std::vector<Repeat> repeats;
  for (auto& [start, repeat] : byStart) repeats.push_back(repeat);
  std::sort(repeats.begin(), repeats.end(),
            [](const Repeat& a, const Repeat& b) { return a.sent > b.sent; });
  if (repeats.size() > count) repeats.resize(count);
  return repeats;
}

}  // namespace velmora::bench
