// Random numbers and GUIDs.
//
// KW_Random_MT_*: a Mersenne Twister with an 848-word state (middle offset
// 456), so its sequence differs from the usual 624-word generator's for the
// same seed. KW_Random_GenerateBase: the C library's rand, reseeded from the
// time of day on every call (it disturbs other users of rand).
// KW_Random_GenerateCrypto draws from the system's random source only, and
// fails when it fails. KW_GUID_CreateV4 draws from it too and falls back to
// one twister for the whole process, seeded once (identifiers need to
// differ, not to be secret).
#ifndef KW_RANDOM_H
#define KW_RANDOM_H

#include <stddef.h>
#include <stdint.h>

// A seeded state, or null when it cannot be allocated. Close frees it.
void* KW_Random_MT_Start(uint32_t seed);
// The next word; 0 for a null state.
uint32_t KW_Random_MT_Generate(void* state);
void KW_Random_MT_Close(void* state);

void KW_Random_GenerateBase(uint32_t* buffer, int32_t count);
// True with count words from the system's random source (nothing to do for
// count <= 0); false, with the words zeroed, when the source fails.
bool KW_Random_GenerateCrypto(uint32_t* buffer, int32_t count);
// A twister seeded with one word of KW_Random_GenerateBase.
void KW_Random_GenerateMT(uint32_t* buffer, int32_t count);

// The system's random source behind GenerateCrypto and GUIDs: fills size
// bytes, false when it cannot. Replacing it lets tests see how a failing
// source is handled; null restores the system's own. Returns the previous one.
typedef bool (*KW_RANDOM_SOURCE)(void* buffer, size_t size);
KW_RANDOM_SOURCE KW_Random_SetSystemSource(KW_RANDOM_SOURCE source);

// A version-4 identifier: 16 random bytes with 4 in the high half of byte 6
// (byte 8 keeps its random value). No text form.
void KW_GUID_CreateV4(uint8_t guid[16]);

#endif // KW_RANDOM_H
