// Protecting PDFs with MuPDF, judged by qpdf.
#include "converter/core/CPdfSecurity.h"
#include "converter/core/MuPdfRewriter.h"
#include "converter/core/SecurityStep.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <optional>

using namespace folyant;
using namespace folyant::converter;
using folyant::test::TempFolder;

namespace {

std::string qpdf(const std::vector<std::string>& arguments, int* exitCode = nullptr)
{
    const auto result = test::runProgram("qpdf", arguments);
    if (exitCode)
        *exitCode = result.exitCode;
    return result.out + result.err;
}

bool contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

class SecurityTest : public ::testing::Test {
protected:
    std::string protect(const std::string& user, const std::string& owner, const std::string& permissions,
        const std::string& input = test::dataFile("cups-onepage-a4.pdf"))
    {
        const std::string out = folder.file("out.pdf");
        const CPdfSecurity request(user, owner, permissionValue(permissions));
        EXPECT_EQ(EncryptPdfFile(input, "", out, &request), 0);
        return out;
    }
    std::string protectAes(const std::string& user, const std::string& owner, const std::string& permissions)
    {
        const std::string out = folder.file("aes.pdf");
        const CPdfSecurity request(user, owner, permissionValue(permissions), PdfEncryption::Aes256);
        EXPECT_EQ(EncryptPdfFile(test::dataFile("cups-onepage-a4.pdf"), "", out, &request), 0);
        return out;
    }
    // What poppler extracts with the password, or nothing when it cannot open the file.
    static std::optional<std::string> textWith(
        const std::string& password, const std::string& pdf, const char* which = "-upw")
    {
        const auto result = test::runProgram("pdftotext", {which, password, pdf, "-"});
        if (result.exitCode != 0)
            return std::nullopt;
        return result.out;
    }
    static bool opensWith(const std::string& password, const std::string& pdf)
    {
        int code = -1;
        qpdf({"--password=" + password, "--check", pdf}, &code);
        return code == 0;
    }
    TempFolder folder;
};

TEST(PermissionValue, FromTheFirstFourCharacters)
{
    const std::pair<const char*, int> cases[] = {
        {"1111", -4}, {"0000", -64}, {"", -64}, {"1010", -44}, {"1", -60}, {"x1y1", -24}, {"11111111", -4}};
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(permissionValue(text), expected) << text;
}

TEST_F(SecurityTest, AnOutputItMayNotWriteIsAnInputOutputFailure)
{
    // Another user's file behind a link at the output's name must not be
    // written through it, nor a folder taken for a file.
    test::writeFile(folder.file("theirs.pdf"), "their own PDF");
    ASSERT_EQ(::symlink(folder.file("theirs.pdf").c_str(), folder.file("link.pdf").c_str()), 0);
    ASSERT_EQ(::mkdir(folder.file("folder.pdf").c_str(), 0700), 0);
    const CPdfSecurity request("u", "o", -4);
    for (const char* output : {"link.pdf", "folder.pdf"}) {
        EXPECT_EQ(EncryptPdfFile(test::dataFile("cups-onepage-a4.pdf"), "", folder.file(output), &request),
            pdferror::kInputOutput)
            << output;
        EXPECT_EQ(GetLastPdfError(), pdferror::kInputOutput) << output;
    }
    EXPECT_EQ(test::readFile(folder.file("theirs.pdf")), "their own PDF");
}

TEST(PasswordBytes, PdfDocEncodingWhereItCan)
{
    EXPECT_EQ(pdfPasswordBytes("secret"), "secret");
    EXPECT_EQ(pdfPasswordBytes("pässwört"), "p\xE4ssw\xF6rt");
    EXPECT_EQ(pdfPasswordBytes("€"), "\xA0");
    EXPECT_EQ(pdfPasswordBytes("비밀"), "비밀") << "no PDFDocEncoding for Hangul: the UTF-8 bytes";
    EXPECT_EQ(pdfPasswordBytes("\xC3"), "\xC3") << "malformed text stays as it is";
}

TEST_F(SecurityTest, ProtectsWithRevisionTwoAndTheRequestedRights)
{
    for (const auto& [permissions, p] :
        {std::pair{"1111", "-4"}, {"0000", "-64"}, {"", "-64"}, {"1010", "-44"}}) {
        const std::string out = protect("USER", "OWNER", permissions);
        const std::string shown = qpdf({"--show-encryption", "--password=USER", out});
        EXPECT_TRUE(contains(shown, "R = 2")) << shown;
        EXPECT_TRUE(contains(shown, std::string("P = ") + p)) << shown;
        const std::string trailer = qpdf({"--show-object=trailer", "--password=USER", out});
        EXPECT_TRUE(
            contains(trailer, "/Length 40") && contains(trailer, "/V 1") && contains(trailer, "/Standard"))
            << trailer;
    }
    const std::string out = protect("USER", "OWNER", "1010");
    int code = -1;
    qpdf({"--password=USER", "--check", out}, &code);
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(contains(
        qpdf({"--password=OWNER", "--show-encryption", out}), "Supplied password is owner password"));
    qpdf({"--check", out}, &code);
    EXPECT_NE(code, 0) << "no password opens it";
    const std::string rights = qpdf({"--password=USER", "--show-encryption", out});
    EXPECT_TRUE(contains(rights, "print high resolution: allowed"));
    EXPECT_TRUE(contains(rights, "modify anything: not allowed"));
    EXPECT_TRUE(contains(rights, "extract for any purpose: allowed"));
    EXPECT_TRUE(contains(rights, "modify annotations: not allowed"));
}

TEST_F(SecurityTest, EmptyOwnerPasswordMakesTheUserPasswordTheOwners)
{
    const std::string out = protect("USER", "", "0000");
    EXPECT_TRUE(
        contains(qpdf({"--password=USER", "--show-encryption", out}), "Supplied password is owner password"));
}

TEST_F(SecurityTest, DocumentWithoutIdentifierGetsTheFixedOne)
{
    const std::string out = protect("u", "o", "1111", test::dataFile("pdfjs-issue16287-chromium-noid.pdf"));
    const std::string trailer = qpdf({"--show-object=trailer", "--password=u", out});
    EXPECT_TRUE(contains(trailer, "/ID [ (ABCDEFGHIJKLMNOP)")
        || contains(trailer, "/ID [ <4142434445464748494a4b4c4d4e4f50>"))
        << trailer;
    int code = -1;
    qpdf({"--password=u", "--check", out}, &code);
    EXPECT_EQ(code, 0);
}

TEST_F(SecurityTest, NonAsciiPasswordsOpenInAnotherReader)
{
    int code = -1;
    std::string out = protect("pässwört", "ównér", "1111");
    qpdf({"--password=pässwört", "--check", out}, &code);
    EXPECT_EQ(code, 0) << "qpdf turns UTF-8 into PDFDocEncoding for revision 2";
    EXPECT_TRUE(contains(qpdf({"--password=ównér", "--show-encryption", out}), "owner password"));

    out = protect("비밀", "", "1111");
    qpdf({"--password-mode=bytes", "--password=비밀", "--check", out}, &code);
    EXPECT_EQ(code, 0) << "without PDFDocEncoding the password is its UTF-8 bytes";
    qpdf({"--check", out}, &code);
    EXPECT_NE(code, 0) << "the password is not lost on the way";

    // "국" is EA B5 AD, and PDFDocEncoding has nothing at AD: refused, not
    // silently weakened.
    const CPdfSecurity request("국", "", -4);
    EXPECT_EQ(EncryptPdfFile(test::dataFile("cups-onepage-a4.pdf"), "", folder.file("k.pdf"), &request), -1);
    EXPECT_FALSE(test::fileExists(folder.file("k.pdf")));
    EXPECT_EQ(textForPasswordBytes("\xAD"), std::nullopt);
    EXPECT_EQ(textForPasswordBytes("a\xE4\xA0"), "aä€");
}

TEST_F(SecurityTest, AlreadyEncryptedInputs)
{
    const std::string owned = test::dataFile("pdfjs-bug900822-rc4-40bit-ownerpw.pdf");
    const CPdfSecurity request("u", "o", -4);
    EXPECT_EQ(EncryptPdfFile(owned, "", folder.file("a.pdf"), &request), pdferror::kPermission);
    EXPECT_EQ(EncryptPdfFile(owned, "wrong", folder.file("b.pdf"), &request), pdferror::kWrongPassword);
    EXPECT_FALSE(test::fileExists(folder.file("a.pdf")));

    // Both passwords empty: the empty password is the owner's.
    const std::string open = protect("", "", "1111");
    EXPECT_EQ(EncryptPdfFile(open, "", folder.file("again.pdf"), &request), 0);
    int code = -1;
    qpdf({"--password=o", "--check", folder.file("again.pdf")}, &code);
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(contains(qpdf({"--password=u", "--show-encryption", folder.file("again.pdf")}), "P = -4"));
}

TEST_F(SecurityTest, FailuresAndTheLastFailureCode)
{
    const CPdfSecurity request("u", "o", -4);
    EXPECT_EQ(EncryptPdfFile(folder.file("missing.pdf"), "", folder.file("x.pdf"), &request), -2);
    EXPECT_EQ(GetLastPdfError(), -2);
    EXPECT_EQ(securityFailureMessage(-2), 106);
    protect("u", "o", "1111");
    EXPECT_EQ(GetLastPdfError(), -2) << "a success leaves the last failure";

    test::writeFile(folder.file("text.pdf"), "this is not a PDF at all\n");
    EXPECT_EQ(EncryptPdfFile(folder.file("text.pdf"), "", folder.file("x.pdf"), &request), -3);
    EXPECT_EQ(securityFailureMessage(-3), 107);
    test::writeFile(folder.file("empty.pdf"), "");
    EXPECT_EQ(EncryptPdfFile(folder.file("empty.pdf"), "", folder.file("x.pdf"), &request), -9);
    EXPECT_EQ(securityFailureMessage(-9), 0);
    EXPECT_EQ(EncryptPdfFile(
                  test::dataFile("cups-onepage-a4.pdf"), "", folder.file("no/such/folder/x.pdf"), &request),
        -2);
    EXPECT_EQ(test::filesBelow(folder.path()), (std::vector<std::string>{"empty.pdf", "out.pdf", "text.pdf"}))
        << "no partial output is left behind";
}

TEST_F(SecurityTest, TruncatedPdfsAreNotWellFormedAndStayAsTheyWere)
{
    const std::string whole = test::readFile(test::dataFile("cups-onepage-a4.pdf"));
    for (const std::size_t length : {std::size_t{1000}, std::size_t{3000}, whole.size() - 200}) {
        const std::string pdf = folder.file("cut.pdf");
        test::writeFile(pdf, whole.substr(0, length));
        EXPECT_EQ(protectInPlace(pdf, CPdfSecurity("u", "o", -4)), -3) << length;
        EXPECT_EQ(securityFailureMessage(GetLastPdfError()), 107);
        EXPECT_EQ(test::readFile(pdf), whole.substr(0, length)) << "the finished PDF stays as it was";
    }
}

// A PDF of the given objects (numbered from 1) with a correct cross-reference
// table, so that nothing needs repair and only the content is hostile.
std::string pdfOf(const std::vector<std::string>& objects, const std::string& trailer)
{
    std::string pdf = "%PDF-1.4\n";
    std::vector<std::size_t> offsets;
    for (std::size_t i = 0; i < objects.size(); ++i) {
        offsets.push_back(pdf.size());
        pdf += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const std::size_t xref = pdf.size();
    pdf += "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (const std::size_t offset : offsets) {
        char line[32];
        std::snprintf(line, sizeof line, "%010zu 00000 n \n", offset);
        pdf += line;
    }
    pdf += "trailer\n<< /Size " + std::to_string(objects.size() + 1) + " " + trailer + " >>\nstartxref\n"
        + std::to_string(xref) + "\n%%EOF\n";
    return pdf;
}

TEST_F(SecurityTest, CraftedPdfsAreRefusedAndReplaceNothing)
{
    const std::pair<const char*, std::string> cases[] = {
        {"cyclic pages",
            pdfOf({"<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [2 0 R] /Count 1 >>"},
                "/Root 1 0 R")},
        {"no root", pdfOf({"<< /Type /Pages /Kids [] /Count 0 >>"}, "")},
        {"no pages",
            pdfOf({"<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [] /Count 0 >>"},
                "/Root 1 0 R")},
    };
    for (const auto& [what, content] : cases) {
        const std::string pdf = folder.file("crafted.pdf");
        test::writeFile(pdf, content);
        EXPECT_LT(protectInPlace(pdf, CPdfSecurity("u", "o", -4)), 0) << what;
        EXPECT_EQ(test::readFile(pdf), content) << what << ": replaced nothing";
        EXPECT_EQ(test::filesBelow(folder.path()), std::vector<std::string>{"crafted.pdf"}) << what;
    }
    // Nesting 200,000 deep where the page refers to it: refused, or protected
    // into a copy that opens; never a success nobody can read.
    const std::string deep
        = pdfOf({"<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
                    "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 100 100] /Junk 4 0 R >>",
                    std::string(200000, '[') + std::string(200000, ']')},
            "/Root 1 0 R");
    const std::string pdf = folder.file("deep.pdf");
    test::writeFile(pdf, deep);
    if (protectInPlace(pdf, CPdfSecurity("u", "o", -4)) == 0)
        EXPECT_EQ(test::runProgram("qpdf", {"--check", "--password=u", pdf}).exitCode, 0);
    else
        EXPECT_EQ(test::readFile(pdf), deep);

    EXPECT_EQ(EncryptPdfFile("/dev/zero", "", folder.file("zero.pdf"), nullptr), pdferror::kInputOutput)
        << "a device is no PDF, and is not read without end";
}

TEST_F(SecurityTest, TheCopyFitsWhateverThePdfsName)
{
    // 80 Hangul syllables: 240 bytes, near the file name limit.
    std::string name;
    for (int i = 0; i < 80; ++i)
        name += "보";
    const std::string pdf = folder.file(name + ".pdf");
    test::writeFile(pdf, test::readFile(test::dataFile("cups-onepage-a4.pdf")));
    EXPECT_EQ(protectInPlace(pdf, CPdfSecurity("u", "o", -4)), 0);
    EXPECT_TRUE(contains(qpdf({"--password=u", "--show-encryption", pdf}), "R = 2"));
}

TEST(PasswordBytes, WhatProtectionCanUse)
{
    EXPECT_TRUE(isUsablePassword("secret"));
    EXPECT_TRUE(isUsablePassword("café"));
    EXPECT_TRUE(isUsablePassword(""));
    // No Hangul syllable is in PDFDocEncoding, and the bytes of 국 (EA B5 AD)
    // include 0xAD, which PDFDocEncoding leaves undefined.
    EXPECT_FALSE(isUsablePassword("국"));
}

TEST_F(SecurityTest, ProtectInPlaceReplacesThePdfAndKeepsItsMode)
{
    const std::string pdf = folder.file("report.pdf");
    test::writeFile(pdf, test::readFile(test::dataFile("cups-onepage-a4.pdf")));
    chmod(pdf.c_str(), 0644);
    EXPECT_EQ(protectInPlace(pdf, CPdfSecurity("u", "o", -4)), 0);
    EXPECT_TRUE(contains(qpdf({"--password=u", "--show-encryption", pdf}), "R = 2"));
    struct stat info { };
    stat(pdf.c_str(), &info);
    EXPECT_EQ(info.st_mode & 0777, 0644u);
    EXPECT_EQ(test::filesBelow(folder.path()), std::vector<std::string>{"report.pdf"});

    const std::string broken = folder.file("broken.pdf");
    test::writeFile(broken, "%PDF-1.4 and nothing else");
    EXPECT_EQ(protectInPlace(broken, CPdfSecurity("u", "o", -4)), -3);
    EXPECT_EQ(test::readFile(broken), "%PDF-1.4 and nothing else") << "a failure leaves the PDF as it was";
    EXPECT_EQ(test::filesBelow(folder.path()), (std::vector<std::string>{"broken.pdf", "report.pdf"}));
}

TEST(Encryption, TheFourthValueNamesIt)
{
    for (const char* aes : {"AES256", "aes256", "Aes256"})
        EXPECT_EQ(encryptionNamed(aes), PdfEncryption::Aes256) << aes;
    for (const char* rc4 : {"", "x", "RC4-40", "AES", "AES-256", "AES2560", " AES256", "256"})
        EXPECT_EQ(encryptionNamed(rc4), PdfEncryption::Rc4Bits40) << rc4;
}

TEST(PermissionValue, RevisionSixGrantsTheSameRightsAndSetsItsOwnBits)
{
    // Bits 9 to 12 follow the right that covered them under revision 2;
    // accessibility (bit 10) and the reserved bits are always set.
    const std::pair<const char*, int> cases[] = {{"1111", -4}, {"0000", -3392}, {"1000", -1340},
        {"0100", -2360}, {"0010", -3376}, {"0001", -3104}, {"1010", -1324}};
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(revisionSixPermissions(permissionValue(text)), expected) << text;
}

TEST_F(SecurityTest, Aes256ProtectsWithRevisionSixAndTheRequestedRights)
{
    struct Case {
        const char* permissions;
        bool print, modify, copy, annotate;
    };
    const Case cases[] = {{"1111", true, true, true, true}, {"0000", false, false, false, false},
        {"1000", true, false, false, false}, {"0100", false, true, false, false},
        {"0010", false, false, true, false}, {"0001", false, false, false, true},
        {"1010", true, false, true, false}};
    const auto right = [](const std::string& name, bool granted) {
        return name + ": " + (granted ? "allowed" : "not allowed") + "\n";
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.permissions);
        const std::string out = protectAes("USER", "OWNER", c.permissions);
        const std::string shown = qpdf({"--show-encryption", "--password=USER", out});
        EXPECT_TRUE(contains(shown, "R = 6\n")) << shown;
        EXPECT_TRUE(
            contains(shown, "P = " + std::to_string(revisionSixPermissions(permissionValue(c.permissions)))))
            << shown;
        for (const char* method : {"stream", "string", "file"})
            EXPECT_TRUE(contains(shown, std::string(method) + " encryption method: AESv3")) << shown;
        EXPECT_TRUE(contains(shown, right("print low resolution", c.print))) << shown;
        EXPECT_TRUE(contains(shown, right("print high resolution", c.print))) << shown;
        EXPECT_TRUE(contains(shown, right("modify document assembly", c.modify))) << shown;
        EXPECT_TRUE(contains(shown, right("modify other", c.modify))) << shown;
        EXPECT_TRUE(contains(shown, right("extract for any purpose", c.copy))) << shown;
        EXPECT_TRUE(contains(shown, right("extract for accessibility", true))) << shown;
        EXPECT_TRUE(contains(shown, right("modify annotations", c.annotate))) << shown;
        EXPECT_TRUE(contains(shown, right("modify forms", c.annotate))) << shown;
        const std::string trailer = qpdf({"--show-object=trailer", "--password=USER", out});
        EXPECT_TRUE(
            contains(trailer, "/V 5") && contains(trailer, "/R 6") && contains(trailer, "/Length 256"))
            << trailer;
    }

