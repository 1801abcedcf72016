/* A program of one's own, written from library/ferrule.h alone and linked
 * against libferrule.so only (the README shows how to build and run it).
 * It connects with the settings given on its command line, records the
 * device type SWITCH of the subsystem DAQ unless it is there, reads its row
 * back and disconnects. The library's own lines come on standard output
 * too; the program's results are its "SWITCH: " line and its exit status. */
#include <stdio.h>
#include <string.h>

#include "ferrule.h"

int main(int argc, char** argv) {
  char err[400]; /* ErrMess needs 312 bytes */
  char row[1000];
  int len = sizeof row;
  int rc;

  if (argc != 4) {
    fprintf(stderr, "usage: %s SERVER USER PASSWORD\n", argv[0]);
    return 2;
  }
  if (DBConnexion(argv[1], argv[2], argv[3], err) != 0) {
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
