# Windows build: kalbook.exe (core + Win32 shell + resources) and the test tools.
enable_language(RC)
add_compile_definitions(WINVER=0x0501 _WIN32_WINNT=0x0501 _WIN32_IE=0x0501)
add_compile_options(-UUNICODE -U_UNICODE)

# A release is reproducible: no build folder in the binary, no link time in its header.
add_compile_options("$<$<COMPILE_LANGUAGE:CXX>:-ffile-prefix-map=${CMAKE_SOURCE_DIR}=.;-ffile-prefix-map=${CMAKE_BINARY_DIR}=build>")
add_link_options(-Wl,--no-insert-timestamp)

# The pictures are kept as text; a host-built tool turns them into binary resources.
set(HOST_CXX c++ CACHE STRING "Native C++ compiler for build-time tools")
set(PIXELART ${CMAKE_BINARY_DIR}/host/pixelart)
add_custom_command(OUTPUT ${PIXELART}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/host
  COMMAND ${HOST_CXX} -std=c++17 -O1 -Wall -Wextra -o ${PIXELART} ${CMAKE_SOURCE_DIR}/tools/pixelart.cpp
  DEPENDS ${CMAKE_SOURCE_DIR}/tools/pixelart.cpp
  COMMENT "Building host tool pixelart")

