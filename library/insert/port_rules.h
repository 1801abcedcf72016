// How port inputs are normalised before they are cached or bound.
#pragma once

#include <string>

namespace ferrule {

// The no-address value: a port whose address text contains it has none.
inline constexpr const char* kNoAddress = "none";

// A null address, one shorter than 5 characters or one without a '.' has no
// address ("none"); any other is kept whole, whatever its length.
std::string ApplyIpRule(const char* ipadd);

// A null or empty port type is the type "none", under which a port without
// a type is matched; any other is kept whole.
std::string PortTypeKey(const char* port_type);

}  // namespace ferrule
