<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_Hant" sourcelanguage="ko">
<context>
    <name>QObject</name>
    <message>
        <source>DOC · RTF · XLS · PPT · HWP → PDF</source>
        <translation>DOC · RTF · XLS · PPT · HWP → PDF</translation>
    </message>
</context>
<context>
    <name>folyant::docconverter::CAboutDlg</name>
    <message>
        <source>zevConverter 정보</source>
        <translation>關於 zevConverter</translation>
    </message>
    <message>
        <source>zevConverter %1</source>
        <translation>zevConverter %1</translation>
    </message>
    <message>
        <source>문서를 Folyant Velmo로 PDF 파일로 변환합니다.</source>
        <translation>使用 Folyant Velmo 將文件轉換為 PDF 檔案。</translation>
    </message>
    <message>
        <source>확인</source>
        <translation>確定</translation>
    </message>
</context>
<context>
    <name>folyant::docconverter::CDocConverterDlg</name>
    <message>
        <source>파일</source>
        <translation>檔案</translation>
    </message>
    <message>
        <source>작업시작</source>
        <translation>開始</translation>
    </message>
    <message>
        <source>닫기</source>
        <translation>關閉</translation>
    </message>
    <message>
        <source>설정</source>
        <translation>設定</translation>
    </message>
    <message>
        <source>한/글 뷰어 경로</source>
        <translation>HWP 檢視器路徑</translation>
    </message>
    <message>
        <source>제품정보</source>
        <translation>產品資訊</translation>
    </message>
    <message>
        <source>Folyant Velmo은?</source>
        <translation>什麼是 Folyant Velmo?</translation>
    </message>
    <message>
        <source>변환할 문서 :</source>
        <translation>要轉換的文件:</translation>
    </message>
    <message>
        <source>보기</source>
        <translation>檢視</translation>
    </message>
    <message>
        <source>저장할 PDF 파일명 :</source>
        <translation>要儲存的 PDF 檔案名稱:</translation>
    </message>
    <message>
        <source>zevConverter 정보(&amp;A)...</source>
        <translation>關於 zevConverter(&amp;A)...</translation>
    </message>
    <message>
        <source>All Supported Files</source>
        <translation>所有支援的檔案</translation>
    </message>
    <message>
        <source>PDF Files</source>
        <translation>PDF 檔案</translation>
    </message>
</context>
<context>
    <name>folyant::docconverter::CHwpViewerPathDlg</name>
    <message>
        <source>한/글 뷰어 경로</source>
        <translation>HWP 檢視器路徑</translation>
    </message>
    <message>
        <source>한/글 2002 뷰어 경로:</source>
        <translation>HWP 2002 檢視器路徑:</translation>
    </message>
    <message>
        <source>(한/글 97 사용자)</source>
        <translation>(HWP 97 使用者)</translation>
    </message>
    <message>
        <source>HwpViewer File</source>
        <translation>HwpViewer 檔案</translation>
    </message>
</context>
</TS>
