#include "tests/support/TestSupport.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace folyant::test {

namespace fs = std::filesystem;

TempFolder::TempFolder()
{
    std::string pattern = (fs::temp_directory_path() / "folyant-test-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    m_path = pattern;
}

TempFolder::~TempFolder()
{
    std::error_code ignored;
    fs::permissions(m_path, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(m_path, ignored);
}

ThrowAwayUser::ThrowAwayUser()
{
    if (geteuid() != 0)
        return;
    std::string pattern = "/tmp/folyant-home-XXXXXX";
    if (!mkdtemp(pattern.data()))
        return;
    m_base = pattern;
    fs::permissions(m_base,
        fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec | fs::perms::others_read
            | fs::perms::others_exec);
    // Several in one test: each needs a name of its own.
    static int made = 0;
    const std::string name = "fvtest" + std::to_string(getpid()) + "u" + std::to_string(++made);
    const std::string home = m_base + "/" + name;
    if (runProgram("useradd", {"--create-home", "--home-dir", home, "--shell", "/usr/sbin/nologin", name})
            .exitCode
        != 0)
        return;
    m_name = name;
    m_home = home;
}

void endOffice(const std::string& officeFolder)
{
    std::ifstream record(officeFolder + "/instance");
    for (std::string line; std::getline(record, line);) {
        if (line.rfind("pid=", 0) != 0)
            continue;
        const long pid = std::strtol(line.c_str() + 4, nullptr, 10);
        if (pid <= 1 || ::kill(static_cast<pid_t>(-pid), SIGKILL) != 0)
            return;
        for (int tries = 0; tries < 100 && ::kill(static_cast<pid_t>(pid), 0) == 0; ++tries)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

ThrowAwayUser::~ThrowAwayUser()
{
    std::error_code ignored;
    // The user's warm office outlives the jobs that started it; it goes
    // first, so that its pipe is gone before /tmp is swept.
    if (!m_home.empty())
        endOffice(m_home + "/.local/state/folyant/office");
    // What the user's programs left in /tmp goes with the user: LibreOffice's
    // pipe of an office that was ended, its temporary files, Java's
    // performance data. Only what the user owns, found by its owner.
    if (const passwd* entry = m_name.empty() ? nullptr : getpwnam(m_name.c_str())) {
        const uid_t uid = entry->pw_uid;
        for (const auto& item : fs::directory_iterator("/tmp", ignored)) {
            struct stat status { };
            if (::lstat(item.path().c_str(), &status) == 0 && status.st_uid == uid)
                fs::remove_all(item.path(), ignored);
        }
    }
    if (!m_name.empty())
        runProgram("userdel", {m_name});
    if (!m_base.empty())
        fs::remove_all(m_base, ignored);
}

void ThrowAwayUser::own(const std::string& path) const
{
    const passwd* entry = getpwnam(m_name.c_str());
    if (!entry)
        return;
    std::error_code ignored;
    [[maybe_unused]] const int changed = chown(path.c_str(), entry->pw_uid, entry->pw_gid);
    for (const auto& item : fs::recursive_directory_iterator(path, ignored))
        [[maybe_unused]] const int each = lchown(item.path().c_str(), entry->pw_uid, entry->pw_gid);
}

void printReadyPostScript(const std::string& document, const std::string&, const std::string& temporary)
{
    const std::string content = readFile(document);
    if (content.rfind("%!", 0) == 0)
        writeFile(temporary, content);
}

double sharedWords(const std::string& original, const std::string& copy)
{
    const auto words = [](const std::string& text) {
        std::vector<std::string> found;
        std::string word;
        for (const QChar c : QString::fromStdString(text + " ")) {
            if (c.isLetterOrNumber()) {
                word += QString(c).toStdString();
            } else {
                if (QString::fromStdString(word).size() >= 4)
                    found.push_back(word);
                word.clear();
            }
        }
        std::sort(found.begin(), found.end());
        return found;
    };
    const auto wanted = words(pdfText(original));
    const auto have = words(pdfText(copy));
    if (wanted.empty())
        return 0;
    std::size_t kept = 0;
    for (const std::string& word : wanted)
        kept += std::binary_search(have.begin(), have.end(), word) ? 1 : 0;
    return static_cast<double>(kept) / static_cast<double>(wanted.size());
}

std::string pageSizes(const std::string& pdf)
{
    std::istringstream info(runProgram("pdfinfo", {"-f", "1", "-l", "10000", pdf}).out);
    std::string sizes;
    for (std::string line; std::getline(info, line);) {
        const std::size_t at = line.find(" size:");
        if (line.rfind("Page ", 0) == 0 && at != std::string::npos)
            sizes += line.substr(at + 6, line.find(" pts") - at - 6) + "\n";
    }
    return sizes;
}

bool samePageSizes(const std::string& pdf, const std::string& other)
{
    std::istringstream one(pageSizes(pdf));
    std::istringstream two(pageSizes(other));
    double width = 0, height = 0, otherWidth = 0, otherHeight = 0;
    std::string by;
    for (;;) {
        const bool more = static_cast<bool>(one >> width >> by >> height);
        const bool otherMore = static_cast<bool>(two >> otherWidth >> by >> otherHeight);
        if (more != otherMore)
            return false;
        if (!more)
            return true;
        if (std::abs(width - otherWidth) > 1 || std::abs(height - otherHeight) > 1)
            return false;
    }
}

bool allFontsEmbedded(const std::string& pdf)
{
    std::istringstream fonts(runProgram("pdffonts", {pdf}).out);
    static const std::regex columns(R"(\s(yes|no)\s+(yes|no)\s+(yes|no)\s+\d+\s+\d+\s*$)");
    std::smatch match;
    for (std::string line; std::getline(fonts, line);)
        if (std::regex_search(line, match, columns) && match[1] == "no")
            return false;
    return true;
}

std::string developmentMachineSettings(const std::string& moreLines)
{
    return "[General]\nGSLibPath=\"" FOLYANT_DEV_LIB "\"\nGSFontPath=\"" FOLYANT_GS_FONT_FOLDER "\"\n"
        + moreLines;
}

std::string dataFile(const std::string& name)
{
    return std::string(FOLYANT_TEST_DATA) + "/" + name;
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

std::vector<unsigned char> bytesFromHex(const std::string& digits)
{
    std::vector<unsigned char> bytes;
    for (std::size_t i = 0; i + 1 < digits.size(); i += 2)
        bytes.push_back(static_cast<unsigned char>(std::stoi(digits.substr(i, 2), nullptr, 16)));
    return bytes;
}

void writeFile(const std::string& path, const std::string& content)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

void writeScript(const std::string& path, const std::string& body)
{
    writeFile(path, "#!/bin/sh\n" + body);
    fs::permissions(path, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);
}

std::vector<std::string> recordedWords(const std::string& path)
{
    std::vector<std::string> words;
    const std::string content = readFile(path);
    std::size_t from = 0;
    for (std::size_t at; (at = content.find('\0', from)) != std::string::npos; from = at + 1)
        words.push_back(content.substr(from, at - from));
    return words;
}

bool fileExists(const std::string& path)
{
    std::error_code ignored;
    return fs::exists(fs::symlink_status(path, ignored));
}

std::set<std::string> wordsOf(const std::string& text)
{
    std::set<std::string> words;
    std::string word;
    const auto flush = [&] {
        if (!word.empty())
            words.insert(word);
        word.clear();
    };
    for (std::size_t at = 0; at < text.size();) {
        const auto lead = static_cast<unsigned char>(text[at]);
        const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        const std::string unit = text.substr(at, length);
        at += length;
        if (length == 1 && std::isspace(lead)) {
            flush();
        } else if (length >= 3) {
            flush();
            words.insert(unit);
        } else {
            word += unit;
        }
    }
    flush();
    words.erase("Folyant");
    words.erase("Velmo");
    return words;
}

std::vector<std::string> filesBelow(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        names.push_back(fs::relative(entry.path(), folder).string());
    std::sort(names.begin(), names.end());
    return names;
}

bool startProgram(QProcess& process, const std::string& program, const std::vector<std::string>& arguments,
    const Environment& environment)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const auto& [name, value] : environment)
        env.insert(QString::fromStdString(name), QString::fromStdString(value));
    process.setProcessEnvironment(env);
    QStringList list;
    for (const auto& argument : arguments)
        list << QString::fromStdString(argument);
    process.start(QString::fromStdString(program), list);
    return process.waitForStarted();
}

ProcessResult runProgram(const std::string& program, const std::vector<std::string>& arguments,
    const std::string& standardInput, const Environment& environment)
{
    QProcess process;
    ProcessResult result;
    if (!startProgram(process, program, arguments, environment))
        return result;
    process.write(standardInput.data(), static_cast<qint64>(standardInput.size()));
    process.closeWriteChannel();
    process.waitForFinished(120000);
    if (process.exitStatus() == QProcess::NormalExit)
        result.exitCode = process.exitCode();
    result.out = process.readAllStandardOutput().toStdString();
    result.err = process.readAllStandardError().toStdString();
    return result;
}

int pdfPageCount(const std::string& pdf)
{
    const ProcessResult info = runProgram("pdfinfo", {pdf});
    if (info.exitCode != 0)
        return -1;
    std::istringstream lines(info.out);
    for (std::string line; std::getline(lines, line);)
        if (line.rfind("Pages:", 0) == 0)
            return std::atoi(line.c_str() + 6);
    return -1;
}

std::string pdfText(const std::string& pdf)
{
    return runProgram("pdftotext", {pdf, "-"}).out;
}

int pagesWithStamp(const std::string& pdf, int pages)
{
    int stamped = 0;
    for (int page = 1; page <= pages; ++page) {
        const std::string number = std::to_string(page);
        const std::string text = runProgram("pdftotext", {"-f", number, "-l", number, pdf, "-"}).out;
        if (text.find("Folyant Velmo") != std::string::npos)
            ++stamped;
    }
    return stamped;
}

std::vector<int> stampsPerPage(const std::string& pdf)
{
    std::vector<int> stamps;
    for (int page = 1; page <= pdfPageCount(pdf); ++page) {
        const std::string number = std::to_string(page);
        const std::string text = runProgram("pdftotext", {"-f", number, "-l", number, pdf, "-"}).out;
        int count = 0;
        for (auto at = text.find("Folyant Velmo"); at != std::string::npos;
             at = text.find("Folyant Velmo", at + 1))
            ++count;
        stamps.push_back(count);
    }
    return stamps;
}

} // namespace folyant::test
