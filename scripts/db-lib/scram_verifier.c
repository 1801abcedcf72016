/*
 * Built and run by scripts/db install (install.sh): prints the SCRAM-SHA-256
 * verifier of a new account's password, so that the server is sent the
 * verifier and never the password. libpq's PQencryptPasswordConn makes it,
 * preparing the password as libpq does when it logs in with it and as the
 * server does when it checks it.
 *
 *   scram_verifier ACCOUNT   < CONNINFO, a NUL byte, the password
 *
 * Both come on standard input, which no other user can read, unlike a
 * command line. The connection to CONNINFO is the one PQencryptPasswordConn
 * is given; the algorithm is named, so it asks the server nothing. Exit
 * status: 0 with the verifier on standard output; 1 for an empty password
 * (of which the server would make an account without one), or when no
 * connection or no verifier was made, with the reason on standard error;
 * 2 for wrong usage.
 */
#include <libpq-fe.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

/* All of standard input, with a NUL byte after it; NULL when it cannot be
 * read. */
static char *read_input(size_t *length) {
  size_t size = 4096, used = 0;
  char *buffer = malloc(size);
  while (buffer != NULL) {
    used += fread(buffer + used, 1, size - used - 1, stdin);
    if (ferror(stdin)) break;
    if (feof(stdin)) {
      buffer[used] = '\0';
      *length = used;
      return buffer;
    }
    char *bigger = realloc(buffer, size * 2);
    if (bigger == NULL) break;
    buffer = bigger;
    size *= 2;
  }
  free(buffer);
  return NULL;
}

int main(int argc, char **argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: scram_verifier ACCOUNT <CONNINFO, a NUL byte, PASSWORD\n");
    return 2;
  }
  size_t length = 0;
  char *input = read_input(&length);
  if (input == NULL) {
    fprintf(stderr, "the connection string and the password could not be read\n");
    return 1;
  }
  const char *conninfo = input;
  size_t conninfo_length = strlen(conninfo);
  if (conninfo_length == length) {
    fprintf(stderr, "no password follows the connection string\n");
    free(input);
    return 2;
  }
  const char *password = input + conninfo_length + 1;
  int status = 1;
  if (password[0] == '\0') {
    fprintf(stderr, "the password is empty\n");
  } else {
    PGconn *conn = PQconnectdb(conninfo);
    if (PQstatus(conn) != CONNECTION_OK) {
      fprintf(stderr, "%s", PQerrorMessage(conn));
    } else {
      char *verifier = PQencryptPasswordConn(conn, password, argv[1], "scram-sha-256");
      if (verifier == NULL) {
        fprintf(stderr, "%s", PQerrorMessage(conn));
      } else {
        printf("%s\n", verifier);
        PQfreemem(verifier);
        status = fflush(stdout) == 0 ? 0 : 1;
      }
    }
    PQfinish(conn);
  }
  free(input);
  return status;
}
