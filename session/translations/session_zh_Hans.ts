<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_Hans" sourcelanguage="ko">
<context>
    <name>folyant::session::DesktopNotifier</name>
    <message>
        <source>PDF 준비됨</source>
        <translation>PDF 已就绪</translation>
    </message>
    <message>
        <source>열기</source>
        <translation>打开</translation>
    </message>
    <message>
        <source>폴더 열기</source>
        <translation>打开文件夹</translation>
    </message>
    <message>
        <source>PDF를 만들지 못했습니다</source>
        <translation>未能生成 PDF</translation>
    </message>
</context>
<context>
    <name>folyant::session::SaveDialog</name>
    <message>
        <source>PDF로 저장 - Folyant Velmo</source>
        <translation>另存为 PDF - Folyant Velmo</translation>
    </message>
    <message>
        <source>인쇄한 문서: %1</source>
        <translation>打印的文档: %1</translation>
    </message>
    <message>
        <source>파일 이름:</source>
        <translation>文件名:</translation>
    </message>
    <message>
        <source>찾아보기...</source>
        <translation>浏览...</translation>
    </message>
    <message>
        <source>폴더:</source>
        <translation>文件夹:</translation>
    </message>
    <message>
        <source>변환기 설정대로</source>
        <translation>按转换程序的设置</translation>
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
    <message>
        <source>품질:</source>
        <translation>质量:</translation>
    </message>
    <message>
        <source>암호로 보호</source>
        <translation>用密码保护</translation>
    </message>
    <message>
        <source>열기 암호:</source>
        <translation>打开密码:</translation>
    </message>
    <message>
        <source>권한 암호:</source>
        <translation>权限密码:</translation>
    </message>
    <message>
        <source>인쇄 허용</source>
        <translation>允许打印</translation>
    </message>
    <message>
        <source>내용 복사 허용</source>
        <translation>允许复制内容</translation>
    </message>
    <message>
        <source>메일로 보내기</source>
        <translation>通过邮件发送</translation>
    </message>
    <message>
        <source>저장 후 열기</source>
        <translation>保存后打开</translation>
    </message>
    <message>
        <source>폴더 선택</source>
        <translation>选择文件夹</translation>
    </message>
    <message>
        <source>파일 이름을 바르게 입력하십시오. 이름에는 &apos;/&apos;가 들어갈 수 없습니다.</source>
        <translation>请输入有效的文件名。名称中不能包含 &apos;/&apos;。</translation>
    </message>
    <message>
        <source>&apos;%1&apos; 폴더를 쓸 수 없습니다.</source>
        <translation>无法使用文件夹 &apos;%1&apos;。</translation>
    </message>
    <message>
        <source>보호하려면 암호를 하나 이상 입력하십시오.</source>
        <translation>要保护 PDF，请至少输入一个密码。</translation>
    </message>
    <message>
        <source>암호는 &apos;-&apos;나 &apos;/&apos;로 시작할 수 없습니다.</source>
        <translation>密码不能以 &apos;-&apos; 或 &apos;/&apos; 开头。</translation>
    </message>
    <message>
        <source>&apos;%1&apos; 파일이 이미 있습니다. 바꾸시겠습니까?</source>
        <translation>文件 &apos;%1&apos; 已存在。要替换它吗?</translation>
    </message>
    <message>
        <source>기다리는 작업 %1개도 인쇄한 순서대로 이 PDF에 합치기</source>
        <translation>将等待中的 %1 个作业也按打印顺序合并到此PDF</translation>
    </message>
    <message>
        <source>기존 PDF에 추가…</source>
        <translation>添加到现有PDF…</translation>
    </message>
    <message>
        <source>페이지를 추가할 PDF 선택</source>
        <translation>选择要添加页面的PDF</translation>
    </message>
    <message>
        <source>PDF 파일 (*.pdf *.PDF)</source>
        <translation>PDF文件 (*.pdf *.PDF)</translation>
    </message>
    <message>
        <source>&apos;%1&apos; 파일은 PDF가 아니어서 추가할 수 없습니다.</source>
        <translation>&apos;%1&apos; 不是PDF，无法添加。</translation>
    </message>
