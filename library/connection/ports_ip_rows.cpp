// Ports and IP addresses as one row of text each. A port row shows the bia
// and macaddress of its hardware port (the port of the mounted hardware item
// with the same number, way and type); when there is none, the port is read
// again without it and both show "none".
#include "ferrule.h"
#include "row_lookup.h"

namespace ferrule {
namespace {

const std::vector<LookupColumn> kPortColumns{
    IntColumn(),           // portid
    TextColumn(kFloor50),  // devicename
    TextColumn(kFloor50),  // port_nbr
    IntColumn(),           // port_way: a port without one is not found
    IntColumn(),           // administrative_status: likewise
    IntColumn(),           // speed
    TextColumn(kFloor50),  // port_type
    TextColumn(kFloor50),  // phy
    IntColumn(),           // pxi_booting
    TextColumn(kFloor50),  // bia
    TextColumn(kFloor50),  // macaddress
    TextColumn(kFloor50),  // ipaddress
};

// The same without bia and macaddress.
const std::vector<LookupColumn> kPortAloneColumns{
    IntColumn(),           // portid
    TextColumn(kFloor50),  // devicename
    TextColumn(kFloor50),  // port_nbr
    IntColumn(),           // port_way
    IntColumn(),           // administrative_status
    IntColumn(),           // speed
    TextColumn(kFloor50),  // port_type
    TextColumn(kFloor50),  // phy
    IntColumn(),           // pxi_booting
    TextColumn(kFloor50),  // ipaddress
};

const char* const kPortFormat =
    "|portid (I):%d |devicename (C):%s |port_nbr (C):%s |port_way (I):%d "
    "|administrative_status (I):%d |speed (I):%d |port_type (C):%s |phy (C):%s "
    "|pxi_booting (I):%d |bia (C):%s |macaddress (C):%s |ipaddress (C):%s |";
const char* const kPortAloneFormat =
    "|portid (I):%d |devicename (C):%s |port_nbr (C):%s |port_way (I):%d "
    "|administrative_status (I):%d |speed (I):%d |port_type (C):%s |phy (C):%s "
    "|pxi_booting (I):%d |bia (C):none |macaddress (C):none |ipaddress (C):%s |";

// By portid, missing values read "None" (and a missing pxi_booting 0 when
// the port has no hardware port).
const RowLookupSpec kPortByPidAlone{
    "GetPortRow_pid",
    nullptr,
    "select e.portid,t.devicename||'?',concat(e.port_nbr,'?'),e.port_way,e.administrative_status,"
    "coalesce(e.speed,0),coalesce(e.port_type,'None')||'?',coalesce(e.phy,'None')||'?',"
    "coalesce(e.pxi_booting,0),coalesce(e.ipaddress,'None')||'?' "
    "from %(port_properties) e,%(devices) t where e.portid=:portID and t.deviceid=e.deviceid  ",
    kPortAloneColumns,
    kPortAloneFormat,
};

const RowLookupSpec kPortByPid = [] {
  RowLookupSpec spec{
      "GetPortRow_pid",
      nullptr,
      "select e.portid,t.devicename||'?',concat(e.port_nbr,'?'),e.port_way,"
      "e.administrative_status,coalesce(e.speed,0),coalesce(e.port_type,'None')||'?',"
      "coalesce(e.phy,'None')||'?',coalesce(e.pxi_booting,-1),coalesce(f.bia,'None')||'?',"
      "coalesce(f.macaddress,'None')||'?',coalesce(e.ipaddress,'None')||'?' "
      "from %(port_properties) e,%(devices) t,%(hwport_properties) f where e.portid=:portID "
      "and t.deviceid=e.deviceid and f.serialnb=t.serialnb and f.port_nbr=e.port_nbr "
      "and coalesce(f.port_type,'none')=coalesce(e.port_type,'none') and f.port_way=e.port_way",
      kPortColumns,
      kPortFormat,
  };
  spec.fallback = &kPortByPidAlone;
  return spec;
}();

const RowLookupSpec kPortByDevnameAlone{
    "GetPortRow_devname",
    nullptr,
    "select e.portid,t.devicename||'?',concat(e.port_nbr,'?'),e.port_way,e.administrative_status,"
    "coalesce(e.speed,0),coalesce(e.port_type,'none')||'?',coalesce(e.phy,'none')||'?',"
    "coalesce(e.pxi_booting,-1),coalesce(e.ipaddress,'none')||'?' "
    "from %(port_properties) e,%(devices) t where t.devicename=:dname and e.port_nbr=:portnb "
    "and e.port_way=:portway and coalesce(e.port_type,'none')=:portype and t.deviceid=e.deviceid",
    kPortAloneColumns,
    kPortAloneFormat,
};

const RowLookupSpec kPortByDevname = [] {
  RowLookupSpec spec{
      "GetPortRow_devname",
      nullptr,
      "select e.portid,t.devicename||'?',concat(e.port_nbr,'?'),e.port_way,"
      "e.administrative_status,coalesce(e.speed,0),coalesce(e.port_type,'none')||'?',"
      "coalesce(e.phy,'none')||'?',coalesce(e.pxi_booting,-1),coalesce(f.bia,'none')||'?',"
      "coalesce(f.macaddress,'none')||'?',coalesce(e.ipaddress,'none')||'?' "
      "from %(port_properties) e,%(devices) t , %(hwport_properties) f where t.devicename=:dname "
      "and e.port_nbr=:portnb and e.port_way=:portway and coalesce(e.port_type,'none')=:portype "
      "and t.deviceid=e.deviceid and f.serialnb=t.serialnb and coalesce(f.port_type,'none')=:portype "
      "and f.port_way=:portway and f.port_nbr=:portnb",
      kPortColumns,
      kPortFormat,
  };
  spec.fallback = &kPortByDevnameAlone;
  return spec;
}();

const RowLookupSpec kPortByDevidAlone{
    "GetPortRow_devid",
    nullptr,
    "select e.portid,t.devicename||'?',concat(e.port_nbr,'?'),e.port_way,e.administrative_status,"
    "coalesce(e.speed,0),coalesce(e.port_type,'none')||'?',coalesce(e.phy,'none')||'?',"
    "coalesce(e.pxi_booting,-1),coalesce(e.ipaddress,'none')||'?' "
    "from %(port_properties) e,%(devices) t where t.deviceid=:dID and e.port_nbr=:portnb "
    "and e.port_way=:portway and coalesce(e.port_type,'none')=:portype "
    "and t.deviceid=e.deviceid  ",
    kPortAloneColumns,
    kPortAloneFormat,
};

const RowLookupSpec kPortByDevid = [] {
  RowLookupSpec spec{
      "GetPortRow_devid",
      nullptr,
      "select e.portid,t.devicename||'?',concat(e.port_nbr,'?'),e.port_way,"
      "e.administrative_status,coalesce(e.speed,0),coalesce(e.port_type,'none')||'?',"
      "coalesce(e.phy,'none')||'?',coalesce(e.pxi_booting,-1),coalesce(f.bia,'none')||'?',"
      "coalesce(f.macaddress,'none')||'?',coalesce(e.ipaddress,'none')||'?' "
      "from %(port_properties) e,%(devices) t,%(hwport_properties) f where t.deviceid=:dID "
      "and e.port_nbr=:portnb and e.port_way=:portway and coalesce(e.port_type,'none')=:portype "
      "and t.deviceid=e.deviceid and f.serialnb=t.serialnb and f.port_way=:portway "
      "and coalesce(f.port_type,'none')=:portype and f.port_nbr=:portnb",
      kPortColumns,
      kPortFormat,
  };
  spec.fallback = &kPortByDevidAlone;
  return spec;
}();

// A null subnet_info or ipname is an empty value.
const RowLookupSpec kIPInfoRow{
    "GetIPInfoRow",
    nullptr,
    "select ipaddress||'?',concat(subnet_info,'?'), concat(ipname,'?') from %(ipinfo) "
    "where ipaddress=:IPadd",
    {TextColumn(kFloor50), TextColumn(kFloor50), TextColumn(kFloor50)},
    "|ipaddress (C):%s|subnet_info (C):%s |ipname (C):%s |",
};

}  // namespace
}  // namespace ferrule

