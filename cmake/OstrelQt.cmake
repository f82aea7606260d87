# The one place that chooses Qt: Qt 6 by default, Qt 5.15 with -DOSTREL_QT_MAJOR=5. Every other CMake
# file names Qt's versionless targets (Qt::Widgets). Qt 5 keeps QOpenGLWidget in Widgets and the
# OpenGL frame buffer classes in Gui, where Qt 6 has the modules OpenGLWidgets and OpenGL: under Qt 5
# those two names stand for the modules that hold the classes.
set(OSTREL_QT_MAJOR 6 CACHE STRING "Major version of Qt to build with: 6 or 5")
set(OSTREL_QT_COMPONENTS Core Gui Widgets)
if(OSTREL_BUILD_TESTS)
  list(APPEND OSTREL_QT_COMPONENTS Test)
endif()
if(OSTREL_QT_MAJOR EQUAL 6)
  find_package(Qt6 6.4 REQUIRED COMPONENTS ${OSTREL_QT_COMPONENTS} OpenGL OpenGLWidgets)
elseif(OSTREL_QT_MAJOR EQUAL 5)
  find_package(Qt5 5.15 REQUIRED COMPONENTS ${OSTREL_QT_COMPONENTS})
  add_library(Qt::OpenGL INTERFACE IMPORTED)
  target_link_libraries(Qt::OpenGL INTERFACE Qt5::Gui)
  add_library(Qt::OpenGLWidgets INTERFACE IMPORTED)
  target_link_libraries(Qt::OpenGLWidgets INTERFACE Qt5::Widgets)
else()
  message(FATAL_ERROR "OSTREL_QT_MAJOR must be 6 or 5, not ${OSTREL_QT_MAJOR}")
endif()
