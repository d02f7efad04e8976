# The Windows-side GoogleTest programs of a cross build: every case is its own CTest entry, run
# through the target's emulator (Wine). The cases are found when ctest starts (PRE_TEST), by
# running the program with --gtest_list_tests, so configuring needs no Wine.
#
# The cross build writes an index of its case lists (wine-tests.cmake in its top folder); a
# native build whose KETTERLIN_WIN_BUILD_DIR names it includes that index, so one CTest tree
# lists and runs the native, the end-to-end and the Windows-side tests. The index takes a list
# only once its program has been built, and a native build without a cross build takes none.
include_guard(GLOBAL)
include(GoogleTest)

# Long enough for Wine to make its prefix on the first run.
set(kWineTestDiscoverySeconds 300)
set(kWineTestDefaultTimeout 120)

# Writes VALUE as one quoted CMake argument (its semicolons stay list separators).
function(ketterlin_quote_argument out value)
    string(REPLACE "\\" "\\\\" value "${value}")
    string(REPLACE "\"" "\\\"" value "${value}")
    string(REPLACE "$" "\\$" value "${value}")
    set(${out} "\"${value}\"" PARENT_SCOPE)
endfunction()

# ketterlin_wine_tests(TARGET PREFIX p [FILTER gtest-filter] [LABELS l...] [TIMEOUT s]
#                      [ENVIRONMENT NAME=VALUE...])
# Registers the cases of TARGET (those FILTER selects, all by default) as PREFIX<Suite>.<Case>,
# labelled wine and LABELS. Call it once per group of cases that need other properties.
function(ketterlin_wine_tests target)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "PREFIX;FILTER;TIMEOUT" "LABELS;ENVIRONMENT")
    if(NOT arg_TIMEOUT)
        set(arg_TIMEOUT ${kWineTestDefaultTimeout})
    endif()
    # The groups of one target are numbered in the order they are registered.
    get_property(number TARGET ${target} PROPERTY KETTERLIN_WINE_TEST_GROUP_COUNT)
    if(NOT number)
        set(number 0)
    endif()
    math(EXPR next "${number} + 1")
    set_property(TARGET ${target} PROPERTY KETTERLIN_WINE_TEST_GROUP_COUNT ${next})
    set(caseList ${target}_cases_${number})
    set(filter)
    if(arg_FILTER)
        set(filter TEST_FILTER "${arg_FILTER}")
    endif()
    gtest_discover_tests(${target}
        TEST_PREFIX "${arg_PREFIX}"
        ${filter}
        TEST_LIST ${caseList}
        DISCOVERY_MODE PRE_TEST
        DISCOVERY_TIMEOUT ${kWineTestDiscoverySeconds})

    # The discovered cases' properties are set by a file of our own that includes the list:
    # properties handed to gtest_discover_tests lose the separators of their lists.
    get_property(includeFiles DIRECTORY PROPERTY TEST_INCLUDE_FILES)
    list(POP_BACK includeFiles listFile)
    set(labels wine ${arg_LABELS})
    ketterlin_quote_argument(labels "${labels}")
    set(properties "LABELS ${labels} TIMEOUT ${arg_TIMEOUT}")
    if(arg_ENVIRONMENT)
        ketterlin_quote_argument(environment "${arg_ENVIRONMENT}")
        string(APPEND properties " ENVIRONMENT ${environment}")
    endif()
    set(groupFile ${CMAKE_CURRENT_BINARY_DIR}/${target}-cases-${number}.cmake)
    file(WRITE ${groupFile}
        "# Cases of ${target} (generated).\n"
        "include(\"${listFile}\")\n"
        "if(${caseList})\n"
        "  set_tests_properties(\${${caseList}} PROPERTIES ${properties})\n"
        "endif()\n")
    list(APPEND includeFiles ${groupFile})
    set_property(DIRECTORY PROPERTY TEST_INCLUDE_FILES ${includeFiles})
    set_property(GLOBAL APPEND PROPERTY KETTERLIN_WINE_TEST_GROUPS
                 "$<TARGET_FILE:${target}>|${groupFile}")
endfunction()

# Writes the index of every group registered above; called once, at the end of the cross
# configure.
function(ketterlin_write_wine_test_index)
    get_property(groups GLOBAL PROPERTY KETTERLIN_WINE_TEST_GROUPS)
    set(content "# The Windows-side test cases of this cross build (generated).\n")
    foreach(group ${groups})
        string(REPLACE "|" ";" group "${group}")
        list(GET group 0 program)
        list(GET group 1 groupFile)
        string(APPEND content "if(EXISTS \"${program}\")\n  include(\"${groupFile}\")\nendif()\n")
    endforeach()
    file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/wine-tests.cmake CONTENT "${content}")
endfunction()
