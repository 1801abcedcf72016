// The updates, deletions and the swap of the sweep (refusal_cases.h),
// against sweep_network.h.
#include "ferrule.h"
#include "refusal_cases.h"

namespace sweep {
namespace {

CachedRow DeviceAttributes(const char* device, int node, const char* location = "r2") {
  return [=](int first, int last, char* e) {
    return UpdateMultipleAttributesDevices(device, node, 1, location, first, last, e);
  };
}
CachedRow DeviceActive(const char* device) {
  return [=](int first, int last, char* e) {
    return UpdateMultipleDeviceActive(device, 1, first, last, e);
  };
}
CachedRow DeviceName(const char* old_name, const char* name) {
  return [=](int first, int last, char* e) {
    return UpdateMultipleDevNamesDevices(old_name, name, first, last, e);
  };
}
CachedRow DeviceOfType(const char* device, const char* type) {
  return [=](int first, int last, char* e) {
    return UpdateMultipleDTypeDevices(device, type, first, last, e);
  };
}
CachedRow DeviceNodeUsed(const char* device) {
  return [=](int first, int last, char* e) {
    return UpdateMultipleDeviceNodeUsed(device, 0, first, last, e);
  };
}
CachedRow DeviceSubsystems(const char* device, const char* subsystems) {
  return [=](int first, int last, char* e) {
    return UpdateMultipleDeviceSystemList(device, subsystems, first, last, e);
  };
}

CachedRow PortAttributes(const char* device, const char* nbr, int way, const char* phy = "p2") {
  return [=](int first, int last, char* e) {
    return UpdateMultiplePorts(device, nbr, way, nullptr, 10, phy, 1, first, last, e);
  };
}
CachedRow PortStatus(const char* device, const char* nbr, int way) {
  return [=](int first, int last, char* e) {
    return UpdateMultiplePortStatuses(device, nbr, way, nullptr, 0, first, last, e);
  };
}

CachedRow AddressAttributes(const char* address, const char* name) {
  return [=](int first, int last, char* e) {
    return UpdateMultipleAttributeMacIPs(address, "255.255.0.0", name, first, last, e);
  };
}
CachedRow AddressReplaced(const char* old_address, const char* address) {
  return [=](int first, int last, char* e) {
    return UpdateMultipleIPAddresses(address, old_address, first, last, e);
  };
}

CachedRow DeviceTypeAttributes(const char* type, const char* description = "d2") {
  return [=](int first, int last, char* e) {
    return UpdateMultipleDeviceTypeAttributes(type, description, 2, 2, "red", first, last, e);
  };
}
CachedRow DeviceTypeName(const char* old_name, const char* name) {
  return [=](int first, int last, char* e) {
    return UpdateMultipleDeviceTypes(old_name, name, first, last, e);
  };
}
CachedRow LinkTypeName(const char* old_name, const char* name) {
  return [=](int first, int last, char* e) {
    return UpdateMultipleLinkTypeNames(old_name, name, first, last, e);
  };
}
CachedRow LinkTypeNumber(const char* name, const char* list) {
  return [=](int first, int last, char* e) {
    return UpdateMultipleCompositeLinkTypes(name, list, first, last, e);
  };
}

// A link named by its from end (device and port of a port_way 2 port) or,
// when from is null, by its to end.
struct LinkEnd {
  const char* from;
  const char* port_from;
  const char* to;
  const char* port_to;
};
constexpr LinkEnd kFirstLinkByFrom{"sw1", "1", nullptr, nullptr};
constexpr LinkEnd kSecondLinkByTo{nullptr, nullptr, "sw3", "1"};
constexpr LinkEnd kNoLink{"sw1", "9", nullptr, nullptr};
constexpr LinkEnd kBothEnds{"sw1", "1", "sw2", "1"};

CachedRow Bidirectional(LinkEnd l) {
  return [=](int first, int last, char* e) {
    return UpdateMultipleBidirectionalLinks(l.from, l.to, l.port_from, l.port_to, nullptr,
                                            nullptr, 1, first, last, e);
  };
}
CachedRow LinkUsed(LinkEnd l) {
  return [=](int first, int last, char* e) {
    return UpdateMultipleLkUsedLinks(l.from, l.to, l.port_from, l.port_to, nullptr, nullptr, 0,
                                     first, last, e);
  };
}
CachedRow LinkType(LinkEnd l, const char* type = "ctrl") {
  return [=](int first, int last, char* e) {
    return UpdateMultipleLkTypeLinks(l.from, l.to, l.port_from, l.port_to, nullptr, nullptr, type,
                                     first, last, e);
  };
}
CachedRow LinkInfo(LinkEnd l, const char* info = "i2") {
  return [=](int first, int last, char* e) {
    return UpdateMultipleLkInfoLinks(l.from, l.to, l.port_from, l.port_to, nullptr, nullptr, info,
                                     first, last, e);
  };
}

}  // namespace

std::vector<ExportSweep> UpdateSweeps() {
  constexpr Leaves kAccepted = Leaves::AcceptedRows;
  constexpr Leaves kNothing = Leaves::Nothing;
  return {
      {"DeviceAttributes", DeviceAttributes("sw1", 0), DeviceAttributes("sw2", 1),
       {{"unknown device", DeviceAttributes("ghost", 0), kAccepted},
        {"location over its column", DeviceAttributes("sw3", 0, kOver200), kNothing}},
       {}},
      {"DeviceActive", DeviceActive("sw1"), DeviceActive("sw2"),
       {{"unknown device", DeviceActive("ghost"), kAccepted}}, {}},
      {"DeviceNames", DeviceName("sw3", "sw3n"), DeviceName("sw4", "sw4n"),
       {{"unknown device", DeviceName("ghost", "g2"), kAccepted},
        {"name taken", DeviceName("board1", "sw1"), kNothing},
        {"name over its column", DeviceName("board1", kOver100), kNothing}},
       {}},
      {"DeviceTypesOfDevices", DeviceOfType("sw1", "BOARD"), DeviceOfType("sw2", "BOARD"),
       {{"unknown device", DeviceOfType("ghost", "BOARD"), kAccepted}}, {}},
      // A row of an unknown device rolls these sends back whole.
      {"DeviceNodeUsed", DeviceNodeUsed("sw1"), DeviceNodeUsed("sw2"),
       {{"unknown device", DeviceNodeUsed("ghost"), kNothing}}, {}},
      {"DeviceSubsystems", DeviceSubsystems("sw1", "DAQ"), DeviceSubsystems("sw2", "DAQ,TFC"),
       {{"unknown device", DeviceSubsystems("ghost", "DAQ"), kNothing},
        {"unknown subsystem", DeviceSubsystems("sw3", "NOPE"), kAccepted}},
       {}},

      {"PortAttributes", PortAttributes("sw1", "1", 2), PortAttributes("sw2", "1", 1),
       {{"unknown port", PortAttributes("sw1", "9", 2), kAccepted},
        {"unknown device", PortAttributes("ghost", "1", 1), kAccepted},
        {"phy over its column", PortAttributes("sw3", "1", 1, kOver100), kNothing}},
       {}},
      {"PortStatuses", PortStatus("sw1", "1", 2), PortStatus("sw3", "1", 1),
       {{"unknown port", PortStatus("sw1", "9", 2), kAccepted},
        {"unknown device", PortStatus("ghost", "1", 1), kAccepted}},
       {}},

      {"AddressAttributes", AddressAttributes("10.0.0.3", "n3"),
       AddressAttributes("10.0.0.4", "n4"),
       {{"unknown address", AddressAttributes("10.9.9.9", "n9"), kAccepted},
        {"name over its column", AddressAttributes("10.0.0.12", kOver100), kNothing}},
       {}},
      {"AddressesReplaced", AddressReplaced("10.0.0.3", "10.0.1.3"),
       AddressReplaced("10.0.0.4", "10.0.1.4"),
       {{"unknown address", AddressReplaced("10.9.9.9", "10.0.1.9"), kAccepted},
        {"new address taken", AddressReplaced("10.0.0.12", "10.0.0.4"), kAccepted},
        {"new address over its column", AddressReplaced("10.0.0.12", kOver100), kAccepted}},
       {}},

      {"DeviceTypeAttributes", DeviceTypeAttributes("SWITCH"), DeviceTypeAttributes("BOARD"),
       {{"unknown type", DeviceTypeAttributes("NOTYPE"), kAccepted},
        {"description over its column", DeviceTypeAttributes("BOARD", kOver1000), kNothing}},
       {}},
      {"DeviceTypeNames", DeviceTypeName("SWITCH", "SWITCH2"), DeviceTypeName("BOARD", "BOARD2"),
       {{"unknown type", DeviceTypeName("NOTYPE", "T9"), kAccepted},
        {"no new name", DeviceTypeName("BOARD", nullptr), kAccepted},
        {"name taken", DeviceTypeName("BOARD", "SWITCH2"), kNothing},
        {"name over its column", DeviceTypeName("BOARD", kOver100), kNothing}},
       {}},
      {"LinkTypeNames", LinkTypeName("data", "data2"), LinkTypeName("ctrl", "ctrl2"),
       {{"unknown type", LinkTypeName("nolink", "n2"), kAccepted},
        {"no new name", LinkTypeName("mgmt", nullptr), kAccepted},
        {"name taken", LinkTypeName("mgmt", "data2"), kNothing},
        {"name over its column", LinkTypeName("mgmt", kOver100), kNothing}},
       {}},
      {"LinkTypeNumbers", LinkTypeNumber("data", "ctrl,mgmt"), LinkTypeNumber("aux", "mgmt,opt"),
       {{"unknown type", LinkTypeNumber("nolink", "ctrl"), kAccepted},
        {"list naming the type itself", LinkTypeNumber("opt", "opt,data"), kAccepted},
        {"another type's number", LinkTypeNumber("opt", "ca"), kAccepted},
        // 7907*7919*3*5*7, above the largest integer.
        {"number too large", LinkTypeNumber("opt", "far1,far2,ctrl,mgmt,aux"), kAccepted}},
       {}},

      {"LinksBidirectional", Bidirectional(kFirstLinkByFrom), Bidirectional(kSecondLinkByTo),
       {{"unknown link", Bidirectional(kNoLink), kAccepted},
        {"both ends named", Bidirectional(kBothEnds), kAccepted}},
       {}},
      {"LinksUsed", LinkUsed(kFirstLinkByFrom), LinkUsed(kSecondLinkByTo),
       {{"unknown link", LinkUsed(kNoLink), kAccepted},
        {"both ends named", LinkUsed(kBothEnds), kAccepted}},
       {}},
      {"LinkTypesOfLinks", LinkType(kFirstLinkByFrom), LinkType(kSecondLinkByTo),
       {{"unknown link", LinkType(kNoLink), kAccepted}}, {}},
      {"LinkInformation", LinkInfo(kFirstLinkByFrom), LinkInfo(kSecondLinkByTo),
       {{"unknown link", LinkInfo(kNoLink), kAccepted},
        {"information over its column", LinkInfo(kSecondLinkByTo, kOver1000), kNothing}},
       {}},

      {"DevicesByTypeOrName",
       nullptr,
       nullptr,
       {},
       {{"node use of an unknown type",
         [](char* e) { return UpdateMultipleDeviceNodeUsedByType("NOTYPE", 0, 1, 1, e); }},
        {"node use of an unknown name",
         [](char* e) { return UpdateMultipleDeviceNodeUsedByType("zz", 0, 0, 1, e); }},
        {"activity of an unknown type",
         [](char* e) { return UpdateMultipleDeviceActiveByType("NOTYPE", 1, 1, 1, e); }},
        {"activity of an unknown name",
         [](char* e) { return UpdateMultipleDeviceActiveByType("zz", 1, 0, 1, e); }}}},
      {"DeletionsAndSwap",
       nullptr,
       nullptr,
       {},
       {{"unknown link", [](char* e) { return DeleteLinkRow(99999, 1, e); }},
        {"unknown link inside a board", [](char* e) { return DeleteLinkRow(99999, 0, e); }},
        {"unknown port", [](char* e) { return DeletePortRow(99999, e); }},
        {"swap with an unknown device", [](char* e) { return SwapTwoDevices("sw1", "ghost", "x", e); }},
        {"swap of a device with itself",
         [](char* e) { return SwapTwoDevices("sw1", "sw1", "x", e); }}}},
  };
}

}  // namespace sweep
