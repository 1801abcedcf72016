/*
 * The database client layer: a small call interface with the shape of the
 * classic handle-based client API, implemented over libpq.
 *
 * Handles form a tree: environment -> server, error, service context,
 * session, statement. A statement is prepared (kept locally), gets binds by
 * name or position and defines by position, is executed (queries with zero
 * iterations, DML and anonymous blocks with N iterations over array binds)
 * and fetched one row at a time or into arrays of rows.
 *
 * Semantics kept from the classic server, because callers depend on them:
 *  - an empty text bind is NULL;
 *  - a transaction begins implicitly with the first statement after a
 *    commit or rollback and lasts until OCITransCommit / OCITransRollback;
 *  - a failed statement undoes only itself, the transaction goes on;
 *  - the statements "SAVEPOINT name" and "ROLLBACK TO SAVEPOINT name" mark
 *    and undo part of a transaction, failed statements included;
 *  - anonymous blocks (texts beginning with BEGIN or DECLARE) have in/out
 *    binds: a bind the block assigns is written back to the caller's buffer;
 *  - errors carry the classic error numbers (1 unique, 1400 not null, ...).
 */
#ifndef FERRULE_PLATFORM_OCI_H
#define FERRULE_PLATFORM_OCI_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef int sword;
typedef int sb4;
typedef unsigned int ub4;
typedef short sb2;
typedef unsigned short ub2;
typedef unsigned char ub1;
typedef unsigned char OraText;
typedef void dvoid;

typedef struct OCIEnv OCIEnv;
typedef struct OCIError OCIError;
typedef struct OCIServer OCIServer;
typedef struct OCISvcCtx OCISvcCtx;
typedef struct OCISession OCISession;
typedef struct OCIStmt OCIStmt;
typedef struct OCIBind OCIBind;
typedef struct OCIDefine OCIDefine;
typedef struct OCIParam OCIParam;
typedef struct OCISnapshot OCISnapshot;

/* Status values. */
#define OCI_SUCCESS 0
#define OCI_SUCCESS_WITH_INFO 1
#define OCI_NEED_DATA 99
#define OCI_NO_DATA 100
#define OCI_ERROR (-1)
#define OCI_INVALID_HANDLE (-2)
#define OCI_STILL_EXECUTING (-3123)

/* Modes and flags. */
#define OCI_DEFAULT 0u
#define OCI_NTV_SYNTAX 1u
#define OCI_CRED_RDBMS 1u
#define OCI_FETCH_NEXT 2u

/* Handle and descriptor types. */
#define OCI_HTYPE_ENV 1u
#define OCI_HTYPE_ERROR 2u
#define OCI_HTYPE_SVCCTX 3u
#define OCI_HTYPE_STMT 4u
#define OCI_HTYPE_BIND 5u
#define OCI_HTYPE_DEFINE 6u
#define OCI_HTYPE_SERVER 8u
#define OCI_HTYPE_SESSION 9u
#define OCI_DTYPE_PARAM 53u

/* Attributes. */
#define OCI_ATTR_DATA_SIZE 1u
#define OCI_ATTR_SERVER 6u
#define OCI_ATTR_SESSION 7u
#define OCI_ATTR_ROW_COUNT 9u
#define OCI_ATTR_PREFETCH_ROWS 11u
#define OCI_ATTR_PARAM_COUNT 18u
#define OCI_ATTR_USERNAME 22u
#define OCI_ATTR_PASSWORD 23u
#define OCI_ATTR_CHARSET_ID 31u
#define OCI_ATTR_ROWS_FETCHED 197u
#define OCI_ATTR_CALL_TIMEOUT 531u

/* External data types of binds and defines. */
#define SQLT_CHR 1u  /* text of an explicit length, no terminator needed */
#define SQLT_INT 3u  /* signed integer of the given size (4 bytes) */
#define SQLT_STR 5u  /* NUL-terminated text */

sword OCIEnvCreate(OCIEnv **envhpp, ub4 mode, void *ctxp, void *malocfp,
                   void *ralocfp, void *mfreefp, size_t xtramem_sz,
                   void **usrmempp);
sword OCITerminate(ub4 mode);

sword OCIHandleAlloc(const void *parenth, void **hndlpp, ub4 type,
                     size_t xtramem_sz, void **usrmempp);
sword OCIHandleFree(void *hndlp, ub4 type);

/* OCI_ATTR_CALL_TIMEOUT (service context, a ub4 of milliseconds, 0 by
 * default: no limit): how long each later call with that context (session
 * begin, execute, commit, rollback) may wait for the server in all. A call
 * that runs out of time fails with number 3156 and its connection is
 * closed; later calls on it fail with number 3114. */
sword OCIAttrSet(void *trgthndlp, ub4 trghndltyp, void *attributep, ub4 size,
                 ub4 attrtype, OCIError *errhp);
