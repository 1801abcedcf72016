// Test boards: the board and its ports in one call, the reading of the
// packed lists within their sizes, and what each kind of failure leaves.
#include <climits>

#include "insert_fixture.h"

namespace {

// A packed list of texts and its size in bytes, NULs included.
struct Packed {
  std::string bytes;
  explicit Packed(std::initializer_list<const char*> items) {
    for (const char* item : items) {
      bytes += item;
      bytes += '\0';
    }
  }
  const char* data() const { return bytes.data(); }
  int size() const { return static_cast<int>(bytes.size()); }
};

}  // namespace

class TestBoardTest : public InsertTest {
 protected:
  static std::string Value(const std::string& sql) { return testdb::value(sql); }
  int Board(const char* location, const Packed& ip, const Packed& name, const Packed& subnet,
            const Packed& nbr, const Packed& type, const int* ways, int ports) {
    return Quiet([&] {
      return InsertTestFunctionalDevice(location, ip.data(), ip.size(), name.data(), name.size(),
                                        subnet.data(), subnet.size(), nbr.data(), nbr.size(),
                                        type.data(), type.size(), ways, ports, 0, err_);
    });
  }
  static std::vector<std::string> Ports() {
    return Column("select concat_ws('|', coalesce(p.port_nbr, '-'), p.port_way, "
                  "coalesce(p.port_type, '-'), coalesce(p.ipaddress, '-'), "
                  "coalesce(i.ipname, '-'), coalesce(i.subnet_info, '-')) "
                  "from vexa_port_properties p left join vexa_ipinfo i using (ipaddress) "
                  "order by p.portid");
  }
};

TEST_F(TestBoardTest, BoardAndItsPortsAreCommittedWithIdsFromTheDeviceSequence) {
  const int ways[] = {1, 2};
  ASSERT_EQ(Board("lab", Packed{"10.0.0.1", "10.0.0.2"}, Packed{"n1", "n2"}, Packed{"s1", "s2"},
                  Packed{"p1", "p2"}, Packed{"eth", "gbe"}, ways, 2),
            0)
      << Err();
  EXPECT_EQ(Err(), "NO_ERROR in InsertTestFunctionalDevice");
  EXPECT_EQ(Ports(), (std::vector<std::string>{"p1|1|eth|10.0.0.1|n1|s1",
                                               "p2|2|gbe|10.0.0.2|n2|s2"}));
  const std::string board = Value(
      "select concat_ws('|', d.devicename = 'TESTBOARD_' || d.deviceid, t.devicetype, d.location, "
      "coalesce(d.serialnb, '-'), d.author, d.terminal_name) "
      "from vexa_lg_devices d join vexa_lg_device_types t using (devicetypeID) "
      "where d.deviceid = (select max(deviceid) from vexa_lg_devices)");
  const std::string me = Me();
  EXPECT_EQ(board, "t|TESTBOARD|lab|-|" + me.substr(me.find('|') + 1));
  // Every port on the board, with odd ids drawn after the board's own.
  EXPECT_EQ(Count("vexa_port_properties p join vexa_lg_devices d using (deviceid)",
                  "d.location = 'lab' and p.portid % 2 = 1 and p.portid > d.deviceid"),
            2);
  EXPECT_EQ(Value("select concat_ws('|', author, terminal_name) from vexa_ipinfo limit 1"),
            me.substr(me.find('|') + 1));

  // A second board reuses its device type.
  const int way[] = {1};
  ASSERT_EQ(Board(nullptr, Packed{"10.0.0.3"}, Packed{}, Packed{}, Packed{"p1"}, Packed{}, way, 1),
            0)
      << Err();
  EXPECT_EQ(Count("vexa_lg_device_types", "devicetype = 'TESTBOARD'"), 1);
  EXPECT_EQ(Count("vexa_lg_devices", "devicename like 'TESTBOARD_%' and location is null"), 1);
}

