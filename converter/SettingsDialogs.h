#pragma once

#include <QDialog>

#include <functional>
#include <optional>
#include <string>

class QComboBox;
class QLineEdit;
class QRadioButton;

namespace folyant {

class MessageBox;

// "환경 설정": the interpreter's lib and font folders, changed only through
// the folder picker.
class CFolderSettingsDlg final : public QDialog {
    Q_OBJECT
public:
    // Chooses a folder: caption, instruction, initial folder; nothing when
    // the user cancelled.
    using FolderChooser = std::function<std::optional<std::string>(
        const std::string&, const std::string&, const std::string&)>;

    CFolderSettingsDlg(FolderChooser chooseFolder, QWidget* parent = nullptr);

    std::string m_libFolder;
    std::string m_fontFolder;

    int exec() override;

private:
    void browse(std::string& folder, const char* instruction);
    void UpdateData(bool saveAndValidate);

    FolderChooser m_chooseFolder;
    QLineEdit* m_libEdit = nullptr;
    QLineEdit* m_fontEdit = nullptr;
};

// "품질 설정": the quality preset from a sorted list of three.
class CQualityDlg final : public QDialog {
    Q_OBJECT
public:
    explicit CQualityDlg(QWidget* parent = nullptr);
    int m_quality = 0;
    int exec() override;
    void accept() override;

private:
    QComboBox* m_list = nullptr;
};

// "용지 설정": the job's own page size or a custom one in millimetres.
class CPaperDlg final : public QDialog {
    Q_OBJECT
public:
    CPaperDlg(MessageBox& messages, QWidget* parent = nullptr);
    int m_paperMode = 0; // 0 the job's own size, 1 custom, -1 neither
    unsigned m_width = 0;
    unsigned m_height = 0;
    int exec() override;
    void accept() override;

private:
    MessageBox& m_messages;
    QRadioButton* m_ownSize = nullptr;
    QRadioButton* m_customSize = nullptr;
    QLineEdit* m_widthEdit = nullptr;
    QLineEdit* m_heightEdit = nullptr;
};

// An unsigned decimal number as the whole text (blanks around it allowed).
std::optional<unsigned> parseUnsigned(const std::string& text);

} // namespace folyant
