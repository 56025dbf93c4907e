#include "edit/ClipboardCommands.h"

#include "base/SaveFile.h"
#include "base/Units.h"
#include "edit/EditorEnvironment.h"
#include "edit/ObjectCommands.h"
#include "image/ImageLoader.h"
#include "image/ImageRotation.h"
#include "image/VectorArt.h"
#include "model/BoxDocument.h"
#include "model/BoxFile.h"
#include "model/LongText.h"
#include "model/ObjectRecord.h"
#include "model/Prompter.h"
#include "model/StoredImage.h"
#include "model/TransparentValue.h"
#include "render/Mapping.h"
#include "render/ObjectPicture.h"
#include "render/TextRenderer.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImageWriter>
#include <QMimeData>
#include <QStandardPaths>
#include <QUuid>

#include <algorithm>

namespace {

// Each paste of the same record lands this many screen pixels further right
// and down.
constexpr int PasteOffset = 10;

// A pasted text is clipped as every text from outside a box file is.
QString boundedPaste(const QString& text) { return clipLongText(text); }

constexpr int PastedTextLimit = LongTextLimit;

QClipboard* clipboard() { return QGuiApplication::clipboard(); }

void turnByRotation(DibHandle& dib, std::int32_t rotation) {
    switch (rotation) {
    case 1: RotRight(dib); break;
    case 2: Rot180(dib); break;
    case 3: RotLeft(dib); break;
    default: break;
    }
}

// Other programs end lines with CR LF or LF; a text keeps single CRs.
QString documentLines(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\r"));
    text.replace(QChar('\n'), QChar('\r'));
    return text;
}

}  // namespace

ClipboardCommands::ClipboardCommands(EditorEnvironment& env, ObjectCommands& commands)
    : m_env(env), m_commands(commands),
      m_token(QByteArray::number(QCoreApplication::applicationPid()) + ':' +
              QUuid::createUuid().toByteArray(QUuid::WithoutBraces)) {}

bool ClipboardCommands::putOnClipboard() {
    const BoxDocument& doc = m_env.document();
    if (!ObjectTable::isValidSlot(doc.CurrentObject)) return false;
    const Tobs& o = doc.Objects[doc.CurrentObject];
    if (o.isFree()) return false;
    const QByteArray record = objectRecordBytes(doc, o);
    auto* data = new QMimeData;
    data->setData(objectMimeType(), record);
    data->setData(sourceMimeType(), m_token);
    data->setImageData(renderObjectPicture(doc, o, m_env.boxPercent()));
    m_copiedPicture = o.Picture;
    m_copiedPictures.clear();
    m_lastPasted = record;
    const std::vector<int> selected = doc.selectedSlots();
    if (selected.size() > 1) {
        const QByteArray several = selectionRecordBytes(doc, selected, doc.CurrentObject);
        data->setData(selectionMimeType(), several);
        for (int s : selected) m_copiedPictures.push_back(doc.Objects[s].Picture);
        m_lastPasted = several;
    }
    m_repeat = 0;
    clipboard()->setMimeData(data);
    return true;
}

void ClipboardCommands::copy() { putOnClipboard(); }

void ClipboardCommands::cut() {
    if (!putOnClipboard()) return;
    BoxDocument& doc = m_env.document();
    DocumentHistory& history = m_commands.history();
    const std::vector<int> selected = doc.selectedSlots();
    auto step = history.begin(QStringLiteral("Ausschneiden"), selected);
    m_commands.deleteSlots(selected);
    history.commit(std::move(step));
    m_env.repaint();
}

namespace {

// The bytes of a picture another program offers, or our own as PNG. Never
// left to Qt to turn into pixels: it would try every reader it has on them,
// its SVG one included, which reads other files a drawing names.
QByteArray offeredPictureBytes(const QMimeData& data) {
    for (const QString& format : data.formats()) {
        if (format == ClipboardCommands::drawingMimeType()) continue;
        if (!format.startsWith(QLatin1String("image/")) && format != QLatin1String("application/x-qt-image"))
            continue;
        const QByteArray bytes = data.data(format);
        if (!bytes.isEmpty()) return bytes;
    }
    return QByteArray();
}

}  // namespace

bool ClipboardCommands::canPaste() const {
    const QMimeData* data = clipboard()->mimeData();
    if (!data) return false;
    if (data->hasFormat(objectMimeType()) || data->hasFormat(selectionMimeType()) ||
        data->hasFormat(drawingMimeType()) || data->hasImage())
        return true;
    for (const QString& format : data->formats())
        if (format.startsWith(QLatin1String("image/"))) return true;
    return data->hasText() && !data->text().isEmpty();
}

