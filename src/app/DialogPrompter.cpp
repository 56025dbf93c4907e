#include "app/DialogPrompter.h"

#include "dialogs/FormStyle.h"

#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>

namespace {

QMessageBox::Icon toIcon(PromptIcon icon) {
    switch (icon) {
    case PromptIcon::Information: return QMessageBox::Information;
    case PromptIcon::Warning: return QMessageBox::Warning;
    case PromptIcon::Error: return QMessageBox::Critical;
    case PromptIcon::Question: return QMessageBox::Question;
    case PromptIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

QString DialogPrompter::captionOrTitle(const QString& caption) {
    if (!caption.isEmpty()) return caption;
    return QGuiApplication::applicationDisplayName();
}

QString DialogPrompter::toQtFilter(const QString& filter) {
    if (!filter.contains(QLatin1Char('|'))) return filter;
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList entries;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        QString desc = parts[i];
        // A description that already names its patterns in brackets would make
        // Qt pick up the wrong ones; keep only the text before the bracket.
        const int bracket = desc.indexOf(QLatin1Char('('));
        if (bracket > 0) desc = desc.left(bracket).trimmed();
        entries << QStringLiteral("%1 (%2)").arg(desc, patterns.simplified());
    }
    return entries.join(QStringLiteral(";;"));
}

QString DialogPrompter::defaultSuffixOf(const QString& filter) {
    static const QRegularExpression pattern(QStringLiteral("^\\*\\.([A-Za-z0-9]+)$"));
    const QString qt = toQtFilter(filter);
    if (qt.contains(QStringLiteral(";;"))) return QString();
    const int open = qt.indexOf(QLatin1Char('('));
    const int close = qt.lastIndexOf(QLatin1Char(')'));
    if (open < 0 || close <= open) return QString();
    const QStringList pats = qt.mid(open + 1, close - open - 1).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (pats.size() != 1) return QString();
    const auto m = pattern.match(pats.first());
    return m.hasMatch() ? m.captured(1) : QString();
}

PromptAnswer DialogPrompter::ask(const QString& caption, const QString& text, PromptIcon icon,
                                 PromptButtons buttons) {
    QMessageBox box(toIcon(icon), captionOrTitle(caption), text, QMessageBox::NoButton, m_parent);
    applyDialogFont(&box);
    switch (buttons) {
    case PromptButtons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
    case PromptButtons::OkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case PromptButtons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case PromptButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    }
    // The first button is the default, as with the platform's message boxes.
    if (buttons == PromptButtons::YesNo || buttons == PromptButtons::YesNoCancel)
        box.setDefaultButton(QMessageBox::Yes);
    const int result = box.exec();
    switch (result) {
    case QMessageBox::Yes: return PromptAnswer::Yes;
    case QMessageBox::No: return PromptAnswer::No;
    case QMessageBox::Ok: return PromptAnswer::Ok;
    default: break;
    }
    // Escape or the close box: Cancel where there is one, otherwise No / OK.
    if (buttons == PromptButtons::YesNo) return PromptAnswer::No;
    if (buttons == PromptButtons::Ok) return PromptAnswer::Ok;
    return PromptAnswer::Cancel;
}

PromptAnswer DialogPrompter::choose(const QString& caption, const QString& text, PromptIcon icon,
                                    const QString& firstButton, const QString& secondButton) {
    QMessageBox box(toIcon(icon), captionOrTitle(caption), text, QMessageBox::NoButton, m_parent);
    applyDialogFont(&box);
    QPushButton* first = box.addButton(firstButton, QMessageBox::AcceptRole);
    QPushButton* second = box.addButton(secondButton, QMessageBox::RejectRole);
    box.setDefaultButton(first);
    box.setEscapeButton(second);
    box.exec();
    return box.clickedButton() == first ? PromptAnswer::Yes : PromptAnswer::No;
}

void DialogPrompter::inform(const QString& caption, const QString& text, PromptIcon icon) {
    QMessageBox box(toIcon(icon), captionOrTitle(caption), text, QMessageBox::Ok, m_parent);
    applyDialogFont(&box);
    box.exec();
}

QString DialogPrompter::openPath(const QString& caption, const QString& folder, const QString& filter) {
    QFileDialog dlg(m_parent, caption, folder, toQtFilter(filter));
    dlg.setAcceptMode(QFileDialog::AcceptOpen);
    dlg.setFileMode(QFileDialog::ExistingFile);
    dlg.setDefaultSuffix(defaultSuffixOf(filter));
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return QString();
    return dlg.selectedFiles().first();
}

QString DialogPrompter::savePath(const QString& caption, const QString& folder, const QString& filter,
                                 const QString& suggestedName) {
    QFileDialog dlg(m_parent, caption, folder, toQtFilter(filter));
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setFileMode(QFileDialog::AnyFile);
    // The commands ask their own overwrite question with their own texts.
    dlg.setOption(QFileDialog::DontConfirmOverwrite, true);
    dlg.setDefaultSuffix(defaultSuffixOf(filter));
    if (!suggestedName.isEmpty()) dlg.selectFile(suggestedName);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return QString();
    return dlg.selectedFiles().first();
}
