// IP address and port updates: attributes, address replacement through the
// server, and port statuses carried over to the usage of links.
#include "update_fixture.h"

class AddressAndPortUpdateTest : public UpdateTest {
 protected:
  void AddAddress(const char* nbr, const char* ip) {
    ASSERT_EQ(InsertPort("sw3", nbr, 1, 2, 1000, 0, nullptr, nullptr, ip, "name", "255.0.0.0",
                         nullptr, nullptr, 0, err_), 0) << Err();
  }
  static std::string Address(const std::string& ip) {
    return testdb::value("select concat_ws('|', subnet_info, ipname, author) from vexa_ipinfo "
                         "where ipaddress = '" + ip + "'");
  }
};

TEST_F(AddressAndPortUpdateTest, AddressAttributesKeepWhatIsNotGiven) {
  AddAddress("9", "10.1.1.1");
  const std::string login = Me().substr(0, Me().find('|'));
  EXPECT_EQ(UpdateMultipleAttributeMacIPs("10.1.1.1", "none", nullptr, 1, 1, err_), 0) << Err();
  EXPECT_EQ(Address("10.1.1.1"), "255.0.0.0|name|" + login);
  EXPECT_EQ(UpdateMultipleAttributeMacIPs("10.1.1.1", "255.255.0.0", "gw", 1, 0, err_), 0);
  EXPECT_EQ(UpdateMultipleAttributeMacIPs("10.9.9.9", "x", "x", 0, 1, err_), -1);
  EXPECT_EQ(Err(), "ERROR in UpdateMultipleAttributeMacIPs : COULDNOT_UPDATE_ALL_ROWS");
  EXPECT_EQ(Address("10.1.1.1"), "255.255.0.0|gw|" + login);
}

TEST_F(AddressAndPortUpdateTest, ReplacedAddressesAreFollowedByTheirPorts) {
  AddAddress("8", "10.1.1.1");
  AddAddress("9", "10.2.2.2");
  EXPECT_EQ(UpdateMultipleIPAddresses("10.3.3.3", "10.1.1.1", 1, 1, err_), 0) << Err();
  EXPECT_EQ(Column("select ipaddress from vexa_port_properties where ipaddress is not null "
                   "order by 1"),
            (std::vector<std::string>{"10.2.2.2", "10.3.3.3"}));
  // Not replaced: an unknown address, or one that would take a recorded one.
  EXPECT_EQ(UpdateMultipleIPAddresses("10.4.4.4", "10.2.2.2", 1, 0, err_), 0);
  EXPECT_EQ(UpdateMultipleIPAddresses("10.5.5.5", "10.9.9.9", 0, 0, err_), 0);
  EXPECT_EQ(UpdateMultipleIPAddresses("10.4.4.4", "10.3.3.3", 0, 1, err_), -1);
  EXPECT_EQ(Err(), "ERROR in UpdateMultipleIPAddresses : COULDNOT_UPDATE_ALL_ROWS");
  EXPECT_EQ(Column("select ipaddress from vexa_ipinfo order by 1"),
            (std::vector<std::string>{"10.3.3.3", "10.4.4.4"}));
}

TEST_F(AddressAndPortUpdateTest, PortAttributesKeepWhatIsNotGiven) {
  testdb::exec("update vexa_port_properties set phy = 'copper', pxi_booting = 1");
  EXPECT_EQ(UpdateMultiplePorts("sw2", "2", 2, "eth", -1, "none", 5, 1, 0, err_), 0);
  EXPECT_EQ(UpdateMultiplePorts("sw2", "1", 1, "", 100, "fibre", 0, 0, 1, err_), 0) << Err();
  EXPECT_EQ(Column("select concat_ws('|', port_nbr, speed, phy, pxi_booting) "
                   "from vexa_port_properties p join vexa_lg_devices d using (deviceid) "
                   "where devicename = 'sw2' order by 1"),
            (std::vector<std::string>{"1|100|fibre|0", "2|1000|copper|1"}));
  EXPECT_EQ(UpdateMultiplePorts("sw2", "2", 2, nullptr, 1, nullptr, 1, 1, 1, err_), -1);
  EXPECT_EQ(Err(), "ERROR in UpdateMultiplePorts : COULDNOT_UPDATE_ALL_ROWS");
}

TEST_F(AddressAndPortUpdateTest, PortStatusesSetTheUsageOfTheirLinks) {
  auto status = [&](const char* device, const char* nbr, int way, const char* type, int value,
                    int first, int last) {
    return UpdateMultiplePortStatuses(device, nbr, way, type, value, first, last, err_);
  };
  EXPECT_EQ(status("sw2", "1", 1, nullptr, 0, 1, 0), 0);
  EXPECT_EQ(status("sw2", "2", 2, "eth", 5, 0, 1), 0) << Err();  // keeps 1, recomputes
  EXPECT_EQ(LinkFrom("sw1", "lkused") + LinkFrom("sw2", "lkused"), "01");
  EXPECT_EQ(Calls("updatepathused"), (std::vector<std::string>{"1"}));
  // Back up: a link at 0 stays at 0.
  EXPECT_EQ(status("sw2", "1", 1, "", 1, 1, 1), 0);
  EXPECT_EQ(LinkFrom("sw1", "lkused"), "0");

  // A port without a link is changed, but its row is not done.
  AddPort("sw3", "9", 2);
  EXPECT_EQ(status("sw3", "9", 2, nullptr, 0, 1, 1), -1);
  EXPECT_EQ(Err(), "ERROR in UpdateMultiplePortStatuses : COULDNOT_UPDATE_ALL_ROWS");
  EXPECT_EQ(Count("vexa_port_properties", "port_nbr = '9' and administrative_status = 0"), 1);
  EXPECT_EQ(Calls("updatepathused").size(), 3u);  // committed with its refresh
}
