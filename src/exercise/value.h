#pragma once

#include <QString>
#include <QtGlobal>

#include <variant>

// A state item of the exercise: empty, a 16-bit whole number or a text.
// Every item starts empty. Empty counts as 0 in arithmetic and equals both 0
// and the empty text, which is what lets a row that was never touched read
// as open and a counter that was never raised read as zero, while the
// results record can still tell "never counted" (nothing written) from 0.
class Value
{
public:
    Value() = default;
    Value(int number); // implicit: counters and flags are assigned plain numbers
    Value(const QString &text);
    Value(const char *utf8Text) : Value(QString::fromUtf8(utf8Text)) {}

    bool isEmpty() const { return std::holds_alternative<std::monostate>(m_value); }
    bool isNumber() const { return std::holds_alternative<qint16>(m_value); }
    bool isText() const { return std::holds_alternative<QString>(m_value); }

    // The number, with empty (and text) reading as 0.
    int number() const;
    // The text, with empty reading as the empty text and a number in its
    // signed-number form.
    QString text() const;
    // The signed-number form: one leading space before a number that is not
    // negative (" 3", " 0" for empty), the minus sign otherwise ("-2").
    QString numberText() const;

    // Negation: -1 becomes 1, 1 becomes -1, 0 stays 0 and empty becomes 0.
    Value operator-() const;

    // Numbers (or empties) add up; anything involving a text joins the two
    // texts, an empty operand counting as the empty text.
    friend Value operator+(const Value &a, const Value &b);
    friend Value operator-(const Value &a, const Value &b);

    // Numbers compare by value, texts character by character; empty equals
    // 0, the empty text and another empty value.
    friend bool operator==(const Value &a, const Value &b);

private:
    std::variant<std::monostate, qint16, QString> m_value;
};
