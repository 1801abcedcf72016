// The form of an insert block whose row leaves nothing of its own behind
// when it counts as not done.
//
// A block may write before the statement that finds nothing: the hardware
// row before a device type that is not recorded, the IP address before a
// device that does not exist. The row then counts as not done, and a send
// that keeps its other rows would commit those writes with them. In this
// form the block runs as the body of a block of its own that, when the
// row's count says "not done", raises a condition private to the library
// and catches it at once: leaving a PL/pgSQL block through its exception
// handler rolls back every write made inside it, by whichever statement,
// while the outputs keep the values the block gave them (variables are not
// rolled back). An error that the block raises passes through as before.
//
// The handler makes each row a subtransaction of its own, which costs: on
// 10,000 rows, the rows of a port batch took some 15% longer, and where a
// statement reads rows the same transaction wrote, each of their many
// subtransaction ids takes longer to check. So a send runs its block as it
// is and turns to this form only when a row was not done (row_send.cpp).
#pragma once

#include <string>

namespace ferrule {

// The block, undoing its own writes when the integer output `count_bind`
// (a bind name such as ":numrows") is not what a done row leaves: exactly
// `required`, or any value but 0 when required is 0. A NULL count is 0, as
// the caller's integer reads it.
std::string UndoingRowsNotDone(const std::string& block, const char* count_bind, int required);

}  // namespace ferrule
