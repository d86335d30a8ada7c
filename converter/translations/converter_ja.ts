<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja" sourcelanguage="ko">
<context>
    <name>folyant::converter::CAboutDlg</name>
    <message>
        <source>Folyant 정보</source>
        <translation>Folyant について</translation>
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
        <translation>Folyant について</translation>
    </message>
    <message>
        <source>설정</source>
        <translation>設定</translation>
    </message>
    <message>
        <source>PostScript 파일 열기...</source>
        <translation>PostScript ファイルを開く...</translation>
    </message>
    <message>
        <source>폴더 설정...</source>
        <translation>フォルダー設定...</translation>
    </message>
    <message>
        <source>품질 설정...</source>
        <translation>品質設定...</translation>
    </message>
    <message>
        <source>용지 설정...</source>
        <translation>用紙設定...</translation>
    </message>
    <message>
        <source>종료</source>
        <translation>終了</translation>
    </message>
    <message>
        <source>작업 취소</source>
        <translation>ジョブの取り消し</translation>
    </message>
    <message>
        <source>진행 :</source>
        <translation>進行状況:</translation>
    </message>
    <message>
        <source>파일명 :</source>
        <translation>ファイル名:</translation>
    </message>
    <message>
        <source>처리후 자동 종료</source>
        <translation>処理後に自動終了</translation>
    </message>
    <message>
        <source>로그 :</source>
        <translation>ログ:</translation>
    </message>
    <message>
        <source>About Folyant Velmo...</source>
        <translation>Folyant Velmo について...</translation>
    </message>
    <message>
        <source>About</source>
        <translation>情報</translation>
    </message>
    <message>
        <source>PostScript 및 PDF</source>
        <translation>PostScript と PDF</translation>
    </message>
    <message>
        <source>All Supported Files(*.ps,*.prn,*.eps)</source>
        <translation>サポートされているすべてのファイル(*.ps,*.prn,*.eps)</translation>
    </message>
    <message>
        <source>PDF Files</source>
        <translation>PDF ファイル</translation>
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
        <translation>ライブラリ フォルダー</translation>
    </message>
    <message>
        <source>PostScript 폰트 폴더</source>
        <translation>PostScript フォント フォルダー</translation>
    </message>
    <message>
        <source>Setup Lib Folder.</source>
        <translation>ライブラリ フォルダーを設定します。</translation>
    </message>
    <message>
        <source>Setup Font Folder.</source>
        <translation>フォント フォルダーを設定します。</translation>
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
        <translation>用紙設定</translation>
    </message>
    <message>
        <source>PostScript 기본값 사용</source>
        <translation>PostScript の既定値を使用</translation>
    </message>
    <message>
        <source>사용자 지정</source>
        <translation>ユーザー定義</translation>
    </message>
    <message>
        <source>가로</source>
        <translation>幅</translation>
    </message>
    <message>
        <source>세로</source>
        <translation>高さ</translation>
    </message>
    <message>
        <source>Please enter a positive integer.</source>
        <translation>正の整数を入力してください。</translation>
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
        <translation>印刷入稿用</translation>
    </message>
    <message>
        <source>Print Quality</source>
        <translation>印刷品質</translation>
    </message>
    <message>
        <source>Web</source>
        <translation>Web 用</translation>
    </message>
</context>
</TS>
