// Test doubles of the MES client's objects.
//
// ScriptedMes records every statement it receives and answers from canned record sets: a rule
// answers every statement that contains its fragment (the most recently added matching rule
// wins, so a test can override a general answer). Statements that match no rule get an empty
// record set. RecordingTrace keeps the trace entries; ScriptedIni answers configuration reads.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "velmora/error.hpp"
#include "velmora/outside.hpp"
#include "velmora/recordset.hpp"

namespace velmora::testing {

struct Answer {
  std::vector<std::string> columns;
  std::vector<std::vector<Variant>> rows;
};

class ScriptedMes : public MesDatabase {
 public:
  // Answers statements containing `fragment` with `answer`.
  ScriptedMes& on(std::string fragment, Answer answer) {
    rules_.push_back(Rule{std::move(fragment), std::move(answer), std::nullopt});
    return *this;
  }
  // Fails statements containing `fragment` with `error`.
  ScriptedMes& failOn(std::string fragment, AutomationError error) {
    rules_.push_back(Rule{std::move(fragment), {}, std::move(error)});
    return *this;
  }

  std::shared_ptr<Recordset> ExecuteQuery(const std::string& sql) override {
    statements.push_back(sql);
    return answer(sql);
  }

  std::shared_ptr<Recordset> SelectRecords(const std::string& tables, const std::string& columns,
                                           const std::string& condition,
                                           const std::string& extra) override {
    selects.push_back({tables, columns, condition, extra});
    // Rules match SelectRecords calls against the statement a database would run.
    const std::string sql = "SELECT " + columns + " FROM " + tables + " WHERE " + condition +
                            (extra.empty() ? "" : " " + extra);
    statements.push_back(sql);
    return answer(sql);
  }

  // Number of statements received that contain `fragment`.
  int count(const std::string& fragment) const {
    int n = 0;
    for (const auto& s : statements) n += s.find(fragment) != std::string::npos ? 1 : 0;
    return n;
  }

  struct Select {
    std::string tables, columns, condition, extra;
  };
  std::vector<std::string> statements;
  std::vector<Select> selects;

 private:
  struct Rule {
    std::string fragment;
    Answer answer;
    std::optional<AutomationError> error;
  };

  std::shared_ptr<Recordset> answer(const std::string& sql) const {
    for (auto it = rules_.rbegin(); it != rules_.rend(); ++it) {
      if (sql.find(it->fragment) == std::string::npos) continue;
      if (it->error) throw *it->error;
      return std::make_shared<MemoryRecordset>(it->answer.columns, it->answer.rows);
    }
    return std::make_shared<MemoryRecordset>(std::vector<std::string>{},
                                             std::vector<std::vector<Variant>>{});
  }

  std::vector<Rule> rules_;
};

class RecordingTrace : public TraceLog {
 public:
  std::int16_t TraceLevel() override { return level; }
  void WriteTrace(std::int16_t& traceLevel, std::string& text) override {
    levels.push_back(traceLevel);
    entries.push_back(text);
  }
  std::int16_t level = 3;
  std::vector<std::int16_t> levels;
  std::vector<std::string> entries;
};

class ScriptedIni : public IniFile {
 public:
  std::string PathHead() override { return head; }
  std::string PathTail() override { return tail; }
  void OpenFile(const std::string& path) override {
    opened.push_back(path);
    if (failOpen) throw AutomationError(53, "File not found: " + path);
  }
  std::string ReadValue(std::string& section, std::string& key) override {
    reads.push_back(section + "/" + key);
    auto it = values.find(section + "/" + key);
    return it == values.end() ? "" : it->second;
  }

  std::string head = "/home/mes";
  std::string tail;
  bool failOpen = false;
  std::map<std::string, std::string> values = {{"MSSQL/ServerName", "insp-server"},
                                               {"MSSQL/UserName", "inspector"},
                                               {"MSSQL/InitDB", "INSPECTION"}};
  std::vector<std::string> opened;
  std::vector<std::string> reads;
};

}  // namespace velmora::testing
