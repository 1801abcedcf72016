// A connected library against a freshly reset database (subsystems DAQ 2,
// TFC 3, ECS 5, LHC 7 unless a test records others; device type SWITCH),
// with every insert batch closed.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "connected_fixture.h"
#include "identity.h"
#include "insert/cache_release.h"

class InsertTest : public ConnectedTest {
 protected:
  static constexpr const char* kFourSubsystems = "('DAQ',2),('TFC',3),('ECS',5),('LHC',7)";
  // subsystems: the recorded ones, holding at least DAQ, TFC and ECS.
  explicit InsertTest(const char* subsystems = kFourSubsystems) : ConnectedTest(subsystems) {}

  void SetUp() override {
    CloseAllBatches();
    ConnectedTest::SetUp();
    if (HasFatalFailure() || IsSkipped()) return;
    ASSERT_EQ(InsertDeviceType("DAQ,TFC,ECS", "SWITCH", 1, 1, nullptr, nullptr, 0, err_), 0);
  }
  void TearDown() override {
    ConnectedTest::TearDown();
    CloseAllBatches();
  }
  static void CloseAllBatches() {
    ferrule::FreeInsertDeviceTypesCache();
    ferrule::FreeInsertFunctionalDevicesCache();
    ferrule::FreeInsertPortsCache();
    ferrule::FreeInsertSparePortsCache();
    ferrule::FreeInsertMacroLinksCache();
    ferrule::FreeInsertSpareDevicesCache();
    ferrule::FreeInsertBoardCpntsCache();
    ferrule::FreeInsertMicroLinksCache();
    ferrule::FreeInsertSimpleLinkTypesCache();
    ferrule::FreeInsertCompositeLinkTypesCache();
  }
  // Committed data, as another session sees it.
  static int Count(const std::string& table, const std::string& where = "true") {
    return std::stoi(testdb::value("select count(*) from " + table + " where " + where));
  }
  static std::vector<std::string> Column(const std::string& sql) { return testdb::column(sql); }
  // The caller identity as "login|login|host" (author, user_update, terminal).
  static std::string Me() {
    char login[256], host[256], status[ferrule::kErrMessMax];
    ferrule::getLoginUser(login, sizeof login, status);
    ferrule::getTerminalName(host, sizeof host, status);
    return std::string(login) + "|" + login + "|" + host;
  }
  void AddDevice(const char* name, const char* subsystems, int node = 0) {
    const std::string serial = std::string("SN-") + name;
    ASSERT_EQ(InsertFunctionalDevice(subsystems, name, "SWITCH", node, 0, serial.c_str(), "hw",
                                     "me", nullptr, "rack", 0, err_), 0) << err_;
  }
  void AddPort(const char* device, const char* nbr, int way, const char* type = nullptr) {
    ASSERT_EQ(InsertPort(device, nbr, 1, way, 1000, 0, type, nullptr, nullptr, nullptr, nullptr,
                         nullptr, nullptr, 0, err_), 0) << err_;
  }
  std::string Err() const { return err_; }
};
