#pragma once

#include "record/record.h"
#include "record/recordreader.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QStringList>

// A big class log for the benchmarks: about `wanted` bytes of records with
// the few hundred answer sets a class gives, in a fixed order, and one line
// in a hundred something else.
inline bool writeBigLog(const QString &path, qint64 wanted)
{
    QList<QByteArray> records;
    const QStringList digits{"", "1", "2", "3", "4"};
    for (int i = 0; i < 625; ++i)
        records.append(recordLine(
            recordFieldsFor({digits[i % 5], digits[i / 5 % 5], digits[i / 25 % 5], digits[i / 125 % 5]})));
    QFile log(path);
    if (!log.open(QIODevice::WriteOnly))
        return false;
    QByteArray block;
    qint64 written = 0;
    for (qint64 i = 0; written < wanted; ++i) {
        block += i % 100 == 99 ? QByteArray("une ligne d'autre chose\r\n") : records[int(i * 7 % 625)];
        if (block.size() > (1 << 20)) {
            written += log.write(block);
            block.clear();
        }
    }
    return log.write(block) >= 0;
}
