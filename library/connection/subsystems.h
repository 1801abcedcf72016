// Conversions between subsystem names and subsystem sets (products of the
// subsystems' prime ids), against the table loaded at connection, and the
// words of hardware status codes.
#pragma once

#include <cstddef>

namespace ferrule {

// Product of the ids of a comma-separated name list. -1 for a null list, for
// an unknown first name, and for a product that does not fit in an int. An
// unknown name after a known one is skipped; an empty text gives 1.
int SystemNamesToSysID(const char* names);

// The ids of the names as "id,id,...": unknown names are skipped. -1 for a
// null list, or when the text would not fit in size bytes (nothing written).
int SystemNamesToSysIDList(const char* names, char* out, std::size_t size);

// Names of the subsystems whose id divides the value, comma separated, in
// table order; "none" for -1; "ERROR_INVALID_SYSID" (and -1) when none
// divides it or the text would not fit in size bytes.
int SysIDToSystemNames(int value, char* out, std::size_t size);

// Status word of a hardware status code; "INVALID" (and -1) outside 1..7.
int StatusCodeToName(int code, char* out, std::size_t size);

// Room for every subsystem name of a full table, commas included.
constexpr std::size_t kSystemNamesTextSize = 512;

}  // namespace ferrule
