// A connected library against a freshly reset private database, with every
// insert batch closed, and small helpers to read what the inserts wrote.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "ferrule.h"
#include "identity.h"
#include "insert/cache_release.h"
#include "report.h"
#include "test_db.h"

class InsertTest : public ::testing::Test {
 protected:
  void SetUp() override {
    REQUIRE_TEST_DB();
    testdb::reset();
    // Subsystems DAQ 2, TFC 3, ECS 5 and LHC 7.
    testdb::exec(
        "insert into vexa_subsystemList(system_name, systemID) values "
        "('DAQ',2),('TFC',3),('ECS',5),('LHC',7)");
    CloseAllBatches();
    Connect();
  }

  void TearDown() override {
    char err[ferrule::kErrMessMax];
    DBDeconnexion(err);
    CloseAllBatches();
  }

  void Connect() {
    ASSERT_TRUE(testdb::params(params_));
    testing::internal::CaptureStdout();
    int rc = DBConnexion(params_.server.c_str(), params_.user.c_str(), params_.password.c_str(),
                         err_);
    testing::internal::GetCapturedStdout();
    ASSERT_EQ(rc, 0) << err_;
  }

  static void CloseAllBatches() {
    ferrule::FreeInsertDeviceTypesCache();
    ferrule::FreeInsertFunctionalDevicesCache();
    ferrule::FreeInsertPortsCache();
    ferrule::FreeInsertSparePortsCache();
    ferrule::FreeInsertMacroLinksCache();
  }

  // Committed rows, as another session sees them.
  static int Count(const std::string& table, const std::string& where = "true") {
    return std::stoi(testdb::value("select count(*) from " + table + " where " + where));
  }
  static std::string Value(const std::string& sql) { return testdb::value(sql); }

  static std::string Login() {
    char name[256], status[ferrule::kErrMessMax];
    ferrule::getLoginUser(name, sizeof name, status);
    return name;
  }
  static std::string Host() {
    char name[256], status[ferrule::kErrMessMax];
    ferrule::getTerminalName(name, sizeof name, status);
    return name;
  }

  // A device type in the given subsystems, committed.
  void AddDeviceType(const char* name, const char* subsystems = "DAQ") {
    ASSERT_EQ(InsertDeviceType(subsystems, name, 1, 1, nullptr, nullptr, 0, err_), 0) << err_;
  }
  // A functional device with its hardware item, committed.
  void AddDevice(const char* name, const char* type, const char* subsystems, int node = 0) {
    const std::string serial = std::string("SN-") + name;
    ASSERT_EQ(InsertFunctionalDevice(subsystems, name, type, node, 0, serial.c_str(), "hw",
                                     "someone", nullptr, "rack", 0, err_),
              0)
        << err_;
  }
  // A port without an address, committed.
  void AddPort(const char* device, const char* nbr, int way, const char* type = nullptr) {
    ASSERT_EQ(InsertPort(device, nbr, 1, way, 1000, 0, type, nullptr, nullptr, nullptr, nullptr,
                         nullptr, nullptr, 0, err_),
              0)
        << err_;
  }

  std::string Err() const { return err_; }

  testdb::Params params_;
  char err_[ferrule::kErrMessMax] = "";
};
