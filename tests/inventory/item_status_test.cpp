// Status words of functional items and hardware items.
#include "inventory_fixture.h"

class ItemStatusTest : public InventoryTest {
 protected:
  // The word, or the ErrMess text when the call failed.
  std::string Word(int (*f)(const char*, char*, char*), const char* key) {
    char word[16] = "untouched";
    const int rc = Quiet([&] { return f(key, word, err_); });
    return rc == 0 ? word : "rc " + std::to_string(rc) + ": " + err_;
  }
  std::string CpntWord(const char* serial, int snbid) {
    char word[16] = "untouched";
    const int rc = Quiet([&] { return GetHWBoardCpntStatus(serial, snbid, word, err_); });
    return rc == 0 ? word : "rc " + std::to_string(rc) + ": " + err_;
  }
};

TEST_F(ItemStatusTest, WordsOfFunctionalAndHardwareItems) {
  Device("sw1", "SN1");
  Device("empty", "");
  Hardware("SP1", 2);
  Hardware("BAD", 9);
  Device("tb", "");
  HwCpnt("C1", "c1", 5, "SN1");
  HwCpnt("C2", "c2", 4, "SN1");
  Cpnt("c1", "sw1", "C1");
  Cpnt("c2", "sw1", "");

  EXPECT_EQ(Word(GetFunctionalDeviceStatus, "sw1"), "IN_USE");
  EXPECT_EQ(Word(GetFunctionalDeviceStatus, "empty"), "NONE");
  EXPECT_EQ(Word(GetHWDeviceStatus, "SP1"), "SPARE");
  EXPECT_EQ(Word(GetFunctionalBoardCpntStatus, "c1"), "IN_REPAIR");
  EXPECT_EQ(Word(GetFunctionalBoardCpntStatus, "c2"), "NONE");
  EXPECT_EQ(err_, std::string("NO_ERROR in GetFunctionalBoardCpntStatus"));

  // A component by serial number whatever the snbid, else by snbid.
  const std::string c2 = Value("select snbid from vexa_hw_cpnts where serialnb='C2'");
  EXPECT_EQ(CpntWord("C1", std::stoi(c2)), "IN_REPAIR");
  EXPECT_EQ(CpntWord("none", std::stoi(c2)), "EXT_TEST");
  EXPECT_EQ(CpntWord(nullptr, std::stoi(c2)), "EXT_TEST");

  // A code outside the words is reported with the word INVALID.
  char word[16] = "";
  EXPECT_EQ(Quiet([&] { return GetHWDeviceStatus("BAD", word, err_); }), -1);
  EXPECT_STREQ(word, "INVALID");
  EXPECT_EQ(Err(err_), "ERROR in GetHWDeviceStatus : INVALID STATUS CODE 9");
}

TEST_F(ItemStatusTest, DeviceWithoutHardwareIsNoneEvenWithNoHardwareRecorded) {
  Device("alone", "");
  ASSERT_EQ(Value("select count(*) from vexa_hw_devices"), "0");
  EXPECT_EQ(Word(GetFunctionalDeviceStatus, "alone"), "NONE");
}

TEST_F(ItemStatusTest, UnknownItemsAnswerNoRowsAndLeaveTheBuffer) {
  // A status that cannot be read is an error, not "no row".
  Hardware("NUL", 1);
  testdb::exec("update vexa_hw_devices set device_status=NULL");
  EXPECT_EQ(Word(GetHWDeviceStatus, "NUL").substr(0, 9), "rc 1405: ");

  EXPECT_EQ(Word(GetFunctionalDeviceStatus, "ghost"), "untouched");
  EXPECT_EQ(Err(err_), "ERROR in GetFunctionalDeviceStatus : NO_ROWS_SELECTED");
  EXPECT_EQ(Word(GetHWDeviceStatus, "ghost"), "untouched");
  EXPECT_EQ(CpntWord("ghost", 0), "untouched");
  EXPECT_EQ(Err(err_), "ERROR in GetHWBoardCpntStatus : NO_ROWS_SELECTED");
}

TEST_F(ItemStatusTest, MissingKeysAndConnectionAreRefused) {
  EXPECT_EQ(Word(GetHWDeviceStatus, nullptr),
            "rc -1: ERROR in GetHWDeviceStatus :  device name MUST be given");
  EXPECT_EQ(CpntWord(nullptr, 0),
            "rc -1: ERROR in GetHWBoardCpntStatus :  serialnb or snbid MUST be given");
  Quiet([&] { return DBDeconnexion(err_); });
  EXPECT_EQ(Word(GetHWDeviceStatus, "SN1"),
            "rc -1: ERROR in GetHWDeviceStatus : NOT CONNECTED TO ANY DB");
}
