<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja" sourcelanguage="ko">
<context>
    <name>StringTable</name>
    <message>
        <source>KR</source>
        <translation>JP</translation>
    </message>
    <message>
        <source>PDF 파일이 존재하지 않습니다.</source>
        <translation>該当のPDFファイルが存在しません。</translation>
    </message>
    <message>
        <source>올바른 PDF 파일이 아닙니다.</source>
        <translation>正しいPDFファイルではありません。</translation>
    </message>
    <message>
        <source>명조</source>
        <translation>明朝</translation>
    </message>
    <message>
        <source>고딕</source>
        <translation>ゴシック</translation>
    </message>
    <message>
        <source>메일 프로그램을 찾을 수 없습니다. xdg-email(xdg-utils)을 설치하십시오.</source>
        <translation>メールプログラムが見つかりません。xdg-email (xdg-utils) をインストールしてください。</translation>
    </message>
    <message>
        <source>메일 프로그램을 실행할 수 없습니다.</source>
        <translation>メールプログラムを実行できません。</translation>
    </message>
    <message>
        <source>메일 프로그램에 메일을 넘기지 못했습니다.</source>
        <translation>メールをメールプログラムに渡せませんでした。</translation>
    </message>
    <message>
        <source>암호에 PDF 보호에 쓸 수 없는 문자가 있어 PDF를 보호하지 못했습니다. 다른 암호를 쓰십시오.</source>
        <translation>パスワードにPDFの保護に使えない文字が含まれているため、PDFを保護できませんでした。別のパスワードを使ってください。</translation>
    </message>
    <message>
        <source>PDF 파일이 변환할 파일과 같아 변환하지 않았습니다.</source>
        <translation>PDFファイルが変換するファイルと同じため、変換しませんでした。</translation>
    </message>
    <message>
        <source>PDF 파일을 변환할 수 없습니다. 손상되었거나 암호로 보호된 PDF입니다.</source>
        <translation>PDFファイルを変換できません。破損しているか、パスワードで保護されています。</translation>
    </message>
    <message>
        <source>PDF 파일을 끝까지 쓰지 못했습니다. 디스크가 가득 찼을 수 있습니다. 불완전한 PDF는 남기지 않았습니다.</source>
        <translation>PDFファイルを最後まで書き込めませんでした。ディスクがいっぱいの可能性があります。不完全なPDFは残していません。</translation>
    </message>
    <message>
        <source>보호되지 않은 PDF는 다음 이름으로 남겼습니다:</source>
        <translation>保護されていないPDFは次の名前で残しました:</translation>
    </message>
    <message>
        <source>임시 폴더를 만들 수 없어 변환하지 않았습니다. TMPDIR 폴더에 쓸 수 있는지 확인하십시오.</source>
        <translation>一時フォルダーを作成できないため、変換しませんでした。TMPDIR フォルダーに書き込めるか確認してください。</translation>
    </message>
    <message>
        <source>PostScript 인터프리터를 시작할 수 없어 변환하지 않았습니다.</source>
        <translation>PostScript インタープリターを起動できないため、変換しませんでした。</translation>
    </message>
    <message>
        <source>변환할 파일을 읽을 수 없습니다.</source>
        <translation>変換するファイルを読み取れません。</translation>
    </message>
    <message>
        <source>PDF 파일 이름이 없어 변환하지 않았습니다.</source>
        <translation>PDF ファイル名が指定されていないため、変換しませんでした。</translation>
    </message>
    <message>
        <source>변환에 쓸 수 있는 메모리가 모자라 PDF를 남기지 않았습니다. 기계 설정 MemoryLimit을 늘리십시오.</source>
        <translation>変換に使えるメモリーが不足したため、PDFを残しませんでした。マシン設定 MemoryLimit を増やしてください。</translation>
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
