// Cached updates of ports, IP addresses, device types, link types and
// links. Each reads its arguments, refuses a row whose flags or key are
// wrong without calling the library (the open batch keeps what it holds),
// and answers "Successful update" or the library's ErrMess text. The first
// flag is passed on unchecked: the library decides what it means.
#include "ferrule.h"
#include "checked_calls.h"
#include "ctrl_reasons.h"
#include "ctrl_values.h"
#include "wrappers.h"

namespace ferrule::ctrl {
namespace {

// The six texts that name a link by one of its ends.
struct LinkEnds {
  LinkEnds(TextVar* node_from, TextVar* node_to, TextVar* portnb_from, TextVar* portnb_to,
           TextVar* portype_from, TextVar* portype_to)
      : from(TextOf(node_from)),
        to(TextOf(node_to)),
        from_port(TextOf(portnb_from)),
        to_port(TextOf(portnb_to)),
        from_type(TextOf(portype_from)),
        to_type(TextOf(portype_to)) {}
  std::string from, to, from_port, to_port, from_type, to_type;
};

// The device, number, way and type that name a port; the key of both port
// updates, refused with other wrong values in one message.
struct PortKey {
  PortKey(TextVar* dname, TextVar* pt_nb, TextVar* pt_type, IntegerVar* pway)
      : device(TextOf(dname)), number(TextOf(pt_nb)), type(TextOf(pt_type)), way(IntOf(pway)) {}
  const char* Refusal(bool wrong_value, int last) const {
    return FirstFailure({{!IsName(device) || !IsPortWay(way) || wrong_value, reason::kWrongInput},
                         {!IsFlag(last), reason::kLastRowsFlag}});
  }
  std::string device, number, type;
  int way;
};

}  // namespace

const Variable* PVSSUpdateMultiplePorts(TextVar* dname, TextVar* pt_nb, TextVar* pt_type,
                                        IntegerVar* pway, IntegerVar* pxibooting,
                                        IntegerVar* speed, TextVar* phy, IntegerVar* first_time,
                                        IntegerVar* last_rows) {
  static TextVar result;
  const PortKey port(dname, pt_nb, pt_type, pway);
  const int pxi = IntOf(pxibooting), rate = IntOf(speed);
  const std::string phy_text = TextOf(phy);
  const int first = IntOf(first_time), last = IntOf(last_rows);
  RunChecked(result, port.Refusal(!IsFlag(pxi), last), kUpdated, [&](char* err) {
    return UpdateMultiplePorts(port.device.c_str(), port.number.c_str(), port.way,
                               port.type.c_str(), rate, phy_text.c_str(), pxi, first, last, err);
  });
  return &result;
}

const Variable* PVSSUpdateMultiplePortStatuses(TextVar* dname, TextVar* pt_nb, TextVar* pt_type,
                                               IntegerVar* pway, IntegerVar* admin_status,
                                               IntegerVar* first_time, IntegerVar* last_rows) {
  static TextVar result;
  const PortKey port(dname, pt_nb, pt_type, pway);
  const int admin = IntOf(admin_status);
  const int first = IntOf(first_time), last = IntOf(last_rows);
  RunChecked(result, port.Refusal(!IsFlag(admin), last), kUpdated, [&](char* err) {
    return UpdateMultiplePortStatuses(port.device.c_str(), port.number.c_str(), port.way,
                                      port.type.c_str(), admin, first, last, err);
  });
  return &result;
}

const Variable* PVSSUpdateMultipleAttributeMacIPs(TextVar* ipadd, TextVar* subnet_mask,
                                                  TextVar* ipname, IntegerVar* first_time,
                                                  IntegerVar* last_rows) {
  static TextVar result;
  const std::string address = TextOf(ipadd), subnet = TextOf(subnet_mask), name = TextOf(ipname);
  const int first = IntOf(first_time), last = IntOf(last_rows);
  RunChecked(result,
             FirstFailure({{!IsName(address), reason::kWrongInput},
                           {!IsFlag(last), reason::kLastRowsFlag}}),
             kUpdated, [&](char* err) {
               return UpdateMultipleAttributeMacIPs(address.c_str(), subnet.c_str(),
                                                    name.c_str(), first, last, err);
             });
  return &result;
}

const Variable* PVSSUpdateMultipleIPAddresses(TextVar* ipadd, TextVar* old_ipadd,
                                              IntegerVar* first_time, IntegerVar* last_rows) {
  static TextVar result;
  const std::string address = TextOf(ipadd), old_address = TextOf(old_ipadd);
  const int first = IntOf(first_time), last = IntOf(last_rows);
  RunChecked(result,
             FirstFailure({{!IsName(address), reason::kWrongInput},
                           {!IsFlag(last), reason::kLastRowsFlag}}),
             kUpdated, [&](char* err) {
               return UpdateMultipleIPAddresses(address.c_str(), old_address.c_str(), first,
                                                last, err);
             });
  return &result;
}

const Variable* PVSSUpdateMultipleCompositeLinkTypes(TextVar* link_name, TextVar* simple_linkList,
                                                     IntegerVar* first_time,
                                                     IntegerVar* last_rows) {
  static TextVar result;
  const std::string name = TextOf(link_name), simple_types = TextOf(simple_linkList);
  const int first = IntOf(first_time), last = IntOf(last_rows);
  RunChecked(result, LastRowsRefusal(last), kUpdated, [&](char* err) {
    return UpdateMultipleCompositeLinkTypes(name.c_str(), simple_types.c_str(), first, last, err);
  });
  return &result;
}

const Variable* PVSSUpdateMultipleLinkTypeNames(TextVar* oldlink_name, TextVar* link_name,
                                                IntegerVar* first_time, IntegerVar* last_rows) {
  static TextVar result;
  const std::string old_name = TextOf(oldlink_name), name = TextOf(link_name);
  const int first = IntOf(first_time), last = IntOf(last_rows);
  RunChecked(result, LastRowsRefusal(last), kUpdated, [&](char* err) {
    return UpdateMultipleLinkTypeNames(old_name.c_str(), name.c_str(), first, last, err);
  });
  return &result;
}

const Variable* PVSSUpdateMultipleDeviceTypes(TextVar* old_devtype, TextVar* devtype,
                                              IntegerVar* first_time, IntegerVar* last_rows) {
  static TextVar result;
  const std::string old_type = TextOf(old_devtype), type = TextOf(devtype);
  const int first = IntOf(first_time), last = IntOf(last_rows);
  RunChecked(result, LastRowsRefusal(last), kUpdated, [&](char* err) {
    return UpdateMultipleDeviceTypes(old_type.c_str(), type.c_str(), first, last, err);
  });
  return &result;
}

const Variable* PVSSUpdateMultipleDeviceTypeAttributes(TextVar* devtype, TextVar* description,
                                                       IntegerVar* nbinput, IntegerVar* nboutput,
                                                       TextVar* rgbcolor, IntegerVar* first_time,
                                                       IntegerVar* last_rows) {
  static TextVar result;
  const std::string type = TextOf(devtype), text = TextOf(description), color = TextOf(rgbcolor);
  const int inputs = IntOf(nbinput), outputs = IntOf(nboutput);
  const int first = IntOf(first_time), last = IntOf(last_rows);
  RunChecked(result, LastRowsRefusal(last), kUpdated, [&](char* err) {
    return UpdateMultipleDeviceTypeAttributes(type.c_str(), text.c_str(), inputs, outputs,
                                              color.c_str(), first, last, err);
  });
  return &result;
}

const Variable* PVSSUpdateMultipleLkTypeLinks(TextVar* node_from, TextVar* node_to,
                                              TextVar* portnb_from, TextVar* portnb_to,
                                              TextVar* portype_from, TextVar* portype_to,
                                              TextVar* link_type, IntegerVar* first_rows,
                                              IntegerVar* last_rows) {
  static TextVar result;
  const LinkEnds l(node_from, node_to, portnb_from, portnb_to, portype_from, portype_to);
  const std::string type = TextOf(link_type);
  const int first = IntOf(first_rows), last = IntOf(last_rows);
  RunChecked(result, LastRowsRefusal(last), kUpdated, [&](char* err) {
    return UpdateMultipleLkTypeLinks(l.from.c_str(), l.to.c_str(), l.from_port.c_str(),
                                     l.to_port.c_str(), l.from_type.c_str(), l.to_type.c_str(),
                                     type.c_str(), first, last, err);
  });
  return &result;
}

const Variable* PVSSUpdateMultipleLkUsedLinks(TextVar* node_from, TextVar* node_to,
                                              TextVar* portnb_from, TextVar* portnb_to,
                                              TextVar* portype_from, TextVar* portype_to,
                                              IntegerVar* lkused, IntegerVar* first_rows,
                                              IntegerVar* last_rows) {
  static TextVar result;
  const LinkEnds l(node_from, node_to, portnb_from, portnb_to, portype_from, portype_to);
  const int used = IntOf(lkused);
  const int first = IntOf(first_rows), last = IntOf(last_rows);
  RunChecked(result, LastRowsRefusal(last), kUpdated, [&](char* err) {
    return UpdateMultipleLkUsedLinks(l.from.c_str(), l.to.c_str(), l.from_port.c_str(),
                                     l.to_port.c_str(), l.from_type.c_str(), l.to_type.c_str(),
                                     used, first, last, err);
  });
  return &result;
}

const Variable* PVSSUpdateMultipleBidrectionalLinks(TextVar* node_from, TextVar* node_to,
                                                    TextVar* portnb_from, TextVar* portnb_to,
                                                    TextVar* portype_from, TextVar* portype_to,
                                                    IntegerVar* bidirectional_link,
                                                    IntegerVar* first_rows,
                                                    IntegerVar* last_rows) {
  static TextVar result;
  const LinkEnds l(node_from, node_to, portnb_from, portnb_to, portype_from, portype_to);
  const int bidirectional = IntOf(bidirectional_link);
  const int first = IntOf(first_rows), last = IntOf(last_rows);
  RunChecked(result, LastRowsRefusal(last), kUpdated, [&](char* err) {
    return UpdateMultipleBidirectionalLinks(l.from.c_str(), l.to.c_str(), l.from_port.c_str(),
                                            l.to_port.c_str(), l.from_type.c_str(),
                                            l.to_type.c_str(), bidirectional, first, last, err);
  });
  return &result;
}

const Variable* PVSSUpdateMultipleLkInfoLinks(TextVar* node_from, TextVar* node_to,
                                              TextVar* portnb_from, TextVar* portnb_to,
                                              TextVar* portype_from, TextVar* portype_to,
                                              TextVar* link_info, IntegerVar* first_rows,
                                              IntegerVar* last_rows) {
  static TextVar result;
  const LinkEnds l(node_from, node_to, portnb_from, portnb_to, portype_from, portype_to);
  const std::string info = TextOf(link_info);
  const int first = IntOf(first_rows), last = IntOf(last_rows);
  RunChecked(result, LastRowsRefusal(last), kUpdated, [&](char* err) {
    return UpdateMultipleLkInfoLinks(l.from.c_str(), l.to.c_str(), l.from_port.c_str(),
                                     l.to_port.c_str(), l.from_type.c_str(), l.to_type.c_str(),
                                     info.c_str(), first, last, err);
  });
  return &result;
}

}  // namespace ferrule::ctrl
