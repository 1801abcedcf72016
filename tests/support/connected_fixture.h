// The library connected, through DBConnexion, to a freshly reset private
// database (database_fixture.h); disconnected after each test.
#pragma once

#include "database_fixture.h"
#include "ferrule.h"
#include "report.h"

class ConnectedTest : public DatabaseTest {
 protected:
  using DatabaseTest::DatabaseTest;

  void SetUp() override {
    DatabaseTest::SetUp();
    if (HasFatalFailure() || IsSkipped()) return;
    Connect();
  }
  void TearDown() override {
    Quiet([] {
      char err[ferrule::kErrMessMax];
      return DBDeconnexion(err);
    });
  }

  void Connect() {
    ASSERT_EQ(Quiet([&] {
                return DBConnexion(params_.server.c_str(), params_.user.c_str(),
                                   params_.password.c_str(), err_);
              }),
              0)
        << err_;
  }

  char err_[ferrule::kErrMessMax] = "";
};
