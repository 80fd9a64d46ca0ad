#include "fab_sink.hpp"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace velmora::bench {
namespace {

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read '" + path + "'");
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// A number as the seed SQL writes it: shortest form that reads back the same.
std::string numberText(double value) {
  char buffer[32];
  for (int precision = 1; precision <= 17; ++precision) {
    std::snprintf(buffer, sizeof buffer, "%.*g", precision, value);
    if (std::stod(buffer) == value) break;
  }
  return buffer;
}

// A cell in PostgreSQL's COPY text format.
void appendCopyCell(std::string& out, const Cell& cell) {
  if (std::holds_alternative<std::monostate>(cell)) {
    out += "\\N";
  } else if (const auto* whole = std::get_if<std::int64_t>(&cell)) {
    out += std::to_string(*whole);
  } else if (const auto* real = std::get_if<double>(&cell)) {
    out += numberText(*real);
  } else {
    for (char c : std::get<std::string>(cell)) {
      if (c == '\\' || c == '\t' || c == '\n' || c == '\r') out += '\\';
      out += c == '\t' ? 't' : c == '\n' ? 'n' : c == '\r' ? 'r' : c;
    }
  }
}

}  // namespace

FabSink::FabSink(const std::string& database, const std::string& schemaFile, std::string copyFile)
    : path_(database), copyFile_(std::move(copyFile)) {
  std::filesystem::remove(database);
  if (sqlite3_open(database.c_str(), &db_) != SQLITE_OK) {
    throw std::runtime_error("cannot create '" + database + "'");
  }
  // A generated file: nothing to protect against a crash half-way.
  exec("PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; PRAGMA cache_size=-262144;");
  exec(readFile(schemaFile));
  exec("BEGIN");
}

FabSink::~FabSink() {
  for (auto& [name, table] : tables_) sqlite3_finalize(table.insert);
  sqlite3_close(db_);
}

void FabSink::exec(const std::string& sql) {
  char* message = nullptr;
  if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
    const std::string text = message != nullptr ? message : "unknown error";
    sqlite3_free(message);
    throw std::runtime_error(path_ + ": " + text);
  }
}

FabSink::Table& FabSink::table(const std::string& name, const std::vector<std::string>& columns) {
  auto found = tables_.find(name);
  if (found != tables_.end()) return found->second;
  Table& table = tables_[name];
  table.columns = columns;
  std::string list;
  std::string marks;
  for (const std::string& column : columns) {
    list += (list.empty() ? "" : ", ") + column;
    marks += marks.empty() ? "?" : ", ?";
  }
  const std::string sql = "INSERT INTO " + name + " (" + list + ") VALUES (" + marks + ")";
  if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &table.insert, nullptr) != SQLITE_OK) {
    throw std::runtime_error(path_ + ": " + sqlite3_errmsg(db_) + " (" + sql + ")");
  }
  order_.push_back(name);
  return table;
}

void FabSink::insert(const std::string& name, const std::vector<std::string>& columns,
                     const std::vector<Cell>& cells) {
  Table& t = table(name, columns);
  for (std::size_t i = 0; i < cells.size(); ++i) {
    const int index = static_cast<int>(i) + 1;
    const Cell& cell = cells[i];
    if (const auto* whole = std::get_if<std::int64_t>(&cell)) {
      sqlite3_bind_int64(t.insert, index, *whole);
    } else if (const auto* real = std::get_if<double>(&cell)) {
      sqlite3_bind_double(t.insert, index, *real);
    } else if (const auto* text = std::get_if<std::string>(&cell)) {
      sqlite3_bind_text(t.insert, index, text->data(), static_cast<int>(text->size()),
                        SQLITE_TRANSIENT);
    } else {
      sqlite3_bind_null(t.insert, index);
    }
  }
  if (sqlite3_step(t.insert) != SQLITE_DONE) {
    throw std::runtime_error(path_ + ": " + sqlite3_errmsg(db_) + " (table " + name + ")");
  }
  sqlite3_reset(t.insert);
  if (copyFile_.empty()) return;
  for (std::size_t i = 0; i < cells.size(); ++i) {
    if (i > 0) t.copyRows += '\t';
    appendCopyCell(t.copyRows, cells[i]);
  }
  t.copyRows += '\n';
}

void FabSink::finish() {
  exec("COMMIT");
  exec("ANALYZE");
  if (copyFile_.empty()) return;
  std::ofstream out(copyFile_, std::ios::binary | std::ios::trunc);
  if (!out) throw std::runtime_error("cannot write '" + copyFile_ + "'");
  for (const std::string& name : order_) {
    const Table& t = tables_.at(name);
    std::string list;
    for (const std::string& column : t.columns) list += (list.empty() ? "" : ", ") + column;
    out << "COPY " << name << " (" << list << ") FROM stdin;\n" << t.copyRows << "\\.\n";
  }
  // Statistics for the planner, as a production database keeps them.
  for (const std::string& name : order_) out << "ANALYZE " << name << ";\n";
  if (!out.flush()) throw std::runtime_error("cannot write '" + copyFile_ + "'");
}

}  // namespace velmora::bench
