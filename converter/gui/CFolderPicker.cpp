#include "converter/gui/CFolderPicker.h"

#include "converter/core/FolderChecks.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace folyant::converter {

namespace {
// "/a/b/" names the folder "/a/b"; "/" stays the root.
QString withoutTrailingSlashes(QString path)
{
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path;
}
} // namespace

CFolderPicker::CFolderPicker(const std::string& caption, const std::string& instruction,
    const std::string& initialFolder, MessageBox& messages, QWidget* parent)
    : QDialog(parent)
    , m_messages(messages)
{
    if (!caption.empty())
        setWindowTitle(QString::fromStdString(caption));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QString::fromStdString(instruction), this));

    m_model = new QFileSystemModel(this);
    m_model->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    m_model->setRootPath(QStringLiteral("/"));
    m_tree = new QTreeView(this);
    m_tree->setModel(m_model);
    for (int column = 1; column < m_model->columnCount(); ++column)
        m_tree->hideColumn(column);
    m_tree->setHeaderHidden(true);
    layout->addWidget(m_tree, 1);

    m_status = new QLabel(this);
    layout->addWidget(m_status);
    m_edit = new QLineEdit(this);
    m_edit->setObjectName(QString::number(kEditId));
    layout->addWidget(m_edit);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    m_ok->setObjectName(QStringLiteral("1"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("2"));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &CFolderPicker::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CFolderPicker::reject);
    connect(m_tree->selectionModel(), &QItemSelectionModel::currentChanged, this,
        &CFolderPicker::onSelectionChanged);
    connect(m_edit, &QLineEdit::textChanged, this, &CFolderPicker::onEditChanged);
    resize(420, 420);

    const QString start = withoutTrailingSlashes(
        initialFolder.empty() ? QDir::currentPath() : QString::fromStdString(initialFolder));
    // The tree starts at the nearest folder that exists, so that it has a
    // current item of its own and taking the focus changes nothing; the edit
    // box keeps the folder as given, even one still to be created.
    QString shownInTree = start;
    while (!QFileInfo(shownInTree).isDir() && shownInTree.size() > 1)
        shownInTree = QFileInfo(shownInTree).path();
    const QModelIndex index = m_model->index(shownInTree);
    if (index.isValid()) {
        m_tree->setCurrentIndex(index);
        m_tree->scrollTo(index);
    }
    m_edit->setText(start);
}

int CFolderPicker::DoModal()
{
    m_confirmed = false;
    exec();
    return m_confirmed ? 1 : -1;
}

void CFolderPicker::onSelectionChanged()
{
    const QString path = m_model->filePath(m_tree->currentIndex());
    // Only folders of the local file system can be chosen.
    const QString shown = path.startsWith(QLatin1Char('/')) ? path : QString();
    m_status->setText(shown);
    m_edit->setText(shown);
}

void CFolderPicker::onEditChanged(const QString& text)
{
    m_folderPath = text.left(static_cast<qsizetype>(kMaxFolderPath)).toStdString();
    m_ok->setEnabled(!text.isEmpty());
}

void CFolderPicker::accept()
{
    m_folderPath
        = withoutTrailingSlashes(m_edit->text()).left(static_cast<qsizetype>(kMaxFolderPath)).toStdString();
    if (ConfirmFolder(m_folderPath, m_messages) == kFolderGood) {
        m_confirmed = true;
        QDialog::accept();
        return;
    }
    m_edit->setFocus();
}

} // namespace folyant::converter
