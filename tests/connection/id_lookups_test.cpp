// Lookups that answer with an integer list or with one value.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <memory>
#include <string>
#include <vector>

#include "lookup_fixture.h"

namespace {

class IdLookups : public LookupTest {
 protected:
  // Calls an integer-list lookup with room for `capacity` ids (at least 2).
  template <class F>
  int Ids(int capacity, F f) {
    ids_.assign(static_cast<std::size_t>(std::max(capacity, 2)), INT_MIN);
    count_ = capacity;
    return rc_ = Traced([&] { return f(&count_, ids_.data()); });
  }
  std::vector<int> found() const { return {ids_.begin(), ids_.begin() + count_}; }
  bool no_rows_value() const { return ids_[0] == -1 && ids_[1] == -1; }

  std::vector<int> ids_;
  int count_ = 0;
  int rc_ = 0;
};

TEST_F(IdLookups, DevicesOfATypeAndTheCountProtocol) {
  testdb::exec(
      "insert into vexa_lg_devices(devicename, devicetypeID, deviceid, node, promiscuous_mode) "
      "select 'many' || g, 3, 1000 + g, 0, 0 from generate_series(1, 248) g");
  EXPECT_EQ(Ids(250, [&](int* n, int* ids) { return GetDeviceIDsPerType("SERVER", n, ids, err_); }), 0);
  EXPECT_EQ(count_, 250);
  EXPECT_EQ(Err(), "NO_ERROR in GetDeviceIDsPerType");
  std::vector<int> got = found();
  std::sort(got.begin(), got.end());
  EXPECT_EQ(got.front(), 5);
  EXPECT_EQ(got.back(), 1248);

  EXPECT_EQ(Ids(249, [&](int* n, int* ids) { return GetDeviceIDsPerType("SERVER", n, ids, err_); }), -1);
  EXPECT_EQ(count_, 250);
  EXPECT_EQ(Err(), "ERROR in GetDeviceIDsPerType : BUFFER_TOO_SMALL");
  EXPECT_EQ(ids_[0], INT_MIN) << "nothing copied";

  EXPECT_EQ(Ids(5, [&](int* n, int* ids) { return GetDeviceIDsPerType("NOTYPE", n, ids, err_); }), 0);
  EXPECT_TRUE(no_rows_value());
  EXPECT_EQ(ids_[2], INT_MIN);
  EXPECT_EQ(count_, 5);
  EXPECT_EQ(Err(), "ERROR in GetDeviceIDsPerType : NO_ROWS_SELECTED");
  // The no-rows answer needs two entries.
  EXPECT_EQ(Ids(1, [&](int* n, int* ids) { return GetDeviceIDsPerType("NOTYPE", n, ids, err_); }), -1);
  EXPECT_EQ(count_, 2);
  EXPECT_EQ(ids_[0], INT_MIN);
  EXPECT_EQ(Ids(5, [&](int* n, int* ids) { return GetDeviceIDsPerType(nullptr, n, ids, err_); }), -1);
  EXPECT_EQ(Err(), "ERROR in GetDeviceIDsPerType :  device type MUST be given");
}

// More ids than one fetch brings (2,000 a fetch).
TEST_F(IdLookups, ListsOfManyIdsComeWhole) {
  testdb::exec(
      "insert into vexa_lg_devices(devicename, devicetypeID, deviceid, node, promiscuous_mode) "
      "select 'many' || g, 3, 1000 + g, 0, 0 from generate_series(1, 4500) g");
  std::vector<int> expected = {5, 7};
  for (int g = 1; g <= 4500; ++g) expected.push_back(1000 + g);
  EXPECT_EQ(Ids(5000, [&](int* n, int* ids) { return GetDeviceIDsPerType("SERVER", n, ids, err_); }), 0);
  EXPECT_EQ(count_, 4502);
  std::vector<int> got = found();
  std::sort(got.begin(), got.end());
  EXPECT_EQ(got, expected);
}

TEST_F(IdLookups, LinksAndPortsOfADevice) {
  Ids(10, [&](int* n, int* ids) { return GetLkFromDevID(4, n, ids, err_); });
  EXPECT_EQ(found(), std::vector<int>{1});
  Ids(10, [&](int* n, int* ids) { return GetLkToDevID(5, n, ids, err_); });
  EXPECT_EQ(found(), std::vector<int>{1});
  // The link arrives at srv1 through a port of way 1: it does not leave it.
  EXPECT_EQ(Ids(10, [&](int* n, int* ids) { return GetLkFromDevID(5, n, ids, err_); }), 0);
  EXPECT_TRUE(no_rows_value());
  EXPECT_EQ(count_, 10);
  EXPECT_EQ(Err(), "ERROR in GetLkFromDevID : NO_ROWS_SELECTED");

  Ids(10, [&](int* n, int* ids) { return GetPortIDPerDevID(4, n, ids, err_); });
  std::vector<int> ports = found();
  std::sort(ports.begin(), ports.end());
  EXPECT_EQ(ports, (std::vector<int>{20, 22, 24}));
  EXPECT_EQ(Ids(10, [&](int* n, int* ids) { return GetPortIDPerDevID(2, n, ids, err_); }), 0);
  EXPECT_TRUE(no_rows_value());
  EXPECT_EQ(Err(), "ERROR in GetPortIDPerDevID : NO_ROWS_SELECTED");
}

TEST_F(IdLookups, LinksInsideABoard) {
  Ids(10, [&](int* n, int* ids) { return GetMicroLkFromCpntID(11, -1, n, ids, err_); });
  EXPECT_EQ(found(), std::vector<int>{2});
  Ids(10, [&](int* n, int* ids) { return GetMicroLkFromCpntID(-1, -1, n, ids, err_); });
  EXPECT_EQ(found(), std::vector<int>{1}) << "every link from a board port";
  Ids(10, [&](int* n, int* ids) { return GetMicroLkFromCpntID(12345, 9, n, ids, err_); });
  EXPECT_EQ(found(), std::vector<int>{1}) << "from board 9's ports, whatever the component";
  Ids(10, [&](int* n, int* ids) { return GetMicroLkToCpntID(12, -1, n, ids, err_); });
  EXPECT_EQ(found(), std::vector<int>{2});
  Ids(10, [&](int* n, int* ids) { return GetMicroLkToCpntID(0, 9, n, ids, err_); });
  EXPECT_EQ(found(), std::vector<int>{3});

  // 0 is a board id like any other, not a request by component.
  EXPECT_EQ(Ids(10, [&](int* n, int* ids) { return GetMicroLkFromCpntID(11, 0, n, ids, err_); }), 100);
  EXPECT_TRUE(no_rows_value());
  EXPECT_EQ(count_, 10);
  EXPECT_EQ(Err(), "ERROR in GetMicroLkFromCpntID : no data found");
  EXPECT_EQ(printed_, "Error - OCI_NODATA OCIFETCH  unsuccessful\n");
  EXPECT_EQ(Ids(10, [&](int* n, int* ids) { return GetMicroLkToCpntID(13, -1, n, ids, err_); }), 100);
  EXPECT_EQ(printed_, "Error - OCI_NODATA OCIFETCH unsuccessful\n");
}

TEST_F(IdLookups, DeviceNameAndIdOneToOne) {
  int id = 77;
  EXPECT_EQ(GetDeviceID_devicename("srv1", &id, err_), 0);
  EXPECT_EQ(id, 5);
  EXPECT_EQ(Err(), "NO_ERROR in GetDeviceID_devicename");
  id = 77;
  EXPECT_EQ(Traced([&] { return GetDeviceID_devicename("nosuch", &id, err_); }), 0);
  EXPECT_EQ(id, 77) << "left as it was";
  EXPECT_EQ(Err(), "ERROR in GetDeviceID_devicename : NO_ROWS_SELECTED");
  EXPECT_EQ(printed_, "Error - OCI_NODATA Fetch unsuccessful\n");
  EXPECT_EQ(GetDeviceID_devicename(nullptr, &id, err_), -1);
  EXPECT_EQ(Err(), "ERROR in GetDeviceID_devicename :  device name MUST be given");

  char name[101];
  EXPECT_EQ(GetDeviceName_deviceid(7, name, err_), 0);
  EXPECT_STREQ(name, "bar|dev");
  EXPECT_EQ(Traced([&] { return GetDeviceName_deviceid(999, name, err_); }), 0);
  EXPECT_STREQ(name, "NO_ROWS_SELECTED");
  EXPECT_EQ(Err(), "ERROR in GetDeviceName_deviceid : NO_ROWS_SELECTED");
  EXPECT_EQ(printed_, "");
}

// The name buffer has no size argument: names are bounded in the schema so
// that 101 bytes hold any of them.
TEST_F(IdLookups, LongestNamesFitTheDocumentedBuffer) {
  const std::string longest(100, 'n');
  testdb::exec("update vexa_lg_devices set devicename='" + longest + "' where deviceid=7;"
               "update vexa_lg_cpnts set cpntname='" + longest + "' where cpntid=13");
  auto buffer = std::make_unique<char[]>(101);
  EXPECT_EQ(GetDeviceName_deviceid(7, buffer.get(), err_), 0);
  EXPECT_EQ(buffer.get(), longest);
  EXPECT_EQ(GetCpntName_cpntid(13, buffer.get(), err_), 0);
  EXPECT_EQ(buffer.get(), longest);
}

TEST_F(IdLookups, ComponentNameAndIdOneToOne) {
  int id = 77;
  EXPECT_EQ(GetCpntID_cpntname("adc2", &id, err_), 0);
  EXPECT_EQ(id, 12);
  EXPECT_EQ(GetCpntID_cpntname("motherboard", &id, err_), 0);
  EXPECT_EQ(id, -1);
  id = 77;
  EXPECT_EQ(Traced([&] { return GetCpntID_cpntname("nosuch", &id, err_); }), 100);
  EXPECT_EQ(id, -1);
  EXPECT_EQ(Err(), "ERROR in GetCpntID_cpntname : no data found");
  EXPECT_EQ(GetCpntID_cpntname(nullptr, &id, err_), -1);
  EXPECT_EQ(Err(), "ERROR in GetCpntID_cpntname :  cpnt name MUST be given");

  char name[101];
  EXPECT_EQ(GetCpntName_cpntid(-1, name, err_), 0);
  EXPECT_STREQ(name, "motherboard");
  EXPECT_EQ(Traced([&] { return GetCpntName_cpntid(999, name, err_); }), 100);
  EXPECT_STREQ(name, "NO_ROWS_SELECTED");
  EXPECT_EQ(printed_, "Error - OCI_NODATA Fetch unsuccessful\n");
}

}  // namespace
