#include "insert/port_rules.h"

#include <cstring>

namespace ferrule {

std::string ApplyIpRule(const char* ipadd) {
  if (!ipadd || std::strlen(ipadd) < 5 || !std::strchr(ipadd, '.')) return kNoAddress;
  return ipadd;
}

std::string PortTypeKey(const char* port_type) {
  if (!port_type || *port_type == '\0') return "none";
  return port_type;
}

}  // namespace ferrule
