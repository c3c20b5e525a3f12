#include "KW_Random.h"

#include "KW_Memory.h"

#include <atomic>
#include <mutex>
#include <errno.h>
#include <stdlib.h>
#include <string.h>
#include <sys/time.h>
#include <time.h>
#include <unistd.h>
#if !defined(__APPLE__)
#include <sys/random.h>   // arc4random_buf comes with stdlib.h on macOS
#endif

namespace {

const uint32_t kN = 848;
const uint32_t kM = 456;
const uint32_t kMatrixA = 0x9908b0dfu;
const uint32_t kUpperMask = 0x80000000u;
const uint32_t kLowerMask = 0x7fffffffu;

struct MTState {
    uint32_t index;
    uint32_t initialised;
    uint32_t words[kN];
};
static_assert(sizeof(MTState) == 3400, "the state block keeps its size");

void Regenerate(MTState* s)
{
    uint32_t* mt = s->words;
    for (uint32_t i = 0; i < kN; ++i) {
        const uint32_t y = (mt[i] & kUpperMask) | (mt[(i + 1) % kN] & kLowerMask);
        mt[i] = mt[(i + kM) % kN] ^ (y >> 1) ^ ((y & 1) ? kMatrixA : 0);
    }
    s->index = 0;
}

// The system's random source; false when it cannot deliver.
bool OperatingSystemRandom(void* buffer, size_t size)
{
#if defined(__APPLE__)
    arc4random_buf(buffer, size);
    return true;
#else
    uint8_t* p = static_cast<uint8_t*>(buffer);
    while (size > 0) {
        const ssize_t got = getrandom(p, size, 0);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        p += got;
        size -= (size_t)got;
    }
    return true;
#endif
}

std::atomic<KW_RANDOM_SOURCE> g_source{nullptr};

bool SystemRandom(void* buffer, size_t size)
{
    KW_RANDOM_SOURCE source = g_source.load(std::memory_order_acquire);
    return source ? source(buffer, size) : OperatingSystemRandom(buffer, size);
}

void Seed(MTState* s, uint32_t seed)
{
    s->words[0] = seed;
    for (uint32_t i = 1; i < kN; ++i)
        s->words[i] = 1812433253u * (s->words[i - 1] ^ (s->words[i - 1] >> 30)) + i;
    s->index = kN;
    s->initialised = 1;
}

// Identifiers made while the system source fails come from one twister for
// the whole process, seeded once: a fresh one per identifier, seeded from
// the clock, repeats whenever two are made within the clock's resolution.
// The seed mixes the clock with the process and the address space, so that
// processes started together differ too.
std::mutex g_fallbackLock;
MTState g_fallbackState;
bool g_fallbackSeeded = false;

uint32_t FallbackSeed()
{
    struct timespec now = {0, 0};
    clock_gettime(CLOCK_REALTIME, &now);
    struct timespec running = {0, 0};
    clock_gettime(CLOCK_MONOTONIC, &running);
    uint64_t h = 1469598103934665603ull;
    const uint64_t parts[] = {(uint64_t)now.tv_sec, (uint64_t)now.tv_nsec, (uint64_t)running.tv_nsec,
                              (uint64_t)getpid(), (uint64_t)(uintptr_t)&g_fallbackState};
    for (uint64_t part : parts) {
        h ^= part;
        h *= 1099511628211ull;
    }
    return (uint32_t)(h ^ (h >> 32));
}

void FallbackWords(uint32_t* words, int count)
{
    std::lock_guard<std::mutex> hold(g_fallbackLock);
    if (!g_fallbackSeeded) {
        Seed(&g_fallbackState, FallbackSeed());
        g_fallbackSeeded = true;
    }
    for (int i = 0; i < count; ++i)
        words[i] = KW_Random_MT_Generate(&g_fallbackState);
}

void StoreLittleEndian(uint32_t word, uint8_t* out)
{
    for (int i = 0; i < 4; ++i)
        out[i] = (uint8_t)(word >> (8 * i));
}

} // namespace

void* KW_Random_MT_Start(uint32_t seed)
{
    MTState* s = (MTState*)KWMEM_DefaultAlloc2(1, sizeof(MTState), 0);
    if (!s)
        return nullptr;
    Seed(s, seed);
    return s;
}

uint32_t KW_Random_MT_Generate(void* state)
{
    MTState* s = (MTState*)state;
    if (!s)
        return 0;
    if (s->index >= kN) {
        if (s->index > kN && !s->initialised)
            return 0;
        Regenerate(s);
    }
    uint32_t y = s->words[s->index++];
    y ^= y >> 11;
    y ^= (y << 7) & 0x9d2c5680u;
    y ^= (y << 15) & 0xefc60000u;
    y ^= y >> 18;
    return y;
}

void KW_Random_MT_Close(void* state) { KWMEM_DefaultFree(state, 0); }

void KW_Random_GenerateBase(uint32_t* buffer, int32_t count)
{
    struct timeval first, now;
    gettimeofday(&first, nullptr);
    do
        gettimeofday(&now, nullptr);
    while (now.tv_sec == first.tv_sec && now.tv_usec == first.tv_usec);
    srand((unsigned)(((uint32_t)first.tv_sec << 16) | ((uint32_t)first.tv_usec & 0xFFFF)));
    if (!buffer)
        return;
    for (int32_t i = 0; i < count; ++i) {
        const uint32_t high = (uint32_t)rand() << 16;
        buffer[i] = high | ((uint32_t)rand() & 0xFFFF);
    }
}

KW_RANDOM_SOURCE KW_Random_SetSystemSource(KW_RANDOM_SOURCE source)
{
    return g_source.exchange(source, std::memory_order_acq_rel);
}

bool KW_Random_GenerateCrypto(uint32_t* buffer, int32_t count)
{
    if (count <= 0)
        return true;
    if (!buffer)
        return false;
    const size_t size = (size_t)count * sizeof(uint32_t);
    if (SystemRandom(buffer, size))
        return true;
    // Words from a clock-seeded rand() would pass for secrets that anyone can
    // guess: no words at all is the only honest answer.
    memset(buffer, 0, size);
    return false;
}

void KW_Random_GenerateMT(uint32_t* buffer, int32_t count)
{
    uint32_t seed = 0;
    KW_Random_GenerateBase(&seed, 1);
    if (!buffer || count <= 0)
        return;
    void* state = KW_Random_MT_Start(seed);
    if (!state) {
        KW_Random_GenerateBase(buffer, count);
        return;
    }
    for (int32_t i = 0; i < count; ++i)
        buffer[i] = KW_Random_MT_Generate(state);
    KW_Random_MT_Close(state);
}

void KW_GUID_CreateV4(uint8_t guid[16])
{
    if (!guid)
        return;
    // Seeding from the clock alone would make identifiers created close
    // together equal; the system source does not repeat, nor does the one
    // process-wide twister behind it.
    if (!SystemRandom(guid, 16)) {
        uint32_t words[4];
        FallbackWords(words, 4);
        for (int i = 0; i < 4; ++i)
            StoreLittleEndian(words[i], guid + 4 * i);
    }
    guid[6] = (uint8_t)((guid[6] & 0x0F) | 0x40);
}
