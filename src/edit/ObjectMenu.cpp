#include "edit/ObjectMenu.h"

#include "edit/ArrangeMenu.h"
#include "edit/ClipboardCommands.h"
#include "edit/EditorEnvironment.h"
#include "edit/MenuHints.h"
#include "edit/ObjectCommands.h"
#include "model/BoxDocument.h"
#include "box/FaceGeometry.h"
#include "box/NetSource.h"

#include <QAction>
#include <QActionGroup>
#include <QKeySequence>
#include <QMenu>

namespace {
QAction* addItem(QMenu* menu, const char* name, const QString& caption, const QString& hint) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(QString::fromLatin1(name));
    if (!hint.isEmpty()) a->setStatusTip(hint);
    return a;
}
}  // namespace

ObjectMenu::ObjectMenu(EditorEnvironment& env, ObjectCommands& commands, QObject* parent)
    : QObject(parent), m_env(env), m_commands(commands), m_menu(new QMenu) {
    m_menu->setObjectName(QStringLiteral("PopupMenu1"));
    forwardMenuHints(m_menu);
    QMenu* m = m_menu;

    Lschen1 = addItem(m, "Lschen1", QStringLiteral("&Löschen..."), QStringLiteral("Löscht das Objekt"));
    // The menu belongs to no control, so the key only labels the item; the
    // Delete key itself is handled by the keyboard handling of the canvas.
    Lschen1->setShortcut(QKeySequence(Qt::Key_Delete));
    Lschen1->setShortcutContext(Qt::WidgetShortcut);
    Ausschneiden2 = addItem(m, "Ausschneiden2", QStringLiteral("A&usschneiden"),
                            QStringLiteral("Schneidet das Objekt aus und legt es in die Zwischenablage"));
    Kopieren2 = addItem(m, "Kopieren2", QStringLiteral("K&opieren"),
                        QStringLiteral("Kopiert das Objekt in die Zwischenablage"));
    m->addSeparator();
    Nachvorne1 = addItem(m, "Nachvorne1", QStringLiteral("Nach &vorne"),
                         QStringLiteral("Bringt das Objekt nach vorne, so daß es immer sichtbar ist"));
    NachHinen1 = addItem(m, "NachHinen1", QStringLiteral("Nach &hinten"),
                         QStringLiteral("Bringt das Objekt nach hinten, also hinter alle anderen Objekte"));
    m->addSeparator();
    FarbeM = addItem(m, "FarbeM", QStringLiteral("&Farbe..."), QStringLiteral("Ändert die Farbe das Objekts"));
    SchriftartM = addItem(m, "SchriftartM", QStringLiteral("&Schriftart..."), QStringLiteral("Ändert die Schriftart"));
    Texteffekte1 = addItem(m, "Texteffekte1", QStringLiteral("&Texteffekte..."), QString());
    m->addSeparator();
    Linksbnig1 = addItem(m, "Linksbnig1", QStringLiteral("Linksbündig"), QString());
    Zentriert1 = addItem(m, "Zentriert1", QStringLiteral("Zentriert"), QString());
    Rechtsbndig1 = addItem(m, "Rechtsbndig1", QStringLiteral("Rechtsbündig"), QString());
    m->addSeparator();
    Transparenz1 = addItem(m, "Transparenz1", QStringLiteral("Transparen&z..."), QString());
    SverhM = addItem(m, "SverhM", QStringLiteral("Se&itenverhältnis beibehalten"),
                     QStringLiteral("Hiermit wird das Bild nicht verzerrt, sollte immer an sein"));
    m->addSeparator();
    Nachlinksrotieren1 = addItem(m, "Nachlinksrotieren1", QStringLiteral("Nach links rotieren"), QString());
    Nachrechtsrotieren1 = addItem(m, "Nachrechtsrotieren1", QStringLiteral("Nach rechts rotieren"), QString());
    m->addSeparator();
    AufFlaeche = m->addMenu(QStringLiteral("Auf Flä&che"));
    AufFlaeche->setObjectName(QStringLiteral("AufFlaeche1"));
    AufFlaeche->menuAction()->setObjectName(QStringLiteral("AufFlaecheM"));
    AufFlaeche->menuAction()->setStatusTip(
        QStringLiteral("Richtet das Objekt an seiner Fläche aus; eine Deckelhälfte zählt einzeln (ein Titel über den "
                       "ganzen Deckel: zwei Objekte)"));
    forwardMenuHints(AufFlaeche);
    FlZentrieren = addItem(AufFlaeche, "FlZentrieren", QStringLiteral("&Zentrieren"),
                           QStringLiteral("Setzt das Objekt in die Mitte der Fläche"));
    FlEinpassen = addItem(AufFlaeche, "FlEinpassen", QStringLiteral("&Einpassen"),
                          QStringLiteral("Passt das Objekt mit Rand in die Fläche ein"));
    FlFuellen = addItem(AufFlaeche, "FlFuellen", QStringLiteral("&Füllen"),
                        QStringLiteral("Lässt das Objekt die Fläche ganz bedecken"));
    FlAufrecht = addItem(AufFlaeche, "FlAufrecht", QStringLiteral("&Aufrecht drehen"),
                         QStringLiteral("Dreht das Objekt so, dass es auf der gefalteten Box aufrecht steht"));
    connect(FlZentrieren, &QAction::triggered, this, [this] { m_commands.centreOnFace(); });
    connect(FlEinpassen, &QAction::triggered, this, [this] { m_commands.fitToFace(); });
    connect(FlFuellen, &QAction::triggered, this, [this] { m_commands.fillFace(); });
    connect(FlAufrecht, &QAction::triggered, this, [this] { m_commands.turnUpright(); });
    m->addSeparator();
    Anordnen = m->addMenu(QStringLiteral("A&nordnen"));
    Anordnen->setObjectName(QStringLiteral("Anordnen2"));
    Anordnen->menuAction()->setObjectName(QStringLiteral("Anordnen2Item"));
    Anordnen->menuAction()->setStatusTip(
        QStringLiteral("Richtet die ausgewählten Objekte aus, verteilt, gruppiert oder sperrt sie"));
    AnordnenItems = new ArrangeMenu(Anordnen, false, this);
    m->addSeparator();

    struct ShapeItem {
        const char* name;
        const char* caption;
        const char* hint;
    };
    static const ShapeItem shapes[10] = {
        {"KreisM", "&Kreis", "Das Objekt ist ein Kreis"},
        {"EllipseM", "&Ellipse", "Das Objekt ist eine Ellipse"},
        {"QuadratM", "&Quadrat", "Das Objekt ist ein Quadrat"},
        {"RechteckM", "&Rechteck", "Das Objekt ist ein Rechteck"},
        {"Rund1M", "&Quadrat &abgerundet", "Das Objekt ist ein abgerundetes Quadrat"},
        {"Rund2M", "Rechteck a&bgerundet", "Das Objekt ist ein abgerundetes Rechteck"},
        {"Liniehorizontal1", "Linie &horizontal", "Das Objekt ist eine horizontale Linie"},
        {"Linievertikal1", "Linie &vertikal", "Das Objekt ist eine vertikale Linie"},
        {"Lnieschrghoch1", "Linie schräg hoch", ""},
        {"Linieschrgrunter1", "Linie schräg runter", ""},
    };
    auto* shapeGroup = new QActionGroup(this);
    // Optional: a shape code outside 0..9 leaves every item unchecked.
    shapeGroup->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    for (int code = 0; code < 10; ++code) {
        QAction* a = addItem(m, shapes[code].name, QString::fromUtf8(shapes[code].caption),
                             QString::fromUtf8(shapes[code].hint));
        a->setCheckable(true);
        shapeGroup->addAction(a);
        ShapeItems[code] = a;
        connect(a, &QAction::triggered, this, [this, code] { m_commands.setShape(code); });
    }
    for (QAction* a : {Linksbnig1, Zentriert1, Rechtsbndig1, SverhM}) {
        a->setCheckable(true);
        // Check marks show the object's values as the menu opened; a click
        // runs the command but does not move a mark. The alignment marks
        // stay as they are while the menu serves figures and images.
        connect(a, &QAction::triggered, a, [a](bool checked) { a->setChecked(!checked); });
    }

    connect(Lschen1, &QAction::triggered, this, [this] { m_commands.deleteObject(); });
    connect(Ausschneiden2, &QAction::triggered, this, [this] {
        if (m_clipboard) m_clipboard->cut();
    });
    connect(Kopieren2, &QAction::triggered, this, [this] {
        if (m_clipboard) m_clipboard->copy();
    });
    connect(Nachvorne1, &QAction::triggered, this, [this] { m_commands.bringToFront(); });
    connect(NachHinen1, &QAction::triggered, this, [this] { m_commands.sendToBack(); });
    connect(FarbeM, &QAction::triggered, this, [this] { m_commands.chooseColor(); });
    connect(SchriftartM, &QAction::triggered, this, [this] { m_commands.chooseFont(); });
    connect(Texteffekte1, &QAction::triggered, this, [this] { m_commands.editTextEffects(); });
    connect(Linksbnig1, &QAction::triggered, this, [this] { m_commands.setAlignment(0); });
    connect(Zentriert1, &QAction::triggered, this, [this] { m_commands.setAlignment(1); });
    connect(Rechtsbndig1, &QAction::triggered, this, [this] { m_commands.setAlignment(2); });
    connect(Transparenz1, &QAction::triggered, this, [this] { m_commands.editTransparency(); });
    connect(SverhM, &QAction::triggered, this, [this] { m_commands.toggleKeepAspect(); });
    connect(Nachlinksrotieren1, &QAction::triggered, this, [this] { m_commands.turnLeft(); });
    connect(Nachrechtsrotieren1, &QAction::triggered, this, [this] { m_commands.turnRight(); });
}

