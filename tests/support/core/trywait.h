// Waiting in a Qt test for a state, then checking it, as QTRY_VERIFY and
// QTRY_COMPARE do. Qt 6.8's forms of those narrow a 64-bit count to int in
// the test's own code, which -Wconversion rejects; these wait through
// QTest::qWaitFor, public and the same in Qt 6.4 and 6.8.
#pragma once

#include <QTest>

/// Waits up to timeoutMs (an int) for expr to hold, then QVERIFYs it.
#define DWELLMARK_TRY_VERIFY_WITH_TIMEOUT(expr, timeoutMs)                                                             \
    do {                                                                                                               \
        static_cast<void>(QTest::qWaitFor([&] { return static_cast<bool>(expr); }, timeoutMs));                        \
        QVERIFY(expr);                                                                                                 \
    } while (false)
#define DWELLMARK_TRY_VERIFY(expr) DWELLMARK_TRY_VERIFY_WITH_TIMEOUT(expr, 5000)

/// The same, failing with message.
#define DWELLMARK_TRY_VERIFY2(expr, message)                                                                           \
    do {                                                                                                               \
        static_cast<void>(QTest::qWaitFor([&] { return static_cast<bool>(expr); }, 5000));                             \
        QVERIFY2(expr, message);                                                                                       \
    } while (false)

/// Waits up to timeoutMs for actual to equal expected, then QCOMPAREs them.
#define DWELLMARK_TRY_COMPARE_WITH_TIMEOUT(actual, expected, timeoutMs)                                                \
    do {                                                                                                               \
        static_cast<void>(QTest::qWaitFor([&] { return (actual) == (expected); }, timeoutMs));                         \
        QCOMPARE(actual, expected);                                                                                    \
    } while (false)
#define DWELLMARK_TRY_COMPARE(actual, expected) DWELLMARK_TRY_COMPARE_WITH_TIMEOUT(actual, expected, 5000)
