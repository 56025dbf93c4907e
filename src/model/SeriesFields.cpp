#include "model/SeriesFields.h"

#include "model/LongText.h"
#include "model/SharedPictures.h"
#include "model/TransparentValue.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

#include <optional>

namespace {

// Walks text, handing each piece to literal (plain text, an escaped brace
// already reduced to one) or field (a field's trimmed name, with the text
// as typed).
template <typename Literal, typename Field>
void scanFields(const QString& text, Literal literal, Field field) {
    const qsizetype n = text.size();
    qsizetype plainFrom = 0;
    auto flush = [&](qsizetype upTo) {
        if (upTo > plainFrom) literal(QStringView(text).mid(plainFrom, upTo - plainFrom));
    };
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if ((c == QLatin1Char('{') || c == QLatin1Char('}')) && i + 1 < n && text.at(i + 1) == c) {
            flush(i);
            literal(QStringView(text).mid(i, 1));
            plainFrom = ++i + 1;
            continue;
        }
        if (c != QLatin1Char('{')) continue;
        qsizetype close = i + 1;
        while (close < n) {
            const QChar d = text.at(close);
            if (d == QLatin1Char('}') || d == QLatin1Char('{') || d == QLatin1Char('\r') || d == QLatin1Char('\n'))
                break;
            ++close;
        }
        if (close >= n || text.at(close) != QLatin1Char('}')) continue;
        const QString name = text.mid(i + 1, close - i - 1).trimmed();
        if (name.isEmpty()) continue;
        flush(i);
        field(name, QStringView(text).mid(i, close - i + 1));
        i = close;
        plainFrom = close + 1;
    }
    flush(n);
}

const QString NumberField = QStringLiteral("Nr");

std::optional<QString> valueOf(const SeriesRow& row, const QString& name) {
    const qsizetype column = row.columns.indexOf(name);
    if (column >= 0) return column < row.values.size() ? row.values.at(column) : QString();
    if (name == NumberField) return QString::number(row.number);
    return std::nullopt;
}

QString asTextLines(QString value) {
    value.replace(QStringLiteral("\r\n"), QStringLiteral("\r"));
    value.replace(QLatin1Char('\n'), QLatin1Char('\r'));
    return value;
}

void appendOnce(QStringList& list, const QStringList& names) {
    for (const QString& name : names)
        if (!list.contains(name)) list.push_back(name);
}

}  // namespace

QString fillFields(const QString& text, const SeriesRow& row, QStringList* unknown) {
    QString out;
    out.reserve(text.size());
    scanFields(
        text, [&](QStringView piece) { out += piece; },
        [&](const QString& name, QStringView typed) {
            if (const std::optional<QString> value = valueOf(row, name)) {
                out += asTextLines(*value);
                return;
            }
            out += typed;
            if (unknown && !unknown->contains(name)) unknown->push_back(name);
        });
    return clipLongText(out);
}

QStringList fieldNames(const QString& text) {
    QStringList names;
    scanFields(
        text, [](QStringView) {},
        [&](const QString& name, QStringView) {
            if (!names.contains(name)) names.push_back(name);
        });
    return names;
}

bool rowHasField(const SeriesRow& row, const QString& name) { return valueOf(row, name).has_value(); }

QStringList designFieldNames(const BoxDocument& design) {
    QStringList names;
    if (design.BackgroundMode != bgNone) appendOnce(names, fieldNames(design.BackgroundFile));
    for (int slot = 1; slot <= ObjectTable::Capacity; ++slot) {
        const Tobs& o = design.Objects[slot];
        if (o.Kind == Text || o.Kind == Image) appendOnce(names, fieldNames(o.Content));
    }
    return names;
}

QString fillPictureName(const QString& name, const SeriesRow& row, const BoxDocument& design, QStringList* unknown) {
    const QString filled = fillFields(name, row, unknown);
    // Names from the data are mostly relative: the pictures lie with the
    // design, or with the data while the design has no file yet.
    const QString from = !design.FileName.isEmpty() ? design.FileName : design.Series.path;
    if (filled.isEmpty() || from.isEmpty() || !QDir::isRelativePath(filled)) return filled;
    return QDir::cleanPath(QFileInfo(from).absoluteDir().filePath(filled));
}

namespace {

bool mayHoldFields(const QString& text) {
    return text.contains(QLatin1Char('{')) || text.contains(QLatin1Char('}'));
}

// Fills doc, a copy of design, for row: only what may hold fields is
// touched, taken afresh from design first, so a copy filled for another row
// becomes this row's.
void fillForRow(BoxDocument& doc, const BoxDocument& design, const SeriesRow& row, QStringList* unknownFields,
                SharedPictures* pictures, QStringList* missingPictures) {
    std::optional<SharedPictures> ownPictures;
    if (!pictures) pictures = &ownPictures.emplace(design.FileName, design.ProgramFolder);
    auto note = [&](const QStringList& unknown, const QString& where) {
        if (!unknownFields) return;
        for (const QString& name : unknown) unknownFields->push_back(QStringLiteral("Unbekanntes Feld {%1} %2").arg(name, where));
    };
    // A picture name without fields keeps the design's picture; a filled one
    // is loaded for this row (none while a field stays unknown).
    auto fillPicture = [&](QString& name, DibHandle& picture, int turns, const QString& where) {
        QStringList unknown;
        name = fillPictureName(name, row, design, &unknown);
        note(unknown, where);
        picture = DibHandle();
        // An empty cell: this row has no picture there.
        if (name.isEmpty()) return false;
        if (unknown.isEmpty() && pictures->loadEvenPastBudget(name, turns, picture) == SharedPictures::Outcome::Loaded)
            return true;
        picture = DibHandle();
        if (missingPictures && !missingPictures->contains(name)) missingPictures->push_back(name);
        return false;
    };
    if (design.BackgroundMode != bgNone && !fieldNames(design.BackgroundFile).isEmpty()) {
        doc.BackgroundFile = design.BackgroundFile;
        fillPicture(doc.BackgroundFile, doc.BackgroundPicture, 0, QStringLiteral("im Hintergrund"));
        doc.BackgroundFileStoredBytes.clear();
    }
    for (int slot = 1; slot <= ObjectTable::Capacity; ++slot) {
        const Tobs& typed = design.Objects[slot];
        // Only what uses fields is rebuilt; the rest stay shared.
        if ((typed.Kind != Text && typed.Kind != Image) || !mayHoldFields(typed.Content)) continue;
        Tobs& o = doc.Objects[slot];
        o = typed;
        const QString where = QStringLiteral("in Objekt %1").arg(slot);
        if (o.Kind == Text) {
            QStringList unknown;
            o.Content = fillFields(o.Content, row, &unknown);
            o.ContentStoredBytes.clear();
            note(unknown, where);
        } else if (!fieldNames(o.Content).isEmpty()) {
            if (fillPicture(o.Content, o.Picture, o.Rotation, where)) settleTransparentValue(o);
            o.ContentStoredBytes.clear();
        }
    }
}

}  // namespace

BoxDocument documentForRow(const BoxDocument& design, const SeriesRow& row, QStringList* unknownFields,
                           SharedPictures* pictures, QStringList* missingPictures) {
    BoxDocument doc = design;
    fillForRow(doc, design, row, unknownFields, pictures, missingPictures);
    return doc;
}

void refillForRow(BoxDocument& shown, const BoxDocument& design, const SeriesRow& row, QStringList* unknownFields,
                  SharedPictures* pictures, QStringList* missingPictures) {
    fillForRow(shown, design, row, unknownFields, pictures, missingPictures);
}
