#pragma once

#include "support/picture_test_files.h"

#include <QByteArray>
#include <QString>
#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

// Helpers for byte-for-byte comparisons of written files against expected files.
namespace Golden
{

// Empty when equal; otherwise the 1-based line and both versions of the first line that differs.
inline std::string FirstDifference(const QByteArray &actual, const QByteArray &expected)
{
    if (actual == expected)
        return {};
    const QList<QByteArray> a = actual.split('\n'), e = expected.split('\n');
    for (qsizetype i = 0; i < std::max(a.size(), e.size()); ++i) {
        const QByteArray la = i < a.size() ? a[i] : QByteArray("<missing>");
        const QByteArray le = i < e.size() ? e[i] : QByteArray("<missing>");
        if (la != le)
            return "line " + std::to_string(i + 1) + "\n  actual:   [" + la.toStdString() +
                   "]\n  expected: [" + le.toStdString() + "]";
    }
    return "sizes differ: " + std::to_string(actual.size()) + " vs " + std::to_string(expected.size());
}

// The expected page from tests/data/pages with its @NAME@ placeholders filled in
// (the parts that depend on the temporary folder or on the clock).
inline QByteArray ExpectedPage(const char *name,
                               const std::vector<std::pair<QByteArray, QByteArray>> &fill = {})
{
    QByteArray bytes =
        PictureFiles::ReadBytes(QStringLiteral(GALVORA_TEST_DATA "/pages/") + QLatin1String(name));
    EXPECT_FALSE(bytes.isEmpty()) << "missing expected page " << name;
    for (const auto &[key, value] : fill)
        bytes.replace(key, value);
    return bytes;
}

} // namespace Golden

#define EXPECT_SAME_PAGE(actual, expected)                                                                   \
    do {                                                                                                     \
        const std::string difference = Golden::FirstDifference((actual), (expected));                        \
        EXPECT_TRUE(difference.empty()) << difference;                                                       \
    } while (0)
