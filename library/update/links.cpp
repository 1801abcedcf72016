// Cached updates of one attribute of links between devices: the
// bidirectional flag, the usage flag, the link type and the link
// information. A row names the link by one of its ends: by its from end
// (device, port number and type of a port_way 2 port) when node_to is null
// or "none" in any case, else by its to end (port_way 1) when node_from is;
// with both devices named the row changes nothing.
#include <cstring>
#include <string>

#include "ferrule.h"
#include "insert/follow_up_block.h"
#include "reasons.h"
#include "update/update_batch.h"
#include "update/update_caches.h"

namespace ferrule {
namespace {

const std::vector<const char*> kLinkEnds{":nfrom", ":nto", ":pfrom", ":pto", ":ptypefrom",
                                         ":ptypeto"};

// The texts of a link's ends, then the text of the attribute.
std::vector<const char*> LinkEndsAnd(const char* attribute) {
  std::vector<const char*> binds = kLinkEnds;
  binds.push_back(attribute);
  return binds;
}

// How a block finds the link by its from end (a port_way 2 port) and by its
// to end (a port_way 1 port). The two forms find the same ports; each
// export keeps the text it has always sent.
struct LinkEndConditions {
  const char* from;
  const char* to;
};

const LinkEndConditions kEndsByPortE{
    "portidfrom=(select e.portid from %(port_properties) e,%(devices) l "
    "where l.deviceid=e.deviceid and l.devicename=:nfrom and e.port_nbr=:pfrom "
    "and coalesce(e.port_type,'none')=:ptypefrom and e.port_way=2)",
    "portidto=(select e.portid from %(port_properties) e,%(devices) l "
    "where l.devicename=:nto and l.deviceid=e.deviceid and e.port_way=1 "
    "and coalesce(e.port_type,'none')=:ptypeto and e.port_nbr=:pto)"};

const LinkEndConditions kEndsByPortKL{
    "portIDfrom=(select k.portid from %(port_properties) k,%(devices) g "
    "where g.devicename=:nfrom and g.deviceid=k.deviceid and k.port_nbr=:pfrom "
    "and k.port_way=2 and coalesce(k.port_type,'none')=:ptypefrom)",
    "portIDto=(select l.portid from %(port_properties) l,%(devices) e "
    "where e.devicename=:nto and e.deviceid=l.deviceid and l.port_nbr=:pto "
    "and l.port_way=1 and coalesce(l.port_type,'none')=:ptypeto)"};

// The block of one attribute: `set_from` changes the link found by its from
// end when node_to is not given, `set_to` the link found by its to end when
// node_from is not. :numrows counts the links changed.
std::string LinkUpdateBlock(const char* set_from, const char* set_to,
                            const LinkEndConditions& ends) {
  const std::string stamp = ",last_update=vexa_sysdate(),user_update='%(login)' where ";
  return std::string("BEGIN IF lower(coalesce(:nto,'none'))='none' THEN "
                     "update %(macro_connectivity) set ") +
         set_from + stamp + ends.from + "; GET DIAGNOSTICS :numrows = %(row_count); "
         "ELSIF lower(coalesce(:nfrom,'none'))='none' THEN "
         "update %(macro_connectivity) set " +
         set_to + stamp + ends.to + "; GET DIAGNOSTICS :numrows = %(row_count); END IF; END;";
}

const std::string kBidirectionalText = LinkUpdateBlock(
    "bidirectional_link_used=:biused", "bidirectional_link_used=:biused", kEndsByPortE);
const InsertStatement kBidirectionalBlock{kBidirectionalText.c_str(), kLinkEnds, {":biused"}, {}};

const std::string kLkUsedText = LinkUpdateBlock("lkused=:lkused", "lkused=:lkused", kEndsByPortE);
const InsertStatement kLkUsedBlock{kLkUsedText.c_str(), kLinkEnds, {":lkused"}, {}};

// A link type name that is not recorded stores -1 when the link is found by
// its from end, NULL when it is found by its to end; the row counts as done.
const std::string kLkTypeText = LinkUpdateBlock(
    "link_type=coalesce((select p.linktypeid from %(link_types) p where p.link_name=:lkname),-1)",
    "link_type=(select f.linktypeID from %(link_types) f where f.link_name=:lkname)",
    kEndsByPortKL);
const InsertStatement kLkTypeBlock{kLkTypeText.c_str(), LinkEndsAnd(":lkname"), {}, {}};

const std::string kLkInfoText =
    LinkUpdateBlock("link_info=:lkinfo", "link_info=:lkinfo", kEndsByPortKL);
const InsertStatement kLkInfoBlock{kLkInfoText.c_str(), LinkEndsAnd(":lkinfo"), {}, {}};

const UpdateBatch kBidirectional{
    kBidirectionalBlock, "UpdateMultipleBidirectionalLinks", reason::kCachePb,
    reason::kNotAllInserted, Incomplete::Commit, &kRefreshDynamicTables};
const UpdateBatch kLkUsed{
    kLkUsedBlock, "UpdateMultipleLkUsedLinks", reason::kCachePb,
    reason::kNotAllInserted, Incomplete::Commit, &kRefreshPathsUsed};
const UpdateBatch kLkType{
    kLkTypeBlock, "UpdateMultipleLkTypeLinks", reason::kCachePb,
    reason::kNotAllUpdated, Incomplete::Commit, &kRefreshDynamicTables};
const UpdateBatch kLkInfo{
    kLkInfoBlock, "UpdateMultipleLkInfoLinks", reason::kCachePb,
    reason::kNotAllUpdated, Incomplete::Commit};

// A null port type, or one shorter than 2 characters, is the type "none",
// under which a port without a type is found. Kept whole otherwise: a
// longer type than any stored one finds no port, and its row is not done.
std::string LinkPortType(const char* port_type) {
  if (!port_type || std::strlen(port_type) < 2) return "none";
  return port_type;
}

// The six texts that name a link by one of its ends, with the port types
// after the "none" rule.
struct LinkEnd {
  LinkEnd(const char* node_from_, const char* node_to_, const char* portnb_from_,
          const char* portnb_to_, const char* portype_from, const char* portype_to)
      : node_from(node_from_), node_to(node_to_), portnb_from(portnb_from_),
        portnb_to(portnb_to_), type_from(LinkPortType(portype_from)),
        type_to(LinkPortType(portype_to)) {}

