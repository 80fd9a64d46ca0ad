// What one check run carries, handed to every check.
//
// CheckState is the part of the check object that a run reads and changes (inputs, flags, the
// abnormality table, the records); Run adds what lives for one run only (the lot deviation list,
// the station class, the inspection settings, the current item, the statement cache). A check is
// a function of the Run it is part of: it reads the current item, appends rows and lot entries,
// and sets flags.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "common/cached_mes.hpp"
#include "common/mes_queries.hpp"
#include "common/table.hpp"
#include "platform/automation/collection.hpp"
#include "velmora/abnormal.hpp"
#include "velmora/context.hpp"
#include "velmora/recordset.hpp"
#include "velmora/run_failure.hpp"

namespace velmora {

namespace ado {
class Connection;
}

// One of the six flags: unset before the first run, then yes or no. A value of its own rather
// than the "Y"/"N" text, so that a check sets it without building a string.
enum class Flag : char { kUnset, kNo, kYes };

// The flag as the public interface gives it: "", "N" or "Y".
std::string flagText(Flag flag);

struct Flags {
  Flag IsEDCItem = Flag::kUnset, IsEDCCollect = Flag::kUnset, IsEDCFail = Flag::kUnset,
       IsAUGItem = Flag::kUnset, IsAUGCollect = Flag::kUnset, IsAUGFail = Flag::kUnset;
};

struct CheckState {
  std::string lotId;
  std::string stepId;
  std::string timeVersionSysid;
  std::string dateTime;
  std::string productEdcSysid;
  std::string timeVersionTa;  // TA of the run's time version ("" when none)
  Flags flags;
  std::string lotDevReasons;
  AbnormalityTable abnormalities;
  AbnormalityTable summary;
  Collection<std::shared_ptr<Abnormal>> records;
  // The inspection connection of the current inspection item (null between items).
  std::shared_ptr<ado::Connection> inspection;
  // The failure that ended the last run; empty when it ended normally.
  std::optional<RunFailure> failure;
};

// The login settings of the inspection database, from section MSSQL of the MES configuration.
struct InspectionSettings {
  std::string server;
  std::string user;
  std::string password;
  std::string catalogue;
};

// The current EDC item: its row of the item record set, read by field name, and the values the
// driver takes from it.
struct Item {
  const Recordset* row = nullptr;
  std::string name;   // DESCRIPTION as text
  std::string sysid;  // SYSID as text
  Variant type;       // ITEMTYPE as read

  // A column of the item row (limits CP, CPK, LSL, USL), read afresh.
  Variant field(const char* name) const { return row->Fields(name); }
};

struct Run {
  // `cache` is the run's statement cache (null: none): the MES database (mes()) and the
  // inspection connections of the run answer through it.
  Run(const Context& context, CheckState& state, std::shared_ptr<StatementCache> cache = nullptr)
      : context(context), state(state), cache(cache), mes_(context, cache) {}

  const Context& context;
  CheckState& state;
  std::shared_ptr<StatementCache> cache;
  std::string result;         // the return value of Execute
  std::string lotDeviations;  // lot-level entries "item/code" joined by ","
  std::string stationClass;   // "IQC", "FQC" or "IPQC"
  InspectionSettings inspection;
  Item item;

  // The MES database of the context through the run's statement cache (cached_mes.hpp); error 91
  // when there is none, and a null record set from the object is error 91 naming the statement.
  MesQueries mes() const { return MesQueries(mes_); }
  // Appends a lot-level entry to the lot deviation list.
  void addLotDeviation(const std::string& entry);
  // Appends an abnormality row (error 6 when the table is full).
  Row& addRow() { return state.abnormalities.append(); }

 private:
  mutable CachedMes mes_;
};

}  // namespace velmora