</context>
<context>
    <name>folyant::session::SessionAgent</name>
    <message>
        <source>&apos;%1&apos; 폴더를 만들 수 없습니다.</source>
        <translation>无法创建文件夹 &apos;%1&apos;。</translation>
    </message>
    <message>
        <source>&apos;%1&apos; 폴더에 PDF를 만들 수 없습니다.</source>
        <translation>无法在文件夹 &apos;%1&apos; 中创建 PDF。</translation>
    </message>
    <message>
        <source>변환기에 암호를 넘길 수 없습니다.</source>
        <translation>无法将密码传给转换程序。</translation>
    </message>
    <message>
        <source>변환기를 실행할 수 없습니다: %1</source>
        <translation>无法运行转换程序: %1</translation>
    </message>
    <message>
        <source>변환기가 PDF를 만들지 못했습니다 (종료 코드 %1).</source>
        <translation>转换程序未生成 PDF (退出代码 %1)。</translation>
    </message>
</context>
<context>
    <name>folyant::session::SettingsDialog</name>
    <message>
        <source>Folyant Velmo 인쇄 설정</source>
        <translation>Folyant Velmo 打印设置</translation>
    </message>
    <message>
        <source>인쇄할 때마다 저장할 곳 묻기</source>
        <translation>每次打印时询问保存位置</translation>
    </message>
    <message>
        <source>묻지 않으면 PDF는 아래 폴더에 아래 파일 이름으로 저장되고, 알림이 표시됩니다.</source>
        <translation>不询问时，PDF 以下面的文件名保存在下面的文件夹中，并显示通知。</translation>
    </message>
    <message>
        <source>기본값 (~/PDF 또는 기계 설정 OutputFolder)</source>
        <translation>默认 (~/PDF 或机器设置 OutputFolder)</translation>
    </message>
    <message>
        <source>찾아보기...</source>
        <translation>浏览...</translation>
    </message>
    <message>
        <source>폴더:</source>
        <translation>文件夹:</translation>
    </message>
    <message>
        <source>변환기 설정대로</source>
        <translation>按转换程序的设置</translation>
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
    <message>
        <source>품질:</source>
        <translation>质量:</translation>
    </message>
    <message>
        <source>저장 후 열기</source>
        <translation>保存后打开</translation>
    </message>
    <message>
        <source>폴더 선택</source>
        <translation>选择文件夹</translation>
    </message>
    <message>
        <source>파일 이름:</source>
        <translation>文件名:</translation>
    </message>
    <message>
        <source>%1은(는) 알 수 없는 항목입니다.</source>
        <translation>%1 不是可识别的项目。</translation>
    </message>
    <message>
        <source>이 형식으로는 파일 이름이 만들어지지 않습니다.</source>
        <translation>此格式无法生成文件名。</translation>
    </message>
    <message>
        <source>파일 이름 형식을 저장할 수 없습니다.</source>
        <translation>无法保存文件名格式。</translation>
    </message>
    <message>
        <source>&lt;Title&gt; 문서 제목, &lt;User&gt; 사용자 이름
&lt;Date:%Y-%m-%d&gt; 날짜, &lt;Counter&gt; 일련번호
&lt;JobId&gt; 인쇄 작업 번호, &lt;Host&gt; 인쇄한 컴퓨터</source>
        <translation>&lt;Title&gt; 文档标题，&lt;User&gt; 用户名
&lt;Date:%Y-%m-%d&gt; 日期，&lt;Counter&gt; 序号
&lt;JobId&gt; 打印作业编号，&lt;Host&gt; 发出打印的计算机</translation>
    </message>
</context>
</TS>
