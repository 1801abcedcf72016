// Marks the classes that the platform library shares with the plug-in and
// with the program that loads it (everything else stays hidden).
#pragma once

#if defined(__GNUC__)
#define PVSS_API __attribute__((visibility("default")))
#else
#define PVSS_API
#endif
