// Error reports of the platform: an error (ErrClass) has a priority, a
// type, a code and three texts; ErrHdl takes reports and records them in
// the order they come, so that whoever plays the platform can read them.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "pvss_export.h"

class PVSS_API ErrClass {
 public:
  // Values are the platform's numbers; no names are attached to them here.
  enum ErrPrio : int {};
  enum ErrType : int {};

  ErrClass(ErrPrio priority, ErrType type, unsigned long code, const char* text1,
           const char* text2, const char* text3);
  ErrClass(const ErrClass&) = default;
  ErrClass& operator=(const ErrClass&) = default;
  ~ErrClass();

  ErrPrio getPriority() const { return priority_; }
  ErrType getType() const { return type_; }
  unsigned long getCode() const { return code_; }
  // Text 0, 1 or 2 (a null text was recorded as empty).
  const std::string& getText(std::size_t index) const { return texts_.at(index); }

 private:
  ErrPrio priority_;
  ErrType type_;
  unsigned long code_;
  std::array<std::string, 3> texts_;
};

class PVSS_API ErrHdl {
 public:
  static void error(const ErrClass& error);
  static void error(ErrClass::ErrPrio priority, ErrClass::ErrType type, unsigned long code,
                    const char* text1, const char* text2, const char* text3);

  // Every error reported since the start or the last clearRecorded().
  static const std::vector<ErrClass>& recorded();
  static void clearRecorded();
};
