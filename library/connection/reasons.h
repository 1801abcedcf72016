// The reasons of the failure form "ERROR in <name> : <reason>" that several
// exports give, and the words written into a caller's output in place of a
// value. Callers compare these texts, so each is kept exactly as it has
// always been written: odd blanks, typos and two spellings of one meaning
// stay, on purpose. A reason that names a missing input ("... MUST be
// given") stays with the input it names, in its function's table.
#pragma once

namespace ferrule::reason {

// Shortfall: a buffer or array of the caller is too small for the answer.
inline constexpr char kBufferTooSmall[] = "BUFFER_TOO_SMALL";
inline constexpr char kBufeerTooSmall[] = "BUFEER_TOO_SMALL";  // the routing table's spelling

// Nothing found.
inline constexpr char kNoRowsSelected[] = "NO_ROWS_SELECTED";

// Connection.
inline constexpr char kNotConnected[] = "NOT CONNECTED TO ANY DB";
inline constexpr char kUnknownDatabaseError[] = "UNKNOWN DATABASE ERROR";  // an error without text
inline constexpr char kSubsystemTableEmpty[] = "SUBSYSTEM_TABLE_EMPTY";
// DBConnexion out of time; %d: the seconds it may take.
inline constexpr char kNoAnswerWithin[] = "timeout expired: no answer from the server within %d s";

// Cached batches.
inline constexpr char kNoBatch[] = "CACHE HAS NOT BEEN INITIALIZED";
inline constexpr char kCacheProblem[] = "Cache Problem";
inline constexpr char kCachePb[] = "Cache pb";  // the links' spelling
inline constexpr char kNotAllInserted[] = "COULDNOT_INSERT_ALL_ROWS";
inline constexpr char kRowNotInserted[] = "COULDNOT_INSERT_THIS_ROW";
inline constexpr char kNotAllUpdated[] = "COULDNOT_UPDATE_ALL_ROWS";
inline constexpr char kPathRefreshFailed[] = "PATH_REFRESH_FAILED";  // updatepathused refused

// Allocation.
inline constexpr char kMallocUnsuccessful[] = "Malloc unsuccessful";
inline constexpr char kMallocUnsuccessfulCaps[] = "MALLOC UNSUCCESSFUL";
inline constexpr char kMallocUnsuccessfulWord[] = "MALLOC_UNSUCCESSFUL ";  // with its blank
inline constexpr char kUnsuccessfulMalloc[] = "Unsuccessful malloc";
inline constexpr char kReallocUnsuccessful[] = "REALLOC UNSUCCESSFUL";

// Refused inputs.
inline constexpr char kSystemListNull[] = "systemnameList is null";
// A subsystem list whose product of primes does not fit the stored set.
inline constexpr char kSubsystemSetTooLarge[] = "SUBSYSTEM_SET_TOO_LARGE";
// A composite link type whose number does not fit the stored number.
inline constexpr char kLinkTypeNumberTooLarge[] = "LINK_TYPE_NUMBER_TOO_LARGE";
inline constexpr char kInvalidStatus[] = "INVALID STATUS";
inline constexpr char kInvalidStatusBlank[] = " INVALID STATUS";  // the devices-by-status spelling

}  // namespace ferrule::reason