using namespace ferrule;

extern "C" int GetPortRow_pid(int pID, int* len_port, char* port_row_result, char* ErrMess) {
  return RunRowLookup(kPortByPid, {KeyBind::Int(":portID", pID)}, len_port, port_row_result,
                      ErrMess);
}

extern "C" int GetPortRow_devname(const char* devname, const char* port_nb, int port_way,
                                  const char* port_type, int* len_port, char* port_row_result,
                                  char* ErrMess) {
  return RunRowLookup(kPortByDevname,
                      {KeyBind::Text(":dname", devname, "devicename MUST be given"),
                       KeyBind::Text(":portnb", port_nb, "port_nbr MUST be given"),
                       KeyBind::Int(":portway", port_way), KeyBind::PortType(":portype", port_type)},
                      len_port, port_row_result, ErrMess);
}

extern "C" int GetPortRow_devid(int devID, const char* port_nb, int port_way,
                                const char* port_type, int* len_port, char* port_row_result,
                                char* ErrMess) {
  return RunRowLookup(kPortByDevid,
                      {KeyBind::Int(":dID", devID),
                       KeyBind::Text(":portnb", port_nb, "port_nbr MUST be given"),
                       KeyBind::Int(":portway", port_way), KeyBind::PortType(":portype", port_type)},
                      len_port, port_row_result, ErrMess);
}

extern "C" int GetIPInfoRow(const char* ip_address, int* len_ip, char* IP_row_result,
                            char* ErrMess) {
  return RunRowLookup(kIPInfoRow, {KeyBind::Text(":IPadd", ip_address, " IP add MUST be given")},
                      len_ip, IP_row_result, ErrMess);
}
