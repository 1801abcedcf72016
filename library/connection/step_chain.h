// The rule by which an export chains its client-layer steps: each step runs
// only while every earlier one succeeded, and the first failure alone is
// reported and becomes the result code.
#pragma once

#include <string>

#include "oci.h"
#include "report.h"

namespace ferrule {

class StepChain {
 public:
  explicit StepChain(OCIError* errhp) : errhp_(errhp) {}

  template <class Call>
  bool run(const char* label, Call&& call) {
    if (status_ != 0) return false;
    status_ = call();
    if (status_ != 0 && result_ == 0) result_ = ReportOCIStatus(status_, errhp_, label);
    return status_ == 0;
  }

  // A heap allocation inside the chain failed.
  void allocation_failed(const char* label) {
    if (status_ == 0) {
      status_ = kAllocationFailed;
      ReportOCIStatus(status_, errhp_, label);
      result_ = -1;
    }
  }

  bool ok() const { return status_ == 0; }
  int status() const { return status_; }
  int result() const { return result_; }
  void add_to_result(int value) { result_ += value; }

 private:
  OCIError* errhp_;
  int status_ = 0;
  int result_ = 0;
};

// A statement handle that lives for one call.
class StatementHandle {
 public:
  StatementHandle() = default;
  StatementHandle(const StatementHandle&) = delete;
  StatementHandle& operator=(const StatementHandle&) = delete;
  ~StatementHandle() { release(); }

  sword allocate(OCIEnv* envhp) {
    return OCIHandleAlloc(envhp, reinterpret_cast<void**>(&handle_),
                          OCI_HTYPE_STMT, 0, nullptr);
  }
  // Returns the status of the release (0 when there was nothing to release).
  int release() {
    if (!handle_) return 0;
    int status = OCIHandleFree(handle_, OCI_HTYPE_STMT);
    handle_ = nullptr;
    return status;
  }
  OCIStmt* get() const { return handle_; }

 private:
  OCIStmt* handle_ = nullptr;
};

// Allocates the statement of an export, answering a missing connection (or a
// failed allocation) in ErrMess the way every export does. Returns true when
// the statement is ready.
bool AllocateStatement(StatementHandle& stmt, const char* appliName,
                       const char* label, char* ErrMess);

// Prepares a statement text with its length.
sword PrepareText(OCIStmt* stmt, OCIError* errhp, const std::string& text);

}  // namespace ferrule
