// Byte string: sharing and copy-on-write, the edit/search/format table with
// its overflow guards, and file loading.
#include "CKW_ByteString.h"
#include "CountingAllocator.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <cstdio>
#include <functional>
#include <string>
#include <unistd.h>

namespace {

std::string Str(const CKW_ByteString& s) { return std::string(s.c_str(), static_cast<size_t>(s.GetLength())); }

TEST(ByteStringSharing, CopiesShareUntilOneWrites)
{
    ScopedCountingDefault counting; // every block is counted
    {
        CKW_ByteString a("shared text");
        CKW_ByteString b(a);
        CKW_ByteString c;
        c = b;
        EXPECT_EQ(a.c_str(), b.c_str());
        EXPECT_EQ(a.c_str(), c.c_str());
        EXPECT_EQ(counting.LiveBlocks(), 1u);

        b.SetAt(0, 'S');
        EXPECT_NE(a.c_str(), b.c_str());
        EXPECT_EQ(Str(a), "shared text");
        EXPECT_EQ(Str(b), "Shared text");
        EXPECT_EQ(Str(c), "shared text");
        EXPECT_EQ(counting.LiveBlocks(), 2u);

        c += "!";
        EXPECT_EQ(Str(a), "shared text");
        EXPECT_EQ(Str(c), "shared text!");

        // Emptying one sharer leaves the other alone.
        CKW_ByteString d(a);
        d = "";
        EXPECT_TRUE(d.IsEmpty());
        EXPECT_EQ(Str(a), "shared text");
        CKW_ByteString e(a);
        e = CKW_ByteStringC();
        EXPECT_EQ(Str(a), "shared text");

        // Whole-string substrings share too.
        CKW_ByteString whole = a.Mid(0);
        EXPECT_EQ(whole.c_str(), a.c_str());
        EXPECT_EQ(a.Left(100).c_str(), a.c_str());
    }
    EXPECT_EQ(counting.LiveBlocks(), 0u);
}

TEST(ByteStringSharing, ViewsDoNotOwn)
{
    ScopedCountingDefault counting;
    CKW_ByteString owner("view me");
    {
        CKW_ByteStringC view(owner);
        EXPECT_EQ(view.GetCStr(), owner.c_str());
        EXPECT_EQ(view.GetLength(), 7);
        CKW_ByteStringC copy = view;
        (void)copy;
    }
    EXPECT_EQ(counting.LiveBlocks(), 1u);
    CKW_ByteString fromView{CKW_ByteStringC(owner)};
    EXPECT_NE(fromView.c_str(), owner.c_str()); // a view is copied, not shared
    EXPECT_EQ(CKW_ByteStringC(CKW_ByteString()).GetCStr(), nullptr);
}

TEST(ByteStringSharing, LockedBufferIsNeverShared)
{
    CKW_ByteString s("locked");
    CKW_ByteString shared(s);
    char* buffer = s.LockBuffer();
    ASSERT_NE(buffer, nullptr);
    EXPECT_NE(buffer, shared.c_str()); // took its own copy first
    CKW_ByteString copy(s);
    CKW_ByteString assigned;
    assigned = s;
    EXPECT_NE(copy.c_str(), s.c_str());
    EXPECT_NE(assigned.c_str(), s.c_str());
    buffer[0] = 'L';
    EXPECT_EQ(Str(s), "Locked");
    EXPECT_EQ(Str(copy), "locked");
    EXPECT_EQ(Str(assigned), "locked");
    EXPECT_EQ(Str(shared), "locked");
    EXPECT_EQ(CKW_ByteString().LockBuffer(), nullptr);
}

TEST(ByteStringBuffers, GetBufferReleaseBufferAndReserve)
{
    CKW_ByteString s;
    EXPECT_EQ(s.GetBuffer(0), nullptr);
    char* p = s.GetBuffer(10);
    ASSERT_NE(p, nullptr);
    std::strcpy(p, "hello");
    s.ReleaseBuffer();
    EXPECT_EQ(Str(s), "hello");
    p = s.GetBuffer(0);
    p[4] = '!';
    s.ReleaseBuffer(5);
    EXPECT_EQ(Str(s), "hell!");
    s.ReleaseBuffer(0);
    EXPECT_TRUE(s.IsEmpty());

    CKW_ByteString empty;
    empty.Reserve(100);
    EXPECT_TRUE(empty.IsEmpty());
    EXPECT_EQ(empty.GetAllocLength(), 0);
    CKW_ByteString abc("abc");
    abc.Reserve(100);
    EXPECT_EQ(Str(abc), "abc");
    EXPECT_GE(abc.GetAllocLength(), 100);
}

TEST(ByteStringConstruction, Cases)
{
    EXPECT_TRUE(CKW_ByteString(static_cast<const char*>(nullptr), -1).IsEmpty());
    EXPECT_EQ(CKW_ByteString('\0').GetLength(), 1);
    EXPECT_EQ(Str(CKW_ByteString("abcdef", 3)), "abc");
    EXPECT_TRUE(CKW_ByteString(reinterpret_cast<const unsigned char*>("x"), -1).IsEmpty());
    EXPECT_EQ(Str(CKW_ByteString(CKW_ByteStringC("ab"), CKW_ByteStringC("cd"))), "abcd");
    std::string withZero("a\0b", 3);
    CKW_ByteString z(withZero.data(), 3);
    EXPECT_EQ(z.GetLength(), 3);
    EXPECT_EQ(z.Find('\0'), 1);
    EXPECT_EQ(CKW_ByteString("abc").Find('\0'), 3);
}

TEST(ByteStringCompare, Cases)
{
    CKW_ByteString abc("abc");
    EXPECT_TRUE(abc.Equal("abc"));
    EXPECT_FALSE(abc.Equal("abcd"));
    EXPECT_TRUE(CKW_ByteString().Equal(""));
    EXPECT_EQ(abc.Compare("abd"), -1);
    EXPECT_EQ(abc.Compare("ab"), 1);
    EXPECT_EQ(abc.Compare("abc"), 0);
    EXPECT_EQ(CKW_ByteString().Compare("a"), -1);
    EXPECT_EQ(CKW_ByteString("\xE4").Compare("a"), 1); // bytes are unsigned
    EXPECT_TRUE(CKW_ByteString("ab") < CKW_ByteString("abc"));
    EXPECT_TRUE(abc.EqualNoCase("ABC"));
    EXPECT_FALSE(CKW_ByteString("\xC4").EqualNoCase("\xE4"));
    CKW_ByteString blanks("   ");
    blanks.TrimRight();
    EXPECT_TRUE(blanks == CKW_ByteString());
    EXPECT_TRUE(blanks.Equal(""));
}

struct EditCase {
    const char* name;
    std::string input;
    std::function<int(CKW_ByteString&)> op;
    std::string expected;
    int result;
};

TEST(ByteStringEdit, Table)
{
    const EditCase cases[] = {
        {"replace aa in aaaa", "aaaa", [](CKW_ByteString& s) { return s.Replace("aa", "b"); }, "bb", 2},
        {"replace aa in aaa", "aaa", [](CKW_ByteString& s) { return s.Replace("aa", "b"); }, "ba", 1},
        {"replace grows", "a.b.c", [](CKW_ByteString& s) { return s.Replace(".", "::"); }, "a::b::c", 2},
        {"replace absent", "abc", [](CKW_ByteString& s) { return s.Replace("x", "y"); }, "abc", 0},
        {"replace to nothing", "abab", [](CKW_ByteString& s) { return s.Replace("ab", ""); }, "", 2},
        {"replace longer than string", "ab", [](CKW_ByteString& s) { return s.Replace("abc", "y"); }, "ab", 0},
        {"insert middle", "ac", [](CKW_ByteString& s) { return s.Insert(1, 'b'); }, "abc", 3},
        {"insert clamps", "ab", [](CKW_ByteString& s) { return s.Insert(99, 'c'); }, "abc", 3},
        {"insert into empty", "", [](CKW_ByteString& s) { return s.Insert(0, 'x'); }, "x", 1},
        {"delete middle", "abcdef", [](CKW_ByteString& s) { return s.Delete(1, 2); }, "adef", 4},
        {"delete to end", "abcdef", [](CKW_ByteString& s) { return s.Delete(4, 100); }, "abcd", 4},
        {"delete past end", "abc", [](CKW_ByteString& s) { return s.Delete(3, 1); }, "abc", 3},
        {"delete huge count", "abc", [](CKW_ByteString& s) { return s.Delete(1, INT_MAX); }, "a", 1},
        {"remove", "a-b-c-", [](CKW_ByteString& s) { return s.Remove('-'); }, "abc", 3},
        {"find char", "hello", [](CKW_ByteString& s) { return s.Find('l'); }, "hello", 2},
        {"find char from", "hello", [](CKW_ByteString& s) { return s.Find('l', 3); }, "hello", 3},
        {"find char start past end", "hello", [](CKW_ByteString& s) { return s.Find('h', 5); }, "hello", -1},
        {"reverse find", "hello", [](CKW_ByteString& s) { return s.ReverseFind('l'); }, "hello", 3},
        {"find sub", "abcabc", [](CKW_ByteString& s) { return s.Find("ca"); }, "abcabc", 2},
        {"find sub from", "abcabc", [](CKW_ByteString& s) { return s.Find("abc", 1); }, "abcabc", 3},
        {"find sub too long", "abc", [](CKW_ByteString& s) { return s.Find("bcd", 1); }, "abc", -1},
        {"find empty sub", "abc", [](CKW_ByteString& s) { return s.Find(""); }, "abc", -1},
        {"trim right default", "\t x \r\n", [](CKW_ByteString& s) { s.TrimRight(); return 0; }, "\t x", 0},
        {"trim left default", " \t\vx ", [](CKW_ByteString& s) { s.TrimLeft(); return 0; }, "x ", 0},
        {"trim right set", "path///", [](CKW_ByteString& s) { s.TrimRight('/'); return 0; }, "path", 0},
        {"trim left set", "xyxzy", [](CKW_ByteString& s) { s.TrimLeft("xy"); return 0; }, "zy", 0},
        {"lower", "MiXeD\xC4", [](CKW_ByteString& s) { s.MakeLower(); return 0; }, "mixed\xC4", 0},
        {"upper", "MiXeD", [](CKW_ByteString& s) { s.MakeUpper(); return 0; }, "MIXED", 0},
        {"mid", "abcdef", [](CKW_ByteString& s) { s = s.Mid(2, 3); return 0; }, "cde", 0},
        {"mid negative", "abcdef", [](CKW_ByteString& s) { s = s.Mid(-3, 2); return 0; }, "ab", 0},
        {"mid past end", "abcdef", [](CKW_ByteString& s) { s = s.Mid(9, 2); return 0; }, "", 0},
        {"mid huge count", "abcdef", [](CKW_ByteString& s) { s = s.Mid(4, INT_MAX); return 0; }, "ef", 0},
        {"left", "abcdef", [](CKW_ByteString& s) { s = s.Left(2); return 0; }, "ab", 0},
        {"right", "abcdef", [](CKW_ByteString& s) { s = s.Right(2); return 0; }, "ef", 0},
        {"append grows", "ab", [](CKW_ByteString& s) { s += "cd"; s += 'e'; s += CKW_ByteString("f"); return s.GetLength(); }, "abcdef", 6},
        {"append to itself", "ab", [](CKW_ByteString& s) { s += s; s += s; return s.GetLength(); }, "abababab", 8},
        {"append own view", "abc", [](CKW_ByteString& s) { s.Reserve(20); s += CKW_ByteStringC(s); return 0; }, "abcabc", 0},
        {"assign own view", "abcdef", [](CKW_ByteString& s) { s = CKW_ByteStringC(s.c_str() + 2, 3); return 0; }, "cde", 0},
        {"set at out of range is ignored", "ab", [](CKW_ByteString& s) { s.SetAt(5, 'x'); s.SetAt(-1, 'x'); return 0; }, "ab", 0},
        // Overflow guards: refused requests leave the string as it was.
        {"replace past the limit", std::string(3000000, 'a'),
         [](CKW_ByteString& s) { static const std::string big(1000, 'b'); return s.Replace("a", CKW_ByteStringC(big.data(), 1000)); },
         std::string(3000000, 'a'), 0},
        {"concat past the limit", "abc", [](CKW_ByteString& s) { s.ConcatInPlace(INT_MAX, "x"); return s.GetLength(); }, "abc", 3},
        {"buffer past the limit", "abc", [](CKW_ByteString& s) { return s.GetBuffer(INT_MAX) ? 1 : 0; }, "abc", 0},
    };
    for (const EditCase& c : cases) {
        SCOPED_TRACE(c.name);
        CKW_ByteString s(c.input.data(), static_cast<int>(c.input.size()));
        CKW_ByteString other(s); // a sharer must never see the edit
        EXPECT_EQ(c.op(s), c.result);
        EXPECT_EQ(Str(s), c.expected);
        EXPECT_EQ(Str(other), c.input);
    }
}

TEST(ByteStringEdit, HugeViewsAreRefusedUnread)
{
    const char small[] = "ab";
    CKW_ByteString joined(CKW_ByteStringC(small, INT_MAX), CKW_ByteStringC(small, INT_MAX));
    EXPECT_TRUE(joined.IsEmpty());
}

TEST(ByteStringFormat, Table)
{
    struct Case {
        const char* name;
        std::function<void(CKW_ByteString&)> op;
        std::string expected;
    } cases[] = {
        {"plain", [](CKW_ByteString& s) { s.Format("%d-%s-%c", 42, "x", 'y'); }, "42-x-y"},
        {"64-bit prefix", [](CKW_ByteString& s) { s.Format("%I64d|%I64u", -(1LL << 40), 1ULL << 63); },
         "-1099511627776|9223372036854775808"},
        {"standard 64-bit", [](CKW_ByteString& s) { s.Format("%lld %zu", 1LL << 33, size_t(7)); }, "8589934592 7"},
        {"wide string", [](CKW_ByteString& s) { s.Format("%S|%ls|%hs", L"w\u00e9", L"v", "b"); }, "w\u00e9|v|b"},
        {"float uses the C point", [](CKW_ByteString& s) { s.Format("%.3f %g", 2.5, 0.125); }, "2.500 0.125"},
        {"star width", [](CKW_ByteString& s) { s.Format("[%*d]", 5, 42); }, "[   42]"},
        {"percent", [](CKW_ByteString& s) { s.Format("100%%"); }, "100%"},
        {"bad width", [](CKW_ByteString& s) { s.Format("%5000000d", 1); }, "Bad width"},
        {"bad star width", [](CKW_ByteString& s) { s.Format("%*d", -1, 1); }, "Bad width"},
        {"bad precision", [](CKW_ByteString& s) { s.Format("%.999999f", 1.0); }, "Bad precision"},
        {"n is not written", [](CKW_ByteString& s) { int n = -1; s.Format("ab%ncd", &n); s += n == -1 ? "" : "!"; }, "abcd"},
        {"arguments after n stay in step", [](CKW_ByteString& s) { s.Format("a%nb%d%s", static_cast<int*>(nullptr), 5, "c"); },
         "ab5c"},
        {"n with a star width", [](CKW_ByteString& s) { int n = -1; s.Format("a%*nb%d", 7, &n, 5); }, "ab5"},
        {"long output is not cut", [](CKW_ByteString& s) { s.Format("%s%s", std::string(300000, 'q').c_str(), "end"); },
         std::string(300000, 'q') + "end"},
        {"own bytes as argument", [](CKW_ByteString& s) { s = "self"; s.Format("<%s>", s.c_str()); }, "<self>"},
        {"empty result", [](CKW_ByteString& s) { s = "x"; s.Format("%s", ""); }, ""},
        {"integer", [](CKW_ByteString& s) { s = CKW_ByteString::FormatInteger(-1, 0); }, "4294967295"},
        {"integer signed", [](CKW_ByteString& s) { s = CKW_ByteString::FormatInteger(-255, 1); }, "-255"},
        {"integer HEX", [](CKW_ByteString& s) { s = CKW_ByteString::FormatInteger(255, 6); }, "FF"},
        {"integer hex", [](CKW_ByteString& s) { s = CKW_ByteString::FormatInteger(255, 2); }, "ff"},
        {"integer min", [](CKW_ByteString& s) { s = CKW_ByteString::FormatInteger(INT_MIN, 1); }, "-2147483648"},
        {"float half", [](CKW_ByteString& s) { s = CKW_ByteString::FormatFloat(0.5f, 0); }, "0.5"},
        {"float 3 flag", [](CKW_ByteString& s) { s = CKW_ByteString::FormatFloat(3.0f, 1); }, "3.0"},
        {"float 3", [](CKW_ByteString& s) { s = CKW_ByteString::FormatFloat(3.0f, 0); }, "3"},
        {"float negative", [](CKW_ByteString& s) { s = CKW_ByteString::FormatFloat(-123.456f, 0); }, "-123.456"},
        {"float large", [](CKW_ByteString& s) { s = CKW_ByteString::FormatFloat(1234567.0f, 0); }, "1234567"},
        {"float zero", [](CKW_ByteString& s) { s = CKW_ByteString::FormatFloat(0.0f, 1); }, "0"},
        {"float tiny", [](CKW_ByteString& s) { s = CKW_ByteString::FormatFloat(1e-9f, 0); }, "0"},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.name);
        CKW_ByteString s("previous");
        c.op(s);
        EXPECT_EQ(Str(s), c.expected);
    }
}

