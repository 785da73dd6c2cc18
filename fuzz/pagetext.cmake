# Pages given to Insert into are the user's bytes in any encoding.
glimmerkey_add_fuzz(pagetext_fuzz
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/PageTextFuzz.cpp ${CMAKE_SOURCE_DIR}/output/publishing/PageText.cpp
  LIBS Qt6::Core
  CORPUS ${CMAKE_CURRENT_SOURCE_DIR}/corpus/page)
target_include_directories(pagetext_fuzz PRIVATE ${CMAKE_SOURCE_DIR})
