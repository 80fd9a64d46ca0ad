#include "platform/ado/odbc/odbc_error.hpp"

#include <algorithm>

#include "platform/ado/odbc/dialect.hpp"
#include "platform/ado/odbc/wide_text.hpp"

namespace velmora::ado::odbc {

std::vector<Diagnostic> diagnosticsOf(SQLSMALLINT type, SQLHANDLE handle) {
  std::vector<Diagnostic> records;
  if (handle == SQL_NULL_HANDLE) return records;
  for (SQLSMALLINT number = 1;; ++number) {
    SQLWCHAR state[6] = {};
    SQLINTEGER native = 0;
    std::vector<SQLWCHAR> message(1024);
    SQLSMALLINT length = 0;
    SQLRETURN rc = SQLGetDiagRecW(type, handle, number, state, &native, message.data(),
                                  static_cast<SQLSMALLINT>(message.size()), &length);
    if (rc == SQL_SUCCESS_WITH_INFO && length >= static_cast<SQLSMALLINT>(message.size())) {
      // The message was cut: ask again with room for all of it.
      message.resize(static_cast<std::size_t>(length) + 1);
      rc = SQLGetDiagRecW(type, handle, number, state, &native, message.data(),
                          static_cast<SQLSMALLINT>(message.size()), &length);
    }
    if (!succeeded(rc)) break;
    const std::size_t shown =
        std::min(static_cast<std::size_t>(length < 0 ? 0 : length), message.size() - 1);
    records.push_back({fromWide(state, 5), native, fromWide(message.data(), shown)});
  }
  return records;
}

bool hasState(const std::vector<Diagnostic>& records, const char* state) {
  for (const Diagnostic& record : records) {
    if (record.state == state) return true;
  }
  return false;
}

std::string withoutSecrets(std::string text, const std::vector<std::string>& secrets) {
  for (const std::string& secret : secrets) {
    if (secret.empty()) continue;
    std::size_t at = 0;
    while ((at = text.find(secret, at)) != std::string::npos) {
      text.replace(at, secret.size(), "***");
      at += 3;
    }
  }
  return text;
}

namespace {

bool ofClass(const Diagnostic& record, std::string_view sqlClass) {
  return std::string_view(record.state).substr(0, 2) == sqlClass;
}

// HY000 ("general error") with a native number the database uses for a data exception.
bool isNativeDataException(const Diagnostic& record, std::string_view dbmsName) {
  if (record.state != "HY000") return false;
  if (isOracle(std::string(dbmsName))) {
    return record.native == 1476 || record.native == 1722 || record.native == 1403;
  }
  if (dbmsName.find("SQL Server") != std::string_view::npos) {
    return record.native == 8134 || record.native == 245;
  }
  return false;
}

}  // namespace

bool isDataException(const std::vector<Diagnostic>& records, std::string_view dbmsName) {
  bool sawError = false;
  for (const Diagnostic& record : records) {
    if (ofClass(record, "01")) continue;
    if (!ofClass(record, "22") && !isNativeDataException(record, dbmsName)) return false;
    sawError = true;
  }
  return sawError;
}

AutomationError odbcError(const std::vector<Diagnostic>& records, const std::string& context,
                          const std::vector<std::string>& secrets, std::string_view dbmsName) {
  std::int32_t number = 0;
  std::string description;
  for (const Diagnostic& record : records) {
    if (number == 0) number = record.native;
    if (!description.empty()) description += "; ";
    description += "SQLSTATE " + record.state + ": " + record.message;
  }
  if (number == 0) number = err::kGenericFailure;
  if (description.empty()) description = "the ODBC call failed without a diagnostic record";
  if (!context.empty()) description += " (" + context + ")";
  const FailureKind kind =
      isDataException(records, dbmsName) ? FailureKind::kUnfitData : FailureKind::kNoAnswer;
  return AutomationError(number, withoutSecrets(std::move(description), secrets), kind);
}

void raiseOdbcError(SQLSMALLINT type, SQLHANDLE handle, const std::string& context,
                    const std::vector<std::string>& secrets, std::string_view dbmsName) {
  throw odbcError(diagnosticsOf(type, handle), context, secrets, dbmsName);
}

}  // namespace velmora::ado::odbc
