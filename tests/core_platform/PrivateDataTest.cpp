// Private data lists: what is freed, when, and how often.
#include "KW_PrivateData.h"

#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

std::vector<std::string> g_log;

void LogFree(void* data)
{
    g_log.push_back("free " + std::to_string(*static_cast<int*>(data)));
}

struct Counted : CKW_DestructObject {
    explicit Counted(int id) : id(id) {}
    ~Counted() override { g_log.push_back("delete " + std::to_string(id)); }
    int id;
};

TEST(PrivateData, ScenarioTable)
{
    int k1, k2, k3;
    int d1 = 1, d2 = 2, d3 = 3;
    struct Step {
        const char* what;
        std::function<void(CKW_PrivateData&)> act;
        std::vector<std::string> log;   // what this step frees, in order
    };
    const std::vector<Step> steps = {
        {"store", [&](CKW_PrivateData& l) { l.SetPrivateData(&k1, &d1, LogFree); }, {}},
        {"replace frees the old", [&](CKW_PrivateData& l) { l.SetPrivateData(&k1, &d2, LogFree); }, {"free 1"}},
        {"the same pointer again frees nothing", [&](CKW_PrivateData& l) { l.SetPrivateData(&k1, &d2, LogFree); }, {}},
        {"null key stores nothing", [&](CKW_PrivateData& l) { l.SetPrivateData(nullptr, &d3, LogFree); }, {}},
        {"object", [&](CKW_PrivateData& l) { l.SetPrivateObj(&k2, new Counted(7)); }, {}},
        {"remove hands back without freeing", [&](CKW_PrivateData& l) { EXPECT_TRUE(l.RemovePrivateData(&k1)); }, {}},
        {"remove again", [&](CKW_PrivateData& l) { EXPECT_FALSE(l.RemovePrivateData(&k1)); }, {}},
        {"third", [&](CKW_PrivateData& l) { l.SetPrivateData(&k3, &d3, LogFree); }, {}},
        {"first back", [&](CKW_PrivateData& l) { l.SetPrivateData(&k1, &d1, LogFree); }, {}},
        {"clear frees in insertion order", [&](CKW_PrivateData& l) { l.ClearAll(); },
         {"delete 7", "free 3", "free 1"}},
        {"clear again", [&](CKW_PrivateData& l) { l.ClearAll(); }, {}},
    };
    CKW_PrivateData list;
    for (const Step& s : steps) {
        g_log.clear();
        s.act(list);
        EXPECT_EQ(g_log, s.log) << s.what;
    }
    EXPECT_EQ(list.GetPrivateData(&k1), nullptr);
    EXPECT_EQ(list.GetPrivateData(nullptr), nullptr);
    EXPECT_FALSE(list.RemovePrivateData(nullptr));
}

TEST(PrivateData, ReplacedDataIsReadBackAndTheDestructorFreesTheRest)
{
    int key;
    int d1 = 1, d2 = 2;
    g_log.clear();
    {
        CKW_PrivateData list;
        list.SetPrivateData(&key, &d1, LogFree);
        list.SetPrivateData(&key, &d2, nullptr);   // only the new callback counts from now on
        EXPECT_EQ(list.GetPrivateData(&key), &d2);
        list.SetPrivateObj(&d1, new Counted(9));
    }
    EXPECT_EQ(g_log, (std::vector<std::string>{"free 1", "delete 9"}));
}

CKW_PrivateData* g_list = nullptr;
int g_reentrantKey;

void TouchesTheList(void* data)
{
    LogFree(data);
    g_list->GetPrivateData(&g_reentrantKey);
    g_list->ClearAll();   // frees nothing twice
}

TEST(PrivateData, CallbackThatTouchesTheListDuringClearAll)
{
    int k2;
    int d1 = 1, d2 = 2;
    CKW_PrivateData list;
    g_list = &list;
    list.SetPrivateData(&g_reentrantKey, &d1, TouchesTheList);
    list.SetPrivateData(&k2, &d2, LogFree);
    g_log.clear();
    list.ClearAll();
    EXPECT_EQ(g_log, (std::vector<std::string>{"free 1", "free 2"}));
    EXPECT_EQ(list.GetPrivateData(&k2), nullptr);
}

} // namespace

