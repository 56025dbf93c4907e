#include "model/SeriesData.h"

#include "base/Cp1252.h"
#include "base/ErrnoText.h"
#include "base/ReadFault.h"
#include "model/LongText.h"

#include <QDateTime>
#include <QFileInfo>

#include <array>
#include <limits>
#include <cerrno>

namespace {

// Buffered bytes of a file from a given offset, with the offset of the next
// byte at hand.
class ByteReader {
public:
    ByteReader(QFile& file, qint64 start) : m_file(file), m_base(start) { m_failed = !m_file.seek(start); }

    int get() {
        if (m_at == m_len && !fill()) return -1;
        return static_cast<unsigned char>(m_buffer[static_cast<size_t>(m_at++)]);
    }
    int peek() {
        if (m_at == m_len && !fill()) return -1;
        return static_cast<unsigned char>(m_buffer[static_cast<size_t>(m_at)]);
    }
    qint64 position() const { return m_base + m_at; }
    bool failed() const { return m_failed; }

private:
    bool fill() {
        if (m_failed) return false;
        m_base += m_len;
        m_at = 0;
        m_len = m_file.read(m_buffer.data(), static_cast<qint64>(m_buffer.size()));
        if (m_len < 0) {
            m_failed = true;
            m_len = 0;
        }
        return m_len > 0;
    }

    QFile& m_file;
    std::array<char, 65536> m_buffer;
    qint64 m_base = 0;   // file offset of m_buffer[0]
    qint64 m_at = 0;
    qint64 m_len = 0;
    bool m_failed = false;
};

enum class RecordEnd { Record, EndOfFile, UnclosedQuote, ReadFailed };

struct Record {
    int fields = 0;
    bool allEmpty = true;
    int lineBreaks = 0;        // consumed, the one ending the record included
    int quoteOpenedAfter = 0;  // line breaks before the quote that stayed open
};

// Reads one record: fields up to an unquoted line break (CR LF, LF or CR)
// or the end of the file. A quote is special only at the start of a field;
// text after a closing quote is taken as it stands, as spreadsheet programs
// read it. With out, each field's bytes are kept up to maxFieldBytes, and
// the first maxFields fields (rec.fields counts them all).
RecordEnd readRecord(ByteReader& in, char separator, Record& rec, std::vector<QByteArray>* out = nullptr,
                     int maxFieldBytes = 0, int maxFields = std::numeric_limits<int>::max()) {
    rec = Record();
    if (out) out->clear();
    int c = in.get();
    if (c < 0) return in.failed() ? RecordEnd::ReadFailed : RecordEnd::EndOfFile;
    enum class State { Start, Plain, Quoted, AfterQuote } state = State::Start;
    QByteArray field;
    auto take = [&](int byte) {
        rec.allEmpty = false;
        if (out && field.size() < maxFieldBytes) field.append(static_cast<char>(byte));
    };
    auto endField = [&] {
        ++rec.fields;
        if (out && int(out->size()) < maxFields) out->push_back(field);
        field.clear();
    };
    for (;; c = in.get()) {
        if (c < 0) {
            if (in.failed()) return RecordEnd::ReadFailed;
            if (state == State::Quoted) return RecordEnd::UnclosedQuote;
            endField();
            return RecordEnd::Record;
        }
        if (state == State::Quoted) {
            if (c == '"') {
                state = State::AfterQuote;
                continue;
            }
            if (c == '\r' || c == '\n') {
                ++rec.lineBreaks;
                if (c == '\r' && in.peek() == '\n') {
                    take(c);
                    c = in.get();
                }
            }
            take(c);
            continue;
        }
        if (state == State::AfterQuote && c == '"') {   // a doubled quote inside quotes
            take(c);
            state = State::Quoted;
            continue;
        }
        if (c == separator) {
            endField();
            state = State::Start;
            continue;
        }
        if (c == '\r' || c == '\n') {
            if (c == '\r' && in.peek() == '\n') in.get();
            ++rec.lineBreaks;
            endField();
            return RecordEnd::Record;
        }
        if (state == State::Start && c == '"') {
            state = State::Quoted;
            rec.quoteOpenedAfter = rec.lineBreaks;
            continue;
        }
        take(c);
        // Text after a closing quote ends the quoting for good: a later
        // quote in the field is a quote like any other character.
        if (state == State::Start || state == State::AfterQuote) state = State::Plain;
    }
}

QString decodeValue(const QByteArray& bytes, SeriesEncoding encoding) {
    return encoding == SeriesEncoding::Windows1252 ? decodeCp1252(bytes) : QString::fromUtf8(bytes);
}

// A UTF-8 value of LongTextLimit characters takes at most four bytes each;
// the bytes cut off beyond it lie past the clip.
constexpr int MaxFieldBytes = 4 * LongTextLimit + 4;

bool startsWithBom(QFile& file) {
    char head[3];
    return file.seek(0) && file.read(head, 3) == 3 && head[0] == '\xEF' && head[1] == '\xBB' && head[2] == '\xBF';
}

qint64 modifiedMs(const QFileInfo& info) { return info.lastModified().toMSecsSinceEpoch(); }

// Whether bytes are UTF-8; a sequence cut off by the end of a sample counts.
bool looksLikeUtf8(const QByteArray& bytes, bool cutSample) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n;) {
        const unsigned char c = p[i];
        int follow = 0;
        if (c < 0x80) follow = 0;
        else if (c >= 0xC2 && c <= 0xDF) follow = 1;
        else if (c >= 0xE0 && c <= 0xEF) follow = 2;
        else if (c >= 0xF0 && c <= 0xF4) follow = 3;
        else return false;
        for (int k = 1; k <= follow; ++k) {
            if (i + k >= n) return cutSample;
            if ((p[i + k] & 0xC0) != 0x80) return false;
        }
        i += 1 + follow;
    }
    return true;
}

}  // namespace

