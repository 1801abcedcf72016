// The schema tables, the routing and destination tables and the paths
// inside boards against hostile input.
#include <gtest/gtest.h>

#include <string>

#include "hostile_inputs.h"
#include "network_fixture.h"

namespace {

using testnet::Board;
using testnet::Device;
using testnet::Link;
using testnet::Port;

using hostile::Call;
using hostile::Chars;
using hostile::Export;
using hostile::Ints;

// The outputs of a micro path query: pathid, link_pos, nfrom, nto,
// last_nfrom, last_nto; their lengths: len_array, len_nfrom, len_nto,
// len_last_nfrom, len_last_nto. A last name that does not fit leaves the
// result 0: only its length tells. Every name on the board is longer than
// "BUFFER_TOO_SMALL", so that the word put in place of a last name that
// does not fit would show in the guard of a buffer too small for it.
constexpr bool kShortfallInLengthOnly = false;
const std::vector<hostile::Out> kMicroOutputs = {Ints(20),    Ints(20),  Chars(200),
                                                 Chars(200),  Chars(50), Chars(50)};
const std::vector<hostile::Len> kMicroLengths = {{20, {0, 1}},
                                                 {200, {2}},
                                                 {200, {3}},
                                                 {50, {4}, kShortfallInLengthOnly},
                                                 {50, {5}, kShortfallInLengthOnly}};

const Export kRouting[] = {
    {"CreateTableSchema", {}, {}, {}, {}, [](Call& c) { return CreateTableSchema(c.e()); }},
    {"DropTableSchema", {}, {}, {}, {}, [](Call& c) { return DropTableSchema(c.e()); }},
    {"CreateRoutingTable", {"h1"}, {3}, {}, {},
     [](Call& c) { return CreateRoutingTable(c.t[0], c.v[0], c.e()); }},
    {"CreateDestinationTable", {"h1"}, {3}, {}, {},
     [](Call& c) { return CreateDestinationTable(c.t[0], c.v[0], c.e()); }},
    {"GetPortPerSubsystem", {"h1", "DAQ"}, {}, {Chars(200)}, {{200, {0}}},
     [](Call& c) { return GetPortPerSubsystem(c.t[0], c.t[1], c.l(0), c.c(0), c.e()); }},
    {"LoadRoutingtable", {"101"}, {},
     {Chars(1000), Chars(1000), Chars(1000), Chars(1000), Chars(1000), Chars(1000)},
     {{1000, {0}}, {1000, {1}}, {1000, {2}}, {1000, {3}}, {1000, {4}}, {1000, {5}}},
     [](Call& c) {
       return LoadRoutingtable(c.t[0], c.l(0), c.c(0), c.l(1), c.c(1), c.l(2), c.c(2), c.l(3),
                               c.c(3), c.l(4), c.c(4), c.l(5), c.c(5), c.e());
     }},
    {"GetMicroConnectBetweenBoardCpntAndMotherBoard", {"component_named_c1"}, {303},
     kMicroOutputs, kMicroLengths,
     [](Call& c) {
       return GetMicroConnectBetweenBoardCpntAndMotherBoard(
           c.t[0], c.v[0], c.n(0), c.n(1), c.l(0), c.c(2), c.l(1), c.c(3), c.l(2), c.c(4),
           c.l(3), c.c(5), c.l(4), c.e());
     }},
    {"GetMicroConnectFromPortid", {"component_named_c3"}, {301, 303}, kMicroOutputs,
     kMicroLengths,
     [](Call& c) {
       return GetMicroConnectFromPortid(c.v[0], c.v[1], c.t[0], c.n(0), c.n(1), c.l(0), c.c(2),
                                        c.l(1), c.c(3), c.l(2), c.c(4), c.l(3), c.c(5), c.l(4),
                                        c.e());
     }},
    {"GetMicroConnectToCpntType", {"fpga"}, {301, 1}, kMicroOutputs, kMicroLengths,
     [](Call& c) {
       return GetMicroConnectToCpntType(c.v[0], c.v[1], c.t[0], c.n(0), c.n(1), c.l(0), c.c(2),
                                        c.l(1), c.c(3), c.l(2), c.c(4), c.l(3), c.c(5), c.l(4),
                                        c.e());
     }},
};

// h1 (101) reaches s1 (103) and s2 (105), and through them h2 (107); the
// routing and destination tables of h1 are built. The board (31) has the
// ports in (301) and out (303), and the components c1 -> c2, c3 -> out,
// all named at length.
class RoutingInputs : public NetworkTest, public testing::WithParamInterface<Export> {
 protected:
  void SetUp() override {
    NetworkTest::SetUp();
    if (HasFatalFailure() || IsSkipped()) return;
    Device(101, "h1", 1);
    Device(103, "s1", 0);
    Device(105, "s2", 0);
    Device(107, "h2", 1);
    Port(1002, 101, "in1", 1, "10.0.0.1", "mac-h1-in1");
    Port(1004, 101, "in2", 1, "10.0.1.1", "mac-h1-in2");
    Port(1006, 103, "o1", 2, "10.0.0.254");
    Port(1008, 103, "o2", 2, "10.0.2.254");
    Port(1010, 105, "o1", 2, "10.0.1.254");
    Port(1014, 107, "in1", 1, "10.0.2.1");
    Link(1, 1006, 1002);
    Link(2, 1010, 1004);
    Link(3, 1008, 1014);
    Board();
    testdb::exec("update vexa_lg_devices set devicename = 'board_with_a_long_name' "
                 "where deviceid = 31;"
                 "update vexa_lg_cpnts set cpntname = 'component_named_' || cpntname "
                 "where motherboardid = 31");
    ASSERT_EQ(Quiet([&] { return CreateRoutingTable("h1", 0, err_); }), 0) << err_;
    ASSERT_EQ(Quiet([&] { return CreateDestinationTable("h1", 10, err_); }), 0) << err_;
    commit_library();
  }
};

TEST_P(RoutingInputs, SurviveHostileInput) { hostile::Sweep(GetParam()); }

INSTANTIATE_TEST_SUITE_P(Exports, RoutingInputs, testing::ValuesIn(kRouting),
                         hostile::ExportName);

class RoutingUnconnected : public DatabaseTest {};

// The subsystem name is read through the table that the connection loads:
// before the first connection the name is unknown.
TEST_F(RoutingUnconnected, AreRefusedBeforeAnyConnection) {
  for (const Export& ex : kRouting)
    hostile::ExpectRefusedWithoutConnection(
        ex, std::string(ex.name) == "GetPortPerSubsystem" ? "Invalid subsystem name" : nullptr);
}

}  // namespace
