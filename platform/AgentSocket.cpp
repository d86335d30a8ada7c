#include "platform/AgentSocket.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace folyant::agent {

namespace {

constexpr char kMagic[] = {'F', 'O', 'L', 'Y', 'J', 'O', 'B', '1'};
constexpr std::size_t kHeaderSize = sizeof kMagic + 4;
// Titles and options are short; anything longer is not a job of ours.
constexpr std::uint32_t kMaxValues = 64 * 1024;
constexpr char kAcknowledged = 'A';
constexpr char kConfirmed = 'C';

struct Fd {
    int fd = -1;
    explicit Fd(int descriptor)
        : fd(descriptor)
    {
    }
    ~Fd()
    {
        if (fd >= 0)
            ::close(fd);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int release()
    {
        const int kept = fd;
        fd = -1;
        return kept;
    }
};

std::string errnoText(const std::string& what)
{
    return what + ": " + std::strerror(errno);
}

bool waitFor(int fd, short events, int timeoutMilliseconds)
{
    pollfd entry{fd, events, 0};
    for (;;) {
        const int ready = ::poll(&entry, 1, timeoutMilliseconds);
        if (ready < 0 && errno == EINTR)
            continue;
        return ready > 0 && (entry.revents & events) != 0;
    }
}

// A folder or socket that only uid controls: its own (looked at without
// following a link), of the expected kind, and for a folder closed to others
// when required.
bool ownedBy(const std::string& path, uid_t uid, mode_t kind, bool closedToOthers, std::string& why)
{
    struct stat info { };
    if (::lstat(path.c_str(), &info) != 0) {
        why = errnoText(path);
        return false;
    }
    if ((info.st_mode & S_IFMT) != kind) {
        why = path + " is not a " + (kind == S_IFDIR ? "folder" : "socket");
        return false;
    }
    if (info.st_uid != uid) {
        why = path + " belongs to uid " + std::to_string(info.st_uid) + ", not " + std::to_string(uid);
        return false;
    }
    if (closedToOthers && (info.st_mode & 077) != 0) {
        why = path + " is open to other users";
        return false;
    }
    return true;
}

bool fillAddress(const std::string& path, sockaddr_un& address, std::string& why)
{
    address = {};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) {
        why = path + ": the name is too long for a socket";
        return false;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

std::optional<uid_t> peerUid(int connection)
{
    ucred credentials{};
    socklen_t size = sizeof credentials;
    if (::getsockopt(connection, SOL_SOCKET, SO_PEERCRED, &credentials, &size) != 0)
        return std::nullopt;
    return credentials.uid;
}

// Connects without waiting on a listener that does not accept: its backlog
// full, the connection would block.
int connectTo(const std::string& path, int timeoutMilliseconds, std::string& why)
{
    sockaddr_un address{};
    if (!fillAddress(path, address, why))
        return -1;
    Fd connection(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (connection.fd < 0) {
        why = errnoText("socket");
        return -1;
    }
    if (::connect(connection.fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        if (errno != EINPROGRESS && errno != EAGAIN) {
            why = errnoText(path);
            return -1;
        }
        int error = 0;
        socklen_t size = sizeof error;
        if (!waitFor(connection.fd, POLLOUT, timeoutMilliseconds)
            || ::getsockopt(connection.fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0 || error != 0) {
            why = path + ": the agent does not accept connections";
            return -1;
        }
    }
    return connection.release();
}

bool sendAll(int fd, const char* data, std::size_t size, int timeoutMilliseconds)
{
    while (size > 0) {
        if (!waitFor(fd, POLLOUT, timeoutMilliseconds))
            return false;
        const ssize_t sent = ::send(fd, data, size, MSG_NOSIGNAL);
        if (sent < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (sent <= 0)
            return false;
        data += sent;
        size -= static_cast<std::size_t>(sent);
    }
    return true;
}

// Reads exactly size bytes; a descriptor that comes with them is kept in
// received (a second one is closed: a job has one file).
bool receiveAll(int fd, char* data, std::size_t size, int timeoutMilliseconds, int* received)
{
    while (size > 0) {
        if (!waitFor(fd, POLLIN, timeoutMilliseconds))
            return false;
        iovec part{data, size};
        alignas(cmsghdr) std::array<char, CMSG_SPACE(sizeof(int) * 4)> control{};
        msghdr message{};
        message.msg_iov = &part;
        message.msg_iovlen = 1;
        message.msg_control = control.data();
        message.msg_controllen = control.size();
        const ssize_t got = ::recvmsg(fd, &message, MSG_CMSG_CLOEXEC | MSG_DONTWAIT);
        if (got < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (got < 0)
            return false;
        for (cmsghdr* header = CMSG_FIRSTHDR(&message); header; header = CMSG_NXTHDR(&message, header)) {
            if (header->cmsg_level != SOL_SOCKET || header->cmsg_type != SCM_RIGHTS)
                continue;
            const std::size_t count = (header->cmsg_len - CMSG_LEN(0)) / sizeof(int);
            for (std::size_t i = 0; i < count; ++i) {
                int passed = -1;
                std::memcpy(&passed, CMSG_DATA(header) + i * sizeof(int), sizeof(int));
                if (received && *received < 0)
                    *received = passed;
                else
                    ::close(passed);
            }
        }
        if (got == 0)
            return false;
        data += got;
        size -= static_cast<std::size_t>(got);
    }
    return true;
}

std::string encode(const JobValues& values)
{
    std::string text;
    for (const auto& [name, value] : values) {
        // A value is an argument of the backend or a number: it holds no NUL.
        text += name;
        text += '\0';
        text += value.substr(0, value.find('\0'));
        text += '\0';
    }
    return text;
}

std::optional<JobValues> decode(const std::string& text)
{
    JobValues values;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t nameEnd = text.find('\0', at);
        if (nameEnd == std::string::npos)
            return std::nullopt;
        const std::size_t valueEnd = text.find('\0', nameEnd + 1);
        if (valueEnd == std::string::npos)
            return std::nullopt;
        values[text.substr(at, nameEnd - at)] = text.substr(nameEnd + 1, valueEnd - nameEnd - 1);
        at = valueEnd + 1;
    }
    return values;
}

} // namespace

std::string runtimeFolderOf(uid_t uid)
{
    const char* root = std::getenv("FOLYANT_RUNTIME_ROOT");
    return std::string(root && *root ? root : "/run/user") + "/" + std::to_string(uid);
}

std::string agentFolder(const std::string& runtimeFolder)
{
    return runtimeFolder + "/folyant";
}

std::string socketPath(const std::string& runtimeFolder)
{
    return agentFolder(runtimeFolder) + "/session.socket";
}

int listenForJobs(const std::string& runtimeFolder, std::string& why)
{
    const uid_t uid = ::getuid();
    if (!ownedBy(runtimeFolder, uid, S_IFDIR, false, why))
        return -1;
    const std::string folder = agentFolder(runtimeFolder);
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        why = errnoText(folder);
        return -1;
    }
    if (!ownedBy(folder, uid, S_IFDIR, true, why))
        return -1;
    const std::string path = socketPath(runtimeFolder);
    sockaddr_un address{};
    if (!fillAddress(path, address, why))
        return -1;
    Fd listener(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (listener.fd < 0) {
        why = errnoText("socket");
        return -1;
    }
    ::unlink(path.c_str());
    if (::bind(listener.fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0
        || ::chmod(path.c_str(), 0600) != 0 || ::listen(listener.fd, 16) != 0) {
        why = errnoText(path);
        return -1;
    }
    return listener.release();
}

bool agentAnswers(const std::string& runtimeFolder)
{
    std::string ignored;
    Fd connection(connectTo(socketPath(runtimeFolder), 1000, ignored));
    return connection.fd >= 0;
}

namespace {

// Connects to the agent of the user uid (nothing returned, connection set)
// when its socket, the socket's folder and the listening process are that
// user's own; otherwise why not.
std::optional<Handover> connectToOwnAgent(
    uid_t uid, const std::string& runtimeFolder, int timeoutMilliseconds, int& connection, std::string& why)
{
    const std::string folder = agentFolder(runtimeFolder);
    const std::string path = socketPath(runtimeFolder);
    struct stat info { };
    if (::lstat(path.c_str(), &info) != 0) {
        why = errnoText(path);
        return Handover::NoAgent;
    }
    if (!ownedBy(runtimeFolder, uid, S_IFDIR, false, why) || !ownedBy(folder, uid, S_IFDIR, true, why)
        || !ownedBy(path, uid, S_IFSOCK, false, why))
        return Handover::Untrusted;
    connection = connectTo(path, timeoutMilliseconds, why);
    if (connection < 0)
        return Handover::NoAgent;
    const auto listenerUid = peerUid(connection);
    if (!listenerUid || *listenerUid != uid) {
        why = path + ": the listening process does not run as uid " + std::to_string(uid);
        return Handover::Untrusted;
    }
    return std::nullopt;
}

// Sends bytes with a descriptor riding on them; true when all of them went.
bool sendWithDescriptor(int socket, const std::string& bytes, int descriptor, int timeoutMilliseconds)
{
    iovec part{const_cast<char*>(bytes.data()), bytes.size()};
    alignas(cmsghdr) std::array<char, CMSG_SPACE(sizeof(int))> control{};
    msghdr message{};
    message.msg_iov = &part;
    message.msg_iovlen = 1;
    message.msg_control = control.data();
    message.msg_controllen = control.size();
    cmsghdr* rights = CMSG_FIRSTHDR(&message);
    rights->cmsg_level = SOL_SOCKET;
    rights->cmsg_type = SCM_RIGHTS;
    rights->cmsg_len = CMSG_LEN(sizeof(int));
    std::memcpy(CMSG_DATA(rights), &descriptor, sizeof(int));
    ssize_t sent = -1;
    if (waitFor(socket, POLLOUT, timeoutMilliseconds)) {
        do
            sent = ::sendmsg(socket, &message, MSG_NOSIGNAL);
        while (sent < 0 && errno == EINTR);
    }
    return sent == static_cast<ssize_t>(bytes.size());
}

} // namespace

Handover handOver(int jobFile, const JobValues& values, uid_t uid, const std::string& runtimeFolder,
    int timeoutMilliseconds, std::string& why)
{
    // One limit for the whole exchange: a user's agent that answers slowly
    // at every step must not hold the queue for several limits.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMilliseconds);
    const auto remaining = [&deadline] {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        return static_cast<int>(std::max<std::chrono::milliseconds::rep>(left.count(), 0));
    };
    Fd connection(-1);
    if (const auto refused = connectToOwnAgent(uid, runtimeFolder, remaining(), connection.fd, why))
        return *refused;

    const std::string payload = encode(values);
    if (payload.size() > kMaxValues) {
        why = "the job's title and options are too long to hand over";
        return Handover::NoAgent;
    }
    std::string header(kMagic, sizeof kMagic);
    const auto size = static_cast<std::uint32_t>(payload.size());
    for (int shift = 24; shift >= 0; shift -= 8)
        header += static_cast<char>((size >> shift) & 0xff);

    // The file travels with the first bytes.
    if (!sendWithDescriptor(connection.fd, header, jobFile, remaining())
        || !sendAll(connection.fd, payload.data(), payload.size(), remaining())) {
        why = "the agent did not take the job";
        return Handover::NoAnswer;
    }
    char answer = 0;
    if (!receiveAll(connection.fd, &answer, 1, remaining(), nullptr) || answer != kAcknowledged) {
        why = "the agent did not acknowledge the job in time";
        return Handover::NoAnswer;
    }
    if (!sendAll(connection.fd, &kConfirmed, 1, remaining())) {
        why = "the agent went away before the job was confirmed";
        return Handover::NoAnswer;
    }
    return Handover::Delivered;
}

std::optional<ReceivedJob> receiveJob(int connection, int timeoutMilliseconds, std::string& why)
{
    const auto peer = peerUid(connection);
    if (!peer || *peer != ::getuid()) {
        why = "a connection from another user was refused";
        return std::nullopt;
    }
    char header[kHeaderSize];
    int passed = -1;
    const bool gotHeader = receiveAll(connection, header, sizeof header, timeoutMilliseconds, &passed);
    Fd file(passed);
    if (!gotHeader || std::memcmp(header, kMagic, sizeof kMagic) != 0) {
        // A connection that only looks whether an agent answers says nothing.
        why = gotHeader ? "not a job" : "";
        return std::nullopt;
    }
    std::uint32_t size = 0;
    for (std::size_t i = sizeof kMagic; i < kHeaderSize; ++i)
        size = (size << 8) | static_cast<unsigned char>(header[i]);
    if (size > kMaxValues) {
        why = "the job's values are too long";
        return std::nullopt;
    }
    std::string payload(size, '\0');
    if (!receiveAll(connection, payload.data(), payload.size(), timeoutMilliseconds, nullptr)) {
        why = "the job's values did not arrive";
        return std::nullopt;
    }
    auto values = decode(payload);
    struct stat info { };
    if (!values || file.fd < 0 || ::fstat(file.fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        why = "the job came without its file";
        return std::nullopt;
    }
    char answer = 0;
    if (!sendAll(connection, &kAcknowledged, 1, timeoutMilliseconds)
        || !receiveAll(connection, &answer, 1, timeoutMilliseconds, nullptr) || answer != kConfirmed) {
        why = "the printer did not confirm the job; it converts it itself";
        return std::nullopt;
    }
    return ReceivedJob{file.release(), std::move(*values)};
}

} // namespace folyant::agent