namespace {

int g_grownKeys[64];

void GrowsTheList(void* data)
{
    LogFree(data);
    for (int& key : g_grownKeys)
        g_list->SetPrivateData(&key, &key, nullptr);
}

void EmptiesTheList(void* data)
{
    LogFree(data);
    g_list->RemovePrivateData(&g_reentrantKey);
}

int g_storedAgain = 3;

void StoresUnderTheKeyAgain(void* data)
{
    LogFree(data);
    g_list->SetPrivateData(&g_reentrantKey, &g_storedAgain, LogFree);
}

// The free callback of a replaced record may move the records (the array
// grows) or take the key out; the new data must still land under the key.
TEST(PrivateData, ReplacingWhenTheFreeCallbackChangesTheList)
{
    struct Case {
        const char* what;
        void (*callback)(void*);
        int expectedRecords;
        std::vector<std::string> replaceLog;
    };
    const Case cases[] = {
        {"callback adds 64 keys", GrowsTheList, 65, {"free 1"}},
        {"callback removes the key", EmptiesTheList, 1, {"free 1"}},
        // What the callback stored is replaced in its turn, not lost.
        {"callback stores under the key again", StoresUnderTheKeyAgain, 1, {"free 1", "free 3"}},
    };
    for (const Case& c : cases) {
        int d1 = 1, d2 = 2;
        CKW_PrivateData list;
        g_list = &list;
        list.SetPrivateData(&g_reentrantKey, &d1, c.callback);
        g_log.clear();
        list.SetPrivateData(&g_reentrantKey, &d2, LogFree);
        EXPECT_EQ(g_log, c.replaceLog) << c.what;
        EXPECT_EQ(list.GetPrivateData(&g_reentrantKey), &d2) << c.what;
        int records = list.GetPrivateData(&g_reentrantKey) ? 1 : 0;
        for (int& key : g_grownKeys)
            records += list.GetPrivateData(&key) == &key ? 1 : 0;
        EXPECT_EQ(records, c.expectedRecords) << c.what;
        g_log.clear();
        list.ClearAll();
        EXPECT_EQ(g_log, (std::vector<std::string>{"free 2"})) << c.what;
    }
}

} // namespace

namespace {

int g_clearKeys[4];
int g_clearData[4] = {1, 2, 3, 4};

void RemovesAFreedKey(void* data)
{
    LogFree(data);
    g_list->RemovePrivateData(&g_clearKeys[0]);
}

void RemovesAKeyStillToCome(void* data)
{
    LogFree(data);
    g_list->RemovePrivateData(&g_clearKeys[2]);
}

void StoresANewKey(void* data)
{
    LogFree(data);
    g_list->SetPrivateData(&g_clearKeys[3], &g_clearData[3], LogFree);
}

// The second of three records has a callback that edits the list while
// ClearAll runs: every value still stored is freed, each once.
TEST(PrivateData, CallbackThatEditsTheListDuringClearAllSkipsNothing)
{
    struct Case {
        const char* what;
        void (*callback)(void*);
        std::vector<std::string> log;
    };
    const Case cases[] = {
        {"removes a key already freed", RemovesAFreedKey, {"free 1", "free 2", "free 3"}},
        // Taken out, it is the caller's again: not freed.
        {"removes a key still to come", RemovesAKeyStillToCome, {"free 1", "free 2"}},
        {"stores a new key", StoresANewKey, {"free 1", "free 2", "free 3", "free 4"}},
    };
    for (const Case& c : cases) {
        CKW_PrivateData list;
        g_list = &list;
        list.SetPrivateData(&g_clearKeys[0], &g_clearData[0], LogFree);
        list.SetPrivateData(&g_clearKeys[1], &g_clearData[1], c.callback);
        list.SetPrivateData(&g_clearKeys[2], &g_clearData[2], LogFree);
        g_log.clear();
        list.ClearAll();
        EXPECT_EQ(g_log, c.log) << c.what;
        for (int& key : g_clearKeys)
            EXPECT_EQ(list.GetPrivateData(&key), nullptr) << c.what;
        g_log.clear();
    }
    EXPECT_TRUE(g_log.empty()) << "the destructor found nothing left";
}

} // namespace
