#include "exercise/value.h"

#include <algorithm>
#include <limits>

namespace {

// The counters of one run stay far inside 16 bits; clamping keeps arithmetic
// well defined even so.
qint16 toInt16(int number)
{
    return static_cast<qint16>(std::clamp<int>(number, std::numeric_limits<qint16>::min(),
                                               std::numeric_limits<qint16>::max()));
}

} // namespace

Value::Value(int number)
    : m_value(toInt16(number))
{
}

Value::Value(const QString &text)
    : m_value(text)
{
}

int Value::number() const
{
    if (const auto *n = std::get_if<qint16>(&m_value))
        return *n;
    return 0;
}

QString Value::numberText() const
{
    const int n = number();
    return n < 0 ? QString::number(n) : QLatin1Char(' ') + QString::number(n);
}

QString Value::text() const
{
    if (const auto *t = std::get_if<QString>(&m_value))
        return *t;
    if (isNumber())
        return numberText();
    return {};
}

Value Value::operator-() const
{
    return Value(-number());
}

Value operator+(const Value &a, const Value &b)
{
    if (a.isText() || b.isText())
        return Value(a.text() + b.text());
    return Value(a.number() + b.number());
}

Value operator-(const Value &a, const Value &b)
{
    return Value(a.number() - b.number());
}

bool operator==(const Value &a, const Value &b)
{
    if (a.isText() || b.isText()) {
        if (a.isNumber() || b.isNumber())
            return false;
        return a.text() == b.text();
    }
    return a.number() == b.number();
}
