#include "common/text.hpp"

namespace velmora {

bool isBlank(std::string_view text) {
  return text.find_first_not_of(' ') == std::string_view::npos;
}

std::string trimSpaces(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return "";
  const std::size_t last = text.find_last_not_of(' ');
  return std::string(text.substr(first, last - first + 1));
}

std::string sqlValue(std::string_view value) {
  return sqlQuotesDoubled(value);
}

std::string appendList(std::string& list, const std::string& item) {
  if (!isBlank(list)) {
    list += ", ";
    list += item;
  } else {
    list = item;
  }
  return list;
}

std::string appendCondition(std::string& condition, const std::string& field,
                            const std::string& value) {
  Statement statement(condition);
  condition = appendCondition(statement, field, value).text();
  return condition;
}

const Statement& appendCondition(Statement& condition, const std::string& field,
                                 const std::string& value) {
  Statement term(field + " = ");
  term.text(value).sql(" ");
  if (!isBlank(condition.text())) {
    condition.sql(" AND ").append(term);
  } else {
    condition = std::move(term);
  }
  return condition;
}

std::string stationClass(const std::string& stationId) {
  std::string result;
  if (stationId.find("IQ") != std::string::npos) result = "IQC";
  if (stationId.find("FQ") != std::string::npos) result = "FQC";
  if (result.empty()) result = "IPQC";
  return result;
}

std::string joinText(const std::string& first, const std::string& second) {
  if (isBlank(second)) return first;
  if (isBlank(first)) return second;
  return first + "," + second;
}

std::string textBefore(const std::string& text, const std::string& delimiter) {
  if (text.empty()) return "";
  const std::size_t at = text.find(delimiter);
  return at == std::string::npos ? text : text.substr(0, at);
}

std::string textAfter(const std::string& text, const std::string& delimiter) {
  if (text.empty()) return "";
  const std::size_t at = text.find(delimiter);
  return at == std::string::npos ? text : text.substr(at + 1);
}

}  // namespace velmora
