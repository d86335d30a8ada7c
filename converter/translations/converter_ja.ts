<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja" sourcelanguage="ko">
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