  RowValues with(int value) const { return {texts(), {value}}; }
  RowValues with(const char* text) const {
    std::vector<const char*> all = texts();
    all.push_back(text);
    return {all, {}};
  }

 private:
  std::vector<const char*> texts() const {
    return {node_from, node_to, portnb_from, portnb_to, type_from.c_str(), type_to.c_str()};
  }
  const char* node_from;
  const char* node_to;
  const char* portnb_from;
  const char* portnb_to;
  std::string type_from;
  std::string type_to;
};

}  // namespace

int FreeUpdateBidirectionalLinksCache() { return BatchOf<kBidirectionalBlock>().release(); }
int FreeUpdateLkUsedLinksCache() { return BatchOf<kLkUsedBlock>().release(); }
int FreeUpdateLkTypeLinksCache() { return BatchOf<kLkTypeBlock>().release(); }
int FreeUpdateLkInfoLinksCache() { return BatchOf<kLkInfoBlock>().release(); }

}  // namespace ferrule

using namespace ferrule;

extern "C" int UpdateMultipleBidirectionalLinks(const char* node_from, const char* node_to,
                                                const char* portnb_from, const char* portnb_to,
                                                const char* portype_from, const char* portype_to,
                                                int bidirectional_link, int first_rows,
                                                int last_rows, char* ErrMess) {
  const LinkEnd link(node_from, node_to, portnb_from, portnb_to, portype_from, portype_to);
  return AddUpdateRow(kBidirectional, BatchOf<kBidirectionalBlock>(),
                      link.with(bidirectional_link), first_rows, last_rows, ErrMess);
}

extern "C" int UpdateMultipleLkUsedLinks(const char* node_from, const char* node_to,
                                         const char* portnb_from, const char* portnb_to,
                                         const char* portype_from, const char* portype_to,
                                         int lkused, int first_rows, int last_rows,
                                         char* ErrMess) {
  const LinkEnd link(node_from, node_to, portnb_from, portnb_to, portype_from, portype_to);
  return AddUpdateRow(kLkUsed, BatchOf<kLkUsedBlock>(), link.with(lkused), first_rows, last_rows,
                      ErrMess);
}

extern "C" int UpdateMultipleLkTypeLinks(const char* node_from, const char* node_to,
                                         const char* portnb_from, const char* portnb_to,
                                         const char* portype_from, const char* portype_to,
                                         const char* link_type, int first_rows, int last_rows,
                                         char* ErrMess) {
  const LinkEnd link(node_from, node_to, portnb_from, portnb_to, portype_from, portype_to);
  return AddUpdateRow(kLkType, BatchOf<kLkTypeBlock>(), link.with(link_type), first_rows,
                      last_rows, ErrMess);
}

extern "C" int UpdateMultipleLkInfoLinks(const char* node_from, const char* node_to,
                                         const char* portnb_from, const char* portnb_to,
                                         const char* portype_from, const char* portype_to,
                                         const char* link_info, int first_rows, int last_rows,
                                         char* ErrMess) {
  const LinkEnd link(node_from, node_to, portnb_from, portnb_to, portype_from, portype_to);
  return AddUpdateRow(kLkInfo, BatchOf<kLkInfoBlock>(), link.with(link_info), first_rows,
                      last_rows, ErrMess);
}
