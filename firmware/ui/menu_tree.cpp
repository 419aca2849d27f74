// Menu tree: the MENU and INFO trees on display rows 11 and 12, their nodes, the items each
// channel and sensor offers, the access rules and the keys that walk them.
#include "ui/menu_tree.h"

#include <cstring>

#include "core/keypad.h"
#include "core/lcd.h"
#include "core/settings.h"
#include "core/texts.h"
#include "core/ui_ids.h"
#include "digital_sensor/sens_diag.h"
#include "digital_sensor/vdx.h"
#include "digital_sensor/vdx_ident.h"
#include "measurement/channel.h"

// child entries: kMenuLeaf = the item is an id for the engine, else the node it opens.
const MenuNode g_MenuNodes[kMenuNodeCount] = {
    {0, 200, {1, 2}},
    {1, 0, {kMenuLeaf, 3, 4, 11, 5}},
    {2, 0, {kMenuLeaf, kMenuLeaf, kMenuLeaf, 13, kMenuLeaf}},
    {3, 1, {6, kMenuLeaf, kMenuLeaf, kMenuLeaf, 14, 7, kMenuLeaf}},
    {4, 1, {kMenuLeaf, kMenuLeaf, kMenuLeaf, kMenuLeaf, kMenuLeaf}},
    {5, 1, {8, kMenuLeaf, 9}},
    {6, 3, {kMenuLeaf, kMenuLeaf, 10, kMenuLeaf, kMenuLeaf, kMenuLeaf, kMenuLeaf}},
    {7, 3, {kMenuLeaf, kMenuLeaf, kMenuLeaf, kMenuLeaf}},
    {8,
     5,
     {kMenuLeaf, kMenuLeaf, kMenuLeaf, kMenuLeaf, kMenuLeaf, kMenuLeaf, kMenuLeaf, kMenuLeaf, kMenuLeaf, kMenuLeaf,
      kMenuLeaf}},
    {9, 5, {kMenuLeaf, kMenuLeaf, kMenuLeaf, kMenuLeaf}},
    {10, 6, {kMenuLeaf, kMenuLeaf, kMenuLeaf, kMenuLeaf, kMenuLeaf}},
    {11, 1, {kMenuLeaf, kMenuLeaf, kMenuLeaf, kMenuLeaf}},
    {12, 2, {kMenuLeaf, kMenuLeaf}},
    {13, 2, {kMenuLeaf, kMenuLeaf, kMenuLeaf, kMenuLeaf, kMenuLeaf, kMenuLeaf}},
    {14, 3, {kMenuLeaf, kMenuLeaf, kMenuLeaf, kMenuLeaf, kMenuLeaf, kMenuLeaf}},
};

// Text group of each node's items and the id of its item 0.
const MenuPage g_MenuPages[kMenuNodeCount] = {
    {255, 0},                     // 0: the root
    {7, kItemQuickSetup},         // 1: MENU
    {8, kItemInfoFirst},          // 2: INFO
    {9, kItemConfigureFirst},     // 3: Configure
    {10, kItemSystemFirst},       // 4: System
    {11, kItemServiceMenuFirst},  // 5: Service
    {12, kItemChannelSetup},      // 6: Measurement Setup
    {13, kItemDisplayFirst},      // 7: Display Setup
    {14, kItemDiagnosticsFirst},  // 8: Diagnostics
    {15, kItemMeterCalFirst},     // 9: Service Technician
    {16, kItemCompFirst},         // 10: Comp/pH/O2
    {17, kItemPidFirst},          // 11: PID Setup
    {18, 255},                    // 12: no items of its own
    {19, kItemSensorFirst},       // 13: VDX Diagnostics
    {20, kItemSensorSetupFirst},  // 14: VDX Setup
};

MenuCursor g_MenuCurNode = {&g_MenuNodes[0], &g_MenuPages[0]};
uint8_t g_MenuLastNode;
// Items of "VDX Diagnostics" offered on channel B (0 = passed over).
uint8_t g_MenuNode13Available[6] = {1, 1, 1, 1, 1, 1};

// Line states: the item blinks, the PID item's value blinks, the leave marker blinks.
enum : uint8_t { kLineItem = 0, kLinePidValue = 1, kLineLeave = 2 };

