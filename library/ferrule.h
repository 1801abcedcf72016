/*
 * ferrule: the configuration of a network of devices, kept in a database.
 *
 * Every function returns an int result code: 0 for success, -1 for a failure
 * the library detects itself, otherwise the status or error number of the
 * database step that failed. ErrMess, always the last argument, receives
 * "NO_ERROR in <name>" or "ERROR in <name> : <reason>"; it must hold 312
 * bytes (a longer name or reason is cut to fit, never inside a character of
 * the connection's encoding). A variable-size result comes with an in/out
 * length: the capacity on entry; when the result does not fit, the length
 * needed is written back, the reason is "BUFFER_TOO_SMALL" and the result -1.
 *
 * Subsystem lists (sysname, new_systemList, systemnameList, system_name):
 * subsystem names separated by commas, no blank trimmed, each compared
 * exactly, letter case included. A list with an empty name, a leading or
 * trailing comma or two commas in a row ("DAQ,", ",DAQ", "DAQ,,TFC", ","),
 * is refused by every call that reads it, with the words the call gives
 * other lists it refuses: "systemnameList is null" (device type and
 * functional device inserts, whole-table loads, GetAllPathsPerDevice),
 * "new_systemList is invalid: not inserted in the cache"
 * (UpdateMultipleDeviceSystemList), " system name MUSTNOT BE NULL" (the
 * lists by status); GetPortPerSubsystem takes one name and refuses any
 * comma. What a list must hold besides, and the words a selection reads
 * before its names ("ALL", "all"), are said at each call.
 *
 * What a write answers is what was committed, or, where its form leaves its
 * work in the open transaction (below), what waits there for the next
 * commit. A query answers what the library's connection sees, its own
 * uncommitted changes included: a lookup or path search made after a
 * by-type update sent with last_rows 0, say, reads the updated rows, which
 * other clients see only once they are committed. A call that is refused
 * or fails undoes its own work only: what earlier calls left uncommitted in
 * the transaction (a build, a by-type update sent with last_rows 0) stays
 * there, with its locks, for the next commit; where nothing was pending,
 * the call leaves no transaction open and holds no lock. A call whose
 * commit fails answers that failure (its number and the database's
 * reason), whatever it would have answered otherwise: what the commit was
 * to make durable is not there, or, when the connection was lost on the way
 * (below), may not be.
 *
 * There is no call that only commits. Work that a call leaves in the open
 * transaction (CreateRoutingTable, CreateDestinationTable,
 * CreateTableSchema and DropTableSchema; a by-type update with last_rows
 * 0) becomes durable with the next call that commits: a single-row insert,
 * a batch send (the row with last_rows 1, or every 10000th row), a by-type
 * update with last_rows 1, InsertTestBoard, an inventory change,
 * SwapTwoDevices, DeleteLinkRow or DeletePortRow, and GetPortPerSubsystem
 * and the three queries of paths inside a board, which commit although
 * they only read. Lookups do not commit. DBDeconnexion discards it (below).
 * These refusals commit, and with them what earlier calls left open:
 * GetPortPerSubsystem and the paths inside a board, whatever they answer;
 * a batch send some of whose rows changed nothing ("COULDNOT_..."), which
 * keeps the others, except where said; the single-row InsertDeviceType
 * that inserted nothing ("COULDNOT_INSERT_THIS_ROW") and InsertMacroLink
 * that inserted nothing ("COULDNOT_INSERT_THIS_ROWS: ..." with the reason,
 * below); DeleteLinkRow and DeletePortRow of an unknown id; an inventory
 * change whose refresh of the stored routes failed.
 *
 * A call that commits and loses its connection after COMMIT was sent, before
 * the server's answer, cannot know whether the server committed: it answers
 * 3114 with a reason that ends in "; the outcome of the commit is unknown".
 * Its rows may be stored. Look before sending them again (links have no
 * unique key: a batch sent twice stores each link twice); the library does
 * not send again by itself. A connection lost before COMMIT was sent
 * answers 3114 with the reason alone ("server closed the connection
 * unexpectedly", say): nothing was committed since the last commit.
 *
 * The library holds one connection for the process and is used from one
 * thread at a time.
 *
 * The library prints lines of its own on standard output (C's stdout),
 * beside its results: connection lines of DBConnexion and DBDeconnexion
 * ("OCI Connection successfully established and current version of the
 * library v2.7", "Successful Loading ", "OCI Connection successfully
 * terminated....5", or the failure forms); trace lines that some calls
 * print as they go, with values they were given, sizes or statement texts
 * ("dtype=SWITCH and", "devtypelen=7", "numrows1", "value of len_array=...");
 * and error lines when a database step fails (the failing row of a batch
 * included), most of them "Error - ", the database's message and the step
 * ("Error - ... and OCIStmtExecute unsuccessful"). They are no part of any
 * result, which is the return code and ErrMess alone. A caller that
 * needs a clean standard output must redirect it: for instance keep a
 * duplicate of descriptor 1 for its own output and point stdout at
 * /dev/null before the first call.
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

/* Connection. server is "host:port/dbname" (a libpq URI or key=value text
 * also works). DBConnexion loads the subsystems recorded in the database,
 * each name of at most 9 characters of the client encoding (a longer one is
 * known by its first 9); when they cannot be loaded, for whatever reason
 * (none recorded, 50 or more, or the statement failed, for instance because
 * it was cancelled), it answers -1 with
 * "ERROR in LoadSubsystemTable : SUBSYSTEM_TABLE_EMPTY", unless its time ran
 * out (below).
 *
 * How long a call waits for the server:
 * - DBConnexion takes 20 s at most, the login and the subsystem load
 *   together. The login alone gives up after 10 s when the server does not
 *   answer (one that accepts the connection and then says nothing, a
 *   frozen one): -1, "ERROR in Connect : timeout expired: no answer from
 *   the server within 10 s". A server that answers the login and then
 *   nothing, or a subsystem table that another session holds locked, makes
 *   it give up at 20 s: -1, "ERROR in Connect : timeout expired: no answer
 *   from the server within 20 s" (or "ERROR in LoadSubsystemTable : ..."
 *   when the load was waiting). The session is closed then, and the server
 *   stops what it was doing for it. A server that refuses the connection
 *   answers at once.
 * - A server that ended the session or went down answers the next call at
 *   once, with number 3114 ("server closed the connection unexpectedly").
 * - A server or network that vanished without a word (a machine switched
 *   off, a cable pulled) is noticed by TCP: an idle connection is probed
 *   after 10 s of silence and every 5 s, and data or probes left
 *   unacknowledged for 30 s end it. A call waiting on it then fails with
 *   number 3114, within about 35 s. Each session has the server watch its
 *   side alike (the server text's keepalive and tcp_user_timeout settings,
 *   below, hold there too): a client whose network vanished while its
 *   transaction held locks (a build not yet committed, say), or before the
 *   answer to its call reached it, has its session ended by the server
 *   within about the same time, its uncommitted work undone and the locks
 *   freed for the other clients.
 * - After DBConnexion, a server that is there but does not answer (its
 *   processes stopped, or overloaded) keeps a call waiting until it
 *   answers: no time limit is set on statements, since some calls (routing
 *   tables, path loads of a large network) legitimately run for long. A
 *   batch waits so too, however many rows it sends (a row that waits for a
 *   lock held elsewhere keeps the rest waiting): it is sent in parts that
 *   the server's socket takes in whole, each part's answers read before the
 *   next goes.
 * A key=value server text may set other limits: connect_timeout (seconds,
 * 0 for none), keepalives_idle, keepalives_interval, keepalives_count (in
 * seconds and probes) and tcp_user_timeout (milliseconds). keepalives=0
 * turns off the keepalives and the user timeout alike, on both sides: the
 * client's socket keeps the system's settings, the session the server's. */
