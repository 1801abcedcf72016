#include "variables.h"

Variable::~Variable() = default;

TextVar::TextVar(const char* text) : value_(text ? text : "") {}

void TextVar::setValue(const char* text) { value_ = text ? text : ""; }

TextVar& TextVar::operator=(const char* text) {
  setValue(text);
  return *this;
}

IntegerVar& IntegerVar::operator=(int value) {
  value_ = value;
  return *this;
}

DynVar::DynVar(const DynVar& other) : Variable(other), element_type_(other.element_type_) {
  for (const auto& item : other.items_) items_.emplace_back(item->clone());
}

DynVar& DynVar::operator=(const DynVar& other) {
  if (this != &other) {
    DynVar copy(other);
    element_type_ = copy.element_type_;
    items_ = std::move(copy.items_);
    cursor_ = 0;
  }
  return *this;
}

void DynVar::clear() {
  items_.clear();
  cursor_ = 0;
}

void DynVar::append(const Variable& value) { items_.emplace_back(value.clone()); }

Variable* DynVar::getAt(unsigned index) const {
  return index < items_.size() ? items_[index].get() : nullptr;
}

Variable* DynVar::getFirstVar() {
  cursor_ = 0;
  return getAt(0);
}

Variable* DynVar::getNextVar() {
  if (cursor_ < items_.size()) ++cursor_;
  return cursor_ < items_.size() ? items_[cursor_].get() : nullptr;
}
