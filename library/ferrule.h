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

/* ------------------------------------------------------------------------
 * Inventory: status, replacement, test use, mounted hardware, history.
 * ------------------------------------------------------------------------ */

/* ------------------------------------------------------------------------
 * Updates and deletions.
 * ------------------------------------------------------------------------ */

/* Cached updates. As the cached inserts: first_rows (first_time) = 1 opens a
 * batch with this row, last_rows = 1 sends it as one execution and commits
 * it, and every 10000th row sends the rows cached so far; a row that is only
 * cached answers 0. A row that changes nothing makes the send answer -1 with
 * a reason beginning "COULDNOT_"; the rows that did change are committed,
 * except where said. A null text is NULL; "none" (or null) in a new value
 * keeps the stored value where said. */

/* Links, named by one end: by the from end (port_way 2 port of node_from)
 * when node_to is null or "none" in any case, else by the to end (port_way
 * 1 port of node_to) when node_from is; naming both changes nothing. A port
 * type that is null or shorter than 2 characters is "none", which also finds
 * ports without a type. After a complete send the server's derived path
 * data are refreshed (all but UpdateMultipleLkInfoLinks); for
 * UpdateMultipleLkUsedLinks the one commit follows that refresh. link_type:
 * a link type name (an unknown name stores -1, or NULL when found by the to
 * end). */
FERRULE_API int UpdateMultipleBidirectionalLinks(const char* node_from, const char* node_to,
                                                 const char* portnb_from, const char* portnb_to,
                                                 const char* portype_from, const char* portype_to,
                                                 int bidirectional_link, int first_rows,
                                                 int last_rows, char* ErrMess);
FERRULE_API int UpdateMultipleLkUsedLinks(const char* node_from, const char* node_to,
                                          const char* portnb_from, const char* portnb_to,
                                          const char* portype_from, const char* portype_to,
                                          int lkused, int first_rows, int last_rows,
                                          char* ErrMess);
FERRULE_API int UpdateMultipleLkTypeLinks(const char* node_from, const char* node_to,
                                          const char* portnb_from, const char* portnb_to,
                                          const char* portype_from, const char* portype_to,
                                          const char* link_type, int first_rows, int last_rows,
                                          char* ErrMess);
FERRULE_API int UpdateMultipleLkInfoLinks(const char* node_from, const char* node_to,
                                          const char* portnb_from, const char* portnb_to,
                                          const char* portype_from, const char* portype_to,
                                          const char* link_info, int first_rows, int last_rows,
                                          char* ErrMess);

/* Devices, named by devname. node, promiscuous_mode, nodeused and active
 * other than 0 and 1 keep the stored value, as do a null or "none" location
 * or new name. An unknown device type stores -1. After a send that may have
 * changed a node flag every link's weight is recomputed; each send of
 * nodeused recomputes every link's lkused, each send of a subsystem list
 * (comma-separated names) every link's subsystem set, and a row naming no
 * device rolls those two sends back whole. */
FERRULE_API int UpdateMultipleAttributesDevices(const char* devname, int node,
                                                int promiscuous_mode, const char* location,
                                                int first_rows, int last_rows, char* ErrMess);
FERRULE_API int UpdateMultipleDeviceNodeUsed(const char* devname, int nodeused, int first_rows,
                                             int last_rows, char* ErrMess);
FERRULE_API int UpdateMultipleDeviceActive(const char* devicename, int active, int first_rows,
                                           int last_rows, char* ErrMess);
FERRULE_API int UpdateMultipleDevNamesDevices(const char* old_devname, const char* devname,
                                              int first_rows, int last_rows, char* ErrMess);
FERRULE_API int UpdateMultipleDTypeDevices(const char* devname, const char* devtype,
                                           int first_rows, int last_rows, char* ErrMess);
FERRULE_API int UpdateMultipleDeviceSystemList(const char* devname, const char* new_systemList,
                                               int first_rows, int last_rows, char* ErrMess);

