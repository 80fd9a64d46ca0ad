#include "platform/ado/outer_join.hpp"

#include <algorithm>
#include <cstddef>
#include <optional>
#include <set>
#include <utility>
#include <vector>

#include "platform/ado/sql_tokens.hpp"
#include "platform/automation/text_compare.hpp"

namespace velmora::ado {
namespace {

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

// A token range [first, second).
using Range = std::pair<std::size_t, std::size_t>;

class Rewriter {
 public:
  explicit Rewriter(const std::string& sql) : sql_(sql), tokens_(tokenizeSql(sql)) {}

  std::string run() {
    // An unterminated literal, quoted name or comment runs to the end of the text: moved into an
    // ON condition, it would swallow whatever the rewrite writes after it.
    if (!tokens_.empty() && tokens_.back().unterminated) return sql_;
    if (!matchParentheses()) return sql_;
    bool anyMarker = false;
    for (std::size_t i = 0; i < tokens_.size() && !anyMarker; ++i) {
      anyMarker = markerEnd(i) != kNone;
    }
    if (!anyMarker) return sql_;
    return rewriteQuery(0, tokens_.size());
  }

 private:
  // A table of the FROM list.
  struct Item {
    std::size_t begin, end;  // trimmed token range
    std::string alias;       // normalized, "" when none
    std::vector<Range> on;   // the marked terms that form its ON condition
    bool joined = false;
  };

  // One query block on its way through the rewrite; each step fills in its part.
  struct Block {
    Block(std::size_t b, std::size_t e) : begin(b), end(e), tail(e) {}

    std::size_t begin, end;
    std::size_t fromKw = kNone, whereKw = kNone;
    std::size_t tail;                            // the start of what follows the WHERE clause
    std::vector<Item> items;                     // the FROM list
    std::vector<Range> terms;                    // the top-level AND terms of the WHERE clause
    std::vector<Range> remaining;                // the terms that stay in the WHERE clause
    std::vector<const Item*> preserved, joined;  // the FROM list in its new order
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

  // The token after `i` at the nesting level of `i`: past the whole group when `i` opens one.
  std::size_t stepOver(std::size_t i) const { return isPunct(i, '(') ? match_[i] + 1 : i + 1; }

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

  // Walks the tokens of [b, e) that belong to this query level: `nested(open)` is called for
  // each nested query (at its opening parenthesis) and the walk goes on after its ")";
  // `token(i)` is called for every other token and returns where the walk goes on.
  template <class Nested, class Token>
  void walkLevel(std::size_t b, std::size_t e, Nested&& nested, Token&& token) const {
    std::size_t i = b;
    while (i < e) {
      if (isQueryGroup(i) && match_[i] < e) {
        nested(i);
        i = match_[i] + 1;
      } else {
        i = token(i);
      }
    }
  }

  // True for a run of blanks (not a comment).
  bool isBlankRun(std::size_t i) const {
    return tokens_[i].kind == SqlTokenKind::kSpace && isSqlSpace(sql_[tokens_[i].begin]);
  }
  bool isLineComment(std::size_t i) const {
    return tokens_[i].kind == SqlTokenKind::kSpace && sql_[tokens_[i].begin] == '-';
  }

  // True when the texts of tokens `a` and `b` written side by side would read as one token
  // ("X" and "AND" as "XAND", "\"Y\"" and "\"Z\"" as one quoted name).
  bool wouldJoin(std::size_t a, std::size_t b) const {
    return tokenizeSql(std::string(text(a)) + std::string(text(b))).size() != 2;
  }

