#pragma once
// Shared by the fuzz targets: input as bytes, a scratch folder, checks that stop the run.

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLoggingCategory>
#include <QString>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// A property of the code under test that must hold: a failure stops the fuzzer with a report.
#define FUZZ_CHECK(cond)                                                                        \
    do {                                                                                        \
        if (!(cond)) {                                                                          \
            std::fprintf(stderr, "FUZZ_CHECK failed: %s at %s:%d\n", #cond, __FILE__, __LINE__); \
            std::abort();                                                                       \
        }                                                                                       \
    } while (0)

namespace fuzz {

inline QByteArray bytes(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}

/// The bytes up to the first LF (at most `most` of them, the LF dropped) and the rest; without
/// an LF among the first most + 1 bytes the head is empty and the rest is everything.
inline std::pair<QByteArray, QByteArray> splitHead(const QByteArray &input, qsizetype most)
{
    const qsizetype lf = input.left(most + 1).indexOf('\n');
    if (lf < 0)
        return {QByteArray(), input};
    return {input.left(lf), input.mid(lf + 1)};
}

// The readers warn about the bad files they are fed on every run: silenced before the first.
inline const bool kQuiet = (QLoggingCategory::setFilterRules(QStringLiteral("*=false")), true);

/// A folder of this process's own under $TMPDIR (or /tmp), made on first use; each target
/// overwrites the files it uses there.
inline const QString &scratch()
{
    static const QString path = [] {
        const QString dir = QDir::tempPath() + QStringLiteral("/torvane-fuzz-")
                            + QString::number(QCoreApplication::applicationPid());
        QDir().mkpath(dir);
        return dir;
    }();
    return path;
}

inline void writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    FUZZ_CHECK(file.write(content) == content.size());
}

}  // namespace fuzz
