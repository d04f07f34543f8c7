// <windows.h> as every Windows part of the program includes it.
#pragma once

// <windows.h> without the min/max macros (they break std::min) and without the
// rarely used parts that slow every build down.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
