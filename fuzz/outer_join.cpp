// The outer-join rewrite changes nothing but the join syntax.
//
// Read as tokens (blanks and comments aside), the rewrite of a block removes each marker "(+)"
// of the block, turns the FROM list "P1, ..., J1, ..." into "P1, ... LEFT JOIN J1 ON ...", and
// moves the marked terms of the WHERE clause into the ON conditions, joining terms with AND
// again and dropping WHERE when no term stays. Over the whole statement, with k tables joined,
// p markers removed and w WHERE keywords dropped, the counts of tokens (words without regard to
// case) must therefore change exactly so:
//   LEFT, JOIN, ON: +k      ",": -k      "(", "+", ")": -p (p >= k)
//   WHERE: -w (w <= k)      AND: w - k   every other token: unchanged
// and a statement with nothing rewritten (k = 0) comes back byte-identical. The rewrite of a
// rewritten statement is that statement again.
#include <map>
#include <string>

#include "platform/ado/outer_join.hpp"
#include "platform/ado/sql_tokens.hpp"
#include "property.hpp"

namespace {

using velmora::fuzz::require;

// How often each token occurs in `sql`, blanks and comments left out.
std::map<std::string, long> tokenCounts(const std::string& sql) {
  std::map<std::string, long> counts;
  for (const velmora::ado::SqlToken& token : velmora::ado::tokenizeSql(sql)) {
    if (token.kind == velmora::ado::SqlTokenKind::kSpace) continue;
    std::string key = sql.substr(token.begin, token.end - token.begin);
    if (token.kind == velmora::ado::SqlTokenKind::kWord) {
      for (char& c : key) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
      }
    }
    ++counts[key];
  }
  return counts;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string sql = velmora::fuzz::textOf(data, size);
  const std::string out = velmora::ado::rewriteOuterJoins(sql);
  const std::string detail = sql + "\n=> " + out;

  std::map<std::string, long> diff = tokenCounts(out);
  for (const auto& [key, count] : tokenCounts(sql)) diff[key] -= count;
  auto change = [&diff](const std::string& key) {
    const auto it = diff.find(key);
    const long value = it == diff.end() ? 0 : it->second;
    if (it != diff.end()) diff.erase(it);
    return value;
  };
  const long k = change("JOIN");
  const long p = -change("+");
  const long w = -change("WHERE");
  require(k >= 0 && change("LEFT") == k && change("ON") == k, "one LEFT JOIN ... ON per table",
          detail);
  require(change(",") == -k, "one comma less per joined table", detail);
  require(p >= k && change("(") == -p && change(")") == -p, "markers removed whole", detail);
  require(w >= 0 && w <= k && change("AND") == w - k, "terms joined with AND again", detail);
  for (const auto& [key, count] : diff) {
    require(count == 0, "no other token gained or lost", detail + "\ntoken: " + key);
  }
  if (k == 0) require(out == sql, "nothing rewritten, nothing changed", detail);
  require(velmora::ado::rewriteOuterJoins(out) == out, "a rewritten statement stays as it is",
          detail);
  return 0;
}
