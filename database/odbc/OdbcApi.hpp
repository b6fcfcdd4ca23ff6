#pragma once

// The ODBC API, for the engine's own sources only: nothing outside database/odbc/ sees it.

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

#include <sql.h>
#include <sqlext.h>
#include <sqlucode.h>
