# Widget files (.tvt) come from anywhere: the reader must refuse bad ones
# cleanly, and whatever it accepts must generate code and survive a re-save.
glimmerkey_add_fuzz(widgetfile_fuzz
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/WidgetFileFuzz.cpp
  LIBS tavolet_core
  CORPUS ${CMAKE_CURRENT_SOURCE_DIR}/corpus/widgetfile)
