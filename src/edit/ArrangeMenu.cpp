#include "edit/ArrangeMenu.h"

#include "edit/ArrangeCommands.h"
#include "edit/MenuHints.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>

ArrangeMenu::ArrangeMenu(QMenu* menu, bool liveShortcuts, QObject* parent) : QObject(parent), m_menu(menu) {
    auto add = [&](const char* name, const char* caption, const char* hint, const QKeySequence& key = {}) {
        QAction* a = menu->addAction(QString::fromUtf8(caption));
        a->setObjectName(QString::fromLatin1(name));
        a->setStatusTip(QString::fromUtf8(hint));
        if (!key.isEmpty()) {
            a->setShortcut(key);
            if (!liveShortcuts) a->setShortcutContext(Qt::WidgetShortcut);
        }
        return a;
    };
    LinksAusrichten = add("LinksAusrichten", "&Links ausrichten",
                          "Richtet die Objekte an der linken Kante der Auswahl aus, ein einzelnes an seiner Fläche");
    HorizontalZentrieren = add("HorizontalZentrieren", "&Horizontal zentrieren",
                               "Zentriert die Objekte waagerecht in der Auswahl, ein einzelnes auf seiner Fläche");
    RechtsAusrichten = add("RechtsAusrichten", "&Rechts ausrichten",
                           "Richtet die Objekte an der rechten Kante der Auswahl aus, ein einzelnes an seiner Fläche");
    ObenAusrichten = add("ObenAusrichten", "&Oben ausrichten",
                         "Richtet die Objekte an der oberen Kante der Auswahl aus, ein einzelnes an seiner Fläche");
    VertikalZentrieren = add("VertikalZentrieren", "&Vertikal zentrieren",
                             "Zentriert die Objekte senkrecht in der Auswahl, ein einzelnes auf seiner Fläche");
    UntenAusrichten = add("UntenAusrichten", "&Unten ausrichten",
                          "Richtet die Objekte an der unteren Kante der Auswahl aus, ein einzelnes an seiner Fläche");
    menu->addSeparator();
    HorizontalVerteilen = add("HorizontalVerteilen", "Hor&izontal verteilen",
                              "Verteilt drei oder mehr Objekte waagerecht mit gleichen Abständen");
    VertikalVerteilen = add("VertikalVerteilen", "V&ertikal verteilen",
                            "Verteilt drei oder mehr Objekte senkrecht mit gleichen Abständen");
    menu->addSeparator();
    Gruppieren = add("Gruppieren", "&Gruppieren", "Fasst die ausgewählten Objekte zu einer Gruppe zusammen",
                     QKeySequence(Qt::CTRL | Qt::Key_G));
    GruppierungAufheben = add("GruppierungAufheben", "Gruppierung &aufheben",
                              "Löst die Gruppen der ausgewählten Objekte auf",
                              QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_G));
    menu->addSeparator();
    Sperren = add("Sperren", "&Sperren", "Sperrt die ausgewählten Objekte gegen Auswählen und Verschieben");
    AlleEntsperren = add("AlleEntsperren", "Alle e&ntsperren", "Gibt alle gesperrten Objekte wieder frei");
    forwardMenuHints(menu);

    auto run = [this](QAction* a, void (ArrangeCommands::*command)()) {
        connect(a, &QAction::triggered, this, [this, command] {
            if (m_commands) (m_commands->*command)();
        });
    };
    const std::pair<QAction*, AlignEdge> aligns[] = {
        {LinksAusrichten, AlignEdge::Left}, {HorizontalZentrieren, AlignEdge::HCentre},
        {RechtsAusrichten, AlignEdge::Right}, {ObenAusrichten, AlignEdge::Top},
        {VertikalZentrieren, AlignEdge::VCentre}, {UntenAusrichten, AlignEdge::Bottom}};
    for (const auto& [action, edge] : aligns)
        connect(action, &QAction::triggered, this, [this, edge = edge] {
            if (m_commands) m_commands->align(edge);
        });
    connect(HorizontalVerteilen, &QAction::triggered, this, [this] {
        if (m_commands) m_commands->distribute(true);
    });
    connect(VertikalVerteilen, &QAction::triggered, this, [this] {
        if (m_commands) m_commands->distribute(false);
    });
    run(Gruppieren, &ArrangeCommands::group);
    run(GruppierungAufheben, &ArrangeCommands::ungroup);
    run(Sperren, &ArrangeCommands::lock);
    run(AlleEntsperren, &ArrangeCommands::unlockAll);
    connect(menu, &QMenu::aboutToShow, this, &ArrangeMenu::refresh);
}

void ArrangeMenu::refresh() {
    const bool on = m_commands != nullptr;
    const bool align = on && m_commands->canAlign();
    for (QAction* a : {LinksAusrichten, HorizontalZentrieren, RechtsAusrichten, ObenAusrichten, VertikalZentrieren,
                       UntenAusrichten})
        a->setEnabled(align);
    HorizontalVerteilen->setEnabled(on && m_commands->canDistribute());
    VertikalVerteilen->setEnabled(on && m_commands->canDistribute());
    Gruppieren->setEnabled(on && m_commands->canGroup());
    GruppierungAufheben->setEnabled(on && m_commands->canUngroup());
    Sperren->setEnabled(on && m_commands->canLock());
    AlleEntsperren->setEnabled(on && m_commands->canUnlockAll());
}
