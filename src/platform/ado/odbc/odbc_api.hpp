// The ODBC API headers. Windows' declare their types with the system's, which <windows.h>
// brings (without min/max macros, which would break std::min and std::max); unixODBC's need
// nothing before them.
#pragma once

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#endif

#include <sql.h>
#include <sqlext.h>
