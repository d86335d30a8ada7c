<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_Hans" sourcelanguage="ko">
<context>
    <name>StringTable</name>
    <message>
        <source>KR</source>
        <translation>SC</translation>
    </message>
    <message>
        <source>PDF 파일이 존재하지 않습니다.</source>
        <translation>该PDF文件不存在.</translation>
    </message>
    <message>
        <source>올바른 PDF 파일이 아닙니다.</source>
        <translation>该PDF文件，已在其它软件上使用.</translation>
    </message>
    <message>
        <source>명조</source>
        <translation>明朝</translation>
    </message>
    <message>
        <source>고딕</source>
        <translation>黑体</translation>
    </message>
    <message>
        <source>메일 프로그램을 찾을 수 없습니다. xdg-email(xdg-utils)을 설치하십시오.</source>
        <translation>找不到邮件程序。请安装 xdg-email (xdg-utils)。</translation>
    </message>
    <message>
        <source>메일 프로그램을 실행할 수 없습니다.</source>
        <translation>无法运行邮件程序。</translation>
    </message>
    <message>
        <source>메일 프로그램에 메일을 넘기지 못했습니다.</source>
        <translation>无法将邮件交给邮件程序。</translation>
    </message>
    <message>
        <source>암호에 PDF 보호에 쓸 수 없는 문자가 있어 PDF를 보호하지 못했습니다. 다른 암호를 쓰십시오.</source>
        <translation>密码中含有PDF保护无法使用的字符，因此未能保护PDF。请使用其他密码。</translation>
    </message>
    <message>
        <source>PDF 파일이 변환할 파일과 같아 변환하지 않았습니다.</source>
        <translation>PDF文件与要转换的文件相同，未进行转换。</translation>
    </message>
    <message>
        <source>PDF 파일을 변환할 수 없습니다. 손상되었거나 암호로 보호된 PDF입니다.</source>
        <translation>无法转换PDF文件：文件已损坏或受密码保护。</translation>
    </message>
    <message>
        <source>PDF 파일을 끝까지 쓰지 못했습니다. 디스크가 가득 찼을 수 있습니다. 불완전한 PDF는 남기지 않았습니다.</source>
        <translation>无法完整写入PDF文件，磁盘可能已满。未保留不完整的PDF。</translation>
    </message>
    <message>
        <source>보호되지 않은 PDF는 다음 이름으로 남겼습니다:</source>
        <translation>未受保护的PDF以如下名称保留：</translation>
    </message>
    <message>
        <source>임시 폴더를 만들 수 없어 변환하지 않았습니다. TMPDIR 폴더에 쓸 수 있는지 확인하십시오.</source>
        <translation>无法创建临时文件夹，因此未进行转换。请检查 TMPDIR 文件夹是否可写。</translation>
    </message>
    <message>
        <source>PostScript 인터프리터를 시작할 수 없어 변환하지 않았습니다.</source>
        <translation>无法启动 PostScript 解释器，因此未进行转换。</translation>
    </message>
    <message>
        <source>변환할 파일을 읽을 수 없습니다.</source>
        <translation>无法读取要转换的文件。</translation>
    </message>
    <message>
        <source>PDF 파일 이름이 없어 변환하지 않았습니다.</source>
        <translation>未指定 PDF 文件名，因此未进行转换。</translation>
    </message>
    <message>
        <source>변환에 쓸 수 있는 메모리가 모자라 PDF를 남기지 않았습니다. 기계 설정 MemoryLimit을 늘리십시오.</source>
        <translation>转换可用的内存不足，因此未保留 PDF。请增大机器设置 MemoryLimit。</translation>
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
