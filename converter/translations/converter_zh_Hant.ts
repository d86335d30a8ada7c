<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_Hant" sourcelanguage="ko">
<context>
    <name>folyant::converter::CAboutDlg</name>
    <message>
        <source>Folyant 정보</source>
        <translation>關於 Folyant</translation>
    </message>
    <message>
        <source>Folyant Velmo %1</source>
        <translation>Folyant Velmo %1</translation>
    </message>
    <message>
        <source>확인</source>
        <translation>確定</translation>
    </message>
</context>
<context>
    <name>folyant::converter::CDu2RorDlg</name>
    <message>
        <source>Folyant 정보</source>
        <translation>關於 Folyant</translation>
    </message>
    <message>
        <source>설정</source>
        <translation>設定</translation>
    </message>
    <message>
        <source>PostScript 파일 열기...</source>
        <translation>開啟 PostScript 檔案...</translation>
    </message>
    <message>
        <source>폴더 설정...</source>
        <translation>資料夾設定...</translation>
    </message>
    <message>
        <source>품질 설정...</source>
        <translation>品質設定...</translation>
    </message>
    <message>
        <source>용지 설정...</source>
        <translation>紙張設定...</translation>
    </message>
    <message>
        <source>종료</source>
        <translation>結束</translation>
    </message>
    <message>
        <source>작업 취소</source>
        <translation>取消工作</translation>
    </message>
    <message>
        <source>진행 :</source>
        <translation>進度:</translation>
    </message>
    <message>
        <source>파일명 :</source>
        <translation>檔案名稱:</translation>
    </message>
    <message>
        <source>처리후 자동 종료</source>
        <translation>處理後自動關閉</translation>
    </message>
    <message>
        <source>로그 :</source>
        <translation>記錄:</translation>
    </message>
    <message>
        <source>About Folyant Velmo...</source>
        <translation>關於 Folyant Velmo...</translation>
    </message>
    <message>
        <source>About</source>
        <translation>關於</translation>
    </message>
    <message>
        <source>PostScript 및 PDF</source>
        <translation>PostScript 與 PDF</translation>
    </message>
    <message>
        <source>All Supported Files(*.ps,*.prn,*.eps)</source>
        <translation>所有支援的檔案(*.ps,*.prn,*.eps)</translation>
    </message>
    <message>
        <source>PDF Files</source>
        <translation>PDF 檔案</translation>
    </message>
</context>
<context>
    <name>folyant::converter::CFolderSettingsDlg</name>
    <message>
        <source>환경 설정</source>
        <translation>環境設定</translation>
    </message>
    <message>
        <source>라이브러리 폴더</source>
        <translation>程式庫資料夾</translation>
    </message>
    <message>
        <source>PostScript 폰트 폴더</source>
        <translation>PostScript 字型資料夾</translation>
    </message>
    <message>
        <source>Setup Lib Folder.</source>
        <translation>設定程式庫資料夾。</translation>
    </message>
    <message>
        <source>Setup Font Folder.</source>
        <translation>設定字型資料夾。</translation>
    </message>
    <message>
        <source>Config</source>
        <translation>設定</translation>
    </message>
</context>
<context>
    <name>folyant::converter::CPaperDlg</name>
    <message>
        <source>용지 설정</source>
        <translation>紙張設定</translation>
    </message>
    <message>
        <source>PostScript 기본값 사용</source>
        <translation>使用 PostScript 預設值</translation>
    </message>
    <message>
        <source>사용자 지정</source>
        <translation>自訂</translation>
    </message>
    <message>
        <source>가로</source>
        <translation>寬</translation>
    </message>
    <message>
        <source>세로</source>
        <translation>高</translation>
    </message>
    <message>
        <source>Please enter a positive integer.</source>
        <translation>請輸入正整數。</translation>
    </message>
</context>
<context>
    <name>folyant::converter::CQualityDlg</name>
    <message>
        <source>품질 설정</source>
        <translation>品質設定</translation>
    </message>
    <message>
        <source>품질 :</source>
        <translation>品質:</translation>
    </message>
    <message>
        <source>Press Ready</source>
        <translation>印前</translation>
    </message>
    <message>
        <source>Print Quality</source>
        <translation>列印品質</translation>
    </message>
    <message>
        <source>Web</source>
        <translation>網頁</translation>
    </message>
</context>
</TS>
