glimmerkey_add_fuzz(hive_fuzz
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/HiveFuzz.cpp
  LIBS vg_platform
  CORPUS ${CMAKE_CURRENT_SOURCE_DIR}/corpus/hive)
