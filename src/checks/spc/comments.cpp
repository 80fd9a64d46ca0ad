#include "checks/spc/comments.hpp"

#include <cstddef>
#include <string_view>
#include <vector>

#include "checks/spc/statements.hpp"
#include "common/lookups.hpp"
#include "common/text.hpp"

namespace velmora {
namespace {

constexpr std::string_view kWithinWafer = "WithinWafer:";
constexpr std::string_view kWithinDie = "WithinDie:";

// `text` without its first `count` code points ("" when it has no more). A UTF-8 continuation
// byte always travels with the character before it, so a character is never cut in half.
std::string dropCodePoints(const std::string& text, std::size_t count) {
  std::size_t at = 0;
  for (std::size_t i = 0; i < count && at < text.size(); ++i) {
    ++at;
    while (at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80) ++at;
  }
  return text.substr(at);
}

// The pieces of `list` between its ","s, empty pieces included ("3," gives "3" and "").
std::vector<std::string> splitAtCommas(const std::string& list) {
  std::vector<std::string> pieces;
  std::size_t start = 0;
  for (std::size_t comma = list.find(','); comma != std::string::npos;
       comma = list.find(',', start)) {
    pieces.push_back(list.substr(start, comma - start));
    start = comma + 1;
  }
  pieces.push_back(list.substr(start));
  return pieces;
}

// Appends one "OFC" row per element of `list` (nothing for an empty list).
void addListedWafers(Run& run, const std::string& eqpId, const std::string& list) {
  if (list.empty()) return;
  run.state.flags.IsEDCFail = Flag::kYes;
  for (const std::string& waferSeq : splitAtCommas(list)) {
    Row& row = run.addRow();  // getWaferId appends no rows, so the reference stays valid
    row[col::kItemName] = Variant(run.item.name);
    row[col::kEqpId] = Variant(eqpId);
    row[col::kCollectType] = Variant("1");
    row[col::kWaferSeq] = Variant(waferSeq);
    row[col::kWaferId] = Variant(getWaferId(run, run.state.lotId, waferSeq));
    row[col::kFinding] = Variant("OFC");
    row[col::kTa] = Variant(run.state.timeVersionTa);
  }
}

}  // namespace

std::string getCommentList(const std::string& comment, const std::string& kind) {
  if (comment.empty()) return "";
  if (kind == "W") {
    // The MES writes the within-wafer section first, so its list starts 12 characters into the
    // part before "|", wherever the heading itself occurs.
    if (comment.find(kWithinWafer) == std::string::npos) return "";
    return dropCodePoints(textBefore(comment, "|"), kWithinWafer.size());
  }
  const std::size_t at = comment.find(kWithinDie);
  if (at == std::string::npos) return "";
  return comment.substr(at + kWithinDie.size());
}

void runCommentCheck(Run& run) {
  const std::shared_ptr<Recordset> rows =
      run.mes().ExecuteQuery(commentStatement(run.state.timeVersionSysid, run.item.sysid));
  if (rows->Eof()) return;
  // Only the first commented record counts, however many the database returns.
  const std::string eqpId = rows->Fields("EQPID").toText();
  const std::string comment = rows->Fields("COMMENTS").toText();
  addListedWafers(run, eqpId, getCommentList(comment, "W"));
  addListedWafers(run, eqpId, getCommentList(comment, "D"));
}

}  // namespace velmora
