#!/usr/bin/env bash
# The plug-in exports one function, newExternHdl(BaseExternHdl*), under its
# C++ name, and no other dynamic symbol of any type (weak template
# instances, vtables and typeinfo included).
set -euo pipefail
expected="T _Z12newExternHdlP13BaseExternHdl"
defined=$(nm -D --defined-only "$1" | awk '{print $(NF-1), $NF}')
if [ "$defined" != "$expected" ]; then
  grep -qxF "$expected" <<<"$defined" || echo "not exported: newExternHdl(BaseExternHdl*)"
  grep -vxF "$expected" <<<"$defined" | c++filt | sed 's/^/also exported: /' || true
  exit 1
fi
echo "only newExternHdl is exported"
