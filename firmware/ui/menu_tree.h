// Menu tree: the MENU and INFO trees on display rows 11 and 12, their nodes as const data, the
// items each channel and sensor offers, the access rules and the keys that walk them.
#pragma once
#include <cstdint>

constexpr uint32_t kMenuNodeCount = 15;
constexpr uint32_t kMenuMaxItems = 11;
constexpr uint8_t kMenuLeaf = 200;

struct MenuNode {
    uint8_t id;
    uint8_t parent;
    uint8_t child[kMenuMaxItems];
};
struct MenuPage {
    uint8_t textGroup;
    uint32_t baseId;
};
extern const MenuNode g_MenuNodes[kMenuNodeCount];
extern const MenuPage g_MenuPages[kMenuNodeCount];

// The current node and the item shown.
struct MenuCursor {
    const MenuNode* node;
    const MenuPage* page;
};
extern MenuCursor g_MenuCurNode;
// Node in which the last tree choice was made (0 after the measurement screen was entered).
extern uint8_t g_MenuLastNode;
// Items of "VDX Diagnostics" that channel B's sensor has (0 = passed over).
extern uint8_t g_MenuNode13Available[6];

// The tree's cursor, remembered items and lines back to power-on.
void Menu_ResetTree();
void Menu_EnterNode(uint32_t node);
void Menu_RefreshNode();
void Menu_BuildNodeLines(uint32_t group, uint32_t item);
void Menu_DrawNode(uint32_t state);
uint32_t Menu_ItemCount();
// The sections the lock bytes guard after the CAL key's (kSectionCalKey).
constexpr uint32_t kSectionQuickSetup = 1;
constexpr uint32_t kSectionConfiguration = 2;
constexpr uint32_t kSectionSystem = 3;
constexpr uint32_t kSectionPidSetup = 4;
constexpr uint32_t kSectionService = 5;
// 1 when the operator's code opens the section (its lock byte is not 1).
uint32_t Menu_ItemUnlocked(uint32_t section);
// 1 when the section asks for the access code.
uint32_t Menu_ItemAllowed(uint32_t section);
uint32_t Menu_ItemNeedsPassword();
// Key operation of screens 2 and 4.
int32_t Menu_TreeKey(uint32_t event);
// Entering from the measurement screen: no page opened yet.
void Menu_TreeBegin();
uint8_t Menu_TreeCursor();
uint8_t Menu_TreeLineState();
