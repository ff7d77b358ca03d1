// Any four answers and any counts through the record builder: always exactly
// one line ending in CR LF, with no CR or LF inside and no control byte 0x1A.
//
// Input: 2 bytes for the right and wrong counts (0xFF: never counted), then
// UTF-16 code units of the four answers separated by 0 units.

#include "exercise/content.h"
#include "record/record.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

void require(bool condition)
{
    if (!condition)
        std::abort();
}

Value count(std::uint8_t byte)
{
    return byte == 0xFF ? Value() : Value(static_cast<std::int8_t>(byte));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 2)
        return 0;
    RecordFields fields{count(data[0]), count(data[1]), {}};
    data += 2;
    size -= 2;

    QList<char16_t> units(static_cast<qsizetype>(size / 2));
    if (!units.isEmpty())
        std::memcpy(units.data(), data, units.size() * sizeof(char16_t));
    qsizetype start = 0;
    for (int row = 0; row < Content::questionCount; ++row) {
        qsizetype end = units.indexOf(u'\0', start);
        if (end < 0)
            end = units.size();
        const QString answer(reinterpret_cast<const QChar *>(units.constData() + start), end - start);
        fields.rows.append({Content::prompt(row), answer.isEmpty() && row % 2 ? Value() : Value(answer)});
        start = std::min(end + 1, units.size());
    }

    const QByteArray line = recordLine(fields);
    require(line.endsWith("\r\n"));
    require(line.count('\n') == 1 && line.count('\r') == 1);
    require(!line.contains('\x1a'));
    for (const char byte : line.chopped(2))
        require(static_cast<unsigned char>(byte) >= 0x20);
    require(line.size() == recordText(fields).size() + 2);
    require(line.startsWith("202           Morvel-sens paragraphes:(3412)  justes:"));
    return 0;
}
