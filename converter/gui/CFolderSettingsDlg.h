#pragma once

#include <QDialog>

#include <functional>
#include <optional>
#include <string>

class QLineEdit;

namespace folyant::converter {

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
    void browse(std::string& folder, const QString& instruction);
    void UpdateData(bool saveAndValidate);

    FolderChooser m_chooseFolder;
    QLineEdit* m_libEdit = nullptr;
    QLineEdit* m_fontEdit = nullptr;
};

} // namespace folyant::converter
