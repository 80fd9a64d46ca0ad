// RAII owners of ODBC handles: an environment with its one connection, and statements.
#pragma once

#include <string>
#include <vector>

#include "platform/ado/odbc/odbc_api.hpp"

namespace velmora::ado::odbc {

// One ODBC handle of type `Type`, freed with SQLFreeHandle when the owner goes. Move-only.
template <SQLSMALLINT Type>
class Handle {
 public:
  Handle() = default;
  explicit Handle(SQLHANDLE handle) : handle_(handle) {}
  ~Handle() { reset(); }
  Handle(Handle&& other) noexcept : handle_(other.handle_) { other.handle_ = SQL_NULL_HANDLE; }
  Handle& operator=(Handle&& other) noexcept {
    if (this != &other) {
      reset();
      handle_ = other.handle_;
      other.handle_ = SQL_NULL_HANDLE;
    }
    return *this;
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;

  SQLHANDLE get() const { return handle_; }
  // Where SQLAllocHandle writes the new handle (the owner must be empty).
  SQLHANDLE* out() { return &handle_; }
  void reset() {
    if (handle_ != SQL_NULL_HANDLE) SQLFreeHandle(Type, handle_);
    handle_ = SQL_NULL_HANDLE;
  }

 private:
  SQLHANDLE handle_ = SQL_NULL_HANDLE;
};

using StatementHandle = Handle<SQL_HANDLE_STMT>;

// An ODBC environment (ODBC 3 behaviour) and a connection handle allocated in it, owned by one
// session. Once markConnected() has been called, the destructor disconnects before freeing the
// handles (the connection before the environment it was allocated in).
class Link {
 public:
  // Allocates both handles; a failure is an AutomationError (an out-of-memory driver manager).
  Link();
  ~Link();
  Link(const Link&) = delete;
  Link& operator=(const Link&) = delete;

  SQLHANDLE environment() const { return environment_.get(); }
  SQLHANDLE connection() const { return connection_.get(); }
  void markConnected() { connected_ = true; }

 private:
  Handle<SQL_HANDLE_ENV> environment_;
  Handle<SQL_HANDLE_DBC> connection_;
  bool connected_ = false;
};

// Allocates a statement on the link's connection; a failure is an AutomationError carrying the
// connection's diagnostics (for example a connection the server has dropped), `secrets` removed.
StatementHandle allocateStatement(const Link& link, const std::vector<std::string>& secrets);

}  // namespace velmora::ado::odbc
