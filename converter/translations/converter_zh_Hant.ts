<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_Hant" sourcelanguage="ko">
<context>
    <name>StringTable</name>
    <message>
        <source>KR</source>
        <translation>TC</translation>
    </message>
    <message>
        <source>PDF 파일이 존재하지 않습니다.</source>
        <translation>該PDF文件不存在.</translation>
    </message>
    <message>
        <source>올바른 PDF 파일이 아닙니다.</source>
        <translation>不是正確的PDF文件.</translation>
    </message>
    <message>
        <source>명조</source>
        <translation>明朝</translation>
    </message>
    <message>
        <source>고딕</source>
        <translation>黑體</translation>
    </message>
    <message>
        <source>메일 프로그램을 찾을 수 없습니다. xdg-email(xdg-utils)을 설치하십시오.</source>
        <translation>找不到郵件程式。請安裝 xdg-email (xdg-utils)。</translation>
    </message>
    <message>
        <source>메일 프로그램을 실행할 수 없습니다.</source>
        <translation>無法執行郵件程式。</translation>
    </message>
    <message>
        <source>메일 프로그램에 메일을 넘기지 못했습니다.</source>
        <translation>無法將郵件交給郵件程式。</translation>
    </message>
    <message>
        <source>암호에 PDF 보호에 쓸 수 없는 문자가 있어 PDF를 보호하지 못했습니다. 다른 암호를 쓰십시오.</source>
        <translation>密碼中含有PDF保護無法使用的字元，因此未能保護PDF。請使用其他密碼。</translation>
    </message>
    <message>
        <source>PDF 파일이 변환할 파일과 같아 변환하지 않았습니다.</source>
        <translation>PDF檔案與要轉換的檔案相同，未進行轉換。</translation>
    </message>
    <message>
        <source>PDF 파일을 변환할 수 없습니다. 손상되었거나 암호로 보호된 PDF입니다.</source>
        <translation>無法轉換PDF檔案：檔案已損壞或受密碼保護。</translation>
    </message>
    <message>
        <source>PDF 파일을 끝까지 쓰지 못했습니다. 디스크가 가득 찼을 수 있습니다. 불완전한 PDF는 남기지 않았습니다.</source>
        <translation>無法完整寫入PDF檔案，磁碟可能已滿。未保留不完整的PDF。</translation>
    </message>
    <message>
        <source>보호되지 않은 PDF는 다음 이름으로 남겼습니다:</source>
        <translation>未受保護的PDF以如下名稱保留：</translation>
    </message>
    <message>
        <source>임시 폴더를 만들 수 없어 변환하지 않았습니다. TMPDIR 폴더에 쓸 수 있는지 확인하십시오.</source>
        <translation>無法建立暫存資料夾，因此未進行轉換。請檢查 TMPDIR 資料夾是否可寫入。</translation>
    </message>
    <message>
        <source>PostScript 인터프리터를 시작할 수 없어 변환하지 않았습니다.</source>
        <translation>無法啟動 PostScript 直譯器，因此未進行轉換。</translation>
    </message>
    <message>
        <source>변환할 파일을 읽을 수 없습니다.</source>
        <translation>無法讀取要轉換的檔案。</translation>
    </message>
    <message>
        <source>PDF 파일 이름이 없어 변환하지 않았습니다.</source>
        <translation>未指定 PDF 檔案名稱，因此未進行轉換。</translation>
    </message>
    <message>
        <source>변환에 쓸 수 있는 메모리가 모자라 PDF를 남기지 않았습니다. 기계 설정 MemoryLimit을 늘리십시오.</source>
        <translation>轉換可用的記憶體不足，因此未保留 PDF。請增加機器設定 MemoryLimit。</translation>
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
