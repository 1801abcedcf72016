// Link types as one row of text each, and the simple types that make up a
// link type as a packed list.
#include "ferrule.h"
#include "list_lookup.h"
#include "row_lookup.h"

namespace ferrule {
namespace {

const RowLookupSpec kLinkTypeByName{
    "GetLkTypeRow_lkname",
    nullptr,
    "select  link_name||'?',link_nbr,linktypeID from %(link_types) where link_name=:ltype",
    {TextColumn(), IntColumn(), IntColumn()},
    "|link_name (C):%s |link_nbr (I):%d |linktypeID (I) :%d |",
};

// Its texts name it with a trailing blank, it asks one byte more than its
// row, and it reports the fetch that finds nothing.
const RowLookupSpec kLinkTypeById = [] {
  RowLookupSpec spec{
      "GetLkTypeRow_lknb",
      "GetLkTypeRow_lknb ",
      "select link_name||'?',link_nbr,linktypeID from %(link_types) where linktypeID=:ltype",
      {TextColumn(), IntColumn(), IntColumn()},
      "|link_name (C):%s |link_nbr (I):%d |linktypeID (I):%d |",
      NoRowsForm::HybridWithStatus,
  };
  spec.fetch_label = "OCIFETCH unsuccessful\n";
  spec.final_success_name = "GetLkTypeRow_lknb ";
  spec.length.extra = 1;
  return spec;
}();

// The prime-numbered types that divide the type's number, the type itself
// left out.
const ListLookupSpec kLinkTypeDecomposition{
    "GetLkTypeDecomposition_lknb",
    "select e.link_name||'|'||e.linktypeid||'?' from %(link_types) t, %(link_types) e,"
    "%(prime_number) f where vexa_mod(t.link_nbr,e.link_nbr)=0 and e.link_nbr!=t.link_nbr "
    "and e.link_nbr=f.prime_nb and t.linktypeID=:ltype",
    '?', {NoRowsForm::HybridWithStatus, "OCIFETCH unsuccessful"}, RowsTaken::CompleteOnly, 50};

}  // namespace
}  // namespace ferrule

using namespace ferrule;

extern "C" int GetLkTypeRow_lkname(const char* lktype_name, int* len_lktype, char* LkType_row,
                                   char* ErrMess) {
  return RunRowLookup(kLinkTypeByName,
                      {KeyBind::Text(":ltype", lktype_name, " lktype_name MUST be given")},
                      len_lktype, LkType_row, ErrMess);
}

extern "C" int GetLkTypeRow_lknb(int lktype_nb, int* len_lktype, char* LkType_row,
                                 char* ErrMess) {
  return RunRowLookup(kLinkTypeById, {KeyBind::Int(":ltype", lktype_nb)}, len_lktype, LkType_row,
                      ErrMess);
}

extern "C" int GetLkTypeDecomposition_lknb(int lktype_nb, int* len_array, char* lktype_list,
                                           char* ErrMess) {
  return RunListLookup(kLinkTypeDecomposition, {KeyBind::Int(":ltype", lktype_nb)}, len_array,
                       lktype_list, ErrMess);
}
