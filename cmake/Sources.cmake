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

if(DRAMOLEX_GUI)
  find_package(Qt6 REQUIRED COMPONENTS Widgets Charts)
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(SPNG REQUIRED IMPORTED_TARGET spng)
  set(CMAKE_AUTOMOC ON)
  set(CMAKE_AUTORCC ON)

  # The seven chart views, rendered with Qt Charts and written as PNG.
  add_library(dramolex_charts STATIC
    src/charts/chart_views.cpp
    src/charts/chart_image.cpp
    src/charts/series_chart.cpp
    src/charts/pie_chart.cpp
    src/charts/png_writer.cpp
    src/charts/chart_export.cpp
  )
  target_include_directories(dramolex_charts PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(dramolex_charts PUBLIC Qt6::Widgets Qt6::Charts PRIVATE PkgConfig::SPNG)
  target_link_libraries(dramolex-run PRIVATE dramolex_charts)
  target_compile_definitions(dramolex-run PRIVATE DRAMOLEX_WITH_CHARTS)
endif()

if(DRAMOLEX_GUI)
  # The two windows and the help.
  add_library(dramolex_ui STATIC
    src/ui/parameter_checks.cpp
    src/ui/error_indicator.cpp
    src/ui/help_window.cpp
    src/ui/form1.cpp
    src/ui/form2.cpp
    src/ui/resources.cpp
    resources/dramolex.qrc
  )
  target_include_directories(dramolex_ui PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(dramolex_ui PUBLIC dramolex_core dramolex_charts Qt6::Widgets)

  add_executable(dramolex apps/dramolex/main.cpp)
  target_link_libraries(dramolex PRIVATE dramolex_ui)
  install(TARGETS dramolex RUNTIME DESTINATION bin)
  install(FILES resources/dramolex.desktop DESTINATION share/applications)
  install(FILES resources/images/icon256.png DESTINATION share/icons/hicolor/256x256/apps RENAME dramolex.png)
  install(FILES resources/images/icon.png DESTINATION share/icons/hicolor/32x32/apps RENAME dramolex.png)
  install(FILES resources/help/index.html DESTINATION share/doc/dramolex RENAME manual.html)

  add_executable(make_artwork EXCLUDE_FROM_ALL tools/make_artwork.cpp)
  target_link_libraries(make_artwork PRIVATE Qt6::Gui)
endif()

if(DRAMOLEX_GUI)
  add_executable(take_screenshots EXCLUDE_FROM_ALL tools/take_screenshots.cpp)
  target_link_libraries(take_screenshots PRIVATE dramolex_ui)
endif()