// Pixel column of the PID item's "Auto"/"Manual" by language. It stands beside the item's text in
// the English source, so that the text generator can check every language's label ends before it.
static const uint8_t* const kPidValueColumn = kTextPidItemValueColumn;

static constexpr uint32_t kLineSize = 26;
static char s_TitleLine[kLineSize];
static char s_ItemLine[kLineSize];
// Character index where the PID item's value starts in the item line; 0 = no value part.
static uint32_t s_ValueChar;
static int8_t s_Cursor;
static uint8_t s_LineState;
static uint8_t s_Remembered[kMenuNodeCount];
static uint8_t s_PageOpened;

static constexpr uint8_t kNodeMenu = 1;
static constexpr uint8_t kNodeInfo = 2;
static constexpr uint8_t kNodeConfigure = 3;
static constexpr uint8_t kNodeSystem = 4;
static constexpr uint8_t kNodeService = 5;
static constexpr uint8_t kNodeMeasurementSetup = 6;
static constexpr uint8_t kNodeDiagnostics = 8;
static constexpr uint8_t kNodeTechnician = 9;
static constexpr uint8_t kNodeComp = 10;
static constexpr uint8_t kNodePid = 11;
static constexpr uint8_t kNodeVdxDiagnostics = 13;
static constexpr uint8_t kNodeVdxSetup = 14;

static uint8_t NodeId() { return g_MenuCurNode.node->id; }

static uint8_t CurrentChannel() {
    uint8_t channel = Chan_GetCurrentChannel();
    return channel < 2 ? channel : 0;
}

static uint8_t EditChannel() {
    uint8_t channel = Settings_GetEditChannel();
    return channel < 2 ? channel : 0;
}

static uint32_t ActiveKind(uint32_t channel) { return channel < 2 ? g_SensorKindActive[channel] : 255; }

static bool IsConductivityKind(uint32_t kind) { return kind == 3 || kind == 4; }

static uint32_t GroupSize(uint32_t group) { return group < kTextGroups ? g_TextGroupSizes[group] : 0; }

static uint32_t CopyText(uint32_t group, uint32_t index, char* buffer) {
    return Text_CopyItem(Text_GetOffset(group, index, g_Language), buffer);
}

static uint32_t CopyText(TextRef text, char* buffer) { return Text_Copy(text, buffer); }

uint32_t Menu_ItemCount() {
    uint32_t size = GroupSize(g_MenuCurNode.page->textGroup);
    return size > 0 ? size - 1 : 0;
}

uint8_t Menu_TreeCursor() { return static_cast<uint8_t>(s_Cursor); }
uint8_t Menu_TreeLineState() { return s_LineState; }

void Menu_TreeBegin() { s_PageOpened = 0; }

// ---- Access rules ------------------------------------------------------------------------------

// A section asks for the access code when its lock byte is 1, or 0 while the lockout is on.
uint32_t Menu_ItemAllowed(uint32_t section) {
    uint8_t lock = Settings_GetSectionLock(section);
    if (lock == 1) return 1;
    return lock == 0 && Settings_GetLockout() == 0 ? 1 : 0;
}

// The operator's code opens a section unless its lock byte keeps it for the administrator.
uint32_t Menu_ItemUnlocked(uint32_t section) { return Settings_GetSectionLock(section) != 1 ? 1 : 0; }

uint32_t Menu_ItemNeedsPassword() {
    if (s_Cursor < 0 || static_cast<uint32_t>(s_Cursor) >= kMenuMaxItems) return 0;
    uint8_t child = g_MenuCurNode.node->child[s_Cursor];
    uint32_t section;
    switch (child) {
        case kNodeConfigure:
            section = kSectionConfiguration;
            break;
        case kNodeSystem:
            section = kSectionSystem;
            break;
        case kNodePid:
            section = kSectionPidSetup;
            break;
        case kNodeService:
            section = kSectionService;
            break;
        default:
            return 0;
    }
    return Menu_ItemAllowed(section);
}

// ---- Drawing -----------------------------------------------------------------------------------

