// Which subsystems have active devices.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>

#include "lookup_fixture.h"

namespace {

class BusySubsystems : public LookupTest {
 protected:
  // Calls GetBusySubsystems; on success the subsystems found with their
  // highest active flag.
  int Busy(const char* selection, int capacity = 200) {
    names_.assign(static_cast<std::size_t>(capacity > 0 ? capacity : 1), '\x7f');
    len_ = capacity;
    std::fill(std::begin(active_), std::end(active_), -7);
    rc_ = Traced([&] { return GetBusySubsystems(&len_, selection, names_.data(), nullptr, active_, err_); });
    found_.clear();
    if (rc_ == 0 && std::string(names_.data()) != "NO_ROWS_SELECTED") {
      int i = 0;
      for (const std::string& name : ListItems(names_.data(), len_)) found_[name] = active_[i++];
    }
    return rc_;
  }

  std::string names_;
  int len_ = 0;
  int active_[49];
  int rc_ = 0;
  std::map<std::string, int> found_;
};

TEST_F(BusySubsystems, EverySubsystemWithDevices) {
  testdb::exec("insert into vexa_subsystemList values ('IDLE', 7)");
  EXPECT_EQ(Busy("ALL"), 0) << err_;
  EXPECT_EQ(found_, (std::map<std::string, int>{{"DAQ", 1}, {"ECS", 0}, {"TFC", 1}}));
  EXPECT_EQ(len_, 12);
  EXPECT_EQ(Err(), "NO_ERROR in GetBusySubsystems");
  EXPECT_EQ(printed_.rfind(" entering fct ALL\nselectdevID=select ", 0), 0u) << printed_;
  EXPECT_EQ(Busy("ALLES"), 0) << "its first three characters decide";

  EXPECT_EQ(Busy("ALL", 12), 0);
  EXPECT_EQ(Busy("ALL", 11), -1);
  EXPECT_EQ(len_, 12);
  EXPECT_EQ(Err(), "ERROR in GetBusySubsystems : BUFFER_TOO_SMALL");
  EXPECT_EQ(names_[0], '\x7f');
}

TEST_F(BusySubsystems, NamedSubsystems) {
  testdb::exec("insert into vexa_subsystemList values ('IDLE', 7), ('it''s', 11);"
               "update vexa_lg_devices set system_name=11, active=1 where deviceid=2");
  EXPECT_EQ(Busy("'ECS','TFC','IDLE'"), 0) << err_;
  EXPECT_EQ(found_, (std::map<std::string, int>{{"ECS", 0}, {"TFC", 1}}));
  EXPECT_EQ(Busy(" 'it''s' , 'DAQ'"), 0) << err_;
  EXPECT_EQ(found_, (std::map<std::string, int>{{"DAQ", 1}, {"it's", 1}}));

  EXPECT_EQ(Busy("'IDLE'"), 0);
  EXPECT_STREQ(names_.data(), "NO_ROWS_SELECTED");
  EXPECT_EQ(len_, 200);
  EXPECT_EQ(Err(), "ERROR in GetBusySubsystems : NO_ROWS_SELECTED");
  EXPECT_NE(printed_.find("Error - OCI_NODATA OCIFETCH unsuccessful\n"), std::string::npos);
}

// The active array comes without a size: it holds one element per subsystem
// the library can load (49); more subsystems in the database are refused
// rather than written past it.
TEST_F(BusySubsystems, MoreSubsystemsThanTheActiveArrayHolds) {
  testdb::exec(
      "insert into vexa_subsystemList select 'S' || p, p from "
      "(select prime_nb p from vexa_prime_number where prime_nb > 5 order by prime_nb limit 47) s;"
      "insert into vexa_lg_devices(devicename, devicetypeID, deviceid, node, promiscuous_mode, "
      "system_name) select 'd' || systemID, 1, 100000 + systemID, 0, 0, systemID "
      "from vexa_subsystemList where systemID > 5");
  auto active = std::make_unique<int[]>(49);
  std::string names(2000, '\x7f');
  int len = 2000;
  const int rc = Traced([&] {
    return GetBusySubsystems(&len, "ALL", names.data(), nullptr, active.get(), err_);
  });
  EXPECT_EQ(rc, -1);
  EXPECT_EQ(Err(), "ERROR in GetBusySubsystems : BUFFER_TOO_SMALL");
  EXPECT_EQ(names[0], '\x7f');

  testdb::exec("delete from vexa_lg_devices where deviceid = 100000 + 223");
  EXPECT_EQ(Traced([&] {
              return GetBusySubsystems(&len, "ALL", names.data(), nullptr, active.get(), err_);
            }), 0) << err_;
}

// The selection is bound name by name: anything but a list of quoted names
// is refused before the database is asked.
TEST_F(BusySubsystems, SelectionOtherThanQuotedNamesIsRefused) {
  for (const char* selection :
       {"'DAQ');delete from vexa_lg_devices;--", "'DAQ') or (1=1", "'DAQ' or 1=1", "DAQ",
        "'DAQ',", "'DAQ'--", "'DAQ'||'x'", "'DAQ", "", "select system_name from vexa_subsystemList",
        "ALL;"}) {
    EXPECT_EQ(Busy(selection), -1) << selection;
    EXPECT_EQ(Err(), "ERROR in GetBusySubsystems : INVALID SYSTEMLIST") << selection;
    EXPECT_EQ(names_[0], '\x7f');
    EXPECT_EQ(printed_.find("selectdevID"), std::string::npos) << selection;
  }
  EXPECT_EQ(testdb::value("select count(*) from vexa_lg_devices where deviceid > 0"), "7");
  // A quoted text that is no subsystem is only a name that matches none.
  EXPECT_EQ(Busy("'DAQ'' or ''1''=''1'"), 0);
  EXPECT_STREQ(names_.data(), "NO_ROWS_SELECTED");

  EXPECT_EQ(Busy(nullptr), -1);
  EXPECT_EQ(Err(), "ERROR in GetBusySubsystems : systemnames MUST be given");
}

}  // namespace
