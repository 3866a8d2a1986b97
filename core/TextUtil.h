#pragma once
// Small text and number helpers shared by every subsystem.

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <cmath>
#include <cstdint>
#include <optional>

namespace torvane {

/// The slashed zero that may stand for the digit 0 in call signs (code 216 in Windows-1252).
inline constexpr QChar kSlashedZero = QChar(0x00D8);

/// The number at the start of text: blanks and tabs skipped, optional sign, digits with an
/// optional "." fraction; anything after it is ignored; 0 when there is no number.
/// The decimal separator is always "." whatever the locale.
double leadingNumber(QStringView text);

/// Round to the nearest whole number, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
double roundHalfEven(double value);

/// Round half-to-even into a 16-bit or 32-bit integer; empty when the value does not fit.
std::optional<int16_t> toInt16(double value);
std::optional<int32_t> toInt32(double value);

/// Floor as a whole number ("Int" of the calculations); 0 for NaN or infinity.
inline long long floorInt(double value);

/// Every slashed zero replaced by the digit 0.
QString plainZeroes(QString text);

/// Plain decimal notation with "." and every significant digit of a double ("51.5", "-0.25").
QString formatNumber(double value);

/// Windows-1252, the code page of every 8-bit file. The five unassigned bytes map to the
/// C1 controls of the same code, so any byte sequence round-trips.
QString fromCp1252(const QByteArray &bytes);
/// Characters outside Windows-1252 become "?".
QByteArray toCp1252(QStringView text);

/// Trim blanks (spaces only) at both ends, as the 8-bit record fields are padded.
QString trimBlanks(QStringView text);

}  // namespace torvane

inline long long torvane::floorInt(double value)
{
    // Not a number, or beyond the range of the result, gives 0 rather than undefined behaviour.
    const double f = std::floor(value);
    if (!(f >= -9.2e18 && f <= 9.2e18))
        return 0;
    return static_cast<long long>(f);
}
