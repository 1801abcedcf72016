// Cached updates of device types and link types: the attributes of device
// types, new names for device types and link types, and the number of a
// link type redefined from the simple link types it is made of. A row whose
// type is not recorded leaves the row not done; the rows that were done are
// committed all the same.
#include "ferrule.h"
#include "reasons.h"
#include "update/update_batch.h"
#include "update/update_caches.h"

namespace ferrule {
namespace {

// A null or "none" description or colour, and -1 inputs or outputs, keep
// the stored value.
const InsertStatement kDeviceTypeAttributesBlock{
    "BEGIN update %(device_types) set "
    "description=CASE coalesce(:descrip,'none') WHEN 'none' THEN description ELSE :descrip END,"
    "nbrofinput=CASE :nbin WHEN -1 THEN nbrofinput ELSE :nbin END,"
    "nbrofoutput=CASE :nbout WHEN -1 THEN nbrofoutput ELSE :nbout END,"
    "rgbcolor=CASE coalesce(:rgbcol,'none') WHEN 'none' THEN rgbcolor ELSE :rgbcol END,"
    "last_update=vexa_sysdate(),user_update='%(login)' where devicetype=:dtype_old; "
    "GET DIAGNOSTICS :numrows = %(row_count); END;",
    {":dtype_old", ":descrip", ":rgbcol"}, {":nbin", ":nbout"}, {}};

// A type's name is its key: a missing new name (null or empty) changes
// nothing and leaves the row not done.
const InsertStatement kDeviceTypeNameBlock{
    "BEGIN update %(device_types) set devicetype=:dtype,"
    "last_update=vexa_sysdate(),user_update='%(login)' "
    "where devicetype=:dtype_old and :dtype is not null; "
    "GET DIAGNOSTICS :numrows = %(row_count); END;",
    {":dtype", ":dtype_old"}, {}, {}};

const InsertStatement kLinkTypeNameBlock{
    "BEGIN update %(link_types) set link_name=:lkname,"
    "last_update=vexa_sysdate(),user_update='%(login)' "
    "where link_name=:oldlkname and :lkname is not null; "
    "GET DIAGNOSTICS :numrows = %(row_count); end;",
    {":oldlkname", ":lkname"}, {}, {}};

// The list 'none' (exactly) makes the type simple: it takes the prime after
// those the simple types hold (counting itself when it is simple already),
// or the first one after it that no type holds or has as a factor, from
// link_type_free_prime. Any other list is read as the inserts read theirs
// (link_type_list_number, database/01_helpers.sql): the number becomes the
// union of the primes of the types it names. A list naming anything that
// is not a numbered link type, or the type itself, or giving a number that
// another type holds (one type alone, the parts of another type), a number
// beyond the stored integer (:toolarge reads 1) and a 'none' with no prime
// left change nothing.
const InsertStatement kCompositeLinkTypeBlock{
    "DECLARE lknb numeric; BEGIN IF :lklist='none' THEN "
    "update %(link_types) set last_update=vexa_sysdate(),user_update='%(login)',"
    "link_nbr=s.prime_nb from (select link_type_free_prime((select count(t.link_nbr)+1 "
    "from %(link_types) t,%(prime_number) g where t.link_nbr=g.prime_nb)) as prime_nb) s "
    "where link_name=:lkname and s.prime_nb is not null; "
    "GET DIAGNOSTICS :numrows = %(row_count); "
    "ELSE "
    "lknb := link_type_list_number(:lklist,:lkname); "
    ":toolarge := 0; IF lknb > 2147483647 THEN :toolarge := 1; lknb := NULL; END IF; "
    "update %(link_types) set last_update=vexa_sysdate(),user_update='%(login)',"
    "link_nbr=lknb where link_name=:lkname and lknb is not null; "
    "GET DIAGNOSTICS :numrows = %(row_count); "
    "END IF; END;",
    {":lkname", ":lklist"}, {}, {":toolarge"}};

const UpdateBatch kDeviceTypeAttributes{
    kDeviceTypeAttributesBlock, "UpdateMultipleDeviceTypeAttributes", reason::kCacheProblem,
    reason::kNotAllUpdated, Incomplete::Commit};
const UpdateBatch kDeviceTypeNames{
    kDeviceTypeNameBlock, "UpdateMultipleDeviceTypes", reason::kCacheProblem,
    reason::kNotAllUpdated, Incomplete::Commit};
// Its texts name it with a lower-case n.
const UpdateBatch kLinkTypeNames{
    kLinkTypeNameBlock, "UpdateMultipleLinkTypenames", reason::kCacheProblem,
    reason::kNotAllUpdated, Incomplete::Commit};
// Its texts keep their historic spelling.
const UpdateBatch kCompositeLinkTypes{
    kCompositeLinkTypeBlock, "UpdateMultipleCompositeLinkTypes", reason::kCacheProblem,
    reason::kNotAllInserted, Incomplete::Commit, nullptr, {},
    "CAHCE HAS NOT BEEN INITIALIZED", kAnyNumrows, false,
    {":toolarge", reason::kLinkTypeNumberTooLarge}};

}  // namespace

int FreeUpdateDeviceTypeAttributesCache() {
  return BatchOf<kDeviceTypeAttributesBlock>().release();
}
int FreeUpdateDeviceTypesCache() { return BatchOf<kDeviceTypeNameBlock>().release(); }
int FreeUpdateLinkTypeNamesCache() { return BatchOf<kLinkTypeNameBlock>().release(); }
int FreeUpdateCompositeLinkTypesCache() { return BatchOf<kCompositeLinkTypeBlock>().release(); }

}  // namespace ferrule

using namespace ferrule;

extern "C" int UpdateMultipleDeviceTypeAttributes(const char* devicetype, const char* description,
                                                  int nbrofinput, int nbrofoutput,
                                                  const char* rgbcolor, int first_time,
                                                  int last_rows, char* ErrMess) {
  return AddUpdateRow(kDeviceTypeAttributes, BatchOf<kDeviceTypeAttributesBlock>(),
                      {{devicetype, description, rgbcolor}, {nbrofinput, nbrofoutput}},
                      first_time, last_rows, ErrMess);
}

extern "C" int UpdateMultipleDeviceTypes(const char* old_devtype, const char* devtype,
                                         int first_time, int last_rows, char* ErrMess) {
  return AddUpdateRow(kDeviceTypeNames, BatchOf<kDeviceTypeNameBlock>(),
                      {{devtype, old_devtype}, {}}, first_time, last_rows, ErrMess);
}

extern "C" int UpdateMultipleLinkTypeNames(const char* oldlink_name, const char* link_name,
                                           int first_time, int last_rows, char* ErrMess) {
  return AddUpdateRow(kLinkTypeNames, BatchOf<kLinkTypeNameBlock>(),
                      {{oldlink_name, link_name}, {}}, first_time, last_rows, ErrMess);
}

extern "C" int UpdateMultipleCompositeLinkTypes(const char* link_name,
                                                const char* simple_linkList, int first_time,
                                                int last_rows, char* ErrMess) {
  return AddUpdateRow(kCompositeLinkTypes, BatchOf<kCompositeLinkTypeBlock>(),
                      {{link_name, simple_linkList}, {}}, first_time, last_rows, ErrMess);
}
