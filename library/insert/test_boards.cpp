// Test boards: one call records the board (a functional device made by the
// server procedure InsertTestBoard) and all its ports with their IP
// addresses, and commits. The ports come as parallel lists: five packed
// lists of texts, each with its size in bytes, and an array of port ways.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "diagnostics.h"
#include "ferrule.h"
#include "insert/row_send.h"
#include "reasons.h"
#include "report.h"
#include "session.h"

namespace ferrule {
namespace {

constexpr const char* kName = "InsertTestFunctionalDevice";
// What the board's block answers when it did not run to its end.
constexpr int kNoAnswer = -1000;

// The board's device row; rescode 0 and devid its deviceid, or rescode an
// error number. Bound by hand: its outputs are single ints.
const InsertStatement kBoardBlock{
    "BEGIN CALL %(insert_test_board)(:location,'%(login)','%(host)',:rescode,:devid); END;",
    {},
    {},
    {}};

// One IP row and one port row per port; the port takes its id from the
// device sequence. :numrows counts the port rows.
const InsertStatement kTestBoardPortInsert{
    "BEGIN insert into %(ipinfo) (ipaddress,subnet_info,ipname,terminal_name,author,created) "
    "values(:ipadd,:subnet,:ipname,'%(host)','%(login)',vexa_sysdate()); "
    "insert into %(port_properties) (portid,deviceid,port_nbr,port_way,port_type,ipaddress,"
    "author,terminal_name) "
    "values (%(next_deviceid),:devid,:ptnb,:ptway,:ptype,:ipadd,'%(login)','%(host)'); "
    "GET DIAGNOSTICS :numrows = %(row_count); END;",
    {":ipadd", ":ipname", ":subnet", ":ptnb", ":ptype"},
    {":ptway", ":devid"},
    {}};

void TraceSend(const RowCache& cache, const std::vector<std::vector<char>>&) {
  PrintLine("before binding%d", std::max(cache.texts.front().longest, 1));
}

// A port that inserts nothing, or fails, undoes the whole call, board
// included: the send goes back to where the call began.
const SendPolicy kPortsPolicy{kName, reason::kRowNotInserted, false, nullptr, TraceSend};

// The items of a caller's packed list, one after another, each ended by a
// NUL. Nothing is read at or past the size the caller gives: an item that
// the size cuts ends there, and a port beyond the last item gets none.
class PackedItems {
 public:
  PackedItems(const char* list, int size) : list_(list), size_(list && size > 0 ? size : 0) {}

  // The next item into `item`; false (a null value) when the list has none.
  bool next(std::string& item) {
    if (offset_ >= size_) return false;
    const char* start = list_ + offset_;
    const std::size_t room = static_cast<std::size_t>(size_ - offset_);
    const void* nul = std::memchr(start, '\0', room);
    const std::size_t length = nul ? static_cast<const char*>(nul) - start : room;
    item.assign(start, length);
    offset_ += static_cast<int>(length) + 1;
    return true;
  }

