#pragma once

// The engine has no Qt at all, so the export macro is spelled out for the compilers we build with.
#if defined(_WIN32)
#if defined(VKMEDIA_LIBRARY)
#define VKMEDIA_EXPORT __declspec(dllexport)
#else
#define VKMEDIA_EXPORT __declspec(dllimport)
#endif
#else
#define VKMEDIA_EXPORT __attribute__((visibility("default")))
#endif
