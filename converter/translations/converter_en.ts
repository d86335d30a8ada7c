<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ko">
<context>
    <name>StringTable</name>
    <message>
        <source>KR</source>
        <translation>EN</translation>
    </message>
    <message>
        <source>PDF 파일이 존재하지 않습니다.</source>
        <translation>There is not the PDF file.</translation>
    </message>
    <message>
        <source>올바른 PDF 파일이 아닙니다.</source>
        <translation>The PDF file is not correct.</translation>
    </message>
    <message>
        <source>명조</source>
        <translation>Mincho</translation>
    </message>
    <message>
        <source>고딕</source>
        <translation>Gothic</translation>
    </message>
    <message>
        <source>메일 프로그램을 찾을 수 없습니다. xdg-email(xdg-utils)을 설치하십시오.</source>
        <translation>No mail program was found. Install xdg-email (package xdg-utils).</translation>
    </message>
    <message>
        <source>메일 프로그램을 실행할 수 없습니다.</source>
        <translation>The mail program cannot be run.</translation>
    </message>
    <message>
        <source>메일 프로그램에 메일을 넘기지 못했습니다.</source>
        <translation>The mail could not be handed to the mail program.</translation>
    </message>
    <message>
        <source>암호에 PDF 보호에 쓸 수 없는 문자가 있어 PDF를 보호하지 못했습니다. 다른 암호를 쓰십시오.</source>
        <translation>The password holds characters that PDF protection cannot use, so the PDF was not protected. Please use another password.</translation>
    </message>
    <message>
        <source>PDF 파일이 변환할 파일과 같아 변환하지 않았습니다.</source>
        <translation>The PDF file is the file to convert; nothing was converted.</translation>
    </message>
    <message>
        <source>PDF 파일을 변환할 수 없습니다. 손상되었거나 암호로 보호된 PDF입니다.</source>
        <translation>The PDF file cannot be converted: it is damaged or protected by a password.</translation>
    </message>
    <message>
        <source>PDF 파일을 끝까지 쓰지 못했습니다. 디스크가 가득 찼을 수 있습니다. 불완전한 PDF는 남기지 않았습니다.</source>
        <translation>The PDF file could not be written to its end; the disk may be full. No incomplete PDF was kept.</translation>
    </message>
    <message>
        <source>보호되지 않은 PDF는 다음 이름으로 남겼습니다:</source>
        <translation>The unprotected PDF was kept under this name:</translation>
    </message>
    <message>
        <source>임시 폴더를 만들 수 없어 변환하지 않았습니다. TMPDIR 폴더에 쓸 수 있는지 확인하십시오.</source>
        <translation>No temporary folder could be made, so nothing was converted. Check that the TMPDIR folder is writable.</translation>
    </message>
    <message>
        <source>PostScript 인터프리터를 시작할 수 없어 변환하지 않았습니다.</source>
        <translation>The PostScript interpreter could not be started, so nothing was converted.</translation>
    </message>
    <message>
        <source>변환할 파일을 읽을 수 없습니다.</source>
        <translation>The file to convert cannot be read.</translation>
    </message>
    <message>
        <source>PDF 파일 이름이 없어 변환하지 않았습니다.</source>
        <translation>No PDF file name was given, so nothing was converted.</translation>
    </message>
    <message>
        <source>변환에 쓸 수 있는 메모리가 모자라 PDF를 남기지 않았습니다. 기계 설정 MemoryLimit을 늘리십시오.</source>
        <translation>The conversion ran out of the memory it may use, so no PDF was kept. Raise the machine setting MemoryLimit.</translation>
    </message>
</context>
<context>
    <name>folyant::converter::CAboutDlg</name>
    <message>
        <source>Folyant 정보</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Folyant Velmo %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>확인</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>folyant::converter::CDu2RorDlg</name>
    <message>
        <source>Folyant 정보</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>설정</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PostScript 파일 열기...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>폴더 설정...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>품질 설정...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>용지 설정...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>종료</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>작업 취소</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>진행 :</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>파일명 :</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>처리후 자동 종료</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>로그 :</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>About Folyant Velmo...</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>folyant::converter::CFolderSettingsDlg</name>
    <message>
        <source>환경 설정</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>라이브러리 폴더</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PostScript 폰트 폴더</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>folyant::converter::CPaperDlg</name>
    <message>
        <source>용지 설정</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PostScript 기본값 사용</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>사용자 지정</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>가로</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>세로</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>folyant::converter::CQualityDlg</name>
    <message>
        <source>품질 설정</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>품질 :</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
