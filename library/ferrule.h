/*
 * ferrule: the configuration of a network of devices, kept in a database.
 *
 * Every function returns an int result code: 0 for success, -1 for a failure
 * the library detects itself, otherwise the status or error number of the
 * database step that failed. ErrMess, always the last argument, receives
 * "NO_ERROR in <name>" or "ERROR in <name> : <reason>"; it must hold 312
 * bytes. A variable-size result comes with an in/out length: the capacity on
 * entry; when the result does not fit, the length needed is written back, the
 * reason is "BUFFER_TOO_SMALL" and the result -1.
 *
 * The library holds one connection for the process and is used from one
 * thread at a time.
 */
#ifndef FERRULE_H
#define FERRULE_H

#if defined(__GNUC__)
#define FERRULE_API __attribute__((visibility("default")))
#else
#define FERRULE_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Connection. server is "host:port/dbname". */
FERRULE_API int DBConnexion(const char* server, const char* usr, const char* pwd, char* ErrMess);
FERRULE_API int DBDeconnexion(char* ErrMess);

/* Device types and devices, one row of text each. */
FERRULE_API int GetDeviceTypeRow(const char* devitype, int* len_devtype, char* devtype_result,
                                 char* ErrMess);
FERRULE_API int GetDeviceRow_devicename(const char* devname, int* len_device, char* device_result,
                                        char* ErrMess);
FERRULE_API int GetDeviceRow_devid(int deviceID, int* len_device, char* device_result,
                                   char* ErrMess);

/* ------------------------------------------------------------------------
 * Lookups of ports, IP data, links, link types, lists, identifiers,
 * hardware and board components, busy subsystems.
 *
 * Rows (keys..., int* len, char* row, ErrMess): len is the capacity of row
 * in bytes; a row that does not fit (with its NUL) writes back the length
 * it needs and answers -1. A lookup that finds nothing writes
 * "NO_ROWS_SELECTED" into its output (a text output needs 17 bytes for it)
 * and, unless said otherwise, answers 0 with the reason "NO_ROWS_SELECTED".
 * Some answer instead with the fetch status (100 when nothing is found) and
 * the database's message: "reported" below.
 *
 * Packed lists (keys..., int* len, char* list, ErrMess): the items one after
 * another, each followed by its NUL; len is the capacity in bytes on entry
 * and the size of the list on success; too small: len = the size needed
 * (exactly), -1.
 *
 * Integer lists (keys..., int* len, int* ids, ErrMess): len is the capacity
 * in ids on entry and their number on success; too small: len = the number
 * found, -1. Nothing found sets ids[0] and ids[1] to -1, so the array needs
 * room for 2.
 *
 * A port type key that is null or empty stands for a port without type,
 * read as "none".
 * ------------------------------------------------------------------------ */

/* Ports, by portid or by device (name or id) and port. GetPortRow_pid shows
 * missing values as "None", the others as "none". */
FERRULE_API int GetPortRow_pid(int pID, int* len_port, char* port_row_result, char* ErrMess);
FERRULE_API int GetPortRow_devname(const char* devname, const char* port_nb, int port_way,
                                   const char* port_type, int* len_port, char* port_row_result,
                                   char* ErrMess);
FERRULE_API int GetPortRow_devid(int devID, const char* port_nb, int port_way,
                                 const char* port_type, int* len_port, char* port_row_result,
                                 char* ErrMess);
FERRULE_API int GetIPInfoRow(const char* ip_address, int* len_ip, char* IP_row_result,
                             char* ErrMess);

/* Links between devices, by linkid or by the port at either end: pway 1
 * finds the link arriving at the port, any other way the one leaving it.
 * The row by linkid asks for 2 bytes more than it writes. */
FERRULE_API int GetMacroConnectivityRow_lkid(int lkID, int* len_conn, char* Conn_row,
                                             char* ErrMess);
FERRULE_API int GetMacroConnectivityRow_node(int nodeID, const char* port_nb, int port_way,
                                             const char* port_type, int* len_conn,
                                             char* Conn_row, char* ErrMess);
