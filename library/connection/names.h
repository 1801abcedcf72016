// The fixed names every statement template is formatted with: tables, the
// row-count word of the blocks, the date format, the sequences and the server
// procedures. Templates never spell these names; they name a field, such as
// %(devices), that kTemplateNames below maps to the name.
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
inline constexpr const char* kLastRefusal = "routingtable_pck.last_refusal";
inline constexpr const char* kUpdateIPaddress = "vexa_configuration_dev.updateIPaddress";
inline constexpr const char* kInsertIPaddress = "vexa_configuration_dev.insertIPaddress";
inline constexpr const char* kInsertAddressedPort = "vexa_configuration_dev.insertAddressedPort";

// Next values of the sequences that give identifiers.
inline constexpr const char* kNextDeviceId = "nextval('vexa_lg_deviceseq')";
inline constexpr const char* kCurrentDeviceId = "currval('vexa_lg_deviceseq')";
inline constexpr const char* kNextPortId = "nextval('vexa_portseq')";
inline constexpr const char* kNextDeviceTypeId = "nextval('vexa_devtype_seq')";
inline constexpr const char* kNextDeviceHistoryId = "nextval('vexa_history_deviceseq')";
inline constexpr const char* kNextMacroLinkId = "nextval('vexa_macroconnseq')";
inline constexpr const char* kNextMicroLinkId = "nextval('vexa_microconnseq')";
inline constexpr const char* kNextLinkTypeId = "nextval('vexa_lktypeseq')";
inline constexpr const char* kNextCpntId = "nextval('VEXA_LG_CPNTS_DEVICEID_SEQ')";
inline constexpr const char* kNextSnbId = "nextval('VEXA_HW_CPNTS_SNBID_SEQ')";
inline constexpr const char* kNextCpntHistoryId = "nextval('VEXA_CPNT_HISTORY_COMPTID_SEQ')";

// The template field of each name: "%(devices)" stands for kDevices.
struct TemplateName {
  const char* field;
  const char* value;
};

inline constexpr TemplateName kTemplateNames[] = {
    {"prime_number", kPrimeNumber},
    {"device_types", kDeviceTypes},
    {"devices", kDevices},
    {"hw_devices", kHwDevices},
    {"device_history", kDeviceHistory},
    {"hw_cpnts", kHwCpnts},
    {"lg_cpnts", kLgCpnts},
    {"cpnt_history", kCpntHistory},
    {"link_types", kLinkTypes},
    {"micro_connectivity", kMicroConnectivity},
    {"macro_connectivity", kMacroConnectivity},
    {"ipinfo", kIpInfo},
    {"port_properties", kPortProperties},
    {"hwport_properties", kHwPortProperties},
    {"device_booting", kDeviceBooting},
    {"devicetype_booting", kDeviceTypeBooting},
    {"path_details", kPathDetails},
    {"destination_table", kDestinationTable},
    {"routing_table", kRoutingTable},
    {"subsystem_list", kSubsystemList},
    {"path_temp", kPathTemp},
    {"micropath_temp", kMicroPathTemp},
    {"row_count", kRowCount},
    {"date_format", kDateFormat},
    {"update_board_cpnt", kUpdateBoardCpnt},
    {"test_use_board_cpnt", kTestUseBoardCpnt},
    {"insert_test_board", kInsertTestBoard},
    {"create_table_schema", kCreateTableSchema},
    {"drop_table_schema", kDropTableSchema},
    {"create_routing_table", kCreateRoutingTable},
    {"create_destination_table", kCreateDestinationTable},
    {"create_micro_node_link_tab", kCreateMicroNodeLinkTab},
    {"create_micro_path_tab", kCreateMicroPathTab},
    {"create_micro_path_tab_host", kCreateMicroPathTabHost},
    {"insert_into_micro_path_using_id", kInsertIntoMicroPathUsingID},
    {"insert_into_micro_path_from_portid", kInsertIntoMicroPathFromPortID},
    {"insert_into_micro_path_cpnt_type", kInsertIntoMicroPathCnptType},
    {"update_path_used", kUpdatePathUsed},
    {"check_and_update_dynamic_tables", kCheckAndUpdateDynamicTables},
    {"swap_two_devices", kSwapTwoDevices},
    {"delete_links_in_paths", kDeleteLinksInPaths},
    {"last_refusal", kLastRefusal},
    {"update_ip_address", kUpdateIPaddress},
    {"insert_ip_address", kInsertIPaddress},
    {"insert_addressed_port", kInsertAddressedPort},
    {"next_deviceid", kNextDeviceId},
    {"current_deviceid", kCurrentDeviceId},
    {"next_portid", kNextPortId},
    {"next_devicetypeid", kNextDeviceTypeId},
    {"next_device_historyid", kNextDeviceHistoryId},
    {"next_macro_linkid", kNextMacroLinkId},
    {"next_micro_linkid", kNextMicroLinkId},
    {"next_linktypeid", kNextLinkTypeId},
    {"next_cpntid", kNextCpntId},
    {"next_snbid", kNextSnbId},
    {"next_cpnt_historyid", kNextCpntHistoryId},
};

}  // namespace ferrule::names
