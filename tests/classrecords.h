#pragma once

#include "exercise/content.h"
#include "exercise/judge.h"
#include "results/record.h"

#include <QStringList>

// A record as the window writes it for these four answers ("" for a row
// committed empty): the counts kept as the window keeps them.
inline QByteArray recordFor(const QStringList &answers)
{
    RecordFields fields;
    int right = 0;
    int wrong = 0;
    for (int row = 0; row < Content::questionCount; ++row) {
        const Verdict verdict = judgeAnswer(answers.value(row), Content::expectedAnswer(row)).verdict;
        right += verdict == Verdict::Right ? 1 : 0;
        wrong += verdict == Verdict::Wrong ? 1 : 0;
        fields.rows.append({Content::prompt(row), Value(answers.value(row))});
    }
    fields.rightCount = right > 0 ? Value(right) : Value();
    fields.wrongCount = wrong > 0 ? Value(wrong) : Value();
    return recordLine(fields);
}