FERRULE_API int GetMacroConnectivityRow_nodename(const char* nodename, const char* port_nb,
                                                 int port_way, const char* port_type,
                                                 int* len_conn, char* Conn_row, char* ErrMess);

/* Link types by name or by linktypeID, and the simple types (name|id) that
 * make up a type. GetLkTypeRow_lknb asks for 1 byte more than it writes;
 * it and the decomposition are reported, with the reason
 * "NO_ROWS_SELECTED". */
FERRULE_API int GetLkTypeRow_lkname(const char* lktype_name, int* len_lktype, char* LkType_row,
                                    char* ErrMess);
FERRULE_API int GetLkTypeRow_lknb(int lktype_nb, int* len_lktype, char* LkType_row,
                                  char* ErrMess);
FERRULE_API int GetLkTypeDecomposition_lknb(int lktype_nb, int* len_array, char* lktype_list,
                                            char* ErrMess);

/* Packed lists of devices, ports and hardware items. Items: name|deviceid
 * (per type), port_nbr|port_way|port_type|macaddress|ipaddress (per
 * device), names (destinations, free devices, per location) and
 * serialnb|hwname (hardware). GetSpareHWPerLocation is reported with the
 * reason "NO_ROWS_SELECTED"; GetSpareHWPerType names itself
 * "GetSpareHWPerPerType" in ErrMess. */
FERRULE_API int GetDeviceNamesPerType(const char* devitype, int* len_array, char* devIDs_list,
                                      char* ErrMess);
FERRULE_API int GetMacIPAddPerDevID(int deviceid, int* len_mac, char* macip_list,
                                    char* ErrMess);
FERRULE_API int GetDestinationNamePerDevPort(const char* devname, const char* port_nbr,
                                             const char* port_type, int* len_Destin_list,
                                             char* Destin_list, char* ErrMess);
FERRULE_API int GetFreeDeviceNamesPerType(const char* devitype, int* len_array,
                                          char* devnames_list, char* ErrMess);
FERRULE_API int GetDeviceNamesPerLocation(const char* location, int* len_array,
                                          char* devnames_list, char* ErrMess);
FERRULE_API int GetSpareHWPerLocation(const char* location, int* len_array, char* hw_list,
                                      char* ErrMess);
FERRULE_API int GetSpareHWPerType(const char* hwtype, int* len_array, char* hw_list,
                                  char* ErrMess);

/* Integer lists of device, link and port ids; a device's name and id. The
 * name buffer of GetDeviceName_deviceid must hold 101 bytes (a name has at
 * most 100). GetDeviceID_devicename leaves deviceID alone when no device
 * has the name. */
FERRULE_API int GetDeviceIDsPerType(const char* devitype, int* len_array, int* devIDs_list,
                                    char* ErrMess);
FERRULE_API int GetLkFromDevID(int node_from, int* len_array, int* lkfrom_list, char* ErrMess);
FERRULE_API int GetLkToDevID(int node_to, int* len_array, int* lkto_list, char* ErrMess);
FERRULE_API int GetPortIDPerDevID(int deviceid, int* len_array, int* portID_list,
                                  char* ErrMess);
FERRULE_API int GetDeviceID_devicename(const char* deviceName, int* deviceID, char* ErrMess);
FERRULE_API int GetDeviceName_deviceid(int deviceID, char* devicename, char* ErrMess);

/* A hardware item by serial number, with the device that carries it. */
FERRULE_API int GetHWDeviceRow_serialnb(const char* serialnb, int* len_device,
                                        char* device_result, char* ErrMess);

/* Board components and links inside a board, reported. way 1 finds the
 * link arriving at the port, any other way the one leaving it; the
 * component "motherboard" (cpntid -1) is the board itself. */
FERRULE_API int GetBoardCpntRow_cpntname(const char* cpntname, int* len_cpnt, char* cpnt_result,
                                         char* ErrMess);
