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

/* Hardware devices mounted nowhere: each gets a hardware row with the status
 * SPARE (2) and a 'SPARE' history row. The single-row form refuses a null
 * serialnb; last/last_rows of the single-row form is not read. */
FERRULE_API int InsertMultipleSpareDevices(const char* hwname, const char* hwtype,
                                           const char* serialnb, const char* responsible,
                                           const char* comments, const char* location, int first,
                                           int last, char* ErrMess);
FERRULE_API int InsertSpareDevice(const char* hwname, const char* hwtype, const char* serialnb,
                                  const char* responsible, const char* comments,
                                  const char* location, int last, char* ErrMess);

/* Board components, cached form only. With a motherboard (a device name;
 * null, empty or "none" means none) the component is mounted on that board
 * (status IN_USE) and needs the hardware mounted in the board; without one
 * it is recorded as spare hardware at location (status SPARE). replacable 1
 * requires a serialnb of at least 2 characters not beginning with "none":
 * otherwise the row is refused and the open batch dropped. */
FERRULE_API int InsertMultipleBoardCpnts(const char* cpntname, const char* cpnttype,
                                         int replacable, const char* motherboard,
                                         const char* serialnb, const char* hwtype,
                                         const char* responsible, const char* comments,
                                         const char* location, int first_time, int last_rows,
                                         char* ErrMess);

/* Links inside one board, cached form only. nfrom or nto "motherboard" is
 * the board itself: its port number is then the portid of a port of the
 * board device. Two components must lie on the same board. */
FERRULE_API int InsertMultipleMicroLinks(const char* nfrom, const char* nto, int portnbfrom,
                                         int portnbto, const char* lktype, int biused,
                                         int first_time, int last_rows, char* ErrMess);

/* Link types. A simple type takes the next prime as its number; a
 * composite type the product of the numbers of the types named in lklist,
 * comma-separated, each name bare or between single quotes. The single-row
 * forms refuse a null lkname or lklist; their last_rows is not read. */
FERRULE_API int InsertMultipleSimpleLinkTypes(const char* lkname, int first_time, int last_rows,
                                              char* ErrMess);
FERRULE_API int InsertMultipleCompositeLinkTypes(const char* lkname, const char* lklist,
                                                 int first_time, int last_rows, char* ErrMess);
FERRULE_API int InsertSimpleLinkType(const char* lkname, int last_rows, char* ErrMess);
FERRULE_API int InsertCompositeLinkType(const char* lkname, const char* lklist, int last_rows,
                                        char* ErrMess);

/* A test board at location with nbports ports, committed in one call. The
 * five lists are packed texts (items ended by a NUL, one per port) with
 * their sizes in bytes; nothing is read past a size, and a port beyond the
 * last item of a list (or a null list) gets a null value. port_wayList
 * holds nbports ints. A procedure failure answers "ORACLE_ERROR_<number>";
 * a port that inserts nothing rolls the whole call back. last is not
 * read. */
FERRULE_API int InsertTestFunctionalDevice(const char* location, const char* ipaddList,
                                           int ipaddLen, const char* ipnameList, int ipnameLen,
                                           const char* subnetList, int subnetLen,
                                           const char* portnbList, int portnbLen,
                                           const char* port_typeList, int port_typeLen,
                                           const int* port_wayList, int nbports, int last,
                                           char* ErrMess);

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