file(GLOB ART_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/resources/art/*.txt)
set(ART_OUTPUTS)
set(ART_DIR ${CMAKE_BINARY_DIR}/art)
foreach(art ${ART_FILES})
  get_filename_component(name ${art} NAME_WE)
  file(STRINGS ${art} kind_line REGEX "^kind ")
  string(REGEX REPLACE "^kind +([a-z]+).*" "\\1" kind "${kind_line}")
  set(out ${ART_DIR}/${name}.${kind})
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${ART_DIR}
    COMMAND ${PIXELART} ${art} ${out}
    DEPENDS ${PIXELART} ${art}
    COMMENT "Drawing ${name}.${kind}")
  list(APPEND ART_OUTPUTS ${out})
endforeach()
add_custom_target(art DEPENDS ${ART_OUTPUTS})

# kalbook.rc includes the other resource scripts (one per area: menus, strings, dialogs ...).
set(RC_FILES ${CMAKE_SOURCE_DIR}/resources/kalbook.rc)
file(GLOB RC_PARTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/resources/*.rc ${CMAKE_SOURCE_DIR}/resources/*.h)
set_source_files_properties(${RC_FILES} PROPERTIES OBJECT_DEPENDS "${ART_OUTPUTS};${RC_PARTS}")
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -I${ART_DIR} -I${CMAKE_SOURCE_DIR}/resources -I${CMAKE_SOURCE_DIR}")

# The eight translated resource sets: generated from the English scripts and the translation
# tables in resources/lang, so that their resources, control ids, order and sizes follow English.
set(LANGSETS ${CMAKE_BINARY_DIR}/host/langsets)
file(GLOB LANGSETS_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/langsets/*.cpp)
file(GLOB LANGSETS_HEADERS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/langsets/*.h)
add_custom_command(OUTPUT ${LANGSETS}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/host
  COMMAND ${HOST_CXX} -std=c++17 -O1 -Wall -Wextra -I${CMAKE_SOURCE_DIR} -o ${LANGSETS}
          ${LANGSETS_SOURCES} ${CMAKE_SOURCE_DIR}/app/language.cpp
  DEPENDS ${LANGSETS_SOURCES} ${LANGSETS_HEADERS} ${CMAKE_SOURCE_DIR}/app/language.cpp
  COMMENT "Building host tool langsets")
file(GLOB LANG_TABLES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/resources/lang/*.lang ${CMAKE_SOURCE_DIR}/resources/lang/*.layout)
set(LANG_RC ${CMAKE_BINARY_DIR}/lang/languages.rc)
add_custom_command(OUTPUT ${LANG_RC}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/lang
  COMMAND ${LANGSETS} generate ${CMAKE_SOURCE_DIR}/resources/kalbook.rc ${CMAKE_SOURCE_DIR}/resources/lang ${LANG_RC}
  DEPENDS ${LANGSETS} ${LANG_TABLES} ${RC_PARTS}
  COMMENT "Writing the translated resource sets")
set_source_files_properties(${LANG_RC} PROPERTIES GENERATED TRUE)

# The version resource and the application manifest, from the project's one version.
set(RELEASE_DIR ${CMAKE_BINARY_DIR}/release)
configure_file(${CMAKE_SOURCE_DIR}/resources/release/version.h.in ${RELEASE_DIR}/kalbook_version.h @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/resources/release/kalbook.manifest.in ${RELEASE_DIR}/kalbook.manifest @ONLY)
set(RELEASE_RC ${CMAKE_SOURCE_DIR}/resources/release/release.rc)
set_source_files_properties(${RELEASE_RC} PROPERTIES
  OBJECT_DEPENDS "${RELEASE_DIR}/kalbook_version.h;${RELEASE_DIR}/kalbook.manifest")
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -I${RELEASE_DIR}")

add_executable(kalbook WIN32 ${CORE_SOURCES} ${WIN_SOURCES} ${RC_FILES} ${LANG_RC} ${RELEASE_RC})
add_dependencies(kalbook art)
target_include_directories(kalbook PRIVATE ${CMAKE_SOURCE_DIR})
target_link_options(kalbook PRIVATE -static -mwindows)
target_link_libraries(kalbook PRIVATE comctl32 comdlg32 gdi32 user32 kernel32 advapi32 shell32 oleacc ole32 oleaut32 winhttp crypt32)

# The help: the topics in help/ compiled into qlon.chm beside kalbook.exe, and checked.
find_program(CHMCMD chmcmd)
find_program(CHMLS chmls)
if(NOT CHMCMD OR NOT CHMLS)
  message(FATAL_ERROR "chmcmd and chmls compile and check the help (qlon.chm) and were not found: "
    "install the Debian package fp-utils (bash tools/setup.sh installs everything the build needs).")
endif()
file(GLOB HELP_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/help/*)
set(HELP_CHM ${CMAKE_BINARY_DIR}/qlon.chm)
add_custom_command(OUTPUT ${HELP_CHM}
  COMMAND bash ${CMAKE_SOURCE_DIR}/tools/build_help.sh ${CMAKE_SOURCE_DIR}/help ${HELP_CHM}
  DEPENDS ${HELP_SOURCES} ${CMAKE_SOURCE_DIR}/tools/build_help.sh ${CMAKE_SOURCE_DIR}/tools/fix_help_context.py
          ${CMAKE_SOURCE_DIR}/tools/fix_help_time.py
  COMMENT "Compiling and checking the help qlon.chm")
add_custom_target(help_chm ALL DEPENDS ${HELP_CHM})

# Test tools: the window driver (console) and the host window that receives the hand-off.
add_executable(kaldriver tools/driver/kaldriver.cpp)
target_link_options(kaldriver PRIVATE -static -mconsole)
target_link_libraries(kaldriver PRIVATE comctl32 gdi32 user32 kernel32 oleacc ole32 oleaut32 version winspool)

# Holds a file open without sharing, so that tests can make saves and start-up reads fail.
add_executable(kalhold tools/holder/kalhold.cpp)
target_link_options(kalhold PRIVATE -static -mconsole)
target_link_libraries(kalhold PRIVATE kernel32)

# Puts the sync tests' certificate authority into the Wine prefix's Root store.
add_executable(kalroot tools/certstore/kalroot.cpp)
target_link_options(kalroot PRIVATE -static -mconsole)
target_link_libraries(kalroot PRIVATE crypt32 kernel32)

add_executable(kalhost WIN32 tools/host/kalhost.cpp)
target_link_options(kalhost PRIVATE -static -mwindows)
target_link_libraries(kalhost PRIVATE gdi32 user32 kernel32)

# The compiled sets: every English menu, dialog and string in each language (no Wine needed).
add_test(NAME language_sets COMMAND bash ${CMAKE_SOURCE_DIR}/tests/language_sets_check.sh ${CMAKE_RC_COMPILER} ${ART_DIR} ${LANG_RC})

# End-to-end tests: the real kalbook.exe under Wine, one shared Xvfb and Wine prefix per run.
enable_testing()
set(E2E_STATE ${CMAKE_BINARY_DIR}/e2e)
set(E2E_DIR ${CMAKE_SOURCE_DIR}/tests/e2e)
add_test(NAME e2e_start COMMAND bash ${E2E_DIR}/fixture_start.sh ${E2E_STATE})
add_test(NAME e2e_stop COMMAND bash ${E2E_DIR}/fixture_stop.sh ${E2E_STATE})
set_tests_properties(e2e_start PROPERTIES FIXTURES_SETUP wine TIMEOUT 300 RUN_SERIAL TRUE)
set_tests_properties(e2e_stop PROPERTIES FIXTURES_CLEANUP wine TIMEOUT 60 RUN_SERIAL TRUE)
file(GLOB E2E_TESTS CONFIGURE_DEPENDS ${E2E_DIR}/test_*.sh)
foreach(script ${E2E_TESTS})
  get_filename_component(name ${script} NAME_WE)
  add_test(NAME e2e_${name} COMMAND bash ${script})
  set_tests_properties(e2e_${name} PROPERTIES
    FIXTURES_REQUIRED wine RUN_SERIAL TRUE TIMEOUT 300 SKIP_RETURN_CODE 77
    ENVIRONMENT "E2E_STATE=${E2E_STATE};KALBOOK_EXE=$<TARGET_FILE:kalbook>;KALDRIVER=$<TARGET_FILE:kaldriver>;KALHOST=$<TARGET_FILE:kalhost>;KALHOLD=$<TARGET_FILE:kalhold>;WINDRES=${CMAKE_RC_COMPILER}")
endforeach()

# The release for Windows users (tools/package.sh): one folder kalbook-VERSION with the program,
# its help, README.txt and the license, packed by CPack as a zip. Only what the zip holds is built.
set(RELEASE_FOLDER kalbook-${PROJECT_VERSION})
configure_file(${CMAKE_SOURCE_DIR}/resources/release/README.txt.in ${RELEASE_DIR}/README.txt
               @ONLY NEWLINE_STYLE CRLF)
install(TARGETS kalbook RUNTIME DESTINATION ${RELEASE_FOLDER})
install(FILES ${HELP_CHM} ${RELEASE_DIR}/README.txt DESTINATION ${RELEASE_FOLDER})
install(FILES ${CMAKE_SOURCE_DIR}/LICENSE DESTINATION ${RELEASE_FOLDER} RENAME LICENSE.txt)
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY TRUE)
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME kalbook)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME kalbook-${PROJECT_VERSION}-win64)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_STRIP_FILES OFF)
include(CPack)