  // The source text of [b, e), with nested queries rewritten and, when `strip`, the markers of
  // this level removed with the blanks before them ("B.Y (+)" gives "B.Y"). The tokens on
  // either side of a removed marker stay two tokens, and a line comment keeps the line end
  // that closes it.
  std::string emit(std::size_t b, std::size_t e, bool strip) const {
    std::string out;
    std::size_t kept = 0;      // the length of `out` without the blank runs that end it
    std::size_t last = kNone;  // the last token written that is not a blank run
    walkLevel(
        b, e,
        [&](std::size_t open) {
          out += '(';
          out += rewriteQuery(open + 1, match_[open]);
          out += ')';
          kept = out.size();
          last = match_[open];
        },
        [&](std::size_t i) {
          if (strip) {
            const std::size_t end = markerEnd(i);
            if (end != kNone && end <= e) {
              out.resize(kept);
              if (last != kNone && end < e && !isBlankRun(end) && wouldJoin(last, end)) {
                out += ' ';
              }
              return end;
            }
          }
          out += text(i);
          if (!isBlankRun(i)) {
            kept = out.size();
            last = i;
          } else if (i > b && isLineComment(i - 1)) {
            kept = out.size();  // the line end closes the comment: nothing joins across it
            last = kNone;
          }
          return i + 1;
        });
    return out;
  }

  // Markers of this level in [b, e): not inside a nested query.
  std::vector<std::size_t> ownMarkers(std::size_t b, std::size_t e) const {
    std::vector<std::size_t> found;
    walkLevel(
        b, e, [](std::size_t) {},
        [&](std::size_t i) {
          const std::size_t end = markerEnd(i);
          if (end == kNone || end > e) return i + 1;
          found.push_back(i);
          return end;
        });
    return found;
  }

  // The qualifiers (normalized) of column references "Q.COL" at this level of [b, e).
  std::set<std::string> qualifiers(std::size_t b, std::size_t e) const {
    std::set<std::string> names;
    walkLevel(
        b, e, [](std::size_t) {},
        [&](std::size_t i) {
          if (isName(i)) {
            const std::size_t dot = nextSignificant(i + 1, e);
            if (dot != kNone && isPunct(dot, '.')) names.insert(normalized(i));
          }
          return i + 1;
        });
    return names;
  }

  bool isSetOperator(std::size_t i) const {
    return isWord(i, "UNION") || isWord(i, "INTERSECT") || isWord(i, "MINUS") ||
           isWord(i, "EXCEPT");
  }

  // A whole statement or a subquery: split at set operators, rewrite each block.
  std::string rewriteQuery(std::size_t b, std::size_t e) const {
    std::string out;
    std::size_t blockBegin = b;
    for (std::size_t i = b; i < e; i = stepOver(i)) {
      if (isSetOperator(i)) {
        out += rewriteBlock(blockBegin, i);
        out += text(i);
        blockBegin = i + 1;
      }
    }
    out += rewriteBlock(blockBegin, e);
    return out;
  }

  // Trims blanks off both ends of a token range.
  Range trim(std::size_t b, std::size_t e) const {
    while (b < e && tokens_[b].kind == SqlTokenKind::kSpace) ++b;
    while (e > b && tokens_[e - 1].kind == SqlTokenKind::kSpace) --e;
    return {b, e};
  }

  std::string rewriteBlock(std::size_t b, std::size_t e) const {
    std::optional<std::string> rewritten = tryRewriteBlock(b, e);
    return rewritten ? *rewritten : emit(b, e, false);
  }

  // The block rewritten, or nullopt when it has no markers of its own or when one of the steps
  // finds a use of them it cannot map.
  std::optional<std::string> tryRewriteBlock(std::size_t b, std::size_t e) const {
    Block block(b, e);
    const bool mappable = findClauses(block) && readFromList(block) && readWhereTerms(block) &&
                          assignMarkedTerms(block) && orderTables(block);
    if (!mappable) return std::nullopt;
    return rebuilt(block);
  }

