# The simulation core: model, random numbers, run loop and log. No Qt.
add_library(dramolex_core STATIC
  src/random/glibc_random.cpp
  src/random/ziggurat.cpp
  src/model/strategy.cpp
  src/model/agent.cpp
  src/model/group.cpp
  src/model/town.cpp
  src/model/town_turn.cpp
  src/run/run_parameters.cpp
  src/run/history.cpp
  src/run/round_log.cpp
  src/run/round_csv.cpp
  src/run/output_file.cpp
  src/run/hand_over.cpp
  src/run/run_core.cpp
)
target_include_directories(dramolex_core PUBLIC ${PROJECT_SOURCE_DIR}/src)
find_package(Threads REQUIRED)
target_link_libraries(dramolex_core PUBLIC Threads::Threads)

# The headless runner's command line.
find_path(CLI11_INCLUDE_DIR CLI/CLI.hpp REQUIRED)
add_library(dramolex_cli STATIC
  src/cli/runner_options.cpp
  src/cli/progress_bar.cpp
  src/cli/run_command.cpp
)
target_include_directories(dramolex_cli PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_include_directories(dramolex_cli SYSTEM PRIVATE ${CLI11_INCLUDE_DIR})
target_link_libraries(dramolex_cli PUBLIC dramolex_core)

add_executable(dramolex-run apps/dramolex-run/main.cpp)
target_link_libraries(dramolex-run PRIVATE dramolex_cli)
install(TARGETS dramolex-run RUNTIME DESTINATION bin)
