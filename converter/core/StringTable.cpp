#include "converter/core/StringTable.h"

#include <QCoreApplication>

namespace folyant::converter {

std::string loadString(int id)
{
    const char* source = nullptr;
    switch (id) {
    case strings::kLanguageTag:
        source = QT_TRANSLATE_NOOP("StringTable", "KR");
        break;
    case strings::kPdfMissing:
        source = QT_TRANSLATE_NOOP("StringTable", "PDF 파일이 존재하지 않습니다.");
        break;
    case strings::kPdfNotCorrect:
        source = QT_TRANSLATE_NOOP("StringTable", "올바른 PDF 파일이 아닙니다.");
        break;
    case strings::kMinchoFace:
        source = QT_TRANSLATE_NOOP("StringTable", "명조");
        break;
    case strings::kGothicFace:
        source = QT_TRANSLATE_NOOP("StringTable", "고딕");
        break;
    case strings::kMailNotLoaded:
        source = QT_TRANSLATE_NOOP(
            "StringTable", "메일 프로그램을 찾을 수 없습니다. xdg-email(xdg-utils)을 설치하십시오.");
        break;
    case strings::kMailNotUsable:
        source = QT_TRANSLATE_NOOP("StringTable", "메일 프로그램을 실행할 수 없습니다.");
        break;
    case strings::kMailFailed:
        source = QT_TRANSLATE_NOOP("StringTable", "메일 프로그램에 메일을 넘기지 못했습니다.");
        break;
    case strings::kPasswordNotUsable:
        source = QT_TRANSLATE_NOOP("StringTable",
            "암호에 PDF 보호에 쓸 수 없는 문자가 있어 PDF를 보호하지 못했습니다. 다른 암호를 쓰십시오.");
        break;
    case strings::kOutputIsSource:
        source = QT_TRANSLATE_NOOP("StringTable", "PDF 파일이 변환할 파일과 같아 변환하지 않았습니다.");
        break;
    case strings::kPdfNotReadable:
        source = QT_TRANSLATE_NOOP(
            "StringTable", "PDF 파일을 변환할 수 없습니다. 손상되었거나 암호로 보호된 PDF입니다.");
        break;
    case strings::kPdfNotWritten:
        source = QT_TRANSLATE_NOOP("StringTable",
            "PDF 파일을 끝까지 쓰지 못했습니다. 디스크가 가득 찼을 수 있습니다. 불완전한 PDF는 남기지 "
            "않았습니다.");
        break;
    case strings::kUnprotectedKept:
        source = QT_TRANSLATE_NOOP("StringTable", "보호되지 않은 PDF는 다음 이름으로 남겼습니다:");
        break;
    case strings::kNoScratchFolder:
        source = QT_TRANSLATE_NOOP("StringTable",
            "임시 폴더를 만들 수 없어 변환하지 않았습니다. TMPDIR 폴더에 쓸 수 있는지 확인하십시오.");
        break;
    case strings::kInterpreterNotStarted:
        source
            = QT_TRANSLATE_NOOP("StringTable", "PostScript 인터프리터를 시작할 수 없어 변환하지 않았습니다.");
        break;
    case strings::kSourceNotReadable:
        source = QT_TRANSLATE_NOOP("StringTable", "변환할 파일을 읽을 수 없습니다.");
        break;
    case strings::kNothingToConvert:
        source = QT_TRANSLATE_NOOP("StringTable", "PDF 파일 이름이 없어 변환하지 않았습니다.");
        break;
    case strings::kOutOfMemory:
        source = QT_TRANSLATE_NOOP("StringTable",
            "변환에 쓸 수 있는 메모리가 모자라 PDF를 남기지 않았습니다. 기계 설정 MemoryLimit을 늘리십시오.");
        break;
    default:
        return {};
    }
    return QCoreApplication::translate("StringTable", source).toStdString();
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