void ClipboardCommands::paste() {
    const QMimeData* data = clipboard()->mimeData();
    if (!data) return;
    if (data->hasFormat(selectionMimeType())) {
        pasteSelection(*data);
    } else if (data->hasFormat(objectMimeType())) {
        pasteRecord(*data);
    } else if (data->hasFormat(drawingMimeType())) {
        // Drawing programs offer pixels beside the drawing; the drawing
        // stays sharp.
        pasteDrawing(data->data(drawingMimeType()));
    } else if (const QByteArray bytes = offeredPictureBytes(*data); !bytes.isEmpty()) {
        pasteOfferedPicture(bytes);
    } else if (data->hasImage()) {
        // Pixels already, from within this program: no bytes to decode.
        pastePicture(qvariant_cast<QImage>(data->imageData()));
    } else if (data->hasText() && !data->text().isEmpty()) {
        pasteText(data->text());
    }
}

int ClipboardCommands::freeSlotOrTell() {
    const int slot = m_env.document().Objects.findFreeSlot();
    if (slot == 0)
        m_env.prompter().inform(QStringLiteral("Fehler: Kein freies Objekt mehr"),
                                QStringLiteral("Es wurden zuviele Objekte erstellt!"), PromptIcon::Information);
    return slot;
}

void ClipboardCommands::insert(const QString& stepName, int slot, const Tobs& object) {
    BoxDocument& doc = m_env.document();
    DocumentHistory& history = m_commands.history();
    auto step = history.begin(stepName, {slot});
    doc.Objects[slot] = object;
    doc.selectOnly(slot);
    history.commit(std::move(step));
    m_env.repaint();
}

void ClipboardCommands::pasteRecord(const QMimeData& data) {
    const QByteArray record = data.data(objectMimeType());
    Tobs o;
    if (!readObjectRecord(record, o)) {
        m_env.prompter().inform(QString(),
                                QStringLiteral("Der Inhalt der Zwischenablage ist kein gültiges Objekt."),
                                PromptIcon::Information);
        return;
    }
    const int slot = freeSlotOrTell();
    if (slot == 0) return;
    BoxDocument& doc = m_env.document();
    attachPicture(o, m_copiedPicture, data.data(sourceMimeType()) == m_token);
    const Mapping map = Mapping::screenFor(doc);
    const long long shift = pasteShift(record);
    SetDevLeft(o, static_cast<int>(std::clamp<long long>(map.DevLeft(o) + shift, -kCoordLimit, kCoordLimit)),
               doc.Zoom, doc.ScreenDivisor);
    SetDevTop(o, static_cast<int>(std::clamp<long long>(map.DevTop(o) + shift, -kCoordLimit, kCoordLimit)),
              doc.Zoom, doc.ScreenDivisor);
    insert(QStringLiteral("Einfügen"), slot, o);
}

void ClipboardCommands::attachPicture(Tobs& o, const DibHandle& copied, bool ours) {
    if (o.Kind != Image) return;
    const BoxDocument& doc = m_env.document();
    if (ours && !copied.isEmpty()) {
        // Still in this program: the same picture, shared.
        o.Picture = copied;
    } else if (loadStoredImage(o.Picture, o.Content, doc.FileName, doc.ProgramFolder)) {
        turnByRotation(o.Picture, o.Rotation);
        settleTransparentValue(o);
    } else {
        m_env.prompter().inform(QString(), boxmsg::imageMissingText(o.Content), PromptIcon::Error);
    }
}

long long ClipboardCommands::pasteShift(const QByteArray& record) {
    if (record == m_lastPasted) {
        ++m_repeat;
    } else {
        m_lastPasted = record;
        m_repeat = 1;
    }
    return static_cast<long long>(PasteOffset) * m_repeat;
}

