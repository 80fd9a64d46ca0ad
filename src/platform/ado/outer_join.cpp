#include "platform/ado/outer_join.hpp"

#include <algorithm>
#include <cstddef>
#include <optional>
#include <set>
#include <vector>

#include "platform/ado/sql_tokens.hpp"
#include "platform/automation/text_compare.hpp"

namespace velmora::ado {
namespace {

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

using Token = SqlToken;

class Rewriter {
 public:
  explicit Rewriter(const std::string& sql) : sql_(sql), tokens_(tokenizeSql(sql)) {}

  std::string run() {
    if (!matchParentheses()) return sql_;
    bool anyMarker = false;
    for (std::size_t i = 0; i < tokens_.size() && !anyMarker; ++i) {
      anyMarker = markerEnd(i) != kNone;
    }
    if (!anyMarker) return sql_;
    return rewriteQuery(0, tokens_.size());
  }

 private:
  struct Item {
    std::size_t begin, end;                               // trimmed token range
    std::string alias;                                    // normalized, "" when none
    std::vector<std::pair<std::size_t, std::size_t>> on;  // marked terms
    bool joined = false;
  };

  std::string_view text(std::size_t i) const {
    return std::string_view(sql_).substr(tokens_[i].begin, tokens_[i].end - tokens_[i].begin);
  }
  bool isPunct(std::size_t i, char c) const {
    return tokens_[i].kind == SqlTokenKind::kPunct && sql_[tokens_[i].begin] == c;
  }
  bool isWord(std::size_t i, std::string_view word) const {
    return tokens_[i].kind == SqlTokenKind::kWord && equalsIgnoreCase(text(i), word);
  }
  bool isName(std::size_t i) const {
    return tokens_[i].kind == SqlTokenKind::kWord || tokens_[i].kind == SqlTokenKind::kQuoted;
  }
  std::string normalized(std::size_t i) const {
    std::string name(text(i));
    if (tokens_[i].kind == SqlTokenKind::kQuoted && name.size() >= 2)
      name = name.substr(1, name.size() - 2);
    for (char& c : name) {
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return name;
  }

  // Next / previous non-blank token within [limitBegin, limitEnd), or kNone.
  std::size_t nextSignificant(std::size_t i, std::size_t limit) const {
    for (; i < limit; ++i) {
      if (tokens_[i].kind != SqlTokenKind::kSpace) return i;
    }
    return kNone;
  }
  std::size_t previousSignificant(std::size_t i, std::size_t limit) const {
    while (i > limit) {
      --i;
      if (tokens_[i].kind != SqlTokenKind::kSpace) return i;
    }
    return kNone;
  }

  bool matchParentheses() {
    match_.assign(tokens_.size(), kNone);
    std::vector<std::size_t> open;
    for (std::size_t i = 0; i < tokens_.size(); ++i) {
      if (isPunct(i, '(')) {
        open.push_back(i);
      } else if (isPunct(i, ')')) {
        if (open.empty()) return false;
        match_[open.back()] = i;
        match_[i] = open.back();
        open.pop_back();
      }
    }
    return open.empty();
  }

  // The index after the marker "(+)" (blanks allowed inside) starting at `i`, or kNone.
  std::size_t markerEnd(std::size_t i) const {
    if (!isPunct(i, '(')) return kNone;
    const std::size_t plus = nextSignificant(i + 1, tokens_.size());
    if (plus == kNone || !isPunct(plus, '+')) return kNone;
    const std::size_t close = nextSignificant(plus + 1, tokens_.size());
    if (close == kNone || !isPunct(close, ')')) return kNone;
    return close + 1;
  }

  // True when the parenthesis at `i` encloses a query: "(SELECT ..." or "(WITH ...".
  bool isQueryGroup(std::size_t i) const {
    if (!isPunct(i, '(') || match_[i] == kNone) return false;
    const std::size_t first = nextSignificant(i + 1, match_[i]);
    return first != kNone && (isWord(first, "SELECT") || isWord(first, "WITH"));
  }

  // The source text of [b, e), with nested queries rewritten and, when `strip`, the markers of
  // this level removed.
  std::string emit(std::size_t b, std::size_t e, bool strip) const {
    std::string out;
    std::size_t i = b;
    while (i < e) {
      if (isQueryGroup(i) && match_[i] < e) {
        out += '(';
        out += rewriteQuery(i + 1, match_[i]);
        out += ')';
        i = match_[i] + 1;
        continue;
      }
      if (strip) {
        const std::size_t end = markerEnd(i);
        if (end != kNone && end <= e) {
          while (!out.empty() && isSqlSpace(out.back())) out.pop_back();  // "B.Y (+)" -> "B.Y"
          i = end;
          continue;
        }
      }
      out += text(i);
      ++i;
    }
    return out;
  }

  // Markers of this level in [b, e): not inside a nested query.
  std::vector<std::size_t> ownMarkers(std::size_t b, std::size_t e) const {
    std::vector<std::size_t> found;
    std::size_t i = b;
    while (i < e) {
      if (isQueryGroup(i)) {
        i = match_[i] + 1;
        continue;
      }
      const std::size_t end = markerEnd(i);
      if (end != kNone && end <= e) {
        found.push_back(i);
        i = end;
        continue;
      }
      ++i;
    }
    return found;
  }

  // A whole statement or a subquery: split at set operators, rewrite each block.
  std::string rewriteQuery(std::size_t b, std::size_t e) const {
    std::string out;
    std::size_t blockBegin = b;
    std::size_t i = b;
    while (i < e) {
      if (isPunct(i, '(')) {
        i = match_[i] + 1;
        continue;
      }
      if (isWord(i, "UNION") || isWord(i, "INTERSECT") || isWord(i, "MINUS") ||
          isWord(i, "EXCEPT")) {
        out += rewriteBlock(blockBegin, i);
        out += text(i);
        blockBegin = i + 1;
      }
      ++i;
    }
    out += rewriteBlock(blockBegin, e);
    return out;
  }

  // Trims blanks off both ends of a token range.
  std::pair<std::size_t, std::size_t> trim(std::size_t b, std::size_t e) const {
    while (b < e && tokens_[b].kind == SqlTokenKind::kSpace) ++b;
    while (e > b && tokens_[e - 1].kind == SqlTokenKind::kSpace) --e;
    return {b, e};
  }

  // The qualifiers (normalized) of column references "Q.COL" at this level of [b, e).
  std::set<std::string> qualifiers(std::size_t b, std::size_t e) const {
    std::set<std::string> names;
    std::size_t i = b;
    while (i < e) {
      if (isQueryGroup(i)) {
        i = match_[i] + 1;
        continue;
      }
      if (isName(i)) {
        const std::size_t dot = nextSignificant(i + 1, e);
        if (dot != kNone && isPunct(dot, '.')) names.insert(normalized(i));
      }
      ++i;
    }
    return names;
  }

  std::string rewriteBlock(std::size_t b, std::size_t e) const {
    std::optional<std::string> rewritten = tryRewriteBlock(b, e);
    return rewritten ? *rewritten : emit(b, e, false);
  }

  std::optional<std::string> tryRewriteBlock(std::size_t b, std::size_t e) const {
    const std::vector<std::size_t> markers = ownMarkers(b, e);
    if (markers.empty()) return std::nullopt;

    // The FROM and WHERE keywords of this block and the start of what follows the WHERE clause.
    std::size_t fromKw = kNone, whereKw = kNone, tail = e;
    for (std::size_t i = b; i < e; ++i) {
      if (isPunct(i, '(')) {
        i = match_[i];
        continue;
      }
      if (fromKw == kNone) {
        if (isWord(i, "FROM")) fromKw = i;
      } else if (whereKw == kNone) {
        if (isWord(i, "WHERE")) whereKw = i;
      } else if (isWord(i, "GROUP") || isWord(i, "ORDER") || isWord(i, "HAVING") ||
                 isWord(i, "CONNECT") || isWord(i, "START") || isWord(i, "FOR") ||
                 isWord(i, "FETCH") || isWord(i, "LIMIT") || isWord(i, "OFFSET") ||
                 isWord(i, "WINDOW") || isWord(i, "RETURNING")) {
        tail = i;
        break;
      }
    }
    if (fromKw == kNone || whereKw == kNone) return std::nullopt;
    for (std::size_t m : markers) {
      if (m < whereKw || m >= tail) return std::nullopt;
    }

    // The FROM list: a comma list of tables.
    std::vector<Item> items;
    {
      std::size_t itemBegin = fromKw + 1;
      for (std::size_t i = fromKw + 1; i <= whereKw; ++i) {
        if (i < whereKw && isPunct(i, '(')) {
          i = match_[i];
          continue;
        }
        if (i < whereKw && (isWord(i, "JOIN") || isWord(i, "ON") || isWord(i, "USING") ||
                            isWord(i, "NATURAL") || isWord(i, "APPLY"))) {
          return std::nullopt;
        }
        if (i == whereKw || isPunct(i, ',')) {
          const auto [ib, ie] = trim(itemBegin, i);
          if (ib == ie) return std::nullopt;
          Item item{ib, ie, "", {}, false};
          // The alias, or the table's own name when it has none ("SCHEMA.TABLE" gives TABLE).
          if (isName(ie - 1)) item.alias = normalized(ie - 1);
          items.push_back(std::move(item));
          itemBegin = i + 1;
        }
      }
    }

    // The top-level AND terms of the WHERE clause.
    std::vector<std::pair<std::size_t, std::size_t>> terms;
    {
      std::size_t termBegin = whereKw + 1;
      int caseDepth = 0;
      bool between = false;
      for (std::size_t i = whereKw + 1; i <= tail; ++i) {
        if (i < tail && isPunct(i, '(')) {
          i = match_[i];
          continue;
        }
        if (i < tail && isWord(i, "CASE")) ++caseDepth;
        if (i < tail && isWord(i, "END") && caseDepth > 0) --caseDepth;
        if (i < tail && caseDepth == 0 && isWord(i, "OR")) return std::nullopt;
        if (i < tail && caseDepth == 0 && isWord(i, "BETWEEN")) between = true;
        const bool andWord = i < tail && caseDepth == 0 && isWord(i, "AND");
        if (andWord && between) {
          between = false;
          continue;
        }
        if (i == tail || andWord) {
          const auto range = trim(termBegin, i);
          if (range.first == range.second) return std::nullopt;
          terms.push_back(range);
          termBegin = i + 1;
        }
      }
    }

    // Each marked term goes to the ON condition of the table whose columns it marks.
    std::vector<std::pair<std::size_t, std::size_t>> remaining;
    for (const auto& term : terms) {
      const std::vector<std::size_t> marks = ownMarkers(term.first, term.second);
      if (marks.empty()) {
        remaining.push_back(term);
        continue;
      }
      std::string table;
      for (std::size_t m : marks) {
        const std::size_t column = previousSignificant(m, term.first);
        if (column == kNone || !isName(column)) return std::nullopt;
        const std::size_t dot = previousSignificant(column, term.first);
        if (dot == kNone || !isPunct(dot, '.')) return std::nullopt;
        const std::size_t qualifier = previousSignificant(dot, term.first);
        if (qualifier == kNone || !isName(qualifier)) return std::nullopt;
        const std::string name = normalized(qualifier);
        if (!table.empty() && table != name) return std::nullopt;
        table = name;
      }
      Item* target = nullptr;
      for (Item& item : items) {
        if (item.alias == table) {
          if (target != nullptr) return std::nullopt;  // ambiguous
          target = &item;
        }
      }
      if (target == nullptr) return std::nullopt;
      target->joined = true;
      target->on.push_back(term);
    }

    // Preserved tables first, then the joined ones, each after the tables its ON names.
    std::vector<const Item*> preserved;
    std::vector<const Item*> pending;
    std::set<std::string> placed;
    for (const Item& item : items) {
      if (item.joined) {
        pending.push_back(&item);
      } else {
        preserved.push_back(&item);
        placed.insert(item.alias);
      }
    }
    if (preserved.empty()) return std::nullopt;
    std::set<std::string> joinedNames;
    for (const Item* item : pending) joinedNames.insert(item->alias);
    std::vector<const Item*> joined;
    while (!pending.empty()) {
      auto ready = std::find_if(pending.begin(), pending.end(), [&](const Item* item) {
        for (const auto& term : item->on) {
          for (const std::string& name : qualifiers(term.first, term.second)) {
            if (name != item->alias && joinedNames.count(name) != 0 && placed.count(name) == 0) {
              return false;
            }
          }
        }
        return true;
      });
      if (ready == pending.end()) return std::nullopt;
      placed.insert((*ready)->alias);
      joined.push_back(*ready);
      pending.erase(ready);
    }

    std::string out = emit(b, fromKw + 1, false);
    out += ' ';
    for (std::size_t k = 0; k < preserved.size(); ++k) {
      if (k > 0) out += ',';
      out += emit(preserved[k]->begin, preserved[k]->end, false);
    }
    for (const Item* item : joined) {
      out += " LEFT JOIN ";
      out += emit(item->begin, item->end, false);
      out += " ON ";
      for (std::size_t k = 0; k < item->on.size(); ++k) {
        if (k > 0) out += " AND ";
        out += emit(item->on[k].first, item->on[k].second, true);
      }
    }
    if (!remaining.empty()) {
      out += " WHERE ";
      for (std::size_t k = 0; k < remaining.size(); ++k) {
        if (k > 0) out += " AND ";
        out += emit(remaining[k].first, remaining[k].second, false);
      }
    }
    // Whatever followed the last term: its blanks, then the rest of the block.
    const std::size_t lastTermToken = terms.back().second;
    out += emit(lastTermToken, e, false);
    return out;
  }

  const std::string& sql_;
  std::vector<Token> tokens_;
  std::vector<std::size_t> match_;
};

}  // namespace

std::string rewriteOuterJoins(const std::string& sql) {
  if (sql.find('+') == std::string::npos) return sql;
  return Rewriter(sql).run();
}

}  // namespace velmora::ado
