// The sensor-board library answers every well-formed request: the built Brannic.so, loaded as the
// program loads it and driven through its exports alone by a host that writes frames (whole,
// short, long, badly summed, with bytes after them) and reads replies in any order, past their
// end too. A model of the mailbox says what each export must give: a request frame closes at its
// length byte and the bytes after it are lost until the board has dealt with it; a frame shorter
// than 4 bytes or badly summed is dropped and the mailbox opens again; a well-formed one is
// answered, byte for byte, before the mailbox opens again; a new reply replaces one the host has
// not begun to read or has read to its end, when the host next asks for the ready byte; reading on
// past a reply's end starts it again at byte 0. The board runs on its own thread, so these cases
// wait for it in real time, never longer than it takes.
#include <dlfcn.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <optional>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "property_support.h"
#include "rig.h"

namespace {
using Bytes = std::vector<uint8_t>;
using Clock = std::chrono::steady_clock;

// The board looks into its mailbox every 50 ms; a frame it has not dealt with in a second it never
// will (the program's link waits 100 ms to 2 s for a reply).
constexpr auto kAnswerWithin = std::chrono::milliseconds(1000);

struct Exports {
    uint8_t (*setRxData)(int) = nullptr;
    uint8_t (*getTxFlag)() = nullptr;
    uint8_t (*getTxCount)() = nullptr;
    int (*getTxData)(int) = nullptr;
};

template <typename Fn>
void Bind(void* handle, const char* name, Fn* function) {
    *function = reinterpret_cast<Fn>(dlsym(handle, name));
}

// The library, loaded once for the whole program with its parameter file in a folder of its own,
// and its worker started, in the program's order.
const Exports* Library() {
    static const Exports* bound = []() -> const Exports* {
        void* handle = dlopen(KORVI_BRANNIC_PATH, RTLD_NOW | RTLD_LOCAL);
        if (handle == nullptr) return nullptr;
        static Exports x;
        int (*setFolder)(const char*) = nullptr;
        uint32_t (*setSfxFlag)(uint32_t) = nullptr;
        uintptr_t (*start)() = nullptr;
        Bind(handle, "SetEEPROMBinFilePath", &setFolder);
        Bind(handle, "SetSFXFlag", &setSfxFlag);
        Bind(handle, "Slave_Start_Handle", &start);
        Bind(handle, "Main_SetSlaveRxData", &x.setRxData);
        Bind(handle, "Main_GetSlaveTxFlag", &x.getTxFlag);
        Bind(handle, "Main_GetSlaveTxCount", &x.getTxCount);
        Bind(handle, "Main_GetSlaveTxData", &x.getTxData);
        if (!setFolder || !setSfxFlag || !start || !x.setRxData || !x.getTxFlag || !x.getTxCount || !x.getTxData)
            return nullptr;
        static const std::string folder = Rig_MakeTempFolder() + "/";
        setSfxFlag(0);
        setFolder(folder.c_str());
        start();
        return &x;
    }();
    return bound;
}

uint8_t Sum(const Bytes& bytes, size_t n) {
    uint8_t sum = 0;
    for (size_t i = 0; i < n; ++i) sum = static_cast<uint8_t>(sum + bytes[i]);
    return sum;
}

// ---- The board as the model knows it: the reply to a well-formed request -------------------------

struct RequestType {
    uint8_t type;
    uint8_t argumentsNeeded;
    uint8_t largestArgument;  // the first argument's largest accepted value (255: any)
};
// Types whose replies depend on nothing but the request: set value, range, gain, identity, the
// update request with a flag (not 0, which writes the parameter file), and types the board does not
// handle.
const RequestType kTypes[] = {{0x04, 4, 255}, {0x03, 1, 5}, {0x10, 1, 2}, {0x11, 0, 255}, {0xB1, 1, 255}};
const std::vector<uint8_t> kTypeBytes = {0x04, 0x03, 0x10, 0x11, 0xB1, 0x0B, 0x15, 0x42, 0xFF};
constexpr uint8_t kIdentity = 0x11;
constexpr uint8_t kSetValue = 0x04;
// A type the board does not handle and the steps never send: its reply is told from any other.
constexpr uint8_t kKnownStart = 0x7E;

const RequestType* TypeOf(uint8_t type) {
    for (const RequestType& t : kTypes) {
        if (t.type == type) return &t;
    }
    return nullptr;
}

// The 48 bytes the board reports as its identity.
Bytes IdentityPayload() {
    Bytes p(48, 0);
    p[0] = 1;
    std::memcpy(&p[1], "12345678", 8);
    std::memcpy(&p[13], "1.0", 3);
    std::memcpy(&p[17], "58203146", 8);
    std::memcpy(&p[27], "1.1.09", 6);
    std::memcpy(&p[35], "121.0.0.01", 10);
    p[45] = '0';
    return p;
}

Bytes Reply(uint8_t type, const Bytes& arguments) {
    const RequestType* t = TypeOf(type);
    uint8_t status = 0;
    Bytes payload;
    if (t == nullptr || t->argumentsNeeded > arguments.size()) {
        status = t == nullptr ? 3 : 7;
    } else if (type == kIdentity) {
        payload = IdentityPayload();
    } else if (type == kSetValue) {
        uint32_t word =
            static_cast<uint32_t>(arguments[0]) << 24 | arguments[1] << 16 | arguments[2] << 8 | arguments[3];
        float value;
        std::memcpy(&value, &word, 4);
        status = std::isnan(value) ? 7 : 0;
    } else if (t->argumentsNeeded > 0 && arguments[0] > t->largestArgument) {
        status = 7;
    }
    Bytes reply = {0x33, static_cast<uint8_t>(payload.size() + 5), type, status};
    reply.insert(reply.end(), payload.begin(), payload.end());
    reply.push_back(static_cast<uint8_t>(0u - Sum(reply, reply.size())));
    return reply;
}

// ---- The mailbox model ----------------------------------------------------------------------------

struct Mailbox {
    Bytes received;        // the frame being received
    bool waiting = false;  // it is complete and waits for the board
    Bytes reply;           // the reply the host reads
    uint8_t position = 0;
    bool ready = false;
    std::optional<Bytes> fresh;  // armed by the board, not yet taken by the host

