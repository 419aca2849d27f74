// Test rig, sensor board. Every export the firmware looks up by name is a wrapper here: it records
// the bytes that pass, lets a stand-in drop or refuse frames, and otherwise hands the call to the
// library's own code, whose worker the rig polls in virtual time.
#include "rig_board.h"

#include <cstring>
#include <string>
#include <vector>

#include "core/link.h"
#include "core/link_transport.h"
#include "platform/plat_library.h"
#include "rig.h"
#include "sensor_board/board.h"
#include "sensor_board/brannic.h"
#include "sensor_board/sim_cal.h"
#include "sensor_board/sim_eeprom.h"
#include "sensor_board/sim_image.h"
#include "sensor_board/sim_meas.h"

namespace {
enum class Choice { Library, None, Silent, Reject, Ignore, Scripted };

Choice s_Choice = Choice::Library;
uint8_t s_Command;
uint32_t s_AnswersFirst;
uint32_t s_Answered;
std::vector<std::string> s_Hidden;
std::vector<RigFrame> s_Sent;
std::vector<RigFrame> s_Received;
std::vector<std::string> s_BindCalls;
// The request frame being received, until its length byte's count is reached.
std::vector<uint8_t> s_Request;
// A stand-in's own reply: refusing a command, or what a script made.
std::vector<uint8_t> s_OwnReply;
size_t s_OwnPosition;
bool s_OwnReady;
RigReplyMaker s_Maker;

void ArmOwnReply(std::vector<uint8_t> reply) {
    s_OwnReply = std::move(reply);
    s_OwnPosition = 0;
    s_OwnReady = !s_OwnReply.empty();
}

void ArmRefusal(uint8_t command) {
    ArmOwnReply({0x33, 5, command, 7, static_cast<uint8_t>(0u - (0x33u + 5u + command + 7u))});
}

uintptr_t StartHandle() {
    s_BindCalls.push_back("Slave_Start_Handle");
    if (s_Choice == Choice::Silent || s_Choice == Choice::Scripted) return 1;
    Board_Start();
    Rig_AddPeriodic(kBoardPollMs, Board_Poll);
    return 1;
}

int SetTedsFileName(int slot, const char* name, int code) { return Brannic_SetTedsFileName(slot, name, code); }

// A whole request frame arrived: the stand-in decides whether the library sees it.
void TakeRequest() {
    std::vector<uint8_t> frame;
    frame.swap(s_Request);
    s_Sent.push_back(RigFrame{Rig_NowMs(), frame});
    uint8_t command = frame.size() > 2 ? frame[2] : 0;
    bool forward = true;
    if (s_Choice == Choice::Silent) forward = false;
    if (s_Choice == Choice::Scripted) {
        forward = false;
        std::vector<uint8_t> reply;
        if (s_Maker != nullptr && s_Maker(frame, &reply) && reply.size() <= kRigReplyMax) ArmOwnReply(std::move(reply));
    }
    if (s_Choice == Choice::Reject && command == s_Command) {
        ArmRefusal(command);
        forward = false;
    }
    if (s_Choice == Choice::Ignore && command == s_Command) {
        if (s_Answered >= s_AnswersFirst)
            forward = false;
        else
            ++s_Answered;
    }
    if (!forward) return;
    for (uint8_t byte : frame) Brannic_SetSlaveRxData(byte);
}

uint8_t SetSlaveRxData(int byte) {
    s_Request.push_back(static_cast<uint8_t>(byte));
    if (s_Request.size() >= 2 && s_Request.size() >= s_Request[1]) TakeRequest();
    return 1;
}

uint8_t GetSlaveTxFlag() {
    if (s_OwnReady) return 1;
    if (s_Choice == Choice::Silent || s_Choice == Choice::Scripted) return 0;
    return Brannic_GetSlaveTxFlag();
}

uint8_t GetSlaveTxCount() {
    s_Received.push_back(RigFrame{Rig_NowMs(), {}});
    if (s_OwnReady) return static_cast<uint8_t>(s_OwnReply.size());
    return Brannic_GetSlaveTxCount();
}

int GetSlaveTxData(int unused) {
    uint8_t byte;
    if (s_OwnReady) {
        byte = s_OwnReply[s_OwnPosition++];
        if (s_OwnPosition >= s_OwnReply.size()) s_OwnReady = false;
    } else {
        byte = static_cast<uint8_t>(Brannic_GetSlaveTxData(unused));
    }
    if (s_Received.empty()) s_Received.push_back(RigFrame{Rig_NowMs(), {}});
    s_Received.back().bytes.push_back(byte);
    return byte;
}

int SetEepromBinFilePath(const char* folder) {
    s_BindCalls.push_back("SetEEPROMBinFilePath");
    return Brannic_SetEEPROMBinFilePath(folder);
}

uint32_t SetSfxFlag(uint32_t flag) {
    s_BindCalls.push_back("SetSFXFlag");
    return Brannic_SetSFXFlag(flag);
}

int SetDllFilePath(const char* folder) {
    s_BindCalls.push_back("SetDLLFilePath");
    return Brannic_SetDLLFilePath(folder);
}

struct Export {
    const char* name;
    void* function;
};

void* Resolve(const char* name) {
    static const Export kExports[] = {
        {"Slave_Start_Handle", reinterpret_cast<void*>(&StartHandle)},
        {"Slave_SetTedsFileName", reinterpret_cast<void*>(&SetTedsFileName)},
        {"Main_SetSlaveRxData", reinterpret_cast<void*>(&SetSlaveRxData)},
        {"Main_GetSlaveTxFlag", reinterpret_cast<void*>(&GetSlaveTxFlag)},
        {"Main_GetSlaveTxCount", reinterpret_cast<void*>(&GetSlaveTxCount)},
        {"Main_GetSlaveTxData", reinterpret_cast<void*>(&GetSlaveTxData)},
        {"SetEEPROMBinFilePath", reinterpret_cast<void*>(&SetEepromBinFilePath)},
        {"SetSFXFlag", reinterpret_cast<void*>(&SetSfxFlag)},
        {"SetDLLFilePath", reinterpret_cast<void*>(&SetDllFilePath)},
    };
    for (const std::string& hidden : s_Hidden) {
        if (hidden == name) return nullptr;
    }
    for (const Export& e : kExports) {
        if (std::strcmp(e.name, name) == 0) return e.function;
    }
    return nullptr;
}
}  // namespace