    const std::string out = protectAes("USER", "OWNER", "1111");
    EXPECT_TRUE(opensWith("USER", out));
    EXPECT_TRUE(contains(
        qpdf({"--password=OWNER", "--show-encryption", out}), "Supplied password is owner password"));
    EXPECT_FALSE(opensWith("", out));
    EXPECT_FALSE(opensWith("user", out));
    const auto text = textWith("USER", out);
    ASSERT_TRUE(text);
    EXPECT_TRUE(contains(*text, "Single Page A4 Test Document")) << *text;
    EXPECT_EQ(textWith("wrong", out), std::nullopt);
    EXPECT_EQ(textWith("OWNER", out, "-opw"), text);
}

TEST_F(SecurityTest, Aes256KeepsTheWholeDocumentOfEveryKindOfInput)
{
    // With keys of our own, the document is read in full before its
    // encryption is replaced; past the size limit MuPDF makes the keys. Either
    // way every stream must reach the copy as it was, also from a protected
    // input.
    const std::string rc4 = protect("", "o", "1111");
    // AES inputs of another writer: every stream goes through the AES that
    // our link gives MuPDF, and the revision 6 one through its SHA-2 too.
    const std::string aes128 = folder.file("aes128-by-qpdf.pdf");
    const std::string aes256 = folder.file("aes256-by-qpdf.pdf");
    const std::string tracemonkey = test::dataFile("pdfjs-tracemonkey.pdf");
    int code128 = -1;
    int code256 = -1;
    qpdf({"--encrypt", "", "o", "128", "--use-aes=y", "--", tracemonkey, aes128}, &code128);
    qpdf({"--encrypt", "", "o", "256", "--", tracemonkey, aes256}, &code256);
    ASSERT_EQ(code128, 0);
    ASSERT_EQ(code256, 0);
    struct Case {
        std::string input;
        const char* password; // the input's owner password
    };
    const Case cases[] = {{test::dataFile("pdfjs-tracemonkey.pdf"), ""},
        {test::dataFile("pdfjs-issue16287-chromium-noid.pdf"), ""}, {rc4, "o"}, {aes128, "o"}, {aes256, "o"}};
    for (const long long ownKeysUpTo : {mupdf::RewriteRequest().ownKeysUpToBytes, 0LL}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.input + (ownKeysUpTo ? ", our keys" : ", MuPDF's keys"));
            const std::string out = folder.file("whole.pdf");
            mupdf::RewriteRequest request;
            request.inputPath = c.input.c_str();
            request.outputPath = out.c_str();
            request.password = c.password;
            request.encryption = mupdf::Encryption::Aes256;
            request.userPassword = "USER";
            request.ownerPassword = "OWNER";
            request.permissions = revisionSixPermissions(-4);
            request.ownKeysUpToBytes = ownKeysUpTo;
            ASSERT_TRUE(mupdf::rewrite(request).done());
            EXPECT_TRUE(opensWith("USER", out));
            EXPECT_FALSE(opensWith("OWNER!", out));
            const auto text = textWith("USER", out);
            ASSERT_TRUE(text);
            EXPECT_EQ(text, textWith(c.password, c.input, "-opw"));
            EXPECT_GT(text->size(), 10u) << "not both empty";
        }
    }
}

