#pragma once

#include "model/fast_town.h"

namespace dramolex::model {

// The population class that runs play. Front ends name this, not a class, so
// the storage behind it can change without touching them. FastTown plays the
// same rounds as the reference Town, draw for draw.
using Population = FastTown;

} // namespace dramolex::model
