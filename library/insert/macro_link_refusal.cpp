#include "insert/macro_link_refusal.h"

#include <cstring>

#include "report.h"
#include "value_lookup.h"

namespace ferrule {
namespace {

enum MissingPart { kNone = 0, kFromPort = 1, kToPort = 2, kLinkType = 3 };

// The ports and the link type found as the insert block finds them.
const IdValueSpec kMissingPartLookup{
    "InsertMacroLink",
    "select case when not exists (select 1 from %(port_properties) f,%(devices) l "
    "where f.deviceid=l.deviceid and l.devicename=:nfrom and f.port_nbr=:portnbfrom "
    "and f.port_way=2 and coalesce(f.port_type,'none')=:ptypefrom) then 1 "
    "when not exists (select 1 from %(port_properties) g,%(devices) m "
    "where g.deviceid=m.deviceid and m.devicename=:nto and g.port_nbr=:portnbto "
    "and g.port_way=1 and coalesce(g.port_type,'none')=:ptypeto) then 2 "
    "when not exists (select 1 from %(link_types) s where s.link_name=:lktype) then 3 "
    "else 0 end",
    {NoRowsForm::Common},
    /*no_rows_writes_minus_one=*/false};

std::string Shown(const char* text) { return text ? text : "NULL"; }

std::string PortNotFound(const char* end, const char* device, const char* port,
                         const std::string& type, int way) {
  return std::string(end) + " PORT NOT FOUND: device " + Shown(device) + ", port " + Shown(port) +
         ", type " + type + ", way " + std::to_string(way);
}

}  // namespace

bool AnsweredWith(const char* name, const char* reason, const char* ErrMess) {
  if (!ErrMess) return false;
  char expected[kErrMessMax];
  ReportFailure(name, reason, expected);
  return std::strcmp(ErrMess, expected) == 0;
}

std::string MissingMacroLinkPart(const MacroLinkParts& link) {
  // The lookup's own ErrMess is not the caller's: the refusal stays as it
  // was when the question fails.
  char err[kErrMessMax] = "";
  int missing = kNone;
  const int result = RunIdValueLookup(
      kMissingPartLookup,
      {KeyBind::Text(":nfrom", link.node_from, nullptr),
       KeyBind::Text(":portnbfrom", link.port_from, nullptr),
       KeyBind::Text(":ptypefrom", link.type_from.c_str(), nullptr),
       KeyBind::Text(":nto", link.node_to, nullptr),
       KeyBind::Text(":portnbto", link.port_to, nullptr),
       KeyBind::Text(":ptypeto", link.type_to.c_str(), nullptr),
       KeyBind::Text(":lktype", link.link_type, nullptr)},
      &missing, err);
  if (result != 0) return {};
  switch (missing) {
    case kFromPort:
      return PortNotFound("FROM", link.node_from, link.port_from, link.type_from, 2);
    case kToPort:
      return PortNotFound("TO", link.node_to, link.port_to, link.type_to, 1);
    case kLinkType:
      return "LINK TYPE NOT FOUND: " + Shown(link.link_type);
    default:
      return {};
  }
}

}  // namespace ferrule