FERRULE_API int GetBoardCpntRow_cpntid(int cpntid, int* len_cpnt, char* cpnt_result,
                                       char* ErrMess);
FERRULE_API int GetMicroConnectivityRow_lkid(int lkID, int* len_conn, char* Conn_row,
                                             char* ErrMess);
FERRULE_API int GetMicroConnectivityRow_node(int cpntID, int port_nb, int port_way,
                                             int* len_conn, char* Conn_row, char* ErrMess);
FERRULE_API int GetMicroConnectivityRow_cpntname(const char* cpntname, int port_nb, int port_way,
                                                 int* len_conn, char* Conn_row, char* ErrMess);

/* Board components as lists, reported: cpntname|cpntid per type, names per
 * board, snbid|serialnb|hwname of hardware components per location or
 * type; ids of the links inside a board leaving (or arriving at) a
 * component, or with motherboard other than -1 those between that board's
 * ports and its components; a component's name and id. The name buffer of
 * GetCpntName_cpntid must hold 101 bytes; GetCpntID_cpntname sets cpntID to
 * -1 when no component has the name. */
FERRULE_API int GetBoardCpntPerType(const char* cpnttype, int* len_array, char* cpnt_list,
                                    char* ErrMess);
FERRULE_API int GetCpntNamesPerBoard(const char* motherboardname, int* len_array,
                                     char* cpnt_list, char* ErrMess);
FERRULE_API int GetSpareHWCpntPerLocation(const char* location, int* len_array, char* hw_list,
                                          char* ErrMess);
FERRULE_API int GetSpareHWCpntPerType(const char* hwtype, int* len_array, char* hw_list,
                                      char* ErrMess);
FERRULE_API int GetMicroLkFromCpntID(int cpntid_from, int motherboard, int* len_array,
                                     int* lkfrom_list, char* ErrMess);
FERRULE_API int GetMicroLkToCpntID(int cpntid_to, int motherboard, int* len_array,
                                   int* lkto_list, char* ErrMess);
FERRULE_API int GetCpntID_cpntname(const char* cpntname, int* cpntID, char* ErrMess);
FERRULE_API int GetCpntName_cpntid(int cpntID, char* cpntname, char* ErrMess);

/* A hardware component by serial number or snbid, with the board component
 * that holds it; reported. */
FERRULE_API int GetHWCpntRow_serialnb(const char* serialnb, int* len_cpnt, char* cpnt_result,
                                      char* ErrMess);
FERRULE_API int GetHWCpntRow_snbid(int snbid, int* len_cpnt, char* cpnt_result, char* ErrMess);

/* Which subsystems have active devices. systemnames: "ALL" (its first three
 * characters) or a comma list of single-quoted subsystem names ('DAQ','TFC';
 * a quote inside a name is doubled); anything else, or a ';', is refused
 * with "INVALID SYSTEMLIST". names receives a packed list of the subsystems
 * that have devices (len as for packed lists), and active, in the same
 * order, the highest active flag of each one's devices: it needs one element
 * per subsystem of the database, at most 49. The fourth argument is not
 * used. */
FERRULE_API int GetBusySubsystems(int* len_array, const char* systemnames, char* names,
                                  int* unused, int* active, char* ErrMess);


/* Inserts. Each comes as a single-row form, which commits its row, and as a
 * cached form: first_time = 1 marks the first row of a batch, last_rows = 1
 * the last one, which sends the batch as one execution and commits it (a
 * batch is also sent at every 10000th row). A batch in which some row
 * inserted nothing commits the others and answers -1. Null texts are stored
 * as NULL. */

/* Device types. sysname: comma-separated subsystem names. last_rows of the
 * single-row form is not read. */
FERRULE_API int InsertMultipleDeviceTypes(const char* sysname, const char* dtype, int nbinput,
                                          int nboutput, const char* description,
                                          const char* rgbcolor, int first_time, int last_rows,
                                          char* ErrMess);