 private:
  const char* list_;
  int size_;
  int offset_ = 0;
};

// Marks where the call begins and runs the board's block; the answer stays
// kNoAnswer when it failed.
void InsertBoard(const char* location, const CallerIdentity& identity, int& rescode, int& devid,
                 StatementHandle& stmt, CallSavepoint& call_start) {
  Session& s = session();
  StepChain chain(s.errhp);
  const std::string text = kBoardBlock.format(identity);
  // A null location goes as NULL through its indicator.
  const char* location_text = location ? location : "";
  const sb4 location_size = static_cast<sb4>(std::strlen(location_text) + 1);
  sb2 location_indicator = static_cast<sb2>(NullIndicator(location));
  chain.run("OCIStmtPrepare unsuccessful", [&] { return PrepareText(stmt.get(), s.errhp, text); });
  const struct {
    const char* name;
    void* value;
    sb4 size;
    ub2 type;
    sb2* indicator;
  } binds[] = {
      {":location", const_cast<char*>(location_text), location_size, SQLT_STR,
       &location_indicator},
      {":rescode", &rescode, sizeof rescode, SQLT_INT, nullptr},
      {":devid", &devid, sizeof devid, SQLT_INT, nullptr},
  };
  for (const auto& bind : binds) {
    OCIBind* handle = nullptr;
    chain.run("OCIBindByName unsuccessful", [&] {
      return OCIBindByName(stmt.get(), &handle, s.errhp,
                           reinterpret_cast<const OraText*>(bind.name), -1, bind.value,
                           bind.size, bind.type, bind.indicator, nullptr, nullptr, 0, nullptr,
                           OCI_DEFAULT);
    });
  }
  // Its failure shows in the answer, which stays kNoAnswer.
  if (chain.ok() && call_start.set() == OCI_SUCCESS)
    OCIStmtExecute(s.svchp, stmt.get(), s.errhp, 1, 0, nullptr, nullptr, OCI_DEFAULT);
}

// The ports as rows: the packed lists read in step (in the order of the
// port block's text binds), the port way and the board.
bool CachePorts(RowCache& ports, std::vector<PackedItems> lists, const int* port_wayList,
                int nbports, int devid) {
  std::vector<std::string> items(lists.size());
  for (int port = 0; port < nbports; ++port) {
    RowValues row{{}, {port_wayList[port], devid}};
    for (std::size_t l = 0; l < lists.size(); ++l)
      row.texts.push_back(lists[l].next(items[l]) ? items[l].c_str() : nullptr);
    PrintLine("%s", row.texts.back() ? "ptype is not null" : "ptype is null");
    if (ports.append(row, port == 0 ? 1 : 0) != 0) return false;
  }
  return true;
}

}  // namespace
}  // namespace ferrule

using namespace ferrule;

extern "C" int InsertTestFunctionalDevice(const char* location, const char* ipaddList,
                                          int ipaddLen, const char* ipnameList, int ipnameLen,
                                          const char* subnetList, int subnetLen,
                                          const char* portnbList, int portnbLen,
                                          const char* port_typeList, int port_typeLen,
                                          const int* port_wayList, int nbports, int last,
                                          char* ErrMess) {
  // Without a port way for every port the ports cannot be sent: refused
  // before anything is written.
  if (nbports < 0 || (nbports > 0 && !port_wayList)) {
    ReportFailure(kName, reason::kMallocUnsuccessfulWord, ErrMess);
    return -1;
  }
  CallerIdentity identity;
  if (!ReadCallerIdentity(identity, ErrMess)) return -1;

  int rescode = kNoAnswer, devid = kNoAnswer;
  CallSavepoint call_start;
  {
    StatementHandle stmt;
    if (!AllocateStatement(stmt, kName, "OCIHandleAlloc unsuccessful", ErrMess)) return -1;
    InsertBoard(location, identity, rescode, devid, stmt, call_start);
  }
  if (rescode != 0) {
    call_start.undo();
    const std::string reason = "ORACLE_ERROR_" + std::to_string(rescode);
    ReportFailure(kName, reason.c_str(), ErrMess);
    return -1;
  }

  Session& s = session();
  if (nbports == 0) {  // the board alone
    StepChain chain(s.errhp);
    CommitStep(chain);
    ReportOCIOutcome(chain.result() == 0, s.errhp, kName, ErrMess);
    return chain.result();
  }

  RowCache ports(kTestBoardPortInsert.text_binds.size(), kTestBoardPortInsert.value_binds.size());
  const std::vector<PackedItems> lists{{ipaddList, ipaddLen},     {ipnameList, ipnameLen},
                                       {subnetList, subnetLen},   {portnbList, portnbLen},
                                       {port_typeList, port_typeLen}};
  if (!CachePorts(ports, lists, port_wayList, nbports, devid)) {
    call_start.undo();
    ReportFailure(kName, reason::kMallocUnsuccessfulWord, ErrMess);
    return -1;
  }
  return SendRows(kTestBoardPortInsert, kPortsPolicy, ports, identity, ErrMess, &call_start);
}
