// The states of the cached batch protocol, shown with spare ports (rows that
// need nothing else in the database), two batches open at once, and what a
// row refused by its export's own check does to a batch.
#include <functional>
#include <string>
#include <vector>

#include "insert/row_send.h"
#include "insert_fixture.h"
#include "update/update_caches.h"

namespace {

const std::string kOk = "NO_ERROR in InsertMultipleSparePorts";
const std::string kNoBatch = "ERROR in InsertMultipleSparePorts : CACHE HAS NOT BEEN INITIALIZED";

}  // namespace

class BatchProtocolTest : public InsertTest {
 protected:
  int Spare(const std::string& nbr, int first, int last, const char* type = "eth") {
    return InsertMultipleSparePorts("SN1", nbr.c_str(), 1, type, "bia", "mac", first, last, err_);
  }
  static std::vector<std::string> SparePorts() {
    return Column("select port_nbr from vexa_hwport_properties order by port_nbr");
  }
};

TEST_F(BatchProtocolTest, FirstAndLastFlagsOpenRestartAndSendTheBatch) {
  for (int i = 1; i <= 3; ++i) {
    EXPECT_EQ(Spare(std::to_string(i), i == 1, 0), 0);
    EXPECT_EQ(Err(), kOk);
  }
  EXPECT_TRUE(SparePorts().empty());  // nothing sent before the last row
  EXPECT_EQ(Spare("4", 0, 1), 0);
  EXPECT_EQ(SparePorts(), (std::vector<std::string>{"1", "2", "3", "4"}));

  // Closed: rows without first are refused and opened nothing.
  EXPECT_EQ(Spare("5", 0, 0), -1);
  EXPECT_EQ(Err(), kNoBatch);
  EXPECT_EQ(Spare("6", 0, 1), -1);
  // A new first row throws away the rows before it; first and last at once
  // sends one row.
  Spare("a", 1, 0);
  Spare("b", 0, 0);
  Spare("c", 1, 0);
  EXPECT_EQ(Spare("d", 0, 1), 0);
  EXPECT_EQ(Spare("e", 1, 1), 0);
  EXPECT_EQ(SparePorts(), (std::vector<std::string>{"1", "2", "3", "4", "c", "d", "e"}));
}

TEST_F(BatchProtocolTest, RefusalWithoutConnectionDropsTheBatch) {
  Spare("1", 1, 0);
  Quiet([] { char err[ferrule::kErrMessMax]; return DBDeconnexion(err); });
  EXPECT_EQ(Spare("2", 0, 0), -1);  // refused, marked last or not
  EXPECT_EQ(Err(), "ERROR in InsertMultipleSparePorts : NOT CONNECTED TO ANY DB");
  EXPECT_EQ(Spare("3", 1, 1), -1);
  Connect();
  EXPECT_EQ(Spare("4", 0, 1), -1);
  EXPECT_EQ(Err(), kNoBatch);
  EXPECT_TRUE(SparePorts().empty());
}

// The cache belongs to the process, not to the connection: rows cached
// before a reconnection go with the next last row.
TEST_F(BatchProtocolTest, OpenBatchOutlivesAReconnection) {
  Spare("1", 1, 0);
  Quiet([] { char err[ferrule::kErrMessMax]; return DBDeconnexion(err); });
  Connect();
  EXPECT_EQ(Spare("2", 0, 1), 0) << Err();
  EXPECT_EQ(SparePorts(), (std::vector<std::string>{"1", "2"}));
}

TEST_F(BatchProtocolTest, TenThousandAndOneRowsMakeTwoSends) {
  const int rows = ferrule::kMaxCachedRows + 1;
  for (int i = 1; i <= rows; ++i) {
    ASSERT_EQ(Spare(std::to_string(i), i == 1, i == rows), 0) << "row " << i << ": " << Err();
    // The 10000th row sends and commits the first chunk by itself.
    if (i == ferrule::kMaxCachedRows) {
      EXPECT_EQ(Count("vexa_hwport_properties"), i);
    }
  }
  // The next row started a chunk without a first flag; the last one sent it.
  EXPECT_EQ(Count("vexa_hwport_properties"), rows);
  EXPECT_EQ(Spare("x", 0, 1), -1);
}

