#include "digittext.h"

#include <QString>

DigitText::DigitText(const QByteArray &digits)
    : m_text(QByteArray("0") + digits)
{ }

DigitText DigitText::formatted(float x, int significantDigits)
{
    // QString::arg without 'L' formats in the C locale, so the point is always '.'.
    return DigitText(QStringLiteral("%1").arg(double(x), 0, 'g', significantDigits).toLatin1());
}

DigitText DigitText::fromInteger(int n)
{
    return DigitText(QByteArray::number(n));
}

int DigitText::pointPosition() const
{
    const int point = m_text.indexOf('.');
    return point < 0 ? int(m_text.size()) : point;
}

char DigitText::charAt(int position) const
{
    return position >= 0 && position < m_text.size() ? m_text.at(position) : '0';
}

char DigitText::decimalDigit(int j) const
{
    const int point = pointPosition();
    return point < m_text.size() ? charAt(point + j) : '0';
}

DigitText DigitText::withPoint() const
{
    DigitText result = *this;
    if (pointPosition() == m_text.size())
        result.m_text += ".0";
    return result;
}

DigitText DigitText::cutAfterDecimal(int j) const
{
    DigitText result = *this;
    const int point = pointPosition();
    result.m_text.truncate(point);
    if (j > 0) {
        result.m_text += '.';
        for (int place = 1; place <= j; ++place)
            result.m_text += decimalDigit(place);
    }
    return result;
}

DigitText DigitText::plusUnitAtDecimal(int j) const
{
    DigitText result = cutAfterDecimal(j);
    QByteArray &text = result.m_text;
    for (int i = int(text.size()) - 1; i >= 0; --i) {
        if (text[i] == '.')
            continue;
        if (text[i] != '9') {
            ++text[i];
            return result;
        }
        text[i] = '0';
    }
    // Only reached if the carry position itself held a 9, which formatted texts never do.
    text.prepend('1');
    return result;
}

float DigitText::value() const
{
    bool ok = false;
    const float v = m_text.toFloat(&ok);
    return ok ? v : 0.0f;
}

int firstDifference(const DigitText &a, const DigitText &b)
{
    const QByteArray &x = a.text();
    const QByteArray &y = b.text();
    const int common = int(qMin(x.size(), y.size()));
    for (int i = 0; i < common; ++i) {
        if (x.at(i) != y.at(i))
            return i;
    }
    return common;
}