void ClipboardCommands::pasteSelection(const QMimeData& data) {
    const QByteArray record = data.data(selectionMimeType());
    std::vector<Tobs> objects;
    int currentIndex = 0;
    if (!readSelectionRecord(record, objects, currentIndex)) {
        m_env.prompter().inform(QString(),
                                QStringLiteral("Der Inhalt der Zwischenablage ist kein gültiges Objekt."),
                                PromptIcon::Information);
        return;
    }
    BoxDocument& doc = m_env.document();
    std::vector<int> free;
    for (int s = 1; s <= ObjectTable::Capacity && free.size() < objects.size(); ++s)
        if (doc.Objects[s].isFree()) free.push_back(s);
    if (free.size() < objects.size()) {
        m_env.prompter().inform(QStringLiteral("Fehler: Kein freies Objekt mehr"),
                                QStringLiteral("Es wurden zuviele Objekte erstellt!"), PromptIcon::Information);
        return;
    }
    const bool ours = data.data(sourceMimeType()) == m_token && m_copiedPictures.size() == objects.size();
    // Groups of the record become new groups here: their numbers may be taken.
    std::int32_t nextGroup = 1;
    for (int s = 1; s <= ObjectTable::Capacity; ++s)
        if (!doc.Objects[s].isFree()) nextGroup = std::max(nextGroup, doc.Objects[s].Group + 1);
    std::vector<std::pair<std::int32_t, std::int32_t>> groups;
    const Mapping map = Mapping::screenFor(doc);
    const long long shift = pasteShift(record);
    for (size_t i = 0; i < objects.size(); ++i) {
        Tobs& o = objects[i];
        attachPicture(o, ours ? m_copiedPictures[i] : DibHandle(), ours);
        // One distance for all, so the arrangement stays as copied.
        SetDevLeft(o, static_cast<int>(std::clamp<long long>(map.DevLeft(o) + shift, -kCoordLimit, kCoordLimit)),
                   doc.Zoom, doc.ScreenDivisor);
        SetDevTop(o, static_cast<int>(std::clamp<long long>(map.DevTop(o) + shift, -kCoordLimit, kCoordLimit)),
                  doc.Zoom, doc.ScreenDivisor);
        if (o.Group != 0) {
            auto it = std::find_if(groups.begin(), groups.end(), [&](const auto& g) { return g.first == o.Group; });
            if (it == groups.end()) it = groups.insert(groups.end(), {o.Group, nextGroup++});
            o.Group = it->second;
        }
        o.Locked = 0;
    }
    DocumentHistory& history = m_commands.history();
    auto step = history.begin(QStringLiteral("Einfügen"), free);
    for (size_t i = 0; i < objects.size(); ++i) doc.Objects[free[i]] = objects[i];
    doc.selectOnly(free[static_cast<size_t>(currentIndex)]);
    for (int s : free)
        if (s != doc.CurrentObject) doc.Selection.push_back(s);
    history.commit(std::move(step));
    m_env.repaint();
}

void ClipboardCommands::prepareNewObject(Tobs& o, int kind, int screenWidth, int screenHeight) {
    const BoxDocument& doc = m_env.document();
    o.resetToDefaults();
    o.Kind = kind;
    o.KeepAspect = 1;
    o.Shape = shRectangle;
    o.Color = 0;
    const DialogFont& font = m_commands.dialogFont();
    o.FontColor = font.Color;
    font.applyTypefaceTo(o);
    const QSize visible = m_env.visibleSize();
    const QPoint centre = m_env.scrollPosition() + QPoint(visible.width() / 2, visible.height() / 2);
    SetDevLeft(o, centre.x() - screenWidth / 2, doc.Zoom, doc.ScreenDivisor);
    SetDevTop(o, centre.y() - screenHeight / 2, doc.Zoom, doc.ScreenDivisor);
    SetDevWidth(o, screenWidth, doc.Zoom, doc.ScreenDivisor);
    SetDevHeight(o, screenHeight, doc.Zoom, doc.ScreenDivisor);
}

void ClipboardCommands::pasteText(const QString& pasted) {
    const int slot = freeSlotOrTell();
    if (slot == 0) return;
    const QString text = boundedPaste(pasted);
    const BoxDocument& doc = m_env.document();
    Tobs o;
    prepareNewObject(o, Text, 1, 1);
    o.Content = documentLines(text);
    // Wide and high enough for every line in the object's font on screen.
    const int ppi = screenPpi();
    const QFontMetrics metrics(textFont(o, textPixelHeight(o.FontSize, Mapping::screenFor(doc).Scale(), 1.0, ppi, ppi)));
    const QStringList lines = o.Content.split(QChar('\r'));
    int width = 1;
    for (const QString& line : lines) width = std::max(width, metrics.horizontalAdvance(line));
    const int height = static_cast<int>(lines.size()) * metrics.lineSpacing();
    prepareNewObject(o, Text, std::min(width + 4, 4096), std::min(height + 2, 4096));
    o.Content = documentLines(text);
    insert(QStringLiteral("Einfügen"), slot, o);
    if (text.size() < pasted.size())
        m_env.showStatus(QStringLiteral("Der eingefügte Text wurde auf %1 Zeichen gekürzt.").arg(PastedTextLimit));
}

QString ClipboardCommands::unsavedPictureFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::PicturesLocation) + QStringLiteral("/Faltarillon");
}

