#include "model/SeriesRows.h"

#include "model/SeriesFields.h"
#include "model/StoredImage.h"
#include "model/TransparentValue.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

bool parseRowRange(const QString& text, RowRange* range, QString* error) {
    static const QRegularExpression shape(QStringLiteral("^\\s*(\\d*)\\s*(-?)\\s*(\\d*)\\s*$"));
    const QRegularExpressionMatch m = shape.match(text);
    const auto fail = [&](const QString& why) {
        if (error) *error = why;
        return false;
    };
    if (!m.hasMatch() || (m.captured(1).isEmpty() && m.captured(3).isEmpty()) ||
        (m.captured(2).isEmpty() && !m.captured(3).isEmpty()))
        return fail(QStringLiteral("Bereich \"%1\" ist nicht A-B, A- , -B oder N").arg(text));
    bool ok1 = true, ok2 = true;
    const int first = m.captured(1).isEmpty() ? 0 : m.captured(1).toInt(&ok1);
    int last = m.captured(3).isEmpty() ? 0 : m.captured(3).toInt(&ok2);
    if (!ok1 || !ok2) return fail(QStringLiteral("Bereich \"%1\": Zahl zu groß").arg(text));
    if (m.captured(2).isEmpty()) last = first;   // "N": that row alone
    if ((!m.captured(1).isEmpty() && first < 1) || (!m.captured(3).isEmpty() && last < 1))
        return fail(QStringLiteral("Bereich \"%1\": Datensätze zählen ab 1").arg(text));
    if (first > 0 && last > 0 && last < first)
        return fail(QStringLiteral("Bereich \"%1\": das Ende liegt vor dem Anfang").arg(text));
    range->first = first;
    range->last = last;
    return true;
}

namespace {
bool usesFields(const QString& text) { return !fieldNames(text).isEmpty(); }
}  // namespace

SeriesRows::SeriesRows(const BoxDocument& design, std::unique_ptr<SeriesTable> table, const QString& path)
    : m_template(design), m_table(std::move(table)), m_path(path),
      m_pictures(design.FileName, design.ProgramFolder, 0, PictureBudget) {
    // The data's pictures are loaded here, through one cache for the whole
    // job, not once more per box by the field filling.
    if (m_template.BackgroundMode != bgNone && usesFields(m_template.BackgroundFile)) {
        m_pictureNames.push_back({0, m_template.BackgroundFile});
        m_template.BackgroundFile.clear();
        m_template.BackgroundPicture = DibHandle();
    }
    for (int slot = 1; slot <= ObjectTable::Capacity; ++slot) {
        Tobs& o = m_template.Objects[slot];
        if (o.Kind != Image || !usesFields(o.Content)) continue;
        m_pictureNames.push_back({slot, o.Content});
        o.Content.clear();
        o.Picture = DibHandle();
    }
}

std::unique_ptr<SeriesRows> SeriesRows::open(const BoxDocument& design, const SeriesLink& link, RowRange range,
                                             QString* error, const ProgressCallback& progress) {
    const auto fail = [&](const QString& why) {
        if (error) *error = why;
        return std::unique_ptr<SeriesRows>();
    };
    if (!link.linked()) return fail(QStringLiteral("Der Entwurf hat keine Seriendaten."));
    QString why;
    std::unique_ptr<SeriesTable> table = SeriesTable::open(link.path, link.separator, link.encoding, &why, progress);
    if (!table) return fail(why.isEmpty() ? link.path + QStringLiteral(": nicht lesbar") : why);
    QStringList lacking;
    SeriesRow header;
    header.columns = table->columns();
    for (const QString& name : designFieldNames(design))
        if (!rowHasField(header, name)) lacking << QLatin1Char('{') + name + QLatin1Char('}');
    if (!lacking.isEmpty()) {
        // The first columns only: a wide table's names would fill the screen.
        constexpr int ShownColumns = 20;
        QStringList shown = table->columns().mid(0, ShownColumns);
        if (table->columns().size() > ShownColumns) shown << QStringLiteral("…");
        return fail(QStringLiteral("%1: Die Daten haben keine Spalte für %2 (Spalten: %3).")
                        .arg(link.path, lacking.join(QStringLiteral(", ")), shown.join(QStringLiteral(", "))));
    }
    if (table->rowCount() < 1) return fail(QStringLiteral("%1: Die Daten haben keine Datensätze.").arg(link.path));
    std::unique_ptr<SeriesRows> rows(new SeriesRows(design, std::move(table), link.path));
    if (!rows->setRange(range, error)) return nullptr;
    return rows;
}

