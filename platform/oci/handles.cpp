#include "handles.h"

ferrule::oci::Handle* OCIEnv::adopt(std::unique_ptr<ferrule::oci::Handle> child) {
  ferrule::oci::Handle* raw = child.get();
  raw->set_env(this);
  children_.emplace(raw, std::move(child));
  return raw;
}

void OCIEnv::release(ferrule::oci::Handle* child) {
  for (auto& [raw, owned] : children_) {
    if (raw->type() != OCI_HTYPE_SVCCTX) continue;
    auto* context = static_cast<OCISvcCtx*>(raw);
    if (context->server == child) context->server = nullptr;
    if (context->session == child) context->session = nullptr;
  }
  children_.erase(child);
}
