// Deletion of a link, or of a port of a functional device together with the
// link at the port and the matching port of the device's hardware. The
// server package removes the stored paths that used a deleted link between
// devices; when it fails, the whole deletion is rolled back.
#include "block_call.h"
#include "ferrule.h"
#include "insert/caller_identity.h"
#include "statement_text.h"

namespace ferrule {
namespace {

// :numrows becomes 0 when no single link was deleted; :rescode is the path
// removal's answer (0 when done).
const char* const kDeleteMacroLink =
    "DECLARE deleted integer; begin "
    "delete from %(macro_connectivity) where linkid=:lkid "
    "returning portidfrom,portidto into :pfrom,:pto; "
    "GET DIAGNOSTICS deleted = %(row_count); "
    "if deleted=1 then :rescode := %(delete_links_in_paths)(:pfrom,:pto); "
    "else :numrows := 0; end if; end;";

// Links inside a board have no stored paths.
const char* const kDeleteMicroLink =
    "DECLARE deleted integer; begin "
    "delete from %(micro_connectivity) where linkid=:lkid "
    "returning cpntidfrom,cpntidto into :pfrom,:pto; "
    "GET DIAGNOSTICS deleted = %(row_count); "
    "if deleted=1 then :rescode := 0; else :numrows := 0; end if; end;";

// The link at the port (and its paths), then the port, then the port of the
// hardware mounted in the port's device with the same number, way and type.
// :numrows becomes 0 when no single link was deleted, :numrows_bis when no
// port was.
const char* const kDeletePort =
    "DECLARE deleted integer; begin "
    "delete from %(macro_connectivity) where portidfrom=:pid or portidto=:pid "
    "returning portidfrom,portidto into :pfrom,:pto; "
    "GET DIAGNOSTICS deleted = %(row_count); "
    "if deleted=1 then :rescode := %(delete_links_in_paths)(:pfrom,:pto); "
    "else :numrows := 0; end if; "
    "delete from %(port_properties) where portid=:pid "
    "returning coalesce(port_type,'none'),port_nbr,port_way,deviceid "
    "into :ptype,:pnb,:pway,:devid; "
    "GET DIAGNOSTICS deleted = %(row_count); "
    "if deleted=1 then delete from %(hwport_properties) where port_nbr=:pnb and port_way=:pway "
    "and coalesce(port_type,'none')=:ptype "
    "and serialnb=(select serialnb from %(devices) where deviceid=:devid); "
    "else :numrows_bis := 0; end if; end;";

// Room for a port's number or type: 100 characters and a NUL.
constexpr std::size_t kPortTextSize = 101;

// What the two deletions share before their block runs: the caller identity
// (obtained, though not written) and the statement.
bool open_deletion(const char* name, StatementHandle& stmt, char* ErrMess) {
  CallerIdentity identity;
  if (!ReadCallerIdentity(identity, ErrMess)) return false;
  return AllocateStatement(stmt, name, "OCIHandleAlloc unsuccessful", ErrMess);
}

}  // namespace
}  // namespace ferrule

using namespace ferrule;

extern "C" int DeleteLinkRow(int linkid, int macro_link, char* ErrMess) {
  const char* name = "DeleteLinkRow";
  StatementHandle stmt;
  if (!open_deletion(name, stmt, ErrMess)) return -1;
  int pfrom = 0, pto = 0, rescode = -1, numrows = 1;
  std::vector<BlockStep> steps{
      {ExpandTemplate(macro_link == 1 ? kDeleteMacroLink : kDeleteMicroLink),
       {BlockBind::Int(":lkid", linkid), BlockBind::Int(":pfrom", pfrom),
        BlockBind::Int(":pto", pto), BlockBind::Int(":rescode", rescode),
        BlockBind::Int(":numrows", numrows)},
       &kCallNameLabels,
       [&] {
         // Nothing was deleted: committed, whatever the commit answers.
         if (numrows == 0) return BlockVerdict{BlockEnd::CommitAndRefuse, "LINKID DOESN'T EXIST"};
         if (rescode != 0) return BlockVerdict{BlockEnd::Rollback, "ERROR in deleting paths"};
         return BlockVerdict{};
       }}};
  return RunBlockCall(name, stmt, steps, ErrMess);
}

extern "C" int DeletePortRow(int portid, char* ErrMess) {
  const char* name = "DeletePortRow";
  StatementHandle stmt;
  if (!open_deletion(name, stmt, ErrMess)) return -1;
  int pfrom = 0, pto = 0, rescode = -1, numrows = 1, numrows_bis = 1, devid = 0, pway = 0;
  std::vector<char> ptype(kPortTextSize, '\0');
  std::vector<char> pnb(kPortTextSize, '\0');
  std::vector<BlockStep> steps{
      {ExpandTemplate(kDeletePort),
       {BlockBind::Int(":pid", portid), BlockBind::Int(":pfrom", pfrom),
        BlockBind::Int(":pto", pto), BlockBind::Int(":rescode", rescode),
        BlockBind::Int(":numrows", numrows), BlockBind::Int(":devid", devid),
        BlockBind::Int(":pway", pway), BlockBind::Buffer(":ptype", ptype),
        BlockBind::Buffer(":pnb", pnb), BlockBind::Int(":numrows_bis", numrows_bis)},
       &kCallNameLabels,
       [&] {
         // No port was deleted: committed, whatever the commit answers.
         if (numrows_bis == 0)
           return BlockVerdict{BlockEnd::CommitAndRefuse, "PORTID DOESN'T EXIST"};
         if (numrows != 0 && rescode != 0)
           return BlockVerdict{BlockEnd::Rollback, "ERROR in deleting port: couldn't delete paths"};
         if (numrows == 0) return BlockVerdict{BlockEnd::Commit, nullptr, " but no link was deleted"};
         return BlockVerdict{};
       }}};
  return RunBlockCall(name, stmt, steps, ErrMess);
}
