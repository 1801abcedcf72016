#include "inventory/text_query.h"

#include <cstring>
#include <new>

#include "session.h"

namespace ferrule {

void TextColumnQuery::Run(const std::string& text, const std::vector<QueryKey>& keys,
                          int prefetch_rows, const QueryLabels& labels) {
  Session& s = session();
  chain_.run("OCIStmtPrepare unsuccessful", [&] { return PrepareText(stmt_, s.errhp, text); });
  numbers_.resize(keys.size());
  for (std::size_t i = 0; i < keys.size(); ++i) {
    const QueryKey& key = keys[i];
    numbers_[i] = key.number;
    OCIBind* bind = nullptr;
    chain_.run(key.label, [&] {
      const auto* name = reinterpret_cast<const OraText*>(key.placeholder);
      if (key.text)
        return OCIBindByName(stmt_, &bind, s.errhp, name, -1, const_cast<char*>(key.text),
                             static_cast<sb4>(std::strlen(key.text) + 1), SQLT_STR, nullptr,
                             nullptr, nullptr, 0, nullptr, OCI_DEFAULT);
      return OCIBindByName(stmt_, &bind, s.errhp, name, -1, &numbers_[i], sizeof(int), SQLT_INT,
                           nullptr, nullptr, nullptr, 0, nullptr, OCI_DEFAULT);
    });
  }
  if (prefetch_rows > 0) {
    ub4 rows = static_cast<ub4>(prefetch_rows);
    chain_.run(labels.prefetch, [&] {
      return OCIAttrSet(stmt_, OCI_HTYPE_STMT, &rows, 0, OCI_ATTR_PREFETCH_ROWS, s.errhp);
    });
  }
  chain_.run("OCIExecute unsuccessful", [&] {
    return OCIStmtExecute(s.svchp, stmt_, s.errhp, 0, 0, nullptr, nullptr, OCI_DEFAULT);
  });
  void* param = nullptr;
  int size = 0;
  chain_.run("OCIParamGet1  unsuccessful",
             [&] { return OCIParamGet(stmt_, OCI_HTYPE_STMT, s.errhp, &param, 1); });
  chain_.run("Execute unsuccessful", [&] {
    return OCIAttrGet(param, OCI_DTYPE_PARAM, &size, nullptr, OCI_ATTR_DATA_SIZE, s.errhp);
  });
  if (!chain_.ok()) return;
  try {
    buffer_.assign(static_cast<std::size_t>(size) + 1, '\0');
  } catch (const std::bad_alloc&) {
    allocated_ = false;
    chain_.allocation_failed(labels.define);
    return;
  }
  OCIDefine* define = nullptr;
  chain_.run(labels.define, [&] {
    return OCIDefineByPos(stmt_, &define, s.errhp, 1, buffer_.data(),
                          static_cast<sb4>(buffer_.size()), SQLT_STR, nullptr, nullptr, nullptr,
                          OCI_DEFAULT);
  });
}

sword TextColumnQuery::Next(std::string& value) {
  const sword status = OCIStmtFetch2(stmt_, session().errhp, 1, OCI_FETCH_NEXT, 0, OCI_DEFAULT);
  if (status != OCI_SUCCESS) return status;
  const char* end = std::strchr(buffer_.data(), '?');
  value.assign(buffer_.data(), end ? static_cast<std::size_t>(end - buffer_.data())
                                   : std::strlen(buffer_.data()));
  return OCI_SUCCESS;
}

}  // namespace ferrule
