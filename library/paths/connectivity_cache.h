// The ConnectivityCache of the path searches and its loader,
// LoadConnectivityTable_InCache.
//
// A control system asks many path queries of a network that rarely
// changes, so loaded connectivity (rows and index) is kept for later
// queries with the same filter. Before a kept copy is used, one statement
// reads the connectivity version (database/08_connectivity.sql), which
// every committed change of links, ports, devices or subsystems moves on:
// the copy is used only when it was loaded at that same version. While
// this session holds writes it has not committed, which the version cannot
// show, the loader loads afresh and keeps nothing. So a query never
// answers from a network older than a fresh load would see.
//
// A load reads ids and numbers only. The texts that the outputs show are
// read for the links of the paths found, with the version: when it moved
// in between, the texts are not those of the rows, and the search runs
// again on a load that reads every text with the rows.
//
// The cache of a running query is the connectivity of the last loader call
// that returned 0; the search gives it up with ReleaseConnectivityCache
// before it returns. A call whose rows did not fit the caller's arrays
// leaves them for the next call with the same arguments (the capacity
// protocol's second call), which then runs no statement at all.
#pragma once

#include <vector>

#include "paths/connectivity_load.h"

namespace ferrule {

// mode 0 loads by the devices dfrom and dto, any other mode by the
// subsystem list. len_array: capacity of each of the seven arrays in rows
// on entry, the number of rows on return (also when they did not fit).
// Returns 0 when the rows were copied; -1 when they did not fit, when
// there is no row ("NO_ROWS_SELECTED") or the list is null; otherwise the
// database status of the failing step. ErrMess names
// "LoadConnectivityTable_InCache". With TextLoad::WithRows the rows come
// from a load that reads every text, never from a kept copy without them.
int LoadConnectivityTable_InCache(const char* systemnameList, const char* dfrom, const char* dto,
                                  int mode, int* len_array, int* linkid, int* node_from,
                                  int* node_to, int* bidirectional_link_used, int* lkused,
                                  int* link_type, int* link_weight, char* ErrMess,
                                  TextLoad texts = TextLoad::Later);

// The cache of the running query: null unless the last loader call
// returned 0 and the cache was not released since.
const Connectivity* ConnectivityCache();

// Makes the texts of the cache rows' links known (ConnectivityCache()'s
// rows). 0 when they are; 0 with stale set when they cannot be read at the
// version of the rows (the copy is then no longer kept); otherwise the
// failing step's result with ErrMess written.
int ReadTextsOfRows(const std::vector<int>& rows, bool& stale, char* ErrMess);

// Ends the running query's use of the cache. Kept copies stay.
void ReleaseConnectivityCache();

// How many times the loader ran its load statement (for tests and
// benchmarks), and a way to drop every kept copy.
long ConnectivityLoadCount();
void ForgetKeptConnectivity();

}  // namespace ferrule
