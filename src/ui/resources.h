#pragma once

namespace dramolex::ui {

// Registers the compiled-in images and help. The resources live in a static
// library, so nothing registers them before this is called; calling it again
// does no harm.
void loadResources();

} // namespace dramolex::ui
