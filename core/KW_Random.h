// Random numbers and GUIDs.
//
// KW_Random_MT_*: a Mersenne Twister with an 848-word state (middle offset
// 456), so its sequence differs from the usual 624-word generator's for the
// same seed. KW_Random_GenerateBase: the C library's rand, reseeded from the
// time of day on every call (it disturbs other users of rand).
// KW_Random_GenerateCrypto and KW_GUID_CreateV4 draw from the system's
// random source and fall back to the generators above only when it fails.
#ifndef KW_RANDOM_H
#define KW_RANDOM_H

#include <stdint.h>

// A seeded state, or null when it cannot be allocated. Close frees it.
void* KW_Random_MT_Start(uint32_t seed);
// The next word; 0 for a null state.
uint32_t KW_Random_MT_Generate(void* state);
void KW_Random_MT_Close(void* state);

void KW_Random_GenerateBase(uint32_t* buffer, int32_t count);
void KW_Random_GenerateCrypto(uint32_t* buffer, int32_t count);
// A twister seeded with one word of KW_Random_GenerateBase.
void KW_Random_GenerateMT(uint32_t* buffer, int32_t count);

// A version-4 identifier: 16 random bytes with 4 in the high half of byte 6
// (byte 8 keeps its random value). No text form.
void KW_GUID_CreateV4(uint8_t guid[16]);

#endif // KW_RANDOM_H
