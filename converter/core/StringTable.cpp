#include "converter/core/StringTable.h"

#include "platform/Language.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <optional>
#include <string_view>

namespace folyant::converter {

namespace {

// The table's columns are the suite's languages, in their order.
constexpr auto& kLanguages = language::kLanguages;

std::size_t languageColumn()
{
    return language::userLanguage();
}

struct Entry {
    int id;
    const char* texts[std::size(kLanguages)];
};

// Each message in every language of the suite, in one place, so that a run
// with no windows says them without any translation machinery.
constexpr Entry kTable[] = {
    {strings::kLanguageTag, {"KR", "EN", "JP", "SC", "TC"}},
    {strings::kPdfMissing,
        {"PDF 파일이 존재하지 않습니다.", "There is not the PDF file.", "該当のPDFファイルが存在しません。",
            "该PDF文件不存在.", "該PDF文件不存在."}},
    {strings::kPdfNotCorrect,
        {"올바른 PDF 파일이 아닙니다.", "The PDF file is not correct.", "正しいPDFファイルではありません。",
            "该PDF文件，已在其它软件上使用.", "不是正確的PDF文件."}},
    {strings::kMinchoFace, {"명조", "Mincho", "明朝", "明朝", "明朝"}},
    {strings::kGothicFace, {"고딕", "Gothic", "ゴシック", "黑体", "黑體"}},
    {strings::kMailNotLoaded,
        {"메일 프로그램을 찾을 수 없습니다. xdg-email(xdg-utils)을 설치하십시오.",
            "No mail program was found. Install xdg-email (package xdg-utils).",
            "メールプログラムが見つかりません。xdg-email (xdg-utils) をインストールしてください。",
            "找不到邮件程序。请安装 xdg-email (xdg-utils)。",
            "找不到郵件程式。請安裝 xdg-email (xdg-utils)。"}},
    {strings::kMailNotUsable,
        {"메일 프로그램을 실행할 수 없습니다.", "The mail program cannot be run.",
            "メールプログラムを実行できません。", "无法运行邮件程序。", "無法執行郵件程式。"}},
    {strings::kMailFailed,
        {"메일 프로그램에 메일을 넘기지 못했습니다.", "The mail could not be handed to the mail program.",
            "メールをメールプログラムに渡せませんでした。", "无法将邮件交给邮件程序。",
            "無法將郵件交給郵件程式。"}},
    {strings::kPasswordNotUsable,
        {"암호에 PDF 보호에 쓸 수 없는 문자가 있어 PDF를 보호하지 못했습니다. 다른 암호를 쓰십시오.",
            "The password holds characters that PDF protection cannot use, so the PDF was not protected. "
            "Please use another password.",
            "パスワードにPDFの保護に使えない文字が含まれているため、PDFを保護できませんでした。別のパスワード"
            "を使ってください。",
            "密码中含有PDF保护无法使用的字符，因此未能保护PDF。请使用其他密码。",
            "密碼中含有PDF保護無法使用的字元，因此未能保護PDF。請使用其他密碼。"}},
    {strings::kOutputIsSource,
        {"PDF 파일이 변환할 파일과 같아 변환하지 않았습니다.",
            "The PDF file is the file to convert; nothing was converted.",
            "PDFファイルが変換するファイルと同じため、変換しませんでした。",
            "PDF文件与要转换的文件相同，未进行转换。", "PDF檔案與要轉換的檔案相同，未進行轉換。"}},
    {strings::kPdfNotReadable,
        {"PDF 파일을 변환할 수 없습니다. 손상되었거나 암호로 보호된 PDF입니다.",
            "The PDF file cannot be converted: it is damaged or protected by a password.",
            "PDFファイルを変換できません。破損しているか、パスワードで保護されています。",
            "无法转换PDF文件：文件已损坏或受密码保护。", "無法轉換PDF檔案：檔案已損壞或受密碼保護。"}},
    {strings::kPdfNotWritten,
        {"PDF 파일을 끝까지 쓰지 못했습니다. 디스크가 가득 찼을 수 있습니다. 불완전한 PDF는 남기지 "
         "않았습니다.",
            "The PDF file could not be written to its end; the disk may be full. No incomplete PDF was kept.",
            "PDFファイルを最後まで書き込めませんでした。ディスクがいっぱいの可能性があります。不完全なPDFは残"
            "していません。",
            "无法完整写入PDF文件，磁盘可能已满。未保留不完整的PDF。",
            "無法完整寫入PDF檔案，磁碟可能已滿。未保留不完整的PDF。"}},
    {strings::kUnprotectedKept,
        {"보호되지 않은 PDF는 다음 이름으로 남겼습니다:", "The unprotected PDF was kept under this name:",
            "保護されていないPDFは次の名前で残しました:", "未受保护的PDF以如下名称保留：",
            "未受保護的PDF以如下名稱保留："}},
    {strings::kNoScratchFolder,
        {"임시 폴더를 만들 수 없어 변환하지 않았습니다. TMPDIR 폴더에 쓸 수 있는지 확인하십시오.",
            "No temporary folder could be made, so nothing was converted. Check that the TMPDIR folder is "
            "writable.",
            "一時フォルダーを作成できないため、変換しませんでした。TMPDIR "
            "フォルダーに書き込めるか確認してください。",
            "无法创建临时文件夹，因此未进行转换。请检查 TMPDIR 文件夹是否可写。",
            "無法建立暫存資料夾，因此未進行轉換。請檢查 TMPDIR 資料夾是否可寫入。"}},
    {strings::kInterpreterNotStarted,
        {"PostScript 인터프리터를 시작할 수 없어 변환하지 않았습니다.",
            "The PostScript interpreter could not be started, so nothing was converted.",
            "PostScript インタープリターを起動できないため、変換しませんでした。",
            "无法启动 PostScript 解释器，因此未进行转换。", "無法啟動 PostScript 直譯器，因此未進行轉換。"}},
    {strings::kSourceNotReadable,
        {"변환할 파일을 읽을 수 없습니다.", "The file to convert cannot be read.",
            "変換するファイルを読み取れません。", "无法读取要转换的文件。", "無法讀取要轉換的檔案。"}},
    {strings::kNothingToConvert,
        {"PDF 파일 이름이 없어 변환하지 않았습니다.", "No PDF file name was given, so nothing was converted.",
            "PDF ファイル名が指定されていないため、変換しませんでした。",
            "未指定 PDF 文件名，因此未进行转换。", "未指定 PDF 檔案名稱，因此未進行轉換。"}},
    {strings::kOutOfMemory,
        {"변환에 쓸 수 있는 메모리가 모자라 PDF를 남기지 않았습니다. 기계 설정 MemoryLimit을 늘리십시오.",
            "The conversion ran out of the memory it may use, so no PDF was kept. Raise the machine setting "
            "MemoryLimit.",
            "変換に使えるメモリーが不足したため、PDFを残しませんでした。マシン設定 MemoryLimit "
            "を増やしてください。",
            "转换可用的内存不足，因此未保留 PDF。请增大机器设置 MemoryLimit。",
            "轉換可用的記憶體不足，因此未保留 PDF。請增加機器設定 MemoryLimit。"}},
    {strings::kJobError,
        {"작업이 %2쪽에서 PostScript 오류 %1(으)로 멈췄습니다.",
            "The job stopped with the PostScript error %1 on page %2.",
            "ジョブは %2 ページで PostScript エラー %1 により停止しました。",
            "作业在第 %2 页因 PostScript 错误 %1 而停止。", "作業在第 %2 頁因 PostScript 錯誤 %1 而停止。"}},
    {strings::kJobCutShort,
        {"작업이 %1쪽에서 끊겼습니다. 끝까지 오지 않았습니다.",
            "The job breaks off on page %1: it did not arrive to its end.",
            "ジョブは %1 ページで途切れています。最後まで届きませんでした。",
            "作业在第 %1 页中断，未完整送达。", "作業在第 %1 頁中斷，未完整送達。"}},
    {strings::kFewerPages,
        {"작업은 %1쪽이라고 했지만 %2쪽만 만들었습니다.", "The job announced %1 pages but made only %2.",
            "ジョブは %1 ページと宣言していましたが、%2 ページしか作成されませんでした。",
            "作业声明有 %1 页，但只生成了 %2 页。", "作業聲明有 %1 頁，但只產生了 %2 頁。"}},
    {strings::kReadError,
        {"변환할 파일을 끝까지 읽지 못했습니다 (%1).",
            "The file to convert could not be read to its end (%1).",
            "変換するファイルを最後まで読み取れませんでした (%1)。", "无法完整读取要转换的文件 (%1)。",
            "無法完整讀取要轉換的檔案 (%1)。"}},
    {strings::kIncompleteKept,
        {"만들어진 쪽은 불완전한 PDF로 다음 이름으로 남겼습니다:",
            "The pages that were made were kept as an incomplete PDF under this name:",
            "作成されたページは不完全なPDFとして次の名前で残しました:",
            "已生成的页面作为不完整的PDF以如下名称保留：", "已產生的頁面作為不完整的PDF以如下名稱保留："}},
    {strings::kNoPageKept,
        {"만들어진 쪽이 없어 PDF를 남기지 않았습니다.", "No page was made, so no PDF was kept.",
            "ページが作成されなかったため、PDFは残していません。", "未生成任何页面，因此未保留PDF。",
            "未產生任何頁面，因此未保留PDF。"}},
    {strings::kEmptyInput,
        {"변환할 파일이 비어 있어 변환하지 않았습니다.",
            "The file to convert is empty; nothing was converted.",
            "変換するファイルが空のため、変換しませんでした。", "要转换的文件为空，未进行转换。",
            "要轉換的檔案為空，未進行轉換。"}},
    {strings::kNotPostScript,
        {"변환할 파일이 PostScript도 PDF도 아니어서 변환하지 않았습니다.",
            "The file to convert is neither PostScript nor PDF; nothing was converted.",
            "変換するファイルが PostScript でも PDF でもないため、変換しませんでした。",
            "要转换的文件既不是 PostScript 也不是 PDF，未进行转换。",
            "要轉換的檔案既不是 PostScript 也不是 PDF，未進行轉換。"}},
    {strings::kPdfProtected,
        {"PDF 파일이 암호로 보호되어 있어 변환할 수 없습니다.",
            "The PDF file is protected by a password and cannot be converted.",
            "PDFファイルはパスワードで保護されているため、変換できません。", "PDF文件受密码保护，无法转换。",
            "PDF檔案受密碼保護，無法轉換。"}},
    {strings::kStampRemoved,
        {"작업이 쪽 도장을 지웠으므로 PDF를 남기지 않았습니다.",
            "The job switched off the page stamp, so no PDF was kept.",
            "ジョブがページのスタンプを無効にしたため、PDFは残していません。",
            "作业关闭了页面印记，因此未保留PDF。", "作業關閉了頁面印記，因此未保留PDF。"}},
    {strings::kOutputNotWritable,
        {"PDF 파일의 폴더에 파일을 만들 수 없어 변환하지 않았습니다 (%1).",
            "No file can be made in the PDF file's folder, so nothing was converted (%1).",
            "PDFファイルのフォルダーにファイルを作成できないため、変換しませんでした (%1)。",
            "无法在PDF文件的文件夹中创建文件，因此未进行转换 (%1)。",
            "無法在PDF檔案的資料夾中建立檔案，因此未進行轉換 (%1)。"}},
    {strings::kAppendProtected,
        {"'%1' 파일은 암호로 보호되어 있어 페이지를 덧붙일 수 없습니다. 아무것도 바꾸지 않았습니다. "
         "덧붙이려면 보호되지 않은 PDF를 고르십시오.",
            "'%1' is protected with a password, so no pages can be added to it. Nothing was changed. "
            "To add to it, choose a PDF without protection.",
            "'%1' はパスワードで保護されているため、ページを追加できません。何も変更していません。"
            "追加するには保護されていないPDFを選んでください。",
            "'%1' 受密码保护，无法添加页面。未做任何更改。要添加页面，请选择未受保护的PDF。",
            "'%1' 受密碼保護，無法新增頁面。未做任何變更。要新增頁面，請選擇未受保護的PDF。"}},
    {strings::kAppendUnreadable,
        {"'%1' 파일을 PDF로 읽을 수 없어 변환하지 않았습니다 (%2).",
            "'%1' cannot be read as a PDF, so nothing was converted (%2).",
            "'%1' をPDFとして読み込めないため、変換しませんでした (%2)。",
            "无法将 '%1' 作为PDF读取，因此未进行转换 (%2)。",
            "無法將 '%1' 作為PDF讀取，因此未進行轉換 (%2)。"}},
    {strings::kAppendFailed,
        {"'%1' 파일에 페이지를 덧붙이지 못했습니다 (%2). 파일은 그대로입니다.",
            "The pages could not be added to '%1' (%2). It was left as it was.",
            "'%1' にページを追加できませんでした (%2)。ファイルは元のままです。",
            "未能向 '%1' 添加页面 (%2)。该文件保持原样。", "未能向 '%1' 新增頁面 (%2)。該檔案保持原樣。"}},
};

} // namespace

std::string messageLanguage()
{
    return std::string(kLanguages[languageColumn()]);
}

std::string loadString(int id)
{
    // Looked up on every call: a message is rare, and the locale is the
    // process's as it stands.
    for (const Entry& entry : kTable)
        if (entry.id == id)
            return entry.texts[languageColumn()];
    return {};
}

std::string formatString(int id, std::initializer_list<std::string> values)
{
    std::string text = loadString(id);
    char marker[] = "%1";
    for (const std::string& value : values) {
        if (const std::size_t at = text.find(marker); at != std::string::npos)
            text.replace(at, 2, value);
        ++marker[1];
    }
    return text;
}

std::string watermarkCidFont(const std::string& languageTag, const std::string& fontFace)
{
    if (languageTag == "KR") {
        if (fontFace == "바탕")
            return "Batang-KSCms-UHC-H";
        if (fontFace == "궁서")
            return "Gungseo-KSCms-UHC-H";
        if (fontFace == "굴림")
            return "Gulim-KSCms-UHC-H";
        return "Dotum-KSCms-UHC-H";
    }
    if (languageTag == "JP") {
        if (fontFace == loadString(strings::kMinchoFace))
            return "Mincho-90ms-RKSJ-H";
        return "Gothic-90ms-RKSJ-H";
    }
    return fontFace;
}

} // namespace folyant::converter
