// A connected library against a freshly reset database (that of the insert
// tests: subsystems DAQ 2, TFC 3, ECS 5, LHC 7 and device type SWITCH) with a
// small network, every update batch closed, and the server functions the
// updates call under watch.
//
//   sw1 (DAQ,TFC, node 1) port 1 out ->  sw2 (DAQ) port 1 in      link "data"
//   sw2 port 2 out, type eth         ->  sw3 (DAQ,ECS) port 1 in  link "data"
//
// Link types: data (2), ctrl (3).
#pragma once

#include <memory>
#include <string>

#include "insert_fixture.h"
#include "server_spy.h"
#include "update/update_caches.h"

class UpdateTest : public InsertTest {
 protected:
  void SetUp() override {
    InsertTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    CloseUpdateBatches();
    spy_ = std::make_unique<ServerSpy>();
    testdb::exec("insert into vexa_link_types (linktypeID, link_name, link_nbr) values "
                 "(1, 'data', 2), (2, 'ctrl', 3)");
    AddDevice("sw1", "DAQ,TFC", 1);
    AddDevice("sw2", "DAQ");
    AddDevice("sw3", "DAQ,ECS");
    AddPort("sw1", "1", 2);
    AddPort("sw2", "1", 1);
    AddPort("sw2", "2", 2, "eth");
    AddPort("sw3", "1", 1);
    ASSERT_EQ(Quiet([&] {
                return InsertMacroLink("sw1", "sw2", "1", "1", nullptr, nullptr, "data", "a", 0,
                                       0, err_);
              }),
              0)
        << Err();
    ASSERT_EQ(Quiet([&] {
                return InsertMacroLink("sw2", "sw3", "2", "1", "eth", nullptr, "data", "b", 0, 0,
                                       err_);
              }),
              0)
        << Err();
  }
  void TearDown() override {
    InsertTest::TearDown();
    CloseUpdateBatches();
    spy_.reset();
  }
  static void CloseUpdateBatches() {
    using namespace ferrule;
    for (auto release :
         {FreeUpdateBidirectionalLinksCache, FreeUpdateLkUsedLinksCache, FreeUpdateLkTypeLinksCache,
          FreeUpdateLkInfoLinksCache, FreeUpdateAttributesDevicesCache,
          FreeUpdateDeviceNodeUsedCache, FreeUpdateDeviceActiveCache,
          FreeUpdateDevNamesDevicesCache, FreeUpdateDTypeDevicesCache,
          FreeUpdateDeviceSystemListCache, FreeUpdateDeviceTypeAttributesCache,
          FreeUpdateDeviceTypesCache, FreeUpdateLinkTypeNamesCache,
          FreeUpdateCompositeLinkTypesCache, FreeUpdateAttributeMacIPsCache,
          FreeUpdateIPAddressesCache, FreeUpdatePortsCache, FreeUpdatePortStatusesCache})
      release();
  }
  // A column of the link that leaves the device (committed data).
  static std::string LinkFrom(const std::string& device, const std::string& column) {
    return testdb::value("select c." + column +
                         " from vexa_macroscopic_connectivity c "
                         "join vexa_port_properties p on p.portid = c.portidfrom "
                         "join vexa_lg_devices d on d.deviceid = p.deviceid "
                         "where d.devicename = " + Literal(device));
  }
  static std::string Device(const std::string& name, const std::string& column) {
    return testdb::value("select " + column + " from vexa_lg_devices where devicename = " +
                         Literal(name));
  }
  static std::string Literal(const std::string& text) {
    std::string out = "'";
    for (char c : text) out += c == '\'' ? std::string("''") : std::string(1, c);
    return out + "'";
  }
  static std::vector<std::string> Calls(const std::string& fn) { return ServerSpy::Calls(fn); }

  std::unique_ptr<ServerSpy> spy_;
};
