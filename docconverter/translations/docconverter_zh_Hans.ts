<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_Hans" sourcelanguage="ko">
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
        <translation>关于 zevConverter</translation>
    </message>
    <message>
        <source>zevConverter %1</source>
        <translation>zevConverter %1</translation>
    </message>
    <message>
        <source>문서를 Folyant Velmo로 PDF 파일로 변환합니다.</source>
        <translation>使用 Folyant Velmo 将文档转换为 PDF 文件。</translation>
    </message>
    <message>
        <source>확인</source>
        <translation>确定</translation>
    </message>
</context>
<context>
    <name>folyant::docconverter::CDocConverterDlg</name>
    <message>
        <source>파일</source>
        <translation>文件</translation>
    </message>
    <message>
        <source>작업시작</source>
        <translation>开始</translation>
    </message>
    <message>
        <source>닫기</source>
        <translation>关闭</translation>
    </message>
    <message>
        <source>설정</source>
        <translation>设置</translation>
    </message>
    <message>
        <source>한/글 뷰어 경로</source>
        <translation>HWP 查看器路径</translation>
    </message>
    <message>
        <source>제품정보</source>
        <translation>产品信息</translation>
    </message>
    <message>
        <source>Folyant Velmo은?</source>
        <translation>什么是 Folyant Velmo?</translation>
    </message>
    <message>
        <source>변환할 문서 :</source>
        <translation>要转换的文档:</translation>
    </message>
    <message>
        <source>보기</source>
        <translation>查看</translation>
    </message>
    <message>
        <source>저장할 PDF 파일명 :</source>
        <translation>要保存的 PDF 文件名:</translation>
    </message>
    <message>
        <source>zevConverter 정보(&amp;A)...</source>
        <translation>关于 zevConverter(&amp;A)...</translation>
    </message>
    <message>
        <source>All Supported Files</source>
        <translation>所有支持的文件</translation>
    </message>
    <message>
        <source>PDF Files</source>
        <translation>PDF 文件</translation>
    </message>
</context>
<context>
    <name>folyant::docconverter::CHwpViewerPathDlg</name>
    <message>
        <source>한/글 뷰어 경로</source>
        <translation>HWP 查看器路径</translation>
    </message>
    <message>
        <source>한/글 2002 뷰어 경로:</source>
        <translation>HWP 2002 查看器路径:</translation>
    </message>
    <message>
        <source>(한/글 97 사용자)</source>
        <translation>(HWP 97 用户)</translation>
    </message>
    <message>
        <source>HwpViewer File</source>
        <translation>HwpViewer 文件</translation>
    </message>
</context>
</TS>
