<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ko" sourcelanguage="ko">
<context>
    <name>folyant::session::DesktopNotifier</name>
    <message>
        <source>PDF 준비됨</source>
        <translation>PDF 준비됨</translation>
    </message>
    <message>
        <source>열기</source>
        <translation>열기</translation>
    </message>
    <message>
        <source>폴더 열기</source>
        <translation>폴더 열기</translation>
    </message>
    <message>
        <source>PDF를 만들지 못했습니다</source>
        <translation>PDF를 만들지 못했습니다</translation>
    </message>
</context>
<context>
    <name>folyant::session::SaveDialog</name>
    <message>
        <source>PDF로 저장 - Folyant Velmo</source>
        <translation>PDF로 저장 - Folyant Velmo</translation>
    </message>
    <message>
        <source>인쇄한 문서: %1</source>
        <translation>인쇄한 문서: %1</translation>
    </message>
    <message>
        <source>파일 이름:</source>
        <translation>파일 이름:</translation>
    </message>
    <message>
        <source>찾아보기...</source>
        <translation>찾아보기...</translation>
    </message>
    <message>
        <source>폴더:</source>
        <translation>폴더:</translation>
    </message>
    <message>
        <source>변환기 설정대로</source>
        <translation>변환기 설정대로</translation>
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
        <translation>품질:</translation>
    </message>
    <message>
        <source>암호로 보호</source>
        <translation>암호로 보호</translation>
    </message>
    <message>
        <source>열기 암호:</source>
        <translation>열기 암호:</translation>
    </message>
    <message>
        <source>권한 암호:</source>
        <translation>권한 암호:</translation>
    </message>
    <message>
        <source>인쇄 허용</source>
        <translation>인쇄 허용</translation>
    </message>
    <message>
        <source>내용 복사 허용</source>
        <translation>내용 복사 허용</translation>
    </message>
    <message>
        <source>메일로 보내기</source>
        <translation>메일로 보내기</translation>
    </message>
    <message>
        <source>저장 후 열기</source>
        <translation>저장 후 열기</translation>
    </message>
    <message>
        <source>폴더 선택</source>
        <translation>폴더 선택</translation>
    </message>
    <message>
        <source>파일 이름을 바르게 입력하십시오. 이름에는 &apos;/&apos;가 들어갈 수 없습니다.</source>
        <translation>파일 이름을 바르게 입력하십시오. 이름에는 &apos;/&apos;가 들어갈 수 없습니다.</translation>
    </message>
    <message>
        <source>&apos;%1&apos; 폴더를 쓸 수 없습니다.</source>
        <translation>&apos;%1&apos; 폴더를 쓸 수 없습니다.</translation>
    </message>
    <message>
        <source>보호하려면 암호를 하나 이상 입력하십시오.</source>
        <translation>보호하려면 암호를 하나 이상 입력하십시오.</translation>
    </message>
    <message>
        <source>암호는 &apos;-&apos;나 &apos;/&apos;로 시작할 수 없습니다.</source>
        <translation>암호는 &apos;-&apos;나 &apos;/&apos;로 시작할 수 없습니다.</translation>
    </message>
    <message>
        <source>&apos;%1&apos; 파일이 이미 있습니다. 바꾸시겠습니까?</source>
        <translation>&apos;%1&apos; 파일이 이미 있습니다. 바꾸시겠습니까?</translation>
    </message>
    <message>
        <source>기다리는 작업 %1개도 인쇄한 순서대로 이 PDF에 합치기</source>
        <translation>기다리는 작업 %1개도 인쇄한 순서대로 이 PDF에 합치기</translation>
    </message>
    <message>
        <source>기존 PDF에 추가…</source>
        <translation>기존 PDF에 추가…</translation>
    </message>
    <message>
        <source>페이지를 추가할 PDF 선택</source>
        <translation>페이지를 추가할 PDF 선택</translation>
    </message>
    <message>
        <source>PDF 파일 (*.pdf *.PDF)</source>
        <translation>PDF 파일 (*.pdf *.PDF)</translation>
    </message>
    <message>
        <source>&apos;%1&apos; 파일은 PDF가 아니어서 추가할 수 없습니다.</source>
        <translation>&apos;%1&apos; 파일은 PDF가 아니어서 추가할 수 없습니다.</translation>
    </message>
