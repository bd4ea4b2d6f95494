# One library per layer. Each layer exports an include root that holds only
# its own folder (a link to src/<layer>), so `#include "run/..."` from the
# model finds nothing and fails to build: a layer sees only what it links.
function(dramolex_layer target layer)
  set(root ${PROJECT_BINARY_DIR}/include_roots/${layer})
  file(MAKE_DIRECTORY ${root})
  if(NOT EXISTS ${root}/${layer})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/src/${layer} ${root}/${layer} SYMBOLIC)
  endif()
  target_include_directories(${target} PUBLIC ${root})
endfunction()
