// Every CTRL function of the plug-in, in the order scripts and the
// platform see them: result class, name, wrapper, result of a refused
// call, parameter string. The parameter strings are the functions'
// declarations exactly as published, odd blanks and names included; the
// dispatch counts their parameters. Five names stand twice, with the same
// wrapper. A function whose wrapper is kNotBuilt is listed but refuses
// every call with its default result.
#include "function_table.h"
#include "wrappers.h"

namespace ferrule::ctrl {
namespace {

constexpr VariableType kText = kTextVariable;
constexpr VariableType kInt = kIntegerVariable;
constexpr VariableType kList = kDynVariable;

// The result of a refused call.
enum DefaultResult {
  kZero,      // an integer 0
  kNullText,  // a text made from a null text
};

struct FunctionRow {
  VariableType result;
  const char* name;
  WrapperBinding wrapper;
  DefaultResult refused;
  const char* params;
};

constexpr unsigned char kFlag = 1;  // the platform's flag, 1 for every function

const FunctionRow kFunctions[] = {
    /*  1 */ {kText, "PVSSGetDeviceTypeRow", Bind<PVSSGetDeviceTypeRow>(), kNullText,
              "(string dtype)"},
    /*  2 */ {kInt,  "PVSSDBDeconnexion", Bind<PVSSDBDeconnexion>(), kZero,
              "(string   ErrMess)"},
    /*  3 */ {kInt,  "PVSSDBConnexion", Bind<PVSSDBConnexion>(), kZero,
              "(string server,string usr,string pwd,string   ErrMess)"},
    /*  4 */ {kText, "PVSSGetDeviceRow_devicename", Bind<PVSSGetDeviceRow_devicename>(), kNullText,
              "(string dname)"},
    /*  5 */ {kText, "PVSSGetDeviceName_deviceid", Bind<PVSSGetDeviceName_deviceid>(), kNullText,
              "(int deviceid)"},
    /*  6 */ {kInt,  "PVSSGetDeviceID_devicename", Bind<PVSSGetDeviceID_devicename>(), kZero,
              "(string devicename,string   ErrMess)"},
    /*  7 */ {kText, "PVSSGetDeviceRow_devid", Bind<PVSSGetDeviceRow_devid>(), kNullText,
              "(int dID)"},
    /*  8 */ {kText, "PVSSGetPortRow_devid", Bind<PVSSGetPortRow_devid>(), kNullText,
              "(int devID, string pt_nb,int pway, string ptype)"},
    /*  9 */ {kText, "PVSSGetPortRow_pid", Bind<PVSSGetPortRow_pid>(), kNullText,
              "(int dID)"},
    /* 10 */ {kText, "PVSSGetMacroConnectivityRow_node", Bind<PVSSGetMacroConnectivityRow_node>(), kNullText,
              "(int nodeID, string ptnb,int pway,string ptype)"},
    /* 11 */ {kText, "PVSSGetMacroConnectivityRow_lkid", Bind<PVSSGetMacroConnectivityRow_lkid>(), kNullText,
              "(int lkID)"},
    /* 12 */ {kText, "PVSSGetIPInfoRow", Bind<PVSSGetIPInfoRow>(), kNullText,
              "(string ip_add)"},
    /* 13 */ {kText, "PVSSGetLkTypeRow_lkname", Bind<PVSSGetLkTypeRow_lkname>(), kNullText,
              "(string lkname)"},
    /* 14 */ {kList, "PVSSGetDeviceIDsPerType", Bind<PVSSGetDeviceIDsPerType>(), kZero,
              "(string dtype,string   ErrMess)"},
    /* 15 */ {kInt,  "PVSSGetDeviceNamesPerType", Bind<PVSSGetDeviceNamesPerType>(), kZero,
              "(string dtype,dyn_string devnames,dyn_int devids)"},
    /* 16 */ {kList, "PVSSGetFreeDeviceNamesPerType", Bind<PVSSGetFreeDeviceNamesPerType>(), kNullText,
              "(string dtype)"},
    /* 17 */ {kList, "PVSSGetDestinationNamePerDevPort", Bind<PVSSGetDestinationNamePerDevPort>(), kNullText,
              "(string devname,string ptnb,string ptype)"},
    /* 18 */ {kList, "PVSSGetLkFromDevID", Bind<PVSSGetLkFromDevID>(), kZero,
              "(int node_from,string   ErrMess)"},
    /* 19 */ {kList, "PVSSGetLkToDevID", Bind<PVSSGetLkToDevID>(), kZero,
              "(int node_to,string   ErrMess)"},
    /* 20 */ {kList, "PVSSGetPortIDPerDevID", Bind<PVSSGetPortIDPerDevID>(), kZero,
              "(int devid,string   ErrMess)"},
    /* 21 */ {kList, "PVSSGetMacIPAddPerDevID", Bind<PVSSGetMacIPAddPerDevID>(), kZero,
              "(int devid)"},
    /* 22 */ {kText, "PVSSGetLkTypeRow_lknb", Bind<PVSSGetLkTypeRow_lknb>(), kNullText,
              "(int lktype_nb)"},
    /* 23 */ {kText, "PVSSInsertDeviceType", Bind<PVSSInsertDeviceType>(), kNullText,
              "(string sysname,string dtype,int nbinput,int nboutput,string description,string rgbcolor,int last_rows)"},
    /* 24 */ {kText, "PVSSInsertFunctionalDevice", Bind<PVSSInsertFunctionalDevice>(), kNullText,
              "(string sysname,string dname,string dtype,int node,int promiscuous_mode,string serialnb, string hwtype,string responsible,string location,string comments,int last_rows)"},
    /* 25 */ {kText, "PVSSInsertPort", Bind<PVSSInsertPort>(), kNullText,
              "(string dname,string pt_nb,string pt_type,int pway,string bia,string ipname,string ipadd,string subnet,string macadd,int pxibooting,int speed, string phy,int admin_status,int last_rows)"},
    /* 26 */ {kText, "PVSSInsertSimpleLinkType", Bind<PVSSInsertSimpleLinkType>(), kNullText,
              "(string lktype_name,int last_rows)"},
    /* 27 */ {kText, "PVSSInsertMacroLink", Bind<PVSSInsertMacroLink>(), kNullText,
              "(string node_from,string node_to,string port_from,int port_typefrom,string port_to,int port_typeto ,string link_type_name ,int bidirectional_link,string link_info,int last_rows)"},
    /* 28 */ {kText, "PVSSInsertCompositeLinkType", Bind<PVSSInsertCompositeLinkType>(), kNullText,
              "(string lktype_name,dyn_string lktype_list,int last_rows)"},
    /* 29 */ {kText, "PVSSInsertMultipleDeviceTypes", Bind<PVSSInsertMultipleDeviceTypes>(), kNullText,
              "(string sysname,string dtype,int nbinput,int nboutput,string description,string rgbcolor,int first_time,int last_rows)"},
    /* 30 */ {kText, "PVSSInsertMultipleFunctionalDevices", Bind<PVSSInsertMultipleFunctionalDevices>(), kNullText,
              "(string sysname,string dname,string dtype,int node,int promiscuous_mode,string serialnb, string hwtype,string responsible,string location,string comments,int first_time,int last_rows)"},
    /* 31 */ {kText, "PVSSInsertMultiplePorts", Bind<PVSSInsertMultiplePorts>(), kNullText,
              "(string dname,string pt_nb,string pt_type,int pway,string bia,string ipname,string ipadd,string subnet,string macadd,int pxibooting,int speed, string phy,int admin_status,int first_time,int last_rows)"},
    /* 32 */ {kText, "PVSSInsertMultipleSimpleLinkTypes", Bind<PVSSInsertMultipleSimpleLinkTypes>(), kNullText,
              "(string lktype_name,int first_time,int last_rows)"},
    /* 33 */ {kText, "PVSSInsertMultipleMacroLinks", Bind<PVSSInsertMultipleMacroLinks>(), kNullText,
              "(string node_from,string node_to,string port_from,int port_typefrom,string port_to,int port_typeto,string link_type_name ,int bidirectional_link,string link_info,int first_time,int last_rows)"},
    /* 34 */ {kText, "PVSSInsertMultipleCompositeLinkTypes", Bind<PVSSInsertMultipleCompositeLinkTypes>(), kNullText,
              "(string lktype_name,dyn_string lktype_list,int first_time,int last_rows)"},
    /* 35 */ {kInt,  "PVSSCreateTableSchema", Bind<PVSSCreateTableSchema>(), kZero,
              "(string   ErrMess)"},
    /* 36 */ {kInt,  "PVSSDropTableSchema", Bind<PVSSDropTableSchema>(), kZero,
              "(string   ErrMess)"},
    /* 37 */ {kInt,  "PVSSCreateRoutingTable", Bind<PVSSCreateRoutingTable>(), kZero,
              "(string devicename,int roundtrip,string   ErrMess)"},
    /* 38 */ {kInt,  "PVSSCreateDestinationTable", Bind<PVSSCreateDestinationTable>(), kZero,
              "(string devicename,int roundtrip,string   ErrMess)"},
    /* 39 */ {kInt,  "PVSSGetConnectivityBetweenDevices", kNotBuilt, kZero,
              "(string dfrom, string dto,dyn_string nfrom_list, dyn_string pfrom_list,dyn_int   pwayfrom_list,dyn_string nto_list,dyn_string pto_list, dyn_int   pwayto_list, dyn_int   pid_list,dyn_string link_info,string   ErrMess)"},
    /* 40 */ {kInt,  "PVSSGetConnOutBetweenDeviceDeviceType", kNotBuilt, kZero,
              "(string dfrom, string dto,int devtype_given, dyn_string   pfrom_list,string ErrMess)"},
    /* 41 */ {kInt,  "PVSSGetDetailedConnBetweenDeviceDevType", kNotBuilt, kZero,
              "(string dfrom, string dto,int dto_typegiven,dyn_string   nfrom_list,dyn_string pfrom_list,dyn_int pwayfrom_list, dyn_string nto_list, dyn_string   pto_list, dyn_int   pwayto_list, dyn_int   pid_list, dyn_int   lkpos_list,dyn_string link_info,string ErrMess)"},
    /* 42 */ {kInt,  "PVSSGetDetailedConnectivityBetweenDevices", kNotBuilt, kZero,
              "(string dfrom, string dto,dyn_string   nfrom_list, dyn_string nto_list, dyn_string pfrom_list,dyn_int pwayfrom_list, dyn_string   pto_list,dyn_int   pwayto_list, dyn_int   pid_list, dyn_int   lkpos_list,dyn_string link_info,string ErrMess)"},
    /* 43 */ {kInt,  "PVSSUpdateMultipleDeviceActive", Bind<PVSSUpdateMultipleDeviceActive>(), kZero,
              "(string devicename,int active, int first_rows,int last_rows, string errMess)"},
    /* 44 */ {kInt,  "PVSSUpdateMultipleDeviceActiveByType", Bind<PVSSUpdateMultipleDeviceActiveByType>(), kZero,
              "(string devicename,int active,int devtype_given,int last_rows, string errMess)"},
    /* 45 */ {kInt,  "PVSSGetStatusSubsystem", Bind<PVSSGetStatusSubsystem>(), kZero,
              "(dyn_string subsytemname,dyn_int SubsystemStatus)"},
    /* 46 */ {kText, "PVSSGetBoardCpntRow_cpntname", Bind<PVSSGetBoardCpntRow_cpntname>(), kNullText,
              "(string cpntname)"},
    /* 47 */ {kText, "PVSSGetHWCpntRow_serialnb", Bind<PVSSGetHWCpntRow_serialnb>(), kNullText,
              "(string serialnb)"},
    /* 48 */ {kText, "PVSSGetBoardCpntRow_cpntid", Bind<PVSSGetBoardCpntRow_cpntid>(), kNullText,
              "(int cpntid)"},
    /* 49 */ {kText, "PVSSGetHWCpntRow_snbid", Bind<PVSSGetHWCpntRow_snbid>(), kNullText,
              "(int snbtid)"},
    /* 50 */ {kText, "PVSSGetMicroConnectivityRow_lkid", Bind<PVSSGetMicroConnectivityRow_lkid>(), kNullText,
              "(int lkid)"},
    /* 51 */ {kText, "PVSSGetMicroConnectivityRow_node", Bind<PVSSGetMicroConnectivityRow_node>(), kNullText,
              "(int nodeID,int ptnb,int way)"},
    /* 52 */ {kList, "PVSSGetSpareHWCpntPerType", Bind<PVSSGetSpareHWCpntPerType>(), kNullText,
              "(string hwtype)"},
    /* 53 */ {kList, "PVSSGetSpareHWPerType", Bind<PVSSGetSpareHWPerType>(), kNullText,
              "(string hwtype)"},
    /* 54 */ {kList, "PVSSGetSpareHWCpntPerLocation", Bind<PVSSGetSpareHWCpntPerLocation>(), kNullText,
              "(string location)"},
    /* 55 */ {kList, "PVSSGetDeviceNamesPerLocation", Bind<PVSSGetDeviceNamesPerLocation>(), kNullText,
              "(string location)"},
    /* 56 */ {kList, "PVSSGetCpntNamesPerBoard", Bind<PVSSGetCpntNamesPerBoard>(), kNullText,
              "(string location)"},
    /* 57 */ {kList, "PVSSGetMicroLkToCpntID", Bind<PVSSGetMicroLkToCpntID>(), kNullText,
              "(int cpntid_to,int motherboard,string ErrMess)"},
    /* 58 */ {kList, "PVSSGetMicroLkFromCpntID", Bind<PVSSGetMicroLkFromCpntID>(), kNullText,
              "(int cpntid_from,int motherboard,string ErrMess)"},
    /* 59 */ {kList, "PVSSGetBoardCpntPerType", Bind<PVSSGetBoardCpntPerType>(), kNullText,
              "(string cpnttype)"},
    /* 60 */ {kText, "PVSSInsertMultipleBoardCpnts", Bind<PVSSInsertMultipleBoardCpnts>(), kNullText,
              "(string cpntname,string cpnttype,int replacable,string motherboardname,string serialnb,string hwtype,string responsible,string location,string comments,int first, int last)"},
    /* 61 */ {kText, "PVSSInsertMultipleSpareDevices", Bind<PVSSInsertMultipleSpareDevices>(), kNullText,
              "(string hwname,string hwtype,string serialnb,string responsible,string location,string comments,int first, int last)"},
    /* 62 */ {kText, "PVSSInsertSpareDevice", Bind<PVSSInsertSpareDevice>(), kNullText,
              "(string hwname,string hwtype,string serialnb,string responsible,string location,string comments, int last)"},
    /* 63 */ {kText, "PVSSInsertTestFunctionalDevice", Bind<PVSSInsertTestFunctionalDevice>(), kNullText,
              "(string location,dyn_string ipaddList,dyn_string ipnameList,dyn_string subnetList,dyn_string portnbList,dyn_string port_typeList,dyn_int port_wayList, int last)"},
    /* 64 */ {kText, "PVSSUpdateMultiplePorts", Bind<PVSSUpdateMultiplePorts>(), kNullText,
              "(string dname,string pt_nb,string pt_type,int pway,int pxibooting,int speed, string phy,int first_time,int last_rows)"},
    /* 65 */ {kText, "PVSSUpdateMultiplePortStatuses", Bind<PVSSUpdateMultiplePortStatuses>(), kNullText,
              "(string dname,string pt_nb,string pt_type,int pway,int admin_status,int first_time,int last_rows)"},
    /* 66 */ {kText, "PVSSUpdateMultipleAttributeMacIPs", Bind<PVSSUpdateMultipleAttributeMacIPs>(), kNullText,
              "(string ipadd,string subnet_mask,string ipname,int first_time,int last_rows)"},
    /* 67 */ {kText, "PVSSUpdateMultipleIPAddresses", Bind<PVSSUpdateMultipleIPAddresses>(), kNullText,
              "(string ipadd,string old_ipadd,int first_time,int last_rows)"},
    /* 68 */ {kText, "PVSSUpdateMultipleCompositeLinkTypes", Bind<PVSSUpdateMultipleCompositeLinkTypes>(), kNullText,
              "(string link_name,string simple_linkList,int first_time,int last_rows)"},
    /* 69 */ {kText, "PVSSUpdateMultipleLinkTypeNames", Bind<PVSSUpdateMultipleLinkTypeNames>(), kNullText,
              "(string oldlink_name,string oldlink_name,int first_time,int last_rows)"},
    /* 70 */ {kText, "PVSSUpdateMultipleDeviceTypeAttributes", Bind<PVSSUpdateMultipleDeviceTypeAttributes>(), kNullText,
              "(string devtype,string description,int nbinput,int nboutput,string rgbcolor,int first_time,int last_rows)"},
    /* 71 */ {kText, "PVSSUpdateMultipleDeviceTypes", Bind<PVSSUpdateMultipleDeviceTypes>(), kNullText,
              "(string old_devtype,string devtype,int first_time,int last_rows)"},
    /* 72 */ {kText, "PVSSGetMacroConnectivityRow_nodename", Bind<PVSSGetMacroConnectivityRow_nodename>(), kNullText,
              "(string nodename, string ptnb,int pway,string ptype)"},
    /* 73 */ {kList, "PVSSGetLkTypeDecomposition_lknb", Bind<PVSSGetLkTypeDecomposition_lknb>(), kNullText,
              "(int linktype_nb)"},
    /* 74 */ {kText, "PVSSInsertMultipleSparePorts", Bind<PVSSInsertMultipleSparePorts>(), kNullText,
              "(string serialnb,string pt_nb,string pt_type,int pway,string bia,string macadd,int first_time,int last_rows)"},
    /* 75 */ {kText, "PVSSInsertSparePort", Bind<PVSSInsertSparePort>(), kNullText,
              "(string serialnb,string pt_nb,string pt_type,int pway,string bia,string macadd,int last_rows)"},
    /* 76 */ {kList, "PVSSGetSpareHWPerLocation", Bind<PVSSGetSpareHWPerLocation>(), kNullText,
              "(string location)"},
    /* 77 */ {kText, "PVSSGetFunctionalDeviceStatus", Bind<PVSSGetFunctionalDeviceStatus>(), kNullText,
              "(string dname)"},
    /* 78 */ {kText, "PVSSGetHWDeviceRow_serialnb", Bind<PVSSGetHWDeviceRow_serialnb>(), kNullText,
              "(string serialnb)"},
    /* 79 */ {kList, "PVSSGetFunctionalDeviceByStatus", Bind<PVSSGetFunctionalDeviceByStatus>(), kNullText,
              "(string system_name,string device_status)"},
    /* 80 */ {kText, "PVSSGetHWDeviceStatus", Bind<PVSSGetHWDeviceStatus>(), kNullText,
              "(string serialnb)"},
    /* 81 */ {kText, "PVSSGetHWLastFunctionalDevice", Bind<PVSSGetHWLastFunctionalDevice>(), kNullText,
              "(string serialnb)"},
    /* 82 */ {kText, "PVSSGetFunctionalDeviceLastHW", Bind<PVSSGetFunctionalDeviceLastHW>(), kNullText,
              "(string functional_name)"},
    /* 83 */ {kText, "PVSSDeleteLinkRow", Bind<PVSSDeleteLinkRow>(), kNullText,
              "(int linkid,int macro_link)"},
    /* 84 */ {kText, "PVSSSetToTestUseStatus", Bind<PVSSSetToTestUseStatus>(), kNullText,
              "(string functional_name,string user_comments,string status_datechange,string serialnb_replacement,string testdevice_name,string replace_date)"},
    /* 85 */ {kText, "PVSSUpdateHWBoardCpntStatus", Bind<PVSSUpdateHWBoardCpntStatus>(), kNullText,
              "(string serialnb,string new_status,string new_location,string user_comments,string status_datechange,string functional_cpntname)"},
    /* 86 */ {kText, "PVSSReplaceFunctionalBoardCpnt", Bind<PVSSReplaceFunctionalBoardCpnt>(), kNullText,
              "(string cpnt_name,string new_status,string new_location,string user_comments,string status_datechange,string serialnb_replacement,string replace_date)"},
    /* 87 */ {kText, "PVSSReplaceFunctionalDevice", Bind<PVSSReplaceFunctionalDevice>(), kNullText,
              "(string functional_name,string new_status,string new_location,string user_comments,string status_datechange,string serialnb_replacement,string replace_date)"},
    /* 88 */ {kText, "PVSSUpdateMultipleBidrectionalLinks", Bind<PVSSUpdateMultipleBidrectionalLinks>(), kNullText,
              "(string node_from,string node_to,string portnb_from,string portnb_to,string portype_from,string portype_to,int bidirectional_link,int first_rows,int last_rows)"},
    /* 89 */ {kText, "PVSSUpdateMultipleLkInfoLinks", Bind<PVSSUpdateMultipleLkInfoLinks>(), kNullText,
              "(string node_from,string node_to,string portnb_from,string portnb_to,string portype_from,string portype_to,string link_info,int first_rows,int last_rows)"},
    /* 90 */ {kText, "PVSSUpdateMultipleLkUsedLinks", Bind<PVSSUpdateMultipleLkUsedLinks>(), kNullText,
              "(string node_from,string node_to,string portnb_from,string portnb_to,string portype_from,string portype_to,int lkused,int first_rows,int last_rows)"},
    /* 91 */ {kText, "PVSSUpdateMultipleLkTypeLinks", Bind<PVSSUpdateMultipleLkTypeLinks>(), kNullText,
              "(string node_from,string node_to,string portnb_from,string portnb_to,string portype_from,string portype_to,string link_type,int first_rows,int last_rows)"},
    /* 92 */ {kText, "PVSSUpdateMultipleAttributesDevices", Bind<PVSSUpdateMultipleAttributesDevices>(), kNullText,
              "(string devname,int node,int promiscuous_mode,string location, int first_rows,int last_rows)"},
    /* 93 */ {kText, "PVSSUpdateMultipleDeviceSystemList", Bind<PVSSUpdateMultipleDeviceSystemList>(), kNullText,
              "(string devname,string new_systemList,int first_rows,int last_rows)"},
    /* 94 */ {kText, "PVSSUpdateMultipleDevNamesDevices", Bind<PVSSUpdateMultipleDevNamesDevices>(), kNullText,
              "(string old_devname,string devname,int first_rows,int last_rows)"},
    /* 95 */ {kText, "PVSSUpdateMultipleDTypeDevices", Bind<PVSSUpdateMultipleDTypeDevices>(), kNullText,
              "(string devname,string devtype,int first_rows,int last_rows)"},
    /* 96 */ {kText, "PVSSUpdateMultipleDeviceNodeUsed", Bind<PVSSUpdateMultipleDeviceNodeUsed>(), kNullText,
              "(string devname,int nodeused,int first_rows,int last_rows)"},
    /* 97 */ {kText, "PVSSUpdateMultipleDeviceNodeUsedByType", Bind<PVSSUpdateMultipleDeviceNodeUsedByType>(), kNullText,
              "(string devtype,int nodeused,int devtype_given,int last_rows)"},
    /* 98 */ {kList, "PVSSGetHistoryOfFunctionalBoardCpntName", Bind<PVSSGetHistoryOfFunctionalBoardCpntName>(), kNullText,
              "(string functional_cpntname,string min_date,string max_date)"},
    /* 99 */ {kList, "PVSSGetHistoryOfHWBoardCpnt", Bind<PVSSGetHistoryOfHWBoardCpnt>(), kNullText,
              "(string serial_nb,int snbid,string min_date,string max_date)"},
    /*100 */ {kList, "PVSSGetHistoryOfFunctionalDevice", Bind<PVSSGetHistoryOfFunctionalDevice>(), kNullText,
              "(string functional_name,string min_date,string max_date)"},
    /*101 */ {kList, "PVSSGetHistoryOfHWDevice", Bind<PVSSGetHistoryOfHWDevice>(), kNullText,
              "(string serial_nb,string min_date,string max_date)"},
    /*102 */ {kText, "PVSSGetCpntName_cpntid", Bind<PVSSGetCpntName_cpntid>(), kNullText,
              "(int cpntid)"},
    /*103 */ {kInt,  "PVSSGetCpntID_cpntname", Bind<PVSSGetCpntID_cpntname>(), kZero,
              "(string cpntname,string   ErrMess)"},
    /*104 */ {kText, "PVSSGetFunctionalBoardCpntNameLastHW", Bind<PVSSGetFunctionalBoardCpntNameLastHW>(), kNullText,
              "(string functional_name)"},
    /*105 */ {kText, "PVSSGetFunctionalBoardCpntStatus", Bind<PVSSGetFunctionalBoardCpntStatus>(), kNullText,
              "(string cpntname)"},
    /*106 */ {kList, "PVSSGetFunctionalDeviceByStatus", Bind<PVSSGetFunctionalDeviceByStatus>(), kNullText,
              "(string systemname,string device_status)"},
    /*107 */ {kList, "PVSSGetHWBoardCpntByStatus", Bind<PVSSGetHWBoardCpntByStatus>(), kNullText,
              "(string cpnt_status)"},
    /*108 */ {kList, "PVSSGetHWDeviceByStatus", Bind<PVSSGetHWDeviceByStatus>(), kNullText,
              "(string systemname,string device_status)"},
    /*109 */ {kText, "PVSSGetFunctionalDeviceLastHW", Bind<PVSSGetFunctionalDeviceLastHW>(), kNullText,
              "(string functional_name)"},
    /*110 */ {kText, "PVSSGetFunctionalDeviceStatus", Bind<PVSSGetFunctionalDeviceStatus>(), kNullText,
              "(string dname)"},
    /*111 */ {kText, "PVSSGetHWBoardCpntStatus", Bind<PVSSGetHWBoardCpntStatus>(), kNullText,
              "(string serialnb,int snbid)"},
    /*112 */ {kText, "PVSSGetHWDeviceStatus", Bind<PVSSGetHWDeviceStatus>(), kNullText,
              "(string dname)"},
    /*113 */ {kText, "PVSSGetHWLastFunctionalBoardCpntName", Bind<PVSSGetHWLastFunctionalBoardCpntName>(), kNullText,
              "(string hw_serialnb,int hw_snbid)"},
    /*114 */ {kText, "PVSSGetHWLastFunctionalDevice", Bind<PVSSGetHWLastFunctionalDevice>(), kNullText,
              "(string functional_name)"},
    /*115 */ {kInt,  "PVSSGetMicroConnectBetweenBoardCpntAndMotherBoard", Bind<PVSSGetMicroConnectBetweenBoardCpntAndMotherBoard>(), kZero,
              "(string cpnt_from,int mboard_pid,dyn_string nfrom_list,string lastlkfrom_list,string lastlkto_list,dyn_string nto_list,dyn_int pid_list,dyn_int lkpos_list,string   ErrMess)"},
    /*116 */ {kInt,  "PVSSGetMicroConnectFromPortid", Bind<PVSSGetMicroConnectFromPortid>(), kZero,
              "(int mboardportid_from,int mboardportid_to,string cpntname,dyn_string nfrom_list,string lastlkfrom_list,string lastlkto_list,dyn_string nto_list,dyn_int pid_list,dyn_int lkpos_list,string   ErrMess)"},
    /*117 */ {kInt,  "PVSSGetMicroConnectToCpntType", Bind<PVSSGetMicroConnectToCpntType>(), kZero,
              "(int mboardportid_from,int cpnttype_given,string cpnttype,dyn_string nfrom_list,string lastlkfrom_list,string lastlkto_list,dyn_string nto_list,dyn_int pid_list,dyn_int lkpos_list,string   ErrMess)"},
    /*118 */ {kText, "PVSSSwapTwoDevices", Bind<PVSSSwapTwoDevices>(), kNullText,
              "(string functional_devname1,string functional_devname2,string comments)"},
    /*119 */ {kInt,  "PVSSGetPortPerSubsystem", Bind<PVSSGetPortPerSubsystem>(), kZero,
              "(string dfrom,string system_name,dyn_string pfrom_list,string ErrMess)"},
    /*120 */ {kInt,  "PVSSLoadRoutingTable", Bind<PVSSLoadRoutingTable>(), kZero,
              "(string switch_name,dyn_string destinname_list,dyn_string nextport_list,dyn_string ipnext_list,dyn_string ipdestin_list,dyn_string subnetnext_list,dyn_string macaddnext_list,string ErrMess)"},
    /*121 */ {kText, "PVSSDeletePortRow", Bind<PVSSDeletePortRow>(), kNullText,
              "(int portid)"},
};

constexpr std::size_t kFunctionCount = 121;
static_assert(sizeof kFunctions / sizeof kFunctions[0] == kFunctionCount);

std::vector<ExternFuncDesc> BuildDescriptors() {
  std::vector<ExternFuncDesc> descriptors;
  descriptors.reserve(kFunctionCount);
  for (const FunctionRow& row : kFunctions) {
    const IntegerVar zero(0);
    const TextVar null_text(nullptr);
    const Variable& prototype = row.refused == kZero ? static_cast<const Variable&>(zero)
                                                     : static_cast<const Variable&>(null_text);
    descriptors.emplace_back(row.result, row.name, row.params, kFlag, row.wrapper, prototype);
  }
  return descriptors;
}

}  // namespace

const std::vector<ExternFuncDesc>& FunctionDescriptors() {
  static const std::vector<ExternFuncDesc> descriptors = BuildDescriptors();
  return descriptors;
}

}  // namespace ferrule::ctrl
