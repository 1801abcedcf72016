// Lookups that answer with a packed list of texts.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "lookup_fixture.h"

namespace {

using Items = std::vector<std::string>;

class ListLookups : public LookupTest {
 protected:
  // Calls a list lookup with a buffer of `capacity` bytes; on success the
  // items, sorted (no statement orders its rows).
  template <class F>
  int List(int capacity, F f) {
    buf_.assign(capacity > 0 ? static_cast<std::size_t>(capacity) : 1, '\x7f');
    len_ = capacity;
    rc_ = Traced([&] { return f(&len_, buf_.data()); });
    items_.clear();
    if (rc_ == 0 && std::string(buf_.data()) != "NO_ROWS_SELECTED") {
      items_ = ListItems(buf_.data(), len_);
      std::sort(items_.begin(), items_.end());
    }
    return rc_;
  }

  std::string buf_;
  int len_ = 0;
  int rc_ = 0;
  Items items_;
};

TEST_F(ListLookups, DevicesPerTypeAndTheLengthProtocol) {
  EXPECT_EQ(List(100, [&](int* l, char* b) { return GetDeviceNamesPerType("SWITCH", l, b, err_); }), 0);
  EXPECT_EQ(items_, (Items{"sw1|1", "sw22|2", "sw3|3"}));
  EXPECT_EQ(len_, 19);
  EXPECT_EQ(Err(), "NO_ERROR in GetDeviceNamesPerType");
  EXPECT_EQ(List(19, [&](int* l, char* b) { return GetDeviceNamesPerType("SWITCH", l, b, err_); }), 0);
  EXPECT_EQ(len_, 19);
  EXPECT_EQ(List(18, [&](int* l, char* b) { return GetDeviceNamesPerType("SWITCH", l, b, err_); }), -1);
  EXPECT_EQ(len_, 19) << "the size itself, not size + 1";
  EXPECT_EQ(Err(), "ERROR in GetDeviceNamesPerType : BUFFER_TOO_SMALL");
  EXPECT_EQ(buf_[0], '\x7f');

  EXPECT_EQ(List(100, [&](int* l, char* b) { return GetDeviceNamesPerType("NOTYPE", l, b, err_); }), 0);
  EXPECT_STREQ(buf_.data(), "NO_ROWS_SELECTED");
  EXPECT_EQ(len_, 100);
  EXPECT_EQ(Err(), "ERROR in GetDeviceNamesPerType : NO_ROWS_SELECTED");
  EXPECT_EQ(List(16, [&](int* l, char* b) { return GetDeviceNamesPerType("NOTYPE", l, b, err_); }), -1);
  EXPECT_EQ(len_, 17) << "the word needs 17 bytes";
  EXPECT_EQ(List(100, [&](int* l, char* b) { return GetDeviceNamesPerType(nullptr, l, b, err_); }), -1);
  EXPECT_EQ(Err(), "ERROR in GetDeviceNamesPerType :  device type MUST be given");

  List(100, [&](int* l, char* b) { return GetFreeDeviceNamesPerType("SWITCH", l, b, err_); });
  EXPECT_EQ(items_, (Items{"sw22"})) << "active 0 and nodeused 1";
}

// More rows than one fetch brings (2,000 a fetch), and a list that
// outgrows the first blocks of its gathering.
TEST_F(ListLookups, ListsOfManyRowsComeWhole) {
  testdb::exec(
      "insert into vexa_lg_devices(devicename, devicetypeID, deviceid, node, promiscuous_mode, "
      "active, nodeused) select 'many' || g, 1, 1000 + g, 0, 0, 0, 1 "
      "from generate_series(1, 4500) g");
  Items expected = {"sw1|1", "sw22|2", "sw3|3"};
  int size = 19;
  for (int g = 1; g <= 4500; ++g) {
    expected.push_back("many" + std::to_string(g) + "|" + std::to_string(1000 + g));
    size += static_cast<int>(expected.back().size()) + 1;
  }
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(List(size, [&](int* l, char* b) { return GetDeviceNamesPerType("SWITCH", l, b, err_); }), 0);
  EXPECT_EQ(len_, size);
  EXPECT_EQ(items_, expected);
  EXPECT_EQ(List(size - 1, [&](int* l, char* b) { return GetDeviceNamesPerType("SWITCH", l, b, err_); }), -1);
  EXPECT_EQ(len_, size);

  List(100000, [&](int* l, char* b) { return GetFreeDeviceNamesPerType("SWITCH", l, b, err_); });
  EXPECT_EQ(items_.size(), 4501u) << "sw22 and the 4,500";
}

TEST_F(ListLookups, NamesHoldingAMarkComeWhole) {
  testdb::exec("update vexa_lg_devices set devicetypeID=1 where deviceid=7");
  List(100, [&](int* l, char* b) { return GetDeviceNamesPerType("SWITCH", l, b, err_); });
  EXPECT_NE(std::find(items_.begin(), items_.end(), "bar|dev|7"), items_.end());
  List(100, [&](int* l, char* b) { return GetFreeDeviceNamesPerType("SWITCH", l, b, err_); });
  EXPECT_EQ(items_, (Items{"bar|dev", "sw22"})) << "a name holding the list's mark";
  List(100, [&](int* l, char* b) { return GetDeviceNamesPerLocation("lab", l, b, err_); });
  EXPECT_EQ(items_, (Items{"bar|dev"}));
}

TEST_F(ListLookups, DevicesPerLocation) {
  List(100, [&](int* l, char* b) { return GetDeviceNamesPerLocation("rack", l, b, err_); });
  EXPECT_EQ(items_, (Items{"core1", "srv1", "sw1", "sw3"})) << "the text anywhere in the location";
  // No location reads "none"; the placeholder device is never listed.
  List(100, [&](int* l, char* b) { return GetDeviceNamesPerLocation("on", l, b, err_); });
  EXPECT_EQ(items_, (Items{"sw22"}));
}

TEST_F(ListLookups, MacAndIpPerDevice) {
  List(200, [&](int* l, char* b) { return GetMacIPAddPerDevID(4, l, b, err_); });
  EXPECT_EQ(items_, (Items{"1|2|eth|00:aa|192.0.2.1", "2|1|none||192.0.2.2"}));
  // Without mounted hardware, no port is listed.
  EXPECT_EQ(List(200, [&](int* l, char* b) { return GetMacIPAddPerDevID(1, l, b, err_); }), 0);
  EXPECT_STREQ(buf_.data(), "NO_ROWS_SELECTED");
}

TEST_F(ListLookups, DestinationsThroughAPort) {
  List(100, [&](int* l, char* b) { return GetDestinationNamePerDevPort("core1", "1", "eth", l, b, err_); });
  EXPECT_EQ(items_, (Items{"bar|dev", "srv1"}));
  EXPECT_EQ(List(100, [&](int* l, char* b) {
              return GetDestinationNamePerDevPort("core1", "2", "none", l, b, err_);
            }), 0);
  EXPECT_STREQ(buf_.data(), "NO_ROWS_SELECTED");
  EXPECT_EQ(Err(), "ERROR in GetDestinationNamePerDevPort : NO_ROWS_SELECTED");
  EXPECT_EQ(printed_, "Error - OCI_NODATA OCIFETCH  unsuccessful\n");
  // Every key is needed; a null one is refused, not compared with NULL.
  EXPECT_EQ(List(100, [&](int* l, char* b) {
              return GetDestinationNamePerDevPort(nullptr, "1", "eth", l, b, err_);
            }), -1);
  EXPECT_EQ(Err(), "ERROR in GetDestinationNamePerDevPort :  devname MUST be given");
  EXPECT_EQ(List(100, [&](int* l, char* b) {
              return GetDestinationNamePerDevPort("core1", "1", nullptr, l, b, err_);
            }), -1);
  EXPECT_EQ(Err(), "ERROR in GetDestinationNamePerDevPort :  port_type MUST be given");
}

TEST_F(ListLookups, HardwarePerLocationAndType) {
  List(100, [&](int* l, char* b) { return GetSpareHWPerLocation("shelf", l, b, err_); });
  EXPECT_EQ(items_, (Items{"SN-SPARE|none"}));
  List(100, [&](int* l, char* b) { return GetSpareHWPerLocation("none", l, b, err_); });
  EXPECT_EQ(items_, (Items{"SN-BAD|bad", "SN-NULLST|nostatus"})) << "whatever the status";
  EXPECT_EQ(List(100, [&](int* l, char* b) { return GetSpareHWPerLocation("moon", l, b, err_); }), 100);
  EXPECT_STREQ(buf_.data(), "NO_ROWS_SELECTED");
  EXPECT_EQ(Err(), "ERROR in GetSpareHWPerLocation : NO_ROWS_SELECTED");
  EXPECT_EQ(printed_, "Error - OCI_NODATA OCIFETCH unsuccessful\n");

  List(100, [&](int* l, char* b) { return GetSpareHWPerType("disk", l, b, err_); });
  EXPECT_EQ(items_, (Items{"SN-BAD|bad", "SN-NULLST|nostatus", "SN-SPARE|none"}));
  EXPECT_EQ(Err(), "NO_ERROR in GetSpareHWPerPerType");
  EXPECT_EQ(List(100, [&](int* l, char* b) { return GetSpareHWPerType("tape", l, b, err_); }), 0);
  EXPECT_EQ(Err(), "ERROR in GetSpareHWPerPerType : NO_ROWS_SELECTED");
  EXPECT_EQ(printed_, "");
}

TEST_F(ListLookups, LinkTypeDecomposition) {
  List(100, [&](int* l, char* b) { return GetLkTypeDecomposition_lknb(3, l, b, err_); });
  EXPECT_EQ(items_, (Items{"cu|1", "fo|2"}));
  EXPECT_EQ(len_, 10);
  // Only prime-numbered types are parts: big (30) is not one of huge (210).
  List(100, [&](int* l, char* b) { return GetLkTypeDecomposition_lknb(6, l, b, err_); });
  EXPECT_EQ(items_, (Items{"cu|1", "fibre|4", "fo|2"}));
  EXPECT_EQ(List(100, [&](int* l, char* b) { return GetLkTypeDecomposition_lknb(1, l, b, err_); }), 100);
  EXPECT_STREQ(buf_.data(), "NO_ROWS_SELECTED");
  EXPECT_EQ(Err(), "ERROR in GetLkTypeDecomposition_lknb : NO_ROWS_SELECTED");
  EXPECT_EQ(List(9, [&](int* l, char* b) { return GetLkTypeDecomposition_lknb(3, l, b, err_); }), -1);
  EXPECT_EQ(len_, 10);
}

TEST_F(ListLookups, ComponentLists) {
  List(100, [&](int* l, char* b) { return GetBoardCpntPerType("ADC", l, b, err_); });
  EXPECT_EQ(items_, (Items{"adc1|11", "adc2|12"}));
  EXPECT_EQ(len_, 16);
  List(100, [&](int* l, char* b) { return GetCpntNamesPerBoard("board1", l, b, err_); });
  EXPECT_EQ(items_, (Items{"adc1", "adc2", "fpga|x"})) << "a name holding the list's mark";
  List(100, [&](int* l, char* b) { return GetBoardCpntPerType("FPGA", l, b, err_); });
  EXPECT_EQ(items_, (Items{"fpga|x|13"}));

  List(100, [&](int* l, char* b) { return GetSpareHWCpntPerType("adc", l, b, err_); });
  EXPECT_EQ(items_, (Items{"1|CS-1|adc1hw", "2|none|adc2hw"})) << "mounted ones included";
  // No location reads "none"; the placeholder component is never listed.
  List(100, [&](int* l, char* b) { return GetSpareHWCpntPerLocation("none", l, b, err_); });
  EXPECT_EQ(items_, (Items{"2|none|adc2hw", "3|CS-3|f3"}));

  EXPECT_EQ(List(100, [&](int* l, char* b) { return GetBoardCpntPerType("DAC", l, b, err_); }), 100);
  EXPECT_STREQ(buf_.data(), "NO_ROWS_SELECTED");
  EXPECT_EQ(len_, 100);
  EXPECT_EQ(Err(), "ERROR in GetBoardCpntPerType : no data found");
  EXPECT_EQ(printed_, "Error - OCI_NODATA OCIFETCH unsuccessful\n");
  EXPECT_EQ(List(16, [&](int* l, char* b) { return GetBoardCpntPerType("DAC", l, b, err_); }), -1);
  EXPECT_EQ(len_, 17);
  EXPECT_EQ(printed_, "Error - OCI_NODATA OCIFETCH unsuccessful\n")
      << "the end of the rows is traced whatever the capacity";
  EXPECT_EQ(List(15, [&](int* l, char* b) { return GetBoardCpntPerType("ADC", l, b, err_); }), -1);
  EXPECT_EQ(len_, 16);
  EXPECT_EQ(List(100, [&](int* l, char* b) { return GetCpntNamesPerBoard(nullptr, l, b, err_); }), -1);
  EXPECT_EQ(Err(), "ERROR in GetCpntNamesPerBoard :  location MUST be given");
}

}  // namespace
