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

// Inserts (insert_wrappers.cpp).
const Variable* PVSSInsertDeviceType(TextVar* sysname, TextVar* dtype, IntegerVar* nbinput,
                                     IntegerVar* nboutput, TextVar* description,
                                     TextVar* rgbcolor, IntegerVar* last_rows);
const Variable* PVSSInsertMultipleDeviceTypes(TextVar* sysname, TextVar* dtype,
                                              IntegerVar* nbinput, IntegerVar* nboutput,
                                              TextVar* description, TextVar* rgbcolor,
                                              IntegerVar* first_time, IntegerVar* last_rows);
const Variable* PVSSInsertFunctionalDevice(TextVar* sysname, TextVar* dname, TextVar* dtype,
                                           IntegerVar* node, IntegerVar* promiscuous_mode,
                                           TextVar* serialnb, TextVar* hwtype,
                                           TextVar* responsible, TextVar* location,
                                           TextVar* comments, IntegerVar* last_rows);
const Variable* PVSSInsertMultipleFunctionalDevices(
    TextVar* sysname, TextVar* dname, TextVar* dtype, IntegerVar* node,
    IntegerVar* promiscuous_mode, TextVar* serialnb, TextVar* hwtype, TextVar* responsible,
    TextVar* location, TextVar* comments, IntegerVar* first_time, IntegerVar* last_rows);
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
                                    TextVar* port_typefrom, TextVar* port_to,
                                    TextVar* port_typeto, TextVar* link_type_name,
                                    IntegerVar* bidirectional_link, TextVar* link_info,
                                    IntegerVar* last_rows);
const Variable* PVSSInsertMultipleMacroLinks(TextVar* node_from, TextVar* node_to,
                                             TextVar* port_from, TextVar* port_typefrom,
                                             TextVar* port_to, TextVar* port_typeto,
                                             TextVar* link_type_name,
                                             IntegerVar* bidirectional_link, TextVar* link_info,
                                             IntegerVar* first_time, IntegerVar* last_rows);

}  // namespace ferrule::ctrl
