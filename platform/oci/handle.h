// Common base of every object handed out through the opaque pointers of
// oci.h, and the checked conversion from those pointers back to objects.
#pragma once

#include "oci.h"

#include <cstdint>

namespace ferrule::oci {

class Handle {
 public:
  explicit Handle(ub4 handle_type) : type_(handle_type) {}
  virtual ~Handle() { magic_ = 0; }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;

  ub4 type() const { return type_; }
  bool valid() const { return magic_ == kMagic; }

  // The environment a handle was allocated from (null for the environment
  // itself); it owns the handle.
  OCIEnv* env() const { return env_; }
  void set_env(OCIEnv* owner) { env_ = owner; }

 private:
  // Lets a call tell a live handle of the right kind from a stray pointer
  // or a handle of another kind passed by mistake.
  static constexpr std::uint32_t kMagic = 0x46455252u;
  std::uint32_t magic_ = kMagic;
  ub4 type_;
  OCIEnv* env_ = nullptr;
};

// The handle behind `p` when it is a live handle of `type`, else null.
template <class T>
T* handle_cast(const void* p, ub4 type) {
  if (!p) return nullptr;
  auto* h = static_cast<Handle*>(const_cast<void*>(p));
  if (!h->valid() || h->type() != type) return nullptr;
  return static_cast<T*>(h);
}

}  // namespace ferrule::oci
