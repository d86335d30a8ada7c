<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ko">
<context>
    <name>folyant::session::DesktopNotifier</name>
    <message>
        <source>PDF 준비됨</source>
        <translation>PDF ready</translation>
    </message>
    <message>
        <source>열기</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>폴더 열기</source>
        <translation>Open Folder</translation>
    </message>
    <message>
        <source>PDF를 만들지 못했습니다</source>
        <translation>No PDF was made</translation>
    </message>
</context>
<context>
    <name>folyant::session::SaveDialog</name>
    <message>
        <source>PDF로 저장 - Folyant Velmo</source>
        <translation>Save as PDF - Folyant Velmo</translation>
    </message>
    <message>
        <source>인쇄한 문서: %1</source>
        <translation>Printed document: %1</translation>
    </message>
    <message>
        <source>파일 이름:</source>
        <translation>File name:</translation>
    </message>
    <message>
        <source>찾아보기...</source>
        <translation>Browse...</translation>
    </message>
    <message>
        <source>폴더:</source>
        <translation>Folder:</translation>
    </message>
    <message>
        <source>변환기 설정대로</source>
        <translation>As the converter is set</translation>
    </message>
    <message>
        <source>Press Ready</source>
        <translation>Press Ready</translation>
    </message>
    <message>
        <source>Print Quality</source>
        <translation>Print Quality</translation>
    </message>
    <message>
        <source>Web</source>
        <translation>Web</translation>
    </message>
    <message>
        <source>품질:</source>
        <translation>Quality:</translation>
    </message>
    <message>
        <source>암호로 보호</source>
        <translation>Protect with a password</translation>
    </message>
    <message>
        <source>열기 암호:</source>
        <translation>Password to open:</translation>
    </message>
    <message>
        <source>권한 암호:</source>
        <translation>Permissions password:</translation>
    </message>
    <message>
        <source>인쇄 허용</source>
        <translation>Allow printing</translation>
    </message>
    <message>
        <source>내용 복사 허용</source>
        <translation>Allow copying the contents</translation>
    </message>
    <message>
        <source>메일로 보내기</source>
        <translation>Send by mail</translation>
    </message>
    <message>
        <source>저장 후 열기</source>
        <translation>Open after saving</translation>
    </message>
    <message>
        <source>폴더 선택</source>
        <translation>Choose a Folder</translation>
    </message>
    <message>
        <source>파일 이름을 바르게 입력하십시오. 이름에는 &apos;/&apos;가 들어갈 수 없습니다.</source>
        <translation>Please enter a valid file name. A name cannot contain &apos;/&apos;.</translation>
    </message>
    <message>
        <source>&apos;%1&apos; 폴더를 쓸 수 없습니다.</source>
        <translation>The folder &apos;%1&apos; cannot be used.</translation>
    </message>
    <message>
        <source>보호하려면 암호를 하나 이상 입력하십시오.</source>
        <translation>Enter at least one password to protect the PDF.</translation>
    </message>
    <message>
        <source>암호는 &apos;-&apos;나 &apos;/&apos;로 시작할 수 없습니다.</source>
        <translation>A password cannot begin with &apos;-&apos; or &apos;/&apos;.</translation>
    </message>
    <message>
        <source>&apos;%1&apos; 파일이 이미 있습니다. 바꾸시겠습니까?</source>
        <translation>The file &apos;%1&apos; exists already. Replace it?</translation>
    </message>
    <message>
        <source>기다리는 작업 %1개도 인쇄한 순서대로 이 PDF에 합치기</source>
        <translation>Also combine the %1 waiting jobs into this PDF, in the order printed</translation>
    </message>
    <message>
        <source>기존 PDF에 추가…</source>
        <translation>Add to …</translation>
    </message>
    <message>
        <source>페이지를 추가할 PDF 선택</source>
        <translation>Choose the PDF to add the pages to</translation>
    </message>
    <message>
        <source>PDF 파일 (*.pdf *.PDF)</source>
        <translation>PDF files (*.pdf *.PDF)</translation>
    </message>
    <message>
        <source>&apos;%1&apos; 파일은 PDF가 아니어서 추가할 수 없습니다.</source>
        <translation>&apos;%1&apos; is not a PDF, so nothing can be added to it.</translation>
    </message>
