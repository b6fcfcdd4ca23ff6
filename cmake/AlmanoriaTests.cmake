# How a test suite is handed to ctest.
#   almanoria_add_suite(<target> [ENVIRONMENT <VAR=value>...] [NAME <name>] [ARGS <argument>...])
# Natively each GoogleTest case becomes a ctest entry. Cross-compiled for Windows, a suite is one
# entry run under Wine through CMAKE_CROSSCOMPILING_EMULATOR, in the one prefix and server that
# the wine_prefix fixture starts before the suites and ends after them: each Wine start costs
# seconds (more where qemu runs the 32-bit Wine), each case listed apart would cost one more.
# NAME and ARGS give one more entry of the same suite, for a second run under other settings.
function(almanoria_add_suite target)
    cmake_parse_arguments(PARSE_ARGV 1 SUITE "" "NAME" "ENVIRONMENT;ARGS")
    if(CMAKE_CROSSCOMPILING)
        set(name ${target})
        if(SUITE_NAME)
            set(name ${SUITE_NAME})
        endif()
        add_test(NAME ${name} COMMAND ${target} --gtest_color=no ${SUITE_ARGS})
        set_tests_properties(${name} PROPERTIES
            FIXTURES_REQUIRED wine_prefix
            TIMEOUT 900
            ENVIRONMENT "${ALMANORIA_WINE_ENVIRONMENT};${SUITE_ENVIRONMENT}")
    elseif(NOT SUITE_NAME)
        set(properties)
        if(SUITE_ENVIRONMENT)
            set(properties PROPERTIES ENVIRONMENT "${SUITE_ENVIRONMENT}")
        endif()
        gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60 ${properties})
    endif()
endfunction()

# The Wine prefix the cross-compiled suites share: made once and its server kept up for the
# run, then ended.
function(almanoria_add_wine_fixture)
    list(GET CMAKE_CROSSCOMPILING_EMULATOR 0 wrapper)
    set(ALMANORIA_WINE_ENVIRONMENT "WINEPREFIX=${CMAKE_BINARY_DIR}/wine-prefix;LC_ALL=en_US.UTF-8"
        PARENT_SCOPE)
    add_test(NAME wine_prefix_start COMMAND ${wrapper} --start)
    add_test(NAME wine_prefix_end COMMAND ${wrapper} --end)
    set_tests_properties(wine_prefix_start PROPERTIES FIXTURES_SETUP wine_prefix TIMEOUT 900
        ENVIRONMENT "WINEPREFIX=${CMAKE_BINARY_DIR}/wine-prefix;LC_ALL=en_US.UTF-8")
    set_tests_properties(wine_prefix_end PROPERTIES FIXTURES_CLEANUP wine_prefix TIMEOUT 120
        ENVIRONMENT "WINEPREFIX=${CMAKE_BINARY_DIR}/wine-prefix")
endfunction()
