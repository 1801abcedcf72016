/*
 * Built and run by scripts/db install (install.sh): prints the SCRAM-SHA-256
 * verifier of a new account's password, so that the server is sent the
 * verifier and never the password. libpq's PQencryptPasswordConn makes it,
 * preparing the password as libpq does when it logs in with it and as the
 * server does when it checks it.
 *
 *   scram_verifier ACCOUNT   < the password
 *
 * The password comes on standard input, which no other user can read,
 * unlike a command line. PQencryptPasswordConn needs a connection object
 * only for its error text when the algorithm is named: it is given one that
 * never connects (an unknown option stops libpq before any network), so the
 * program talks to no server. Exit status: 0 with the verifier on standard
 * output; 1 for an empty password (of which the server would make an
 * account without one), or when no verifier was made, with the reason on
 * standard error; 2 for wrong usage.
 */
#include <libpq-fe.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

/* All of standard input, with a NUL byte after it; NULL when it cannot be
 * read or holds a NUL byte of its own. */
static char *read_input(void) {
  size_t size = 4096, used = 0;
  char *buffer = malloc(size);
  while (buffer != NULL) {
    used += fread(buffer + used, 1, size - used - 1, stdin);
    if (ferror(stdin)) break;
    if (feof(stdin)) {
      buffer[used] = '\0';
      if (strlen(buffer) == used) return buffer;
      break;
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
    fprintf(stderr, "usage: scram_verifier ACCOUNT <PASSWORD\n");
    return 2;
  }
  char *password = read_input();
  if (password == NULL) {
    fprintf(stderr, "the password could not be read (or holds a NUL byte)\n");
    return 1;
  }
  int status = 1;
  if (password[0] == '\0') {
    fprintf(stderr, "the password is empty\n");
  } else {
    PGconn *conn = PQconnectStart("scram_verifier_connects_nowhere=1");
    char *verifier =
        conn ? PQencryptPasswordConn(conn, password, argv[1], "scram-sha-256") : NULL;
    if (verifier == NULL) {
      fprintf(stderr, "no verifier was made: %s\n",
              conn ? PQerrorMessage(conn) : "out of memory");
    } else {
      printf("%s\n", verifier);
      PQfreemem(verifier);
      status = fflush(stdout) == 0 ? 0 : 1;
    }
    PQfinish(conn);
  }
  memset(password, 0, strlen(password));
  free(password);
  return status;
}