TEST_F(BatchProtocolTest, BatchesOfTwoExportsDoNotTouchEachOther) {
  AddDevice("sw1", "DAQ");
  auto port = [&](const char* nbr, int first, int last) {
    return InsertMultiplePorts("sw1", nbr, 1, 1, 1000, 0, nullptr, nullptr, nullptr, nullptr,
                               nullptr, nullptr, nullptr, first, last, err_);
  };
  EXPECT_EQ(port("p1", 1, 0), 0);
  EXPECT_EQ(Spare("s1", 1, 1), 0);   // spare ports sent ...
  EXPECT_EQ(Spare("s2", 0, 0), -1);  // ... and refused while ports wait
  EXPECT_EQ(Spare("s3", 1, 0), 0);
  EXPECT_EQ(port("p2", 0, 1), 0);    // ports sent ...
  EXPECT_EQ(port("p3", 0, 0), -1);   // ... and refused while spare ports wait
  EXPECT_EQ(Spare("s4", 0, 1), 0);
  EXPECT_EQ(Column("select port_nbr from vexa_port_properties order by 1"),
            (std::vector<std::string>{"p1", "p2"}));
  EXPECT_EQ(SparePorts(), (std::vector<std::string>{"s1", "s3", "s4"}));
}

TEST_F(BatchProtocolTest, NullTextsAndQuotedCallerNamesAreStoredAsTheyAre) {
  Spare("1", 1, 0, "eth");
  Spare("2", 0, 0, nullptr);
  EXPECT_EQ(Spare("3", 0, 1, "fibre"), 0);
  EXPECT_EQ(Column("select coalesce(port_type,'-') || bia || macaddress "
                   "from vexa_hwport_properties order by port_nbr"),
            (std::vector<std::string>{"ethbiamac", "-biamac", "fibrebiamac"}));

  // Caller names go into the block between quotes: a quote in them must
  // neither break the block nor change it.
  const ferrule::InsertStatement statement{
      "BEGIN insert into %(hwport_properties) (serialnb,author,terminal_name) "
      "values (:snb,'%(login)','%(host)'); GET DIAGNOSTICS :numrows = %(row_count); END;",
      {":snb"}, {}, {}};
  ferrule::RowCache cache(1, 0);
  cache.append(ferrule::RowValues{{"SN-q"}, {}}, 1);
  const ferrule::CallerIdentity who{"pc'); delete from vexa_ipinfo; --", "o'neil"};
  ASSERT_EQ(ferrule::SendRows(statement, {"Quoted", "COULDNOT_INSERT_ALL_ROWS", true}, cache, who,
                              err_), 0) << Err();
  EXPECT_EQ(Count("vexa_hwport_properties",
                  "author = 'o''neil' and terminal_name = 'pc''); delete from vexa_ipinfo; --'"),
            1);
}

// Every cached export whose own check can refuse a row, with a row that
// passes and one that the check refuses, and the names of its committed
// rows.
class RefusedFirstRowTest : public InsertTest {
 protected:
  using Row = std::function<int(const std::string& name, int first, int last)>;
  struct CheckedExport {
    const char* name;
    const char* refusal;  // the check's reason
    Row passes;
    Row refused;
    const char* stored;
  };

  void SetUp() override {
    ferrule::FreeUpdateDeviceSystemListCache();
    InsertTest::SetUp();
    if (HasFatalFailure() || IsSkipped()) return;
    // The devices whose subsystem lists the update sets, all in DAQ.
    for (const char* device : {"u-a", "u-b", "u-c", "u-d", "u-e", "u-f"}) AddDevice(device, "DAQ");
  }
  void TearDown() override {
    InsertTest::TearDown();
    ferrule::FreeUpdateDeviceSystemListCache();
  }