FERRULE_API int DBConnexion(const char* server, const char* usr, const char* pwd, char* ErrMess);
/* Ends the session without committing: what earlier calls left uncommitted
 * (a build, a by-type update sent with last_rows 0) is rolled back, and the
 * call answers NO_ERROR all the same. A DBConnexion made while connected
 * ends the session so before it opens the new one. Open batches are not
 * lost: the process keeps them (Inserts, below). */
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
 * A lookup reads what the library's connection sees: changes that earlier
 * calls left uncommitted on it are in its answer (above).
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
 * Every stored text comes back whole, whatever characters it holds, '?'
 * and '|' included. An item that joins fields with '|' keeps them as
 * stored: "name|id" splits at its last '|' (an id holds none); an item of
 * several texts cannot be split where one of them holds a '|'.
 *
 * Integer lists (keys..., int* len, int* ids, ErrMess): len is the capacity
 * in ids on entry and their number on success; too small: len = the number
 * found, -1. Nothing found sets ids[0] and ids[1] to -1, so the array needs
 * room for 2.
 *
 * A port type key that is null or empty stands for a port without type,
 * read as "none".
 *
 * Name buffers: the database bounds device and component names to 100
 * bytes of UTF-8, so the 101 bytes that a name lookup writes at most (its
 * buffer's size is not passed) hold any name when the connection's client
 * encoding is UTF-8. Another client encoding may take more bytes for the
 * same name, up to 1.5 times as many in EUC_JP and twice as many in
 * GB18030: a name that then takes more than 100 is not written, and the
 * call answers -1 with "BUFFER_TOO_SMALL".
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
/* GetDestinationNamePerDevPort: the devices that the destination table of
 * devname (CreateDestinationTable, as last built or refreshed) reaches
 * through its output port (port_way 2) port_nbr of type port_type ("none"
 * for a port without a type): those whose routes leave through that port,
 * over a used link, as GetPortPerSubsystem lists the port (a bidirectional
 * link that arrives at the port, walked backwards, leaves through it).
 * Routes that leave through an input port (port_way 1, a bidirectional
 * link walked backwards) are listed for no port. */
FERRULE_API int GetDestinationNamePerDevPort(const char* devname, const char* port_nbr,
                                             const char* port_type, int* len_Destin_list,
                                             char* Destin_list, char* ErrMess);
FERRULE_API int GetFreeDeviceNamesPerType(const char* devitype, int* len_array,
                                          char* devnames_list, char* ErrMess);
/* The two lists by location compare differently: GetDeviceNamesPerLocation
 * lists every device whose location CONTAINS the text ("rack1" also finds
 * the devices in "rack10" and "rack11"), GetSpareHWPerLocation only the
 * hardware whose location is the whole text. */
FERRULE_API int GetDeviceNamesPerLocation(const char* location, int* len_array,
                                          char* devnames_list, char* ErrMess);
FERRULE_API int GetSpareHWPerLocation(const char* location, int* len_array, char* hw_list,
                                      char* ErrMess);
FERRULE_API int GetSpareHWPerType(const char* hwtype, int* len_array, char* hw_list,
                                  char* ErrMess);

/* Integer lists of device, link and port ids; a device's name and id. The
 * name buffer of GetDeviceName_deviceid must hold 101 bytes (a name has at
 * most 100 in UTF-8; other client encodings: "Name buffers" above).
 * GetDeviceID_devicename leaves deviceID alone when no device has the
 * name. */
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
 * GetCpntName_cpntid must hold 101 bytes (in UTF-8; other client
 * encodings: "Name buffers" above); GetCpntID_cpntname sets cpntID to -1
 * when no component has the name. */
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
 * inserted nothing commits the others, with the refresh that follows them,
 * and answers -1 with a reason beginning "COULDNOT_" (or one its function
 * names for such a row). Sent at its 10000th row, such a batch ends there,
 * as one sent by its last row does: the rows after it answer "CACHE HAS
 * NOT BEEN INITIALIZED" until a row marked first. So 20000 rows with a row
 * that inserts nothing among the first 10000 store 9999 and refuse each
 * later row. A row that inserted nothing leaves nothing of its own in any
 * table, neither the hardware
 * item, address or history row its insert writes first, and the rows after
 * it are stored as if it had not been sent. A send is committed
 * with the server refresh that follows it, or not at all: a send answered
 * as failed otherwise (a database error, a failed refresh, a single row
 * that inserted nothing where its form says so) leaves none of its rows
 * behind, neither committed nor waiting in the transaction, and rows that
 * earlier calls left there stay as they were. Null texts are stored as
 * NULL. The rows of a batch are kept by the process, not by the
 * connection: a batch left open survives DBDeconnexion and DBConnexion and
 * is sent, on the new connection, by the next last row. A row offered while
 * not connected is refused and drops the open batch. A row that its
 * function's own check refuses (a subsystem list, a component's serial
 * number) is never cached. When it is marked first it opens no batch and
 * still throws away the rows cached so far, as any first row does: the rows
 * after it are refused with "CACHE HAS NOT BEEN INITIALIZED" until a row
 * marked first opens a batch. Refused without the first mark, it leaves the
 * open batch as it is, except where said. */

