<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_Hans" sourcelanguage="ko">
<context>
    <name>folyant::converter::CAboutDlg</name>
    <message>
        <source>Folyant 정보</source>
        <translation>关于 Folyant</translation>
    </message>
    <message>
        <source>Folyant Velmo %1</source>
        <translation>Folyant Velmo %1</translation>
    </message>
    <message>
        <source>확인</source>
        <translation>确定</translation>
    </message>
</context>
<context>
    <name>folyant::converter::CDu2RorDlg</name>
    <message>
        <source>Folyant 정보</source>
        <translation>关于 Folyant</translation>
    </message>
    <message>
        <source>설정</source>
        <translation>设置</translation>
    </message>
    <message>
        <source>PostScript 파일 열기...</source>
        <translation>打开 PostScript 文件...</translation>
    </message>
    <message>
        <source>폴더 설정...</source>
        <translation>文件夹设置...</translation>
    </message>
    <message>
        <source>품질 설정...</source>
        <translation>质量设置...</translation>
    </message>
    <message>
        <source>용지 설정...</source>
        <translation>纸张设置...</translation>
    </message>
    <message>
        <source>종료</source>
        <translation>退出</translation>
    </message>
    <message>
        <source>작업 취소</source>
        <translation>取消作业</translation>
    </message>
    <message>
        <source>진행 :</source>
        <translation>进度:</translation>
    </message>
    <message>
        <source>파일명 :</source>
        <translation>文件名:</translation>
    </message>
    <message>
        <source>처리후 자동 종료</source>
        <translation>处理后自动关闭</translation>
    </message>
    <message>
        <source>로그 :</source>
        <translation>日志:</translation>
    </message>
    <message>
        <source>About Folyant Velmo...</source>
        <translation>关于 Folyant Velmo...</translation>
    </message>
    <message>
        <source>About</source>
        <translation>关于</translation>
    </message>
    <message>
        <source>PostScript 및 PDF</source>
        <translation>PostScript 和 PDF</translation>
    </message>
    <message>
        <source>All Supported Files(*.ps,*.prn,*.eps)</source>
        <translation>所有支持的文件(*.ps,*.prn,*.eps)</translation>
    </message>
    <message>
        <source>PDF Files</source>
        <translation>PDF 文件</translation>
    </message>
</context>
<context>
    <name>folyant::converter::CFolderSettingsDlg</name>
    <message>
        <source>환경 설정</source>
        <translation>环境设置</translation>
    </message>
    <message>
        <source>라이브러리 폴더</source>
        <translation>库文件夹</translation>
    </message>
    <message>
        <source>PostScript 폰트 폴더</source>
        <translation>PostScript 字体文件夹</translation>
    </message>
    <message>
        <source>Setup Lib Folder.</source>
        <translation>设置库文件夹。</translation>
    </message>
    <message>
        <source>Setup Font Folder.</source>
        <translation>设置字体文件夹。</translation>
    </message>
    <message>
        <source>Config</source>
        <translation>配置</translation>
    </message>
</context>
<context>
    <name>folyant::converter::CPaperDlg</name>
    <message>
        <source>용지 설정</source>
        <translation>纸张设置</translation>
    </message>
    <message>
        <source>PostScript 기본값 사용</source>
        <translation>使用 PostScript 默认值</translation>
    </message>
    <message>
        <source>사용자 지정</source>
        <translation>自定义</translation>
    </message>
    <message>
        <source>가로</source>
        <translation>宽</translation>
    </message>
    <message>
        <source>세로</source>
        <translation>高</translation>
    </message>
    <message>
        <source>Please enter a positive integer.</source>
        <translation>请输入正整数。</translation>
    </message>
</context>
<context>
    <name>folyant::converter::CQualityDlg</name>
    <message>
        <source>품질 설정</source>
        <translation>质量设置</translation>
    </message>
    <message>
        <source>품질 :</source>
        <translation>质量:</translation>
    </message>
    <message>
        <source>Press Ready</source>
        <translation>印前</translation>
    </message>
    <message>
        <source>Print Quality</source>
        <translation>打印质量</translation>
    </message>
    <message>
        <source>Web</source>
        <translation>网页</translation>
    </message>
</context>
</TS>