char seriesSeparatorChar(SeriesSeparator separator) {
    switch (separator) {
    case SeriesSeparator::Semicolon: return ';';
    case SeriesSeparator::Tab: return '\t';
    case SeriesSeparator::Comma: break;
    }
    return ',';
}

QString seriesSeparatorName(SeriesSeparator separator) {
    switch (separator) {
    case SeriesSeparator::Semicolon: return QStringLiteral("Semikolon");
    case SeriesSeparator::Tab: return QStringLiteral("Tabulator");
    case SeriesSeparator::Comma: break;
    }
    return QStringLiteral("Komma");
}

QString seriesEncodingName(SeriesEncoding encoding) {
    return encoding == SeriesEncoding::Windows1252 ? QStringLiteral("Windows-1252") : QStringLiteral("UTF-8");
}

std::unique_ptr<SeriesTable> SeriesTable::open(const QString& path, SeriesSeparator separator,
                                               SeriesEncoding encoding, QString* error,
                                               const ProgressCallback& progress) {
    auto fail = [&](const QString& reason) {
        if (error) *error = fileReasonLine(path, reason);
        return nullptr;
    };
    auto failAt = [&](int line, const QString& reason) {
        return fail(QStringLiteral("Zeile %1: %2").arg(line).arg(reason));
    };
    // Checked first: opening a FIFO would wait for a writer.
    const QString fault = readFaultText(path);
    if (!fault.isEmpty()) return fail(fault);

    std::unique_ptr<SeriesTable> table(new SeriesTable);
    table->m_path = path;
    table->m_separator = separator;
    table->m_encoding = encoding;
    QFile& file = table->m_file;
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly)) return fail(errnoText(EACCES));
    const QFileInfo info(path);
    table->m_size = info.size();
    table->m_modified = modifiedMs(info);
    const qint64 start = startsWithBom(file) ? 3 : 0;
    const char sep = seriesSeparatorChar(separator);
    const QString readFailed = errnoText(EIO);

    ByteReader in(file, start);
    Record rec;
    std::vector<QByteArray> fields;
    int line = 1;
    // Blank lines above the header are no header.
    for (;;) {
        const RecordEnd end = readRecord(in, sep, rec, &fields, MaxFieldBytes, MaxColumns);
        if (end == RecordEnd::EndOfFile) return fail(QStringLiteral("die Datei enthält keine Daten"));
        if (end == RecordEnd::ReadFailed) return fail(readFailed);
        if (end == RecordEnd::UnclosedQuote)
            return failAt(line + rec.quoteOpenedAfter, QStringLiteral("Anführungszeichen nicht geschlossen"));
        if (!rec.allEmpty) break;
        line += rec.lineBreaks;
    }
    if (rec.fields > MaxColumns) return failAt(line, QStringLiteral("mehr als %1 Spalten").arg(MaxColumns));
    bool named = false;
    for (const QByteArray& f : fields) {
        table->m_columns.push_back(clipLongText(decodeValue(f, encoding).trimmed()));
        named = named || !table->m_columns.back().isEmpty();
    }
    if (!named) return failAt(line, QStringLiteral("die Kopfzeile nennt keine Spaltennamen"));
    line += rec.lineBreaks;

    const int columns = table->m_columns.size();
    const qint64 step = std::max<qint64>(table->m_size / 100, 1 << 20);
    qint64 nextReport = step;
    for (;;) {
        const qint64 offset = in.position();
        const RecordEnd end = readRecord(in, sep, rec);
        if (end == RecordEnd::EndOfFile) break;
        if (end == RecordEnd::ReadFailed) return fail(readFailed);
        if (end == RecordEnd::UnclosedQuote)
            return failAt(line + rec.quoteOpenedAfter, QStringLiteral("Anführungszeichen nicht geschlossen"));
        if (!rec.allEmpty) {
            if (rec.fields > columns)
                return failAt(line, QStringLiteral("%1 Felder, die Kopfzeile nennt nur %2 Spalten")
                                        .arg(rec.fields)
                                        .arg(columns));
            if (table->rowCount() >= MaxRows)
                return fail(QStringLiteral("mehr als %1 Datensätze").arg(MaxRows));
            table->m_rows.push_back({offset, line});
        }
        line += rec.lineBreaks;
        if (in.position() >= nextReport) {
            nextReport = in.position() + step;
            const int percent = table->m_size > 0 ? static_cast<int>(in.position() * 100 / table->m_size) : 100;
            if (!goOn(progress, std::min(percent, 99))) {
                if (error) *error = stoppedText(QStringLiteral("Lesen der Seriendaten"));
                return nullptr;
            }
        }
    }
    if (table->m_rows.empty()) return fail(QStringLiteral("keine Datensätze unter der Kopfzeile"));
    return table;
}

