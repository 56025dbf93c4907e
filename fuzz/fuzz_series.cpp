// Linked data files under arbitrary bytes: opening never crashes or hangs,
// and a table that opens gives every row back, each with one value per
// column, rows in the order of their lines.

#include "model/SeriesData.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    static QTemporaryDir dir;
    static const QString path = dir.filePath(QStringLiteral("daten.csv"));
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) std::abort();
        f.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    }
    SeriesSeparator separator = SeriesSeparator::Comma;
    SeriesEncoding encoding = SeriesEncoding::Utf8;
    SeriesTable::detect(path, &separator, &encoding);
    QString error;
    const auto table = SeriesTable::open(path, separator, encoding, &error);
    if (!table) {
        if (error.isEmpty()) std::abort();
        return 0;
    }
    int line = 1;
    for (int i = 0; i < table->rowCount(); ++i) {
        QStringList values;
        if (!table->row(i, &values, &error)) std::abort();
        if (values.size() != table->columns().size()) std::abort();
        if (table->lineOf(i) <= line) std::abort();
        line = table->lineOf(i);
    }
    return 0;
}
