# zolvelt_add_test(NAME <exe> SOURCES ... LIBS ... [QT | OWN_MAIN])
# One test executable per layer; every GoogleTest case becomes a CTest test.
# QT: the executable gets a QApplication (offscreen platform) through zv_test_main_qt.
# OWN_MAIN: its sources bring their own main() (one that makes another application object).
include(GoogleTest)
find_package(GTest REQUIRED)

function(zolvelt_add_test)
    cmake_parse_arguments(T "QT;OWN_MAIN" "NAME" "SOURCES;LIBS" ${ARGN})
    add_executable(${T_NAME} ${T_SOURCES})
    if(T_QT)
        target_link_libraries(${T_NAME} PRIVATE zv_test_main_qt ${T_LIBS})
    elseif(T_OWN_MAIN)
        target_link_libraries(${T_NAME} PRIVATE zv_test_run_qt ${T_LIBS})
    else()
        target_link_libraries(${T_NAME} PRIVATE GTest::gmock GTest::gtest_main ${T_LIBS})
    endif()
    target_link_libraries(${T_NAME} PRIVATE zv_test_support)
    gtest_discover_tests(${T_NAME}
        DISCOVERY_MODE PRE_TEST
        DISCOVERY_TIMEOUT 30
        PROPERTIES
            ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
            ENVIRONMENT_MODIFICATION "QT_QPA_PLATFORMTHEME=unset:"
            TIMEOUT 120)
endfunction()
