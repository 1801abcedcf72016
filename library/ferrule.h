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

#ifdef __cplusplus
}
#endif

#endif
