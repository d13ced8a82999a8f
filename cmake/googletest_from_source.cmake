# GoogleTest and GoogleMock for a cross build: Debian's sources (package googletest) compiled with the build's
# own compiler. They name their targets GTest::gtest, GTest::gmock and GTest::gtest_main themselves, as
# find_package(GTest) does in a native build, so the tests link the same way in both.
set(VERSWEEP_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources built for a cross build")
if(NOT EXISTS ${VERSWEEP_GOOGLETEST_SOURCE}/CMakeLists.txt)
    message(FATAL_ERROR "no GoogleTest sources in ${VERSWEEP_GOOGLETEST_SOURCE}: install the googletest package"
        " (scripts/deps.sh does)")
endif()
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${VERSWEEP_GOOGLETEST_SOURCE} ${PROJECT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
