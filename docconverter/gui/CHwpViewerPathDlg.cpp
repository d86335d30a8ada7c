#include "docconverter/gui/CHwpViewerPathDlg.h"

#include "installation/InstallationFolders.h"
#include "installation/MachineSettings.h"
#include "platform/FileDialogs.h"
#include "platform/qt/DialogUnits.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <utility>

namespace folyant::docconverter {

CHwpViewerPathDlg::CHwpViewerPathDlg(
    std::string path, MachineSettings& machine, FileDialogs& files, QWidget* parent)
    : QDialog(parent)
    , m_path(std::move(path))
    , m_machine(machine)
    , m_files(files)
{
    setWindowTitle(tr("한/글 뷰어 경로"));
    const DialogUnits units(*this);
    setFixedSize(units.size(230, 75));
    units.place(new QLabel(tr("한/글 2002 뷰어 경로:"), this), 0, 7, 7, 120, 8);
    units.place(new QLabel(tr("(한/글 97 사용자)"), this), 0, 130, 7, 90, 8);
    m_edit = units.place(new QLineEdit(this), 1021, 7, 20, 180, 14);
    auto* browseButton = units.place(new QPushButton(QStringLiteral("..."), this), 1022, 191, 20, 32, 14);
    units.placeOkCancel(*this, 117, 173, 52);
    connect(browseButton, &QPushButton::clicked, this, &CHwpViewerPathDlg::browse);
}

int CHwpViewerPathDlg::exec()
{
    m_edit->setText(QString::fromStdString(m_path));
    return QDialog::exec();
}

void CHwpViewerPathDlg::done(int result)
{
    if (result == QDialog::Accepted)
        m_path = m_edit->text().toStdString();
    // Stored on either answer; a value that cannot be written is not reported.
    m_machine.writeString(installation::kHwpViewerPath, m_path);
    QDialog::done(result);
}

void CHwpViewerPathDlg::browse()
{
    if (const auto picked = m_files.openFile(tr("HwpViewer File").toStdString() + " (HwpView.exe)"))
        m_edit->setText(QString::fromStdString(*picked));
}

} // namespace folyant::docconverter