FERRULE_API int InsertDeviceType(const char* sysname, const char* dtype, int nbinput,
                                 int nboutput, const char* description, const char* rgbcolor,
                                 int last_rows, char* ErrMess);

/* Functional devices, each with its hardware item (serialnb) and the first
 * history row of that item. last_rows of the single-row form is not read. */
FERRULE_API int InsertMultipleFunctionalDevices(const char* sysname, const char* dname,
                                                const char* dtype, int node,
                                                int promiscuous_mode, const char* serialnb,
                                                const char* hwtype, const char* responsible,
                                                const char* comments, const char* location,
                                                int first_time, int last_rows, char* ErrMess);
FERRULE_API int InsertFunctionalDevice(const char* sysname, const char* dname, const char* dtype,
                                       int node, int promiscuous_mode, const char* serialnb,
                                       const char* hwtype, const char* responsible,
                                       const char* comments, const char* location, int last_rows,
                                       char* ErrMess);

/* Ports of functional devices. An ipadd of at least 5 characters holding a
 * '.' also records the address and the port of the mounted hardware item.
 * last_rows of the single-row form is not read. */
FERRULE_API int InsertMultiplePorts(const char* dname, const char* port_nbr,
                                    int administrative_status, int port_way, int speed,
                                    int pxi_booting, const char* port_type, const char* bia,
                                    const char* ipadd, const char* ipname, const char* subnet,
                                    const char* macadd, const char* phy, int first_time,
                                    int last_rows, char* ErrMess);
FERRULE_API int InsertPort(const char* dname, const char* port_nbr, int administrative_status,
                           int port_way, int speed, int pxi_booting, const char* port_type,
                           const char* bia, const char* ipadd, const char* ipname,
                           const char* subnet, const char* macadd, const char* phy,
                           int last_rows, char* ErrMess);

/* Ports of hardware items mounted nowhere. last_rows of the single-row form
 * is not read. */
FERRULE_API int InsertMultipleSparePorts(const char* serialnb, const char* port_nbr, int port_way,
                                         const char* port_type, const char* bia,
                                         const char* macadd, int first_time, int last_rows,
                                         char* ErrMess);
FERRULE_API int InsertSparePort(const char* serialnb, const char* port_nbr, int port_way,
                                const char* port_type, const char* bia, const char* macadd,
                                int last_rows, char* ErrMess);

/* Links from a port (port_way 2) of node_from to a port (port_way 1) of
 * node_to; the two devices must share a subsystem. A null or empty port type
 * is "none". The cached form refreshes the server's derived path tables
 * after every complete batch, the single-row form when last_rows is 1. */
FERRULE_API int InsertMultipleMacroLinks(const char* node_from, const char* node_to,
                                         const char* port_from, const char* port_to,
                                         const char* port_typefrom, const char* port_typeto,
                                         const char* link_type_name, const char* link_info,
                                         int bidirectional_link, int first_time, int last_rows,
                                         char* ErrMess);
FERRULE_API int InsertMacroLink(const char* node_from, const char* node_to,
                                const char* port_from, const char* port_to,
                                const char* port_typefrom, const char* port_typeto,
                                const char* link_type_name, const char* link_info,
                                int bidirectional_link, int last_rows, char* ErrMess);

/* ------------------------------------------------------------------------
 * Inserts of spare devices, board components, links inside boards, link
 * types and test boards.
 * ------------------------------------------------------------------------ */

/* ------------------------------------------------------------------------
 * Path search and whole-table loads.
 * ------------------------------------------------------------------------ */

/* ------------------------------------------------------------------------
 * Schema, routing and destination tables, paths inside boards.
 * ------------------------------------------------------------------------ */

/* ------------------------------------------------------------------------
 * Inventory: status, replacement, test use, mounted hardware, history.
 * ------------------------------------------------------------------------ */

/* ------------------------------------------------------------------------
 * Updates and deletions.
 * ------------------------------------------------------------------------ */

#ifdef __cplusplus
}
#endif

#endif
