// Paths inside a board: the three queries with known paths, each failure
// outcome, and the results of outputs that do not fit.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "network_fixture.h"

namespace {

using testnet::Board;
using testnet::BoardShortcut;
using testnet::Device;
using testnet::Port;

// Board "brd": port in (301 way 1) feeds c1; c1 goes out directly and
// through c2 or c3 to port out (303 way 2).
//   in -> c1 -> out
//         c1 -> c2 -> out
//         c1 -> c3 -> out
class MicroPaths : public NetworkTest {
 protected:
  void SetUp() override {
    NetworkTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    Board();
    BoardShortcut();
    // Component "elsewhere" on device "other" with port x (305 way 2).
    Device(33, "other", 0);
    Port(305, 33, "x", 2, "");
    testdb::exec(
        "insert into vexa_lg_cpnts(cpntname, cpnttype, cpntid, motherboardid) values "
        "('elsewhere', 'asic', 4, 33)");
  }

  // Caller buffers of one query, with the answer read back as text.
  struct Outputs {
    int pathid[20], link_pos[20];
    int len_array = 20;
    char nfrom[200], nto[200], last_nfrom[50], last_nto[50];
    int len_nfrom = 200, len_nto = 200, len_last_nfrom = 50, len_last_nto = 50;
    Outputs() {
      std::memset(nfrom, 'x', sizeof nfrom);
      std::memset(nto, 'x', sizeof nto);
      std::memset(last_nfrom, 'x', sizeof last_nfrom);
      std::memset(last_nto, 'x', sizeof last_nto);
    }
    // "pathid.link_pos:nfrom>nto" per row.
    std::vector<std::string> rows() const {
      std::vector<std::string> out;
      const char* f = nfrom;
      const char* t = nto;
      for (int i = 0; i < len_array; ++i) {
        out.push_back(std::to_string(pathid[i]) + "." + std::to_string(link_pos[i]) + ":" + f +
                      ">" + t);
        f += std::strlen(f) + 1;
        t += std::strlen(t) + 1;
      }
      return out;
    }
  };

