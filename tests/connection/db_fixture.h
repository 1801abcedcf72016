// A connected library against a freshly reset private database.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "ferrule.h"
#include "test_db.h"

class ConnectedTest : public ::testing::Test {
 protected:
  void SetUp() override {
    REQUIRE_TEST_DB();
    testdb::reset();
    testdb::exec(
        "insert into vexa_subsystemList(system_name, systemID) values "
        "('DAQ',2),('TFC',3),('ECS',5)");
    ASSERT_TRUE(testdb::params(params_));
    testing::internal::CaptureStdout();
    int rc = DBConnexion(params_.server.c_str(), params_.user.c_str(),
                         params_.password.c_str(), err_);
    testing::internal::GetCapturedStdout();
    ASSERT_EQ(rc, 0) << err_;
  }
  void TearDown() override {
    char err[400];
    DBDeconnexion(err);
  }

  testdb::Params params_;
  char err_[400] = "";
};
