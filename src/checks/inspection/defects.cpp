#include "checks/inspection/defects.hpp"

#include <optional>

#include "checks/inspection/statements.hpp"
#include "common/database.hpp"
#include "common/procedure.hpp"
#include "velmora/error.hpp"

namespace velmora {
namespace {

// A value spliced into the statement without quotes must be a plain number, so that a reason
// code such as "1 OR 1=1" from the MES cannot change the statement.
void requirePlainNumber(const char* what, const std::string& value) {
  if (!isPlainNumber(value)) {
    raise(err::kInvalidCall, std::string(what) + " '" + value + "' is not a plain number");
  }
}

// The shared body of the four predicates: `defectCode` null counts the bump codes, `waferId`
// null the whole lot.
bool defectRateExceeds(const Context& context, const char* procedure, float limit,
                       const std::string& lotId, const std::string& station,
                       const std::optional<std::string>& defectCode,
                       const std::optional<std::string>& waferId,
                       const std::shared_ptr<ado::Connection>& connection) {
  return runProcedure(context, procedure, false, [&](bool& result) {
    if (defectCode) requirePlainNumber("defect code", *defectCode);
    if (waferId) requirePlainNumber("wafer id", *waferId);

    const std::shared_ptr<Recordset> sums =
        runCommand(defectSumStatement(lotId, station, defectCode, waferId), connection);
    if (sums->Eof()) return;
    const Variant defects = sums->Fields("DefectQty");
    const Variant totalDie = sums->Fields("TotalDie");
    if (defects.isNull() || totalDie.isNull()) return;

    const double dies = totalDie.toDouble();
    if (dies == 0.0) raise(err::kDivisionByZero, "TotalDie of lot '" + lotId + "' is 0");
    // Division first, then times 100: the order decides the last bit of the rate, and with it
    // the answer for a rate that meets its limit.
    const double rate = defects.toDouble() / dies * 100;
    result = rate > static_cast<double>(limit);
  });
}

}  // namespace

bool chkAugLotBump(const Context& context, float limit, const std::string& lotId,
                   const std::string& station, const std::shared_ptr<ado::Connection>& connection) {
  return defectRateExceeds(context, "chkAugLotBump", limit, lotId, station, std::nullopt,
                           std::nullopt, connection);
}

bool chkAugLotSingle(const Context& context, float limit, const std::string& lotId,
                     const std::string& station, const std::string& defectCode,
                     const std::shared_ptr<ado::Connection>& connection) {
  return defectRateExceeds(context, "chkAugLotSingle", limit, lotId, station, defectCode,
                           std::nullopt, connection);
}

bool chkAugWaferBump(const Context& context, float limit, const std::string& lotId,
                     const std::string& station, const Variant& waferId,
                     const std::shared_ptr<ado::Connection>& connection) {
  return defectRateExceeds(context, "chkAugWaferBump", limit, lotId, station, std::nullopt,
                           waferId.toText(), connection);
}

bool chkAugWaferSingle(const Context& context, float limit, const std::string& lotId,
                       const std::string& station, const std::string& defectCode,
                       const Variant& waferId, const std::shared_ptr<ado::Connection>& connection) {
  return defectRateExceeds(context, "chkAugWaferSingle", limit, lotId, station, defectCode,
                           waferId.toText(), connection);
}

}  // namespace velmora