QString ClipboardCommands::newPicturePath(const QString& suffix) const {
    const BoxDocument& doc = m_env.document();
    const QString folder =
        doc.FileName.isEmpty() ? unsavedPictureFolder() : QFileInfo(doc.FileName).absolutePath();
    for (int n = 1;; ++n) {
        const QString path = folder + QStringLiteral("/Zwischenablage-%1.").arg(n) + suffix;
        if (!QFileInfo::exists(path)) return path;
    }
}

void ClipboardCommands::pastePicture(const QImage& image) {
    if (image.isNull()) return;
    const int slot = freeSlotOrTell();
    if (slot == 0) return;
    const QString path = newPicturePath();
    // The box file keeps paths, not pictures: the picture gets a file first.
    DibHandle picture;
    if (!keepPastedFile(path, QStringLiteral("Das Bild"), picture,
                        [&](QIODevice& out) { return QImageWriter(&out, "png").write(image); }))
        return;
    const BoxDocument& doc = m_env.document();
    const int dpi = m_env.screenDpi() > 0 ? m_env.screenDpi() : 96;
    const long double perPixel = 10000.0L / dpi;
    Tobs o;
    prepareNewObject(o, Image, truncToInt(perPixel * picture.DibWidth() * doc.Zoom / doc.ScreenDivisor),
                     truncToInt(perPixel * picture.DibHeight() * doc.Zoom / doc.ScreenDivisor));
    o.Content = path;
    o.Picture = picture;
    insert(QStringLiteral("Einfügen"), slot, o);
    m_env.showStatus(QStringLiteral("Eingefügtes Bild gespeichert unter ") + path);
}

bool ClipboardCommands::keepPastedFile(const QString& path, const QString& what, DibHandle& picture,
                                       const std::function<bool(QIODevice&)>& write) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    SaveResult saved = saveFile(path, write);
    if (saved && !LoadDIBit(picture, path, m_env.document().ProgramFolder)) {
        saved.ok = false;
        saved.reason = QStringLiteral("konnte nicht wieder gelesen werden");
    }
    if (saved) return true;
    m_env.prompter().fileFault(QStringLiteral("Fehler: Bild nicht gespeichert"),
                               what + QStringLiteral(" aus der Zwischenablage konnte nicht als ") + path +
                                   QStringLiteral(" gespeichert werden!"),
                               path, saved.reason, PromptIcon::Error);
    return false;
}

void ClipboardCommands::pasteOfferedPicture(const QByteArray& bytes) {
    // A drawing offered under a raster type is still a drawing: screened.
    if (isVectorArtContent(bytes)) return pasteDrawing(bytes);
    const DibHandle picture = DecodeDib(bytes, QString());
    if (picture.isEmpty()) {
        m_env.prompter().inform(QStringLiteral("Fehler: Bild nicht eingefügt"),
                                QStringLiteral("Das Bild aus der Zwischenablage kann nicht gelesen werden."),
                                PromptIcon::Error);
        return;
    }
    pastePicture(picture.image());
}

void ClipboardCommands::pasteDrawing(const QByteArray& bytes) {
    QString reason;
    const std::shared_ptr<const VectorArt> art = screenVectorArt(bytes, &reason);
    if (!art) {
        m_env.prompter().inform(QStringLiteral("Fehler: Zeichnung nicht eingefügt"),
                                QStringLiteral("Die Zeichnung aus der Zwischenablage wurde nicht eingefügt: ") + reason,
                                PromptIcon::Error);
        return;
    }
    const int slot = freeSlotOrTell();
    if (slot == 0) return;
    const QString path = newPicturePath(QStringLiteral("svg"));
    // The screened drawing is what is kept: the file beside the box never
    // names anything outside itself.
    DibHandle picture;
    if (!keepPastedFile(path, QStringLiteral("Die Zeichnung"), picture,
                        [&](QIODevice& out) { return out.write(art->svg) == art->svg.size(); }))
        return;
    Tobs o;
    prepareNewObject(o, Image, 0, 0);
    // Its own size, centred where the view is.
    const QSizeF mm = vectorArtSizeMm(*art, 0);
    o.Width = mmToUnits(mm.width());
    o.Height = mmToUnits(mm.height());
    o.Left -= o.Width / 2;
    o.Top -= o.Height / 2;
    o.Content = path;
    o.Picture = picture;
    insert(QStringLiteral("Einfügen"), slot, o);
    m_env.showStatus(QStringLiteral("Eingefügte Zeichnung gespeichert unter ") + path);
}
