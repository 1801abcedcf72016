// Conversions between subsystem names and subsystem sets (products of the
// subsystems' prime ids), against the table loaded at connection, and the
// words of hardware status codes.
#pragma once

#include <cstddef>

#include "session.h"

namespace ferrule {

// A comma-separated list of subsystem names is read two ways. A write
// stores the set its list names, so each name must be in the table. A
// lookup or selection reads it as it always has: the first name must be
// known, later unknown names are skipped.

// The set a write stores: the product of the ids of the list's names. -1
// for a null list, for a list with a name that is not in the table anywhere
// (an empty one between commas too), and for a product that does not fit in
// an int. A trailing comma ends the list; an empty text gives 1.
int SystemNamesToStoredSysID(const char* names);

// The set a list selects: as above, but an unknown name after a known one
// is skipped. An unknown first name gives -1, which divides every set.
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
constexpr std::size_t kSystemNamesTextSize = kSubsystemSlots * (kSubsystemNameBytes + 1);

}  // namespace ferrule
