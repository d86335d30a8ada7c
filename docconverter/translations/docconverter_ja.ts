<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja" sourcelanguage="ko">
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
        <translation>zevConverter について</translation>
    </message>
    <message>
        <source>zevConverter %1</source>
        <translation>zevConverter %1</translation>
    </message>
    <message>
        <source>문서를 Folyant Velmo로 PDF 파일로 변환합니다.</source>
        <translation>Folyant Velmo で文書を PDF ファイルに変換します。</translation>
    </message>
    <message>
        <source>확인</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>folyant::docconverter::CDocConverterDlg</name>
    <message>
        <source>파일</source>
        <translation>ファイル</translation>
    </message>
    <message>
        <source>작업시작</source>
        <translation>開始</translation>
    </message>
    <message>
        <source>닫기</source>
        <translation>閉じる</translation>
    </message>
    <message>
        <source>설정</source>
        <translation>設定</translation>
    </message>
    <message>
        <source>한/글 뷰어 경로</source>
        <translation>HWP ビューアーのパス</translation>
    </message>
    <message>
        <source>제품정보</source>
        <translation>製品情報</translation>
    </message>
    <message>
        <source>Folyant Velmo은?</source>
        <translation>Folyant Velmo とは?</translation>
    </message>
    <message>
        <source>변환할 문서 :</source>
        <translation>変換する文書:</translation>
    </message>
    <message>
        <source>보기</source>
        <translation>表示</translation>
    </message>
    <message>
        <source>저장할 PDF 파일명 :</source>
        <translation>保存する PDF ファイル名:</translation>
    </message>
    <message>
        <source>zevConverter 정보(&amp;A)...</source>
        <translation>zevConverter について(&amp;A)...</translation>
    </message>
    <message>
        <source>All Supported Files</source>
        <translation>サポートされているすべてのファイル</translation>
    </message>
    <message>
        <source>PDF Files</source>
        <translation>PDF ファイル</translation>
    </message>
</context>
<context>
    <name>folyant::docconverter::CHwpViewerPathDlg</name>
    <message>
        <source>한/글 뷰어 경로</source>
        <translation>HWP ビューアーのパス</translation>
    </message>
    <message>
        <source>한/글 2002 뷰어 경로:</source>
        <translation>HWP 2002 ビューアーのパス:</translation>
    </message>
    <message>
        <source>(한/글 97 사용자)</source>
        <translation>(HWP 97 ユーザー)</translation>
    </message>
    <message>
        <source>HwpViewer File</source>
        <translation>HwpViewer ファイル</translation>
    </message>
</context>
</TS>
