// Linked data files: tables as spreadsheet programs and RFC 4180 write them,
// read in one pass and row by row again, and the faults a user meets, each
// named with the file and the line.
#include "model/LongText.h"
#include "model/SeriesData.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>

#include <sys/stat.h>

namespace {

struct Table {
    QStringList columns;
    std::vector<QStringList> rows;
    std::vector<int> lines;
};

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    const QString path = dir.filePath(name);
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
    return path;
}

Table readTable(const SeriesTable& t) {
    Table out{t.columns(), {}, {}};
    for (int i = 0; i < t.rowCount(); ++i) {
        QStringList values;
        QString error;
        EXPECT_TRUE(t.row(i, &values, &error)) << error.toStdString();
        out.rows.push_back(values);
        out.lines.push_back(t.lineOf(i));
    }
    return out;
}

TEST(SeriesTable, ReadsTheTablesSpreadsheetsAndRfc4180Write) {
    struct Case {
        const char* what;
        QByteArray bytes;
        SeriesSeparator separator;
        SeriesEncoding encoding;
        QStringList columns;
        std::vector<QStringList> rows;
        std::vector<int> lines;
    };
    const auto S = SeriesSeparator::Semicolon;
    const auto C = SeriesSeparator::Comma;
    const auto U = SeriesEncoding::Utf8;
    const std::vector<Case> cases = {
        {"RFC 4180 example, CRLF, no break after the last record",
         "field_name,field_name\r\naaa,bbb\r\nzzz,yyy", C, U, {"field_name", "field_name"},
         {{"aaa", "bbb"}, {"zzz", "yyy"}}, {2, 3}},
        {"quotes around separators, doubled quotes, line breaks inside quotes",
         "Name,Gruss\r\n\"Meier, Anna\",\"sagt \"\"Hallo\"\"\"\r\n\"Ben\",\"Zeile 1\r\nZeile 2\nZeile 3\"\r\nCem,\"\"\r\n",
         C, U, {"Name", "Gruss"},
         {{"Meier, Anna", "sagt \"Hallo\""}, {"Ben", "Zeile 1\r\nZeile 2\nZeile 3"}, {"Cem", ""}}, {2, 3, 6}},
        {"semicolons and Windows-1252 from a spreadsheet program, blank and empty rows skipped, short rows padded",
         "Vorname;Stra\xDF" "e;Preis\r\n\r\nJ\xFCrgen;Hauptstra\xDF" "e 1;5 \x80\r\n;;\r\nZo\xEB\r\n;;\r\n", S,
         SeriesEncoding::Windows1252, {"Vorname", "Straße", "Preis"},
         {{"Jürgen", "Hauptstraße 1", "5 €"}, {"Zoë", "", ""}}, {3, 5}},
        {"UTF-8 with BOM, names trimmed, values kept with their spaces, LF and CR line ends",
         "\xEF\xBB\xBF Vorname ;Nr\n Anna ;7\rBj\xC3\xB6rn;8", S, U, {"Vorname", "Nr"},
         {{" Anna ", "7"}, {"Björn", "8"}}, {2, 3}},
        {"tabs, and a quote inside an unquoted field stays", "A\tB\nx\"y\t\"a\tb\"\n", SeriesSeparator::Tab, U,
         {"A", "B"}, {{"x\"y", "a\tb"}}, {2}},
        {"text after a closing quote ends the quoting: a later quote is a character, the line break ends the row",
         "A;B\n\"x\"y\"z;w\np;q\"\nt;u\n", S, U, {"A", "B"}, {{"xy\"z", "w"}, {"p", "q\""}, {"t", "u"}}, {2, 3, 4}},
    };
    QTemporaryDir dir;
    for (const Case& c : cases) {
        const QString path = writeFile(dir, QStringLiteral("t.csv"), c.bytes);
        QString error;
        const auto table = SeriesTable::open(path, c.separator, c.encoding, &error);
        ASSERT_TRUE(table) << c.what << ": " << error.toStdString();
        const Table got = readTable(*table);
        EXPECT_EQ(got.columns, c.columns) << c.what;
        EXPECT_EQ(got.rows, c.rows) << c.what;
        EXPECT_EQ(got.lines, c.lines) << c.what;
        // Rows are read again on demand, in any order.
        if (table->rowCount() > 1) {
            QStringList last;
            ASSERT_TRUE(table->row(table->rowCount() - 1, &last, &error));
            QStringList first;
            ASSERT_TRUE(table->row(0, &first, &error));
            EXPECT_EQ(first, c.rows.front()) << c.what;
            EXPECT_EQ(last, c.rows.back()) << c.what;
        }
    }
}