    void Take(uint8_t byte) {
        received.push_back(byte);
        if (received.size() >= 2 && received.size() >= received[1]) waiting = true;
    }
    bool WellFormed() const {
        uint8_t length = received[1];
        return length >= 4 && static_cast<uint8_t>(0u - Sum(received, length - 1u)) == received[length - 1];
    }
    // The board deals with the waiting frame: a well-formed one is answered; the mailbox opens.
    void Work() {
        if (WellFormed()) fresh = Reply(received[2], Bytes(received.begin() + 3, received.begin() + received[1] - 1));
        received.clear();
        waiting = false;
    }
    uint8_t Flag() {
        if (fresh && (position == 0 || !ready)) {
            reply = *fresh;
            fresh.reset();
            position = 0;
            ready = true;
        }
        return ready ? 1 : 0;
    }
    uint8_t Count() const { return static_cast<uint8_t>(reply.size()); }
    uint8_t Data() {
        uint8_t byte = reply[position];
        if (position + 1u >= reply.size()) {
            position = 0;
            ready = false;
        } else {
            ++position;
        }
        return byte;
    }
};

// ---- Host steps -----------------------------------------------------------------------------------

enum class Act : uint8_t { kRequest, kShort, kBadSum, kLong, kLook, kCount, kRead, kFetch };

struct HostStep {
    Act act = Act::kLook;
    uint8_t type = kIdentity;
    Bytes arguments;
    // kRequest: bytes sent after the frame; kShort: the length byte (0 to 3); kBadSum: what is
    // added to the checksum; kLong: how many bytes more the length byte claims; kRead: how many
    // bytes are read.
    uint8_t n = 0;
};

struct MailboxCase {
    std::vector<HostStep> steps;
};

void showValue(const MailboxCase& c, std::ostream& os) {
    static const char* const kNames[] = {"request", "short", "bad sum", "long", "look", "count", "read", "fetch"};
    for (const HostStep& s : c.steps) {
        os << kNames[static_cast<int>(s.act)];
        if (s.act <= Act::kLong) {
            char text[8];
            std::snprintf(text, sizeof text, " %02X", s.type);
            os << text << " [";
            for (uint8_t b : s.arguments) {
                std::snprintf(text, sizeof text, " %02X", b);
                os << text;
            }
            os << " ]";
        }
        if (s.act != Act::kLook && s.act != Act::kCount && s.act != Act::kFetch) os << " " << int(s.n);
        os << "; ";
    }
}

// The frame a step sends: 77, its length, the type, the arguments, the checksum.
Bytes FrameOf(const HostStep& s) {
    Bytes frame = {0x77, static_cast<uint8_t>(s.arguments.size() + 4), s.type};
    frame.insert(frame.end(), s.arguments.begin(), s.arguments.end());
    frame.push_back(static_cast<uint8_t>(0u - Sum(frame, frame.size())));
    if (s.act == Act::kBadSum) frame.back() = static_cast<uint8_t>(frame.back() + s.n);
    if (s.act == Act::kLong) frame[1] = static_cast<uint8_t>(frame[1] + s.n);
    if (s.act == Act::kShort) frame = Bytes(frame.begin(), frame.begin() + (s.n < 2 ? 2 : s.n));
    if (s.act == Act::kShort) frame[1] = s.n;
    if (s.act == Act::kRequest) frame.insert(frame.end(), s.n, 0x77);
    return frame;
}

class Host {
public:
    Host(const Exports& x, Mailbox* m) : m_X(x), m_M(*m) {}

