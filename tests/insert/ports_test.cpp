// Ports and spare ports: the IP rule, the address and hardware-port rows of
// a port with an address, and what a spare port stores.
#include "insert_fixture.h"

class PortsTest : public InsertTest {
 protected:
  void SetUp() override {
    InsertTest::SetUp();
    if (IsSkipped()) return;
    AddDeviceType("SWITCH");
    AddDevice("sw1", "SWITCH", "DAQ");
  }
  int Port(const char* device, const char* nbr, const char* ipadd, const char* type = "eth") {
    return InsertPort(device, nbr, 1, 2, 1000, 0, type, "bia-1", ipadd, "name-1", "sub-1",
                      "mac-1", "phy-1", 0, err_);
  }
};

TEST_F(PortsTest, PortWithoutAddressIsThePortRowAlone) {
  const char* no_address[] = {nullptr, "none", "1.2.", "no-dot-here", ""};
  int nbr = 0;
  for (const char* ipadd : no_address) {
    const std::string n = std::to_string(++nbr);
    ASSERT_EQ(Port("sw1", n.c_str(), ipadd), 0) << Err();
  }
  EXPECT_EQ(Err(), "NO_ERROR in InsertPort");
  EXPECT_EQ(Count("vexa_port_properties", "ipaddress is null"), 5);
  EXPECT_EQ(Count("vexa_hwport_properties"), 0);
  EXPECT_EQ(Count("vexa_ipinfo"), 0);
  EXPECT_EQ(Value("select concat_ws('|', d.devicename, p.port_nbr, p.port_way, "
                  "p.administrative_status, p.speed, p.port_type, p.phy, p.pxi_booting, p.author, "
                  "p.user_update, p.terminal_name) from vexa_port_properties p "
                  "join vexa_lg_devices d using (deviceid) where p.port_nbr='1'"),
            "sw1|1|2|1|1000|eth|phy-1|0|" + Login() + "|" + Login() + "|" + Host());
}

TEST_F(PortsTest, PortWithAddressRecordsTheAddressAndTheHardwarePort) {
  ASSERT_EQ(Port("sw1", "1", "10.1.2.3"), 0) << Err();
  EXPECT_EQ(Value("select concat_ws('|', ipaddress, ipname, subnet_info, author, terminal_name) "
                  "from vexa_ipinfo"),
            "10.1.2.3|name-1|sub-1|" + Login() + "|" + Host());
  EXPECT_EQ(Value("select concat_ws('|', serialnb, port_nbr, port_type, port_way, bia, "
                  "macaddress, author, terminal_name, created is not null) "
                  "from vexa_hwport_properties"),
            "SN-sw1|1|eth|2|bia-1|mac-1|" + Login() + "|" + Host() + "|t");
  EXPECT_EQ(Value("select ipaddress from vexa_port_properties"), "10.1.2.3");

  // An address recorded before is no error; a second port shares it.
  ASSERT_EQ(Port("sw1", "2", "10.1.2.3"), 0) << Err();
  EXPECT_EQ(Count("vexa_ipinfo"), 1);
  EXPECT_EQ(Count("vexa_port_properties", "ipaddress='10.1.2.3'"), 2);
}

TEST_F(PortsTest, AddressHoldingNoneCountsAsNoAddress) {
  ASSERT_EQ(Port("sw1", "1", "10.none.1"), 0) << Err();
  EXPECT_EQ(Count("vexa_port_properties", "ipaddress is null"), 1);
  EXPECT_EQ(Count("vexa_ipinfo"), 0);
  EXPECT_EQ(Count("vexa_hwport_properties"), 0);
}

TEST_F(PortsTest, DeviceWithoutHardwareGetsAHardwarePortWithoutSerial) {
  testdb::exec("update vexa_lg_devices set serialnb = null where devicename = 'sw1'");
  ASSERT_EQ(Port("sw1", "1", "10.0.0.1"), 0) << Err();
  EXPECT_EQ(Count("vexa_hwport_properties", "serialnb is null and port_nbr = '1'"), 1);
}

TEST_F(PortsTest, LongAddressIsNeverCut) {
  const std::string address = "10.20.30.40.and.a.rather.long.name.of.fifty.chars";
  ASSERT_GE(address.size(), 30u);
  ASSERT_EQ(Port("sw1", "1", address.c_str()), 0) << Err();
  EXPECT_EQ(Value("select ipaddress from vexa_port_properties"), address);

  // Longer than the column: the database refuses it, nothing is stored.
  const std::string too_long = "10." + std::string(120, '1');
  testing::internal::CaptureStdout();
  const int rc = Port("sw1", "2", too_long.c_str());
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(rc, 12899) << Err();
  EXPECT_EQ(Count("vexa_port_properties", "port_nbr = '2'"), 0);
}

TEST_F(PortsTest, BatchOfPortsWithAndWithoutAddresses) {
  auto port = [&](const char* nbr, const char* ipadd, int first, int last) {
    return InsertMultiplePorts("sw1", nbr, 1, 1, 100, 1, nullptr, "b", ipadd, "n", "s", "m", "p",
                               first, last, err_);
  };
  EXPECT_EQ(port("1", "10.9.9.1", 1, 0), 0);
  EXPECT_EQ(port("2", nullptr, 0, 0), 0);
  EXPECT_EQ(port("3", "10.9.9.3", 0, 1), 0) << Err();
  EXPECT_EQ(Err(), "NO_ERROR in InsertMultiplePorts");
  EXPECT_EQ(testdb::column("select port_nbr || ':' || coalesce(ipaddress, '-') "
                           "from vexa_port_properties order by port_nbr"),
            (std::vector<std::string>{"1:10.9.9.1", "2:-", "3:10.9.9.3"}));
  EXPECT_EQ(testdb::column("select port_nbr from vexa_hwport_properties order by port_nbr"),
            (std::vector<std::string>{"1", "3"}));
  EXPECT_EQ(Count("vexa_ipinfo"), 2);
}

TEST_F(PortsTest, SparePortStoresItsHardwarePortRow) {
  ASSERT_EQ(InsertSparePort("SN-spare", "7", 1, "fibre", "b7", "m7", 0, err_), 0) << Err();
  EXPECT_EQ(Err(), "NO_ERROR in InsertSparePort");
  EXPECT_EQ(Value("select concat_ws('|', serialnb, port_nbr, port_way, port_type, bia, "
                  "macaddress, author, terminal_name, created is not null) "
                  "from vexa_hwport_properties"),
            "SN-spare|7|1|fibre|b7|m7|" + Login() + "|" + Host() + "|t");
}
