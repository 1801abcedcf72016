// The connection and the device rows against hostile input.
#include <gtest/gtest.h>

#include <string>

#include "hostile_inputs.h"
#include "lookup_fixture.h"

namespace {

using hostile::Call;
using hostile::Chars;
using hostile::Export;

const Export kDeviceRows[] = {
    {"GetDeviceTypeRow", {"SWITCH"}, {}, {Chars(400)}, {{400, {0}}},
     [](Call& c) { return GetDeviceTypeRow(c.t[0], c.l(0), c.c(0), c.e()); }},
    {"GetDeviceRow_devicename", {"core1"}, {}, {Chars(400)}, {{400, {0}}},
     [](Call& c) { return GetDeviceRow_devicename(c.t[0], c.l(0), c.c(0), c.e()); }},
    {"GetDeviceRow_devid", {}, {4}, {Chars(400)}, {{400, {0}}},
     [](Call& c) { return GetDeviceRow_devid(c.v[0], c.l(0), c.c(0), c.e()); }},
};

// The lookup network, its device types with every column filled.
class DeviceRowInputs : public LookupTest, public testing::WithParamInterface<Export> {
 protected:
  void SetUp() override {
    LookupTest::SetUp();
    if (HasFatalFailure() || IsSkipped()) return;
    testdb::exec("update vexa_lg_device_types set nbrofinput = 1, nbrofoutput = 1, "
                 "description = 'd', rgbcolor = 'red', system_name = 2");
  }
};

TEST_P(DeviceRowInputs, SurviveHostileInput) { hostile::Sweep(GetParam()); }

INSTANTIATE_TEST_SUITE_P(Exports, DeviceRowInputs, testing::ValuesIn(kDeviceRows),
                         hostile::ExportName);

class DeviceRowsUnconnected : public DatabaseTest {};

TEST_F(DeviceRowsUnconnected, AreRefusedBeforeAnyConnection) {
  for (const Export& ex : kDeviceRows) hostile::ExpectRefusedWithoutConnection(ex);
}

class ConnectionInputs : public ConnectedTest {
 protected:
  // A lookup that needs the connection.
  bool Connected() {
    int len = 100;
    char row[100];
    return Quiet([&] { return GetDeviceRow_devid(1, &len, row, err_); }) == 0;
  }
};

// Every argument of DBConnexion in turn null, empty, long or quoted: no
// crash, a refusal, and a normal connection afterwards.
TEST_F(ConnectionInputs, HostileConnectionArgumentsAreRefused) {
  const std::string long_text = hostile::LongText();
  for (int arg = 0; arg < 3; ++arg) {
    for (const char* text : hostile::HostileTexts(long_text)) {
      std::string server = params_.server, user = params_.user, password = params_.password;
      const char* args[3] = {server.c_str(), user.c_str(), password.c_str()};
      args[arg] = text;
      hostile::Buffer err(hostile::kErrMessBytes);
      const int rc = Quiet([&] {
        return DBConnexion(args[0], args[1], args[2], static_cast<char*>(err.data()));
      });
      const std::string what = "argument " + std::to_string(arg) + " " +
                               (text ? std::string(text).substr(0, 20) : std::string("null"));
      EXPECT_NE(rc, 0) << what;
      EXPECT_TRUE(err.guard_intact()) << what;
      EXPECT_TRUE(err.holds_text()) << what;
      EXPECT_FALSE(Connected()) << what;
    }
  }
  Connect();
  EXPECT_TRUE(Connected()) << err_;
}

TEST_F(ConnectionInputs, DisconnectingTwiceIsRefusedTheSecondTime) {
  hostile::Buffer err(hostile::kErrMessBytes);
  char* e = static_cast<char*>(err.data());
  EXPECT_EQ(Quiet([&] { return DBDeconnexion(e); }), 0);
  EXPECT_EQ(Quiet([&] { return DBDeconnexion(e); }), -1);
  EXPECT_STREQ(e, "ERROR in DBDeconnexion : NOT CONNECTED TO ANY DB");
  EXPECT_TRUE(err.guard_intact());
  Connect();
  EXPECT_TRUE(Connected());
}

}  // namespace
