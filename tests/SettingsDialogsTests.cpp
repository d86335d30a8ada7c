// The folder checks, the folder picker and the settings commands of the
// converter's window, driven the way a user drives them.
#include "converter/core/FolderChecks.h"
#include "converter/core/TextNumbers.h"
#include "converter/gui/CDu2RorDlg.h"
#include "converter/gui/CFolderPicker.h"
#include "converter/gui/CFolderSettingsDlg.h"
#include "converter/gui/CPaperDlg.h"
#include "converter/gui/CQualityDlg.h"
#include "installation/MachineSettings.h"
#include "platform/Platform.h"
#include "tests/support/Modal.h"
#include "tests/support/TestSupport.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <QTreeView>

#include <gtest/gtest.h>

#include <functional>

using namespace folyant;
using namespace folyant::converter;
using folyant::test::TempFolder;

namespace {

using test::child;
using test::whenModal;

TEST(FolderNames, ValidAndInvalid)
{
    for (const char* good : {"a", "New Folder", "x.y", "폴더", "a b"})
        EXPECT_TRUE(IsValidFolderName(good)) << good;
    for (const char* bad :
        {"", " a", "a ", ".a", "a.", "\ta", "a\"b", "a*b", "a/b", "a:b", "a<b", "a>b", "a?b", "a\\b", "a|b"})
        EXPECT_FALSE(IsValidFolderName(bad)) << bad;
}

TEST(FolderPaths, JudgedComponentByComponent)
{
    const std::pair<std::string, int> cases[] = {
        {"/", 0},
        {"/tmp", 0},
        {"/tmp/x/", 1},
        {"/a//b", 1},
        {"/a/b.", 1},
        {"/a/ b", 1},
        {"/a/b?c", 1},
        {"relative/x", 1},
        {"//server/share", 1},
        {"", 1},
        {"/a/b:c", 1},
        {"/" + std::string(258, 'x'), 0},
        {"/" + std::string(259, 'x'), 1},
    };
    for (const auto& [path, code] : cases)
        EXPECT_EQ(CheckFolderPath(path, true), code) << path;
}

TEST(FolderPaths, CreatesEveryMissingFolderFromTheRootDown)
{
    TempFolder folder;
    const std::string deep = folder.file("New1/New2");
    EXPECT_EQ(CheckFolderPath(deep, true), 0);
    EXPECT_FALSE(test::fileExists(folder.file("New1"))) << "checking touches nothing";
    EXPECT_EQ(CheckFolderPath(deep, false), 0);
    EXPECT_TRUE(test::fileExists(deep));

    test::writeFile(folder.file("file"), "x");
    EXPECT_EQ(CheckFolderPath(folder.file("file/sub"), false), 2);
    EXPECT_EQ(CheckFolderPath("/", false), 0);
}

TEST(FolderPaths, ConfirmAsksAndReports)
{
    TempFolder folder;
    test::RecordingMessageBox messages;
    messages.answer = MessageAnswer::No;
    const std::string missing = folder.file("Missing");
    EXPECT_EQ(ConfirmFolder(missing, messages), -1);
    EXPECT_FALSE(test::fileExists(missing));
    EXPECT_EQ(messages.texts,
        std::vector<std::string>{
            "The folder:\n\n" + missing + "\n\ndoes not exist. Do you want the folder to be created?"});

    messages.answer = MessageAnswer::Yes;
    EXPECT_EQ(ConfirmFolder(missing, messages), 0);
    EXPECT_TRUE(test::fileExists(missing));
    EXPECT_EQ(ConfirmFolder(missing, messages), 0);

    // Enter on the question (or an unattended run) takes its default: Yes.
    messages.answer.reset();
    EXPECT_EQ(ConfirmFolder(folder.file("ByDefault"), messages), 0);
    EXPECT_TRUE(test::fileExists(folder.file("ByDefault")));

    messages.texts.clear();
    EXPECT_EQ(ConfirmFolder("/a//b", messages), 1);
    EXPECT_EQ(
        messages.texts, std::vector<std::string>{"The folder:\n\n/a//b\n\nis invalid. Please reenter."});

    test::writeFile(folder.file("file"), "x");
    messages.texts.clear();
    EXPECT_EQ(ConfirmFolder(folder.file("file/sub"), messages), 2);
    EXPECT_EQ(messages.texts.back(),
        "The folder:\n\n" + folder.file("file/sub") + "\n\ncan not be created. Please double check.");
}

TEST(FolderPicker, AMissingStartFolderSurvivesTheFocusAndATrailingSlashIsNoFault)
{
    TempFolder folder;
    test::RecordingMessageBox messages;
    messages.answer = MessageAnswer::Yes;
    const std::string missing = folder.file("not/yet");
    CFolderPicker picker("Config", "Setup Lib Folder.", missing, messages);
    whenModal([&](QWidget* modal) {
        modal->findChild<QTreeView*>()->setFocus();
        QApplication::processEvents();
        EXPECT_EQ(child<QLineEdit>(modal, CFolderPicker::kEditId)->text().toStdString(), missing)
            << "the tree taking the focus must not replace the folder";
        child<QPushButton>(modal, 1)->click();
    });
    EXPECT_EQ(picker.DoModal(), 1);
    EXPECT_EQ(picker.GetFolderPath(), missing);

    CFolderPicker slashed("Config", "Setup Lib Folder.", folder.path() + "/", messages);
    whenModal([&](QWidget* modal) { child<QPushButton>(modal, 1)->click(); });
    EXPECT_EQ(slashed.DoModal(), 1) << "a folder given with a trailing slash is that folder";
    EXPECT_EQ(slashed.GetFolderPath(), folder.path());
}

TEST(FolderPicker, TypedPathIsCreatedOnYesAndKeptOpenOnNo)
{
    TempFolder folder;
    test::RecordingMessageBox messages;
    const std::string typed = folder.file("New1/New2");
    {
        messages.answer = MessageAnswer::No;
        CFolderPicker picker("Config", "Setup Lib Folder.", folder.path(), messages);
        whenModal([&](QWidget* modal) {
            auto* edit = child<QLineEdit>(modal, CFolderPicker::kEditId);
            auto* ok = child<QPushButton>(modal, 1);
            edit->clear();
            EXPECT_FALSE(ok->isEnabled()) << "no path, no OK";
            edit->setText(QString::fromStdString(typed));
            EXPECT_TRUE(ok->isEnabled());
            ok->click();
            EXPECT_TRUE(modal->isVisible()) << "declining keeps the picker open";
            child<QPushButton>(modal, 2)->click();
        });
        EXPECT_EQ(picker.DoModal(), -1);
        EXPECT_FALSE(test::fileExists(folder.file("New1")));
    }
    messages.answer = MessageAnswer::Yes;
    CFolderPicker picker("Config", "Setup Lib Folder.", folder.path(), messages);
    whenModal([&](QWidget* modal) {
        child<QLineEdit>(modal, CFolderPicker::kEditId)->setText(QString::fromStdString(typed));
        child<QPushButton>(modal, 1)->click();
    });
    EXPECT_EQ(picker.DoModal(), 1);
    EXPECT_EQ(picker.GetFolderPath(), typed);
    EXPECT_TRUE(test::fileExists(typed));
    EXPECT_EQ(picker.windowTitle(), QStringLiteral("Config"));
}

// Machine settings that remember what was written, and can refuse.
class RecordingMachine final : public MachineSettings {
public:
    bool isAvailable() const override { return true; }
    std::optional<std::string> readString(const std::string& name, std::size_t) const override
    {
        const auto found = values.find(name);
        return found == values.end() ? std::nullopt : std::optional<std::string>(found->second);
    }
    std::optional<int> readInt(const std::string&) const override { return std::nullopt; }
    bool writeString(const std::string& name, const std::string& value) override
    {
        writes.push_back(name);
        if (refuse)
            return false;
        values[name] = value;
        return true;
    }
    bool writeInt(const std::string&, int) override { return !refuse; }
    std::map<std::string, std::string> values;
    std::vector<std::string> writes;
    bool refuse = false;
};

class CommandTest : public ::testing::Test {
protected:
    CommandTest()
    {
        machine.values = {{"GSLibPath", FOLYANT_DEV_LIB}, {"GSFontPath", FOLYANT_GS_FONT_FOLDER}};
    }
    RecordingMachine machine;
    test::RecordingProfile profile;
    test::RecordingMessageBox messages;
    XdgShell shell;
    XdgEmail mail;
    test::RecordingFileDialogs files;
    Platform platform{machine, profile, messages, shell, mail, files, false};
    TempFolder folder;
};

TEST_F(CommandTest, FolderDialogWritesBothValuesAgainOnOk)
{
    CDu2RorDlg dialog(ConversionJob{}, platform);
    dialog.OnInitDialog();
    int asked = 0;
    dialog.setFolderChooser(
        [&](const std::string& caption, const std::string& instruction, const std::string&) {
            ++asked;
            EXPECT_EQ(caption, "Config");
            EXPECT_EQ(instruction, "Setup Font Folder.");
            return std::optional<std::string>(); // cancelled
        });
    whenModal([&](QWidget* modal) {
        EXPECT_EQ(modal->windowTitle(), QStringLiteral("환경 설정"));
        child<QPushButton>(modal, 1018)->click();
        EXPECT_EQ(child<QLineEdit>(modal, 1016)->text(), QStringLiteral(FOLYANT_GS_FONT_FOLDER))
            << "a cancelled picker keeps the text";
        child<QPushButton>(modal, 1)->click();
    });
    EXPECT_TRUE(dialog.OnCommand(CDu2RorDlg::kCommandFolders));
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(machine.writes, (std::vector<std::string>{"GSLibPath", "GSFontPath"}));
    EXPECT_EQ(machine.values["GSLibPath"], FOLYANT_DEV_LIB);
    EXPECT_TRUE(messages.texts.empty());
}

TEST_F(CommandTest, FolderDialogTakesThePickedFolderAndReportsEachFailedWrite)
{
    CDu2RorDlg dialog(ConversionJob{}, platform);
    dialog.OnInitDialog();
    dialog.setFolderChooser([&](const std::string&, const std::string& instruction, const std::string&) {
        EXPECT_EQ(instruction, "Setup Lib Folder.");
        return std::optional<std::string>("/opt/picked");
    });
    machine.refuse = true;
    whenModal([&](QWidget* modal) {
        child<QPushButton>(modal, 1017)->click();
        EXPECT_EQ(child<QLineEdit>(modal, 1015)->text(), QStringLiteral("/opt/picked"));
        child<QPushButton>(modal, 1)->click();
    });
    dialog.OnCommand(CDu2RorDlg::kCommandFolders);
    EXPECT_EQ(dialog.job().libFolder, "/opt/picked");
    EXPECT_EQ(messages.texts, std::vector<std::string>(2, "Invalid Installation."));
}

TEST_F(CommandTest, UnwritableSettingsFileReportsAndKeepsTheOldFile)
{
    // The real settings file, in a folder this run may not write.
    test::writeFile(folder.file("Quorvale"), "a file where the folder should be");
    IniMachineSettings locked(folder.file("Quorvale/Folyant Velmo.conf"));
    Platform lockedPlatform{locked, profile, messages, shell, mail, files, false};
    CDu2RorDlg dialog(ConversionJob{}, lockedPlatform);
    whenModal([&](QWidget* modal) { child<QPushButton>(modal, 1)->click(); });
    dialog.OnCommand(CDu2RorDlg::kCommandFolders);
    EXPECT_EQ(messages.texts, std::vector<std::string>(2, "Invalid Installation."));
    EXPECT_EQ(test::readFile(folder.file("Quorvale")), "a file where the folder should be");
}

TEST_F(CommandTest, QualityOutsideTheListOpensWithoutSelection)
{
    ConversionJob job;
    job.quality = 3;
    CDu2RorDlg dialog(job, platform);
    whenModal([&](QWidget* modal) {
        auto* list = child<QComboBox>(modal, 1008);
        EXPECT_EQ(list->currentIndex(), -1);
        EXPECT_EQ(list->count(), 3);
        EXPECT_EQ(list->itemText(2), QStringLiteral("Web"));
        child<QPushButton>(modal, 1)->click();
    });
    dialog.OnCommand(CDu2RorDlg::kCommandQuality);
    EXPECT_EQ(dialog.job().quality, -1);

    whenModal([&](QWidget* modal) {
        child<QComboBox>(modal, 1008)->setCurrentIndex(2);
        child<QPushButton>(modal, 1)->click();
    });
    dialog.OnCommand(CDu2RorDlg::kCommandQuality);
    EXPECT_EQ(dialog.job().quality, 2);
}

TEST_F(CommandTest, PaperDialogTakesACustomSizeAndRefusesNonNumbers)
{
    CDu2RorDlg dialog(ConversionJob{}, platform);
    whenModal([&](QWidget* modal) {
        child<QRadioButton>(modal, 1018)->click();
        for (const char* bad : {"abc", "-5", "", "12x"}) {
            child<QLineEdit>(modal, 1019)->setText(QString::fromLatin1(bad));
            child<QPushButton>(modal, 1)->click();
            EXPECT_TRUE(modal->isVisible()) << bad;
        }
        child<QLineEdit>(modal, 1019)->setText(QStringLiteral("210"));
        child<QLineEdit>(modal, 1020)->setText(QStringLiteral("297"));
        child<QPushButton>(modal, 1)->click();
    });
    dialog.OnCommand(CDu2RorDlg::kCommandPaper);
    EXPECT_EQ(messages.texts, std::vector<std::string>(4, "Please enter a positive integer."));
    EXPECT_EQ(dialog.job().paperSizeMode, 1);
    EXPECT_EQ(dialog.job().paperWidthMm, 210);
    EXPECT_EQ(dialog.job().paperHeightMm, 297);
    EXPECT_EQ(parseUnsigned(" 0 "), 0u);
    EXPECT_EQ(parseUnsigned("4294967296"), std::nullopt);
}

TEST_F(CommandTest, PaperChoiceStaysMadeWhenTheChosenOneIsClickedAgain)
{
    CDu2RorDlg dialog(ConversionJob{}, platform);
    dialog.job().paperSizeMode = -1;
    whenModal([&](QWidget* modal) {
        auto* own = child<QRadioButton>(modal, 1017);
        auto* custom = child<QRadioButton>(modal, 1018);
        EXPECT_FALSE(own->isChecked() || custom->isChecked()) << "a stored -1 shows neither";
        own->click();
        own->click();
        EXPECT_TRUE(own->isChecked()) << "clicking the chosen one keeps it chosen";
        custom->click();
        EXPECT_FALSE(own->isChecked());
        custom->click();
        child<QPushButton>(modal, 1)->click();
    });
    dialog.OnCommand(CDu2RorDlg::kCommandPaper);
    EXPECT_EQ(dialog.job().paperSizeMode, 1);
}

TEST_F(CommandTest, OpenAndConvertProposesTheNameAndStampsNothing)
{
    // The open dialog offers PostScript under its old label and PDF, which
    // the conversion takes as well; both kinds of job convert from it.
    const struct {
        const char* job;
        const char* input;
        const char* proposed;
    } cases[] = {
        {"cups-testfile.ps", "report.ps", "report.pdf"}, {"cups-onepage-a4.pdf", "letter.pdf", "letter.pdf"}};
    for (const auto& each : cases) {
        SCOPED_TRACE(each.input);
        const std::string input = folder.file(each.input);
        test::writeFile(input, test::readFile(test::dataFile(each.job)));
        files = {};
        files.openAnswer = input;
        files.saveAnswer = folder.file(std::string("chosen-") + each.input + ".pdf");
        profile.values["CloseAfterProcess"] = 0;
        CDu2RorDlg dialog(ConversionJob{}, platform);
        dialog.OnInitDialog();
        dialog.OnCommand(CDu2RorDlg::kCommandOpenAndConvert);
        EXPECT_EQ(files.proposed, std::vector<std::string>{each.proposed});
        ASSERT_FALSE(files.filters.empty());
        EXPECT_EQ(files.filters.front(),
            "PostScript 및 PDF (*.ps *.prn *.eps *.pdf);;All Supported Files(*.ps,*.prn,*.eps) (*.ps *.prn "
            "*.eps);;PDF Files (*.pdf)");
        ASSERT_TRUE(dialog.isConverting());
        while (dialog.isConverting())
            QApplication::processEvents();
        EXPECT_EQ(test::pdfPageCount(*files.saveAnswer), 1);
        EXPECT_EQ(test::pdfText(*files.saveAnswer).find("Folyant Velmo"), std::string::npos);

        files.saveAnswer.reset();
        dialog.OnCommand(CDu2RorDlg::kCommandOpenAndConvert);
        EXPECT_FALSE(dialog.isConverting()) << "a cancelled save dialog ends the command";
    }
}

} // namespace