  std::vector<CheckedExport> Exports() {
    auto type = [this](const char* list) -> Row {
      return [this, list](const std::string& name, int first, int last) {
        return InsertMultipleDeviceTypes(list, name.c_str(), 1, 1, nullptr, nullptr, first, last,
                                         err_);
      };
    };
    auto device = [this](const char* list) -> Row {
      return [this, list](const std::string& name, int first, int last) {
        return Quiet([&] {
          return InsertMultipleFunctionalDevices(list, name.c_str(), "SWITCH", 0, 0, name.c_str(),
                                                 "hw", "me", nullptr, "rack", first, last, err_);
        });
      };
    };
    auto cpnt = [this](int replacable, const char* serial) -> Row {
      return [this, replacable, serial](const std::string& name, int first, int last) {
        const std::string serialnb = serial ? serial + name : std::string();
        return Quiet([&] {
          return InsertMultipleBoardCpnts(name.c_str(), "asic", replacable, nullptr,
                                          serial ? serialnb.c_str() : nullptr, "hwt", "bob",
                                          nullptr, "shelf", first, last, err_);
        });
      };
    };
    auto systems = [this](const char* list) -> Row {
      return [this, list](const std::string& name, int first, int last) {
        return Quiet([&] {
          return UpdateMultipleDeviceSystemList(("u-" + name).c_str(), list, first, last, err_);
        });
      };
    };
    return {
        {"InsertMultipleDeviceTypes", "systemnameList is null", type("DAQ"), type("TYPO"),
         "select devicetype from vexa_lg_device_types where devicetype <> 'SWITCH' order by 1"},
        {"InsertMultipleFunctionalDevices", "systemnameList is null", device("DAQ"),
         device("TYPO"),
         "select devicename from vexa_lg_devices where deviceid <> -1 "
         "and devicename not like 'u-%' order by 1"},
        {"InsertMultipleBoardCpnts", "If the cpnt is replacable,a serialnb is mandatory the",
         cpnt(1, "SN-"), cpnt(1, nullptr),
         "select hwname from vexa_hw_cpnts where snbid <> -1 order by 1"},
        {"UpdateMultipleDeviceSystemList", "new_systemList is invalid: not inserted in the cache",
         systems("TFC"), systems("TYPO"),
         "select substr(devicename, 3) from vexa_lg_devices "
         "where devicename like 'u-%' and system_name = 3 order by 1"},
    };
  }
};

// A refused row marked first opens no batch and ends the one before it, as
// every row marked first does: the rows after it are refused as rows
// without a batch, and nothing of either batch is stored, until a row
// marked first opens the next batch.
TEST_F(RefusedFirstRowTest, OpensNoBatchInEveryCachedExport) {
  for (const CheckedExport& ex : Exports()) {
    SCOPED_TRACE(ex.name);
    const std::string refused = std::string("ERROR in ") + ex.name + " : " + ex.refusal;
    const std::string no_batch =
        std::string("ERROR in ") + ex.name + " : CACHE HAS NOT BEEN INITIALIZED";
    ASSERT_EQ(ex.passes("a", 1, 0), 0) << Err();
    EXPECT_EQ(ex.refused("x", 1, 0), -1);
    EXPECT_EQ(Err(), refused);
    EXPECT_EQ(ex.passes("b", 0, 0), -1);
    EXPECT_EQ(Err(), no_batch);
    EXPECT_EQ(ex.passes("c", 0, 1), -1);
    EXPECT_EQ(Err(), no_batch);
    EXPECT_TRUE(Column(ex.stored).empty());

    // Marked first and last at once, with no batch open before it.
    EXPECT_EQ(ex.refused("y", 1, 1), -1);
    EXPECT_EQ(Err(), refused);
    EXPECT_EQ(ex.passes("d", 0, 1), -1);
    EXPECT_EQ(Err(), no_batch);

    ASSERT_EQ(ex.passes("e", 1, 0), 0) << Err();
    ASSERT_EQ(ex.passes("f", 0, 1), 0) << Err();
    EXPECT_EQ(Column(ex.stored), (std::vector<std::string>{"e", "f"}));
  }
}