void RigBoard_Reset() {
    s_Choice = Choice::Library;
    s_Answered = 0;
    s_Hidden.clear();
    s_Sent.clear();
    s_Received.clear();
    s_BindCalls.clear();
    s_Request.clear();
    s_OwnReply.clear();
    s_OwnReady = false;
    s_Maker = nullptr;
    Plat_SetLibraryStandIn(nullptr);
    g_LibraryHandle.store(nullptr);
    Brannic_Reset();
    Board_Reset();
    SimEeprom_Reset();
    SimCal_Reset();
    SimMeas_Reset();
    SimImage_Reset();
}

void RigBoard_Bind() {
    if (s_Choice != Choice::None) Plat_SetLibraryStandIn(Resolve);
    Link_BindLibrary();
}

void Rig_UseNoLibrary() { s_Choice = Choice::None; }
void Rig_UseSilentBoard() { s_Choice = Choice::Silent; }

void Rig_UseBoardRejecting(uint8_t command) {
    s_Choice = Choice::Reject;
    s_Command = command;
}

void Rig_UseBoardIgnoring(uint8_t command, uint32_t answersFirst) {
    s_Choice = Choice::Ignore;
    s_Command = command;
    s_AnswersFirst = answersFirst;
}

void Rig_UseScriptedBoard(RigReplyMaker maker) {
    s_Choice = Choice::Scripted;
    s_Maker = maker;
}

void Rig_HideExport(const std::string& name) { s_Hidden.push_back(name); }

const std::vector<RigFrame>& Rig_SentFrames() { return s_Sent; }
const std::vector<RigFrame>& Rig_ReceivedFrames() { return s_Received; }
const std::vector<std::string>& Rig_BindCalls() { return s_BindCalls; }