</context>
<context>
    <name>folyant::session::SessionAgent</name>
    <message>
        <source>&apos;%1&apos; 폴더를 만들 수 없습니다.</source>
        <translation>The folder &apos;%1&apos; cannot be created.</translation>
    </message>
    <message>
        <source>&apos;%1&apos; 폴더에 PDF를 만들 수 없습니다.</source>
        <translation>No PDF can be created in the folder &apos;%1&apos;.</translation>
    </message>
    <message>
        <source>변환기에 암호를 넘길 수 없습니다.</source>
        <translation>The passwords could not be passed to the converter.</translation>
    </message>
    <message>
        <source>변환기를 실행할 수 없습니다: %1</source>
        <translation>The converter cannot be run: %1</translation>
    </message>
    <message>
        <source>변환기가 PDF를 만들지 못했습니다 (종료 코드 %1).</source>
        <translation>The converter made no PDF (exit status %1).</translation>
    </message>
</context>
<context>
    <name>folyant::session::SettingsDialog</name>
    <message>
        <source>Folyant Velmo 인쇄 설정</source>
        <translation>Folyant Velmo Print Settings</translation>
    </message>
    <message>
        <source>인쇄할 때마다 저장할 곳 묻기</source>
        <translation>Ask where to save for every print job</translation>
    </message>
    <message>
        <source>묻지 않으면 PDF는 아래 폴더에 아래 파일 이름으로 저장되고, 알림이 표시됩니다.</source>
        <translation>Without asking, each PDF is saved in the folder below under the file name below, and a notice says so.</translation>
    </message>
    <message>
        <source>기본값 (~/PDF 또는 기계 설정 OutputFolder)</source>
        <translation>Default (~/PDF or the machine setting OutputFolder)</translation>
    </message>
    <message>
        <source>찾아보기...</source>
        <translation>Browse...</translation>
    </message>
    <message>
        <source>폴더:</source>
        <translation>Folder:</translation>
    </message>
    <message>
        <source>변환기 설정대로</source>
        <translation>As the converter is set</translation>
    </message>
    <message>
        <source>Press Ready</source>
        <translation>Press Ready</translation>
    </message>
    <message>
        <source>Print Quality</source>
        <translation>Print Quality</translation>
    </message>
    <message>
        <source>Web</source>
        <translation>Web</translation>
    </message>
    <message>
        <source>품질:</source>
        <translation>Quality:</translation>
    </message>
    <message>
        <source>저장 후 열기</source>
        <translation>Open after saving</translation>
    </message>
    <message>
        <source>폴더 선택</source>
        <translation>Choose a Folder</translation>
    </message>
    <message>
        <source>파일 이름:</source>
        <translation>File name:</translation>
    </message>
    <message>
        <source>%1은(는) 알 수 없는 항목입니다.</source>
        <translation>%1 is not a known token.</translation>
    </message>
    <message>
        <source>이 형식으로는 파일 이름이 만들어지지 않습니다.</source>
        <translation>This template makes no file name.</translation>
    </message>
    <message>
        <source>파일 이름 형식을 저장할 수 없습니다.</source>
        <translation>The file name template could not be saved.</translation>
    </message>
    <message>
        <source>&lt;Title&gt; 문서 제목, &lt;User&gt; 사용자 이름
&lt;Date:%Y-%m-%d&gt; 날짜, &lt;Counter&gt; 일련번호
&lt;JobId&gt; 인쇄 작업 번호, &lt;Host&gt; 인쇄한 컴퓨터</source>
        <translation>&lt;Title&gt; the document&apos;s title, &lt;User&gt; user name
&lt;Date:%Y-%m-%d&gt; date, &lt;Counter&gt; running number
&lt;JobId&gt; print job number, &lt;Host&gt; computer it was printed from</translation>
    </message>
</context>
</TS>
