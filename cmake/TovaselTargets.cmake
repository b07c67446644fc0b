# Every subsystem is one static library made of the .cpp files in its folders;
# a folder without sources yet yields an interface target so that dependants
# configure all the same.
function(tovasel_library name)
  cmake_parse_arguments(ARG "" "" "DIRS;DEPS" ${ARGN})
  set(srcs)
  foreach(dir IN LISTS ARG_DIRS)
    file(GLOB found CONFIGURE_DEPENDS ${dir}/*.cpp)
    list(APPEND srcs ${found})
  endforeach()
  if(srcs)
    add_library(${name} STATIC ${srcs})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} INTERFACE ${ARG_DEPS})
  endif()
endfunction()

# One GoogleTest executable per test folder, registered with CTest test by test.
# LABELS marks every test of the folder (the sanitizer run leaves out "slow").
# TOVASEL_TEST_FOLDERS, when set, names the only test folders built (the
# thread sanitizer's run needs the libraries that start threads).
function(tovasel_test name)
  cmake_parse_arguments(ARG "" "DIR" "DEPS;LABELS" ${ARGN})
  get_filename_component(folder ${ARG_DIR} NAME)
  if(TOVASEL_TEST_FOLDERS AND NOT folder IN_LIST TOVASEL_TEST_FOLDERS)
    return()
  endif()
  file(GLOB srcs CONFIGURE_DEPENDS ${ARG_DIR}/*.cpp)
  if(NOT srcs)
    return()
  endif()
  add_executable(${name} ${srcs})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} tovasel_test_support GTest::gtest GTest::gtest_main GTest::gmock)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_compile_definitions(${name} PRIVATE
    TOVASEL_SHARED_CORPUS="${PROJECT_SOURCE_DIR}/../shared/corpus"
    TOVASEL_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 NO_PRETTY_VALUES PROPERTIES TIMEOUT 600 LABELS "${ARG_LABELS}")
endfunction()
