#pragma once
// One station of the local call database: nine fixed-width Windows-1252 text fields, 167 bytes.

#include <QString>
#include <QStringView>
#include <array>

namespace torvane {

class CallRecord {
public:
    /// The fields in file order.
    enum Field : int { Call, Name, Add1, Add2, Ctry, Lat, Lon, Class, YearBorn };
    static constexpr int kFieldCount = 9;
    /// Bytes of one record in CallData.db.
    static constexpr int kSize = 167;

    /// Width of a field in bytes (= characters).
    static int width(Field field);
    /// Byte offset of a field inside the record.
    static int offset(Field field);

    /// A record of blanks.
    CallRecord();

    /// The field's text as stored, trailing padding included.
    QString text(Field field) const;
    /// The field's text without leading and trailing blanks.
    QString trimmed(Field field) const;
    /// Stores text cut or padded with blanks to the field width.
    void setText(Field field, QStringView value);

    /// The leading number of Lat / Lon in degrees; blanks or no number read as 0 (= unknown).
    double latitude() const;
    double longitude() const;

    /// Sets every field to blanks.
    void clear();
    /// Trims the Call field and stores it back left-aligned, as every record read does.
    void normalizeCall();

    /// The 167 bytes as they are written to the file.
    const char *data() const { return m_bytes.data(); }
    char *data() { return m_bytes.data(); }

    bool operator==(const CallRecord &other) const { return m_bytes == other.m_bytes; }
    bool operator!=(const CallRecord &other) const { return m_bytes != other.m_bytes; }

private:
    std::array<char, kSize> m_bytes;
};

/// Trims the 6-byte Call field at `field` in place (leading and trailing blanks removed,
/// left-aligned, padded with blanks).
void normalizeCallBytes(char *field);

}  // namespace torvane
