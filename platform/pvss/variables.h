// The values of control scripts: texts, integers and lists. Every value
// tells its class (isA) and copies itself into a new object of its own
// class (clone), which is how a list keeps copies of what is appended.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "pvss_export.h"

// Class codes of values, as function records and lists carry them.
enum VariableType : unsigned long {
  kNoVariable = 0,
  kAnyVariable = 0x10000,  // elements of a list made for any class
  kIntegerVariable = 0x50000,
  kTextVariable = 0x80000,
  kDynVariable = 0xc0000,
};

class PVSS_API Variable {
 public:
  virtual ~Variable();
  virtual VariableType isA() const = 0;
  // A new heap object of the same class holding the same value; the caller
  // owns it.
  virtual Variable* clone() const = 0;

 protected:
  Variable() = default;
  Variable(const Variable&) = default;
  Variable& operator=(const Variable&) = default;
};

class PVSS_API TextVar : public Variable {
 public:
  // A null text makes an empty text.
  explicit TextVar(const char* text = nullptr);
  TextVar(const TextVar&) = default;
  TextVar& operator=(const TextVar&) = default;

  // Valid until the value changes.
  const char* getValue() const { return value_.c_str(); }
  void setValue(const char* text);
  TextVar& operator=(const char* text);

  VariableType isA() const override { return kTextVariable; }
  Variable* clone() const override { return new TextVar(*this); }

 private:
  std::string value_;
};

class PVSS_API IntegerVar : public Variable {
 public:
  explicit IntegerVar(int value = 0) : value_(value) {}
  IntegerVar(const IntegerVar&) = default;
  IntegerVar& operator=(const IntegerVar&) = default;

  int getValue() const { return value_; }
  IntegerVar& operator=(int value);

  VariableType isA() const override { return kIntegerVariable; }
  Variable* clone() const override { return new IntegerVar(*this); }

 private:
  int value_;
};

// A list of values; it owns copies of what is appended. getFirstVar and
// getNextVar walk it with one cursor.
class PVSS_API DynVar : public Variable {
 public:
  explicit DynVar(VariableType element_type = kNoVariable) : element_type_(element_type) {}
  DynVar(const DynVar& other);
  DynVar& operator=(const DynVar& other);

  VariableType getElementType() const { return element_type_; }
  unsigned getArrayLength() const { return static_cast<unsigned>(items_.size()); }
  void clear();
  // Appends a copy of value.
  void append(const Variable& value);
  // The element at index (0 = first), or null past the end.
  Variable* getAt(unsigned index) const;
  // The first element (null for an empty list); the cursor moves to it.
  Variable* getFirstVar();
  // The element after the cursor (null past the end); the cursor moves on.
  Variable* getNextVar();

  VariableType isA() const override { return kDynVariable; }
  Variable* clone() const override { return new DynVar(*this); }

 private:
  VariableType element_type_;
  std::vector<std::unique_ptr<Variable>> items_;
  std::size_t cursor_ = 0;
};