/* Device types. sysname: comma-separated names of recorded subsystems, the
 * set the row stores, each subsystem once however often it is named. A
 * null or empty list, or one with any other name in it, is refused with
 * "systemnameList is null" (so is one with an empty name, above); a set too
 * large to store, with "SUBSYSTEM_SET_TOO_LARGE": the product of the
 * primes of its subsystems must be at most 2147483647. A refused row is
 * neither stored nor cached. last_rows of the single-row form is not
 * read. */
FERRULE_API int InsertMultipleDeviceTypes(const char* sysname, const char* dtype, int nbinput,
                                          int nboutput, const char* description,
                                          const char* rgbcolor, int first_time, int last_rows,
                                          char* ErrMess);
FERRULE_API int InsertDeviceType(const char* sysname, const char* dtype, int nbinput,
                                 int nboutput, const char* description, const char* rgbcolor,
                                 int last_rows, char* ErrMess);

/* Functional devices, each with its hardware item (serialnb) and the first
 * history row of that item. sysname as for device types. last_rows of the
 * single-row form is not read. */
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
 * after every complete batch, the single-row form when last_rows is 1.
 * A single link that inserts nothing answers -1 with
 * "COULDNOT_INSERT_THIS_ROWS: " and the first of these that holds: "FROM
 * PORT NOT FOUND: device <node_from>, port <port_from>, type <type>, way 2"
 * (the device has no such port, or is not recorded), "TO PORT NOT FOUND:
 * ..." likewise with way 1, "LINK TYPE NOT FOUND: <link_type_name>", else
 * "CHECK SYSTEM COMPATIBILITY" (the devices share no subsystem). A null
 * text is shown as NULL. */
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
 * otherwise the row is refused and the open batch dropped. Any other
 * replacable takes a null serialnb, stored as NULL, mounted or spare. */
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

