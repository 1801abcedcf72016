#include "ctrl_thread.h"

CtrlExpr::~CtrlExpr() = default;

CtrlThread::CtrlThread() = default;

CtrlThread::~CtrlThread() = default;

void CtrlThread::appendLastError(const ErrClass* error) {
  if (error) last_errors_.push_back(*error);
}
