// The fixed names every statement template is formatted with: tables, the
// row-count word of the blocks, the date format and the server procedures.
// Templates never spell these names; they carry %s and get them in order.
#pragma once

namespace ferrule::names {

inline constexpr const char* kPrimeNumber = "vexa_prime_number";
inline constexpr const char* kDeviceTypes = "vexa_lg_device_types";
inline constexpr const char* kDevices = "vexa_lg_devices";
inline constexpr const char* kHwDevices = "vexa_hw_devices";
inline constexpr const char* kDeviceHistory = "vexa_device_history";
inline constexpr const char* kHwCpnts = "vexa_hw_cpnts";
inline constexpr const char* kLgCpnts = "vexa_lg_cpnts";
inline constexpr const char* kCpntHistory = "vexa_cpnt_history";
inline constexpr const char* kLinkTypes = "vexa_link_types";
inline constexpr const char* kMicroConnectivity = "vexa_microscopic_connectivity";
inline constexpr const char* kMacroConnectivity = "vexa_macroscopic_connectivity";
inline constexpr const char* kIpInfo = "vexa_ipinfo";
inline constexpr const char* kPortProperties = "vexa_port_properties";
inline constexpr const char* kHwPortProperties = "vexa_hwport_properties";
inline constexpr const char* kDeviceBooting = "vexa_device_booting";
inline constexpr const char* kDeviceTypeBooting = "vexa_devicetype_booting";
inline constexpr const char* kPathDetails = "vexa_pdetails";
inline constexpr const char* kDestinationTable = "vexa_destinationtable";
inline constexpr const char* kRoutingTable = "vexa_routingtable";
inline constexpr const char* kSubsystemList = "vexa_subsystemList";
inline constexpr const char* kPathTemp = "vexa_path_temp";
inline constexpr const char* kMicroPathTemp = "vexa_micropath_temp";

// Blocks read the count of changed rows with "GET DIAGNOSTICS x = %s".
inline constexpr const char* kRowCount = "ROW_COUNT";
inline constexpr const char* kDateFormat = "YY/MM/DD/HH24/MI/SS";

// Server procedures; sub-packages are schemas of their own.
inline constexpr const char* kUpdateBoardCpnt = "vexa_configuration_dev.UpdateBoardCpnt";
inline constexpr const char* kTestUseBoardCpnt = "vexa_configuration_dev.TestUseBoardCpnt";
inline constexpr const char* kInsertTestBoard = "vexa_configuration_dev.InsertTestBoard";
inline constexpr const char* kCreateTableSchema = "vexa_configuration_dev.createtableschema";
inline constexpr const char* kDropTableSchema = "vexa_configuration_dev.droptableschema";
inline constexpr const char* kCreateRoutingTable = "routingtable_pck.createRT_all_devname";
inline constexpr const char* kCreateDestinationTable = "routingtable_pck.createTD_all_devname";
inline constexpr const char* kCreateMicroNodeLinkTab = "routingtable_pck.CreateMicroNodeLink_tab";
inline constexpr const char* kCreateMicroPathTab = "routingtable_pck.CreateMicroPathTab";
inline constexpr const char* kCreateMicroPathTabHost = "routingtable_pck.CreateMicroPathTab_Host";
inline constexpr const char* kInsertIntoMicroPathUsingID = "routingtable_pck.InsertIntoMicroPathUsingID";
inline constexpr const char* kInsertIntoMicroPathFromPortID = "routingtable_pck.InsertIntoMicroPathFromPortID";
inline constexpr const char* kInsertIntoMicroPathCnptType = "routingtable_pck.InsertIntoMicroPathCnptType";
inline constexpr const char* kUpdatePathUsed = "routingtable_pck.updatepathused";
inline constexpr const char* kCheckAndUpdateDynamicTables = "pathqueries_pck.CheckAndUpdateDynamicTables";
inline constexpr const char* kSwapTwoDevices = "vexa_configuration_dev.SwapTwoDevices";
inline constexpr const char* kDeleteLinksInPaths = "routingtable_pck.deleteLinksInPaths";
inline constexpr const char* kUpdateIPaddress = "vexa_configuration_dev.updateIPaddress";
inline constexpr const char* kInsertIPaddress = "vexa_configuration_dev.insertIPaddress";

}  // namespace ferrule::names