    // A byte the mailbox takes. One it refuses while the model has a frame waiting is lost when
    // mayBeLost, else sent again until taken (the board has dealt with the frame); one it refuses
    // while no frame waits is sent again too: the board is opening the mailbox that moment.
    void Send(uint8_t byte, bool mayBeLost) {
        Clock::time_point deadline = Clock::now() + kAnswerWithin;
        for (;;) {
            bool taken = m_X.setRxData(byte) != 0;
            // A byte taken while the model had a frame waiting: the board has dealt with it.
            if (taken && m_M.waiting) m_M.Work();
            if (taken) {
                m_M.Take(byte);
                return;
            }
            if (mayBeLost && m_M.waiting) return;
            ASSERT_LT(Clock::now(), deadline) << "the mailbox did not open again within its time";
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }

    // The board has dealt with a waiting frame that it answers, so that what the host reads next
    // is certain: the start byte of the next frame is sent, and taken once the mailbox is open.
    void Settle() {
        if (m_M.waiting && m_M.WellFormed()) Send(0x77, false);
    }

    // A frame's first byte waits for the mailbox to open; the others are lost while a frame waits.
    void Frame(const Bytes& frame) {
        // A frame begun by Settle goes on from its start byte.
        size_t from = m_M.received.size() == 1 && !m_M.waiting ? 1 : 0;
        for (size_t i = from; i < frame.size(); ++i) {
            Send(frame[i], i > from);
        }
    }

    void Look() { ASSERT_EQ(m_X.getTxFlag(), m_M.Flag()) << "the ready byte"; }
    void Count() { ASSERT_EQ(m_X.getTxCount(), m_M.Count()) << "the reply's length"; }
    void Read(uint32_t n) {
        for (uint32_t i = 0; i < n; ++i) {
            uint8_t position = m_M.position;
            ASSERT_EQ(m_X.getTxData(0), m_M.Data()) << "reply byte " << int(position) << " of " << m_M.reply.size();
        }
    }

private:
    const Exports& m_X;
    Mailbox& m_M;
};

// Whatever an earlier case left in the library (a frame begun or waiting, a reply half read, one
// not taken), through the exports alone: the mailbox empty and open, the reply in hand one to a
// request no step sends, read to its end.
void StartFromKnownMailbox(const Exports& x, Mailbox* m) {
    for (int i = 0; i < 300 && x.setRxData(0) != 0; ++i) {}
    Clock::time_point deadline = Clock::now() + 2 * kAnswerWithin;
    while (x.setRxData(0x77) == 0) {
        ASSERT_LT(Clock::now(), deadline) << "the mailbox never opened";
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    const Bytes known = Reply(kKnownStart, {});
    for (uint8_t b : {uint8_t{0x04}, kKnownStart, static_cast<uint8_t>(0u - 0x77 - 0x04 - kKnownStart)}) x.setRxData(b);
    for (;;) {
        ASSERT_LT(Clock::now(), deadline) << "no reply to the first request";
        if (x.getTxFlag() == 0) {
            // Reading on moves a reply stopped half way to its end.
            x.getTxData(0);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            continue;
        }
        Bytes got(x.getTxCount());
        for (uint8_t& b : got) b = static_cast<uint8_t>(x.getTxData(0));
        if (got == known) break;
    }
    *m = Mailbox{};
    m->reply = known;
}

void CheckMailbox(const MailboxCase& c) {
    const Exports* x = Library();
    if (x == nullptr) {
        ADD_FAILURE() << "the library did not load: " << dlerror();
        return;
    }
    Mailbox m;
    StartFromKnownMailbox(*x, &m);
    Host host(*x, &m);
    for (const HostStep& s : c.steps) {
        switch (s.act) {
            case Act::kRequest:
            case Act::kShort:
            case Act::kBadSum:
            case Act::kLong:
                host.Frame(FrameOf(s));
                break;
            case Act::kLook:
                host.Settle();
                host.Look();
                break;
            case Act::kCount:
                host.Settle();
                host.Count();
                break;
            case Act::kRead:
                host.Settle();
                host.Read(s.n);
                break;
            case Act::kFetch:
                host.Settle();
                host.Look();
                if (m.ready) {
                    host.Count();
                    host.Read(m.Count());
                }
                break;
        }
    }
}

rc::Gen<HostStep> StepGen() {
    return rc::gen::exec([] {
        HostStep s;
        s.act = *rc::gen::weightedElement<Act>({{6, Act::kRequest},
                                                {1, Act::kShort},
                                                {1, Act::kBadSum},
                                                {1, Act::kLong},
                                                {2, Act::kLook},
                                                {1, Act::kCount},
                                                {3, Act::kRead},
                                                {4, Act::kFetch}});
        if (s.act <= Act::kLong) {
            s.type = *rc::gen::elementOf(kTypeBytes);
            s.arguments = *rc::gen::container<Bytes>(*rc::gen::inRange<size_t>(0, 7), rc::gen::arbitrary<uint8_t>());
            // The update request's flag 0 writes the parameter file and pauses the board.
            if (s.type == 0xB1 && !s.arguments.empty() && s.arguments[0] == 0) s.arguments[0] = 1;
        }
        switch (s.act) {
            case Act::kRequest:
            case Act::kShort:
                s.n = *rc::gen::inRange<uint8_t>(0, 4);
                break;
            case Act::kBadSum:
                s.n = *rc::gen::inRange<uint8_t>(1, 255);  // 1 to 254
                break;
            case Act::kLong:
                s.n = *rc::gen::inRange<uint8_t>(1, 9);
                break;
            case Act::kRead:
                s.n = *rc::gen::inRange<uint8_t>(1, 60);
                break;
            default:
                break;
        }
        return s;
    });
}

HostStep Request(uint8_t type) { return HostStep{Act::kRequest, type, {}, 0}; }
HostStep Fetch() { return HostStep{Act::kFetch, 0, {}, 0}; }
HostStep Read(uint8_t n) { return HostStep{Act::kRead, 0, {}, n}; }
}  // namespace

RC_GTEST_PROP(LibraryMailbox, AnswersEveryWellFormedRequestAsTheMailboxRulesSay, ()) {
    // At most a dozen steps, each drawn from its whole range.
    CheckMailbox(*prop::CaseOfSteps<MailboxCase>(12, StepGen()));
}

// A host that reads one byte past the identity reply (its start byte again) still gets the next
// reply when it asks for it.
TEST(LibraryMailbox, AReadPastTheReplyLeavesTheNextRepliesComing) {
    CheckMailbox(MailboxCase{{Request(kIdentity), Fetch(), Read(1), Request(0x15), Fetch()}});
}
