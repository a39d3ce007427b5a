#pragma once
// Platform details of the SDK boundary: calling convention, export attribute, text unit.

#include <cstdint>

#if defined(_WIN32) && !defined(_WIN64)
#define VELA_API __stdcall
#else
#define VELA_API
#endif

#if defined(_WIN32)
#define VELA_EXPORT_ATTR __declspec(dllexport)
#else
#define VELA_EXPORT_ATTR __attribute__((visibility("default")))
#endif

// SDK text is UTF-16: wchar_t on Windows (16 bits there), char16_t elsewhere.
#if defined(_WIN32)
using VelaChar = wchar_t;
#else
using VelaChar = char16_t;
#endif
static_assert(sizeof(VelaChar) == 2, "SDK text is UTF-16");

using VelaHandle = std::int32_t;  // connection handle; 0 = none
using VelaResult = std::int32_t;  // 0 = success
