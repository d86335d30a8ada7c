#pragma once

#include <QDialog>

#include <string>

class QLineEdit;

namespace folyant {
class FileDialogs;
class MachineSettings;
} // namespace folyant

namespace folyant::docconverter {

// Dialog 130 "한/글 뷰어 경로": the HWP viewer program. Whether the user
// confirms or cancels, the path that holds afterwards is stored as HwpvwPath;
// a failed write is not reported.
class CHwpViewerPathDlg final : public QDialog {
    Q_OBJECT
public:
    CHwpViewerPathDlg(
        std::string path, MachineSettings& machine, FileDialogs& files, QWidget* parent = nullptr);

    // The path after the dialog: the field as typed on "확인", unchanged on
    // "취소".
    const std::string& path() const { return m_path; }

    int exec() override;
    void done(int result) override;

private:
    void browse();

    std::string m_path;
    MachineSettings& m_machine;
    FileDialogs& m_files;
    QLineEdit* m_edit = nullptr;
};

} // namespace folyant::docconverter
