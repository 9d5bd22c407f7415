#ifndef DIGITTEXT_H
#define DIGITTEXT_H

#include <QByteArray>

// The decimal text of one non-negative scale limit, as the scale rounding walks it digit by
// digit. Position 0 always holds a '0' that absorbs a carry out of the leading digit, so
// "3.7" is kept as "03.7". Digits missing at the end of a text read as '0'.
class DigitText
{
public:
    DigitText() = default;
    explicit DigitText(const QByteArray &digits);

    // x in general format with the given number of significant digits, '.' as the point.
    static DigitText formatted(float x, int significantDigits);
    static DigitText fromInteger(int n);

    const QByteArray &text() const { return m_text; }
    // Index of the '.', or the length of the text when it has none.
    int pointPosition() const;
    // Character at position (counting the carry '0' as position 0); '0' past the end.
    char charAt(int position) const;
    // The digit in the j-th place after the point (j >= 1); '0' when the text has none.
    char decimalDigit(int j) const;
    // The first digit of the number (the one after the carry position).
    char leadingDigit() const { return charAt(1); }

    // The same text with ".0" appended when it has no point.
    DigitText withPoint() const;
    // The number cut after its j-th decimal (j = 0 keeps the integer part), zeros padded.
    DigitText cutAfterDecimal(int j) const;
    // The number cut after its j-th decimal plus one unit of that place, carrying through
    // 9s and the point into the leading positions.
    DigitText plusUnitAtDecimal(int j) const;

    float value() const;

    bool operator==(const DigitText &other) const { return m_text == other.m_text; }

private:
    QByteArray m_text = "0";
};

// First position at which the two texts differ; where one text ends, that counts as a
// difference (so equal texts give their length).
int firstDifference(const DigitText &a, const DigitText &b);

#endif // DIGITTEXT_H
