// The lookups against the hostile input that lookup_inputs_test.cpp leaves
// out: texts null, empty and 5000 characters long, integer keys at their
// extremes, null lengths and null buffers, and the normal call afterwards.
#include <gtest/gtest.h>

#include "hostile_inputs.h"
#include "lookup_fixture.h"

namespace {

using hostile::Call;
using hostile::Chars;
using hostile::Export;
using hostile::FixedChars;
using hostile::FixedInts;
using hostile::Ints;

constexpr int kRowBytes = 400;
constexpr int kListBytes = 2000;
constexpr int kIds = 300;

const Export kLookups[] = {
    {"GetPortRow_pid", {}, {20}, {Chars(kRowBytes)}, {{kRowBytes, {0}}},
     [](Call& c) { return GetPortRow_pid(c.v[0], c.l(0), c.c(0), c.e()); }},
    {"GetPortRow_devname", {"core1", "1", "eth"}, {2}, {Chars(kRowBytes)}, {{kRowBytes, {0}}},
     [](Call& c) {
       return GetPortRow_devname(c.t[0], c.t[1], c.v[0], c.t[2], c.l(0), c.c(0), c.e());
     }},
    {"GetPortRow_devid", {"1", "eth"}, {4, 2}, {Chars(kRowBytes)}, {{kRowBytes, {0}}},
     [](Call& c) {
       return GetPortRow_devid(c.v[0], c.t[0], c.v[1], c.t[1], c.l(0), c.c(0), c.e());
     }},
    {"GetIPInfoRow", {"192.0.2.1"}, {}, {Chars(kRowBytes)}, {{kRowBytes, {0}}},
     [](Call& c) { return GetIPInfoRow(c.t[0], c.l(0), c.c(0), c.e()); }},
    {"GetMacroConnectivityRow_lkid", {}, {1}, {Chars(kRowBytes)}, {{kRowBytes, {0}}},
     [](Call& c) { return GetMacroConnectivityRow_lkid(c.v[0], c.l(0), c.c(0), c.e()); }},
    {"GetMacroConnectivityRow_node", {"1", "eth"}, {4, 2}, {Chars(kRowBytes)}, {{kRowBytes, {0}}},
     [](Call& c) {
       return GetMacroConnectivityRow_node(c.v[0], c.t[0], c.v[1], c.t[1], c.l(0), c.c(0), c.e());
     }},
    {"GetMacroConnectivityRow_nodename", {"core1", "1", "eth"}, {2},
     {Chars(kRowBytes)}, {{kRowBytes, {0}}},
     [](Call& c) {
       return GetMacroConnectivityRow_nodename(c.t[0], c.t[1], c.v[0], c.t[2], c.l(0), c.c(0),
                                               c.e());
     }},
    {"GetLkTypeRow_lkname", {"fibre"}, {}, {Chars(kRowBytes)}, {{kRowBytes, {0}}},
     [](Call& c) { return GetLkTypeRow_lkname(c.t[0], c.l(0), c.c(0), c.e()); }},
    {"GetLkTypeRow_lknb", {}, {4}, {Chars(kRowBytes)}, {{kRowBytes, {0}}},
     [](Call& c) { return GetLkTypeRow_lknb(c.v[0], c.l(0), c.c(0), c.e()); }},
    {"GetHWDeviceRow_serialnb", {"SN-CORE"}, {}, {Chars(kRowBytes)}, {{kRowBytes, {0}}},
     [](Call& c) { return GetHWDeviceRow_serialnb(c.t[0], c.l(0), c.c(0), c.e()); }},
    {"GetBoardCpntRow_cpntname", {"adc1"}, {}, {Chars(kRowBytes)}, {{kRowBytes, {0}}},
     [](Call& c) { return GetBoardCpntRow_cpntname(c.t[0], c.l(0), c.c(0), c.e()); }},
    {"GetBoardCpntRow_cpntid", {}, {11}, {Chars(kRowBytes)}, {{kRowBytes, {0}}},
     [](Call& c) { return GetBoardCpntRow_cpntid(c.v[0], c.l(0), c.c(0), c.e()); }},
    {"GetMicroConnectivityRow_lkid", {}, {1}, {Chars(kRowBytes)}, {{kRowBytes, {0}}},
     [](Call& c) { return GetMicroConnectivityRow_lkid(c.v[0], c.l(0), c.c(0), c.e()); }},
    {"GetMicroConnectivityRow_node", {}, {-1, 50, 2}, {Chars(kRowBytes)}, {{kRowBytes, {0}}},
     [](Call& c) {
       return GetMicroConnectivityRow_node(c.v[0], c.v[1], c.v[2], c.l(0), c.c(0), c.e());
     }},
    {"GetMicroConnectivityRow_cpntname", {"motherboard"}, {50, 2},
     {Chars(kRowBytes)}, {{kRowBytes, {0}}},
     [](Call& c) {
       return GetMicroConnectivityRow_cpntname(c.t[0], c.v[0], c.v[1], c.l(0), c.c(0), c.e());
     }},
    {"GetHWCpntRow_serialnb", {"CS-1"}, {}, {Chars(kRowBytes)}, {{kRowBytes, {0}}},
     [](Call& c) { return GetHWCpntRow_serialnb(c.t[0], c.l(0), c.c(0), c.e()); }},
    {"GetHWCpntRow_snbid", {}, {1}, {Chars(kRowBytes)}, {{kRowBytes, {0}}},
     [](Call& c) { return GetHWCpntRow_snbid(c.v[0], c.l(0), c.c(0), c.e()); }},
    {"GetLkTypeDecomposition_lknb", {}, {3}, {Chars(kListBytes)}, {{kListBytes, {0}}},
     [](Call& c) { return GetLkTypeDecomposition_lknb(c.v[0], c.l(0), c.c(0), c.e()); }},
    {"GetDeviceNamesPerType", {"SWITCH"}, {}, {Chars(kListBytes)}, {{kListBytes, {0}}},
     [](Call& c) { return GetDeviceNamesPerType(c.t[0], c.l(0), c.c(0), c.e()); }},
    {"GetMacIPAddPerDevID", {}, {4}, {Chars(kListBytes)}, {{kListBytes, {0}}},
     [](Call& c) { return GetMacIPAddPerDevID(c.v[0], c.l(0), c.c(0), c.e()); }},
    {"GetDestinationNamePerDevPort", {"core1", "1", "eth"}, {},
     {Chars(kListBytes)}, {{kListBytes, {0}}},
     [](Call& c) {
       return GetDestinationNamePerDevPort(c.t[0], c.t[1], c.t[2], c.l(0), c.c(0), c.e());
     }},
    {"GetFreeDeviceNamesPerType", {"SWITCH"}, {}, {Chars(kListBytes)}, {{kListBytes, {0}}},
     [](Call& c) { return GetFreeDeviceNamesPerType(c.t[0], c.l(0), c.c(0), c.e()); }},
    {"GetDeviceNamesPerLocation", {"rack"}, {}, {Chars(kListBytes)}, {{kListBytes, {0}}},
     [](Call& c) { return GetDeviceNamesPerLocation(c.t[0], c.l(0), c.c(0), c.e()); }},
    {"GetSpareHWPerLocation", {"shelf"}, {}, {Chars(kListBytes)}, {{kListBytes, {0}}},
     [](Call& c) { return GetSpareHWPerLocation(c.t[0], c.l(0), c.c(0), c.e()); }},
    {"GetSpareHWPerPerType", {"disk"}, {}, {Chars(kListBytes)}, {{kListBytes, {0}}},
     [](Call& c) { return GetSpareHWPerType(c.t[0], c.l(0), c.c(0), c.e()); }},
    {"GetBoardCpntPerType", {"ADC"}, {}, {Chars(kListBytes)}, {{kListBytes, {0}}},
     [](Call& c) { return GetBoardCpntPerType(c.t[0], c.l(0), c.c(0), c.e()); }},
    {"GetCpntNamesPerBoard", {"board1"}, {}, {Chars(kListBytes)}, {{kListBytes, {0}}},
     [](Call& c) { return GetCpntNamesPerBoard(c.t[0], c.l(0), c.c(0), c.e()); }},
    {"GetSpareHWCpntPerLocation", {"SN-BOARD"}, {}, {Chars(kListBytes)}, {{kListBytes, {0}}},
     [](Call& c) { return GetSpareHWCpntPerLocation(c.t[0], c.l(0), c.c(0), c.e()); }},
    {"GetSpareHWCpntPerType", {"adc"}, {}, {Chars(kListBytes)}, {{kListBytes, {0}}},
     [](Call& c) { return GetSpareHWCpntPerType(c.t[0], c.l(0), c.c(0), c.e()); }},
    // The fourth argument is not used; the active flags need one element
    // per subsystem, at most 49.
    {"GetBusySubsystems", {"'DAQ'"}, {}, {Chars(kListBytes), FixedInts(49)}, {{kListBytes, {0}}},
     [](Call& c) { return GetBusySubsystems(c.l(0), c.t[0], c.c(0), nullptr, c.n(1), c.e()); }},
    {"GetDeviceIDsPerType", {"SWITCH"}, {}, {Ints(kIds)}, {{kIds, {0}}},
     [](Call& c) { return GetDeviceIDsPerType(c.t[0], c.l(0), c.n(0), c.e()); }},
    {"GetLkFromDevID", {}, {4}, {Ints(kIds)}, {{kIds, {0}}},
     [](Call& c) { return GetLkFromDevID(c.v[0], c.l(0), c.n(0), c.e()); }},
    {"GetLkToDevID", {}, {5}, {Ints(kIds)}, {{kIds, {0}}},
     [](Call& c) { return GetLkToDevID(c.v[0], c.l(0), c.n(0), c.e()); }},
    {"GetPortIDPerDevID", {}, {4}, {Ints(kIds)}, {{kIds, {0}}},
     [](Call& c) { return GetPortIDPerDevID(c.v[0], c.l(0), c.n(0), c.e()); }},
    {"GetMicroLkFromCpntID", {}, {11, -1}, {Ints(kIds)}, {{kIds, {0}}},
     [](Call& c) { return GetMicroLkFromCpntID(c.v[0], c.v[1], c.l(0), c.n(0), c.e()); }},
    {"GetMicroLkToCpntID", {}, {12, -1}, {Ints(kIds)}, {{kIds, {0}}},
     [](Call& c) { return GetMicroLkToCpntID(c.v[0], c.v[1], c.l(0), c.n(0), c.e()); }},
    {"GetDeviceID_devicename", {"srv1"}, {}, {FixedInts(1)}, {},
     [](Call& c) { return GetDeviceID_devicename(c.t[0], c.n(0), c.e()); }},
    {"GetDeviceName_deviceid", {}, {5}, {FixedChars(101)}, {},
     [](Call& c) { return GetDeviceName_deviceid(c.v[0], c.c(0), c.e()); }},
    {"GetCpntID_cpntname", {"adc1"}, {}, {FixedInts(1)}, {},
     [](Call& c) { return GetCpntID_cpntname(c.t[0], c.n(0), c.e()); }},
    {"GetCpntName_cpntid", {}, {11}, {FixedChars(101)}, {},
     [](Call& c) { return GetCpntName_cpntid(c.v[0], c.c(0), c.e()); }},
};

class LookupHostileInputs : public LookupTest, public testing::WithParamInterface<Export> {};

TEST_P(LookupHostileInputs, SurviveHostileInput) { hostile::Sweep(GetParam()); }

INSTANTIATE_TEST_SUITE_P(Exports, LookupHostileInputs, testing::ValuesIn(kLookups),
                         hostile::ExportName);

}  // namespace
