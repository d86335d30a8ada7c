<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja" sourcelanguage="ko">
<context>
    <name>folyant::session::DesktopNotifier</name>
    <message>
        <source>PDF 준비됨</source>
        <translation>PDF の準備ができました</translation>
    </message>
    <message>
        <source>열기</source>
        <translation>開く</translation>
    </message>
    <message>
        <source>폴더 열기</source>
        <translation>フォルダーを開く</translation>
    </message>
    <message>
        <source>PDF를 만들지 못했습니다</source>
        <translation>PDF を作成できませんでした</translation>
    </message>
</context>
<context>
    <name>folyant::session::SaveDialog</name>
    <message>
        <source>PDF로 저장 - Folyant Velmo</source>
        <translation>PDF として保存 - Folyant Velmo</translation>
    </message>
    <message>
        <source>인쇄한 문서: %1</source>
        <translation>印刷した文書: %1</translation>
    </message>
    <message>
        <source>파일 이름:</source>
        <translation>ファイル名:</translation>
    </message>
    <message>
        <source>찾아보기...</source>
        <translation>参照...</translation>
    </message>
    <message>
        <source>폴더:</source>
        <translation>フォルダー:</translation>
    </message>
    <message>
        <source>변환기 설정대로</source>
        <translation>変換プログラムの設定どおり</translation>
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
    <message>
        <source>품질:</source>
        <translation>品質:</translation>
    </message>
    <message>
        <source>암호로 보호</source>
        <translation>パスワードで保護</translation>
    </message>
    <message>
        <source>열기 암호:</source>
        <translation>開くときのパスワード:</translation>
    </message>
    <message>
        <source>권한 암호:</source>
        <translation>権限パスワード:</translation>
    </message>
    <message>
        <source>인쇄 허용</source>
        <translation>印刷を許可</translation>
    </message>
    <message>
        <source>내용 복사 허용</source>
        <translation>内容のコピーを許可</translation>
    </message>
    <message>
        <source>메일로 보내기</source>
        <translation>メールで送信</translation>
    </message>
    <message>
        <source>저장 후 열기</source>
        <translation>保存後に開く</translation>
    </message>
    <message>
        <source>폴더 선택</source>
        <translation>フォルダーの選択</translation>
    </message>
    <message>
        <source>파일 이름을 바르게 입력하십시오. 이름에는 &apos;/&apos;가 들어갈 수 없습니다.</source>
        <translation>正しいファイル名を入力してください。名前に &apos;/&apos; は使えません。</translation>
    </message>
    <message>
        <source>&apos;%1&apos; 폴더를 쓸 수 없습니다.</source>
        <translation>フォルダー &apos;%1&apos; は使用できません。</translation>
    </message>
    <message>
        <source>보호하려면 암호를 하나 이상 입력하십시오.</source>
        <translation>保護するには、パスワードを 1 つ以上入力してください。</translation>
    </message>
    <message>
        <source>암호는 &apos;-&apos;나 &apos;/&apos;로 시작할 수 없습니다.</source>
        <translation>パスワードを &apos;-&apos; または &apos;/&apos; で始めることはできません。</translation>
    </message>
    <message>
        <source>&apos;%1&apos; 파일이 이미 있습니다. 바꾸시겠습니까?</source>
        <translation>ファイル &apos;%1&apos; は既に存在します。置き換えますか?</translation>
    </message>
    <message>
        <source>기다리는 작업 %1개도 인쇄한 순서대로 이 PDF에 합치기</source>
        <translation>待機中の %1 件のジョブも印刷した順にこのPDFに結合する</translation>
    </message>
    <message>
        <source>기존 PDF에 추가…</source>
        <translation>既存のPDFに追加…</translation>
    </message>
    <message>
        <source>페이지를 추가할 PDF 선택</source>
        <translation>ページを追加するPDFを選択</translation>
    </message>
    <message>
        <source>PDF 파일 (*.pdf *.PDF)</source>
        <translation>PDFファイル (*.pdf *.PDF)</translation>
    </message>
    <message>
        <source>&apos;%1&apos; 파일은 PDF가 아니어서 추가할 수 없습니다.</source>
        <translation>&apos;%1&apos; はPDFではないため、追加できません。</translation>
    </message>
