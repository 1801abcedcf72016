// Reads of the tables the server builds on request: the output ports
// through which a device's destination table reaches a subsystem
// (GetPortPerSubsystem), and the routes in use of a device's routing table
// as six parallel packed lists (LoadRoutingtable). Every row is fetched
// before anything is copied to the caller.
#include <array>
#include <cstdio>
#include <cstring>
#include <new>

#include "call_savepoint.h"
#include "ferrule.h"
#include "reasons.h"
#include "routing/routing_statement.h"
#include "session.h"
#include "statement_text.h"
#include "subsystems.h"

namespace ferrule {
namespace {

using routing::PackedList;
using routing::TextColumn;

const char* const kPortsPerSubsystem =
    "select distinct concat(t.port_nbr,'|',coalesce(t.port_type,'none'),'|',t.port_way,'?') "
    "from %(port_properties) t,%(destination_table) e,%(devices) r,%(devices) d "
    "where t.portid=e.pfromid0 and e.nodeid_end1=r.deviceid and  mod(r.system_name,%(sysid))=0 "
    "and e.nodeid_start0=d.deviceid and d.devicename=:devfrom ";

// Six columns in select-list order: next port, next IP address, next
// subnet, destination IP address, destination name, next MAC address.
const char* const kRoutesInUse =
    "select concat(t.port_nbr,'|',coalesce(t.port_type,'none'),'|',t.port_way,'?'), "
    "concat(e.ipaddress,'?'),concat(e.subnet_info,'?'),concat(f.ipaddress,'?'),"
    "concat(m.devicename,'?'),concat(u.macaddress,'?') "
    "from %(port_properties) t,%(port_properties) p,%(ipinfo) e,%(port_properties) f, "
    "%(routing_table) r,%(devices) m,%(hwport_properties) u,%(devices) d "
    "where d.deviceid=t.deviceid and u.serialnb=d.serialnb and t.port_nbr=u.port_nbr "
    "and coalesce(t.port_type,'none')=coalesce(u.port_type,'none') and u.port_way=t.port_way "
    "and p.ipaddress=e.ipaddress and p.portid=r.ptoid0 and t.portid=r.pfromid0 "
    "and r.ptoid1=f.portid and r.routingpathused=1 and r.nodeid_start0=:dfrom "
    "and r.nodeid_end1=m.deviceid";

int PortsPerSubsystem(const char* devicename, const char* system_name, int* len,
                      char* port_list, char* ErrMess) {
  const char* name = "GetPortPerSubsystem";
  if (system_name && std::strchr(system_name, ',')) {
    ReportFailure(name, "One subsystem name should be given", ErrMess);
    return -1;
  }
  const int sysid = SystemNamesToSysID(system_name);
  if (sysid == -1) {
    ReportFailure(name, "Invalid subsystem name", ErrMess);
    return -1;
  }
  if (!len || !port_list) {
    ReportFailure(name, reason::kBufferTooSmall, ErrMess);
    return -1;
  }
  Session& s = session();
  StatementHandle stmt;
  if (!AllocateStatement(stmt, name, "OCIHandleAlloc unsuccessful", ErrMess)) return -1;

  const std::string text = ExpandTemplate(kPortsPerSubsystem, {{"sysid", std::to_string(sysid)}});
  TextColumn port(1);
  StepChain chain(s.errhp);
  chain.run("OCIStmtPrepare unsuccessful", [&] { return PrepareText(stmt.get(), s.errhp, text); });
  chain.run("OCIBindByName unsuccessful",
            [&] { return routing::BindText(stmt.get(), s.errhp, ":devfrom", devicename); });
  chain.run("OCIAttrSet unsuccessful", [&] { return routing::SetPrefetch(stmt.get(), s.errhp, 1000); });
  chain.run("OCIStmtExecute unsuccessful", [&] {
    return OCIStmtExecute(s.svchp, stmt.get(), s.errhp, 0, 0, nullptr, nullptr, OCI_DEFAULT);
  });
  chain.run("OCIParamGet unsuccessful", [&] { return port.describe(stmt.get(), s.errhp); });
  if (chain.ok() && !port.allocate()) {
    ReportFailure(name, reason::kMallocUnsuccessful, ErrMess);
    return -1;
  }
  chain.run("OCIDefineByPos unsuccessful", [&] { return port.define(stmt.get(), s.errhp); });

  PackedList ports;
  int rows = 0;
  int fetch_status = OCI_SUCCESS;
  try {
    while (chain.ok() && routing::FetchRow(stmt.get(), s.errhp, &fetch_status)) {
      ports.add(port.value());
      ++rows;
    }
  } catch (const std::bad_alloc&) {
    stmt.release();
    ReportFailure(name, reason::kMallocUnsuccessful, ErrMess);
    return CommitThenAnswer(name, ErrMess, -1);
  }

  int failure = chain.result();
  bool answered = false;
  if (chain.ok() && rows == 0) {
    ReportFailure(name, reason::kNoRowsSelected, ErrMess);
    answered = true;
  } else if (chain.ok()) {
    if (ports.total() < *len) {
      std::memcpy(port_list, ports.bytes.data(), ports.bytes.size());
      *len = ports.total();
    } else {
      // The word goes in only where it fits.
      routing::CopyIfFits(reason::kBufferTooSmall, port_list, *len);
      *len = ports.total() + static_cast<int>(ports.last.size()) + 1;
      ReportFailure(name, reason::kBufeerTooSmall, ErrMess);
      failure = -1;
      answered = true;
    }
  }

  const int freed = stmt.release();
  if (!chain.ok())
    ReportOCIFailure(s.errhp, name, ErrMess);
  else if (!answered)
    ReportSuccess(name, ErrMess);
  return CommitThenAnswer(name, ErrMess, freed + failure);
}

int RoutesInUse(const char* dfrom, const std::array<int*, 6>& lengths,
                const std::array<char*, 6>& lists, char* ErrMess) {
  const char* name = "LoadRoutingtable";
  for (int i = 0; i < 6; ++i) {
    if (!lengths[i] || !lists[i]) {
      ReportFailure(name, reason::kBufferTooSmall, ErrMess);
      return -1;
    }
  }
  Session& s = session();
  StatementHandle stmt;
  if (!AllocateStatement(stmt, name, "OCIHandleAlloc unsuccessful", ErrMess)) return -1;

  const std::string text = ExpandTemplate(kRoutesInUse);
  std::array<TextColumn, 6> columns{TextColumn(1), TextColumn(2), TextColumn(3),
                                    TextColumn(4), TextColumn(5), TextColumn(6)};
  StepChain chain(s.errhp);
  chain.run("OCIStmtPrepare unsuccessful", [&] { return PrepareText(stmt.get(), s.errhp, text); });
  chain.run("OCIBindByName unsuccessful",
            [&] { return routing::BindText(stmt.get(), s.errhp, ":dfrom", dfrom); });
  chain.run("OCIAttrSet unsuccessful", [&] { return routing::SetPrefetch(stmt.get(), s.errhp, 5000); });
  chain.run("OCIStmtExecute unsuccessful", [&] {
    return OCIStmtExecute(s.svchp, stmt.get(), s.errhp, 0, 0, nullptr, nullptr, OCI_DEFAULT);
  });
  // Every column is defined at the size the database reports, so that
  // addresses of any length come back whole.
  for (TextColumn& column : columns) {
    chain.run("OCIParamGet unsuccessful", [&] { return column.describe(stmt.get(), s.errhp); });
    if (chain.ok() && !column.allocate()) {
      ReportFailure(name, reason::kMallocUnsuccessfulCaps, ErrMess);
      return -1;
    }
    chain.run("OCIDefineByPos unsuccessful", [&] { return column.define(stmt.get(), s.errhp); });
  }

  std::array<PackedList, 6> fetched;
  int rows = 0;
  int fetch_status = OCI_SUCCESS;
  try {
    while (chain.ok() && routing::FetchRow(stmt.get(), s.errhp, &fetch_status)) {
      for (int i = 0; i < 6; ++i) fetched[i].add(columns[i].value());
      ++rows;
    }
  } catch (const std::bad_alloc&) {
    ReportOCIStatus(kAllocationFailed, s.errhp, "  pointer allocation unsuccessful");
    ReportFailure(name, reason::kReallocUnsuccessful, ErrMess);
    return -1;
  }
  if (chain.ok() && fetch_status != OCI_NO_DATA)
    chain.run("OCIStmtFetch unsuccessful", [&] { return fetch_status; });
  if (!chain.ok()) {
    const int failure = chain.result();
    const int freed = stmt.release();
    ReportOCIFailure(s.errhp, name, ErrMess);
    return failure + freed != 0 ? failure + freed : -1;
  }
  if (rows == 0) {
    ReportFailure(name, reason::kNoRowsSelected, ErrMess);
    return -1;
  }

  // Copy-out order: destination names, next IP addresses, next ports, next
  // subnets, destination IP addresses, next MAC addresses. Each list is
  // copied when its total is below its capacity; otherwise its length
  // becomes the total plus one.
  constexpr std::array<int, 6> kOrder{4, 1, 0, 2, 3, 5};
  constexpr std::array<int, 6> kOutput{2, 3, 4, 1, 0, 5};  // argument slot of each column
  bool all_fit = true;
  for (int column : kOrder) {
    const int slot = kOutput[column];
    const PackedList& list = fetched[column];
    if (list.total() < *lengths[slot]) {
      std::memcpy(lists[slot], list.bytes.data(), list.bytes.size());
      *lengths[slot] = list.total();
    } else {
      *lengths[slot] = list.total() + 1;
      all_fit = false;
    }
  }
  const int freed = stmt.release();
  if (!all_fit) {
    ReportFailure(name, reason::kBufferTooSmall, ErrMess);
    return -1;
  }
  ReportSuccess(name, ErrMess);
  return freed;
}

}  // namespace
}  // namespace ferrule

using namespace ferrule;

extern "C" int GetPortPerSubsystem(const char* devicename, const char* system_name, int* len,
                                   char* port_list, char* ErrMess) {
  return PortsPerSubsystem(devicename, system_name, len, port_list, ErrMess);
}

extern "C" int LoadRoutingtable(const char* dfrom, int* len_destname, char* destname_list,
                                int* len_ipdestin, char* ipdestin_list, int* len_nextport,
                                char* nextport_list, int* len_ipnext, char* ipnext_list,
                                int* len_subnet, char* subnet_list, int* len_macnext,
                                char* macnext_list, char* ErrMess) {
  // Argument slots: 0 destination names, 1 destination IP addresses, 2 next
  // ports, 3 next IP addresses, 4 next subnets, 5 next MAC addresses.
  return RoutesInUse(dfrom,
                     {len_destname, len_ipdestin, len_nextport, len_ipnext, len_subnet, len_macnext},
                     {destname_list, ipdestin_list, nextport_list, ipnext_list, subnet_list,
                      macnext_list},
                     ErrMess);
}
