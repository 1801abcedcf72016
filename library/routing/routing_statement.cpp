#include "routing/routing_statement.h"

#include <cstring>
#include <new>

#include "closing_mark.h"

namespace ferrule::routing {

namespace {

constexpr char kMark = '?';

const OraText* name_of(const char* placeholder) {
  return reinterpret_cast<const OraText*>(placeholder);
}
}  // namespace

sword BindText(OCIStmt* stmt, OCIError* errhp, const char* placeholder, const char* value) {
  OCIBind* bind = nullptr;
  const sb4 size = value ? static_cast<sb4>(std::strlen(value) + 1) : 0;
  return OCIBindByName(stmt, &bind, errhp, name_of(placeholder), -1, const_cast<char*>(value),
                       size, SQLT_STR, nullptr, nullptr, nullptr, 0, nullptr, OCI_DEFAULT);
}

sword BindInt(OCIStmt* stmt, OCIError* errhp, const char* placeholder, int* value) {
  OCIBind* bind = nullptr;
  return OCIBindByName(stmt, &bind, errhp, name_of(placeholder), -1, value, sizeof(int),
                       SQLT_INT, nullptr, nullptr, nullptr, 0, nullptr, OCI_DEFAULT);
}

sword SetPrefetch(OCIStmt* stmt, OCIError* errhp, int rows) {
  ub4 prefetch = static_cast<ub4>(rows);
  return OCIAttrSet(stmt, OCI_HTYPE_STMT, &prefetch, 0, OCI_ATTR_PREFETCH_ROWS, errhp);
}

sword TextColumn::describe(OCIStmt* stmt, OCIError* errhp, int fixed_size) {
  if (fixed_size > 0) {
    size_ = fixed_size;
    return OCI_SUCCESS;
  }
  void* param = nullptr;
  sword status = OCIParamGet(stmt, OCI_HTYPE_STMT, errhp, &param, static_cast<ub4>(position_));
  if (status != OCI_SUCCESS) return status;
  int size = 0;
  status = OCIAttrGet(param, OCI_DTYPE_PARAM, &size, nullptr, OCI_ATTR_DATA_SIZE, errhp);
  size_ = size > 0 ? size + 1 : 2;
  return status;
}

bool TextColumn::allocate() {
  try {
    buffer_.assign(static_cast<std::size_t>(size_), '\0');
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

sword TextColumn::define(OCIStmt* stmt, OCIError* errhp) {
  return OCIDefineByPos(stmt, &define_, errhp, static_cast<ub4>(position_), buffer_.data(),
                        static_cast<sb4>(buffer_.size()), SQLT_STR, &indicator_, nullptr, nullptr,
                        OCI_DEFAULT);
}

std::string TextColumn::value() const {
  if (indicator_ == -1 || buffer_.empty()) return std::string();
  return std::string(ValueBeforeMark(buffer_.data(), kMark));
}

sword DefineInt(OCIStmt* stmt, OCIError* errhp, int position, int* value) {
  OCIDefine* define = nullptr;
  return OCIDefineByPos(stmt, &define, errhp, static_cast<ub4>(position), value, sizeof(int),
                        SQLT_INT, nullptr, nullptr, nullptr, OCI_DEFAULT);
}

bool FetchRow(OCIStmt* stmt, OCIError* errhp, int* status) {
  *status = OCIStmtFetch2(stmt, errhp, 1, OCI_FETCH_NEXT, 0, OCI_DEFAULT);
  return *status == OCI_SUCCESS || *status == OCI_SUCCESS_WITH_INFO;
}

bool CopyIfFits(const char* text, char* out, int capacity) {
  const std::size_t need = std::strlen(text) + 1;
  if (capacity < 1 || static_cast<std::size_t>(capacity) < need) return false;
  std::memcpy(out, text, need);
  return true;
}

}  // namespace ferrule::routing