  // Finds the FROM and WHERE keywords of the block and the start of what follows the WHERE
  // clause; true when the block has markers and all of them are in its WHERE clause.
  bool findClauses(Block& block) const {
    const std::vector<std::size_t> markers = ownMarkers(block.begin, block.end);
    if (markers.empty()) return false;
    for (std::size_t i = block.begin; i < block.end; i = stepOver(i)) {
      if (block.fromKw == kNone) {
        if (isWord(i, "FROM")) block.fromKw = i;
      } else if (block.whereKw == kNone) {
        if (isWord(i, "WHERE")) block.whereKw = i;
      } else if (isWord(i, "GROUP") || isWord(i, "ORDER") || isWord(i, "HAVING") ||
                 isWord(i, "CONNECT") || isWord(i, "START") || isWord(i, "FOR") ||
                 isWord(i, "FETCH") || isWord(i, "LIMIT") || isWord(i, "OFFSET") ||
                 isWord(i, "WINDOW") || isWord(i, "RETURNING")) {
        block.tail = i;
        break;
      }
    }
    if (block.fromKw == kNone || block.whereKw == kNone) return false;
    return std::all_of(markers.begin(), markers.end(),
                       [&](std::size_t m) { return m > block.whereKw && m < block.tail; });
  }

  // Reads the FROM list, a comma list of tables; false when it holds an empty item or ANSI
  // join syntax.
  bool readFromList(Block& block) const {
    auto addItem = [&](std::size_t itemBegin, std::size_t itemEnd) {
      const auto [ib, ie] = trim(itemBegin, itemEnd);
      if (ib == ie) return false;
      Item item{ib, ie, "", {}, false};
      // The alias, or the table's own name when it has none ("SCHEMA.TABLE" gives TABLE).
      if (isName(ie - 1)) item.alias = normalized(ie - 1);
      block.items.push_back(std::move(item));
      return true;
    };
    std::size_t itemBegin = block.fromKw + 1;
    for (std::size_t i = itemBegin; i < block.whereKw; i = stepOver(i)) {
      if (isWord(i, "JOIN") || isWord(i, "ON") || isWord(i, "USING") || isWord(i, "NATURAL") ||
          isWord(i, "APPLY")) {
        return false;
      }
      if (isPunct(i, ',')) {
        if (!addItem(itemBegin, i)) return false;
        itemBegin = i + 1;
      }
    }
    return addItem(itemBegin, block.whereKw);
  }

  // Splits the WHERE clause into its top-level AND terms ("AND" inside BETWEEN ... AND and
  // CASE ... END does not split); false when the clause has a top-level OR or an empty term.
  bool readWhereTerms(Block& block) const {
    auto addTerm = [&](std::size_t termBegin, std::size_t termEnd) {
      const Range range = trim(termBegin, termEnd);
      if (range.first == range.second) return false;
      block.terms.push_back(range);
      return true;
    };
    std::size_t termBegin = block.whereKw + 1;
    int caseDepth = 0;
    bool between = false;
    for (std::size_t i = termBegin; i < block.tail; i = stepOver(i)) {
      if (isWord(i, "CASE")) ++caseDepth;
      if (isWord(i, "END") && caseDepth > 0) --caseDepth;
      if (caseDepth > 0) continue;
      if (isWord(i, "OR")) return false;
      if (isWord(i, "BETWEEN")) between = true;
      if (!isWord(i, "AND")) continue;
      if (between) {
        between = false;
        continue;
      }
      if (!addTerm(termBegin, i)) return false;
      termBegin = i + 1;
    }
    return addTerm(termBegin, block.tail);
  }

  // Gives each marked term to the ON condition of the table whose columns it marks; the other
  // terms remain in the WHERE clause. False when a marker does not follow a qualified column,
  // a term marks two tables, or the marked table is not (or not once) in the FROM list.
  bool assignMarkedTerms(Block& block) const {
    for (const Range& term : block.terms) {
      const std::vector<std::size_t> marks = ownMarkers(term.first, term.second);
      if (marks.empty()) {
        block.remaining.push_back(term);
        continue;
      }
      std::string table;
      for (std::size_t m : marks) {
        const std::optional<std::string> name = markedQualifier(m, term.first);
        if (!name || (!table.empty() && table != *name)) return false;
        table = *name;
      }
      Item* target = nullptr;
      for (Item& item : block.items) {
        if (item.alias != table) continue;
        if (target != nullptr) return false;  // ambiguous
        target = &item;
      }
      if (target == nullptr) return false;
      target->joined = true;
      target->on.push_back(term);
    }
    return true;
  }

