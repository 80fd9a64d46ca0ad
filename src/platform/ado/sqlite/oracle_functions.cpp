#include "platform/ado/sqlite/oracle_functions.hpp"

#include <cstring>
#include <string_view>

#include "velmora/variant.hpp"

namespace velmora::ado::sqlite {
namespace {

bool isNumber(int type) {
  return type == SQLITE_INTEGER || type == SQLITE_FLOAT;
}

std::string_view bytes(sqlite3_value* value) {
  const void* data = sqlite3_value_type(value) == SQLITE_BLOB
                         ? sqlite3_value_blob(value)
                         : static_cast<const void*>(sqlite3_value_text(value));
  const int size = sqlite3_value_bytes(value);
  if (data == nullptr) return {};
  return std::string_view(static_cast<const char*>(data), static_cast<std::size_t>(size));
}

// The value as a double when it is a number or a text that reads as one.
bool numberOf(sqlite3_value* value, int type, double& out) {
  if (type == SQLITE_INTEGER || type == SQLITE_FLOAT) {
    out = sqlite3_value_double(value);
    return true;
  }
  if (type != SQLITE_TEXT) return false;
  return parseNumber(bytes(value), out);
}

bool decodeMatches(sqlite3_value* expr, int exprType, sqlite3_value* search) {
  const int searchType = sqlite3_value_type(search);
  if (exprType == SQLITE_NULL || searchType == SQLITE_NULL) {
    return exprType == SQLITE_NULL && searchType == SQLITE_NULL;
  }
  if (exprType == SQLITE_INTEGER && searchType == SQLITE_INTEGER) {
    return sqlite3_value_int64(expr) == sqlite3_value_int64(search);
  }
  if (isNumber(exprType) || isNumber(searchType)) {
    double a = 0;
    double b = 0;
    return numberOf(expr, exprType, a) && numberOf(search, searchType, b) && a == b;
  }
  return bytes(expr) == bytes(search);
}

void decode(sqlite3_context* context, int argc, sqlite3_value** argv) {
  if (argc < 3) {
    sqlite3_result_error(context, "wrong number of arguments to function DECODE()", -1);
    return;
  }
  sqlite3_value* expr = argv[0];
  const int exprType = sqlite3_value_type(expr);
  for (int i = 1; i + 1 < argc; i += 2) {
    if (decodeMatches(expr, exprType, argv[i])) {
      sqlite3_result_value(context, argv[i + 1]);
      return;
    }
  }
  if (argc % 2 == 0) {
    sqlite3_result_value(context, argv[argc - 1]);
  } else {
    sqlite3_result_null(context);
  }
}

}  // namespace

int registerOracleFunctions(sqlite3* db) {
  return sqlite3_create_function_v2(db, "DECODE", -1,
                                    SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS, nullptr,
                                    decode, nullptr, nullptr, nullptr);
}

}  // namespace velmora::ado::sqlite