TEST(SeriesTable, BadFilesAreRefusedNamingTheFileTheLineAndTheReason) {
    struct Case {
        const char* what;
        QByteArray bytes;
        QString reason;
    };
    const std::vector<Case> cases = {
        {"an unclosed quote, counted after a record over two lines",
         "Name,Text\n\"Anna\",\"zwei\nZeilen\"\nBen,\"offen\nbis zum Ende\n", "Zeile 4: Anführungszeichen nicht geschlossen"},
        {"more fields than the header", "Name;Ort\nAnna;Bonn\nBen;Köln;zu viel\n",
         "Zeile 3: 3 Felder, die Kopfzeile nennt nur 2 Spalten"},
        {"an empty file", "", "die Datei enthält keine Daten"},
        {"blank lines only", "\r\n\r\n;;\r\n", "die Datei enthält keine Daten"},
        {"a header without names", "\n;  ;\nAnna;Bonn;x\n", "Zeile 2: die Kopfzeile nennt keine Spaltennamen"},
        {"a header and nothing below", "Name;Ort\r\n;\r\n", "keine Datensätze unter der Kopfzeile"},
        {"more columns than any table of labels has", "Name;Ort" + QByteArray(SeriesTable::MaxColumns, ';') + "\nA;B\n",
         "Zeile 1: mehr als 1000 Spalten"},
    };
    QTemporaryDir dir;
    for (const Case& c : cases) {
        const QString path = writeFile(dir, QStringLiteral("g\xE4ste.csv"), c.bytes);
        QString error;
        const SeriesSeparator sep = c.bytes.contains(';') ? SeriesSeparator::Semicolon : SeriesSeparator::Comma;
        EXPECT_FALSE(SeriesTable::open(path, sep, SeriesEncoding::Utf8, &error)) << c.what;
        EXPECT_EQ(error, path + QStringLiteral(": ") + c.reason) << c.what;
    }
    // A folder and a FIFO are refused at once (a FIFO would wait for a writer).
    const QString fifo = dir.filePath(QStringLiteral("rohr.csv"));
    ASSERT_EQ(::mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    for (const QString& path : {dir.path(), fifo, dir.filePath(QStringLiteral("fehlt.csv"))}) {
        QString error;
        EXPECT_FALSE(SeriesTable::open(path, SeriesSeparator::Comma, SeriesEncoding::Utf8, &error));
        EXPECT_TRUE(error.startsWith(path + QStringLiteral(": "))) << error.toStdString();
        EXPECT_GT(error.size(), path.size() + 2);
    }
}

TEST(SeriesTable, LongValuesAreClippedAndAChangedFileIsNoticed) {
    QTemporaryDir dir;
    QByteArray big(1 << 20, 'x');
    big[LongTextLimit - 1] = 'y';
    const QString path = writeFile(dir, QStringLiteral("gross.csv"),
                                   "Name,Foto\n\"" + big + "\",a.png\nBen,\"" + big + "\n" + big + "\"\nCem,c.png\n");
    QString error;
    const auto table = SeriesTable::open(path, SeriesSeparator::Comma, SeriesEncoding::Utf8, &error);
    ASSERT_TRUE(table) << error.toStdString();
    const Table got = readTable(*table);
    ASSERT_EQ(got.rows.size(), 3u);
    EXPECT_EQ(got.rows[0][0].size(), LongTextLimit);
    EXPECT_TRUE(got.rows[0][0].endsWith(QLatin1Char('y')));
    EXPECT_EQ(got.rows[0][1], QStringLiteral("a.png"));
    EXPECT_EQ(got.rows[1][1].size(), LongTextLimit);
    EXPECT_EQ(got.rows[2], (QStringList{"Cem", "c.png"}));
    EXPECT_EQ(got.lines[2], 5);

    // Changed behind the table's back: its offsets no longer hold.
    writeFile(dir, QStringLiteral("gross.csv"), "Name,Foto\nX,y\n");
    QStringList values;
    EXPECT_FALSE(table->row(2, &values, &error));
    EXPECT_EQ(error, path + QStringLiteral(": Zeile 5: die Datei wurde seit dem Lesen geändert"));
    EXPECT_FALSE(table->row(3, &values, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("kein Datensatz 4")));
}

TEST(SeriesTable, ManyRowsStreamWithProgressAndCanBeStopped) {
    QTemporaryDir dir;
    QByteArray bytes = "Nr,Name\n";
    constexpr int Rows = 100000;
    for (int i = 1; i <= Rows; ++i) bytes += QByteArray::number(i) + ",Gast " + QByteArray::number(i) + "\r\n";
    const QString path = writeFile(dir, QStringLiteral("viele.csv"), bytes);
    std::vector<int> reports;
    QString error;
    const auto table = SeriesTable::open(path, SeriesSeparator::Comma, SeriesEncoding::Utf8, &error,
                                         [&](int p) { return reports.push_back(p), true; });
    ASSERT_TRUE(table) << error.toStdString();
    EXPECT_EQ(table->rowCount(), Rows);
    QStringList values;
    ASSERT_TRUE(table->row(Rows - 1, &values, &error));
    EXPECT_EQ(values, (QStringList{"100000", "Gast 100000"}));
    EXPECT_EQ(table->lineOf(Rows - 1), Rows + 1);
    ASSERT_FALSE(reports.empty());
    EXPECT_TRUE(std::is_sorted(reports.begin(), reports.end()));
    EXPECT_LE(reports.back(), 99);

    EXPECT_FALSE(SeriesTable::open(path, SeriesSeparator::Comma, SeriesEncoding::Utf8, &error, [](int) { return false; }));
    EXPECT_EQ(error, QStringLiteral("Lesen der Seriendaten abgebrochen."));
}

TEST(SeriesTable, DetectsSeparatorAndEncodingFromTheFirstBytes) {
    struct Case {
        const char* name;
        QByteArray bytes;
        SeriesSeparator separator;
        SeriesEncoding encoding;
    };
    const auto C = SeriesSeparator::Comma;
    const auto S = SeriesSeparator::Semicolon;
    const auto T = SeriesSeparator::Tab;
    const auto U = SeriesEncoding::Utf8;
    const auto W = SeriesEncoding::Windows1252;
    const std::vector<Case> cases = {
        {"a.csv", "Name;Ort;Datum, Zeit\nx;y;z\n", S, U},
        {"b.csv", "\"Name;Vorname\",Ort\n", C, U},
        {"c.txt", "\r\nA\tB\tC\n", T, U},
        {"d.tsv", "Name\nAnna\n", T, U},
        {"e.csv", "Name\nAnna\n", C, U},
        {"f.csv", "Vorname;Ort\nJ\xFCrgen;K\xF6ln\n", S, W},
        {"g.csv", "\xEF\xBB\xBFVorname,Ort\nJ\xC3\xBCrgen,K\xC3\xB6ln\n", C, U},
        {"h.csv", "Vorname,Ort\nJ\xC3\xBCrgen,K\xC3\xB6ln\n", C, U},
        // A character cut in two by the end of the sample is still UTF-8.
        {"i.csv", "Name\n" + QByteArray(65536 - 6, 'a') + "\xC3\xBC\n", C, U},
        // One column: its header has no separator, the rows below do not decide.
        {"j.csv", "Gruss\nHallo; bis bald\nServus\n", C, U},
        {"k.csv", "\n\"Name, Vorname\"\nMeier; Anna\n", C, U},
    };
    QTemporaryDir dir;
    for (const Case& c : cases) {
        const QString path = writeFile(dir, QString::fromLatin1(c.name), c.bytes);
        SeriesSeparator separator = SeriesSeparator::Comma;
        SeriesEncoding encoding = SeriesEncoding::Windows1252;
        if (c.encoding == W) encoding = SeriesEncoding::Utf8;
        SeriesTable::detect(path, &separator, &encoding);
        EXPECT_EQ(separator, c.separator) << c.name;
        EXPECT_EQ(encoding, c.encoding) << c.name;
    }
}

}  // namespace
