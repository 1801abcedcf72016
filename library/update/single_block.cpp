#include "update/single_block.h"

#include <cstring>

#include "session.h"

namespace ferrule {

SingleBind IntBind(const char* name, int& value) {
  return {name, &value, sizeof value, SQLT_INT};
}

SingleBind TextBind(const char* name, std::vector<char>& buffer) {
  if (buffer.empty()) buffer.push_back('\0');
  return {name, buffer.data(), static_cast<int>(buffer.size()), SQLT_STR};
}

std::vector<char> BindCopy(const char* text) {
  if (!text) return {'\0'};
  return std::vector<char>(text, text + std::strlen(text) + 1);
}

void RunSingleBlock(OCIStmt* stmt, const std::string& text, const std::vector<SingleBind>& binds,
                    StepChain& chain) {
  Session& s = session();
  chain.run("OCIStmtPrepare unsuccessful", [&] { return PrepareText(stmt, s.errhp, text); });
  for (const SingleBind& bind : binds) {
    OCIBind* handle = nullptr;
    chain.run("OCIBindByName unsuccessful", [&] {
      return OCIBindByName(stmt, &handle, s.errhp, reinterpret_cast<const OraText*>(bind.name),
                           -1, bind.value, bind.size, bind.type, nullptr, nullptr,
                           nullptr, 0, nullptr, OCI_DEFAULT);
    });
  }
  chain.run("OCIStmtExecute unsuccessful", [&] {
    return OCIStmtExecute(s.svchp, stmt, s.errhp, 1, 0, nullptr, nullptr, OCI_DEFAULT);
  });
}

}  // namespace ferrule
