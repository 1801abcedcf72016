// Checks of what database/ installs: the helper functions, the primes, the
// special rows and ferrule_reset(), the keys, and the server package.
#include <gtest/gtest.h>

#include <string>

#include "test_db.h"

namespace {

class Database : public ::testing::Test {
 protected:
  void SetUp() override {
    REQUIRE_TEST_DB();
    testdb::reset();
    // Runs one statement and gives its SQLSTATE ('00000' when it worked);
    // a failed statement is undone and leaves the session usable.
    testdb::exec(
        "CREATE OR REPLACE FUNCTION pg_temp.sqlstate_of(q text) RETURNS text "
        "LANGUAGE plpgsql AS $$ BEGIN EXECUTE q; RETURN '00000'; "
        "EXCEPTION WHEN OTHERS THEN RETURN SQLSTATE; END $$");
  }

  static std::string sqlstate_of(const std::string& sql) {
    return testdb::value("SELECT pg_temp.sqlstate_of($q$" + sql + "$q$)");
  }

  static void add_device(const std::string& name, int id) {
    testdb::exec("INSERT INTO vexa_lg_devices(devicename, devicetypeID, deviceid) VALUES ('" +
                 name + "', 1, " + std::to_string(id) + ")");
  }
};

// --- vexa_to_date -----------------------------------------------------------

TEST_F(Database, ToDateReadsTwoDigitYearsInTheCurrentCentury) {
  // to_timestamp alone would give 1999 and 1970.
  EXPECT_EQ(testdb::value("SELECT vexa_to_date('99/12/31/23/59/58')"), "2099-12-31 23:59:58");
  EXPECT_EQ(testdb::value("SELECT vexa_to_date('70/01/01/00/00/00')"), "2070-01-01 00:00:00");
  EXPECT_EQ(testdb::value("SELECT vexa_to_date('05/03/01/12/30/45')"), "2005-03-01 12:30:45");
}

TEST_F(Database, ToDateKeepsTheTimeAndRoundTripsThroughToChar) {
  EXPECT_EQ(testdb::value("SELECT to_char(vexa_to_date('07/11/30/08/09/10'), "
                          "'YY/MM/DD/HH24/MI/SS')"),
            "07/11/30/08/09/10");
  EXPECT_EQ(testdb::value("SELECT pg_typeof(vexa_to_date('07/11/30/08/09/10'))::text"),
            "timestamp without time zone");
  // Fields left off read as zero; NULL stays NULL.
  EXPECT_EQ(testdb::value("SELECT vexa_to_date('05/03/01')"), "2005-03-01 00:00:00");
  EXPECT_EQ(testdb::value("SELECT vexa_to_date(NULL)"), "<null>");
}

TEST_F(Database, ToDateKeepsWallClockTimeWhateverTheSessionTimeZone) {
  // 02:30 on that day does not exist in Paris (clocks go forward); a date
  // has no time zone, so it must come back unchanged.
  testdb::exec("SET timezone = 'Europe/Paris'");
  EXPECT_EQ(testdb::value("SELECT vexa_to_date('26/03/29/02/30/00')"), "2026-03-29 02:30:00");
  testdb::exec("RESET timezone");
}

TEST_F(Database, ToDateRejectsTextsOutsideTheFormat) {
  EXPECT_EQ(sqlstate_of("SELECT vexa_to_date('05/13/01/00/00/00')").substr(0, 2), "22");
  EXPECT_EQ(sqlstate_of("SELECT vexa_to_date('abc')").substr(0, 2), "22");
}

// --- vexa_sysdate -------------------------------------------------------------

TEST_F(Database, SysdateIsTheStatementTimeCutToTheSecond) {
  EXPECT_EQ(testdb::value("SELECT vexa_sysdate() = "
                          "date_trunc('second', statement_timestamp()::timestamp)"),
            "t");
  EXPECT_EQ(testdb::value("SELECT pg_typeof(vexa_sysdate())::text"),
            "timestamp without time zone");
}

TEST_F(Database, SysdateMovesOnInsideALongTransaction) {
  // now() stays at the transaction's start; vexa_sysdate must not.
  testdb::exec("BEGIN");
  testdb::exec("SELECT pg_sleep(1.1)");
  std::string later = testdb::value(
      "SELECT vexa_sysdate() >= date_trunc('second', now()::timestamp) + interval '1 second'");
  testdb::exec("COMMIT");
  EXPECT_EQ(later, "t");
}

TEST_F(Database, CreatedDefaultsToTheInsertionTime) {
  EXPECT_EQ(testdb::value("INSERT INTO vexa_lg_devices(devicename, devicetypeID, deviceid) "
                          "VALUES ('dev_a', 1, 1) RETURNING created = "
                          "date_trunc('second', statement_timestamp()::timestamp)"),
            "t");
  // A new device is usable and not active.
  EXPECT_EQ(testdb::value("SELECT active || '/' || nodeused FROM vexa_lg_devices "
                          "WHERE devicename = 'dev_a'"),
            "0/1");
}

// --- vexa_mod -----------------------------------------------------------------

TEST_F(Database, ModByZeroGivesTheDividend) {
  EXPECT_EQ(testdb::value("SELECT vexa_mod(7, 0)"), "7");
  EXPECT_EQ(testdb::value("SELECT vexa_mod(10000000000, 0)"), "10000000000");
  EXPECT_EQ(testdb::value("SELECT vexa_mod(7.5, 0)"), "7.5");
}

TEST_F(Database, ModOtherwiseAsMod) {
  EXPECT_EQ(testdb::value("SELECT vexa_mod(30, 7)"), "2");
  EXPECT_EQ(testdb::value("SELECT vexa_mod(-7, 3)"), "-1");
  EXPECT_EQ(testdb::value("SELECT vexa_mod(30, 5)"), "0");
  EXPECT_EQ(testdb::value("SELECT vexa_mod(NULL::int, 3)"), "<null>");
}

// --- primes and their product -------------------------------------------------

TEST_F(Database, PrimeTableHoldsTheFirstThousandPrimesInOrder) {
  EXPECT_EQ(testdb::value("SELECT count(*) FROM vexa_prime_number"), "1000");
  EXPECT_EQ(testdb::value("SELECT prime_nb FROM vexa_prime_number WHERE prime_nb_position = 1"),
            "2");
  EXPECT_EQ(testdb::value("SELECT prime_nb FROM vexa_prime_number WHERE prime_nb_position = 1000"),
            "7919");
  // Positions 1..1000 without gap, increasing with the prime.
  EXPECT_EQ(testdb::value("SELECT count(*) FROM vexa_prime_number a JOIN vexa_prime_number b "
                          "ON b.prime_nb_position = a.prime_nb_position + 1 "
                          "WHERE b.prime_nb > a.prime_nb"),
            "999");
  // No entry divisible by a smaller one: with 1000 entries up to 7919,
  // the thousandth prime, none is missing.
  EXPECT_EQ(testdb::value("SELECT count(*) FROM vexa_prime_number a JOIN vexa_prime_number b "
                          "ON b.prime_nb < a.prime_nb AND a.prime_nb % b.prime_nb = 0"),
            "0");
}

TEST_F(Database, PrimeProductIsExact) {
  // The product of the first 12 primes is beyond a 32-bit integer.
  EXPECT_EQ(testdb::value("SELECT vexa_prime_product(prime_nb) FROM vexa_prime_number "
                          "WHERE prime_nb_position <= 12"),
            "7420738134810");
  // Past a double's 53 bits too (first 15 primes).
  EXPECT_EQ(testdb::value("SELECT vexa_prime_product(prime_nb) FROM vexa_prime_number "
                          "WHERE prime_nb_position <= 15"),
            "614889782588491410");
  EXPECT_EQ(testdb::value("SELECT vexa_prime_product(x) FROM (VALUES (3), (NULL), (5)) v(x)"),
            "15");
  EXPECT_EQ(testdb::value("SELECT vexa_prime_product(x) FROM (VALUES (3)) v(x) WHERE false"),
            "<null>");
}

TEST_F(Database, PrimeProductFitsAnIntegerColumnOrFails) {
  testdb::exec("INSERT INTO vexa_link_types(linktypeID, link_name, link_nbr) "
               "SELECT 1, 'first9', vexa_prime_product(prime_nb) FROM vexa_prime_number "
               "WHERE prime_nb_position <= 9");
  EXPECT_EQ(testdb::value("SELECT link_nbr FROM vexa_link_types WHERE linktypeID = 1"),
            "223092870");
  EXPECT_EQ(sqlstate_of("INSERT INTO vexa_link_types(linktypeID, link_name, link_nbr) "
                        "SELECT 2, 'first12', vexa_prime_product(prime_nb) "
                        "FROM vexa_prime_number WHERE prime_nb_position <= 12"),
            "22003");
}

// --- lists of link types --------------------------------------------------------

TEST_F(Database, LinkTypeListsGiveTheirNamesAsTheControlScriptsQuoteThem) {
  const struct {
    const char* list;
    const char* names;  // as a JSON array
  } cases[] = {
      {"'it''s','data2'", R"(["it's","data2"])"},      // a doubled quote is one
      {"'it'''", R"(["it'"])"},                        // ending a name
      {"'a,b','c'", R"(["a,b","c"])"},                 // a comma inside quotes
      {"a,b", R"(["a","b"])"},                         // bare names
      {"x,'it''s',y", R"(["x","it's","y"])"},          // mixed
      {"it's,'z'", R"(["it's","z"])"},                 // a quote in a bare name
      {"a, 'b' ,c", R"(["a"," 'b' ","c"])"},           // blanks belong to the item
      {"'it's','z'", R"(["it's","z"])"},               // an undoubled quote, as before
      {"'open,x", R"(["'open","x"])"},                 // no closing quote
      {"c,c", R"(["c","c"])"},
      {"a,,", R"(["a","",""])"},
      {"''", R"([""])"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(testdb::value(std::string("SELECT array_to_json(link_type_list_names($l$") +
                            c.list + "$l$))"),
              c.names)
        << c.list;
  EXPECT_EQ(testdb::value("SELECT link_type_list_names(NULL)"), "<null>");
}

// --- special rows, sequences and ferrule_reset() --------------------------------

TEST_F(Database, SpecialRowsArePresent) {
  EXPECT_EQ(testdb::value("SELECT count(*) FROM vexa_lg_devices WHERE deviceid = -1"), "1");
  EXPECT_EQ(testdb::value("SELECT cpntname || '/' || coalesce(motherboardid::text, 'null') "
                          "FROM vexa_lg_cpnts WHERE cpntid = -1"),
            "motherboard/null");
  EXPECT_EQ(testdb::value("SELECT count(*) FROM vexa_hw_cpnts WHERE snbid = -1 "
                          "AND serialnb IS NULL AND cpnt_status IS NULL"),
            "1");
  // The -1 device has no device type, so joins with the types skip it.
  EXPECT_EQ(testdb::value("SELECT count(*) FROM vexa_lg_devices d JOIN vexa_lg_device_types t "
                          "ON t.devicetypeID = d.devicetypeID"),
            "0");
}

TEST_F(Database, ResetRestoresTheInstalledState) {
  testdb::exec("INSERT INTO vexa_subsystemList VALUES ('DAQ', 2)");
  testdb::exec("INSERT INTO vexa_lg_device_types(devicetypeID, devicetype) VALUES (1, 'switch')");
  add_device("dev_a", 1);
  testdb::exec("INSERT INTO vexa_port_properties(portid, deviceid, port_nbr, port_way) "
               "VALUES (nextval('vexa_portseq'), 1, '1', 1)");
  testdb::exec("UPDATE vexa_lg_cpnts SET cpntname = 'renamed' WHERE cpntid = -1");
  testdb::exec("DELETE FROM vexa_hw_cpnts WHERE snbid = -1");
  testdb::exec("SELECT nextval('VEXA_LG_CPNTS_DEVICEID_SEQ'), nextval('vexa_lg_deviceseq')");

  testdb::reset();

  EXPECT_EQ(testdb::value("SELECT count(*) FROM vexa_subsystemList"), "0");
  EXPECT_EQ(testdb::value("SELECT count(*) FROM vexa_lg_device_types"), "0");
  EXPECT_EQ(testdb::value("SELECT count(*) FROM vexa_port_properties"), "0");
  EXPECT_EQ(testdb::value("SELECT string_agg(deviceid::text, ',') FROM vexa_lg_devices"), "-1");
  EXPECT_EQ(testdb::value("SELECT cpntname FROM vexa_lg_cpnts"), "motherboard");
  EXPECT_EQ(testdb::value("SELECT snbid FROM vexa_hw_cpnts"), "-1");
  EXPECT_EQ(testdb::value("SELECT count(*) FROM vexa_prime_number"), "1000");
  EXPECT_EQ(testdb::value("SELECT nextval('vexa_portseq')"), "2");
  EXPECT_EQ(testdb::value("SELECT nextval('vexa_lg_deviceseq')"), "1");
  EXPECT_EQ(testdb::value("SELECT nextval('VEXA_LG_CPNTS_DEVICEID_SEQ')"), "1");
}

TEST_F(Database, PortidsOfBothSequencesNeverMeet) {
  // Ports of test boards draw portid from vexa_lg_deviceseq, all others from
  // vexa_portseq.
  EXPECT_EQ(testdb::value("SELECT count(*) FROM "
                          "(SELECT nextval('vexa_portseq') FROM generate_series(1, 200)) a(p) "
                          "JOIN (SELECT nextval('vexa_lg_deviceseq') FROM generate_series(1, 200)) "
                          "b(d) ON a.p = b.d"),
            "0");
}

TEST_F(Database, UpperCaseSequenceNamesWorkAsWritten) {
  EXPECT_EQ(testdb::value("SELECT nextval('VEXA_HW_CPNTS_SNBID_SEQ')"), "1");
  EXPECT_EQ(testdb::value("SELECT nextval('VEXA_CPNT_HISTORY_COMPTID_SEQ')"), "1");
}

// --- keys -----------------------------------------------------------------------

TEST_F(Database, NamesThatAreKeysRejectDuplicates) {
  testdb::exec("INSERT INTO vexa_lg_device_types(devicetypeID, devicetype) VALUES (1, 'switch')");
  EXPECT_EQ(sqlstate_of("INSERT INTO vexa_lg_device_types(devicetypeID, devicetype) "
                        "VALUES (2, 'switch')"),
            "23505");
  add_device("dev_a", 1);
  EXPECT_EQ(sqlstate_of("INSERT INTO vexa_lg_devices(devicename, devicetypeID, deviceid) "
                        "VALUES ('dev_a', 1, 3)"),
            "23505");
  testdb::exec("INSERT INTO vexa_link_types(linktypeID, link_name) VALUES (1, 'data')");
  EXPECT_EQ(sqlstate_of("INSERT INTO vexa_link_types(linktypeID, link_name) VALUES (2, 'data')"),
            "23505");
  EXPECT_EQ(sqlstate_of("INSERT INTO vexa_lg_cpnts(cpntname, cpntid) VALUES ('motherboard', 5)"),
            "23505");
  testdb::exec("INSERT INTO vexa_subsystemList VALUES ('DAQ', 2)");
  EXPECT_EQ(sqlstate_of("INSERT INTO vexa_subsystemList VALUES ('DAQ', 3)"), "23505");
  EXPECT_EQ(sqlstate_of("INSERT INTO vexa_subsystemList VALUES ('TFC', 2)"), "23505");
}

// A name that a lookup copies into a caller buffer of 101 bytes has at most
// 100 bytes, whatever its characters.
TEST_F(Database, DeviceAndComponentNamesHoldAtMostOneHundredBytes) {
  std::string wide;
  for (int i = 0; i < 51; ++i) wide += "\xc3\xa9";  // 51 characters, 102 bytes
  EXPECT_EQ(sqlstate_of("INSERT INTO vexa_lg_devices(devicename, devicetypeID, deviceid) "
                        "VALUES ('" + wide + "', 1, 3)"),
            "23514");
  EXPECT_EQ(sqlstate_of("INSERT INTO vexa_lg_cpnts(cpntname, cpntid) VALUES ('" + wide + "', 5)"),
            "23514");
  add_device(std::string(100, 'n'), 5);
}

TEST_F(Database, SerialNumbersAndAddressesAreKeys) {
  testdb::exec("INSERT INTO vexa_hw_devices(serialnb) VALUES ('SN1')");
  EXPECT_EQ(sqlstate_of("INSERT INTO vexa_hw_devices(serialnb) VALUES ('SN1')"), "23505");
  // Hardware components: a serial number at most once, any number without.
  testdb::exec("INSERT INTO vexa_hw_cpnts(snbid, serialnb) VALUES (1, 'C1'), (2, NULL), (3, NULL)");
  EXPECT_EQ(sqlstate_of("INSERT INTO vexa_hw_cpnts(snbid, serialnb) VALUES (4, 'C1')"), "23505");
  testdb::exec("INSERT INTO vexa_ipinfo(ipaddress) VALUES ('10.1.1.1')");
  EXPECT_EQ(sqlstate_of("INSERT INTO vexa_ipinfo(ipaddress) VALUES ('10.1.1.1')"), "23505");
}

TEST_F(Database, APortIsUniqueByDeviceNumberWayAndType) {
  add_device("dev_a", 1);
  testdb::exec("INSERT INTO vexa_port_properties(portid, deviceid, port_nbr, port_way, port_type) "
               "VALUES (2, 1, '1', 1, NULL)");
  // A null type and 'none' are the same port.
  EXPECT_EQ(sqlstate_of("INSERT INTO vexa_port_properties(portid, deviceid, port_nbr, port_way, "
                        "port_type) VALUES (4, 1, '1', 1, 'none')"),
            "23505");
  // Another way, type or number is another port.
  EXPECT_EQ(sqlstate_of("INSERT INTO vexa_port_properties(portid, deviceid, port_nbr, port_way, "
                        "port_type) VALUES (6, 1, '1', 2, NULL)"),
            "00000");
  EXPECT_EQ(sqlstate_of("INSERT INTO vexa_port_properties(portid, deviceid, port_nbr, port_way, "
                        "port_type) VALUES (8, 1, '1', 1, 'control')"),
            "00000");
  EXPECT_EQ(sqlstate_of("INSERT INTO vexa_port_properties(portid, deviceid, port_nbr, port_way, "
                        "port_type) VALUES (8, 1, '2', 1, NULL)"),
            "23505");  // portid 8 is taken
}

TEST_F(Database, RowsMustReferToExistingRows) {
  EXPECT_EQ(sqlstate_of("INSERT INTO vexa_port_properties(portid, deviceid, port_nbr, port_way) "
                        "VALUES (2, 99, '1', 1)"),
            "23503");
  add_device("dev_a", 1);
  EXPECT_EQ(sqlstate_of("INSERT INTO vexa_port_properties(portid, deviceid, port_nbr, port_way, "
                        "ipaddress) VALUES (2, 1, '1', 1, '10.9.9.9')"),
            "23503");
  EXPECT_EQ(sqlstate_of("UPDATE vexa_lg_devices SET serialnb = 'nothing' WHERE deviceid = 1"),
            "23503");
  EXPECT_EQ(sqlstate_of("INSERT INTO vexa_macroscopic_connectivity(linkid, portidfrom, portidto) "
                        "VALUES (1, 2, 4)"),
            "23503");
  EXPECT_EQ(sqlstate_of("INSERT INTO vexa_lg_cpnts(cpntname, cpntid, motherboardid) "
                        "VALUES ('c', 1, 99)"),
            "23503");
  // A device whose type was named but does not exist keeps -1.
  EXPECT_EQ(sqlstate_of("UPDATE vexa_lg_devices SET devicetypeID = -1 WHERE deviceid = 1"),
            "00000");
}

// --- server package -------------------------------------------------------------

TEST_F(Database, InsertIPaddressRecordsAnAddressOnce) {
  const std::string call =
      "DO $$ DECLARE r integer; BEGIN "
      "r := vexa_configuration_dev.insertIPaddress('10.0.0.1', 'host1', '255.0.0.0', "
      "'login', 'host'); IF r <> 0 THEN RAISE EXCEPTION 'result %', r; END IF; END $$";
  testdb::exec(call);
  EXPECT_EQ(testdb::value("SELECT ipname || '/' || subnet_info || '/' || author || '/' || "
                          "terminal_name FROM vexa_ipinfo WHERE ipaddress = '10.0.0.1'"),
            "host1/255.0.0.0/login/host");
  // Again, with other values: no error, the row stays as it was.
  EXPECT_EQ(testdb::value("SELECT vexa_configuration_dev.insertIPaddress('10.0.0.1', 'other', "
                          "'255.255.0.0', 'x', 'y')"),
            "0");
  EXPECT_EQ(testdb::value("SELECT count(*) || '/' || min(ipname) FROM vexa_ipinfo"), "1/host1");
  EXPECT_EQ(testdb::value("SELECT created IS NOT NULL FROM vexa_ipinfo"), "t");
}

TEST_F(Database, InsertAddressedPortWritesBothRowsOrNothingAndRaisesWhatIsRefused) {
  add_device("sw", 1);
  testdb::exec("SELECT vexa_configuration_dev.insertIPaddress('10.0.0.9', 'n', 's', 'l', 'h')");
  const std::string port =
      "SELECT vexa_configuration_dev.insertAddressedPort(%s, 'p1', 2, 'eth', 1, 100, 'phy', 0, "
      "'bia', 'mac', '10.0.0.9', 'login', 'host')";
  auto call = [&](const std::string& device) {
    std::string sql = port;
    return sql.replace(sql.find("%s"), 2, device);
  };
  EXPECT_EQ(testdb::value(call("'ghost'")), "0");
  EXPECT_EQ(testdb::value("SELECT (SELECT count(*) FROM vexa_port_properties) + "
                          "(SELECT count(*) FROM vexa_hwport_properties)"),
            "0");
  EXPECT_EQ(testdb::value(call("'sw'")), "2");
  EXPECT_EQ(testdb::value("SELECT concat_ws('|', deviceid, port_nbr, port_way, port_type, "
                          "administrative_status, speed, phy, pxi_booting, ipaddress, author, "
                          "user_update, terminal_name, portid > 0) FROM vexa_port_properties"),
            "1|p1|2|eth|1|100|phy|0|10.0.0.9|login|login|host|t");
  EXPECT_EQ(testdb::value("SELECT concat_ws('|', coalesce(serialnb, 'null'), port_nbr, port_way, "
                          "port_type, bia, macaddress, author, terminal_name, "
                          "created IS NOT NULL) FROM vexa_hwport_properties"),
            "null|p1|2|eth|bia|mac|login|host|t");
  // The same port again: the port row's key refuses it, and the call raises.
  EXPECT_EQ(sqlstate_of(call("'sw'")), "23505");
  EXPECT_EQ(testdb::value("SELECT count(*) FROM vexa_hwport_properties"), "1");
}

TEST_F(Database, CheckAndUpdateDynamicTablesAnswersAShortText) {
  for (const char* arg : {"1", "0", "NULL"}) {
    std::string res = testdb::value(
        std::string("SELECT pathqueries_pck.CheckAndUpdateDynamicTables(") + arg + ")");
    EXPECT_FALSE(res.empty()) << arg;
    EXPECT_NE(res, "<null>") << arg;
    EXPECT_LE(res.size(), 99u) << arg;
  }
}

TEST_F(Database, PackageCallsLeaveTheTransactionToTheCaller) {
  testdb::exec("BEGIN");
  testdb::exec("SELECT vexa_configuration_dev.insertIPaddress('10.0.0.2', 'n', 's', 'l', 'h'), "
               "pathqueries_pck.CheckAndUpdateDynamicTables(1)");
  testdb::exec("ROLLBACK");
  EXPECT_EQ(testdb::value("SELECT count(*) FROM vexa_ipinfo"), "0");
}

TEST_F(Database, InsertTestBoardAnswersACodeAndLeavesTheTransactionToTheCaller) {
  const std::string call =
      "CALL vexa_configuration_dev.InsertTestBoard('lab', 'l', 'h', -1000, -1000)";
  testdb::exec("BEGIN");
  EXPECT_EQ(testdb::value(call), "0");  // rescode; the board has the id 1
  testdb::exec("ROLLBACK");
  EXPECT_EQ(testdb::value("SELECT count(*) FROM vexa_lg_devices WHERE location = 'lab'"), "0");
  // The next board would be TESTBOARD_3: a device of that name makes the
  // call answer 1 (duplicate) and write nothing, not even the device type.
  add_device("TESTBOARD_3", 99);
  EXPECT_EQ(testdb::value(call), "1");
  EXPECT_EQ(testdb::value("SELECT count(*) FROM vexa_lg_devices WHERE location = 'lab'") +
                testdb::value("SELECT count(*) FROM vexa_lg_device_types"),
            "00");
}

}  // namespace
