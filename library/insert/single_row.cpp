#include "insert/single_row.h"

#include "reasons.h"
#include "report.h"

namespace ferrule {

int InsertSingleRow(const SingleExport& spec, const RowValues& row, bool with_follow_up,
                    char* ErrMess) {
  if (row.check_failed) {
    ReportFailure(spec.send.name, spec.check_reason, ErrMess);
    return -1;
  }
  CallerIdentity identity;
  if (!ReadCallerIdentity(identity, ErrMess)) return -1;

  RowCache one(spec.statement.text_binds.size(), spec.statement.value_binds.size());
  if (one.append(row, 1) != 0) {
    ReportFailure(spec.send.name, reason::kMallocUnsuccessful, ErrMess);
    return -1;
  }
  SendPolicy policy = spec.send;
  if (!with_follow_up) policy.follow_up_block = nullptr;
  return SendRows(spec.statement, policy, one, identity, ErrMess);
}

}  // namespace ferrule
