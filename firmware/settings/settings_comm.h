// Communication identity block of the store (offsets 128 to 221): the model text, the device tag
// packed six bits a character, the communication-enabled flag; and the small store accessors.
#pragma once
#include <cstdint>

struct StoreMap;

extern const StoreMap g_CommStoreMap;
// Non-zero while the communication interface is enabled (store 217 at hardware start).
extern uint8_t g_CommEnabled;

// Factory values of the block (the tag and the model text are written from the model).
void Settings_DefaultCommBlock(uint32_t* status);
// The model text, cut to 8 characters and padded with blanks, as the packed tag at 185; the
// model text padded with zeros to 32 bytes at 129.
void Settings_WriteTagFromModel(uint32_t* status);
void Settings_LoadCommFlags();
// Packs 8 characters into 6 bytes: four into three, the first character in the high bits; "/"
// is code 31, every other character its code and 63.
void Settings_PackTag(const char* text, uint8_t* packed);

// One byte or a run of bytes of the store; an unreadable byte reads 0xFF.
void Settings_WriteStoreByte(uint32_t offset, uint8_t byte);
uint8_t Settings_ReadStoreByte(uint32_t offset);
void Settings_WriteStoreBytes(uint32_t offset, uint32_t n, const uint8_t* data);
void Settings_ResetCommState();
