// Cached updates of IP addresses: the subnet and name recorded for an
// address, and the replacement of an address by another through the server
// package, which the ports holding the address follow. An address that is
// not changed leaves its row not done; the rows that were done are
// committed all the same.
#include "ferrule.h"
#include "reasons.h"
#include "update/update_batch.h"
#include "update/update_caches.h"

namespace ferrule {
namespace {

// A null or "none" subnet or name keeps the stored value. The table records
// the last updater as author.
const InsertStatement kAttributesBlock{
    "BEGIN  update %(ipinfo) set "
    "subnet_info=CASE coalesce(:submask,'none') WHEN 'none' THEN subnet_info ELSE :submask END,"
    "ipname=CASE coalesce(:ipname,'none') WHEN 'none' THEN ipname ELSE :ipname END,"
    "LAST_UPDATE=vexa_sysdate(),author='%(login)' where ipaddress=:ipadd; "
    "GET DIAGNOSTICS :numrows = %(row_count); end; ",
    {":ipadd", ":submask", ":ipname"}, {}, {}};

// :numrows1 is the server's count of addresses replaced: a row is done when
// it is exactly 1.
const InsertStatement kReplaceBlock{
    "BEGIN :numrows1 := %(update_ip_address)(:old_ip,:ipadd,'%(login)');  "
    "GET DIAGNOSTICS :numrows = %(row_count); end; ",
    {":ipadd", ":old_ip"}, {}, {":numrows1"}};

const UpdateBatch kAttributes{
    kAttributesBlock, "UpdateMultipleAttributeMacIPs", reason::kCacheProblem,
    reason::kNotAllUpdated, Incomplete::Commit};
const UpdateBatch kReplace{
    kReplaceBlock, "UpdateMultipleIPAddresses", reason::kCacheProblem,
    reason::kNotAllUpdated, Incomplete::Commit, nullptr, {}, reason::kNoBatch,
    {":numrows1", 1 /*exactly*/}};

}  // namespace

int FreeUpdateAttributeMacIPsCache() { return BatchOf<kAttributesBlock>().release(); }
int FreeUpdateIPAddressesCache() { return BatchOf<kReplaceBlock>().release(); }

}  // namespace ferrule

using namespace ferrule;

extern "C" int UpdateMultipleAttributeMacIPs(const char* ipadd, const char* subnet_mask,
                                             const char* ipname, int first_time, int last_rows,
                                             char* ErrMess) {
  return AddUpdateRow(kAttributes, BatchOf<kAttributesBlock>(),
                      {{ipadd, subnet_mask, ipname}, {}}, first_time, last_rows, ErrMess);
}

extern "C" int UpdateMultipleIPAddresses(const char* ipadd, const char* old_ipadd,
                                         int first_time, int last_rows, char* ErrMess) {
  return AddUpdateRow(kReplace, BatchOf<kReplaceBlock>(), {{ipadd, old_ipadd}, {}}, first_time,
                      last_rows, ErrMess);
}
