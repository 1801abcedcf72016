// A call of the library that rewrites links, made while another session
// sends a link batch in link order and holds its first link: the batch then
// changes its second link, which the table holds before the first, and
// commits. A call that took the links in the order they lie in the table
// would hold the second and wait for the first, and the two would deadlock;
// one that takes them in link order waits for the batch, which goes on.
#pragma once

#include <atomic>
#include <string>
#include <thread>

#include "sql_session.h"

namespace testdb {

struct BesideABatch {
  bool lies_first = false;     // the second link lay before the first in the table
  bool call_waited = false;    // the call still ran when the batch went on
  std::string second_row;      // the batch's answer for its second link
  std::string commit;          // ... and for its commit
  int result = -99;            // the call's answer
};

// Links first < second; call is made on a thread of its own (the library's
// connection is not the session's).
template <class Call>
BesideABatch CallBesideALinkBatch(const Params& p, int first, int second, Call call) {
  const std::string order =
      "select string_agg(linkid::text, ',' order by ctid) from vexa_macroscopic_connectivity "
      "where linkid in (" + std::to_string(first) + "," + std::to_string(second) + ")";
  const std::string second_first = std::to_string(second) + "," + std::to_string(first);
  // A new version of the first link's row goes behind the rows there are.
  for (int i = 0; i < 20 && value(order) != second_first; ++i)
    exec("update vexa_macroscopic_connectivity set link_info = link_info where linkid = " +
         std::to_string(first));
  BesideABatch out;
  out.lies_first = value(order) == second_first;

  Session batch(p);
  batch.run("BEGIN");
  batch.run("update vexa_macroscopic_connectivity set link_info = 'batch' where linkid = " +
            std::to_string(first));
  std::atomic<bool> done{false};
  std::thread caller([&] {
    out.result = call();
    done = true;
  });
  WaitUntil([&] { return done || AnotherWaitsForALock(batch.pid()); });
  out.call_waited = !done;
  out.second_row = batch.run(
      "update vexa_macroscopic_connectivity set link_info = 'batch' where linkid = " +
      std::to_string(second));
  out.commit = batch.run("COMMIT");
  caller.join();
  return out;
}

}  // namespace testdb
