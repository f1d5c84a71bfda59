#pragma once

// Several test classes in one program (quorvel_add_test_program in tests/CMakeLists.txt): a file
// of such a program ends with QUORVEL_TEST_MAIN(TestClass) where a standalone test has
// QTEST_MAIN. The program's main (TestGroupMain.cpp) runs the class of the file named by its
// first argument, as CTest calls it (`quorvel_app_tests test_draw -v2`), each in a process of its
// own as before: one application object per process, and the rest of the arguments for QTest.
#include <QApplication>
#include <QCoreApplication>
#include <QtTest>

namespace test_group {
using Entry = int (*)(int argc, char** argv);
// Files the test class of `sourceFile` (its base name is the test's name) under `entry`.
bool add(const char* sourceFile, Entry entry);
} // namespace test_group

// What QTEST_MAIN does, under a name of the program's own instead of main.
#define QUORVEL_TEST_ENTRY_(TestObject, ...)                                                       \
    [[maybe_unused]] static const bool quorvelTestAdded =                                          \
        test_group::add(__FILE__, [](int argc, char** argv) -> int {                               \
            QTest::Internal::callInitMain<TestObject>();                                           \
            __VA_ARGS__                                                                            \
            TestObject tc;                                                                         \
            QTEST_SET_MAIN_SOURCE_PATH                                                             \
            return QTest::qExec(&tc, argc, argv);                                                  \
        });

// QTEST_MAIN with widgets, QTEST_GUILESS_MAIN and QTEST_APPLESS_MAIN.
#define QUORVEL_TEST_MAIN(TestObject)                                                              \
    QUORVEL_TEST_ENTRY_(TestObject, QApplication app(argc, argv);                                  \
                        app.setAttribute(Qt::AA_Use96Dpi, true);)
#define QUORVEL_TEST_GUILESS_MAIN(TestObject)                                                      \
    QUORVEL_TEST_ENTRY_(TestObject, QCoreApplication app(argc, argv);                              \
                        app.setAttribute(Qt::AA_Use96Dpi, true);)
#define QUORVEL_TEST_APPLESS_MAIN(TestObject) QUORVEL_TEST_ENTRY_(TestObject, )
