// A statement as a value: its fixed text with the places where values stand, and the values.
//
// Every statement the component sends is built as a Statement by the catalog of its subsystem.
// text() is the statement exactly as it has always been sent: a text value between single
// quotes with its quotes doubled, a number spliced as written. That text is what a host's own
// MesDatabase, the trace, the statement cache and every error description see. Our own drivers
// may instead prepare shape() once (each value a numbered marker "?1", "?2", ...) and bind
// values() to it, so that a statement that differs from another only in its values is parsed and
// planned once. The markers are numbered so that a rewrite that moves conditions about (the
// outer-join rewrite) cannot mix the values up.
//
// Only values in a WHERE, ON, HAVING or IN condition are marked: a literal in the select list
// would change the column's name and type if it were bound, so the catalog writes those as
// fixed text.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "velmora/recordset.hpp"

namespace velmora {

// True when `text` is a plain decimal number: an optional "+" or "-", one or more digits, and
// optionally "." followed by one or more digits. Nothing else (no blanks, no exponent).
bool isPlainNumber(std::string_view text);

// `value` as an SQL string literal: between single quotes, every quote inside doubled, so that a
// lot id such as O'NEIL stays one value. The one place the component quotes a value.
std::string sqlQuoted(std::string_view value);

// `value` with every single quote doubled, without the enclosing quotes.
std::string sqlQuotesDoubled(std::string_view value);

class Statement {
 public:
  struct Value {
    enum class Kind { kText, kNumber };
    Kind kind;
    std::string text;  // the value itself (a text unquoted; a number as written)
  };

  Statement() = default;
  // A statement of fixed text only.
  Statement(const char* fixed) { sql(fixed); }         // NOLINT(google-explicit-constructor)
  Statement(const std::string& fixed) { sql(fixed); }  // NOLINT(google-explicit-constructor)

  // Appends fixed text.
  Statement& sql(std::string_view fixed);
  // Appends a text value: rendered as sqlQuoted(value), bound as text.
  Statement& text(std::string_view value);
  // Appends a number: rendered as written, bound as a number. Error 5 naming the value when it
  // is not isPlainNumber: a statement never carries anything else where a number stands.
  Statement& number(std::string_view value);
  // Appends another statement (its fixed text and its values, in order).
  Statement& append(const Statement& other);

  // The statement as sent when values are not bound.
  const std::string& text() const { return text_; }
  // The fixed text with "?<n>" where the n-th value stands (n from 1).
  std::string shape() const;
  const std::vector<Value>& values() const { return values_; }
  // A statement reads as its text wherever text is wanted (a host's MesDatabase, a message).
  operator const std::string&() const { return text_; }  // NOLINT(google-explicit-constructor)

 private:
  std::string text_;
  std::vector<std::string> fixed_{std::string()};  // the fixed text before, between, after values
  std::vector<Value> values_;
};

// A MesDatabase::SelectRecords call: the four parts a host's object receives, the condition's
// values marked.
struct Selection {
  std::string tables;
  std::string columns;
  Statement condition;
  std::string extra;
};

// The statement MesDatabase::SelectRecords stands for:
//   "SELECT " + columns + " FROM " + tables + " WHERE " + condition
// followed by " " + extra only when extra is not empty. The condition's values stay marked.
Statement selectRecords(const std::string& tables, const std::string& columns,
                        const Statement& condition, const std::string& extra);

// `numbered` (a shape whose markers a rewrite may have reordered) with each "?<n>" outside
// quotes as a plain "?", and in `order` the value number (from 1) of each "?" in text order: for
// an interface that knows positional markers only (ODBC).
std::string positionalMarkers(const std::string& numbered, std::vector<std::size_t>& order);

// A MES database of the library's own that takes a statement value: its driver may bind the
// values instead of running the text. A host's own MesDatabase is not one, and receives
// ExecuteQuery(text()) and SelectRecords(...) as it always has.
class StatementDatabase {
 public:
  virtual ~StatementDatabase();
  virtual std::shared_ptr<Recordset> ExecuteStatement(const Statement& statement) = 0;
};

}  // namespace velmora