</context>
<context>
    <name>folyant::session::SessionAgent</name>
    <message>
        <source>&apos;%1&apos; 폴더를 만들 수 없습니다.</source>
        <translation>&apos;%1&apos; 폴더를 만들 수 없습니다.</translation>
    </message>
    <message>
        <source>&apos;%1&apos; 폴더에 PDF를 만들 수 없습니다.</source>
        <translation>&apos;%1&apos; 폴더에 PDF를 만들 수 없습니다.</translation>
    </message>
    <message>
        <source>변환기에 암호를 넘길 수 없습니다.</source>
        <translation>변환기에 암호를 넘길 수 없습니다.</translation>
    </message>
    <message>
        <source>변환기를 실행할 수 없습니다: %1</source>
        <translation>변환기를 실행할 수 없습니다: %1</translation>
    </message>
    <message>
        <source>변환기가 PDF를 만들지 못했습니다 (종료 코드 %1).</source>
        <translation>변환기가 PDF를 만들지 못했습니다 (종료 코드 %1).</translation>
    </message>
</context>
<context>
    <name>folyant::session::SettingsDialog</name>
    <message>
        <source>Folyant Velmo 인쇄 설정</source>
        <translation>Folyant Velmo 인쇄 설정</translation>
    </message>
    <message>
        <source>인쇄할 때마다 저장할 곳 묻기</source>
        <translation>인쇄할 때마다 저장할 곳 묻기</translation>
    </message>
    <message>
        <source>묻지 않으면 PDF는 아래 폴더에 아래 파일 이름으로 저장되고, 알림이 표시됩니다.</source>
        <translation>묻지 않으면 PDF는 아래 폴더에 아래 파일 이름으로 저장되고, 알림이 표시됩니다.</translation>
    </message>
    <message>
        <source>기본값 (~/PDF 또는 기계 설정 OutputFolder)</source>
        <translation>기본값 (~/PDF 또는 기계 설정 OutputFolder)</translation>
    </message>
    <message>
        <source>찾아보기...</source>
        <translation>찾아보기...</translation>
    </message>
    <message>
        <source>폴더:</source>
        <translation>폴더:</translation>
    </message>
    <message>
        <source>변환기 설정대로</source>
        <translation>변환기 설정대로</translation>
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
        <translation>품질:</translation>
    </message>
    <message>
        <source>저장 후 열기</source>
        <translation>저장 후 열기</translation>
    </message>
    <message>
        <source>폴더 선택</source>
        <translation>폴더 선택</translation>
    </message>
    <message>
        <source>파일 이름:</source>
        <translation>파일 이름:</translation>
    </message>
    <message>
        <source>%1은(는) 알 수 없는 항목입니다.</source>
        <translation>%1은(는) 알 수 없는 항목입니다.</translation>
    </message>
    <message>
        <source>이 형식으로는 파일 이름이 만들어지지 않습니다.</source>
        <translation>이 형식으로는 파일 이름이 만들어지지 않습니다.</translation>
    </message>
    <message>
        <source>파일 이름 형식을 저장할 수 없습니다.</source>
        <translation>파일 이름 형식을 저장할 수 없습니다.</translation>
    </message>
    <message>
        <source>&lt;Title&gt; 문서 제목, &lt;User&gt; 사용자 이름
&lt;Date:%Y-%m-%d&gt; 날짜, &lt;Counter&gt; 일련번호
&lt;JobId&gt; 인쇄 작업 번호, &lt;Host&gt; 인쇄한 컴퓨터</source>
        <translation>&lt;Title&gt; 문서 제목, &lt;User&gt; 사용자 이름
&lt;Date:%Y-%m-%d&gt; 날짜, &lt;Counter&gt; 일련번호
&lt;JobId&gt; 인쇄 작업 번호, &lt;Host&gt; 인쇄한 컴퓨터</translation>
    </message>
</context>
</TS>
