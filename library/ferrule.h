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
 * ------------------------------------------------------------------------ */


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

/* The schema's dynamic tables (routing, destination, path and micro-path
 * tables): created when missing, or dropped with what they hold. A failure
 * of the server reads "Couldn't create the tables" for both. */
FERRULE_API int CreateTableSchema(char* ErrMess);
FERRULE_API int DropTableSchema(char* ErrMess);

/* Have the server build the routing table or the destination table of a
 * device: the shortest routes to every device it reaches in at most
 * roundtrip links (10 at most; CreateRoutingTable reads 0 as 10). Neither
 * commits. 0 when built; the server's non-zero result when it refused (an
 * unknown device -1, a round-trip count below 1 -2); 1 when the block could
 * not run. */
FERRULE_API int CreateRoutingTable(const char* devicename, int roundtrip, char* ErrMess);
FERRULE_API int CreateDestinationTable(const char* devicename, int roundtrip, char* ErrMess);

/* Output ports ("port_nbr|port_type|port_way" items) through which the
 * destination table of devicename reaches devices of one subsystem. The
 * list must be larger than its total; when it is not, len receives the
 * total plus the last item's length plus 1. No port: 0 and
 * "NO_ROWS_SELECTED". Commits. */
FERRULE_API int GetPortPerSubsystem(const char* devicename, const char* system_name, int* len,
                                    char* port_list, char* ErrMess);

/* The routes in use of the routing table of the device whose id is dfrom
 * (decimal text): six packed lists, item i of each for route i. A list is
 * copied when its capacity exceeds its total; each list that does not fit
 * gets its total plus one written back, and the call answers -1
 * "BUFFER_TOO_SMALL". No route in use: -1 "NO_ROWS_SELECTED". */
FERRULE_API int LoadRoutingtable(const char* dfrom, int* len_destname, char* destname_list,
                                 int* len_ipdestin, char* ipdestin_list, int* len_nextport,
                                 char* nextport_list, int* len_ipnext, char* ipnext_list,
                                 int* len_subnet, char* subnet_list, int* len_macnext,
                                 char* macnext_list, char* ErrMess);

/* Paths of links inside one board, one entry per link, ordered by path
 * (pathid from 0, shortest first) and position (link_pos from 1): the names
 * at the link's two ends (a board port shows as the board's name) in two
 * packed lists, and the two ends of the last link. Each list must be larger
 * than its total and len_array at least the entry count; outputs that do
 * not fit get their needs written back and make the result -1 to -3 with
 * "NO_ERROR" in ErrMess. No path: -1 "NO_ROWS_SELECTED", outputs untouched.
 * All three commit.
 * - from the component cpnt_from to the board port mboard_pid;
 * - from the board port mboardportid_from to the component cpntname, or to
 *   the board port mboardportid_to when cpntname is null, "" or "none";
 * - from the board port mboardportid_from to the components of the type
 *   cpnttype (cpnttype_given 1) or to the component named cpnttype. */
FERRULE_API int GetMicroConnectBetweenBoardCpntAndMotherBoard(
    const char* cpnt_from, int mboard_pid, int* pathid, int* link_pos, int* len_array,
    char* nfrom_list, int* len_nfrom, char* nto_list, int* len_nto, char* last_nfrom,
    int* len_last_nfrom, char* last_nto, int* len_last_nto, char* ErrMess);
FERRULE_API int GetMicroConnectFromPortid(int mboardportid_from, int mboardportid_to,
                                          const char* cpntname, int* pathid, int* link_pos,
                                          int* len_array, char* nfrom_list, int* len_nfrom,
                                          char* nto_list, int* len_nto, char* last_nfrom,
                                          int* len_last_nfrom, char* last_nto,
                                          int* len_last_nto, char* ErrMess);
FERRULE_API int GetMicroConnectToCpntType(int mboardportid_from, int cpnttype_given,
                                          const char* cpnttype, int* pathid, int* link_pos,
                                          int* len_array, char* nfrom_list, int* len_nfrom,
                                          char* nto_list, int* len_nto, char* last_nfrom,
                                          int* len_last_nfrom, char* last_nto,
                                          int* len_last_nto, char* ErrMess);

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
