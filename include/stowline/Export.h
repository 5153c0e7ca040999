#pragma once

// Marks the symbols that hosts link against.
#if defined(STOWLINE_BUILDING_LIBRARY)
#define STOWLINE_EXPORT __attribute__((visibility("default")))
#else
#define STOWLINE_EXPORT
#endif