TEST(ByteStringIds, GetID)
{
    EXPECT_EQ(CKW_ByteString("ab").GetID(0), 0x61620000u);
    EXPECT_EQ(CKW_ByteString("abcd").GetID(0), 0x61626364u);
    EXPECT_EQ(CKW_ByteString("xabcde").GetID(1), 0x61626364u);
    EXPECT_EQ(CKW_ByteString("ab").GetID(2), 0u);
    EXPECT_EQ(CKW_ByteStringC("ab").GetID(-1), 0u);
}

TEST(ByteStringFiles, LoadFromFile)
{
    char path[] = "/tmp/kwcore-bytestring-XXXXXX";
    int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    const std::string content("line\0with zero\n", 15);
    ASSERT_EQ(write(fd, content.data(), content.size()), static_cast<ssize_t>(content.size()));
    close(fd);
    CKW_ByteString loaded = CKW_ByteString::LoadFromFile(path);
    EXPECT_EQ(Str(loaded), content);
    unlink(path);
    EXPECT_TRUE(CKW_ByteString::LoadFromFile(path).IsEmpty());
    EXPECT_TRUE(CKW_ByteString::LoadFromFile("").IsEmpty());
    // A directory opens but cannot be read: no bytes are made up.
    EXPECT_TRUE(CKW_ByteString::LoadFromFile("/tmp").IsEmpty());
}

TEST(ByteStringL, AllocatorBound)
{
    CountingAllocator alloc;
    CKW_ByteStringL s;
    s.Set("bound", alloc.get());
    EXPECT_STREQ(s.c_str(), "bound");
    EXPECT_EQ(s.GetLength(), 5);
    char* p = s.AllocBuffer(3, alloc.get());
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(s.GetLength(), 3);
    s.Set(CKW_ByteStringC(), alloc.get());
    EXPECT_EQ(s.m_Ptr, nullptr);
    s.Set("x", alloc.get());
    s.Empty(alloc.get());
    EXPECT_TRUE(alloc.live.empty());
    EXPECT_EQ(alloc.foreignFrees, 0);
}

} // namespace