void Menu_BuildNodeLines(uint32_t group, uint32_t item) {
    std::memset(s_TitleLine, 0, sizeof s_TitleLine);
    std::memset(s_ItemLine, 0, sizeof s_ItemLine);
    s_ValueChar = 0;
    uint8_t node = NodeId();
    uint32_t length = CopyText(group, item, s_ItemLine);
    if (node == kNodePid && item == 0) {
        uint32_t language = g_Language < 8 ? g_Language : 0;
        uint32_t start = kPidValueColumn[language] / 6;
        for (uint32_t i = length; i < start && i < kLineSize - 1; ++i) s_ItemLine[i] = ' ';
        char value[kTextMaxChars + 1];
        CopyText(Text_Nth(kTextPidModes, Settings_GetEditPidManual() ? 1 : 0), value);
        uint32_t i = 0;
        for (; value[i] != '\0' && start + i < kLineSize - 1; ++i) s_ItemLine[start + i] = value[i];
        s_ItemLine[start + i] = '\0';
        s_ValueChar = start;
    } else if (node == kNodeMeasurementSetup && item == 2) {
        // The compensation item names the compensation that fits the edited measuring kind.
        int32_t comp = -1;
        uint32_t kind = Settings_GetEditKind(EditChannel());
        if (kind == 1 || kind == 2) comp = 1;
        if (kind == 3 || kind == 4) comp = 0;
        if (kind >= 5 && kind <= 8) comp = 2;
        if (kind == 9) comp = 3;
        if (kind == 10) comp = 4;
        if (comp >= 0) {
            std::memset(s_ItemLine, 0, sizeof s_ItemLine);
            CopyText(Text_Nth(kTextCompensations, static_cast<uint32_t>(comp)), s_ItemLine);
            s_Remembered[kNodeComp] = static_cast<uint8_t>(comp);
        }
    }
    // Titles are group 40; the item groups 7 to 20 map onto it with group 18 skipped.
    uint32_t title = group < 19 ? group - 7 : group - 8;
    CopyText(Text_Nth(kTextNodeTitles, title), s_TitleLine);
}

void Menu_DrawNode(uint32_t state) {
    Lcd_FillStatusRows(0);
    Lcd_DrawText(kRowStatus, 0, s_TitleLine);
    bool pidItem = s_ValueChar != 0;
    const char* value = s_ItemLine + s_ValueChar;
    char label[kLineSize];
    std::memcpy(label, s_ItemLine, kLineSize);
    if (pidItem) {
        // Without its trailing blanks, so that redrawing the blinking label leaves the value whole.
        uint32_t end = s_ValueChar;
        while (end > 0 && label[end - 1] == ' ') --end;
        label[end] = '\0';
    }
    uint32_t valueColumn = 6 * s_ValueChar;
    if (state == kLineItem) {
        // Only the label blinks on the PID item; its value stays.
        Lcd_DrawTextBlink(kRowMessage, 0, pidItem ? label : s_ItemLine);
        if (pidItem) Lcd_DrawText(kRowMessage, valueColumn, value);
        Lcd_DrawChannelMark(0, 0);
    } else if (state == kLinePidValue) {
        Lcd_DrawText(kRowMessage, 0, label);
        if (pidItem) Lcd_DrawTextBlink(kRowMessage, valueColumn, value);
        Lcd_DrawChannelMark(0, 0);
    } else {
        Lcd_DrawText(kRowMessage, 0, s_ItemLine);
        Lcd_DrawChannelMark(0, 1);
    }
}

void Menu_RefreshNode() {
    Menu_BuildNodeLines(g_MenuCurNode.page->textGroup, static_cast<uint32_t>(s_Cursor));
    Menu_DrawNode(s_LineState);
    g_DisplayMode = 1;
    uint8_t node = NodeId();
    if (node != kNodeMeasurementSetup && node != kNodeComp) s_Remembered[kNodeComp] = 0;
}

// ---- Moving the cursor -------------------------------------------------------------------------

static int32_t Wrap(int32_t value, int32_t first, int32_t last) {
    if (value > last) return first;
    if (value < first) return last;
    return value;
}

