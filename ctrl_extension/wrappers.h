// The wrappers of the CTRL functions: one plain function per library
// function, with one parameter per CTRL parameter, in the order of its
// parameter string. Each returns its own result value, which lives until
// the process ends and is overwritten by the wrapper's next call.
#pragma once

#include "variables.h"

namespace ferrule::ctrl {

// Connection and lookups (lookup_wrappers.cpp).
const Variable* PVSSDBConnexion(TextVar* server, TextVar* usr, TextVar* pwd, TextVar* ErrMess);
const Variable* PVSSDBDeconnexion(TextVar* ErrMess);
const Variable* PVSSGetDeviceTypeRow(TextVar* dtype);
const Variable* PVSSGetDeviceRow_devicename(TextVar* dname);
const Variable* PVSSGetDeviceRow_devid(IntegerVar* dID);

// Rows of ports, links, link types, IP data, hardware and board components
// (lookup_wrappers.cpp).
const Variable* PVSSGetPortRow_pid(IntegerVar* dID);
const Variable* PVSSGetPortRow_devid(IntegerVar* devID, TextVar* pt_nb, IntegerVar* pway,
                                     TextVar* ptype);
const Variable* PVSSGetIPInfoRow(TextVar* ip_add);
const Variable* PVSSGetMacroConnectivityRow_lkid(IntegerVar* lkID);
const Variable* PVSSGetMacroConnectivityRow_node(IntegerVar* nodeID, TextVar* ptnb,
                                                 IntegerVar* pway, TextVar* ptype);
const Variable* PVSSGetMacroConnectivityRow_nodename(TextVar* nodename, TextVar* ptnb,
                                                     IntegerVar* pway, TextVar* ptype);
const Variable* PVSSGetLkTypeRow_lkname(TextVar* lkname);
const Variable* PVSSGetLkTypeRow_lknb(IntegerVar* lktype_nb);
const Variable* PVSSGetHWDeviceRow_serialnb(TextVar* serialnb);
const Variable* PVSSGetMicroConnectivityRow_lkid(IntegerVar* lkid);
const Variable* PVSSGetMicroConnectivityRow_node(IntegerVar* nodeID, IntegerVar* ptnb,
                                                 IntegerVar* way);
const Variable* PVSSGetBoardCpntRow_cpntname(TextVar* cpntname);
const Variable* PVSSGetBoardCpntRow_cpntid(IntegerVar* cpntid);
const Variable* PVSSGetHWCpntRow_serialnb(TextVar* serialnb);
const Variable* PVSSGetHWCpntRow_snbid(IntegerVar* snbtid);

// Lists of a device or a device type, and links inside a board
// (device_list_wrappers.cpp).
const Variable* PVSSGetDeviceIDsPerType(TextVar* dtype, TextVar* ErrMess);
const Variable* PVSSGetLkFromDevID(IntegerVar* node_from, TextVar* ErrMess);
const Variable* PVSSGetLkToDevID(IntegerVar* node_to, TextVar* ErrMess);
const Variable* PVSSGetPortIDPerDevID(IntegerVar* devid, TextVar* ErrMess);
const Variable* PVSSGetFreeDeviceNamesPerType(TextVar* dtype);
const Variable* PVSSGetDestinationNamePerDevPort(TextVar* devname, TextVar* ptnb, TextVar* ptype);
const Variable* PVSSGetMacIPAddPerDevID(IntegerVar* devid);
const Variable* PVSSGetDeviceNamesPerType(TextVar* dtype, DynVar* devnames, DynVar* devids);
const Variable* PVSSGetMicroLkFromCpntID(IntegerVar* cpntid_from, IntegerVar* motherboard,
                                         TextVar* ErrMess);
const Variable* PVSSGetMicroLkToCpntID(IntegerVar* cpntid_to, IntegerVar* motherboard,
                                       TextVar* ErrMess);

// Names, ids, lists of components and hardware, busy subsystems
// (name_wrappers.cpp).
const Variable* PVSSGetDeviceName_deviceid(IntegerVar* deviceid);
const Variable* PVSSGetCpntName_cpntid(IntegerVar* cpntid);
const Variable* PVSSGetDeviceID_devicename(TextVar* devicename, TextVar* ErrMess);
const Variable* PVSSGetCpntID_cpntname(TextVar* cpntname, TextVar* ErrMess);
const Variable* PVSSGetBoardCpntPerType(TextVar* cpnttype);
const Variable* PVSSGetDeviceNamesPerLocation(TextVar* location);
const Variable* PVSSGetCpntNamesPerBoard(TextVar* location);
const Variable* PVSSGetSpareHWPerLocation(TextVar* location);
const Variable* PVSSGetSpareHWCpntPerLocation(TextVar* location);
const Variable* PVSSGetSpareHWPerType(TextVar* hwtype);
const Variable* PVSSGetSpareHWCpntPerType(TextVar* hwtype);
const Variable* PVSSGetLkTypeDecomposition_lknb(IntegerVar* linktype_nb);
const Variable* PVSSGetStatusSubsystem(DynVar* subsytemname, DynVar* SubsystemStatus);

// Schema, routing and destination tables, paths inside boards
// (routing_wrappers.cpp).
const Variable* PVSSCreateTableSchema(TextVar* ErrMess);
const Variable* PVSSDropTableSchema(TextVar* ErrMess);
const Variable* PVSSCreateRoutingTable(TextVar* devicename, IntegerVar* roundtrip,
                                       TextVar* ErrMess);
const Variable* PVSSCreateDestinationTable(TextVar* devicename, IntegerVar* roundtrip,
                                           TextVar* ErrMess);
const Variable* PVSSGetPortPerSubsystem(TextVar* dfrom, TextVar* system_name, DynVar* pfrom_list,
                                        TextVar* ErrMess);
const Variable* PVSSLoadRoutingTable(TextVar* switch_name, DynVar* destinname_list,
                                     DynVar* nextport_list, DynVar* ipnext_list,
                                     DynVar* ipdestin_list, DynVar* subnetnext_list,
                                     DynVar* macaddnext_list, TextVar* ErrMess);
const Variable* PVSSGetMicroConnectBetweenBoardCpntAndMotherBoard(
    TextVar* cpnt_from, IntegerVar* mboard_pid, DynVar* nfrom_list, TextVar* lastlkfrom_list,
    TextVar* lastlkto_list, DynVar* nto_list, DynVar* pid_list, DynVar* lkpos_list,
    TextVar* ErrMess);
const Variable* PVSSGetMicroConnectFromPortid(IntegerVar* mboardportid_from,
                                              IntegerVar* mboardportid_to, TextVar* cpntname,
                                              DynVar* nfrom_list, TextVar* lastlkfrom_list,
                                              TextVar* lastlkto_list, DynVar* nto_list,
                                              DynVar* pid_list, DynVar* lkpos_list,
                                              TextVar* ErrMess);
const Variable* PVSSGetMicroConnectToCpntType(IntegerVar* mboardportid_from,
                                              IntegerVar* cpnttype_given, TextVar* cpnttype,
                                              DynVar* nfrom_list, TextVar* lastlkfrom_list,
                                              TextVar* lastlkto_list, DynVar* nto_list,
                                              DynVar* pid_list, DynVar* lkpos_list,
                                              TextVar* ErrMess);

// Paths between devices (path_wrappers.cpp).
const Variable* PVSSGetConnectivityBetweenDevices(TextVar* dfrom, TextVar* dto, DynVar* nfrom_list,
                                                  DynVar* pfrom_list, DynVar* pwayfrom_list,
                                                  DynVar* nto_list, DynVar* pto_list,
                                                  DynVar* pwayto_list, DynVar* pid_list,
                                                  DynVar* link_info, TextVar* ErrMess);
const Variable* PVSSGetDetailedConnectivityBetweenDevices(TextVar* dfrom, TextVar* dto,
                                                          DynVar* nfrom_list, DynVar* nto_list,
                                                          DynVar* pfrom_list, DynVar* pwayfrom_list,
                                                          DynVar* pto_list, DynVar* pwayto_list,
                                                          DynVar* pid_list, DynVar* lkpos_list,
                                                          DynVar* link_info, TextVar* ErrMess);
const Variable* PVSSGetDetailedConnBetweenDeviceDevType(
    TextVar* dfrom, TextVar* dto, IntegerVar* dto_typegiven, DynVar* nfrom_list, DynVar* pfrom_list,
    DynVar* pwayfrom_list, DynVar* nto_list, DynVar* pto_list, DynVar* pwayto_list,
    DynVar* pid_list, DynVar* lkpos_list, DynVar* link_info, TextVar* ErrMess);
const Variable* PVSSGetConnOutBetweenDeviceDeviceType(TextVar* dfrom, TextVar* dto,
                                                      IntegerVar* devtype_given, DynVar* pfrom_list,
                                                      TextVar* ErrMess);

// Inserts (insert_wrappers.cpp).
const Variable* PVSSInsertDeviceType(TextVar* sysname, TextVar* dtype, IntegerVar* nbinput,
                                     IntegerVar* nboutput, TextVar* description, TextVar* rgbcolor,
                                     IntegerVar* last_rows);
const Variable* PVSSInsertMultipleDeviceTypes(TextVar* sysname, TextVar* dtype, IntegerVar* nbinput,
                                              IntegerVar* nboutput, TextVar* description,
                                              TextVar* rgbcolor, IntegerVar* first_time,
                                              IntegerVar* last_rows);
const Variable* PVSSInsertFunctionalDevice(TextVar* sysname, TextVar* dname, TextVar* dtype,
                                           IntegerVar* node, IntegerVar* promiscuous_mode,
                                           TextVar* serialnb, TextVar* hwtype, TextVar* responsible,
                                           TextVar* location, TextVar* comments,
                                           IntegerVar* last_rows);
const Variable* PVSSInsertMultipleFunctionalDevices(TextVar* sysname, TextVar* dname,
                                                    TextVar* dtype, IntegerVar* node,
                                                    IntegerVar* promiscuous_mode, TextVar* serialnb,
                                                    TextVar* hwtype, TextVar* responsible,
                                                    TextVar* location, TextVar* comments,
                                                    IntegerVar* first_time, IntegerVar* last_rows);
const Variable* PVSSInsertPort(TextVar* dname, TextVar* pt_nb, TextVar* pt_type, IntegerVar* pway,
                               TextVar* bia, TextVar* ipname, TextVar* ipadd, TextVar* subnet,
                               TextVar* macadd, IntegerVar* pxibooting, IntegerVar* speed,
                               TextVar* phy, IntegerVar* admin_status, IntegerVar* last_rows);
const Variable* PVSSInsertMultiplePorts(TextVar* dname, TextVar* pt_nb, TextVar* pt_type,
                                        IntegerVar* pway, TextVar* bia, TextVar* ipname,
                                        TextVar* ipadd, TextVar* subnet, TextVar* macadd,
                                        IntegerVar* pxibooting, IntegerVar* speed, TextVar* phy,
                                        IntegerVar* admin_status, IntegerVar* first_time,
                                        IntegerVar* last_rows);
const Variable* PVSSInsertSparePort(TextVar* serialnb, TextVar* pt_nb, TextVar* pt_type,
                                    IntegerVar* pway, TextVar* bia, TextVar* macadd,
                                    IntegerVar* last_rows);
const Variable* PVSSInsertMultipleSparePorts(TextVar* serialnb, TextVar* pt_nb, TextVar* pt_type,
                                             IntegerVar* pway, TextVar* bia, TextVar* macadd,
                                             IntegerVar* first_time, IntegerVar* last_rows);
// The port types are read as texts, which the library takes.
const Variable* PVSSInsertMacroLink(TextVar* node_from, TextVar* node_to, TextVar* port_from,
                                    TextVar* port_typefrom, TextVar* port_to, TextVar* port_typeto,
                                    TextVar* link_type_name, IntegerVar* bidirectional_link,
                                    TextVar* link_info, IntegerVar* last_rows);
const Variable* PVSSInsertMultipleMacroLinks(TextVar* node_from, TextVar* node_to,
                                             TextVar* port_from, TextVar* port_typefrom,
                                             TextVar* port_to, TextVar* port_typeto,
                                             TextVar* link_type_name,
                                             IntegerVar* bidirectional_link, TextVar* link_info,
                                             IntegerVar* first_time, IntegerVar* last_rows);

// Link types (link_type_wrappers.cpp). The simple types of a composite one
// come as a list.
const Variable* PVSSInsertSimpleLinkType(TextVar* lktype_name, IntegerVar* last_rows);
const Variable* PVSSInsertMultipleSimpleLinkTypes(TextVar* lktype_name, IntegerVar* first_time,
                                                  IntegerVar* last_rows);
const Variable* PVSSInsertCompositeLinkType(TextVar* lktype_name, DynVar* lktype_list,
                                            IntegerVar* last_rows);
const Variable* PVSSInsertMultipleCompositeLinkTypes(TextVar* lktype_name, DynVar* lktype_list,
                                                     IntegerVar* first_time, IntegerVar* last_rows);

// Spare hardware, board components and test boards
// (hardware_insert_wrappers.cpp).
const Variable* PVSSInsertSpareDevice(TextVar* hwname, TextVar* hwtype, TextVar* serialnb,
                                      TextVar* responsible, TextVar* location, TextVar* comments,
                                      IntegerVar* last);
const Variable* PVSSInsertMultipleSpareDevices(TextVar* hwname, TextVar* hwtype, TextVar* serialnb,
                                               TextVar* responsible, TextVar* location,
                                               TextVar* comments, IntegerVar* first,
                                               IntegerVar* last);
const Variable* PVSSInsertMultipleBoardCpnts(TextVar* cpntname, TextVar* cpnttype,
                                             IntegerVar* replacable, TextVar* motherboardname,
                                             TextVar* serialnb, TextVar* hwtype,
                                             TextVar* responsible, TextVar* location,
                                             TextVar* comments, IntegerVar* first,
                                             IntegerVar* last);
const Variable* PVSSInsertTestFunctionalDevice(TextVar* location, DynVar* ipaddList,
                                               DynVar* ipnameList, DynVar* subnetList,
                                               DynVar* portnbList, DynVar* port_typeList,
                                               DynVar* port_wayList, IntegerVar* last);

// Updates of ports, IP addresses, types and links (update_wrappers.cpp).
const Variable* PVSSUpdateMultiplePorts(TextVar* dname, TextVar* pt_nb, TextVar* pt_type,
                                        IntegerVar* pway, IntegerVar* pxibooting, IntegerVar* speed,
                                        TextVar* phy, IntegerVar* first_time,
                                        IntegerVar* last_rows);
const Variable* PVSSUpdateMultiplePortStatuses(TextVar* dname, TextVar* pt_nb, TextVar* pt_type,
                                               IntegerVar* pway, IntegerVar* admin_status,
                                               IntegerVar* first_time, IntegerVar* last_rows);
const Variable* PVSSUpdateMultipleAttributeMacIPs(TextVar* ipadd, TextVar* subnet_mask,
                                                  TextVar* ipname, IntegerVar* first_time,
                                                  IntegerVar* last_rows);
const Variable* PVSSUpdateMultipleIPAddresses(TextVar* ipadd, TextVar* old_ipadd,
                                              IntegerVar* first_time, IntegerVar* last_rows);
const Variable* PVSSUpdateMultipleCompositeLinkTypes(TextVar* link_name, TextVar* simple_linkList,
                                                     IntegerVar* first_time, IntegerVar* last_rows);
// The old name first, then the new one.
const Variable* PVSSUpdateMultipleLinkTypeNames(TextVar* oldlink_name, TextVar* link_name,
                                                IntegerVar* first_time, IntegerVar* last_rows);
const Variable* PVSSUpdateMultipleDeviceTypes(TextVar* old_devtype, TextVar* devtype,
                                              IntegerVar* first_time, IntegerVar* last_rows);
const Variable* PVSSUpdateMultipleDeviceTypeAttributes(TextVar* devtype, TextVar* description,
                                                       IntegerVar* nbinput, IntegerVar* nboutput,
                                                       TextVar* rgbcolor, IntegerVar* first_time,
                                                       IntegerVar* last_rows);
const Variable* PVSSUpdateMultipleLkTypeLinks(TextVar* node_from, TextVar* node_to,
                                              TextVar* portnb_from, TextVar* portnb_to,
                                              TextVar* portype_from, TextVar* portype_to,
                                              TextVar* link_type, IntegerVar* first_rows,
                                              IntegerVar* last_rows);
const Variable* PVSSUpdateMultipleLkUsedLinks(TextVar* node_from, TextVar* node_to,
                                              TextVar* portnb_from, TextVar* portnb_to,
                                              TextVar* portype_from, TextVar* portype_to,
                                              IntegerVar* lkused, IntegerVar* first_rows,
                                              IntegerVar* last_rows);
const Variable* PVSSUpdateMultipleBidrectionalLinks(TextVar* node_from, TextVar* node_to,
                                                    TextVar* portnb_from, TextVar* portnb_to,
                                                    TextVar* portype_from, TextVar* portype_to,
                                                    IntegerVar* bidirectional_link,
                                                    IntegerVar* first_rows, IntegerVar* last_rows);
const Variable* PVSSUpdateMultipleLkInfoLinks(TextVar* node_from, TextVar* node_to,
                                              TextVar* portnb_from, TextVar* portnb_to,
                                              TextVar* portype_from, TextVar* portype_to,
                                              TextVar* link_info, IntegerVar* first_rows,
                                              IntegerVar* last_rows);

// Updates of devices and their activity (device_update_wrappers.cpp).
const Variable* PVSSUpdateMultipleAttributesDevices(TextVar* devname, IntegerVar* node,
                                                    IntegerVar* promiscuous_mode, TextVar* location,
                                                    IntegerVar* first_rows, IntegerVar* last_rows);
const Variable* PVSSUpdateMultipleDeviceSystemList(TextVar* devname, TextVar* new_systemList,
                                                   IntegerVar* first_rows, IntegerVar* last_rows);
const Variable* PVSSUpdateMultipleDevNamesDevices(TextVar* old_devname, TextVar* devname,
                                                  IntegerVar* first_rows, IntegerVar* last_rows);
const Variable* PVSSUpdateMultipleDTypeDevices(TextVar* devname, TextVar* devtype,
                                               IntegerVar* first_rows, IntegerVar* last_rows);
const Variable* PVSSUpdateMultipleDeviceNodeUsed(TextVar* devname, IntegerVar* nodeused,
                                                 IntegerVar* first_rows, IntegerVar* last_rows);
const Variable* PVSSUpdateMultipleDeviceNodeUsedByType(TextVar* devtype, IntegerVar* nodeused,
                                                       IntegerVar* devtype_given,
                                                       IntegerVar* last_rows);
const Variable* PVSSUpdateMultipleDeviceActive(TextVar* devicename, IntegerVar* active,
                                               IntegerVar* first_rows, IntegerVar* last_rows,
                                               TextVar* errMess);
const Variable* PVSSUpdateMultipleDeviceActiveByType(TextVar* devicename, IntegerVar* active,
                                                     IntegerVar* devtype_given,
                                                     IntegerVar* last_rows, TextVar* errMess);

// Status words and last mounted hardware (status_wrappers.cpp).
const Variable* PVSSGetFunctionalDeviceStatus(TextVar* dname);
const Variable* PVSSGetFunctionalBoardCpntStatus(TextVar* cpntname);
const Variable* PVSSGetHWDeviceStatus(TextVar* serialnb);
const Variable* PVSSGetHWBoardCpntStatus(TextVar* serialnb, IntegerVar* snbid);
const Variable* PVSSGetHWLastFunctionalDevice(TextVar* serialnb);
const Variable* PVSSGetHWLastFunctionalBoardCpntName(TextVar* hw_serialnb, IntegerVar* hw_snbid);
const Variable* PVSSGetFunctionalDeviceLastHW(TextVar* functional_name);
const Variable* PVSSGetFunctionalBoardCpntNameLastHW(TextVar* functional_name);

// Histories and items by status (history_wrappers.cpp).
const Variable* PVSSGetHistoryOfFunctionalDevice(TextVar* functional_name, TextVar* min_date,
                                                 TextVar* max_date);
const Variable* PVSSGetHistoryOfHWDevice(TextVar* serial_nb, TextVar* min_date, TextVar* max_date);
const Variable* PVSSGetHistoryOfFunctionalBoardCpntName(TextVar* functional_cpntname,
                                                        TextVar* min_date, TextVar* max_date);
const Variable* PVSSGetHistoryOfHWBoardCpnt(TextVar* serial_nb, IntegerVar* snbid,
                                            TextVar* min_date, TextVar* max_date);
const Variable* PVSSGetFunctionalDeviceByStatus(TextVar* system_name, TextVar* device_status);
const Variable* PVSSGetHWDeviceByStatus(TextVar* systemname, TextVar* device_status);
const Variable* PVSSGetHWBoardCpntByStatus(TextVar* cpnt_status);

// Inventory changes, swap and deletions (inventory_wrappers.cpp).
const Variable* PVSSReplaceFunctionalDevice(TextVar* functional_name, TextVar* new_status,
                                            TextVar* new_location, TextVar* user_comments,
                                            TextVar* status_datechange,
                                            TextVar* serialnb_replacement, TextVar* replace_date);
const Variable* PVSSReplaceFunctionalBoardCpnt(TextVar* cpnt_name, TextVar* new_status,
                                               TextVar* new_location, TextVar* user_comments,
                                               TextVar* status_datechange,
                                               TextVar* serialnb_replacement,
                                               TextVar* replace_date);
const Variable* PVSSUpdateHWBoardCpntStatus(TextVar* serialnb, TextVar* new_status,
                                            TextVar* new_location, TextVar* user_comments,
                                            TextVar* status_datechange,
                                            TextVar* functional_cpntname);
const Variable* PVSSSetToTestUseStatus(TextVar* functional_name, TextVar* user_comments,
                                       TextVar* status_datechange, TextVar* serialnb_replacement,
                                       TextVar* testdevice_name, TextVar* replace_date);
const Variable* PVSSSwapTwoDevices(TextVar* functional_devname1, TextVar* functional_devname2,
                                   TextVar* comments);
const Variable* PVSSDeleteLinkRow(IntegerVar* linkid, IntegerVar* macro_link);
const Variable* PVSSDeletePortRow(IntegerVar* portid);

}  // namespace ferrule::ctrl
