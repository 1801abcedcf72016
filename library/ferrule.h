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

/* Every loop-free path of used links, at most 11 links, from the device
 * dfrom to the device dto (the first devices whose names begin with them),
 * or with dto_typegiven = 1 to any device of the device type dto. One
 * entry per link of every path: nfrom/nto the device names at its near and
 * far end, pfrom/pto their port texts ("port_nbr|port_type"), way_a/way_b
 * their port ways (2 and 1 for a link walked in its stored direction, 1
 * and 2 against it), pathid (from 0), link_pos (from 1), lkinfo the
 * link_info ("none" when it has none). Texts are packed: items with their
 * NUL, back to back. Paths come shortest first, in the same order for the
 * same database.
 * len_array counts the entries of the four int arrays, each other length
 * the bytes of the text named with it. Every capacity must exceed its need:
 * otherwise nothing is copied, each need plus one is written back and the
 * reason is "BUFFER_TOO_SMALL". On success each length holds its need.
 * Result 0 when a path was found; -1 with "NO_ROWS_SELECTED" when none,
 * "Not existent device" when dfrom has no used link. */
FERRULE_API int GetConnectivityBetweenDevices(const char* dfrom, const char* dto,
                                              int* len_array, int* len_pfrom, int* len_nfrom,
                                              int* len_pto, int* len_nto, int* len_lkinfo,
                                              char* nfrom_buf, char* nto_buf, char* pfrom_buf,
                                              int* way_a, char* pto_buf, int* way_b,
                                              int* pathid, int* link_pos, char* lkinfo_buf,
                                              char* ErrMess);
FERRULE_API int GetDetailedConnectivityBetweenDevices(
    const char* dfrom, const char* dto, char* nfrom_buf, int* len_array, int* len_nfrom,
    int* len_pfrom, int* len_nto, int* len_pto, int* len_lkinfo, char* pfrom_buf,
    char* pto_buf, int* way_a, int* way_b, char* nto_buf, int* pathid, int* link_pos,
    char* lkinfo_buf, char* ErrMess);
FERRULE_API int GetDetailedConnBetweenDeviceDevType(
    const char* dfrom, const char* dto, int dto_typegiven, char* nfrom_buf, char* pfrom_buf,
    char* pto_buf, int* len_array, int* len_nfrom, int* len_pfrom, int* len_nto,
    int* len_pto, int* len_lkinfo, int* way_a, int* way_b, char* nto_buf, int* pathid,
    int* link_pos, char* lkinfo_buf, char* ErrMess);

/* The same search, giving only the pfrom texts. *len: capacity in bytes,
 * which may equal the need; the need on return (also with
 * "BUFFER_TOO_SMALL"). */
FERRULE_API int GetConnOutBetweenDeviceDeviceType(const char* dfrom, const char* dto,
                                                  int devtype_given, int* len, char* pfrom_out,
                                                  char* ErrMess);

/* Every loop-free path, at most 11 links, that starts at the device (the
 * first whose name begins with devicename) and ends on a link of
 * link_weight 2, over the used links of systemnameList ("ALL", one
 * subsystem name, or names separated by commas) walked in either
 * direction. One entry per link: its linkid (negated for a link walked
 * against its stored direction), pathid (from 0), link_pos (from 1).
 * *len_array: capacity of each array on entry, the entries on return (the
 * need with "BUFFER_TOO_SMALL"). 0 when a path was found, else -1. */
FERRULE_API int GetAllPathsPerDevice(const char* systemnameList, const char* devicename,
                                     int* len_array, int* linkid_out, int* pathid_out,
                                     int* link_pos_out, char* ErrMess);

/* Whole tables of the subsystems of systemnameList (as above; a row
 * belongs to a subsystem when its subsystem set is a multiple of the
 * subsystem's prime). Integer columns go to arrays counted by len_array,
 * text columns to packed texts counted in bytes. Each output is copied
 * when it fits; every length receives its need in any case, and an output
 * that does not fit makes the result -1 ("BUFFER_TOO_SMALL"). No row: 0
 * with "NO_ROWS_SELECTED". */

/* Every link, used or not: its devices, port texts, flags and link_info. */
FERRULE_API int LoadConnectivityTable(const char* systemnameList, int* len_array, int* lkid,
                                      int* node_from, int* node_to, int* len_pfrom,
                                      int* len_pto, char* pfrom_buf, char* pto_buf,
                                      int* bidirectional_link_used, int* lkused,
                                      int* link_type, char* lkinfo_buf, int* len_lkinfo,
                                      char* ErrMess);
/* Device ids and names. len_buf must exceed the names' need. */
FERRULE_API int MatchDeviceIDDeviceName(const char* systemnameList, int* len_array,
                                        int* deviceid, int* len_buf, char* devicename_buf,
                                        char* ErrMess);
/* Device type names and ids. The names are copied first, and nothing at
 * all when they do not fit; len_array must exceed the number of types. */
FERRULE_API int LoadDeviceTypeTable(const char* systemnameList, int* len_buf,
                                    char* devicetype_buf, int* len_array, int* devicetypeid,
                                    char* ErrMess);
/* Every link type: ids and names. */
FERRULE_API int LoadLinkTypeTable(int* len_array, int* linktypeid, int* len_buf,
                                  char* link_name_buf, char* ErrMess);

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