// The items a node offers by the channel shown, its sensor and the settings. UP and INFO step
// over the others and wrap within the node's range, so that every node is a ring of what it
// offers.
static bool ItemOffered(uint8_t node, int32_t item) {
    uint8_t channel = CurrentChannel();
    uint8_t editChannel = EditChannel();
    switch (node) {
        case kNodeInfo:
            if (channel == 0 || ActiveKind(channel) >= 15)
                return !(item == 1 || item == 3 || (item == 2 && channel == 1));
            return true;
        case kNodeVdxSetup:
            // With a conductivity sensor the range holds the CIP and SIP limits alone, and both stay.
            if (IsConductivityKind(ActiveKind(channel))) return true;
            if (item == 3 && ActiveKind(1) == 9 && !Meas_HasSensorStatusBit2(1)) return false;
            // The cycle-limit items only while the CIP alarm is switched on.
            return (SensDiag_GetCycleAlarmEnable() & 1) != 0 || item < 1 || item > 3;
        case kNodeTechnician: {
            uint32_t kind = Chan_GetSensorKindBySel(3);
            if (kind == 1) return item != 3;
            if (kind == 2) return item != 2;
            return item == 0;
        }
        case kNodeConfigure:
            return item != 4 || (editChannel == 1 && ActiveKind(1) < 15);
        case kNodeVdxDiagnostics:
            return editChannel != 1 || (item >= 0 && item < 6 && g_MenuNode13Available[item] != 0);
        case kNodeMeasurementSetup: {
            int32_t last = static_cast<int32_t>(Menu_ItemCount());
            if (item == 0 || item == last || item == 2) return true;
            if (item == 1) return editChannel == 0;
            if (item == 3 || item == 4) return ActiveKind(channel) == 9;
            return item == 5 && IsConductivityKind(Settings_GetEditKind(editChannel));
        }
        default:
            return true;
    }
}

// The first and last item the keys step between.
static void ItemRange(uint8_t node, int32_t* first, int32_t* last) {
    uint8_t channel = CurrentChannel();
    *first = 0;
    *last = static_cast<int32_t>(Menu_ItemCount());
    if (node == kNodeDiagnostics && ActiveKind(channel) != 9) *last -= 1;
    if (node == kNodeVdxSetup) {
        if (IsConductivityKind(ActiveKind(channel))) {
            *first = 1;
            *last = 2;
        } else if (!Vdx_HasSensorOption(channel)) {
            *last -= 1;
        }
    }
    if (*last < *first) *last = *first;
}

static void MoveCursor(int32_t direction) {
    uint8_t node = NodeId();
    int32_t first = 0;
    int32_t last = 0;
    ItemRange(node, &first, &last);
    int32_t cursor = s_Cursor;
    for (int32_t steps = 0; steps <= last - first; ++steps) {
        cursor = Wrap(cursor + direction, first, last);
        if (ItemOffered(node, cursor)) {
            s_Cursor = static_cast<int8_t>(cursor);
            break;
        }
    }
    Menu_RefreshNode();
}

void Menu_EnterNode(uint32_t node) {
    if (node >= kMenuNodeCount) node = kNodeMenu;
    g_MenuCurNode.node = &g_MenuNodes[node];
    g_MenuCurNode.page = &g_MenuPages[node];
    s_Cursor = 0;
    if (node == kNodeVdxSetup && IsConductivityKind(g_SensorKindDetected[1])) s_Cursor = 1;
    // A node opens on an item it offers, whatever the sensor's kind was when it was detected.
    int32_t first = 0;
    int32_t last = 0;
    ItemRange(static_cast<uint8_t>(node), &first, &last);
    for (int32_t item = s_Cursor; item <= last; ++item) {
        if (item >= first && ItemOffered(static_cast<uint8_t>(node), item)) {
            s_Cursor = static_cast<int8_t>(item);
            break;
        }
    }
    s_LineState = kLineItem;
    Menu_RefreshNode();
}

// ---- Keys --------------------------------------------------------------------------------------

