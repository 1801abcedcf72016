// Link types, one per call or in cached batches. The database numbers them:
// a simple type takes the next prime, a composite type the product of the
// primes of the types it lists, each prime once.
#include "ferrule.h"
#include "insert/batch_protocol.h"
#include "insert/cache_release.h"
#include "insert/single_row.h"
#include "reasons.h"
#include "report.h"

namespace ferrule {
namespace {

// The prime at the position after the count of numbered types, composite
// ones included (so a composite type uses up a position, whose prime is
// passed over), or the first prime after it when that one is held or
// divides a stored number: link_type_free_prime (database/01_helpers.sql)
// gives it, taking turns with other sessions. Each row of a batch sees the
// rows before it. No prime left: nothing inserted.
const InsertStatement kSimpleLinkTypeInsert{
    "BEGIN insert into %(link_types)(linktypeID,link_name,link_nbr,author,user_update,"
    "terminal_name) select %(next_linktypeid),:lkname,prime_nb,'%(login)','%(login)','%(host)' "
    "from (select link_type_free_prime((select count(link_nbr)+1 from %(link_types))) "
    "as prime_nb) s where prime_nb is not null; "
    "GET DIAGNOSTICS :numrows = %(row_count); END;",
    {":lkname"},
    {},
    {}};

// The number of the types the comma-separated list names: the union of
// their primes, each name written bare (A,B) or, as the control-script
// functions send it, between single quotes with a quote inside doubled
// ('A','it''s'), as link_type_list_number (database/01_helpers.sql) reads
// it. A list naming anything that is not a numbered link type (an empty
// name, a name with a blank beside its comma), or the type itself, or
// giving a number that another type holds (one type alone, the parts of
// another type) inserts nothing. Nor does a number beyond the stored
// integer, for which :toolarge reads 1: the row's own reason. (Dropped
// before the insert: a statement given that number would fail whole.)
const InsertStatement kCompositeLinkTypeInsert{
    "DECLARE lknb numeric; BEGIN lknb := link_type_list_number(:lklist,:lkname); "
    ":toolarge := 0; IF lknb > 2147483647 THEN :toolarge := 1; lknb := NULL; END IF; "
    "insert into %(link_types) (linktypeID,link_name,link_nbr,author,user_update,"
    "terminal_name) select %(next_linktypeid),:lkname,lknb,'%(login)','%(login)','%(host)' "
    "where lknb is not null; "
    "GET DIAGNOSTICS :numrows = %(row_count); END;",
    {":lkname", ":lklist"},
    {},
    {":toolarge"}};

constexpr RowReason kNumberTooLarge{":toolarge", reason::kLinkTypeNumberTooLarge};

constexpr const char* kNameMissing = "Link name can't be null";

// Cached rows go to the database as they are, null names included.
const BatchExport kSimpleBatch{
    kSimpleLinkTypeInsert,
    {"InsertMultipleSimpleLinkTypes", reason::kNotAllInserted, true},
    reason::kCacheProblem,
    {}};

// The composite forms' policy: a row whose number is too large says so.
SendPolicy CompositePolicy(const char* name, const char* not_inserted, bool commit_others) {
  SendPolicy policy{name, not_inserted, commit_others};
  policy.own_reason = kNumberTooLarge;
  return policy;
}

const BatchExport kCompositeBatch{
    kCompositeLinkTypeInsert,
    CompositePolicy("InsertMultipleCompositeLinkTypes", reason::kNotAllInserted, true),
    reason::kCacheProblem,
    {}};

// A single row that inserted nothing is refused and undone.
const SingleExport kSimpleSingle{kSimpleLinkTypeInsert,
                                 {"InsertSimpleLinkType", reason::kRowNotInserted, false},
                                 kNameMissing};
const SingleExport kCompositeSingle{
    kCompositeLinkTypeInsert,
    CompositePolicy("InsertCompositeLinkType", reason::kRowNotInserted, false),
    kNameMissing};

RowCache& SimpleLinkTypeCache() {
  static RowCache cache(kSimpleLinkTypeInsert.text_binds.size(), 0);
  return cache;
}

RowCache& CompositeLinkTypeCache() {
  static RowCache cache(kCompositeLinkTypeInsert.text_binds.size(), 0);
  return cache;
}

// The check (a name must be given) refuses only the single rows.
RowValues SimpleLinkTypeRow(const char* lkname) { return RowValues{{lkname}, {}, !lkname}; }

RowValues CompositeLinkTypeRow(const char* lkname, const char* lklist) {
  return RowValues{{lkname, lklist}, {}, !lkname};
}

}  // namespace

int FreeInsertSimpleLinkTypesCache() { return SimpleLinkTypeCache().release(); }
int FreeInsertCompositeLinkTypesCache() { return CompositeLinkTypeCache().release(); }

}  // namespace ferrule

using namespace ferrule;

extern "C" int InsertMultipleSimpleLinkTypes(const char* lkname, int first_time, int last_rows,
                                             char* ErrMess) {
  return AddBatchRow(kSimpleBatch, SimpleLinkTypeCache(), SimpleLinkTypeRow(lkname), first_time,
                     last_rows, ErrMess);
}

extern "C" int InsertMultipleCompositeLinkTypes(const char* lkname, const char* lklist,
                                                int first_time, int last_rows, char* ErrMess) {
  return AddBatchRow(kCompositeBatch, CompositeLinkTypeCache(),
                     CompositeLinkTypeRow(lkname, lklist), first_time, last_rows, ErrMess);
}

extern "C" int InsertSimpleLinkType(const char* lkname, int last_rows, char* ErrMess) {
  return InsertSingleRow(kSimpleSingle, SimpleLinkTypeRow(lkname), true, ErrMess);
}

extern "C" int InsertCompositeLinkType(const char* lkname, const char* lklist, int last_rows,
                                       char* ErrMess) {
  if (lkname && !lklist) {
    ReportFailure(kCompositeSingle.send.name, "simple_lk_list can't be null", ErrMess);
    return -1;
  }
  return InsertSingleRow(kCompositeSingle, CompositeLinkTypeRow(lkname, lklist), true, ErrMess);
}
