// The path searches and the whole-table loads against hostile input.
#include <gtest/gtest.h>

#include <string>

#include "hostile_inputs.h"
#include "path_fixture.h"

namespace {

using hostile::Call;
using hostile::Chars;
using hostile::Export;
using hostile::Ints;

constexpr int kEntries = 50;
constexpr int kBytes = 2000;

// The outputs of the three full path searches, by role; each export lists
// them in its own argument order.
enum Role { kNfrom, kNto, kPfrom, kPto, kLkinfo, kWayA, kWayB, kPathid, kLinkPos };

const std::vector<hostile::Out> kPathOutputs = {Chars(kBytes), Chars(kBytes), Chars(kBytes),
                                                Chars(kBytes), Chars(kBytes), Ints(kEntries),
                                                Ints(kEntries), Ints(kEntries), Ints(kEntries)};

// len_array counts the four int arrays, each other length its text; the
// lengths in the order len_array, nfrom, pfrom, nto, pto, lkinfo.
const std::vector<hostile::Len> kPathLengths = {
    {kEntries, {kWayA, kWayB, kPathid, kLinkPos}},
    {kBytes, {kNfrom}},
    {kBytes, {kPfrom}},
    {kBytes, {kNto}},
    {kBytes, {kPto}},
    {kBytes, {kLkinfo}}};
enum Length { kLenArray, kLenNfrom, kLenPfrom, kLenNto, kLenPto, kLenLkinfo };

const Export kPaths[] = {
    {"GetConnectivityBetweenDevices", {"A", "C"}, {}, kPathOutputs, kPathLengths,
     [](Call& c) {
       return GetConnectivityBetweenDevices(
           c.t[0], c.t[1], c.l(kLenArray), c.l(kLenPfrom), c.l(kLenNfrom), c.l(kLenPto),
           c.l(kLenNto), c.l(kLenLkinfo), c.c(kNfrom), c.c(kNto), c.c(kPfrom), c.n(kWayA),
           c.c(kPto), c.n(kWayB), c.n(kPathid), c.n(kLinkPos), c.c(kLkinfo), c.e());
     }},
    {"GetDetailedConnectivityBetweenDevices", {"A", "C"}, {}, kPathOutputs, kPathLengths,
     [](Call& c) {
       return GetDetailedConnectivityBetweenDevices(
           c.t[0], c.t[1], c.c(kNfrom), c.l(kLenArray), c.l(kLenNfrom), c.l(kLenPfrom),
           c.l(kLenNto), c.l(kLenPto), c.l(kLenLkinfo), c.c(kPfrom), c.c(kPto), c.n(kWayA),
           c.n(kWayB), c.c(kNto), c.n(kPathid), c.n(kLinkPos), c.c(kLkinfo), c.e());
     }},
    {"GetDetailedConnBetweenDeviceDevType", {"A", "HOST"}, {1}, kPathOutputs, kPathLengths,
     [](Call& c) {
       return GetDetailedConnBetweenDeviceDevType(
           c.t[0], c.t[1], c.v[0], c.c(kNfrom), c.c(kPfrom), c.c(kPto), c.l(kLenArray),
           c.l(kLenNfrom), c.l(kLenPfrom), c.l(kLenNto), c.l(kLenPto), c.l(kLenLkinfo),
           c.n(kWayA), c.n(kWayB), c.c(kNto), c.n(kPathid), c.n(kLinkPos), c.c(kLkinfo), c.e());
     }},
    {"GetConnOutBetweenDeviceDeviceType", {"A", "C"}, {0}, {Chars(kBytes)}, {{kBytes, {0}}},
     [](Call& c) {
       return GetConnOutBetweenDeviceDeviceType(c.t[0], c.t[1], c.v[0], c.l(0), c.c(0), c.e());
     }},
    {"GetAllPathsPerDevice", {"DAQ", "A"}, {},
     {Ints(kEntries), Ints(kEntries), Ints(kEntries)}, {{kEntries, {0, 1, 2}}},
     [](Call& c) {
       return GetAllPathsPerDevice(c.t[0], c.t[1], c.l(0), c.n(0), c.n(1), c.n(2), c.e());
     }},
    // Outputs: lkid, node_from, node_to, bidirectional, lkused, link_type,
    // then pfrom, pto, lkinfo; lengths: len_array, len_pfrom, len_pto,
    // len_lkinfo.
    {"LoadConnectivityTable", {"DAQ"}, {},
     {Ints(kEntries), Ints(kEntries), Ints(kEntries), Ints(kEntries), Ints(kEntries),
      Ints(kEntries), Chars(kBytes), Chars(kBytes), Chars(kBytes)},
     {{kEntries, {0, 1, 2, 3, 4, 5}}, {kBytes, {6}}, {kBytes, {7}}, {kBytes, {8}}},
     [](Call& c) {
       return LoadConnectivityTable(c.t[0], c.l(0), c.n(0), c.n(1), c.n(2), c.l(1), c.l(2),
                                    c.c(6), c.c(7), c.n(3), c.n(4), c.n(5), c.c(8), c.l(3),
                                    c.e());
     }},
    {"MatchDeviceIDDeviceName", {"DAQ"}, {}, {Ints(kEntries), Chars(kBytes)},
     {{kEntries, {0}}, {kBytes, {1}}},
     [](Call& c) {
       return MatchDeviceIDDeviceName(c.t[0], c.l(0), c.n(0), c.l(1), c.c(1), c.e());
     }},
    {"LoadDeviceTypeTable", {"DAQ"}, {}, {Chars(kBytes), Ints(kEntries)},
     {{kBytes, {0}}, {kEntries, {1}}},
     [](Call& c) { return LoadDeviceTypeTable(c.t[0], c.l(0), c.c(0), c.l(1), c.n(1), c.e()); }},
    {"LoadLinkTypeTable", {}, {}, {Ints(kEntries), Chars(kBytes)},
     {{kEntries, {0}}, {kBytes, {1}}},
     [](Call& c) { return LoadLinkTypeTable(c.l(0), c.n(0), c.l(1), c.c(1), c.e()); }},
};

// A -> B -> C, the second link of weight 2; C is a HOST; one link type.
class PathInputs : public PathTest, public testing::WithParamInterface<Export> {
 protected:
  void SetUp() override {
    PathTest::SetUp();
    if (HasFatalFailure() || IsSkipped()) return;
    Chain(LinkOptions().info("first"), LinkOptions().weight(2), /*c_is_host=*/true);
    testdb::exec("insert into vexa_link_types(linktypeID, link_name, link_nbr) values "
                 "(1, 'cu', 2)");
  }
};

TEST_P(PathInputs, SurviveHostileInput) { hostile::Sweep(GetParam()); }

INSTANTIATE_TEST_SUITE_P(Exports, PathInputs, testing::ValuesIn(kPaths), hostile::ExportName);

class PathsUnconnected : public DatabaseTest {};

TEST_F(PathsUnconnected, AreRefusedBeforeAnyConnection) {
  for (const Export& ex : kPaths) hostile::ExpectRefusedWithoutConnection(ex);
}

}  // namespace
