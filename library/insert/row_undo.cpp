#include "insert/row_undo.h"

namespace ferrule {

namespace {

// The condition that marks a row as not done. Class FR is none of the
// server's, so no statement of a block raises it by chance.
constexpr const char* kRowNotDone = "'FRND0'";

}  // namespace

std::string UndoingRowsNotDone(const std::string& block, const char* count_bind, int required) {
  const std::string count = std::string("coalesce(") + count_bind + ",0)";
  const std::string done =
      required != 0 ? count + "=" + std::to_string(required) : count + "<>0";
  // The block, its DECLARE section included, becomes one statement of the
  // outer block, which needs its semicolon. Each part on a line of its own:
  // a comment at the end of the block cannot hide what follows.
  const std::size_t last = block.find_last_not_of(" \t\r\n");
  const bool ends_statement = last != std::string::npos && block[last] == ';';
  return "BEGIN\n" + block + (ends_statement ? "\n" : "\n;\n") + "IF NOT (" + done +
         ") THEN RAISE SQLSTATE " + kRowNotDone + "; END IF;\n" +
         "EXCEPTION WHEN SQLSTATE " + kRowNotDone + " THEN NULL;\nEND;";
}

}  // namespace ferrule
