<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_Hant" sourcelanguage="ko">
<context>
    <name>folyant::session::DesktopNotifier</name>
    <message>
        <source>PDF 준비됨</source>
        <translation>PDF 已就緒</translation>
    </message>
    <message>
        <source>열기</source>
        <translation>開啟</translation>
    </message>
    <message>
        <source>폴더 열기</source>
        <translation>開啟資料夾</translation>
    </message>
    <message>
        <source>PDF를 만들지 못했습니다</source>
        <translation>未能產生 PDF</translation>
    </message>
</context>
<context>
    <name>folyant::session::SaveDialog</name>
    <message>
        <source>PDF로 저장 - Folyant Velmo</source>
        <translation>另存為 PDF - Folyant Velmo</translation>
    </message>
    <message>
        <source>인쇄한 문서: %1</source>
        <translation>列印的文件: %1</translation>
    </message>
    <message>
        <source>파일 이름:</source>
        <translation>檔案名稱:</translation>
    </message>
    <message>
        <source>찾아보기...</source>
        <translation>瀏覽...</translation>
    </message>
    <message>
        <source>폴더:</source>
        <translation>資料夾:</translation>
    </message>
    <message>
        <source>변환기 설정대로</source>
        <translation>依轉換程式的設定</translation>
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
    <message>
        <source>품질:</source>
        <translation>品質:</translation>
    </message>
    <message>
        <source>암호로 보호</source>
        <translation>以密碼保護</translation>
    </message>
    <message>
        <source>열기 암호:</source>
        <translation>開啟密碼:</translation>
    </message>
    <message>
        <source>권한 암호:</source>
        <translation>權限密碼:</translation>
    </message>
    <message>
        <source>인쇄 허용</source>
        <translation>允許列印</translation>
    </message>
    <message>
        <source>내용 복사 허용</source>
        <translation>允許複製內容</translation>
    </message>
    <message>
        <source>메일로 보내기</source>
        <translation>以郵件傳送</translation>
    </message>
    <message>
        <source>저장 후 열기</source>
        <translation>儲存後開啟</translation>
    </message>
    <message>
        <source>폴더 선택</source>
        <translation>選擇資料夾</translation>
    </message>
    <message>
        <source>파일 이름을 바르게 입력하십시오. 이름에는 &apos;/&apos;가 들어갈 수 없습니다.</source>
        <translation>請輸入有效的檔案名稱。名稱中不能包含 &apos;/&apos;。</translation>
    </message>
    <message>
        <source>&apos;%1&apos; 폴더를 쓸 수 없습니다.</source>
        <translation>無法使用資料夾 &apos;%1&apos;。</translation>
    </message>
    <message>
        <source>보호하려면 암호를 하나 이상 입력하십시오.</source>
        <translation>若要保護 PDF，請至少輸入一個密碼。</translation>
    </message>
    <message>
        <source>암호는 &apos;-&apos;나 &apos;/&apos;로 시작할 수 없습니다.</source>
        <translation>密碼不能以 &apos;-&apos; 或 &apos;/&apos; 開頭。</translation>
    </message>
    <message>
        <source>&apos;%1&apos; 파일이 이미 있습니다. 바꾸시겠습니까?</source>
        <translation>檔案 &apos;%1&apos; 已存在。要取代它嗎?</translation>
    </message>
    <message>
        <source>기다리는 작업 %1개도 인쇄한 순서대로 이 PDF에 합치기</source>
        <translation>將等待中的 %1 個工作也按列印順序合併到此PDF</translation>
    </message>
    <message>
        <source>기존 PDF에 추가…</source>
        <translation>新增至現有PDF…</translation>
    </message>
    <message>
        <source>페이지를 추가할 PDF 선택</source>
        <translation>選擇要新增頁面的PDF</translation>
    </message>
    <message>
        <source>PDF 파일 (*.pdf *.PDF)</source>
        <translation>PDF檔案 (*.pdf *.PDF)</translation>
    </message>
    <message>
        <source>&apos;%1&apos; 파일은 PDF가 아니어서 추가할 수 없습니다.</source>
        <translation>&apos;%1&apos; 不是PDF，無法新增。</translation>
    </message>
