<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ko" sourcelanguage="ko">
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
        <translation>zevConverter 정보</translation>
    </message>
    <message>
        <source>zevConverter %1</source>
        <translation>zevConverter %1</translation>
    </message>
    <message>
        <source>문서를 Folyant Velmo로 PDF 파일로 변환합니다.</source>
        <translation>문서를 Folyant Velmo로 PDF 파일로 변환합니다.</translation>
    </message>
    <message>
        <source>확인</source>
        <translation>확인</translation>
    </message>
</context>
<context>
    <name>folyant::docconverter::CDocConverterDlg</name>
    <message>
        <source>파일</source>
        <translation>파일</translation>
    </message>
    <message>
        <source>작업시작</source>
        <translation>작업시작</translation>
    </message>
    <message>
        <source>닫기</source>
        <translation>닫기</translation>
    </message>
    <message>
        <source>설정</source>
        <translation>설정</translation>
    </message>
    <message>
        <source>한/글 뷰어 경로</source>
        <translation>한/글 뷰어 경로</translation>
    </message>
    <message>
        <source>제품정보</source>
        <translation>제품정보</translation>
    </message>
    <message>
        <source>Folyant Velmo은?</source>
        <translation>Folyant Velmo은?</translation>
    </message>
    <message>
        <source>변환할 문서 :</source>
        <translation>변환할 문서 :</translation>
    </message>
    <message>
        <source>보기</source>
        <translation>보기</translation>
    </message>
    <message>
        <source>저장할 PDF 파일명 :</source>
        <translation>저장할 PDF 파일명 :</translation>
    </message>
    <message>
        <source>zevConverter 정보(&amp;A)...</source>
        <translation>zevConverter 정보(&amp;A)...</translation>
    </message>
    <message>
        <source>All Supported Files</source>
        <translation>All Supported Files</translation>
    </message>
    <message>
        <source>PDF Files</source>
        <translation>PDF Files</translation>
    </message>
</context>
<context>
    <name>folyant::docconverter::CHwpViewerPathDlg</name>
    <message>
        <source>한/글 뷰어 경로</source>
        <translation>한/글 뷰어 경로</translation>
    </message>
    <message>
        <source>한/글 2002 뷰어 경로:</source>
        <translation>한/글 2002 뷰어 경로:</translation>
    </message>
    <message>
        <source>(한/글 97 사용자)</source>
        <translation>(한/글 97 사용자)</translation>
    </message>
    <message>
        <source>HwpViewer File</source>
        <translation>HwpViewer File</translation>
    </message>
</context>
</TS>
