// A check run set up for unit tests of single checks: a context with a scripted MES database and
// a recording trace, a check state with a lot, step and time version, and a current item row.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "common/run.hpp"
#include "support/scripted_mes.hpp"

namespace velmora::testing {

struct RunFixture {
  RunFixture() {
    context->mesdb = mes;
    context->trace = trace;
    state.lotId = "LOT1";
    state.stepId = "STEP1";
    state.timeVersionSysid = "TV1";
    state.timeVersionTa = "TA1";
    state.flags = {Flag::kYes, Flag::kYes, Flag::kNo, Flag::kNo, Flag::kNo, Flag::kNo};
    setItem("I1", "ITEM", "3", {});
  }

  // Makes the current item a row with SYSID, DESCRIPTION, ITEMTYPE and the given limit columns
  // (CP, CPK, LSL, USL; a column not given is Null).
  void setItem(const std::string& sysid, const std::string& name, const Variant& type,
               std::map<std::string, Variant> limits) {
    std::vector<std::string> columns = {"SYSID", "DESCRIPTION", "ITEMTYPE", "CP",
                                        "CPK",   "LSL",         "USL"};
    std::vector<Variant> row = {Variant(sysid), Variant(name), type};
    for (const char* limit : {"CP", "CPK", "LSL", "USL"}) {
      auto it = limits.find(limit);
      row.push_back(it == limits.end() ? Variant::null() : it->second);
    }
    itemRow = std::make_shared<MemoryRecordset>(columns, std::vector<std::vector<Variant>>{row});
    run.item.row = itemRow.get();
    run.item.name = name;
    run.item.sysid = sysid;
    run.item.type = type;
  }

  // The rows appended to the abnormality table (row 0 excluded).
  std::vector<Row> rows() const {
    std::vector<Row> out;
    for (std::size_t i = 1; i <= state.abnormalities.lastIndex(); ++i) {
      out.push_back(state.abnormalities[i]);
    }
    return out;
  }

  std::shared_ptr<Context> context = std::make_shared<Context>();
  std::shared_ptr<ScriptedMes> mes = std::make_shared<ScriptedMes>();
  std::shared_ptr<RecordingTrace> trace = std::make_shared<RecordingTrace>();
  CheckState state;
  Run run{*context, state};
  std::shared_ptr<MemoryRecordset> itemRow;
};

}  // namespace velmora::testing
