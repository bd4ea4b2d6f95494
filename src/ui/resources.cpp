#include "ui/resources.h"

#include <QtCore/qglobal.h>

// Q_INIT_RESOURCE names a function in the global namespace.
static void registerDramolexResources() { Q_INIT_RESOURCE(dramolex); }

namespace dramolex::ui {

void loadResources() { registerDramolexResources(); }

} // namespace dramolex::ui
