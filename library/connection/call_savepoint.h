// The point in the open transaction where a call's own work begins. The
// transaction may hold the work of earlier calls that is not committed yet
// (a build, a by-type update sent without its last row); a call that fails
// or is refused (a database error, a refresh that fails, rows it must not
// keep, a server answer that refuses the change) rolls back to this point,
// so that none of its own work waits there for another call's commit while
// the earlier work stays as it is.
#pragma once

#include "oci.h"
#include "step_chain.h"

namespace ferrule {

class CallSavepoint {
 public:
  // Marks the point; the status of the client call (its error in the
  // session's error record).
  sword set();
  // Undoes everything since set(); nothing when it was not set. Its status
  // is not the caller's concern: the call is answered as failed already,
  // and the session's error record still holds the failure.
  void undo();

 private:
  sword run(const char* text, OCIError* errhp);

  StatementHandle stmt_;
  bool set_ = false;
};

// Commits the open transaction as a step of the chain, labelled as every
// export labels it. A commit that fails is the call's failure: the work it
// would have made durable is gone, or, when the connection was lost while
// the commit was on its way, may or may not be in (the error record says
// which).
bool CommitStep(StepChain& chain);

// For calls that commit on every path once their ErrMess is written:
// commits, and returns `answer` when the commit succeeded; otherwise the
// commit's code, with its failure written over ErrMess.
int CommitThenAnswer(const char* appliName, char* ErrMess, int answer);

}  // namespace ferrule
