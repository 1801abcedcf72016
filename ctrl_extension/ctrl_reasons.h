// The reason words of the plug-in: the library's answers it reads back from
// ErrMess and the outputs, and its own refusals of arguments, which it
// writes without calling the library. Scripts compare these texts, so each
// is kept exactly as it has always been written, odd spellings included.
// The library names its words in a header of its internals; the plug-in
// sees the library through ferrule.h alone, so it names the two answers it
// reads here, as ferrule.h documents them.
#pragma once

namespace ferrule::ctrl::reason {

// The library's answers.
inline constexpr char kNoRowsSelected[] = "NO_ROWS_SELECTED";
inline constexpr char kBufferTooSmall[] = "BUFFER_TOO_SMALL";

// Refusals of arguments.
inline constexpr char kWrongInput[] = "Error:wrong input value";
inline constexpr char kNoDeviceType[] = "Error:No Devtype given";
inline constexpr char kNoLinkType[] = "Error:No lktype given";
inline constexpr char kEmptyLinkList[] = "Error:list of link is empty";
inline constexpr char kNoSerial[] = "Error: No serialnb given";

// Refusals of flags that must be 0 or 1.
inline constexpr char kLastRowsFlag[] = "Error:last_rows is 1 or 0";
inline constexpr char kLastRowsFlagEqual[] = "Error:last_rows is equal to 1 or 0";  // link inserts
inline constexpr char kFirstAndLastFlags[] = "Error:last_rows and first time are equal to 1 or 0";
inline constexpr char kLastFlag[] = "Error:last is 1 or 0";
inline constexpr char kFirstFlag[] = "Error:first is 1 or 0";
// The activity switches of devices write theirs without "Error:".
inline constexpr char kLastRowsFlagBare[] = "last_rows is 1 or 0";
inline constexpr char kActiveFlagBare[] = "active is 1 or 0";

}  // namespace ferrule::ctrl::reason