/* Link types. A simple type takes the next prime as its number: the one
 * after as many primes as there are numbered types, or the first after it
 * that no type holds and that divides no type's number (a type made
 * composite, cleared or deleted may leave its prime in composite numbers).
 * Sessions that give out primes at once take turns. No prime is held
 * twice, nor given while a composite holds it: the database refuses any
 * write that would do it (number 1, "link type number ... is held by
 * another link type"). A composite type stands for the set of the simple
 * types of the types named in lklist, comma-separated, each name bare or
 * between single quotes (a quoted name may hold commas, and a quote inside
 * it is doubled: 'it''s'): its number is the product of their primes, each
 * prime once however many named types have it (a name listed twice counts
 * once; "ab,bc" stands for a, b and c when ab is made of a and b and bc of
 * b and c). So every number is a product of distinct primes, and no two
 * types hold one number: the database refuses any write that would store
 * a number held already (number 1) or one that is not such a product. A
 * blank beside a comma belongs to the name ("a, b" names " b"). A list
 * that names anything but a link type with a number (an empty name too),
 * or names the type being written, or gives a number that another type
 * holds (one type named alone or twice, or the simple types of another
 * type), stores nothing: the single-row form answers -1 with
 * "COULDNOT_INSERT_THIS_ROW", a cached send -1 with
 * "COULDNOT_INSERT_ALL_ROWS", its other rows committed. So does a simple
 * type when no prime is left. A list whose number would be above
 * 2147483647 stores nothing either: the single-row form answers -1 with
 * "LINK_TYPE_NUMBER_TOO_LARGE", and so does a cached send whose first row
 * that stored nothing was such a list, its other rows committed.
 * Composite types made by several sessions at once take turns, so that
 * the second sees the first one's number. The single-row forms refuse a
 * null lkname or lklist before any database work; the cached forms send
 * them on, and a null list stores nothing as above. Their last_rows is
 * not read. */
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
 * a port that inserts nothing, or that the database refuses, rolls the
 * whole call back. last is not read. */
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

