// The engine of the calls that run anonymous blocks once with single-value
// binds and let the block's outputs decide how the transaction ends: the
// inventory changes (a block, then a second one that recomputes the usage
// of the item's links), the device swap and the deletions. Each export
// gives its blocks, binds, step labels and a verdict read from its outputs;
// the engine runs the steps under the first-failure rule, ends the
// transaction and writes ErrMess.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "oci.h"
#include "step_chain.h"

namespace ferrule {

// A bind of a block, in bind order.
struct BlockBind {
  const char* name;
  ub2 type;         // SQLT_STR or SQLT_INT
  void* value;      // null: a NULL text
  int size;         // bytes, the NUL of a text included
  const char* refusal = nullptr;  // a text that must be given: the reason when it is null
  const char* trace = nullptr;    // printed with the text before the bind, when it is given

  // An input text; a null one is NULL, or refused when refusal is given.
  static BlockBind Text(const char* name, const char* text, const char* refusal = nullptr);
  // A text the block may overwrite, with the buffer's full size (an empty
  // buffer first receives a NUL, so it binds NULL).
  static BlockBind Buffer(const char* name, std::vector<char>& buffer);
  static BlockBind Int(const char* name, int& value);
};

// A buffer holding a copy of the text with its NUL (just a NUL for a null
// text): a caller's input is never bound where the block could write.
std::vector<char> BindCopy(const char* text);

// The diagnostic contexts of a block's steps.
struct BlockLabels {
  const char* prepare;
  const char* bind;     // every bind's label, or the text before its position (from 1)
  bool numbered_binds;  // "OCIBind " gives "OCIBind 3 unsuccessful"
  const char* execute;
};

// Each step named after its client call, as most exports label them.
inline const BlockLabels kCallNameLabels{"OCIStmtPrepare unsuccessful",
                                         "OCIBindByName unsuccessful", false,
                                         "OCIStmtExecute unsuccessful"};

// What the call does once a block ran without a failed step.
enum class BlockEnd {
  Commit,           // go on to the next block; after the last one, commit
  Rollback,         // undo the call's own work and refuse with the reason
  CommitAndRefuse,  // run no further block, commit and refuse with the reason
};

struct BlockVerdict {
  BlockEnd end = BlockEnd::Commit;
  const char* reason = nullptr;        // of a refusal
  const char* success_note = nullptr;  // after "NO_ERROR in <name>" when the call succeeds
};

struct BlockStep {
  std::string text;  // the block, expanded
  std::vector<BlockBind> binds;
  const BlockLabels* labels;
  std::function<BlockVerdict()> verdict;  // read after a clean execution; null: commit
};

// Runs the steps in order on the allocated statement, each block only
// while every earlier step succeeded, all in the one transaction, and
// commits them together once at the end: nobody sees a block's work before
// the call is done. A failed step or a refusal that rolls back undoes the
// call's own work (every block it ran), back to where its first block
// began; what earlier calls left uncommitted stays. A commit that fails is
// the call's failure, whatever the verdict. A null text bind with a
// refusal is refused where it would be bound. Returns 0, -1 for a refusal,
// or the code of the first failed step (plus the status of releasing the
// statement); writes ErrMess.
int RunBlockCall(const char* appliName, StatementHandle& stmt, std::vector<BlockStep>& steps,
                 char* ErrMess);

}  // namespace ferrule
