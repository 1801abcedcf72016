/* A program of one's own, written from library/ferrule.h alone and linked
 * against libferrule.so only (the README shows how to build and run it).
 * It connects with the settings given on its command line or, when none
 * are given, with those of the environment variables FERRULE_SERVER,
 * FERRULE_USER and FERRULE_PASSWORD (which keep the password out of the
 * command line that every user of the machine can read); the library
 * itself reads no environment. It records the device type SWITCH of the
 * subsystem DAQ unless it is there, reads its row back and disconnects.
 * The library's own lines come on standard output too; the program's
 * results are its "SWITCH: " line and its exit status. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "ferrule.h"

int main(int argc, char** argv) {
  char err[400]; /* ErrMess needs 312 bytes */
  char row[1000];
  int len = sizeof row;
  int rc;
  const char* server = getenv("FERRULE_SERVER");
  const char* user = getenv("FERRULE_USER");
  const char* password = getenv("FERRULE_PASSWORD");

  if (argc == 4) {
    server = argv[1];
    user = argv[2];
    password = argv[3];
  } else if (argc != 1 || !server || !user || !password) {
    fprintf(stderr,
            "usage: %s [SERVER USER PASSWORD]\n"
            "without arguments, FERRULE_SERVER, FERRULE_USER and FERRULE_PASSWORD "
            "must be set (eval \"$(scripts/db env)\")\n",
            argv[0]);
    return 2;
  }
  if (DBConnexion(server, user, password, err) != 0) {
    fprintf(stderr, "%s\n", err);
    return 1;
  }

  rc = GetDeviceTypeRow("SWITCH", &len, row, err);
  if (rc == 0 && strcmp(row, "NO_ROWS_SELECTED") == 0) {
    rc = InsertDeviceType("DAQ", "SWITCH", 48, 48, "core switch", NULL, 1, err);
    len = sizeof row;
    if (rc == 0) rc = GetDeviceTypeRow("SWITCH", &len, row, err);
  }
  if (rc == 0)
    printf("SWITCH: %s\n", row);
  else
    fprintf(stderr, "%s\n", err);

  DBDeconnexion(err);
  return rc == 0 ? 0 : 1;
}
