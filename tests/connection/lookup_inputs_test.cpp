// Every lookup against hostile input: lengths below 1, texts that try to end
// their literal, and no connection.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "lookup_fixture.h"

namespace {

enum class Shape { Row, List, Ids, Value };

using Texts = std::vector<const char*>;

struct Export {
  const char* appliName;
  Shape shape;
  std::vector<const char*> texts;  // its text keys, with values that find something
  // Calls the export; out is a char buffer, or an int array for Ids (and an
  // int for the id values).
  std::function<int(const Texts& t, int* len, void* out, char* err)> call;
};

char* text(void* out) { return static_cast<char*>(out); }
int* ints(void* out) { return static_cast<int*>(out); }

const std::vector<Export>& Exports() {
  static const std::vector<Export> all = {
      {"GetPortRow_pid", Shape::Row, {},
       [](const Texts&, int* l, void* o, char* e) { return GetPortRow_pid(20, l, text(o), e); }},
      {"GetPortRow_devname", Shape::Row, {"core1", "1", "eth"},
       [](const Texts& t, int* l, void* o, char* e) { return GetPortRow_devname(t[0], t[1], 2, t[2], l, text(o), e); }},
      {"GetPortRow_devid", Shape::Row, {"1", "eth"},
       [](const Texts& t, int* l, void* o, char* e) { return GetPortRow_devid(4, t[0], 2, t[1], l, text(o), e); }},
      {"GetIPInfoRow", Shape::Row, {"192.0.2.1"},
       [](const Texts& t, int* l, void* o, char* e) { return GetIPInfoRow(t[0], l, text(o), e); }},
      {"GetMacroConnectivityRow_lkid", Shape::Row, {},
       [](const Texts&, int* l, void* o, char* e) { return GetMacroConnectivityRow_lkid(1, l, text(o), e); }},
      {"GetMacroConnectivityRow_node", Shape::Row, {"1", "eth"},
       [](const Texts& t, int* l, void* o, char* e) { return GetMacroConnectivityRow_node(4, t[0], 2, t[1], l, text(o), e); }},
      {"GetMacroConnectivityRow_nodename", Shape::Row, {"core1", "1", "eth"},
       [](const Texts& t, int* l, void* o, char* e) { return GetMacroConnectivityRow_nodename(t[0], t[1], 2, t[2], l, text(o), e); }},
      {"GetLkTypeRow_lkname", Shape::Row, {"fibre"},
       [](const Texts& t, int* l, void* o, char* e) { return GetLkTypeRow_lkname(t[0], l, text(o), e); }},
      {"GetLkTypeRow_lknb", Shape::Row, {},
       [](const Texts&, int* l, void* o, char* e) { return GetLkTypeRow_lknb(4, l, text(o), e); }},
      {"GetHWDeviceRow_serialnb", Shape::Row, {"SN-CORE"},
       [](const Texts& t, int* l, void* o, char* e) { return GetHWDeviceRow_serialnb(t[0], l, text(o), e); }},
      {"GetBoardCpntRow_cpntname", Shape::Row, {"adc1"},
       [](const Texts& t, int* l, void* o, char* e) { return GetBoardCpntRow_cpntname(t[0], l, text(o), e); }},
      {"GetBoardCpntRow_cpntid", Shape::Row, {},
       [](const Texts&, int* l, void* o, char* e) { return GetBoardCpntRow_cpntid(11, l, text(o), e); }},
      {"GetMicroConnectivityRow_lkid", Shape::Row, {},
       [](const Texts&, int* l, void* o, char* e) { return GetMicroConnectivityRow_lkid(1, l, text(o), e); }},
      {"GetMicroConnectivityRow_node", Shape::Row, {},
       [](const Texts&, int* l, void* o, char* e) { return GetMicroConnectivityRow_node(-1, 50, 2, l, text(o), e); }},
      {"GetMicroConnectivityRow_cpntname", Shape::Row, {"motherboard"},
       [](const Texts& t, int* l, void* o, char* e) { return GetMicroConnectivityRow_cpntname(t[0], 50, 2, l, text(o), e); }},
      {"GetHWCpntRow_serialnb", Shape::Row, {"CS-1"},
       [](const Texts& t, int* l, void* o, char* e) { return GetHWCpntRow_serialnb(t[0], l, text(o), e); }},
      {"GetHWCpntRow_snbid", Shape::Row, {},
       [](const Texts&, int* l, void* o, char* e) { return GetHWCpntRow_snbid(1, l, text(o), e); }},
      {"GetLkTypeDecomposition_lknb", Shape::List, {},
       [](const Texts&, int* l, void* o, char* e) { return GetLkTypeDecomposition_lknb(3, l, text(o), e); }},
      {"GetDeviceNamesPerType", Shape::List, {"SWITCH"},
       [](const Texts& t, int* l, void* o, char* e) { return GetDeviceNamesPerType(t[0], l, text(o), e); }},
      {"GetMacIPAddPerDevID", Shape::List, {},
       [](const Texts&, int* l, void* o, char* e) { return GetMacIPAddPerDevID(4, l, text(o), e); }},
      {"GetDestinationNamePerDevPort", Shape::List, {"core1", "1", "eth"},
       [](const Texts& t, int* l, void* o, char* e) { return GetDestinationNamePerDevPort(t[0], t[1], t[2], l, text(o), e); }},
      {"GetFreeDeviceNamesPerType", Shape::List, {"SWITCH"},
       [](const Texts& t, int* l, void* o, char* e) { return GetFreeDeviceNamesPerType(t[0], l, text(o), e); }},
      {"GetDeviceNamesPerLocation", Shape::List, {"rack"},
       [](const Texts& t, int* l, void* o, char* e) { return GetDeviceNamesPerLocation(t[0], l, text(o), e); }},
      {"GetSpareHWPerLocation", Shape::List, {"shelf"},
       [](const Texts& t, int* l, void* o, char* e) { return GetSpareHWPerLocation(t[0], l, text(o), e); }},
      {"GetSpareHWPerPerType", Shape::List, {"disk"},
       [](const Texts& t, int* l, void* o, char* e) { return GetSpareHWPerType(t[0], l, text(o), e); }},
      {"GetBoardCpntPerType", Shape::List, {"ADC"},
       [](const Texts& t, int* l, void* o, char* e) { return GetBoardCpntPerType(t[0], l, text(o), e); }},
      {"GetCpntNamesPerBoard", Shape::List, {"board1"},
       [](const Texts& t, int* l, void* o, char* e) { return GetCpntNamesPerBoard(t[0], l, text(o), e); }},
      {"GetSpareHWCpntPerLocation", Shape::List, {"SN-BOARD"},
       [](const Texts& t, int* l, void* o, char* e) { return GetSpareHWCpntPerLocation(t[0], l, text(o), e); }},
      {"GetSpareHWCpntPerType", Shape::List, {"adc"},
       [](const Texts& t, int* l, void* o, char* e) { return GetSpareHWCpntPerType(t[0], l, text(o), e); }},
      {"GetBusySubsystems", Shape::List, {},
       [](const Texts&, int* l, void* o, char* e) {
         int active[49];
         return GetBusySubsystems(l, "'DAQ'", text(o), nullptr, active, e);
       }},
      {"GetDeviceIDsPerType", Shape::Ids, {"SWITCH"},
       [](const Texts& t, int* l, void* o, char* e) { return GetDeviceIDsPerType(t[0], l, ints(o), e); }},
      {"GetLkFromDevID", Shape::Ids, {},
       [](const Texts&, int* l, void* o, char* e) { return GetLkFromDevID(4, l, ints(o), e); }},
      {"GetLkToDevID", Shape::Ids, {},
       [](const Texts&, int* l, void* o, char* e) { return GetLkToDevID(5, l, ints(o), e); }},
      {"GetPortIDPerDevID", Shape::Ids, {},
       [](const Texts&, int* l, void* o, char* e) { return GetPortIDPerDevID(4, l, ints(o), e); }},
      {"GetMicroLkFromCpntID", Shape::Ids, {},
       [](const Texts&, int* l, void* o, char* e) { return GetMicroLkFromCpntID(11, -1, l, ints(o), e); }},
      {"GetMicroLkToCpntID", Shape::Ids, {},
       [](const Texts&, int* l, void* o, char* e) { return GetMicroLkToCpntID(12, -1, l, ints(o), e); }},
      {"GetDeviceID_devicename", Shape::Value, {"srv1"},
       [](const Texts& t, int*, void* o, char* e) { return GetDeviceID_devicename(t[0], ints(o), e); }},
      {"GetDeviceName_deviceid", Shape::Value, {},
       [](const Texts&, int*, void* o, char* e) { return GetDeviceName_deviceid(5, text(o), e); }},
      {"GetCpntID_cpntname", Shape::Value, {"adc1"},
       [](const Texts& t, int*, void* o, char* e) { return GetCpntID_cpntname(t[0], ints(o), e); }},
      {"GetCpntName_cpntid", Shape::Value, {},
       [](const Texts&, int*, void* o, char* e) { return GetCpntName_cpntid(11, text(o), e); }},
  };
  return all;
}

class LookupInputs : public LookupTest {};

TEST_F(LookupInputs, EveryExportIsInTheTable) {
  EXPECT_EQ(Exports().size(), 40u);
}

// Each call writes into a heap block of exactly 20 bytes, so that the
// sanitizer sees any write past it.
TEST_F(LookupInputs, EveryLengthBelowOneIsTooSmall) {
  for (const Export& ex : Exports()) {
    if (ex.shape == Shape::Value) continue;
    for (int capacity : {0, -1, -5, INT_MIN}) {
      auto block = std::make_unique<char[]>(20);
      std::memset(block.get(), 0x55, 20);
      int len = capacity;
      const int rc = Traced([&] { return ex.call(ex.texts, &len, block.get(), err_); });
      EXPECT_EQ(rc, -1) << ex.appliName << " " << capacity;
      EXPECT_GT(len, 0) << ex.appliName << " " << capacity << ": the length needed";
      EXPECT_NE(Err().find("ERROR in " + std::string(ex.appliName) + " : "), std::string::npos)
          << Err();
      for (int i = 0; i < 20; ++i) ASSERT_EQ(block[i], 0x55) << ex.appliName << " wrote";
    }
  }
}

// A text key is bound, never placed into the statement: a key that tries to
// end its literal only finds nothing, and changes nothing.
TEST_F(LookupInputs, EveryTextKeyIsBound) {
  const char* const attempts[] = {"x' or '1'='1", "x'; delete from vexa_lg_devices; --",
                                  "x') or ('1'='1", "x\\' or 1=1 --"};
  for (const Export& ex : Exports()) {
    for (std::size_t i = 0; i < ex.texts.size(); ++i) {
      for (const char* attempt : attempts) {
        Texts texts = ex.texts;
        texts[i] = attempt;
        std::vector<int> out(300, 42);
        int len = 1000;
        const int rc = Traced([&] { return ex.call(texts, &len, out.data(), err_); });
        EXPECT_TRUE(rc == 0 || rc == 100) << ex.appliName << " key " << i << ": " << err_;
        switch (ex.shape) {
          case Shape::Ids:
            EXPECT_EQ(out[0], -1) << ex.appliName;
            break;
          case Shape::Value:  // an id: left alone, or -1
            EXPECT_TRUE(out[0] == 42 || out[0] == -1) << ex.appliName << " " << out[0];
            break;
          default:
            EXPECT_STREQ(text(out.data()), "NO_ROWS_SELECTED") << ex.appliName << " key " << i;
        }
      }
    }
  }
  EXPECT_EQ(testdb::value("select count(*) from vexa_lg_devices"), "8");
}

TEST_F(LookupInputs, EveryExportNeedsAConnection) {
  Traced([&] { return DBDeconnexion(err_); });
  for (const Export& ex : Exports()) {
    std::vector<int> out(300, 42);
    int len = 1000;
    EXPECT_EQ(ex.call(ex.texts, &len, out.data(), err_), -1) << ex.appliName;
    EXPECT_EQ(Err(), "ERROR in " + std::string(ex.appliName) + " : NOT CONNECTED TO ANY DB");
    EXPECT_EQ(len, 1000);
    EXPECT_EQ(out[0], 42);
  }
}

}  // namespace
