// The demo MES database (SQLite, opened read-only through the library's own driver) behind a
// recorder that keeps every statement and every failure of the database, so that a test can
// tell a statement the database rejected from a lookup that traced a missing row.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "velmora/client.hpp"
#include "velmora/error.hpp"
#include "velmora/outside.hpp"

namespace velmora::testing {

class RecordingMes : public MesDatabase {
 public:
  explicit RecordingMes(std::shared_ptr<MesDatabase> inner) : inner_(std::move(inner)) {}

  std::shared_ptr<Recordset> ExecuteQuery(const std::string& sql) override {
    statements.push_back(sql);
    try {
      return inner_->ExecuteQuery(sql);
    } catch (const AutomationError& e) {
      failures.push_back(sql + " -> " + e.what());
      throw;
    }
  }

  std::shared_ptr<Recordset> SelectRecords(const std::string& tables, const std::string& columns,
                                           const std::string& condition,
                                           const std::string& extra) override {
    const std::string sql = selectRecordsStatement(tables, columns, condition, extra);
    statements.push_back(sql);
    try {
      return inner_->SelectRecords(tables, columns, condition, extra);
    } catch (const AutomationError& e) {
      failures.push_back(sql + " -> " + e.what());
      throw;
    }
  }

  std::vector<std::string> statements;
  std::vector<std::string> failures;

 private:
  std::shared_ptr<MesDatabase> inner_;
};

// The demo home the build made.
inline std::string demoHome() {
  return VELMORA_DEMO_HOME;
}

// The demo MES database behind a recorder.
inline std::shared_ptr<RecordingMes> openDemoMes() {
  return std::make_shared<RecordingMes>(
      openMesDatabase("sqlite:" + demoHome() + "/mes.db", demoHome()));
}

}  // namespace velmora::testing
