// One block run once with single-value binds, for the updates that are not
// cached (the device swap, the deletions): each reads the block's outputs
// afterwards and decides between commit and rollback itself.
#pragma once

#include <string>
#include <vector>

#include "oci.h"
#include "step_chain.h"

namespace ferrule {

struct SingleBind {
  const char* name;
  void* value;
  int size;  // bytes of value (a text's buffer, NUL included)
  ub2 type;  // SQLT_INT or SQLT_STR
};

// An int bind, and a text bind on a buffer that the block may write back
// into. An empty text binds NULL, as on the classic server.
SingleBind IntBind(const char* name, int& value);
SingleBind TextBind(const char* name, std::vector<char>& buffer);

// A buffer holding a copy of the text with its NUL (just a NUL for a null
// text): a caller's input is never bound where the block could write.
std::vector<char> BindCopy(const char* text);

// Prepares the text on stmt, binds every value by name and executes the
// block once, each step only while the chain is clean.
void RunSingleBlock(OCIStmt* stmt, const std::string& text, const std::vector<SingleBind>& binds,
                    StepChain& chain);

}  // namespace ferrule