/* OCI_ATTR_ROW_COUNT, OCI_ATTR_PARAM_COUNT, OCI_ATTR_ROWS_FETCHED (statement) and
 * OCI_ATTR_DATA_SIZE (column parameter) are written as 4-byte unsigned
 * integers: read them into an int or a ub4. OCI_ATTR_CHARSET_ID (session) is
 * the client encoding of its open connection, libpq's number of it (as
 * PQclientEncoding gives), written the same way; it fails without one. */
sword OCIAttrGet(const void *trgthndlp, ub4 trghndltyp, void *attributep,
                 ub4 *sizep, ub4 attrtype, OCIError *errhp);

sword OCIServerAttach(OCIServer *srvhp, OCIError *errhp, const OraText *dblink,
                      sb4 dblink_len, ub4 mode);
sword OCISessionBegin(OCISvcCtx *svchp, OCIError *errhp, OCISession *usrhp,
                      ub4 credt, ub4 mode);

sword OCIStmtPrepare(OCIStmt *stmtp, OCIError *errhp, const OraText *stmt,
                     ub4 stmt_len, ub4 language, ub4 mode);

/* valuep/value_sz: the caller's value (for arrays, element 0 and the size of
 * one element). indp: an sb2 indicator (-1 = NULL) or null. alenp and rcodep
 * are accepted and ignored. */
sword OCIBindByName(OCIStmt *stmtp, OCIBind **bindpp, OCIError *errhp,
                    const OraText *placeholder, sb4 placeh_len, void *valuep,
                    sb4 value_sz, ub2 dty, void *indp, ub2 *alenp,
                    ub2 *rcodep, ub4 maxarr_len, ub4 *curelep, ub4 mode);
/* Position counts the distinct placeholder names in order of appearance,
 * starting at 1. */
sword OCIBindByPos(OCIStmt *stmtp, OCIBind **bindpp, OCIError *errhp,
                   ub4 position, void *valuep, sb4 value_sz, ub2 dty,
                   void *indp, ub2 *alenp, ub2 *rcodep, ub4 maxarr_len,
                   ub4 *curelep, ub4 mode);
/* Strides of an array bind: element i of the value is at valuep + i*pvskip,
 * its indicator at indp + i*indskip. */
sword OCIBindArrayOfStruct(OCIBind *bindp, OCIError *errhp, ub4 pvskip,
                           ub4 indskip, ub4 alskip, ub4 rcskip);

/* rlenp receives the length written (or the full length of a cut value). A
 * text cut to fit ends on a whole character of the connection's encoding,
 * an SQLT_CHR one padded with blanks to the end of its buffer. */
sword OCIDefineByPos(OCIStmt *stmtp, OCIDefine **defnpp, OCIError *errhp,
                     ub4 position, void *valuep, sb4 value_sz, ub2 dty,
                     void *indp, ub2 *rlenp, ub2 *rcodep, ub4 mode);

/* Strides of an array define: row i of a fetch goes to valuep + i*pvskip,
 * its indicator to indp + i*indskip, its length to rlenp + i*rlskip. */
sword OCIDefineArrayOfStruct(OCIDefine *defnp, OCIError *errhp, ub4 pvskip,
                             ub4 indskip, ub4 rlskip, ub4 rcskip);

/* A select-list parameter (position from 1) of an executed query; it belongs
 * to the statement and is freed with it. */
sword OCIParamGet(const void *hndlp, ub4 htype, OCIError *errhp,
                  void **parmdpp, ub4 pos);

/* iters 0 runs a query; iters N >= 1 runs DML or a block once per array
 * element, pipelined. */
sword OCIStmtExecute(OCISvcCtx *svchp, OCIStmt *stmtp, OCIError *errhp,
                     ub4 iters, ub4 rowoff, const OCISnapshot *snap_in,
                     OCISnapshot *snap_out, ub4 mode);
/* Fetches the next nrows rows (forward only) into elements 0 .. nrows-1 of
 * the defines. Fewer rows left than asked: those are delivered and the
 * status is OCI_NO_DATA; a row that cannot be stored (NULL without an
 * indicator, a number that does not fit) ends the fetch with OCI_ERROR and
 * the rows before it delivered. OCI_ATTR_ROWS_FETCHED tells how many rows
 * the last fetch delivered; a value cut in any of them gives
 * OCI_SUCCESS_WITH_INFO. */
sword OCIStmtFetch(OCIStmt *stmtp, OCIError *errhp, ub4 nrows,
                   ub2 orientation, ub4 mode);
sword OCIStmtFetch2(OCIStmt *stmtp, OCIError *errhp, ub4 nrows,
                    ub2 orientation, sb4 fetchOffset, ub4 mode);

sword OCITransCommit(OCISvcCtx *svchp, OCIError *errhp, ub4 flags);
sword OCITransRollback(OCISvcCtx *svchp, OCIError *errhp, ub4 flags);

/* Record 1 of an error handle: the classic error number and the text. */
sword OCIErrorGet(void *hndlp, ub4 recordno, OraText *sqlstate, sb4 *errcodep,
                  OraText *bufp, ub4 bufsiz, ub4 type);

#ifdef __cplusplus
}
#endif

#endif
