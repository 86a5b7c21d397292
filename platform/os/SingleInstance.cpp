// Single-instance probe on an abstract Unix socket: the name vanishes with the
// process that holds it, so a crashed copy never blocks the next start. The
// event loop watches the socket through a Qt socket notifier.
#include "platform/os/SingleInstance.h"

#include "platform/os/ConfigFolder.h"
#include "platform/rtl/Classes.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

namespace {

// A client that connected has this long to send its message number.
constexpr int MessageWaitMs = 1000;

uint64_t Fnv1a(const std::string& text) {
    uint64_t hash = 14695981039346656037ull;
    for (unsigned char c : text) {
        hash ^= c;
        hash *= 1099511628211ull;
    }
    return hash;
}

// The leading zero byte puts the name in the abstract namespace.
sockaddr_un InstanceAddress(const std::string& title, socklen_t& length) {
    char name[64];
    const int nameLength = std::snprintf(name, sizeof name, "corvanta-instance-%u-%016llx", unsigned(getuid()),
                                         static_cast<unsigned long long>(Fnv1a(UserConfigFolder() + '\n' + title)));
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path + 1, name, nameLength);
    length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + nameLength);
    return address;
}

void EncodeMessage(uint32_t msg, unsigned char* bytes) {
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<unsigned char>(msg >> (8 * i));
}

uint32_t DecodeMessage(const unsigned char* bytes) {
    uint32_t msg = 0;
    for (int i = 0; i < 4; ++i)
        msg |= uint32_t(bytes[i]) << (8 * i);
    return msg;
}

// Reads the four bytes of one message; false when the client sent less.
bool ReadMessage(int connection, uint32_t& msg) {
    unsigned char bytes[4];
    size_t received = 0;
    while (received < sizeof bytes) {
        pollfd waiting{connection, POLLIN, 0};
        if (poll(&waiting, 1, MessageWaitMs) <= 0) return false;
        const ssize_t count = recv(connection, bytes + received, sizeof bytes - received, 0);
        if (count <= 0) return false;
        received += size_t(count);
    }
    msg = DecodeMessage(bytes);
    return true;
}

} // namespace

struct TSingleInstance::TListener {
    int Socket = -1;
    std::unique_ptr<QSocketNotifier> Notifier;
};

namespace {

// Listeners made before the application object existed get their notifier when
// it is constructed (Qt runs its pre-routines at the end of that constructor).
std::vector<TSingleInstance*>& WaitingForApplication() {
    static std::vector<TSingleInstance*> waiting;
    return waiting;
}

} // namespace

bool PostToRunningInstance(const std::string& Title, uint32_t Msg) {
    const int client = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (client < 0) return false;
    socklen_t length = 0;
    const sockaddr_un address = InstanceAddress(Title, length);
    bool posted = false;
    if (connect(client, reinterpret_cast<const sockaddr*>(&address), length) == 0) {
        unsigned char bytes[4];
        EncodeMessage(Msg, bytes);
        posted = send(client, bytes, sizeof bytes, MSG_NOSIGNAL) == ssize_t(sizeof bytes);
    }
    close(client);
    return posted;
}

TSingleInstance::TSingleInstance(std::string Title) : FTitle(std::move(Title)) {}

TSingleInstance::~TSingleInstance() {
    auto& waiting = WaitingForApplication();
    waiting.erase(std::remove(waiting.begin(), waiting.end(), this), waiting.end());
    if (FListener) {
        FListener->Notifier.reset();
        close(FListener->Socket);
    }
}

bool TSingleInstance::Listening() const {
    return FListener != nullptr;
}

bool TSingleInstance::Listen() {
    if (FListener) return true;
    const int server = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (server < 0) return false;
    socklen_t length = 0;
    const sockaddr_un address = InstanceAddress(FTitle, length);
    if (bind(server, reinterpret_cast<const sockaddr*>(&address), length) != 0 || listen(server, 8) != 0) {
        close(server);
        return false;
    }
    FListener = std::make_unique<TListener>();
    FListener->Socket = server;

    static const auto attachWaiting = [] {
        for (TSingleInstance* instance : WaitingForApplication()) {
            auto notifier = std::make_unique<QSocketNotifier>(instance->FListener->Socket, QSocketNotifier::Read);
            QObject::connect(notifier.get(), &QSocketNotifier::activated, notifier.get(), [instance] {
                // Nothing may escape into Qt's event loop.
                try {
                    instance->ProcessMessages(0);
                } catch (const std::exception& error) {
                    std::fprintf(stderr, "%s\n", error.what());
                }
            });
            instance->FListener->Notifier = std::move(notifier);
        }
        WaitingForApplication().clear();
    };
    WaitingForApplication().push_back(this);
    static const bool routineAdded = (qAddPreRoutine(+[] { attachWaiting(); }), true);
    (void)routineAdded;
    if (QCoreApplication::instance()) attachWaiting();
    return true;
}

int TSingleInstance::ProcessMessages(int TimeoutMs) {
    if (!FListener) return 0;
    pollfd waiting{FListener->Socket, POLLIN, 0};
    if (poll(&waiting, 1, TimeoutMs) <= 0) return 0;
    int delivered = 0;
    for (;;) {
        const int connection = accept4(FListener->Socket, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0) break;
        uint32_t msg = 0;
        const bool received = ReadMessage(connection, msg);
        close(connection);
        if (!received) continue;
        ++delivered;
        Fire(OnMessage, msg);
    }
    return delivered;
}
