<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ko">
<context>
    <name>folyant::converter::CAboutDlg</name>
    <message>
        <source>Folyant 정보</source>
        <translation>About Folyant</translation>
    </message>
    <message>
        <source>Folyant Velmo %1</source>
        <translation>Folyant Velmo %1</translation>
    </message>
    <message>
        <source>확인</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>folyant::converter::CDu2RorDlg</name>
    <message>
        <source>Folyant 정보</source>
        <translation>About Folyant</translation>
    </message>
    <message>
        <source>설정</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>PostScript 파일 열기...</source>
        <translation>Open PostScript File...</translation>
    </message>
    <message>
        <source>폴더 설정...</source>
        <translation>Folder Settings...</translation>
    </message>
    <message>
        <source>품질 설정...</source>
        <translation>Quality Settings...</translation>
    </message>
    <message>
        <source>용지 설정...</source>
        <translation>Paper Settings...</translation>
    </message>
    <message>
        <source>종료</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>작업 취소</source>
        <translation>Cancel Job</translation>
    </message>
    <message>
        <source>진행 :</source>
        <translation>Progress:</translation>
    </message>
    <message>
        <source>파일명 :</source>
        <translation>File name:</translation>
    </message>
    <message>
        <source>처리후 자동 종료</source>
        <translation>Close when done</translation>
    </message>
    <message>
        <source>로그 :</source>
        <translation>Log:</translation>
    </message>
    <message>
        <source>About Folyant Velmo...</source>
        <translation>About Folyant Velmo...</translation>
    </message>
    <message>
        <source>About</source>
        <translation>About</translation>
    </message>
    <message>
        <source>PostScript 및 PDF</source>
        <translation>PostScript and PDF</translation>
    </message>
    <message>
        <source>All Supported Files(*.ps,*.prn,*.eps)</source>
        <translation>All Supported Files(*.ps,*.prn,*.eps)</translation>
    </message>
    <message>
        <source>PDF Files</source>
        <translation>PDF Files</translation>
    </message>
</context>
<context>
    <name>folyant::converter::CFolderSettingsDlg</name>
    <message>
        <source>환경 설정</source>
        <translation>Preferences</translation>
    </message>
    <message>
        <source>라이브러리 폴더</source>
        <translation>Library folder</translation>
    </message>
    <message>
        <source>PostScript 폰트 폴더</source>
        <translation>PostScript font folder</translation>
    </message>
    <message>
        <source>Setup Lib Folder.</source>
        <translation>Setup Lib Folder.</translation>
    </message>
    <message>
        <source>Setup Font Folder.</source>
        <translation>Setup Font Folder.</translation>
    </message>
    <message>
        <source>Config</source>
        <translation>Config</translation>
    </message>
</context>
<context>
    <name>folyant::converter::CPaperDlg</name>
    <message>
        <source>용지 설정</source>
        <translation>Paper Settings</translation>
    </message>
    <message>
        <source>PostScript 기본값 사용</source>
        <translation>Use the PostScript default</translation>
    </message>
    <message>
        <source>사용자 지정</source>
        <translation>Custom</translation>
    </message>
    <message>
        <source>가로</source>
        <translation>Width</translation>
    </message>
    <message>
        <source>세로</source>
        <translation>Height</translation>
    </message>
    <message>
        <source>Please enter a positive integer.</source>
        <translation>Please enter a positive integer.</translation>
    </message>
</context>
<context>
    <name>folyant::converter::CQualityDlg</name>
    <message>
        <source>품질 설정</source>
        <translation>Quality Settings</translation>
    </message>
    <message>
        <source>품질 :</source>
        <translation>Quality:</translation>
    </message>
    <message>
        <source>Press Ready</source>
        <translation>Press Ready</translation>
    </message>
    <message>
        <source>Print Quality</source>
        <translation>Print Quality</translation>
    </message>
    <message>
        <source>Web</source>
        <translation>Web</translation>
    </message>
</context>
</TS>
