// The CTRL functions of the plug-in as data. An ExternFuncDesc describes one
// function: its platform record (result class, name, parameter string,
// flag), its wrapper and the result a refused call returns. An
// ExternFuncTable holds the descriptors of one handler together with the
// records handed to the platform; copying it copies every default result,
// while names and parameter strings stay shared constant texts.
#pragma once

#include <memory>
#include <vector>

#include "extern_handler.h"
#include "variables.h"
#include "wrapper_binding.h"

namespace ferrule::ctrl {

struct ExternFuncDesc : FunctionListRec {
  ExternFuncDesc();
  // The default result is a heap copy of prototype, of its own class.
  ExternFuncDesc(VariableType result_type, const char* function_name, const char* param_list,
                 unsigned char record_flag, WrapperBinding wrapper, const Variable& prototype);
  ExternFuncDesc(const ExternFuncDesc& other);
  ExternFuncDesc& operator=(const ExternFuncDesc& other);
  ExternFuncDesc(ExternFuncDesc&&) noexcept = default;
  ExternFuncDesc& operator=(ExternFuncDesc&&) noexcept = default;
  ~ExternFuncDesc() = default;

  WrapperBinding wrapper;
  std::unique_ptr<Variable> defaultResult;  // null only when default-constructed
};

class ExternFuncTable {
 public:
  ExternFuncTable(const ExternFuncDesc* descriptors, unsigned long count);
  ExternFuncTable(const ExternFuncTable& other);
  ExternFuncTable& operator=(const ExternFuncTable&) = delete;
  ~ExternFuncTable() = default;

  unsigned long count() const { return static_cast<unsigned long>(descriptors_.size()); }
  const ExternFuncDesc& descriptor(unsigned long index) const { return descriptors_[index]; }
  // One record per function, in table order, for the platform.
  FunctionListRec* records() { return records_.data(); }

 private:
  std::vector<ExternFuncDesc> descriptors_;
  std::vector<FunctionListRec> records_;
};

// The descriptors of every CTRL function, in table order, built on first
// use and kept until the process ends.
const std::vector<ExternFuncDesc>& FunctionDescriptors();

}  // namespace ferrule::ctrl