  int from_component(const char* cpnt, int port, Outputs& o) {
    return GetMicroConnectBetweenBoardCpntAndMotherBoard(
        cpnt, port, o.pathid, o.link_pos, &o.len_array, o.nfrom, &o.len_nfrom, o.nto, &o.len_nto,
        o.last_nfrom, &o.len_last_nfrom, o.last_nto, &o.len_last_nto, err_);
  }
  int from_port(int from, int to, const char* cpnt, Outputs& o) {
    testing::internal::CaptureStdout();
    int rc = GetMicroConnectFromPortid(from, to, cpnt, o.pathid, o.link_pos, &o.len_array,
                                       o.nfrom, &o.len_nfrom, o.nto, &o.len_nto, o.last_nfrom,
                                       &o.len_last_nfrom, o.last_nto, &o.len_last_nto, err_);
    testing::internal::GetCapturedStdout();
    return rc;
  }
  int to_type(int from, int given, const char* type, Outputs& o) {
    return GetMicroConnectToCpntType(from, given, type, o.pathid, o.link_pos, &o.len_array,
                                     o.nfrom, &o.len_nfrom, o.nto, &o.len_nto, o.last_nfrom,
                                     &o.len_last_nfrom, o.last_nto, &o.len_last_nto, err_);
  }
};

TEST_F(MicroPaths, FromAComponentToABoardPortShortestFirst) {
  Outputs o;
  ASSERT_EQ(from_component("c1", 303, o), 0) << err_;
  EXPECT_STREQ(err_, "NO_ERROR in GetMicroConnectBetweenBoardCpntAndMotherBoard");
  EXPECT_EQ(o.rows(), (std::vector<std::string>{"0.1:c1>brd", "1.1:c1>c2", "1.2:c2>brd",
                                                  "2.1:c1>c3", "2.2:c3>brd"}));
  EXPECT_EQ(o.len_nfrom, 15);  // c1 c1 c2 c1 c3, each with its NUL
  EXPECT_STREQ(o.last_nfrom, "c3");
  EXPECT_STREQ(o.last_nto, "brd");
  // The read committed the query: another connection sees the rows.
  EXPECT_EQ(one("select count(*) from vexa_micropath_temp"), "5");
}

TEST_F(MicroPaths, FromABoardPortToAPortOrANamedComponent) {
  Outputs to_port;
  ASSERT_EQ(from_port(301, 303, "none", to_port), 0) << err_;
  EXPECT_EQ(to_port.rows(),
            (std::vector<std::string>{"0.1:brd>c1", "0.2:c1>brd", "1.1:brd>c1", "1.2:c1>c2",
                                      "1.3:c2>brd", "2.1:brd>c1", "2.2:c1>c3", "2.3:c3>brd"}));
  Outputs to_c3;
  ASSERT_EQ(from_port(301, 0, "c3", to_c3), 0) << err_;
  EXPECT_EQ(to_c3.rows(), (std::vector<std::string>{"0.1:brd>c1", "0.2:c1>c3"}));
}

TEST_F(MicroPaths, ToTheComponentsOfATypeOrOfAName) {
  Outputs fpga;
  ASSERT_EQ(to_type(301, 1, "fpga", fpga), 0) << err_;
  EXPECT_EQ(fpga.rows(), (std::vector<std::string>{"0.1:brd>c1", "1.1:brd>c1", "1.2:c1>c2"}));
  Outputs named;
  ASSERT_EQ(to_type(301, 0, "c2", named), 0) << err_;
  EXPECT_EQ(named.rows(), (std::vector<std::string>{"0.1:brd>c1", "0.2:c1>c2"}));
}

TEST_F(MicroPaths, UnusedAndOneWayLinksAreNotWalked) {
  testdb::exec("update vexa_microscopic_connectivity set lkused = 0 where linkid = 6");
  Outputs o;
  ASSERT_EQ(from_component("c1", 303, o), 0) << err_;
  EXPECT_EQ(o.len_array, 4);
  // Nothing leads back into the board's input port.
  Outputs none;
  EXPECT_EQ(from_component("c1", 301, none), -1);
  EXPECT_STREQ(err_, "ERROR in GetMicroConnectBetweenBoardCpntAndMotherBoard : NO_ROWS_SELECTED");
  EXPECT_EQ(none.len_array, 20);
  EXPECT_EQ(none.nfrom[0], 'x');
  // Made bidirectional, the link from the port is walked backwards.
  testdb::exec("update vexa_microscopic_connectivity set bidirectional_link_used = 1 "
               "where linkid = 1");
  Outputs back;
  ASSERT_EQ(from_component("c1", 301, back), 0) << err_;
  EXPECT_EQ(back.rows(), (std::vector<std::string>{"0.1:c1>brd"}));
}

TEST_F(MicroPaths, EachStepThatFailsHasItsReason) {
  Outputs o;
  for (const char* cpnt : {"nobody", static_cast<const char*>(nullptr)}) {
    EXPECT_EQ(from_component(cpnt, 303, o), -1);
    EXPECT_STREQ(err_, "ERROR in GetMicroConnectBetweenBoardCpntAndMotherBoard : Pb when "
                       "creating the micro lg links");
  }
  EXPECT_EQ(from_port(999, 303, "none", o), -1);
  EXPECT_STREQ(err_, "ERROR in GetMicroConnectFromPortid : Pb when creating the micro lg links");
  // The target is not on the board.
  EXPECT_EQ(from_component("c1", 305, o), -1);
  EXPECT_STREQ(err_, "ERROR in GetMicroConnectBetweenBoardCpntAndMotherBoard : Error  when "
                     "trying to find the paths");
  EXPECT_EQ(from_port(301, 0, "elsewhere", o), -1);
  EXPECT_STREQ(err_, "ERROR in GetMicroConnectFromPortid : Error  when trying to find the paths");
  EXPECT_EQ(from_port(301, 305, "none", o), -1);
  EXPECT_STREQ(err_, "ERROR in GetMicroConnectFromPortid : Error  when trying to find the paths");
  EXPECT_EQ(to_type(301, 0, "elsewhere", o), -1);
  EXPECT_STREQ(err_, "ERROR in GetMicroConnectToCpntType : Error  when trying to find the paths");
  // The board has no component of the type.
  EXPECT_EQ(to_type(301, 1, "dsp", o), -1);
  EXPECT_STREQ(err_, "ERROR in GetMicroConnectToCpntType : Error  when trying to find the paths");
  EXPECT_EQ(to_type(301, 0, nullptr, o), -1);
  EXPECT_EQ(o.len_array, 20);
  EXPECT_EQ(o.nfrom[0], 'x');
}

TEST_F(MicroPaths, OutputsThatDoNotFitCountAsShortfalls) {
  Outputs all;
  ASSERT_EQ(from_component("c1", 303, all), 0);
  const int nfrom_total = all.len_nfrom, nto_total = all.len_nto;

  Outputs one_short;
  one_short.len_nfrom = nfrom_total;  // equal is not enough
  EXPECT_EQ(from_component("c1", 303, one_short), -1);
  EXPECT_STREQ(err_, "NO_ERROR in GetMicroConnectBetweenBoardCpntAndMotherBoard");
  EXPECT_EQ(one_short.len_nfrom, nfrom_total + 1);
  EXPECT_EQ(one_short.nfrom[0], 'x');
  EXPECT_EQ(one_short.len_nto, nto_total);  // the others are copied
  EXPECT_EQ(one_short.rows().size(), 5u);

  Outputs all_short;
  all_short.len_nfrom = 0;
  all_short.len_nto = -1;
  all_short.len_array = 4;
  EXPECT_EQ(from_component("c1", 303, all_short), -3);
  EXPECT_EQ(all_short.len_array, 5);
  EXPECT_EQ(all_short.len_nto, nto_total + 1);

  // Again with the sizes written back.
  Outputs retry;
  retry.len_nfrom = one_short.len_nfrom;
  EXPECT_EQ(from_component("c1", 303, retry), 0);
}

TEST_F(MicroPaths, ALastNameThatDoesNotFitIsMarkedWhereTheMarkFits) {
  Outputs marked;
  marked.len_last_nfrom = 2;  // "c3" needs 3
  marked.len_last_nto = 17;
  testdb::exec("update vexa_lg_devices set devicename = 'a_board_with_a_long_name' "
               "where deviceid = 31");
  ASSERT_EQ(from_component("c1", 303, marked), 0);
  EXPECT_EQ(marked.len_last_nfrom, 3);
  EXPECT_EQ(marked.last_nfrom[0], 'x');  // "BUFFER_TOO_SMALL" does not fit in 2 bytes
  EXPECT_EQ(marked.len_last_nto, 25);
  EXPECT_STREQ(marked.last_nto, "BUFFER_TOO_SMALL");
  // Below the 17 bytes of the word nothing is written, only the need.
  for (int capacity : {16, 5, 0, -1}) {
    Outputs short_nto;
    short_nto.len_last_nto = capacity;
    ASSERT_EQ(from_component("c1", 303, short_nto), 0) << capacity;
    EXPECT_EQ(short_nto.len_last_nto, 25) << capacity;
    EXPECT_EQ(short_nto.last_nto[0], 'x') << capacity;
  }
}

}  // namespace
