// The point in the open transaction where a send begins. The transaction
// may hold rows of earlier calls that are not committed yet; a send that
// fails (a database error, a refresh that fails, rows it must not keep)
// rolls back to this point, so that none of its own rows waits there for
// another call's commit while those earlier rows stay as they are.
#pragma once

#include "oci.h"
#include "step_chain.h"

namespace ferrule {

class SendSavepoint {
 public:
  // Marks the point; the status of the client call (its error in the
  // session's error record).
  sword set();
  // Undoes everything since set(); nothing when it was not set. Its status
  // is not the caller's concern: the send is answered as failed already.
  void undo();

 private:
  sword run(const char* text);

  StatementHandle stmt_;
  bool set_ = false;
};

}  // namespace ferrule
