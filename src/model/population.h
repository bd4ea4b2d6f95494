#pragma once

#include "model/town.h"

namespace dramolex::model {

// The population class that runs play. Front ends name this, not a class, so
// the storage behind it can change without touching them.
using Population = Town;

} // namespace dramolex::model
