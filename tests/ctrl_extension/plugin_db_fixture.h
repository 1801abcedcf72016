// A platform whose plug-in is connected, through PVSSDBConnexion, to a
// freshly reset private database with the subsystems DAQ 2, TFC 3, ECS 5.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ctrl_platform.h"
#include "database_fixture.h"

class PluginDbTest : public DatabaseTest {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
    if (HasFatalFailure() || IsSkipped()) return;
    ASSERT_EQ(Connect(params_.password.c_str()), 0) << err_.getValue();
  }
  void TearDown() override {
    Quiet([&] { return ctrl_.Call("PVSSDBDeconnexion", {Arg::Of(err_)}); });
  }

  int Connect(const char* password) {
    return IntResult(Quiet([&] {
      return ctrl_.Call("PVSSDBConnexion", {params_.server.c_str(), params_.user.c_str(),
                                            password, Arg::Of(err_)});
    }));
  }
  // The result of a call, as a text, an integer or list elements.
  std::string Text(const char* function, std::initializer_list<Arg> args) {
    return TextResult(Quiet([&] { return ctrl_.Call(function, args); }));
  }
  int Int(const char* function, std::initializer_list<Arg> args) {
    return IntResult(Quiet([&] { return ctrl_.Call(function, args); }));
  }
  std::vector<std::string> List(const char* function, std::initializer_list<Arg> args) {
    return Elements(Quiet([&] { return ctrl_.Call(function, args); }));
  }
  // Committed data, as another session sees it.
  static std::string Value(const std::string& sql) { return testdb::value(sql); }

  CtrlPlatform ctrl_;
  TextVar err_;
};