/* Every loop-free path of used links, at most 11 links, from the device
 * named exactly dfrom (never another whose name begins with it: "sw1"
 * starts at sw1 beside sw10) to every device whose name begins with dto:
 * "sw1" reaches sw1 and sw10 alike. A path ends at the first device that
 * matches: with A -> sw1 -> sw10, the target "sw1" gives A -> sw1 only.
 * With dto_typegiven = 1 the target is every device of the device type
 * dto, and a path ends at the first device of the type. A path never
 * visits a device twice, so none ends at dfrom's device or begins with a
 * link from it to itself. From its second link on, a link of link_weight 2
 * as walked (1 and 2 exchanged, any other weight 0, for a link walked
 * against its stored direction) ends a path, which is returned only when
 * that link reaches a target: as the library writes link weights, a path
 * that enters a node device from a device that is not a node ends there.
 * The search reads the links as the library's connection sees them,
 * changes left uncommitted on it included. One entry per link
 * of every path: nfrom/nto the device names at its near and far end,
 * pfrom/pto their port texts ("port_nbr|port_type"), way_a/way_b their
 * port ways (2 and 1 for a link walked in its stored direction, 1 and 2
 * against it), pathid (from 0), link_pos (from 1), lkinfo the link_info
 * ("none" when it has none). Texts are packed: items with their
 * NUL, back to back. Paths come shortest first, in the same order for the
 * same database.
 * len_array counts the entries of the four int arrays, each other length
 * the bytes of the text named with it. Every capacity must exceed its need:
 * otherwise nothing is copied, each need plus one is written back and the
 * reason is "BUFFER_TOO_SMALL". On success each length holds its need.
 * Result 0 when a path was found; -1 with "NO_ROWS_SELECTED" when none.
 * The search loads only the used links whose subsystem set divides, or is
 * divided by, the subsystem set of the device named dfrom (that of dto
 * plays no part), a bidirectional link in both directions, any other in
 * its stored one: with A in TFC and RICH, B and C in ECS and RICH, and the
 * links A -> B (RICH) and B -> C (ECS and RICH), A to C finds nothing,
 * while LoadConnectivityTable("RICH") lists both links. When there is no
 * such link (none of those subsystems, or no device named dfrom: a name
 * that only begins others loads nothing) the reason is the loader's whole
 * text, "ERROR in LoadConnectivityTable_InCache : NO_ROWS_SELECTED"; when
 * there are some but none leaves dfrom's device, it is "Not existent
 * device". */
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

/* Every loop-free path, at most 11 links, that starts at the device named
 * devicename and ends on a link of link_weight 2, over the used links of
 * systemnameList ("ALL", one subsystem name, or names separated by commas)
 * walked in either direction. When no device has exactly that name, the
 * start is the device, of those whose names begin with it, that the
 * lowest linkid leaves (a link walked against its stored direction leaves
 * with its linkid negated). Each link's weight is read as walked: 1
 * and 2 exchanged, any other weight 0, for a link walked against its
 * stored direction. A path ends at its first link of weight 2, and between
 * its first link (of any weight) and its last it takes only links of
 * weight 0. One entry per link: its linkid (negated for a link walked
 * against its stored direction), pathid (from 0), link_pos (from 1).
 * *len_array: capacity of each array on entry, the entries on return (the
 * need with "BUFFER_TOO_SMALL"). 0 when a path was found, else -1; a start
 * that none of those links leaves gives "GetIndexForTabCHAR_second pb". */
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

/* The schema's dynamic tables (routing, destination, path and micro-path
 * tables): created when missing, or dropped with what they hold. A failure
 * of the server reads "Couldn't create the tables" for both, followed by the
 * database's words. */
FERRULE_API int CreateTableSchema(char* ErrMess);
FERRULE_API int DropTableSchema(char* ErrMess);

/* Have the server build the routing table or the destination table of a
 * device: the shortest routes to every device it reaches in at most
 * roundtrip links (10 at most: both read a count above 10 as 10, and answer
 * NO_ERROR; CreateRoutingTable reads 0 as 10). Neither commits: the build
 * becomes durable with the next call that commits (see the top of this
 * file), and DBDeconnexion discards it. 0 when built; the
 * server's non-zero result when it refused (an unknown device -1, a
 * round-trip count below 1 -2, -3 when the database refused the build,
 * the reason then followed by the database's words, or when no routing
 * table exists); 1 when the block could not run. A refused or failed build
 * is undone: what was pending stays as it was, and where nothing was, no
 * transaction stays open.
 * Stored tables are written by one transaction at a time: until the build
 * is committed, it holds up every other client's build and
 * every refresh that link changes call for, and, while no table is stored
 * yet, the link changes themselves; a link change not yet committed then
 * holds up a build in turn. So a table built while links change is the
 * table a build after the changes gives.
 * Deadlocks: a client that holds an uncommitted build and then changes a
 * link that another client has changed and not yet committed, while that
 * client waits for the build's turn, would wait for it in turn; the server
 * ends one of the two calls. Link changes and then a build in one open
 * transaction can meet the same. Which call ends, and its answer:
 * - a link change (a send's rows): number 60, "deadlock detected";
 * - the refresh of the stored routes that follows a send: -1,
 *   "PATH_REFRESH_FAILED: deadlock detected";
 * - a build: -3, "Couldn't create the routing table: deadlock detected"
 *   ("... destination table: ..." for CreateDestinationTable).
 * The call's own work is undone (the send's rows with its refresh, the
 * build), what earlier calls left uncommitted stays with its locks, and the
 * call may be made again: a reason that ends in "deadlock detected" tells
 * a deadlock from a failure that would recur. Commit a build before
 * changing links, and link changes before building. */
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
 * than its total and len_array at least the entry count; the two lists
 * and the arrays that do not fit get their needs written back and make the
 * result -1 to -3 with "NO_ERROR" in ErrMess. A last name that does not fit
 * gets its length plus 1 written back and "BUFFER_TOO_SMALL" where the
 * capacity given holds that word, without changing the result. No path: -1
 * "NO_ROWS_SELECTED", outputs untouched. An end on another board, or a board
 * without a component of the type or name asked for: -1 "Error  when trying
 * to find the paths" (two blanks), outputs untouched.
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