bool SeriesRows::setRange(RowRange range, QString* error) {
    const int all = total();
    const int first = range.first > 0 ? range.first : 1;
    const int last = range.last > 0 ? range.last : all;
    if (first > all || last > all || last < first) {
        if (error)
            *error = QStringLiteral("%1: Datensatz %2 gibt es nicht, die Daten haben %3 Datensätze.")
                         .arg(m_path)
                         .arg(last < first ? first : std::max(first, last))
                         .arg(all);
        return false;
    }
    m_first = first;
    m_last = last;
    return true;
}

QString SeriesRows::resolved(const QString& stored) const {
    // "bilder/{Foto}" means the folder beside the box file, wherever the
    // program was started; an unsaved design's, beside the data.
    if (stored.isEmpty() || QDir::isAbsolutePath(stored)) return stored;
    const QString beside = m_template.FileName.isEmpty() ? m_path : m_template.FileName;
    return QFileInfo(beside).absoluteDir().filePath(stored);
}

bool SeriesRows::loadPicture(const QString& stored, int turns, DibHandle& picture, int number) {
    picture = DibHandle();
    if (stored.isEmpty()) return false;
    const QString path = resolved(stored);
    if (m_pictures.loadEvenPastBudget(path, turns, picture) == SharedPictures::Outcome::Loaded) return true;
    if (++m_problemCount <= MaxProblemLines)
        m_problems << QStringLiteral("Datensatz %1: %2 (%3)")
                          .arg(number)
                          .arg(stored, storedImageFault(path, m_template.FileName, m_template.ProgramFolder));
    return false;
}

bool SeriesRows::document(int i, BoxDocument* doc, QString* error) {
    SeriesRow row;
    row.columns = m_table->columns();
    row.number = number(i);
    if (!m_table->row(row.number - 1, &row.values, error)) return false;
    *doc = documentForRow(m_template, row);
    for (const auto& [slot, name] : m_pictureNames) {
        const QString stored = fillFields(name, row);
        // A row without a value names no picture: no fault, the box has none.
        bool named = false;
        for (const QString& field : fieldNames(name))
            named = named || !fillFields(QLatin1Char('{') + field + QLatin1Char('}'), row).isEmpty();
        if (!named) {
            if (slot == 0) doc->BackgroundFile = stored;
            else doc->Objects[slot].Content = stored;
            continue;
        }
        // The box names the file where it was found, so that an export
        // taking a picture's own bytes finds them too.
        if (slot == 0) {
            doc->BackgroundFile = resolved(stored);
            loadPicture(stored, 0, doc->BackgroundPicture, row.number);
            continue;
        }
        Tobs& o = doc->Objects[slot];
        o.Content = resolved(stored);
        if (loadPicture(stored, o.Rotation, o.Picture, row.number)) settleTransparentValue(o);
    }
    return true;
}

QString SeriesRows::pictureSummary() const {
    if (m_problemCount == 0) return QString();
    QString text = QStringLiteral("%1: %2 Bilder aus den Daten fehlen, die Boxen sind ohne sie gedruckt:\n%3")
                       .arg(m_path)
                       .arg(m_problemCount)
                       .arg(m_problems.join(QLatin1Char('\n')));
    if (m_problemCount > m_problems.size())
        text += QStringLiteral("\n… und %1 weitere").arg(m_problemCount - m_problems.size());
    return text;
}
