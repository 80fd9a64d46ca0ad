#include "platform/sql/statement.hpp"

#include "velmora/error.hpp"

namespace velmora {
namespace {

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

}  // namespace

bool isPlainNumber(std::string_view text) {
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  const std::size_t integerStart = i;
  while (i < text.size() && isDigit(text[i])) ++i;
  if (i == integerStart) return false;
  if (i == text.size()) return true;
  if (text[i] != '.') return false;
  const std::size_t fractionStart = ++i;
  while (i < text.size() && isDigit(text[i])) ++i;
  return i > fractionStart && i == text.size();
}

std::string sqlQuotesDoubled(std::string_view value) {
  std::string out;
  out.reserve(value.size());
  for (const char c : value) {
    out += c;
    if (c == '\'') out += '\'';
  }
  return out;
}

std::string sqlQuoted(std::string_view value) {
  return "'" + sqlQuotesDoubled(value) + "'";
}

Statement& Statement::sql(std::string_view fixed) {
  text_ += fixed;
  fixed_.back() += fixed;
  return *this;
}

Statement& Statement::text(std::string_view value) {
  text_ += sqlQuoted(value);
  fixed_.emplace_back();
  values_.push_back({Value::Kind::kText, std::string(value)});
  return *this;
}

Statement& Statement::number(std::string_view value) {
  if (!isPlainNumber(value)) {
    raise(err::kInvalidCall,
          "'" + std::string(value) + "' is not a number (statement: " + text_ + "...)");
  }
  text_ += value;
  fixed_.emplace_back();
  values_.push_back({Value::Kind::kNumber, std::string(value)});
  return *this;
}

Statement& Statement::append(const Statement& other) {
  text_ += other.text_;
  fixed_.back() += other.fixed_.front();
  fixed_.insert(fixed_.end(), other.fixed_.begin() + 1, other.fixed_.end());
  values_.insert(values_.end(), other.values_.begin(), other.values_.end());
  return *this;
}

std::string Statement::shape() const {
  std::string out = fixed_.front();
  for (std::size_t i = 1; i < fixed_.size(); ++i) {
    out += '?';
    out += std::to_string(i);
    out += fixed_[i];
  }
  return out;
}

std::string positionalMarkers(const std::string& numbered, std::vector<std::size_t>& order) {
  order.clear();
  std::string out;
  out.reserve(numbered.size());
  char quote = 0;  // the quote of the literal or quoted name being read, 0 outside
  for (std::size_t i = 0; i < numbered.size(); ++i) {
    const char c = numbered[i];
    if (quote != 0) {
      if (c == quote) quote = 0;  // a doubled quote closes and opens again: the same
      out += c;
      continue;
    }
    if (c == '\'' || c == '"') {
      quote = c;
      out += c;
      continue;
    }
    if (c == '?' && i + 1 < numbered.size() && isDigit(numbered[i + 1])) {
      std::size_t number = 0;
      while (i + 1 < numbered.size() && isDigit(numbered[i + 1])) {
        number = number * 10 + static_cast<std::size_t>(numbered[++i] - '0');
      }
      order.push_back(number);
      out += '?';
      continue;
    }
    out += c;
  }
  return out;
}

Statement selectRecords(const std::string& tables, const std::string& columns,
                        const Statement& condition, const std::string& extra) {
  Statement statement("SELECT " + columns + " FROM " + tables + " WHERE ");
  statement.append(condition);
  if (!extra.empty()) statement.sql(" " + extra);
  return statement;
}

StatementDatabase::~StatementDatabase() = default;

}  // namespace velmora