/* Status words. Hardware items carry a status: IN_USE, SPARE, TEST,
 * EXT_TEST, IN_REPAIR or DESTROYED; a functional item without hardware is
 * NONE. Dates are texts "YY/MM/DD/HH24/MI/SS" (YY in the current century).
 * A text argument that is null or begins with "none" counts as not given
 * where a comment, location, replacement or functional name is optional.
 *
 * Each change below is one transaction, committed once at its end: the
 * hardware, the history rows and, where an item is emptied or mounted, the
 * usage of its links together. Nobody sees a part of it before the rest is
 * done (the links' usage waits for link batches that hold some of them).
 * A database failure in any part (a cancelled statement, say) undoes the
 * whole change and is the answer. A refresh of the stored routes that
 * fails after the links' usage was recomputed answers -1 "Error couldn't
 * update links and paths status", with the change committed. */

/* The status word of a functional device or board component (of the
 * hardware mounted in it, NONE without hardware), or of a hardware device
 * or component. status_out must hold 10 bytes. Nothing matching: result 0,
 * status_out untouched, reason "NO_ROWS_SELECTED". A component is found by
 * serialnb when one is given, else by snbid. */
FERRULE_API int GetFunctionalDeviceStatus(const char* dname, char* status_out, char* ErrMess);
FERRULE_API int GetHWDeviceStatus(const char* serialnb, char* status_out, char* ErrMess);
FERRULE_API int GetFunctionalBoardCpntStatus(const char* cpntname, char* status_out,
                                             char* ErrMess);
FERRULE_API int GetHWBoardCpntStatus(const char* serialnb, int snbid, char* status_out,
                                     char* ErrMess);

/* Takes the hardware in use out of a functional device (board component)
 * with new_status (DESTROYED, IN_REPAIR, SPARE or EXT_TEST) and
 * new_location, and mounts the SPARE serialnb_replacement in its place, or,
 * without a replacement, leaves the item without hardware and recomputes
 * the usage of its links. All in one transaction, with history rows; the
 * components of a device's board follow it. -1 with nothing changed when
 * the item's hardware is not in use, the replacement is not SPARE, or
 * replace_date is earlier than status_datechange. */
FERRULE_API int ReplaceFunctionalDevice(const char* functional_name, const char* new_status,
                                        const char* new_location, const char* user_comments,
                                        const char* status_datechange,
                                        const char* serialnb_replacement,
                                        const char* replace_date, char* ErrMess);
FERRULE_API int ReplaceFunctionalBoardCpnt(const char* cpnt_name, const char* new_status,
                                           const char* new_location, const char* user_comments,
                                           const char* status_datechange,
                                           const char* serialnb_replacement,
                                           const char* replace_date, char* ErrMess);

/* Changes the status and location of a hardware device (replacable
 * component) that is not in use. IN_USE mounts it in functional_name (a
 * device or board component without hardware), which must be given, and
 * recomputes the usage of that item's links. The components located on a
 * hardware device follow its status. */
FERRULE_API int UpdateHWDeviceStatus(const char* serialnb, const char* new_status,
                                     const char* new_location, const char* user_comments,
                                     const char* status_datechange, const char* functional_name,
                                     char* ErrMess);
FERRULE_API int UpdateHWBoardCpntStatus(const char* serialnb, const char* new_status,
                                        const char* new_location, const char* user_comments,
                                        const char* status_datechange,
                                        const char* functional_cpntname, char* ErrMess);

/* Moves the hardware in use in functional_name onto the test board
 * testdevice_name (a device without hardware) with status TEST, and mounts
 * the SPARE serialnb_replacement in its place or leaves the device without
 * hardware. */
