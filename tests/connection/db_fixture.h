// A connected library against a freshly reset private database.
#pragma once

#include "connected_fixture.h"
