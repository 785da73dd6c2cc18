# Marked blocks in pages edited by hand or by other tools.
glimmerkey_add_fuzz(blocks_fuzz
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/BlocksFuzz.cpp
  LIBS vg_system
  CORPUS ${CMAKE_CURRENT_SOURCE_DIR}/corpus/blocks)