FERRULE_API int SetToTestUseStatus(const char* functional_name, const char* user_comments,
                                   const char* status_datechange,
                                   const char* serialnb_replacement,
                                   const char* testdevice_name, const char* replace_date,
                                   char* ErrMess);

/* Which hardware was last in use where: the device name of a hardware
 * device, the serial number of a device's hardware, the position name of a
 * hardware component (by hw_serialnb when hw_snbid is -1, else by
 * hw_snbid; hw_serialnb must be given either way), "serialnb|snbid" of a
 * position. Nothing found: "none" (5 bytes), result 0, reason
 * "NO_ROWS_SELECTED". *len_last_mounted is the capacity, written only when
 * the answer does not fit. */
FERRULE_API int GetHWLastFunctionalDevice(const char* serial_nb, char* last_mounted,
                                          int* len_last_mounted, char* ErrMess);
FERRULE_API int GetFunctionalDeviceLastHW(const char* functional_name, char* last_mounted,
                                          int* len_last_mounted, char* ErrMess);
FERRULE_API int GetHWLastFunctionalBoardCpntName(const char* hw_serialnb, int hw_snbid,
                                                 char* last_mounted, int* len_last_mounted,
                                                 char* ErrMess);
FERRULE_API int GetFunctionalBoardCpntNameLastHW(const char* functional_cpntname,
                                                 char* last_mounted, int* len_last_mounted,
                                                 char* ErrMess);

/* Status history of an item, oldest first, one NUL-terminated item per
 * change: names, status word, date text and location joined by '|'.
 * min_date and max_date bound the date texts (compared as texts, ends
 * included); one beginning with "none" is open; neither may be null. A
 * hardware component is found by serial_nb when snbid is -1, else by snbid
 * (serial_nb must still be given). *len_history: capacity in, size used
 * out. Nothing found: "NO_ROWS_SELECTED" (17 bytes), result 0. */
FERRULE_API int GetHistoryOfFunctionalDevice(const char* functional_name, char* history,
                                             int* len_history, const char* min_date,
                                             const char* max_date, char* ErrMess);
FERRULE_API int GetHistoryOfHWDevice(const char* serial_nb, char* history, int* len_history,
                                     const char* min_date, const char* max_date, char* ErrMess);
FERRULE_API int GetHistoryOfFunctionalBoardCpntName(const char* functional_cpntname,
                                                    char* history, int* len_history,
                                                    const char* min_date, const char* max_date,
                                                    char* ErrMess);
FERRULE_API int GetHistoryOfHWBoardCpnt(const char* serial_nb, int snbid, char* history,
                                        int* len_history, const char* min_date,
                                        const char* max_date, char* ErrMess);

/* The items in one status now, one NUL-terminated item each: functional
 * devices "NONE" (no hardware) or "IN_USE"; hardware devices in any status
 * but NONE (for IN_USE only those mounted in devices of the subsystems);
 * hardware components as "serialnb|snbid". system_name: comma-separated
 * subsystem names (a device must belong to all of them; a name given twice
 * counts once; an unknown first name selects every subsystem, a later one
 * is skipped; names whose product of primes is above 2147483647, which no
 * device can belong to together, are refused with
 * "SUBSYSTEM_SET_TOO_LARGE"), or "all". Note
 * the order of length and buffer. Nothing found: "NO_ROWS_SELECTED"
 * (17 bytes), result 0. */
FERRULE_API int GetFunctionalDeviceByStatus(const char* system_name, const char* device_status,
                                            int* len_status_list, char* status_list,
                                            char* ErrMess);
FERRULE_API int GetHWDeviceByStatus(const char* systemname, const char* device_status,
                                    int* len_status_list, char* status_list, char* ErrMess);
FERRULE_API int GetHWBoardCpntByStatus(const char* cpnt_status, char* status_list,
                                       int* len_status_list, char* ErrMess);

/* ------------------------------------------------------------------------
 * Updates and deletions.
 * ------------------------------------------------------------------------ */

/* Cached updates. As the cached inserts: first_rows (first_time) = 1 opens a
 * batch with this row, last_rows = 1 sends it as one execution and commits
 * it, and every 10000th row sends the rows cached so far; a row that is only
 * cached answers 0. An open batch, too, survives DBDeconnexion and
 * DBConnexion, and a row refused by its function's own check does to a
 * batch what it does to an insert batch. A row that changes nothing makes
 * the send answer -1 with a reason beginning "COULDNOT_"; the rows that did
 * change are committed, with the recomputes and the refresh that follow
 * them, except where said.
 * A send and the refresh of the server's derived path data that follows it
 * are committed together or not at all; a refresh that fails answers -1
 * with its own reason ("ERROR: ..." from the dynamic tables,
 * "PATH_REFRESH_FAILED: " and the database's words from the stored routes),
 * or the database's error. A null text is NULL; "none" (or null) in a new
 * value keeps the stored value where said. */