static int32_t ChosenLeaf(bool accessGranted) {
    uint32_t id = g_MenuCurNode.page->baseId + static_cast<uint32_t>(s_Cursor);
    uint32_t base = g_MenuCurNode.page->baseId;
    bool information = accessGranted ? id == kItemServiceRevision
                                     : (base == kItemInfoFirst || base == kItemDiagnosticsFirst ||
                                        base == kItemMeterCalFirst || base == kItemSensorFirst);
    if (!information) s_PageOpened = 1;
    return static_cast<int32_t>(id);
}

static int32_t TreeEnter() {
    uint8_t node = NodeId();
    if (s_LineState == kLineLeave) {
        uint8_t parent = g_MenuCurNode.node->parent;
        if (parent == 0 || parent >= kMenuNodeCount) return s_PageOpened ? kActionAskSave : kEventHome;
        Menu_EnterNode(parent);
        s_Cursor = static_cast<int8_t>(s_Remembered[parent]);
        s_LineState = kLineItem;
        Menu_RefreshNode();
        return -1;
    }
    s_Remembered[node] = static_cast<uint8_t>(s_Cursor);
    g_MenuLastNode = node;
    if (node == kNodePid && s_Cursor == 0) return kActionAskSave;
    uint8_t child = g_MenuCurNode.node->child[s_Cursor];
    if (child == kMenuLeaf) return ChosenLeaf(false);
    if (child == kNodeComp) {
        // The compensation page of the edited kind; the optical sensor shares the O2 page. The
        // item stands for a node but opens a settings page like a leaf, so it counts as a page
        // opened: leaving the tree then asks whether to save, and the page's edits are never
        // dropped without asking.
        uint8_t comp = s_Remembered[kNodeComp];
        s_PageOpened = 1;
        return static_cast<int32_t>(kItemCompFirst + (comp == 3 ? 2u : comp));
    }
    if (node == kNodeService && s_Cursor == 2) return kItemTechService;
    if (Menu_ItemNeedsPassword()) return kItemPassword;
    Menu_EnterNode(child);
    return -1;
}

int32_t Menu_TreeKey(uint32_t event) {
    uint8_t node = NodeId();
    switch (event) {
        case kEventUp:
        case kEventDown:
        case kEventUpRepeat:
        case kEventDownRepeat: {
            if (s_LineState == kLineLeave) return -1;
            if (node == kNodePid && s_Cursor == 0 && s_LineState == kLinePidValue) {
                Settings_SetEditPidManual(Settings_GetEditPidManual() ? 0 : 1);
                Menu_RefreshNode();
                return -1;
            }
            MoveCursor(event == kEventUp || event == kEventUpRepeat ? 1 : -1);
            return -1;
        }
        case kEventLeft:
        case kEventRight: {
            bool forward = event == kEventRight;
            if (node == kNodePid && s_Cursor == 0) {
                s_LineState = static_cast<uint8_t>(forward ? (s_LineState + 1) % 3 : (s_LineState + 2) % 3);
            } else {
                s_LineState = s_LineState == kLineLeave ? kLineItem : kLineLeave;
            }
            Menu_RefreshNode();
            return -1;
        }
        case kEventEnter:
            return TreeEnter();
        case kEventRedraw:
            s_Cursor = static_cast<int8_t>(s_Remembered[node]);
            if (s_LineState != kLinePidValue) s_LineState = kLineItem;
            Menu_RefreshNode();
            return -1;
        case kEventAccessGranted: {
            g_MenuLastNode = node;
            uint8_t child = g_MenuCurNode.node->child[s_Cursor];
            if (child == kMenuLeaf) return ChosenLeaf(true);
            Menu_EnterNode(child);
            return -1;
        }
        default:
            return -1;
    }
}

void Menu_ResetTree() {
    g_MenuCurNode = MenuCursor{&g_MenuNodes[0], &g_MenuPages[0]};
    g_MenuLastNode = 0;
    for (uint8_t& available : g_MenuNode13Available) available = 1;
    std::memset(s_TitleLine, 0, sizeof s_TitleLine);
    std::memset(s_ItemLine, 0, sizeof s_ItemLine);
    s_ValueChar = 0;
    s_Cursor = 0;
    s_LineState = kLineItem;
    std::memset(s_Remembered, 0, sizeof s_Remembered);
    s_PageOpened = 0;
}