  // The qualifier (normalized) of the column "Q.COL" that the marker at `m` follows, looking
  // no further back than `limit`; nullopt when the marker does not follow such a column.
  std::optional<std::string> markedQualifier(std::size_t m, std::size_t limit) const {
    const std::size_t column = previousSignificant(m, limit);
    if (column == kNone || !isName(column)) return std::nullopt;
    const std::size_t dot = previousSignificant(column, limit);
    if (dot == kNone || !isPunct(dot, '.')) return std::nullopt;
    const std::size_t qualifier = previousSignificant(dot, limit);
    if (qualifier == kNone || !isName(qualifier)) return std::nullopt;
    return normalized(qualifier);
  }

  // Puts the preserved tables first, in their order, then the joined ones, each after the
  // tables its ON condition names; false when no table is preserved or the ON conditions name
  // each other in a circle.
  bool orderTables(Block& block) const {
    std::vector<const Item*> pending;
    std::set<std::string> placed;
    for (const Item& item : block.items) {
      if (item.joined) {
        pending.push_back(&item);
      } else {
        block.preserved.push_back(&item);
        placed.insert(item.alias);
      }
    }
    if (block.preserved.empty()) return false;
    std::set<std::string> joinedNames;
    for (const Item* item : pending) joinedNames.insert(item->alias);
    while (!pending.empty()) {
      auto ready = std::find_if(pending.begin(), pending.end(), [&](const Item* item) {
        for (const Range& term : item->on) {
          for (const std::string& name : qualifiers(term.first, term.second)) {
            if (name != item->alias && joinedNames.count(name) != 0 && placed.count(name) == 0) {
              return false;
            }
          }
        }
        return true;
      });
      if (ready == pending.end()) return false;
      placed.insert((*ready)->alias);
      block.joined.push_back(*ready);
      pending.erase(ready);
    }
    return true;
  }

  // The block's text with its FROM and WHERE clauses rebuilt.
  std::string rebuilt(const Block& block) const {
    std::string out = emit(block.begin, block.fromKw + 1, false);
    out += ' ';
    for (std::size_t k = 0; k < block.preserved.size(); ++k) {
      if (k > 0) out += ',';
      out += emit(block.preserved[k]->begin, block.preserved[k]->end, false);
    }
    for (const Item* item : block.joined) {
      out += " LEFT JOIN ";
      out += emit(item->begin, item->end, false);
      out += " ON ";
      out += joinedTerms(item->on, true);
    }
    if (!block.remaining.empty()) {
      out += " WHERE ";
      out += joinedTerms(block.remaining, false);
    }
    // Whatever followed the last term: its blanks, then the rest of the block, kept apart from
    // the rebuilt clauses when nothing separated it from that term; so is the set operator that
    // ends the block right after the term ("B.K(+)UNION").
    const std::size_t rest = block.terms.back().second;
    if (rest < block.end ? !isBlankRun(rest) : rest < tokens_.size() && isSetOperator(rest)) {
      out += ' ';
    }
    out += emit(rest, block.end, false);
    return out;
  }

  // The terms joined with " AND ".
  std::string joinedTerms(const std::vector<Range>& terms, bool strip) const {
    std::string out;
    for (std::size_t k = 0; k < terms.size(); ++k) {
      if (k > 0) out += " AND ";
      out += emit(terms[k].first, terms[k].second, strip);
    }
    return out;
  }

  const std::string& sql_;
  std::vector<SqlToken> tokens_;
  std::vector<std::size_t> match_;
};

}  // namespace

std::string rewriteOuterJoins(const std::string& sql) {
  if (sql.find('+') == std::string::npos) return sql;
  return Rewriter(sql).run();
}

}  // namespace velmora::ado