/* Links, named by one end: by the from end (port_way 2 port of node_from)
 * when node_to is null or "none" in any case, else by the to end (port_way
 * 1 port of node_to) when node_from is; naming both changes nothing. A port
 * type that is null or shorter than 2 characters is "none", which also finds
 * ports without a type. After a complete send the server's derived path
 * data are refreshed (all but UpdateMultipleLkInfoLinks). link_type:
 * a link type name (an unknown name stores -1, or NULL when found by the to
 * end).
 * Each row locks its link until the send commits. Two batches that change
 * the same links in opposite orders can deadlock: the server ends one send
 * with number 60, "deadlock detected", and it leaves none of its rows.
 * Send link batches in link id order: batches in that order wait for each
 * other, as do the device updates below that rewrite every link, which
 * take the links in that order. */
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
 * (as for device types, but a list that gives no set is refused with
 * "new_systemList is invalid: not inserted in the cache") every link's
 * subsystem set, and a row naming no device rolls those two sends back
 * whole. These rewrites lock every link in link id order, waiting for link
 * batches that hold some. */
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
 * A call that changes no device answers -1 and is undone, leaving the calls
 * before it as they were. The usage form then recomputes every link's
 * lkused and, while routing or destination tables are stored, refreshes
 * them: stored tables are rewritten by one transaction at a time, so calls
 * with last_rows 0 hold up every other client's refresh until the call
 * with last_rows 1 commits. */
FERRULE_API int UpdateMultipleDeviceNodeUsedByType(const char* devtype, int nodeused,
                                                   int devtype_given, int last_rows,
                                                   char* ErrMess);
FERRULE_API int UpdateMultipleDeviceActiveByType(const char* devicename, int active,
                                                 int devtype_given, int last_rows,
                                                 char* ErrMess);

/* Device types and link types. A null or "none" description or rgbcolor and
 * -1 inputs or outputs keep the stored value; a null or empty new name
 * changes nothing. simple_linkList: the simple link types, listed as
 * lklist of the inserts is and held to the same rules, so that it may not
 * name link_name itself (a row whose list is refused changes nothing:
 * "COULDNOT_INSERT_ALL_ROWS", or "LINK_TYPE_NUMBER_TOO_LARGE" as for the
 * inserts), or "none" to make the type simple with the next free prime,
 * which a simple type takes as a new one. A type given its own parts
 * again keeps its number. */
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
 * a link; the status of a port without one is changed all the same. */
FERRULE_API int UpdateMultiplePorts(const char* devicename, const char* port_nbr, int port_way,
                                    const char* port_type, int speed, const char* phy,
                                    int pxi_booting, int first_time, int last_rows,
                                    char* ErrMess);
FERRULE_API int UpdateMultiplePortStatuses(const char* devicename, const char* port_nbr,
                                           int port_way, const char* port_type, int admin_status,
                                           int first_time, int last_rows, char* ErrMess);

/* Swaps the hardware of two functional devices through the server; commits
 * when the server answers "SUCCESSFUL_SWAPPING...", otherwise undoes the
 * swap and answers -1 with the server's text as reason. */
FERRULE_API int SwapTwoDevices(const char* functional_devname1, const char* functional_devname2,
                               const char* comments, char* ErrMess);

/* Deletes a link by id (macro_link 1: between devices, with the stored paths
 * through it; otherwise inside a board), or a port by id with its link, the
 * link's paths and the hardware port of the device's mounted hardware. An
 * unknown id answers -1 ("LINKID DOESN'T EXIST", "PORTID DOESN'T EXIST"),
 * and commits all the same; a failed path removal undoes the deletion and
 * answers -1. A port without a link answers 0 with "NO_ERROR in
 * DeletePortRow but no link was deleted". A port with two links (links have
 * no unique key) cannot be deleted: 20000, "query returned more than one
 * row", nothing deleted; delete one of its links by id first. */
FERRULE_API int DeleteLinkRow(int linkid, int macro_link, char* ErrMess);
FERRULE_API int DeletePortRow(int portid, char* ErrMess);

#ifdef __cplusplus
}
#endif

#endif