TEST_F(SecurityTest, Aes256OwnerPasswordNeverEmpty)
{
    // An empty owner password under revision 6 would open the document with
    // full rights for anyone: the user's stands in, as under revision 2.
    const std::string out = protectAes("USER", "", "0000");
    EXPECT_TRUE(
        contains(qpdf({"--password=USER", "--show-encryption", out}), "Supplied password is owner password"));
    EXPECT_FALSE(opensWith("", out));
}

TEST_F(SecurityTest, Aes256TakesHangulKanaAndHanziPasswordsPrepared)
{
    struct Case {
        const char* given;
        const char* typedInAnotherReader;
    };
    const Case cases[] = {
        {"비밀번호", "비밀번호"},
        {"ひみつのパスワード", "ひみつのパスワード"},
        {"密码保护", "密码保护"},
        {"密碼保護", "密碼保護"},
        // SASLprep: a no-break space is a space, a soft hyphen is nothing,
        // half-width katakana are the full-width ones (NFKC).
        {"pass\u00A0word", "pass word"},
        {"pass\u00ADword", "password"},
        {"\uFF8B\uFF90\uFF82", "ヒミツ"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.given);
        const std::string out = protectAes(c.given, "관리자", "1111");
        EXPECT_TRUE(opensWith(c.typedInAnotherReader, out));
        const auto text = textWith(c.typedInAnotherReader, out);
        EXPECT_TRUE(text && contains(*text, "Single Page A4 Test Document"));
        EXPECT_TRUE(contains(qpdf({"--password=관리자", "--show-encryption", out}), "owner password"));
        EXPECT_FALSE(opensWith("", out));
    }
    // The revision reads 127 bytes: a longer password is cut there, as
    // every reader cuts it.
    const std::string longPassword(41, 'x'); // so that byte 127 falls inside a syllable
    std::string hangul;
    for (int i = 0; i < 50; ++i)
        hangul += "한";
    const std::string out = protectAes(longPassword + hangul, "", "1111");
    EXPECT_TRUE(opensWith(longPassword + hangul, out));
}

