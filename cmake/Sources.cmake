include(cmake/Layers.cmake)

add_subdirectory(src/random)
add_subdirectory(src/model)
add_subdirectory(src/run)
add_subdirectory(src/cli)
add_subdirectory(src/sweep)

add_executable(dramolex-run apps/dramolex-run/main.cpp)
target_link_libraries(dramolex-run PRIVATE dramolex_cli)
install(TARGETS dramolex-run RUNTIME DESTINATION bin)

add_executable(dramolex-sweep apps/dramolex-sweep/main.cpp)
target_link_libraries(dramolex-sweep PRIVATE dramolex_sweep)
install(TARGETS dramolex-sweep RUNTIME DESTINATION bin)

# The period of the fixed life-span sequence, for the validation report.
add_executable(lifespan_period tools/lifespan_period.cpp)
target_link_libraries(lifespan_period PRIVATE dramolex_model)

if(DRAMOLEX_PYTHON)
  add_subdirectory(src/python)
endif()

if(DRAMOLEX_GUI)
  find_package(Qt6 REQUIRED COMPONENTS Widgets Charts)
  find_package(PkgConfig REQUIRED)
  set(CMAKE_AUTOMOC ON)
  set(CMAKE_AUTORCC ON)

  add_subdirectory(src/charts)
  add_subdirectory(src/ui)

  target_link_libraries(dramolex-run PRIVATE dramolex_charts)
  target_compile_definitions(dramolex-run PRIVATE DRAMOLEX_WITH_CHARTS)

  add_executable(dramolex apps/dramolex/main.cpp)
  target_link_libraries(dramolex PRIVATE dramolex_ui)
  install(TARGETS dramolex RUNTIME DESTINATION bin)
  install(FILES resources/dramolex.desktop DESTINATION share/applications)
  install(FILES resources/images/icon256.png DESTINATION share/icons/hicolor/256x256/apps RENAME dramolex.png)
  install(FILES resources/images/icon.png DESTINATION share/icons/hicolor/32x32/apps RENAME dramolex.png)
  install(FILES resources/help/index.html DESTINATION share/doc/dramolex RENAME manual.html)

  add_executable(make_artwork EXCLUDE_FROM_ALL tools/make_artwork.cpp)
  target_link_libraries(make_artwork PRIVATE Qt6::Gui)
  add_executable(take_screenshots EXCLUDE_FROM_ALL tools/take_screenshots.cpp)
  target_link_libraries(take_screenshots PRIVATE dramolex_ui)
endif()
