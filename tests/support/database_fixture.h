// The setup that every test against the private database shares: a freshly
// reset database with its subsystems and the parameters to connect to it.
// ConnectedTest (connected_fixture.h) adds the library's connection; a
// fixture that connects its own way (the plug-in's) builds on DatabaseTest.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "test_db.h"

// Runs f with standard output (the library's diagnostics) swallowed.
template <class F>
auto Quiet(F f) {
  testing::internal::CaptureStdout();
  auto result = f();
  testing::internal::GetCapturedStdout();
  return result;
}

class DatabaseTest : public ::testing::Test {
 protected:
  // The subsystems recorded before each test, as SQL values of
  // (system_name, systemID).
  static constexpr const char* kDaqTfcEcs = "('DAQ',2),('TFC',3),('ECS',5)";

  explicit DatabaseTest(const char* subsystems = kDaqTfcEcs) : subsystems_(subsystems) {}

  void SetUp() override {
    REQUIRE_TEST_DB();
    testdb::reset();
    testdb::exec(std::string("insert into vexa_subsystemList(system_name, systemID) values ") +
                 subsystems_);
    ASSERT_TRUE(testdb::params(params_));
  }

  testdb::Params params_;

 private:
  const char* subsystems_;
};
