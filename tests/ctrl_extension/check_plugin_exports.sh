#!/usr/bin/env bash
# The plug-in exports one function, newExternHdl(BaseExternHdl*), under its
# C++ name.
set -euo pipefail
defined=$(nm -D --defined-only "$1" | awk '$2 == "T" {print $3}')
if [ "$defined" != "_Z12newExternHdlP13BaseExternHdl" ]; then
  echo "exported: $defined"
  exit 1
fi
echo "only newExternHdl is exported"
