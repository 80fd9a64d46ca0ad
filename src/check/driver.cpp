#include "check/driver.hpp"

#include "check/dispatch.hpp"
#include "check/statements.hpp"
#include "check/summary.hpp"
#include "common/database.hpp"
#include "common/procedure.hpp"
#include "common/text.hpp"
#include "velmora/error.hpp"

namespace velmora {
namespace {

// The inspection login's password when the configuration names none: the fixed text that
// installations without a Password key have always used.
constexpr const char* kDefaultInspectionPassword = "jxw";

void resetOutputs(Run& run) {
  run.result.clear();
  run.state.failure.reset();
  run.lotDeviations.clear();
  run.state.lotDevReasons.clear();
  Flags& flags = run.state.flags;
  flags.IsEDCItem = Flag::kNo;
  flags.IsEDCCollect = Flag::kNo;
  flags.IsEDCFail = Flag::kNo;
  flags.IsAUGItem = Flag::kNo;
  flags.IsAUGCollect = Flag::kNo;
  flags.IsAUGFail = Flag::kNo;
}

}  // namespace

InspectionSettings readInspectionSettings(const Context& context) {
  if (!context.iniFactory) raise(err::kCannotCreate, "no configuration-file reader (IniFile)");
  const std::shared_ptr<IniFile> ini = context.iniFactory();
  if (!ini) raise(err::kCannotCreate, "no configuration-file reader (IniFile)");

  const std::string path = ini->PathHead() + ini->PathTail() + "/INI/MESconfig.ini";
  ini->OpenFile(path);

  InspectionSettings settings;
  std::string section = "MSSQL";
  std::string key = "ServerName";
  settings.server = ini->ReadValue(section, key);
  key = "UserName";
  settings.user = ini->ReadValue(section, key);
  key = "InitDB";
  settings.catalogue = ini->ReadValue(section, key);
  key = "Password";
  settings.password = ini->ReadValue(section, key);
  if (settings.password.empty()) settings.password = kDefaultInspectionPassword;
  return settings;
}

std::shared_ptr<Recordset> findEdcItems(Run& run) {
  const MesQueries mes = run.mes();
  return findEdcItems([&](const Statement& sql) { return mes.ExecuteQuery(sql); }, run.state.lotId,
                      run.state.stepId);
}

std::shared_ptr<Recordset> findEdcItems(
    const std::function<std::shared_ptr<Recordset>(const Statement&)>& send, const std::string& lot,
    const std::string& step) {
  std::shared_ptr<Recordset> items = send(runCardItemsStatement(step, lot, false));
  if (lot.find('.') != std::string::npos && items->Eof()) {
    items = send(runCardItemsStatement(step, textBefore(lot, "."), true));
  }
  if (items->Eof()) items = send(lotSpecItemsStatement(step, lot));
  return items;
}

void findTimeVersion(Run& run) {
  CheckState& state = run.state;
  const std::shared_ptr<Recordset> versions = run.mes().ExecuteQuery(
      timeVersionStatement(state.lotId, state.stepId, state.productEdcSysid));
  if (!versions->Eof()) {
    state.flags.IsEDCCollect = Flag::kYes;
    state.timeVersionSysid = versions->Fields("SYSID").toText();
    state.timeVersionTa = versions->Fields("TA").toText();
  } else {
    state.timeVersionSysid.clear();
    state.flags.IsEDCCollect = Flag::kNo;
    state.timeVersionTa.clear();
  }
}

std::string executeCheckRun(const Context& context, CheckState& state) {
  // A new, empty statement cache for every run, emptied again when the run ends (below), so that
  // every run reads the data as it is then.
  const auto cache = std::make_shared<StatementCache>(mebibytesToBytes(context.statementCacheMiB));
  struct Emptied {
    StatementCache& cache;
    ~Emptied() { cache.clear(); }
  } emptied{*cache};
  Run run(context, state, cache);
  const std::string source = traceSource("Execute");
  reportTrace(context, "Executing...", source, 5);
  try {
    resetOutputs(run);
    run.stationClass = stationClass(getStation(run, state.stepId));
    run.inspection = readInspectionSettings(context);

    const std::shared_ptr<Recordset> items = findEdcItems(run);
    if (items->Eof()) {
      run.result = "ok";
      return run.result;
    }
    state.flags.IsEDCItem = Flag::kYes;
    state.productEdcSysid = items->Fields("PRODUCTEDCSYSID").toText();
    findTimeVersion(run);
    state.abnormalities.reset();

    while (!items->Eof()) {
      run.item.row = items.get();
      run.item.name = items->Fields("DESCRIPTION").toText();
      run.item.sysid = items->Fields("SYSID").toText();
      run.item.type = items->Fields("ITEMTYPE");
      if (dispatchItem(run) == ItemOutcome::kSqlFail) {
        // The remaining items are not examined and the summary does not run.
        run.result = "SqlFail";
        reportTrace(context, "0:", source, 5);
        return run.result;
      }
      items->MoveNext();
    }
    summarize(run);
  } catch (const RunEnded& ended) {
    // Traced by the procedure where it happened; the result stays "".
    state.failure = ended.failure();
  } catch (...) {
    reportTrace(context, errorEntry(std::current_exception()), source, 5);
    state.failure = runFailure("Execute", std::current_exception());
  }
  return run.result;
}

}  // namespace velmora
