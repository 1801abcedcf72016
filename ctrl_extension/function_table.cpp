#include "function_table.h"

namespace ferrule::ctrl {

ExternFuncDesc::ExternFuncDesc() : FunctionListRec{kNoVariable, nullptr, nullptr, 0} {}

ExternFuncDesc::ExternFuncDesc(VariableType result_type, const char* function_name,
                               const char* param_list, unsigned char record_flag,
                               WrapperBinding wrapper_binding, const Variable& prototype)
    : FunctionListRec{result_type, function_name, param_list, record_flag},
      wrapper(wrapper_binding),
      defaultResult(prototype.clone()) {}

ExternFuncDesc::ExternFuncDesc(const ExternFuncDesc& other)
    : FunctionListRec(other),
      wrapper(other.wrapper),
      defaultResult(other.defaultResult ? other.defaultResult->clone() : nullptr) {}

ExternFuncDesc& ExternFuncDesc::operator=(const ExternFuncDesc& other) {
  if (this != &other) *this = ExternFuncDesc(other);
  return *this;
}

ExternFuncTable::ExternFuncTable(const ExternFuncDesc* descriptors, unsigned long count)
    : descriptors_(descriptors, descriptors + (descriptors ? count : 0)) {
  records_.reserve(descriptors_.size());
  for (const ExternFuncDesc& d : descriptors_) records_.push_back(d);
}

ExternFuncTable::ExternFuncTable(const ExternFuncTable& other)
    : ExternFuncTable(other.descriptors_.data(), other.count()) {}

}  // namespace ferrule::ctrl