TEST_F(TestBoardTest, ListsAreReadOnlyWithinTheirSizes) {
  const int ways[] = {1, 1, 1};
  // Names: one item for three ports. Numbers: a size that cuts the second
  // item, and a third item beyond the size that must not be read.
  const Packed numbers{"p1", "p2-long", "p3"};
  const int cut = 3 + 4;  // "p1\0" and "p2-l"
  ASSERT_EQ(Quiet([&] {
              const Packed ip{"10.0.0.1", "10.0.0.2", "10.0.0.3"}, names{"only"};
              return InsertTestFunctionalDevice("lab", ip.data(), ip.size(), names.data(),
                                                names.size(), nullptr, 0, numbers.data(), cut,
                                                nullptr, -5, ways, 3, 0, err_);
            }),
            0)
      << Err();
  EXPECT_EQ(Ports(), (std::vector<std::string>{"p1|1|-|10.0.0.1|only|-",
                                               "p2-l|1|-|10.0.0.2|-|-",
                                               "-|1|-|10.0.0.3|-|-"}));
}

TEST_F(TestBoardTest, PortCountsWithoutWaysAreRefusedBeforeAnythingIsWritten) {
  const Packed ip{"10.0.0.1"};
  const int ways[] = {1};
  EXPECT_EQ(Board("lab", ip, ip, ip, ip, ip, nullptr, 1), -1);
  EXPECT_EQ(Err(), "ERROR in InsertTestFunctionalDevice : MALLOC_UNSUCCESSFUL ");
  EXPECT_EQ(Board("lab", ip, ip, ip, ip, ip, ways, -1), -1);
  EXPECT_EQ(Board("lab", ip, ip, ip, ip, ip, ways, INT_MIN), -1);
  EXPECT_EQ(Count("vexa_lg_devices", "location = 'lab'"), 0);
  // No port at all: the board alone.
  EXPECT_EQ(Board("lab", ip, ip, ip, ip, ip, nullptr, 0), 0) << Err();
  EXPECT_EQ(Count("vexa_lg_devices", "location = 'lab'"), 1);
  EXPECT_EQ(Count("vexa_port_properties"), 0);
}

TEST_F(TestBoardTest, FailuresOfTheProcedureAndOfThePorts) {
  const int ways[] = {1, 1};
  const Packed two{"10.0.0.1", "10.0.0.2"}, one{"x"};
  // The procedure refuses a location longer than its column.
  const std::string far_away(300, 'L');
  EXPECT_EQ(Board(far_away.c_str(), two, one, one, two, one, ways, 2), -1);
  EXPECT_EQ(Err(), "ERROR in InsertTestFunctionalDevice : ORACLE_ERROR_12899");
  EXPECT_EQ(Count("vexa_lg_devices", "devicename like 'TESTBOARD%'"), 0);

  // A port that inserts nothing (here a trigger skips it) rolls the whole
  // call back, board and addresses included.
  testdb::exec(
      "create function skip_port() returns trigger language plpgsql as "
      "$$ begin if new.port_nbr = 'skip' then return null; end if; return new; end $$; "
      "create trigger skip_port before insert on vexa_port_properties "
      "for each row execute function skip_port()");
  EXPECT_EQ(Board("lab", two, one, one, Packed{"p1", "skip"}, one, ways, 2), -1);
  EXPECT_EQ(Err(), "ERROR in InsertTestFunctionalDevice : COULDNOT_INSERT_THIS_ROW");
  testdb::exec("drop trigger skip_port on vexa_port_properties; drop function skip_port()");
  ASSERT_EQ(InsertDeviceType("DAQ", "COMMITS", 1, 1, nullptr, nullptr, 0, err_), 0);
  EXPECT_EQ(Count("vexa_lg_devices", "location = 'lab'") + Count("vexa_ipinfo"), 0);

  // A port the database refuses (the same address twice) undoes the whole
  // call too: the next commit keeps neither the board nor the port before.
  EXPECT_EQ(Board("lab", Packed{"10.0.0.9", "10.0.0.9"}, one, one, two, one, ways, 2), 1);
  EXPECT_EQ(Err().rfind("ERROR in InsertTestFunctionalDevice : ", 0), 0u) << Err();
  ASSERT_EQ(InsertDeviceType("DAQ", "COMMITS2", 1, 1, nullptr, nullptr, 0, err_), 0);
  EXPECT_EQ(Count("vexa_lg_devices", "location = 'lab'") + Count("vexa_ipinfo"), 0);
  EXPECT_TRUE(Ports().empty());
}