ObjectMenu::~ObjectMenu() { delete m_menu; }

void ObjectMenu::setClipboard(ClipboardCommands* clipboard) { m_clipboard = clipboard; }

void ObjectMenu::setArrange(ArrangeCommands* arrange) { AnordnenItems->setCommands(arrange); }

QAction* ObjectMenu::item(const char* name) const {
    return m_menu->findChild<QAction*>(QString::fromLatin1(name));
}

void ObjectMenu::prepareFor(int slot) {
    const Tobs& o = m_env.document().Objects[slot];
    const bool figure = o.Kind == Figure;
    const bool text = o.Kind == Text;
    const bool image = o.Kind == Image;

    FarbeM->setEnabled(figure || text);
    for (QAction* a : {SchriftartM, Texteffekte1, Linksbnig1, Zentriert1, Rechtsbndig1}) a->setEnabled(text);
    Transparenz1->setEnabled(image);
    SverhM->setEnabled(image);
    // The turns work on the selected texts and pictures, also when a
    // figure is current.
    const BoxDocument& doc = m_env.document();
    bool turnable = text || image;
    for (int s : doc.selectedSlots()) turnable = turnable || doc.Objects[s].Kind == Text || doc.Objects[s].Kind == Image;
    Nachlinksrotieren1->setEnabled(turnable);
    Nachrechtsrotieren1->setEnabled(turnable);
    for (QAction* a : ShapeItems) a->setEnabled(figure);

    const bool square = figure && (o.Shape == shCircle || o.Shape == shSquare || o.Shape == shRoundSquare);
    const bool onFace = faceAt(doc, NetSource::of(doc, m_env.boxPercent()), o.Left + o.Width / 2.0,
                               o.Top + o.Height / 2.0)
                            .has_value();
    // Turning upright works on each selected text and picture on its own
    // face: a figure that is current does not hold it back.
    bool uprightable = onFace && !figure;
    const NetSource source = NetSource::of(doc, m_env.boxPercent());
    for (int s : doc.selectedSlots()) {
        if (uprightable) break;
        const Tobs& other = doc.Objects[s];
        uprightable = (other.Kind == Text || other.Kind == Image) &&
                      faceAt(doc, source, other.Left + other.Width / 2.0, other.Top + other.Height / 2.0).has_value();
    }
    AufFlaeche->menuAction()->setEnabled(onFace || uprightable);
    FlZentrieren->setEnabled(onFace);
    FlEinpassen->setEnabled(onFace && !text);
    FlFuellen->setEnabled(onFace && ((figure && !square) || (image && o.KeepAspect != 1)));
    FlAufrecht->setEnabled(uprightable);

    AnordnenItems->refresh();

    if (text) {
        Linksbnig1->setChecked(o.Alignment == 0);
        Zentriert1->setChecked(o.Alignment == 1);
        Rechtsbndig1->setChecked(o.Alignment == 2);
    }
    SverhM->setChecked(o.KeepAspect == 1);
    for (int code = 0; code < 10; ++code) ShapeItems[code]->setChecked(o.Shape == code);
}

void ObjectMenu::PopItUp(int x, int y) {
    const int current = m_env.document().CurrentObject;
    if (!ObjectTable::isValidSlot(current)) return;
    prepareFor(current);
    m_env.popupMenu(*m_menu, QPoint(x, y));
}
