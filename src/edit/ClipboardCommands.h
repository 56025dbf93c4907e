#pragma once
// Cut, copy and paste of objects through the system clipboard. Copy offers
// the object as a record of our own (a box file holding that object, so
// another running program pastes it) and as a PNG of the object as drawn.
// Paste takes our own record first, then a picture, then plain text from
// other programs. Paste and cut are steps of the history.

#include <QByteArray>
#include <QString>

#include <functional>
#include <vector>

#include "image/DibHandle.h"

class EditorEnvironment;
class ObjectCommands;
class QClipboard;
class QIODevice;
class QMimeData;
struct Tobs;

class ClipboardCommands {
public:
    static QString objectMimeType() { return QStringLiteral("application/x-faltarillon-object"); }
    static QString sourceMimeType() { return QStringLiteral("application/x-faltarillon-source"); }
    static QString drawingMimeType() { return QStringLiteral("image/svg+xml"); }
    // Several objects with their places and groups; the object type beside
    // it carries the current one alone, for versions that know only that.
    static QString selectionMimeType() { return QStringLiteral("application/x-faltarillon-selection"); }

    ClipboardCommands(EditorEnvironment& env, ObjectCommands& commands);

    void copy();
    void cut();     // copy, then remove the object without a question
    void paste();
    // Whether the clipboard holds something paste can insert.
    bool canPaste() const;

    // Where a picture pasted into an unsaved box is stored.
    static QString unsavedPictureFolder();

private:
    bool putOnClipboard();
    void pasteRecord(const QMimeData& data);
    void pasteSelection(const QMimeData& data);
    // Gives a pasted image its picture: shared when it comes from this
    // program's last copy, else loaded from its path.
    void attachPicture(Tobs& o, const DibHandle& copied, bool ours);
    // The distance the repeated paste of one record moves, in screen pixels.
    long long pasteShift(const QByteArray& record);
    void pasteText(const QString& text);
    void pastePicture(const QImage& image);
    void pasteOfferedPicture(const QByteArray& bytes);
    void pasteDrawing(const QByteArray& svg);
    // Writes a pasted picture's file beside the box and loads it back; false
    // after telling the user why it could not be kept.
    bool keepPastedFile(const QString& path, const QString& what, DibHandle& picture,
                        const std::function<bool(QIODevice&)>& write);
    // The lowest free slot, or 0 after telling the user the table is full.
    int freeSlotOrTell();
    // A new object's fields as creation gives them, centred in the view.
    void prepareNewObject(Tobs& o, int kind, int screenWidth, int screenHeight);
    void insert(const QString& stepName, int slot, const Tobs& object);
    QString newPicturePath(const QString& suffix = QStringLiteral("png")) const;

    EditorEnvironment& m_env;
    ObjectCommands& m_commands;
    QByteArray m_token;            // tells this program's copies from others'
    DibHandle m_copiedPicture;     // the picture of our last copy, shared
    std::vector<DibHandle> m_copiedPictures;   // of a copied selection, in its order
    QByteArray m_lastPasted;       // the record pasted last, for the offset
    int m_repeat = 0;
};