void SeriesTable::detect(const QString& path, SeriesSeparator* separator, SeriesEncoding* encoding) {
    if (!readFaultText(path).isEmpty()) return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return;
    constexpr qint64 SampleSize = 65536;
    const QByteArray sample = file.read(SampleSize);
    const bool bom = sample.startsWith("\xEF\xBB\xBF");
    if (encoding)
        *encoding = bom || looksLikeUtf8(sample, sample.size() == SampleSize) ? SeriesEncoding::Utf8
                                                                              : SeriesEncoding::Windows1252;
    if (!separator) return;
    // The header: up to the first line break outside quotes.
    int comma = 0, semicolon = 0, tab = 0;
    bool quoted = false, text = false;   // text: the line so far holds more than line breaks
    for (qsizetype i = bom ? 3 : 0; i < sample.size(); ++i) {
        const char c = sample[i];
        if (c == '"') quoted = !quoted;
        if (quoted || c == '"') {
            text = true;
            continue;
        }
        if (c == '\r' || c == '\n') {
            // A header of one column has no separator: the data rows below
            // it do not decide.
            if (text) break;
            continue;   // blank lines above the header
        }
        text = true;
        comma += c == ',';
        semicolon += c == ';';
        tab += c == '\t';
    }
    if (tab > 0 && tab >= semicolon && tab >= comma) *separator = SeriesSeparator::Tab;
    else if (semicolon > 0 && semicolon >= comma) *separator = SeriesSeparator::Semicolon;
    else if (comma > 0) *separator = SeriesSeparator::Comma;
    else {
        const QString suffix = QFileInfo(path).suffix().toLower();
        *separator = suffix == QLatin1String("tsv") || suffix == QLatin1String("tab") ? SeriesSeparator::Tab
                                                                                       : SeriesSeparator::Comma;
    }
}

int SeriesTable::lineOf(int index) const {
    return index >= 0 && index < rowCount() ? m_rows[static_cast<size_t>(index)].line : 0;
}

bool SeriesTable::changedOnDisk() const {
    const QFileInfo info(m_path);
    return !info.exists() || info.size() != m_size || modifiedMs(info) != m_modified;
}

bool SeriesTable::row(int index, QStringList* values, QString* error) const {
    auto fail = [&](const QString& reason) {
        if (error) *error = fileReasonLine(m_path, reason);
        return false;
    };
    if (index < 0 || index >= rowCount())
        return fail(QStringLiteral("kein Datensatz %1 (die Datei hat %2)").arg(index + 1).arg(rowCount()));
    const RowStart& at = m_rows[static_cast<size_t>(index)];
    const QString changed = QStringLiteral("Zeile %1: die Datei wurde seit dem Lesen geändert").arg(at.line);
    if (changedOnDisk()) return fail(changed);
    if (!m_file.isOpen() && !m_file.open(QIODevice::ReadOnly)) return fail(errnoText(EACCES));

    ByteReader in(m_file, at.offset);
    Record rec;
    std::vector<QByteArray> fields;
    const RecordEnd end = readRecord(in, seriesSeparatorChar(m_separator), rec, &fields, MaxFieldBytes, MaxColumns);
    if (end == RecordEnd::ReadFailed) return fail(errnoText(EIO));
    if (end != RecordEnd::Record || rec.fields > m_columns.size()) return fail(changed);
    if (values) {
        values->clear();
        values->reserve(m_columns.size());
        for (const QByteArray& f : fields) values->push_back(clipLongText(decodeValue(f, m_encoding)));
        while (values->size() < m_columns.size()) values->push_back(QString());
    }
    return true;
}
