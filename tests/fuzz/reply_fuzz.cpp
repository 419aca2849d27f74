// Fuzz target for the firmware's side of the link: a sensor board that answers every request with
// whatever the input says, from the start-up wait (identity, version check, board settings) on
// into the measurement. The firmware must neither crash nor read or write out of bounds, the main
// loop must keep running, and the configured channel kinds must stay within their range.
//
// Input: a run of answers, one per request frame, each a control byte c and a length byte n, then
// n bytes. Bit 0 of c: the n bytes are the reply's status and payload, and the target frames them
// (start byte, length, the request's command echoed, checksum), so that most inputs reach the
// decoders; clear: the n bytes are sent as they are. Bit 1: no answer to this request at all.
// When the input ends the board falls silent.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "core/keypad.h"
#include "core/link.h"
#include "fw_main.h"
#include "measurement/channel.h"
#include "rig.h"

namespace {
const uint8_t* s_Input;
size_t s_Size;
size_t s_Position;

void Check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "reply_fuzz: %s\n", what);
    std::abort();
}

bool Answer(const std::vector<uint8_t>& request, std::vector<uint8_t>* reply) {
    if (s_Position + 2 > s_Size) return false;
    uint8_t control = s_Input[s_Position];
    size_t n = s_Input[s_Position + 1];
    s_Position += 2;
    if (n > s_Size - s_Position) n = s_Size - s_Position;
    const uint8_t* bytes = s_Input + s_Position;
    s_Position += n;
    if (control & 2u) return false;
    if ((control & 1u) == 0) {
        reply->assign(bytes, bytes + n);
        return true;
    }
    // Start, length, command echo, then status and payload, then the checksum.
    if (n + 4 > kRigReplyMax) n = kRigReplyMax - 4;
    uint8_t command = request.size() > 2 ? request[2] : 0;
    reply->assign({kLinkReplyStart, static_cast<uint8_t>(n + 4), command});
    reply->insert(reply->end(), bytes, bytes + n);
    uint8_t sum = 0;
    for (uint8_t byte : *reply) sum = static_cast<uint8_t>(sum + byte);
    reply->push_back(static_cast<uint8_t>(0u - sum));
    return true;
}

const std::string& Folder() {
    static const std::string folder = Rig_MakeTempFolder();
    return folder;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Each input on a fresh store in the same folder, so that no input leaves anything to the next.
    std::error_code error;
    std::filesystem::remove(Folder() + "/R718G 2XH Simulator", error);
    s_Input = data;
    s_Size = size;
    s_Position = 0;
    Rig_Reset(Folder());
    Rig_UseScriptedBoard(Answer);
    Rig_Boot();
    // Long enough for several measurement requests and their retries once the script ends.
    Rig_AdvanceMs(6000);
    Check(Fw_GetChannelType(0) <= kMaxChannelKind && Fw_GetChannelType(1) <= kMaxChannelKind,
          "a configured kind out of range");
    // A key on whatever screen the replies led to, and the second's tasks after it.
    Rig_HoldKey(kKeyMenu, 60);
    Rig_AdvanceMs(1000);
    s_Input = nullptr;
    return 0;
}
