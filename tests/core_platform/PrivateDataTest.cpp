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