</context>
<context>
    <name>folyant::session::SessionAgent</name>
    <message>
        <source>&apos;%1&apos; 폴더를 만들 수 없습니다.</source>
        <translation>無法建立資料夾 &apos;%1&apos;。</translation>
    </message>
    <message>
        <source>&apos;%1&apos; 폴더에 PDF를 만들 수 없습니다.</source>
        <translation>無法在資料夾 &apos;%1&apos; 中建立 PDF。</translation>
    </message>
    <message>
        <source>변환기에 암호를 넘길 수 없습니다.</source>
        <translation>無法將密碼傳給轉換程式。</translation>
    </message>
    <message>
        <source>변환기를 실행할 수 없습니다: %1</source>
        <translation>無法執行轉換程式: %1</translation>
    </message>
    <message>
        <source>변환기가 PDF를 만들지 못했습니다 (종료 코드 %1).</source>
        <translation>轉換程式未產生 PDF (結束代碼 %1)。</translation>
    </message>
</context>
<context>
    <name>folyant::session::SettingsDialog</name>
    <message>
        <source>Folyant Velmo 인쇄 설정</source>
        <translation>Folyant Velmo 列印設定</translation>
    </message>
    <message>
        <source>인쇄할 때마다 저장할 곳 묻기</source>
        <translation>每次列印時詢問儲存位置</translation>
    </message>
    <message>
        <source>묻지 않으면 PDF는 아래 폴더에 아래 파일 이름으로 저장되고, 알림이 표시됩니다.</source>
        <translation>不詢問時，PDF 會以下方的檔案名稱儲存在下方的資料夾中，並顯示通知。</translation>
    </message>
    <message>
        <source>기본값 (~/PDF 또는 기계 설정 OutputFolder)</source>
        <translation>預設 (~/PDF 或機器設定 OutputFolder)</translation>
    </message>
    <message>
        <source>찾아보기...</source>
        <translation>瀏覽...</translation>
    </message>
    <message>
        <source>폴더:</source>
        <translation>資料夾:</translation>
    </message>
    <message>
        <source>변환기 설정대로</source>
        <translation>依轉換程式的設定</translation>
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
    <message>
        <source>품질:</source>
        <translation>品質:</translation>
    </message>
    <message>
        <source>저장 후 열기</source>
        <translation>儲存後開啟</translation>
    </message>
    <message>
        <source>폴더 선택</source>
        <translation>選擇資料夾</translation>
    </message>
    <message>
        <source>파일 이름:</source>
        <translation>檔案名稱:</translation>
    </message>
    <message>
        <source>%1은(는) 알 수 없는 항목입니다.</source>
        <translation>%1 不是可識別的項目。</translation>
    </message>
    <message>
        <source>이 형식으로는 파일 이름이 만들어지지 않습니다.</source>
        <translation>此格式無法產生檔案名稱。</translation>
    </message>
    <message>
        <source>파일 이름 형식을 저장할 수 없습니다.</source>
        <translation>無法儲存檔案名稱格式。</translation>
    </message>
    <message>
        <source>&lt;Title&gt; 문서 제목, &lt;User&gt; 사용자 이름
&lt;Date:%Y-%m-%d&gt; 날짜, &lt;Counter&gt; 일련번호
&lt;JobId&gt; 인쇄 작업 번호, &lt;Host&gt; 인쇄한 컴퓨터</source>
        <translation>&lt;Title&gt; 文件標題、&lt;User&gt; 使用者名稱
&lt;Date:%Y-%m-%d&gt; 日期、&lt;Counter&gt; 流水號
&lt;JobId&gt; 列印工作編號、&lt;Host&gt; 發出列印的電腦</translation>
    </message>
</context>
</TS>
