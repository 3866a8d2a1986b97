#include "calldb/CallRecord.h"

#include "core/TextUtil.h"

#include <QByteArray>
#include <algorithm>
#include <cstring>

namespace torvane {

namespace {
constexpr std::array<int, CallRecord::kFieldCount> kWidths = {6, 25, 30, 30, 30, 15, 15, 12, 4};
constexpr std::array<int, CallRecord::kFieldCount> kOffsets = {0, 6, 31, 61, 91, 121, 136, 151, 163};
static_assert(kOffsets[CallRecord::YearBorn] + kWidths[CallRecord::YearBorn] == CallRecord::kSize,
              "fields must fill the record");
}  // namespace

int CallRecord::width(Field field) { return kWidths[field]; }
int CallRecord::offset(Field field) { return kOffsets[field]; }

CallRecord::CallRecord() { clear(); }

QString CallRecord::text(Field field) const
{
    return fromCp1252(QByteArray(m_bytes.data() + kOffsets[field], kWidths[field]));
}

QString CallRecord::trimmed(Field field) const
{
    return trimBlanks(text(field));
}

void CallRecord::setText(Field field, QStringView value)
{
    const QByteArray bytes = toCp1252(value);
    const int w = kWidths[field];
    const int n = std::min<int>(w, int(bytes.size()));
    char *dst = m_bytes.data() + kOffsets[field];
    std::memcpy(dst, bytes.constData(), size_t(n));
    std::memset(dst + n, ' ', size_t(w - n));
}

double CallRecord::latitude() const { return leadingNumber(text(Lat)); }
double CallRecord::longitude() const { return leadingNumber(text(Lon)); }

void CallRecord::clear() { m_bytes.fill(' '); }

void CallRecord::normalizeCall() { normalizeCallBytes(m_bytes.data() + kOffsets[Call]); }

void normalizeCallBytes(char *field)
{
    const int w = kWidths[CallRecord::Call];
    int begin = 0, end = w;
    while (begin < end && field[begin] == ' ')
        ++begin;
    while (end > begin && field[end - 1] == ' ')
        --end;
    if (begin == 0)
        return;  // already left-aligned; trailing blanks are the padding
    std::memmove(field, field + begin, size_t(end - begin));
    std::memset(field + (end - begin), ' ', size_t(w - (end - begin)));
}

}  // namespace torvane
