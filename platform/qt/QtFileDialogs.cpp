#include "platform/qt/QtFileDialogs.h"

#include <QFileDialog>

namespace folyant {

std::optional<std::string> QtFileDialogs::openFile(const std::string& filter)
{
    const QString chosen = QFileDialog::getOpenFileName(m_owner, {}, {}, QString::fromStdString(filter));
    if (chosen.isEmpty())
        return std::nullopt;
    return chosen.toStdString();
}

std::optional<std::string> QtFileDialogs::saveFile(
    const std::string& proposedName, const std::string& defaultSuffix, const std::string& filter)
{
    QFileDialog dialog(m_owner, {}, QString::fromStdString(proposedName), QString::fromStdString(filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QString::fromStdString(defaultSuffix));
    dialog.selectFile(QString::fromStdString(proposedName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().front().toStdString();
}

} // namespace folyant
