// The platform's text class: names of called functions, error texts and
// the texts that call contexts yield.
#pragma once

#include <string>

#include "pvss_export.h"

class PVSS_API CharString {
 public:
  // A null text makes an empty text.
  CharString(const char* text = nullptr) : text_(text ? text : "") {}  // NOLINT: implicit by design

  const char* c_str() const { return text_.c_str(); }
  std::size_t len() const { return text_.size(); }

  friend bool operator==(const CharString& a, const CharString& b) { return a.text_ == b.text_; }
  friend bool operator!=(const CharString& a, const CharString& b) { return !(a == b); }
  friend CharString operator+(const CharString& a, const CharString& b) {
    return CharString((a.text_ + b.text_).c_str());
  }

 private:
  std::string text_;
};
