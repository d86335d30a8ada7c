#pragma once

#include <QDialog>

#include <string>

class QFileSystemModel;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeView;

namespace folyant {
class MessageBox;
} // namespace folyant

namespace folyant::converter {

// Chooses a folder: a tree of the file system, an edit box in which the
// folder can be typed, and checks of the typed or picked path that offer to
// create a folder that does not exist.
class CFolderPicker final : public QDialog {
    Q_OBJECT
public:
    static constexpr int kEditId = 14148;

    CFolderPicker(const std::string& caption, const std::string& instruction,
        const std::string& initialFolder, MessageBox& messages, QWidget* parent = nullptr);

    // 1 when a folder was confirmed, -1 otherwise.
    int DoModal();
    std::string GetFolderPath() const { return m_folderPath; }

public slots:
    void accept() override;

private:
    void onSelectionChanged();
    void onEditChanged(const QString& text);

    MessageBox& m_messages;
    std::string m_folderPath;
    bool m_confirmed = false;
    QFileSystemModel* m_model = nullptr;
    QTreeView* m_tree = nullptr;
    QLabel* m_status = nullptr;
    QLineEdit* m_edit = nullptr;
    QPushButton* m_ok = nullptr;
};

} // namespace folyant::converter
