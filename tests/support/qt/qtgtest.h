// GoogleTest in the tests of Qt windows: Qt's values printed in failures, and checks that wait for a state.
#pragma once

#include <QDebug>
#include <QString>
#include <QTest>
#include <gtest/gtest.h>
#include <ostream>
#include <string>

/// A value that qDebug() prints.
template <typename T>
concept DebugPrintable = requires(QDebug debug, const T& value) {
    debug << value;
};

/// Prints a Qt value as qDebug() does. GoogleTest finds it by the value's
/// namespace (Qt's, the global one); without it, a failure shows bytes.
template <DebugPrintable T>
void PrintTo(const T& value, std::ostream* out) {
    QString text;
    QDebug(&text).nospace() << value;
    *out << text.toStdString();
}

/// A text streamed into a failure's message, as UTF-8.
inline std::ostream& operator<<(std::ostream& out, const QString& text) {
    return out << text.toStdString();
}

namespace dwellmark::testing {

/// Names the cases of a parameterised test by their parameter's name.
inline constexpr auto caseName = [](const auto& tested) { return std::string(tested.param.name); };

} // namespace dwellmark::testing

/// Waits (through QTest::qWaitFor, events running) up to timeoutMs until
/// holds is true or the time is up, then makes the check, into which a
/// message may be streamed: DWELLMARK_TRY_WITHIN(30000, x > 1, EXPECT_GT(x, 1)).
/// The limits only catch a hang.
#define DWELLMARK_TRY_WITHIN(timeoutMs, holds, check)                                                                  \
    if (static_cast<void>(QTest::qWaitFor([&] { return static_cast<bool>(holds); }, timeoutMs)); false) {              \
    } else                                                                                                             \
        check

/// The same within 5 s, for expr to hold or actual to equal expected.
#define DWELLMARK_TRY_EXPECT_TRUE(expr) DWELLMARK_TRY_WITHIN(5000, expr, EXPECT_TRUE(expr))
#define DWELLMARK_TRY_ASSERT_TRUE(expr) DWELLMARK_TRY_WITHIN(5000, expr, ASSERT_TRUE(expr))
#define DWELLMARK_TRY_EXPECT_EQ(actual, expected)                                                                      \
    DWELLMARK_TRY_WITHIN(5000, (actual) == (expected), EXPECT_EQ(actual, expected))
#define DWELLMARK_TRY_ASSERT_EQ(actual, expected)                                                                      \
    DWELLMARK_TRY_WITHIN(5000, (actual) == (expected), ASSERT_EQ(actual, expected))
