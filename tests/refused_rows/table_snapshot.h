// The contents of every table of the database (every schema but the
// system's), as another session sees them, for telling whether a call left
// anything behind.
//
// Two runs that store the same rows still differ in what the sequences and
// the clock gave them, so those columns are left out: dates and times, and
// the identifiers drawn from sequences, whose names end in "id", "idfrom"
// or "idto" (deviceid, portidfrom, ...) and the routing steps' "step" (a
// linkid, or its negative), as well as the connectivity version, which
// every commit that changes links moves on. The rows keep their names,
// serial numbers, addresses and every other value.
#pragma once

#include <map>
#include <string>

namespace sweep {

// Table (schema.name) -> its rows, one per line, in text order.
using TableContents = std::map<std::string, std::string>;

TableContents SnapshotEveryTable();

}  // namespace sweep
