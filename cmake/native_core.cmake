# Native build: the portable core, its unit tests, fuzz targets and benchmarks.
if(KALBOOK_SANITIZE)
  set(SANITIZE_FLAGS -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_compile_options(${SANITIZE_FLAGS})
  add_link_options(${SANITIZE_FLAGS})
endif()
if(KALBOOK_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()

add_library(kalcore STATIC ${CORE_SOURCES} ${POSIX_SOURCES})
target_include_directories(kalcore PUBLIC ${CMAKE_SOURCE_DIR})

# Host tool that turns the text pixel art into .bmp/.cur/.ico (also built by the Windows build).
add_executable(pixelart tools/pixelart.cpp)

# Host tool that writes the translated resource sets (also built by the Windows build); its
# check mode is a test: every table covers every English text, with matching placeholders.
file(GLOB LANGSETS_LIBRARY_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/langsets/*.cpp)
list(FILTER LANGSETS_LIBRARY_SOURCES EXCLUDE REGEX "/main\\.cpp$")
add_library(langsets_core STATIC ${LANGSETS_LIBRARY_SOURCES})
target_link_libraries(langsets_core PUBLIC kalcore)
add_executable(langsets tools/langsets/main.cpp)
target_link_libraries(langsets PRIVATE langsets_core)

enable_testing()
if(NOT KALBOOK_FUZZ)
  find_package(GTest REQUIRED)
  file(GLOB UNIT_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/unit/*.cpp)
  add_executable(unit_tests ${UNIT_TESTS})
  target_link_libraries(unit_tests PRIVATE kalcore langsets_core GTest::gtest GTest::gtest_main)
  include(GoogleTest)
  gtest_discover_tests(unit_tests WORKING_DIRECTORY ${CMAKE_BINARY_DIR} DISCOVERY_TIMEOUT 60)
  add_test(NAME pixelart_roundtrip
           COMMAND ${CMAKE_SOURCE_DIR}/tests/pixelart_check.sh $<TARGET_FILE:pixelart> ${CMAKE_SOURCE_DIR}/resources)
  add_test(NAME language_tables
           COMMAND langsets check ${CMAKE_SOURCE_DIR}/resources/kalbook.rc ${CMAKE_SOURCE_DIR}/resources/lang)
endif()

if(KALBOOK_FUZZ)
  file(GLOB FUZZ_TARGETS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/fuzz/fuzz_*.cpp)
  foreach(src ${FUZZ_TARGETS})
    get_filename_component(name ${src} NAME_WE)
    add_executable(${name} ${src})
    target_link_libraries(${name} PRIVATE kalcore)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    add_test(NAME ${name}
             COMMAND ${CMAKE_SOURCE_DIR}/tests/fuzz/run_fuzz.sh $<TARGET_FILE:${name}> ${CMAKE_SOURCE_DIR}/tests/fuzz/corpus/${name})
  endforeach()
endif()

if(KALBOOK_BENCH)
  find_package(benchmark REQUIRED)
  file(GLOB BENCH_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/*.cpp)
  add_executable(store_bench ${BENCH_SOURCES})
  target_link_libraries(store_bench PRIVATE kalcore benchmark::benchmark)
endif()
