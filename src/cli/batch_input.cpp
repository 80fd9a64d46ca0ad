#include "cli/batch_input.hpp"

#include <cctype>
#include <cstdio>
#include <optional>

#include "cli/blanks.hpp"
#include "cli/statements.hpp"
#include "velmora/error.hpp"
#include "velmora/recordset.hpp"

namespace velmora::cli {
namespace {

std::string lowerAscii(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// Splits one CSV line into fields. Returns nothing, with `problem` set, when a quoted field is
// not closed or text follows its closing quote.
std::optional<std::vector<std::string>> splitCsv(const std::string& line, std::string& problem) {
  std::vector<std::string> fields;
  std::size_t i = 0;
  while (true) {
    while (i < line.size() && isBlankChar(line[i])) ++i;
    std::string field;
    if (i < line.size() && line[i] == '"') {
      ++i;
      bool closed = false;
      while (i < line.size()) {
        if (line[i] == '"') {
          if (i + 1 < line.size() && line[i + 1] == '"') {
            field += '"';
            i += 2;
            continue;
          }
          closed = true;
          ++i;
          break;
        }
        field += line[i++];
      }
      if (!closed) {
        problem = "a quoted field is not closed";
        return std::nullopt;
      }
      while (i < line.size() && isBlankChar(line[i])) ++i;
      if (i < line.size() && line[i] != ',') {
        problem = "text after a quoted field";
        return std::nullopt;
      }
    } else {
      const std::size_t comma = line.find(',', i);
      const std::size_t end = comma == std::string::npos ? line.size() : comma;
      field = trimBlanks(line.substr(i, end - i));
      i = end;
    }
    fields.push_back(std::move(field));
    if (i >= line.size()) return fields;
    ++i;  // the comma
  }
}

// Digits of `text` at [at, at + count), as a number; -1 when any is not a digit.
int digitsAt(const std::string& text, std::size_t at, std::size_t count) {
  if (at + count > text.size()) return -1;
  int value = 0;
  for (std::size_t i = at; i < at + count; ++i) {
    if (!std::isdigit(static_cast<unsigned char>(text[i]))) return -1;
    value = value * 10 + (text[i] - '0');
  }
  return value;
}

bool isLeapYear(int year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && isLeapYear(year) ? 29 : kDays[month - 1];
}

}  // namespace

std::vector<BatchLot> readBatchInput(std::istream& in, const std::string& name) {
  std::vector<BatchLot> lots;
  std::string line;
  int number = 0;
  bool headerPossible = true;
  while (std::getline(in, line)) {
    ++number;
    if (number == 1 && line.rfind("\xEF\xBB\xBF", 0) == 0) line.erase(0, 3);  // a UTF-8 BOM
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::string content = trimBlanks(line);
    if (content.empty() || content[0] == '#') continue;

    const std::string where = name + ":" + std::to_string(number);
    std::string problem;
    const auto fields = splitCsv(line, problem);
    if (!fields) throw BatchInputError(where + ": " + problem);
    if (headerPossible && fields->size() == 2 && lowerAscii((*fields)[0]) == "lot" &&
        lowerAscii((*fields)[1]) == "step") {
      headerPossible = false;
      continue;
    }
    headerPossible = false;
    if (fields->size() != 2) {
      throw BatchInputError(where + ": expected two fields, lot,step, found " +
                            std::to_string(fields->size()));
    }
    if ((*fields)[0].empty()) throw BatchInputError(where + ": the lot is empty");
    if ((*fields)[1].empty()) throw BatchInputError(where + ": the step is empty");
    lots.push_back({(*fields)[0], (*fields)[1], where});
  }
  if (in.bad()) throw BatchInputError(name + ": cannot be read");
  return lots;
}

std::string parseBatchTime(const std::string& value, const std::string& option) {
  const auto bad = [&] {
    return BatchInputError(option + " '" + value +
                           "' is not a time of the form YYYY-MM-DD or YYYY-MM-DD HH:MM[:SS]");
  };
  const int year = digitsAt(value, 0, 4);
  const int month = digitsAt(value, 5, 2);
  const int day = digitsAt(value, 8, 2);
  if (value.size() < 10 || year < 0 || value[4] != '-' || value[7] != '-' || month < 1 ||
      month > 12 || day < 1 || day > daysInMonth(year, month)) {
    throw bad();
  }
  int hour = 0, minute = 0, second = 0;
  if (value.size() > 10) {
    if ((value[10] != ' ' && value[10] != 'T') || (value.size() != 16 && value.size() != 19)) {
      throw bad();
    }
    hour = digitsAt(value, 11, 2);
    minute = digitsAt(value, 14, 2);
    if (value[13] != ':' || hour < 0 || hour > 23 || minute < 0 || minute > 59) throw bad();
    if (value.size() == 19) {
      second = digitsAt(value, 17, 2);
      if (value[16] != ':' || second < 0 || second > 59) throw bad();
    }
  }
  char text[64];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", year, month, day, hour, minute,
                second);
  return text;
}

std::vector<BatchLot> selectLots(MesDatabase& mes, const std::string& step,
                                 const std::string& since, const std::string& until) {
  std::vector<BatchLot> lots;
  const std::shared_ptr<Recordset> rows = mes.ExecuteQuery(selectLotsStatement(step, since, until));
  for (; !rows->Eof(); rows->MoveNext()) lots.push_back({rows->Fields("LOTID").toText(), step, ""});
  return lots;
}

}  // namespace velmora::cli
