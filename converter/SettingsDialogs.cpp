#include "SettingsDialogs.h"

#include "DialogUnits.h"
#include "MessageBox.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <climits>

namespace folyant {

namespace {

// OK and Cancel with the dialog ids 1 and 2.
void addButtons(QDialog* dialog, const DialogUnits& units, int okX, int cancelX, int y)
{
    auto* ok = units.place(new QPushButton(QObject::tr("확인"), dialog), 1, okX, y, 50, 14);
    ok->setDefault(true);
    auto* cancel = units.place(new QPushButton(QObject::tr("취소"), dialog), 2, cancelX, y, 50, 14);
    QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
}

} // namespace

std::optional<unsigned> parseUnsigned(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t");
    const auto last = text.find_last_not_of(" \t");
    if (first == std::string::npos)
        return std::nullopt;
    unsigned long long value = 0;
    for (std::size_t i = first; i <= last; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return std::nullopt;
        value = value * 10 + static_cast<unsigned>(text[i] - '0');
        if (value > UINT_MAX)
            return std::nullopt;
    }
    return static_cast<unsigned>(value);
}

CFolderSettingsDlg::CFolderSettingsDlg(FolderChooser chooseFolder, QWidget* parent)
    : QDialog(parent)
    , m_chooseFolder(std::move(chooseFolder))
{
    setWindowTitle(tr("환경 설정"));
    const DialogUnits units(*this);
    setFixedSize(units.size(211, 107));
    units.place(new QLabel(tr("라이브러리 폴더"), this), 0, 7, 7, 102, 9);
    m_libEdit = units.place(new QLineEdit(this), 1015, 12, 20, 153, 15);
    auto* libButton = units.place(new QPushButton(QStringLiteral("..."), this), 1017, 168, 20, 36, 16);
    units.place(new QLabel(tr("PostScript 폰트 폴더"), this), 0, 7, 44, 117, 9);
    m_fontEdit = units.place(new QLineEdit(this), 1016, 12, 56, 153, 15);
    auto* fontButton = units.place(new QPushButton(QStringLiteral("..."), this), 1018, 168, 56, 36, 16);
    m_libEdit->setReadOnly(true);
    m_fontEdit->setReadOnly(true);
    addButtons(this, units, 95, 154, 86);
    connect(libButton, &QPushButton::clicked, this, [this] { browse(m_libFolder, "Setup Lib Folder."); });
    connect(fontButton, &QPushButton::clicked, this, [this] { browse(m_fontFolder, "Setup Font Folder."); });
}

int CFolderSettingsDlg::exec()
{
    UpdateData(false);
    return QDialog::exec();
}

void CFolderSettingsDlg::UpdateData(bool saveAndValidate)
{
    if (saveAndValidate) {
        m_libFolder = m_libEdit->text().toStdString();
        m_fontFolder = m_fontEdit->text().toStdString();
    } else {
        m_libEdit->setText(QString::fromStdString(m_libFolder));
        m_fontEdit->setText(QString::fromStdString(m_fontFolder));
    }
}

void CFolderSettingsDlg::browse(std::string& folder, const char* instruction)
{
    if (const auto picked = m_chooseFolder("Config", instruction, folder)) {
        folder = *picked;
        UpdateData(false);
    }
}

CQualityDlg::CQualityDlg(QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(tr("품질 설정"));
    const DialogUnits units(*this);
    setFixedSize(units.size(151, 65));
    units.place(new QLabel(tr("품질 :"), this), 0, 7, 17, 31, 12);
    m_list = units.place(new QComboBox(this), 1008, 38, 14, 106, 12);
    addButtons(this, units, 39, 94, 44);
}

int CQualityDlg::exec()
{
    // Added in this order, the sorted list keeps it: index = quality.
    m_list->clear();
    m_list->addItems({QStringLiteral("Press Ready"), QStringLiteral("Print Quality"), QStringLiteral("Web")});
    m_list->setCurrentIndex(m_quality >= 0 && m_quality <= 2 ? m_quality : -1);
    return QDialog::exec();
}

void CQualityDlg::accept()
{
    m_quality = m_list->currentIndex();
    QDialog::accept();
}

CPaperDlg::CPaperDlg(MessageBox& messages, QWidget* parent)
    : QDialog(parent)
    , m_messages(messages)
{
    setWindowTitle(tr("용지 설정"));
    const DialogUnits units(*this);
    setFixedSize(units.size(136, 88));
    m_ownSize = units.place(new QRadioButton(tr("PostScript 기본값 사용"), this), 1017, 7, 7, 92, 11);
    m_customSize = units.place(new QRadioButton(tr("사용자 지정"), this), 1018, 7, 20, 58, 11);
    auto* group = new QButtonGroup(this);
    group->setExclusive(false); // "neither" must be possible, as a stored -1 shows
    group->addButton(m_ownSize);
    group->addButton(m_customSize);
    connect(m_ownSize, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            m_customSize->setChecked(false);
    });
    connect(m_customSize, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            m_ownSize->setChecked(false);
    });
    units.place(new QLabel(tr("가로"), this), 0, 48, 37, 19, 9);
    m_widthEdit = units.place(new QLineEdit(this), 1019, 70, 35, 43, 12);
    units.place(new QLabel(QStringLiteral("mm"), this), 0, 115, 37, 14, 9);
    units.place(new QLabel(tr("세로"), this), 0, 48, 52, 19, 9);
    m_heightEdit = units.place(new QLineEdit(this), 1020, 70, 50, 43, 12);
    units.place(new QLabel(QStringLiteral("mm"), this), 0, 115, 52, 14, 9);
    addButtons(this, units, 25, 79, 67);
}

int CPaperDlg::exec()
{
    m_ownSize->setChecked(m_paperMode == 0);
    m_customSize->setChecked(m_paperMode == 1);
    m_widthEdit->setText(QString::number(m_width));
    m_heightEdit->setText(QString::number(m_height));
    return QDialog::exec();
}

void CPaperDlg::accept()
{
    const auto width = parseUnsigned(m_widthEdit->text().toStdString());
    const auto height = parseUnsigned(m_heightEdit->text().toStdString());
    for (auto [value, edit] : {std::pair{width, m_widthEdit}, std::pair{height, m_heightEdit}}) {
        if (!value) {
            m_messages.show("Please enter a positive integer.", MessageButtons::Ok, MessageIcon::Warning);
            edit->setFocus();
            edit->selectAll();
            return;
        }
    }
    m_paperMode = m_ownSize->isChecked() ? 0 : m_customSize->isChecked() ? 1 : -1;
    m_width = *width;
    m_height = *height;
    QDialog::accept();
}

} // namespace folyant
