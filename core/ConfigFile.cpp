#include "core/ConfigFile.h"

#include "core/TextUtil.h"
#include "core/WholeFile.h"

#include <QFile>

namespace torvane {

namespace {

QStringList splitLines(const QString &text)
{
    // CR LF, a lone LF or a lone CR each end a line; the text after the last terminator counts
    // as a line only when it is not empty.
    QStringList lines;
    QString current;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\r' || c == u'\n') {
            lines.append(current);
            current.clear();
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
        } else {
            current.append(c);
        }
    }
    if (!current.isEmpty())
        lines.append(current);
    return lines;
}

void setInt16(int16_t &setting, const QString &line)
{
    if (const auto v = toInt16(leadingNumber(line)))
        setting = *v;
}

void setInt32(int32_t &setting, const QString &line)
{
    if (const auto v = toInt32(leadingNumber(line)))
        setting = *v;
}

}  // namespace

bool readConfigFile(const QString &path, ProgramValues &values)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QStringList lines = splitLines(fromCp1252(file.readAll()));

    values.DefaultSource = -1;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString &line = lines[i];
        switch (i + 1) {
        case 1: values.OwnLatitude = leadingNumber(line); break;
        case 2: values.OwnLongitude = leadingNumber(line); break;
        case 3: setInt16(values.DefaultSource, line); break;
        case 4: setInt32(values.WindowLeft, line); values.WindowLeft = qMax(0, values.WindowLeft); break;
        case 5: setInt32(values.WindowTop, line); values.WindowTop = qMax(0, values.WindowTop); break;
        case 6: setInt16(values.UseMiles, line); values.UseMiles = qMin<int16_t>(1, values.UseMiles); break;
        case 7: setInt16(values.LanguageIndex, line); break;
        case 8: setInt32(values.WindowWidth, line); break;
        case 9: setInt16(values.AlwaysOnTop, line); break;
        case 10: values.OwnCall = line; break;
        case 11: setInt16(values.PlainZero, line); break;
        case 12:
            if (const auto v = toInt16(leadingNumber(line)))
                values.WebMode = *v != 0;
            break;
        default: values.CallHistory.append(line); break;
        }
    }
    if (values.DefaultSource == -1)
        values.DefaultSource = 0;
    return true;
}

QByteArray configFileBytes(const ProgramValues &values, const WindowPlacement &window)
{
    QStringList lines = {
        formatNumber(values.OwnLatitude),
        formatNumber(values.OwnLongitude),
        QString::number(values.DefaultSource),
        QString::number(window.left),
        QString::number(window.top),
        QString::number(values.UseMiles),
        QString::number(values.LanguageIndex),
        QString::number(window.width),
        QString::number(values.AlwaysOnTop),
        values.OwnCall,
        QString::number(values.PlainZero),
        values.WebMode ? QStringLiteral("1") : QStringLiteral("0"),
    };
    lines += values.CallHistory;
    QByteArray bytes;
    for (const QString &line : lines)
        bytes += toCp1252(line) + "\r\n";
    return bytes;
}

QString writeConfigFile(const QString &path, const ProgramValues &values,
                        const WindowPlacement &window)
{
    return writeWholeFile(path, configFileBytes(values, window));
}

}  // namespace torvane