TEST_F(SecurityTest, Aes256RefusesAPasswordThatCannotBePrepared)
{
    const std::string cases[] = {
        std::string("\x01secret"), // a control character
        std::string("\xC3"), // not UTF-8
        std::string("\u00AD"), // prepares to nothing
        std::string("\u0378x"), // unassigned
        std::string("\uE000x"), // private use
        std::string("a\u05D0"), // mixed directions
    };
    for (const std::string& password : cases) {
        SCOPED_TRACE(password);
        EXPECT_FALSE(isUsablePassword(password, PdfEncryption::Aes256));
        EXPECT_EQ(revisionSixPassword(password), std::nullopt);
        for (const CPdfSecurity& request : {CPdfSecurity(password, "o", -4, PdfEncryption::Aes256),
                 CPdfSecurity("u", password, -4, PdfEncryption::Aes256)}) {
            const std::string out = folder.file("refused.pdf");
            EXPECT_EQ(
                EncryptPdfFile(test::dataFile("cups-onepage-a4.pdf"), "", out, &request), pdferror::kOther);
            EXPECT_FALSE(test::fileExists(out)) << "never an open PDF";
        }
    }
    EXPECT_TRUE(isUsablePassword("", PdfEncryption::Aes256));
    EXPECT_TRUE(isUsablePassword("국", PdfEncryption::Aes256)) << "no PDFDocEncoding needed under revision 6";
}

} // namespace