</context>
<context>
    <name>folyant::session::SessionAgent</name>
    <message>
        <source>&apos;%1&apos; 폴더를 만들 수 없습니다.</source>
        <translation>フォルダー &apos;%1&apos; を作成できません。</translation>
    </message>
    <message>
        <source>&apos;%1&apos; 폴더에 PDF를 만들 수 없습니다.</source>
        <translation>フォルダー &apos;%1&apos; に PDF を作成できません。</translation>
    </message>
    <message>
        <source>변환기에 암호를 넘길 수 없습니다.</source>
        <translation>変換プログラムにパスワードを渡せませんでした。</translation>
    </message>
    <message>
        <source>변환기를 실행할 수 없습니다: %1</source>
        <translation>変換プログラムを実行できません: %1</translation>
    </message>
    <message>
        <source>변환기가 PDF를 만들지 못했습니다 (종료 코드 %1).</source>
        <translation>変換プログラムは PDF を作成しませんでした (終了コード %1)。</translation>
    </message>
</context>
<context>
    <name>folyant::session::SettingsDialog</name>
    <message>
        <source>Folyant Velmo 인쇄 설정</source>
        <translation>Folyant Velmo 印刷設定</translation>
    </message>
    <message>
        <source>인쇄할 때마다 저장할 곳 묻기</source>
        <translation>印刷するたびに保存先を確認する</translation>
    </message>
    <message>
        <source>묻지 않으면 PDF는 아래 폴더에 아래 파일 이름으로 저장되고, 알림이 표시됩니다.</source>
        <translation>確認しない場合、PDF は下のファイル名で下のフォルダーに保存され、通知が表示されます。</translation>
    </message>
    <message>
        <source>기본값 (~/PDF 또는 기계 설정 OutputFolder)</source>
        <translation>既定値 (~/PDF またはマシン設定 OutputFolder)</translation>
    </message>
    <message>
        <source>찾아보기...</source>
        <translation>参照...</translation>
    </message>
    <message>
        <source>폴더:</source>
        <translation>フォルダー:</translation>
    </message>
    <message>
        <source>변환기 설정대로</source>
        <translation>変換プログラムの設定どおり</translation>
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
    <message>
        <source>품질:</source>
        <translation>品質:</translation>
    </message>
    <message>
        <source>저장 후 열기</source>
        <translation>保存後に開く</translation>
    </message>
    <message>
        <source>폴더 선택</source>
        <translation>フォルダーの選択</translation>
    </message>
    <message>
        <source>파일 이름:</source>
        <translation>ファイル名:</translation>
    </message>
    <message>
        <source>%1은(는) 알 수 없는 항목입니다.</source>
        <translation>%1 は不明な項目です。</translation>
    </message>
    <message>
        <source>이 형식으로는 파일 이름이 만들어지지 않습니다.</source>
        <translation>この形式ではファイル名になりません。</translation>
    </message>
    <message>
        <source>파일 이름 형식을 저장할 수 없습니다.</source>
        <translation>ファイル名の形式を保存できません。</translation>
    </message>
    <message>
        <source>&lt;Title&gt; 문서 제목, &lt;User&gt; 사용자 이름
&lt;Date:%Y-%m-%d&gt; 날짜, &lt;Counter&gt; 일련번호
&lt;JobId&gt; 인쇄 작업 번호, &lt;Host&gt; 인쇄한 컴퓨터</source>
        <translation>&lt;Title&gt; 文書のタイトル、&lt;User&gt; ユーザー名
&lt;Date:%Y-%m-%d&gt; 日付、&lt;Counter&gt; 通し番号
&lt;JobId&gt; 印刷ジョブ番号、&lt;Host&gt; 印刷したコンピューター</translation>
    </message>
</context>
</TS>
