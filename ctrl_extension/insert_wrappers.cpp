// Inserts of device types, functional devices, ports, spare ports and
// macroscopic links, one row or cached batches. The arguments of each pair
// of wrappers are read and checked alike; the library takes some of them
// in another order than the CTRL function.
#include "ferrule.h"
#include "checked_calls.h"
#include "ctrl_reasons.h"
#include "ctrl_values.h"
#include "wrappers.h"

namespace ferrule::ctrl {
namespace {

// The batch form of device types answers with a trailing blank.
constexpr char kDeviceTypesInserted[] = "Successful insertion ";

struct DeviceTypeArgs {
  DeviceTypeArgs(TextVar* sysname, TextVar* dtype, IntegerVar* nbinput, IntegerVar* nboutput,
                 TextVar* description, TextVar* rgbcolor)
      : systems(TextOf(sysname)),
        type(TextOf(dtype)),
        inputs(IntOf(nbinput)),
        outputs(IntOf(nboutput)),
        text(TextOf(description)),
        color(TextOf(rgbcolor)) {
    // A device type without description is described by its name.
    if (text.empty()) text = type;
  }
  std::string systems, type;
  int inputs, outputs;
  std::string text, color;
};

struct FunctionalDeviceArgs {
  FunctionalDeviceArgs(TextVar* sysname, TextVar* dname, TextVar* dtype, IntegerVar* node_arg,
                       IntegerVar* promiscuous_mode, TextVar* serialnb, TextVar* hwtype,
                       TextVar* responsible, TextVar* location, TextVar* comments)
      : systems(TextOf(sysname)),
        name(TextOf(dname)),
        type(TextOf(dtype)),
        node(IntOf(node_arg)),
        promiscuous(IntOf(promiscuous_mode)),
        serial(TextOf(serialnb)),
        hardware(TextOf(hwtype)),
        owner(TextOf(responsible)),
        place(TextOf(location)),
        remarks(TextOf(comments)) {}
  const char* Refusal(int last) const {
    return FirstFailure({{!IsName(type) || !IsName(name), "Error:No Devtype or devicename given"},
                         {!IsFlag(last), reason::kLastRowsFlag},
                         {!IsFlag(node), "Error:node is 1 or 0"},
                         {!IsFlag(promiscuous), "Error:promiscuous_mode is 1 or 0"}});
  }
  std::string systems, name, type;
  int node, promiscuous;
  std::string serial, hardware, owner, place, remarks;
};

// Each address text goes to the library parameter of its own name.
struct PortArgs {
  PortArgs(TextVar* dname, TextVar* pt_nb, TextVar* pt_type, IntegerVar* pway, TextVar* bia_arg,
           TextVar* ipname, TextVar* ipadd, TextVar* subnet_arg, TextVar* macadd,
           IntegerVar* pxibooting, IntegerVar* speed_arg, TextVar* phy_arg,
           IntegerVar* admin_status)
      : device(TextOf(dname)),
        number(TextOf(pt_nb)),
        type(TextOf(pt_type)),
        way(IntOf(pway)),
        bia(TextOf(bia_arg)),
        ip_name(TextOf(ipname)),
        ip_address(TextOf(ipadd)),
        subnet(TextOf(subnet_arg)),
        mac(TextOf(macadd)),
        pxi(IntOf(pxibooting)),
        speed(IntOf(speed_arg)),
        phy(TextOf(phy_arg)),
        admin(IntOf(admin_status)) {}
  const char* Refusal(int last) const {
    const bool wrong = !IsName(device) || !IsPortWay(way) || !IsFlag(pxi) || !IsFlag(admin);
    return FirstFailure({{wrong, reason::kWrongInput},
                         {!IsFlag(last), reason::kLastRowsFlag}});
  }
  std::string device, number, type;
  int way;
  std::string bia, ip_name, ip_address, subnet, mac;
  int pxi, speed;
  std::string phy;
  int admin;
};

struct SparePortArgs {
  SparePortArgs(TextVar* serialnb, TextVar* pt_nb, TextVar* pt_type, IntegerVar* pway,
                TextVar* bia_arg, TextVar* macadd)
      : serial(TextOf(serialnb)),
        number(TextOf(pt_nb)),
        type(TextOf(pt_type)),
        way(IntOf(pway)),
        bia(TextOf(bia_arg)),
        mac(TextOf(macadd)) {}
  const char* Refusal(int last) const {
    return FirstFailure({{!IsName(serial) || !IsPortWay(way), reason::kWrongInput},
                         {!IsFlag(last), reason::kLastRowsFlag}});
  }
  std::string serial, number, type;
  int way;
  std::string bia, mac;
};

// Only empty names are refused here, not one-character ones.
struct MacroLinkArgs {
  MacroLinkArgs(TextVar* node_from, TextVar* node_to, TextVar* port_from,
                TextVar* port_typefrom, TextVar* port_to, TextVar* port_typeto,
                TextVar* link_type_name, IntegerVar* bidirectional_link, TextVar* link_info)
      : from(TextOf(node_from)),
        to(TextOf(node_to)),
        from_port(TextOf(port_from)),
        from_type(TextOf(port_typefrom)),
        to_port(TextOf(port_to)),
        to_type(TextOf(port_typeto)),
        link_type(TextOf(link_type_name)),
        bidirectional(IntOf(bidirectional_link)),
        info(TextOf(link_info)) {}
  const char* Refusal(int last) const {
    return FirstFailure(
        {{from.empty() || to.empty() || link_type.empty(), reason::kNoLinkType},
         {!IsFlag(last), reason::kLastRowsFlagEqual}});
  }
  std::string from, to, from_port, from_type, to_port, to_type, link_type;
  int bidirectional;
  std::string info;
};

}  // namespace

const Variable* PVSSInsertDeviceType(TextVar* sysname, TextVar* dtype, IntegerVar* nbinput,
                                     IntegerVar* nboutput, TextVar* description,
                                     TextVar* rgbcolor, IntegerVar* last_rows) {
  static TextVar result;
  const DeviceTypeArgs a(sysname, dtype, nbinput, nboutput, description, rgbcolor);
  const int last = IntOf(last_rows);
  RunChecked(result,
             FirstFailure({{!IsName(a.type), reason::kNoDeviceType},
                           {!IsFlag(last), reason::kLastRowsFlag}}),
             kInserted, [&](char* err) {
               return InsertDeviceType(a.systems.c_str(), a.type.c_str(), a.inputs, a.outputs,
                                       a.text.c_str(), a.color.c_str(), last, err);
             });
  return &result;
}

const Variable* PVSSInsertMultipleDeviceTypes(TextVar* sysname, TextVar* dtype,
                                              IntegerVar* nbinput, IntegerVar* nboutput,
                                              TextVar* description, TextVar* rgbcolor,
                                              IntegerVar* first_time, IntegerVar* last_rows) {
  static TextVar result;
  const DeviceTypeArgs a(sysname, dtype, nbinput, nboutput, description, rgbcolor);
  const int first = IntOf(first_time), last = IntOf(last_rows);
  RunChecked(result,
             FirstFailure({{!IsName(a.type), reason::kNoDeviceType},
                           {!IsFlag(first) || !IsFlag(last),
                            reason::kFirstAndLastFlags}}),
             kDeviceTypesInserted, [&](char* err) {
               return InsertMultipleDeviceTypes(a.systems.c_str(), a.type.c_str(), a.inputs,
                                                a.outputs, a.text.c_str(), a.color.c_str(), first,
                                                last, err);
             });
  return &result;
}

const Variable* PVSSInsertFunctionalDevice(TextVar* sysname, TextVar* dname, TextVar* dtype,
                                           IntegerVar* node, IntegerVar* promiscuous_mode,
                                           TextVar* serialnb, TextVar* hwtype,
                                           TextVar* responsible, TextVar* location,
                                           TextVar* comments, IntegerVar* last_rows) {
  static TextVar result;
  const FunctionalDeviceArgs a(sysname, dname, dtype, node, promiscuous_mode, serialnb, hwtype,
                               responsible, location, comments);
  const int last = IntOf(last_rows);
  RunChecked(result, a.Refusal(last), kInserted, [&](char* err) {
    return InsertFunctionalDevice(a.systems.c_str(), a.name.c_str(), a.type.c_str(), a.node,
                                  a.promiscuous, a.serial.c_str(), a.hardware.c_str(),
                                  a.owner.c_str(), a.remarks.c_str(), a.place.c_str(), last, err);
  });
  return &result;
}

const Variable* PVSSInsertMultipleFunctionalDevices(
    TextVar* sysname, TextVar* dname, TextVar* dtype, IntegerVar* node,
    IntegerVar* promiscuous_mode, TextVar* serialnb, TextVar* hwtype, TextVar* responsible,
    TextVar* location, TextVar* comments, IntegerVar* first_time, IntegerVar* last_rows) {
  static TextVar result;
  const FunctionalDeviceArgs a(sysname, dname, dtype, node, promiscuous_mode, serialnb, hwtype,
                               responsible, location, comments);
  const int first = IntOf(first_time), last = IntOf(last_rows);
  RunChecked(result, a.Refusal(last), kInserted, [&](char* err) {
    return InsertMultipleFunctionalDevices(a.systems.c_str(), a.name.c_str(), a.type.c_str(),
                                           a.node, a.promiscuous, a.serial.c_str(),
                                           a.hardware.c_str(), a.owner.c_str(),
                                           a.remarks.c_str(), a.place.c_str(), first, last, err);
  });
  return &result;
}

const Variable* PVSSInsertPort(TextVar* dname, TextVar* pt_nb, TextVar* pt_type, IntegerVar* pway,
                               TextVar* bia, TextVar* ipname, TextVar* ipadd, TextVar* subnet,
                               TextVar* macadd, IntegerVar* pxibooting, IntegerVar* speed,
                               TextVar* phy, IntegerVar* admin_status, IntegerVar* last_rows) {
  static TextVar result;
  const PortArgs a(dname, pt_nb, pt_type, pway, bia, ipname, ipadd, subnet, macadd, pxibooting,
                   speed, phy, admin_status);
  const int last = IntOf(last_rows);
  RunChecked(result, a.Refusal(last), kInserted, [&](char* err) {
    return InsertPort(a.device.c_str(), a.number.c_str(), a.admin, a.way, a.speed, a.pxi,
                      a.type.c_str(), a.bia.c_str(), a.ip_address.c_str(), a.ip_name.c_str(),
                      a.subnet.c_str(), a.mac.c_str(), a.phy.c_str(), last, err);
  });
  return &result;
}

const Variable* PVSSInsertMultiplePorts(TextVar* dname, TextVar* pt_nb, TextVar* pt_type,
                                        IntegerVar* pway, TextVar* bia, TextVar* ipname,
                                        TextVar* ipadd, TextVar* subnet, TextVar* macadd,
                                        IntegerVar* pxibooting, IntegerVar* speed, TextVar* phy,
                                        IntegerVar* admin_status, IntegerVar* first_time,
                                        IntegerVar* last_rows) {
  static TextVar result;
  const PortArgs a(dname, pt_nb, pt_type, pway, bia, ipname, ipadd, subnet, macadd, pxibooting,
                   speed, phy, admin_status);
  const int first = IntOf(first_time), last = IntOf(last_rows);
  RunChecked(result, a.Refusal(last), kInserted, [&](char* err) {
    return InsertMultiplePorts(a.device.c_str(), a.number.c_str(), a.admin, a.way, a.speed,
                               a.pxi, a.type.c_str(), a.bia.c_str(), a.ip_address.c_str(),
                               a.ip_name.c_str(), a.subnet.c_str(), a.mac.c_str(), a.phy.c_str(),
                               first, last, err);
  });
  return &result;
}

const Variable* PVSSInsertSparePort(TextVar* serialnb, TextVar* pt_nb, TextVar* pt_type,
                                    IntegerVar* pway, TextVar* bia, TextVar* macadd,
                                    IntegerVar* last_rows) {
  static TextVar result;
  const SparePortArgs a(serialnb, pt_nb, pt_type, pway, bia, macadd);
  const int last = IntOf(last_rows);
  RunChecked(result, a.Refusal(last), kInserted, [&](char* err) {
    return InsertSparePort(a.serial.c_str(), a.number.c_str(), a.way, a.type.c_str(),
                           a.bia.c_str(), a.mac.c_str(), last, err);
  });
  return &result;
}

const Variable* PVSSInsertMultipleSparePorts(TextVar* serialnb, TextVar* pt_nb, TextVar* pt_type,
                                             IntegerVar* pway, TextVar* bia, TextVar* macadd,
                                             IntegerVar* first_time, IntegerVar* last_rows) {
  static TextVar result;
  const SparePortArgs a(serialnb, pt_nb, pt_type, pway, bia, macadd);
  const int first = IntOf(first_time), last = IntOf(last_rows);
  RunChecked(result, a.Refusal(last), kInserted, [&](char* err) {
    return InsertMultipleSparePorts(a.serial.c_str(), a.number.c_str(), a.way, a.type.c_str(),
                                    a.bia.c_str(), a.mac.c_str(), first, last, err);
  });
  return &result;
}

const Variable* PVSSInsertMacroLink(TextVar* node_from, TextVar* node_to, TextVar* port_from,
                                    TextVar* port_typefrom, TextVar* port_to,
                                    TextVar* port_typeto, TextVar* link_type_name,
                                    IntegerVar* bidirectional_link, TextVar* link_info,
                                    IntegerVar* last_rows) {
  static TextVar result;
  const MacroLinkArgs a(node_from, node_to, port_from, port_typefrom, port_to, port_typeto,
                        link_type_name, bidirectional_link, link_info);
  const int last = IntOf(last_rows);
  RunChecked(result, a.Refusal(last), kInserted, [&](char* err) {
    return InsertMacroLink(a.from.c_str(), a.to.c_str(), a.from_port.c_str(), a.to_port.c_str(),
                           a.from_type.c_str(), a.to_type.c_str(), a.link_type.c_str(),
                           a.info.c_str(), a.bidirectional, last, err);
  });
  return &result;
}

const Variable* PVSSInsertMultipleMacroLinks(TextVar* node_from, TextVar* node_to,
                                             TextVar* port_from, TextVar* port_typefrom,
                                             TextVar* port_to, TextVar* port_typeto,
                                             TextVar* link_type_name,
                                             IntegerVar* bidirectional_link, TextVar* link_info,
                                             IntegerVar* first_time, IntegerVar* last_rows) {
  static TextVar result;
  const MacroLinkArgs a(node_from, node_to, port_from, port_typefrom, port_to, port_typeto,
                        link_type_name, bidirectional_link, link_info);
  const int first = IntOf(first_time), last = IntOf(last_rows);
  RunChecked(result, a.Refusal(last), kInserted, [&](char* err) {
    return InsertMultipleMacroLinks(a.from.c_str(), a.to.c_str(), a.from_port.c_str(),
                                    a.to_port.c_str(), a.from_type.c_str(), a.to_type.c_str(),
                                    a.link_type.c_str(), a.info.c_str(), a.bidirectional, first,
                                    last, err);
  });
  return &result;
}

}  // namespace ferrule::ctrl
