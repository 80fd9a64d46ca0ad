// The ODBC API headers. Windows' declare their types with the system's, which <windows.h>
// brings (without min/max macros, which would break std::min and std::max); unixODBC's need
// nothing before them.
#pragma once

#include "platform/windows.hpp"  // first: Windows' ODBC headers need its types

#include <sql.h>
#include <sqlext.h>