/* Every device of the device type devtype (devtype_given 1), or whose name
 * begins with devtype (a '%' or '_' in it matches any text or character).
 * Not cached: each call runs at once, and commits only when last_rows is 1.
 * A call that changes no device answers -1 and commits nothing. The usage
 * form then recomputes every link's lkused. */
FERRULE_API int UpdateMultipleDeviceNodeUsedByType(const char* devtype, int nodeused,
                                                   int devtype_given, int last_rows,
                                                   char* ErrMess);
FERRULE_API int UpdateMultipleDeviceActiveByType(const char* devicename, int active,
                                                 int devtype_given, int last_rows,
                                                 char* ErrMess);

/* Device types and link types. A null or "none" description or rgbcolor and
 * -1 inputs or outputs keep the stored value; a null or empty new name
 * changes nothing. simple_linkList: a text naming the simple link types
 * (any link type whose name occurs in it counts), or "none" to make the
 * type simple with the next free prime. */
FERRULE_API int UpdateMultipleDeviceTypeAttributes(const char* devicetype,
                                                   const char* description, int nbrofinput,
                                                   int nbrofoutput, const char* rgbcolor,
                                                   int first_time, int last_rows, char* ErrMess);
FERRULE_API int UpdateMultipleDeviceTypes(const char* old_devtype, const char* devtype,
                                          int first_time, int last_rows, char* ErrMess);
FERRULE_API int UpdateMultipleLinkTypeNames(const char* oldlink_name, const char* link_name,
                                            int first_time, int last_rows, char* ErrMess);
FERRULE_API int UpdateMultipleCompositeLinkTypes(const char* link_name,
                                                 const char* simple_linkList, int first_time,
                                                 int last_rows, char* ErrMess);

/* IP addresses. A null or "none" subnet_mask or ipname keeps the stored
 * value. UpdateMultipleIPAddresses replaces old_ipadd by ipadd, the ports
 * holding it included; a row is done only when exactly one address was
 * replaced. */
FERRULE_API int UpdateMultipleAttributeMacIPs(const char* ipadd, const char* subnet_mask,
                                              const char* ipname, int first_time, int last_rows,
                                              char* ErrMess);
FERRULE_API int UpdateMultipleIPAddresses(const char* ipadd, const char* old_ipadd,
                                          int first_time, int last_rows, char* ErrMess);

/* Ports of functional devices; a null or empty port_type is "none". speed
 * -1, a null or "none" phy, and pxi_booting or admin_status other than 0 and
 * 1 keep the stored value. A status change sets lkused of the port's links
 * in use to the product of their ports' statuses (a link at 0 stays 0),
 * refreshes the stored routes, and counts as done only for a port that has
 * a link. */
FERRULE_API int UpdateMultiplePorts(const char* devicename, const char* port_nbr, int port_way,
                                    const char* port_type, int speed, const char* phy,
                                    int pxi_booting, int first_time, int last_rows,
                                    char* ErrMess);
FERRULE_API int UpdateMultiplePortStatuses(const char* devicename, const char* port_nbr,
                                           int port_way, const char* port_type, int admin_status,
                                           int first_time, int last_rows, char* ErrMess);

/* Swaps the hardware of two functional devices through the server; commits
 * when the server answers "SUCCESSFUL_SWAPPING...", otherwise rolls back and
 * answers -1 with the server's text as reason. */
FERRULE_API int SwapTwoDevices(const char* functional_devname1, const char* functional_devname2,
                               const char* comments, char* ErrMess);

/* Deletes a link by id (macro_link 1: between devices, with the stored paths
 * through it; otherwise inside a board), or a port by id with its link, the
 * link's paths and the hardware port of the device's mounted hardware. An
 * unknown id answers -1 ("LINKID DOESN'T EXIST", "PORTID DOESN'T EXIST"); a
 * failed path removal rolls everything back and answers -1. A port without
 * a link answers 0 with "NO_ERROR in DeletePortRow but no link was
 * deleted". */
FERRULE_API int DeleteLinkRow(int linkid, int macro_link, char* ErrMess);
FERRULE_API int DeletePortRow(int portid, char* ErrMess);

#ifdef __cplusplus
}
#endif

#endif
